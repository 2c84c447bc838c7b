#pragma once
// What the source files of KitGDIPlusClasses share: the call through an
// entry of the table and the conversions of Booleans and texts.

#include <QString>

#include <utility>

#include "foundation/KitGDIPlusClasses.h"

namespace KitGDIPlusClasses::detail {

// The classes pass true as all bits set.
inline constexpr BOOL kTrue = BOOL(-1);
inline BOOL ToBOOL(bool value) { return value ? kTrue : FALSE; }

// Calls an entry of the table; NotImplemented while the library is not
// loaded (every entry is null then).
template <class... P, class... A>
inline Status Flat(Status (*entry)(P...), A&&... args) {
  return entry ? entry(std::forward<A>(args)...) : NotImplemented;
}

// The length of a text to hand to the library: the caller's, unless it is
// negative or beyond the text, which means the whole text.
inline INT TextLength(const QString& text, INT length) {
  return length < 0 || length > text.size() ? INT(text.size()) : length;
}
// The text as the library reads it (NUL-terminated UTF-16).
inline const WCHAR* TextOf(const QString& text) {
  return reinterpret_cast<const WCHAR*>(text.utf16());
}

// Checks a caller's buffer of count entries against the number the object
// holds (asked through countEntry): answers InvalidParameter for no buffer
// or a count below 1, InsufficientBuffer for a buffer smaller than the
// object's contents, and otherwise Ok with the number to ask for.
template <class Handle, class Buffer>
Status CheckBuffer(Status (*countEntry)(Handle*, INT*), Handle* handle, const Buffer* buffer,
                   INT count, INT& entries) {
  if (!buffer || count <= 0) return InvalidParameter;
  INT held = 0;
  const Status status = Flat(countEntry, handle, &held);
  if (status != Ok) return status;
  if (held > count) return InsufficientBuffer;
  entries = held > 0 ? held : count;
  return Ok;
}


// The handles of the wrappers (null for a null wrapper), and the few
// operations one class performs on another's fields.
struct Native {
  static GpMatrix* Of(const TGPMatrix* x) { return x ? x->nativeMatrix : nullptr; }
  static GpRegion* Of(const TGPRegion* x) { return x ? x->nativeRegion : nullptr; }
  static GpStringFormat* Of(const TGPStringFormat* x) { return x ? x->nativeFormat : nullptr; }
  static GpImageAttributes* Of(const TGPImageAttributes* x) {
    return x ? x->nativeImageAttr : nullptr;
  }
  static GpCustomLineCap* Of(const TGPCustomLineCap* x) { return x ? x->nativeCap : nullptr; }
  static GpPen* Of(const TGPPen* x) { return x ? x->nativePen : nullptr; }
  static GpBrush* Of(const TGPBrush* x) { return x ? x->nativeBrush : nullptr; }
  static GpImage* Of(const TGPImage* x) { return x ? x->nativeImage : nullptr; }
  static GpCachedBitmap* Of(const TGPCachedBitmap* x) {
    return x ? x->nativeCachedBitmap : nullptr;
  }
  static GpFontFamily* Of(const TGPFontFamily* x) { return x ? x->nativeFamily : nullptr; }
  static GpFont* Of(const TGPFont* x) { return x ? x->nativeFont : nullptr; }
  static GpFontCollection* Of(const TGPFontCollection* x) {
    return x ? x->nativeFontCollection : nullptr;
  }
  static GpPath* Of(const TGPGraphicsPath* x) { return x ? x->nativePath : nullptr; }
  static GpGraphics* Of(const TGPGraphics* x) { return x ? x->nativeGraphics : nullptr; }

  // Hands a handle delivered by GDI+ to a wrapper, deleting the one it held.
  static void Adopt(TGPCustomLineCap* cap, GpCustomLineCap* handle) { cap->Replace(handle); }
  static void Adopt(TGPFontFamily* family, GpFontFamily* handle) { family->Replace(handle); }
  static void Adopt(TGPBrush* brush, GpBrush* handle) { brush->nativeBrush = handle; }
  // Records a status on a family; reads a family's status field.
  static Status Record(TGPFontFamily* family, Status status) { return family->SetStatus(status); }
  static Status StatusOf(const TGPFontFamily* family) { return family->lastResult; }
};

}  // namespace KitGDIPlusClasses::detail
