#pragma once
// Automation conversions of the OLE run-time: VarDateFromStr, a date and
// time written as text read into an automation date (days since
// 1899-12-30, the time of day as the fraction).
//
// Not covered: locales other than United States English (1033; any LCID
// is read as 1033), the VAR_* flags (ignored), era and non-Gregorian
// calendars, and the text forms of other locales' month names.

#include <QString>

#include "platform/win32/WinTypes.h"

using LCID = DWORD;
inline constexpr HRESULT DISP_E_TYPEMISMATCH = HRESULT(0x80020005u);

// Reads month/day/year dates ("1/31/2024", "1-31-24", "2024-01-31" when the
// first number has four digits), dates with English month names
// ("January 31, 2024", "31 Jan 2024", "Jan 2024"), a time ("13:05",
// "1:05:09 PM", "1 PM") alone (day 0) or after the date. A date without a
// year takes the current year; two-digit years below 30 are 20xx, the
// others 19xx. S_OK with *pdateOut set, else DISP_E_TYPEMISMATCH (or
// E_POINTER without an output).
HRESULT VarDateFromStr(const QString& strIn, LCID lcid, ULONG dwFlags, double* pdateOut);
