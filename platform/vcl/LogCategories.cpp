#include "platform/vcl/LogCategories.h"

Q_LOGGING_CATEGORY(lcVcl, "tf.vcl", QtInfoMsg)
