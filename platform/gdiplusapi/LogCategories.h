#pragma once
// The logging category of GDI+ (the rules, and LogNotCovered for what a
// function leaves out, are in platform/rtl/LogCategories.h):
//
//   tf.gdiplus  the GDI+ runtime, its shim over libgdiplus and the bindings
//               over it

#include "platform/rtl/LogCategories.h"

Q_DECLARE_LOGGING_CATEGORY(lcGdiPlus)
