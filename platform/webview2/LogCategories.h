#pragma once
// The logging category of the browser engine host (the rules, and
// LogNotCovered for what a function leaves out, are in
// platform/rtl/LogCategories.h):
//
//   tf.webview  environments, profiles, views and their settings

#include "platform/rtl/LogCategories.h"

Q_DECLARE_LOGGING_CATEGORY(lcWebView)
