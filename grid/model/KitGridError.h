#pragma once
// The error of the grid's own checks (a bad typed cell value, a row or
// column outside the grid, a file that cannot be created...), raised with a
// fixed English message.

#include "platform/rtl/SysUtils.h"

TF_DECLARE_EXCEPTION(EKitGridError, Exception)
