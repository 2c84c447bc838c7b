#include "platform/win32/LogCategories.h"

Q_LOGGING_CATEGORY(lcGdi, "tf.gdi", QtInfoMsg)
Q_LOGGING_CATEGORY(lcText, "tf.text", QtInfoMsg)
Q_LOGGING_CATEGORY(lcWin, "tf.win", QtInfoMsg)
Q_LOGGING_CATEGORY(lcStyle, "tf.style", QtInfoMsg)
