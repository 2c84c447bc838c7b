#pragma once
// Basic Win32 types of the platform layer: integer type names, handle types,
// RECT/POINT/SIZE, COLORREF and its helpers, MulDiv, the rectangle routines
// and HRESULT codes. The scalar types shared with the run-time, the error
// codes and the per-thread last-error value come from platform/rtl/WinError.h.
// Declared from the public documentation of the Win32 API, with the
// documented numeric values.

#include <cstddef>
#include <cstdint>

#include "platform/rtl/WinError.h"  // DWORD, BOOL, WCHAR, error codes, GetLastError

using INT = int;
using UINT = unsigned int;
using LONG = int32_t;
using ULONG = uint32_t;
using WORD = uint16_t;
using BYTE = uint8_t;
using SHORT = int16_t;
using USHORT = uint16_t;
using FLOAT = float;
using LPCVOID = const void*;
using LPINT = int*;
using UINT_PTR = uintptr_t;
using LONG_PTR = intptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using HRESULT = LONG;
using COLORREF = DWORD;
using LPCOLORREF = COLORREF*;


// Handles are opaque values; each kind is its own pointer type (as with
// STRICT), never dereferenced. HANDLE and HGDIOBJ accept any of them.
using HANDLE = void*;
using HGDIOBJ = void*;
#define TF_DECLARE_HANDLE(name) \
  struct name##__ {             \
    int unused;                 \
  };                            \
  using name = name##__*
TF_DECLARE_HANDLE(HWND);
TF_DECLARE_HANDLE(HDC);
TF_DECLARE_HANDLE(HPEN);
TF_DECLARE_HANDLE(HBRUSH);
TF_DECLARE_HANDLE(HFONT);
TF_DECLARE_HANDLE(HBITMAP);
TF_DECLARE_HANDLE(HRGN);
TF_DECLARE_HANDLE(HPALETTE);
TF_DECLARE_HANDLE(HINSTANCE);
#undef TF_DECLARE_HANDLE

struct POINT {
  LONG x;
  LONG y;
};
using LPPOINT = POINT*;

struct SIZE {
  LONG cx;
  LONG cy;
};
using LPSIZE = SIZE*;

struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;

// Colours: 0x00BBGGRR.
constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
  return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return BYTE(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return BYTE((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return BYTE((c >> 16) & 0xFF); }
constexpr COLORREF PALETTERGB(BYTE r, BYTE g, BYTE b) { return 0x02000000 | RGB(r, g, b); }
constexpr COLORREF PALETTEINDEX(WORD i) { return 0x01000000 | COLORREF(i); }
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
inline constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
inline constexpr COLORREF CLR_DEFAULT = 0xFF000000;

constexpr WORD LOWORD(DWORD v) { return WORD(v & 0xFFFF); }
constexpr WORD HIWORD(DWORD v) { return WORD((v >> 16) & 0xFFFF); }
constexpr BYTE LOBYTE(WORD v) { return BYTE(v & 0xFF); }
constexpr BYTE HIBYTE(WORD v) { return BYTE((v >> 8) & 0xFF); }

// a * b / c with a 64-bit intermediate, rounded half away from zero; -1 when
// c is 0 or the result does not fit in 32 bits.
int MulDiv(int nNumber, int nNumerator, int nDenominator);

// Rectangle routines (user32).
BOOL SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom);
BOOL SetRectEmpty(LPRECT lprc);
BOOL CopyRect(LPRECT lprcDst, const RECT* lprcSrc);
BOOL InflateRect(LPRECT lprc, int dx, int dy);
BOOL OffsetRect(LPRECT lprc, int dx, int dy);
BOOL IsRectEmpty(const RECT* lprc);
BOOL EqualRect(const RECT* lprc1, const RECT* lprc2);
BOOL PtInRect(const RECT* lprc, POINT pt);
BOOL IntersectRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2);
BOOL UnionRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2);
BOOL SubtractRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2);


// HRESULT codes.
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001u);
inline constexpr HRESULT E_POINTER = HRESULT(0x80004003u);
inline constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
inline constexpr HRESULT E_HANDLE = HRESULT(0x80070006u);
inline constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);

// Further codes, and Win32 errors as HRESULT values: HRESULT_FROM_WIN32 maps
// an error into the FACILITY_WIN32 range (0 and values that already are
// failure codes pass unchanged).
inline constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002u);
inline constexpr HRESULT E_ABORT = HRESULT(0x80004004u);
inline constexpr HRESULT E_UNEXPECTED = HRESULT(0x8000FFFFu);
inline constexpr HRESULT E_ACCESSDENIED = HRESULT(0x80070005u);
inline constexpr HRESULT RPC_E_WRONG_THREAD = HRESULT(0x8001010Eu);
inline constexpr DWORD FACILITY_WIN32 = 7;
constexpr HRESULT HRESULT_FROM_WIN32(DWORD code) {
  return HRESULT(code) <= 0 ? HRESULT(code)
                            : HRESULT((code & 0x0000FFFFu) | (FACILITY_WIN32 << 16) | 0x80000000u);
}
