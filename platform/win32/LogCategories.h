#pragma once
// The logging categories of the win32 layer, one per area (the rules, and
// LogNotCovered for what a function leaves out, are in
// platform/rtl/LogCategories.h):
//
//   tf.gdi    device contexts, GDI objects, drawing and blits
//   tf.text   fonts, text output and DrawText
//   tf.win    window handles and their machinery, timers, clipboard, shell
//   tf.style  visual themes here, named styles in platform/vcl

#include "platform/rtl/LogCategories.h"

Q_DECLARE_LOGGING_CATEGORY(lcGdi)
Q_DECLARE_LOGGING_CATEGORY(lcText)
Q_DECLARE_LOGGING_CATEGORY(lcWin)
Q_DECLARE_LOGGING_CATEGORY(lcStyle)
