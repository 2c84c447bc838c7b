#include "platform/gdiplusapi/LogCategories.h"

Q_LOGGING_CATEGORY(lcGdiPlus, "tf.gdiplus", QtInfoMsg)
