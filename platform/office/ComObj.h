#pragma once
// Errors of the automation servers. EOleSysError: the server itself cannot be
// reached (unknown class, no running instance). EOleException: a call into the
// server failed; the message says why (a file that cannot be written, an
// index out of range, a workbook that cannot be read).

#include "platform/rtl/SysUtils.h"

TF_DECLARE_EXCEPTION(EOleError, Exception)
TF_DECLARE_EXCEPTION(EOleSysError, EOleError)
TF_DECLARE_EXCEPTION(EOleException, EOleError)
