#pragma once
// The Windows scalar types, error codes and thread-local last-error value that
// the Win32-shaped parts of the run-time (WinINet calls, handles) report with.
// The win32 layer builds on these declarations rather than redeclaring them.

#include <cstdint>

using DWORD = uint32_t;
using BOOL = int;
using WCHAR = char16_t;
using LPCWSTR = const WCHAR*;
using LPWSTR = WCHAR*;
using LPVOID = void*;
using LPDWORD = DWORD*;
using DWORD_PTR = uintptr_t;

// Some C libraries define these as macros with the same values.
#ifndef TRUE
inline constexpr BOOL TRUE = 1;
#endif
#ifndef FALSE
inline constexpr BOOL FALSE = 0;
#endif

inline constexpr DWORD INFINITE = 0xFFFFFFFF;

// System error codes.
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_BUSY = 170;
inline constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
inline constexpr DWORD ERROR_CAN_NOT_COMPLETE = 1003;
inline constexpr DWORD ERROR_TIMEOUT = 1460;
inline constexpr DWORD ERROR_INVALID_STATE = 5023;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_FILE_EXISTS = 80;

// The calling thread's last error code.
DWORD GetLastError();
void SetLastError(DWORD errorCode);
