#include "platform/webview2/LogCategories.h"

Q_LOGGING_CATEGORY(lcWebView, "tf.webview", QtInfoMsg)
