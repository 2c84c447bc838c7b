#include "platform/win32/WinTypes.h"

#include <algorithm>
#include <limits>

int MulDiv(int nNumber, int nNumerator, int nDenominator) {
  if (nDenominator == 0) return -1;
  const int64_t product = int64_t(nNumber) * int64_t(nNumerator);
  int64_t den = nDenominator;
  int64_t num = product;
  if (den < 0) {
    den = -den;
    num = -num;
  }
  // Round half away from zero.
  const int64_t half = den / 2;
  const int64_t q = num >= 0 ? (num + half) / den : -((-num + half) / den);
  if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
  return int(q);
}

BOOL SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
  if (!lprc) return FALSE;
  *lprc = RECT{xLeft, yTop, xRight, yBottom};
  return TRUE;
}

BOOL SetRectEmpty(LPRECT lprc) {
  if (!lprc) return FALSE;
  *lprc = RECT{0, 0, 0, 0};
  return TRUE;
}

BOOL CopyRect(LPRECT lprcDst, const RECT* lprcSrc) {
  if (!lprcDst || !lprcSrc) return FALSE;
  *lprcDst = *lprcSrc;
  return TRUE;
}

BOOL InflateRect(LPRECT lprc, int dx, int dy) {
  if (!lprc) return FALSE;
  lprc->left -= dx;
  lprc->top -= dy;
  lprc->right += dx;
  lprc->bottom += dy;
  return TRUE;
}

BOOL OffsetRect(LPRECT lprc, int dx, int dy) {
  if (!lprc) return FALSE;
  lprc->left += dx;
  lprc->top += dy;
  lprc->right += dx;
  lprc->bottom += dy;
  return TRUE;
}

BOOL IsRectEmpty(const RECT* lprc) {
  if (!lprc) return TRUE;
  return lprc->right <= lprc->left || lprc->bottom <= lprc->top;
}

BOOL EqualRect(const RECT* a, const RECT* b) {
  if (!a || !b) return FALSE;
  return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* lprc, POINT pt) {
  if (!lprc) return FALSE;
  return pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}

BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
         std::min(a->bottom, b->bottom)};
  if (IsRectEmpty(&r) || IsRectEmpty(a) || IsRectEmpty(b)) {
    SetRectEmpty(dst);
    return FALSE;
  }
  *dst = r;
  return TRUE;
}

BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  const bool ea = IsRectEmpty(a), eb = IsRectEmpty(b);
  if (ea && eb) {
    SetRectEmpty(dst);
    return FALSE;
  }
  if (ea) {
    *dst = *b;
  } else if (eb) {
    *dst = *a;
  } else {
    *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
  }
  return TRUE;
}

BOOL SubtractRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  RECT r = *a;
  RECT inter;
  if (IntersectRect(&inter, a, b)) {
    // Only a full-width or full-height cut at one side leaves a rectangle.
    if (inter.left == r.left && inter.right == r.right) {
      if (inter.top == r.top) r.top = inter.bottom;
      else if (inter.bottom == r.bottom) r.bottom = inter.top;
    } else if (inter.top == r.top && inter.bottom == r.bottom) {
      if (inter.left == r.left) r.left = inter.right;
      else if (inter.right == r.right) r.right = inter.left;
    }
  }
  if (IsRectEmpty(&r)) {
    SetRectEmpty(dst);
    return FALSE;
  }
  *dst = r;
  return TRUE;
}
