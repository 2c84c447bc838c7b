#include "platform/rtl/WinError.h"

namespace {
thread_local DWORD tLastError = ERROR_SUCCESS;
}

DWORD GetLastError() { return tLastError; }

void SetLastError(DWORD errorCode) { tLastError = errorCode; }
