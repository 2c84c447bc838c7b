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

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

inline constexpr DWORD INFINITE = 0xFFFFFFFF;

// System error codes.
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_NO_MORE_ITEMS = 259;

// The calling thread's last error code.
DWORD GetLastError();
void SetLastError(DWORD errorCode);

inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_TIMEOUT = 1460;
inline constexpr DWORD ERROR_INVALID_STATE = 5023;

// COM result codes: negative values are failures. Win32 error codes map into
// the FACILITY_WIN32 range with HRESULT_FROM_WIN32 (0 and values that already
// are failure codes pass unchanged).
using HRESULT = int32_t;

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002u);
inline constexpr HRESULT E_POINTER = HRESULT(0x80004003u);
inline constexpr HRESULT E_ABORT = HRESULT(0x80004004u);
inline constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
inline constexpr HRESULT E_UNEXPECTED = HRESULT(0x8000FFFFu);
inline constexpr HRESULT E_ACCESSDENIED = HRESULT(0x80070005u);
inline constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);
inline constexpr HRESULT RPC_E_WRONG_THREAD = HRESULT(0x8001010Eu);

inline constexpr DWORD FACILITY_WIN32 = 7;

constexpr HRESULT HRESULT_FROM_WIN32(DWORD code) {
  return HRESULT(code) <= 0 ? HRESULT(code)
                            : HRESULT((code & 0x0000FFFFu) | (FACILITY_WIN32 << 16) | 0x80000000u);
}
