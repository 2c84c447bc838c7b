#pragma once
// The logging category of the framework classes (the rules, and
// LogNotCovered for what a function leaves out, are in
// platform/rtl/LogCategories.h; the named styles log under tf.style of
// platform/win32/LogCategories.h):
//
//   tf.vcl    controls, forms, dialogs, graphics classes and pictures

#include "platform/win32/LogCategories.h"

Q_DECLARE_LOGGING_CATEGORY(lcVcl)
