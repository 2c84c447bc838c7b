#pragma once
// The GDI+ runtime of the process: libgdiplus loaded once by name, one
// reference-counted start-up shared by every binding, the lookup of flat
// functions by name, and the lock that serialises text calls.
//
// libgdiplus is one library per process and its own start-up is not
// reference-counted: its first shutdown tears down every object and its font
// configuration. The runtime therefore counts start-ups itself, hands every
// caller its own token, and starts the library once; the library's own
// shutdown is never called (it finalises the font configuration, which
// aborts while Qt still holds fontconfig caches): the end of the process
// releases what the library holds.
//
// GdiplusProc answers, for every name of the flat API, a function that may
// be called: the library's own, or the runtime's where the library has none
// (or where the runtime must wrap it), or a stub that answers NotImplemented
// (a null result from GdipAlloc, 0 from GdipEmfToWmfBits). The runtime's own
// versions replace the library's for: the start-up pair (shared start-up),
// the text calls (under the text lock), GdipBitmapLockBits/UnlockBits (the
// library writes past the documented record, so it gets a padded one) and
// GdipTransformPoints/TransformPointsI (the library does not transform),
// GdipDrawImage/DrawImageI/DrawImageRect/DrawImageRectI for Windows
// metafiles (the library plays them at a fixed 1440 units per inch and
// draws them into a rectangle at 96/1440 of its size: the runtime draws
// them at their header's size and into the whole rectangle), and
// GdipCreateFromHDC/HDC2 with GdipDeleteGraphics: the graphics of a device
// context is a bitmap over the DC's image, with the DC's origin and clip
// (an origin outside the image becomes a world translation; the DC's mapping
// scale is not applied).
//
// The library reads region, bitmap and DC handles as objects of its own, so
// the calls taking or giving GDI handles work on the layer's objects instead:
// GdipCreateRegionHrgn and GdipSetClipHrgn read the area of a region of the
// layer, GdipGetRegionHRgn gives one (in device pixels; null for an infinite
// region), GdipCreateBitmapFromHBITMAP copies a bitmap of the layer (its
// alpha and the palette argument unused), GdipCreateHBITMAPFromBitmap gives
// one (the pixels drawn over the background colour), GdipCreateFontFromDC
// takes the DC's selected font, and GdipGetDC/ReleaseDC lend a DC of the
// layer over the same image for the graphics of a DC (other graphics answer
// NotImplemented).
//
// Where the library misbehaves: GdipCreateFontFamilyFromName answers
// FontFamilyNotFound for a name the font configuration only matches with its
// default family (an alias of an installed family is found). GdipWarpPath
// answers NotImplemented (the library answers Ok without warping);
// GdipWidenPath widens here (the library answers Ok without widening; the
// flatness argument is not used). GdipGetRegionDataSize/GetRegionData write
// a region of several rectangles as the region of a path of them (the
// library writes data for it that reads back as the first rectangle only).
// GdipBeginContainer/BeginContainerI map the source rectangle onto the
// destination one (the library ignores both). GdipSetPageScale refuses a
// scale other than 1 with NotImplemented (the library stores it without
// applying it). Deleting a generic font family or string format does nothing
// (the library keeps handing out the same object, so a deletion would leave
// it dangling); the library frees them when it shuts down.
//
// GdipCreateBitmapFromResource loads the program's resource of that name
// (upper case; the module handle is not used). Icon handles are the
// library's own (the layer has no icons): GdipCreateBitmapFromHICON takes
// back only those GdipCreateHICONFromBitmap handed out, and they are not
// freed before the process ends.
//
// Not covered: GDI DIBs (GdipCreateBitmapFromGdiDib), metafile recording and
// comments, COM streams (images travel through GdiplusLoadImageFromBytes and
// GdiplusSaveImageToBytes), windows (GdipCreateFromHWND answers
// NotImplemented), driver strings and winding outlines (the library answers
// NotImplemented). Logged under tf.gdiplus when asked for: GdipWarpPath, a
// page scale other than 1, GdipCreateFromHDC2 with a device, and the mapping
// mode of a DC given to GdipCreateFromHDC (its origin applies, its scale
// does not).

#include <QByteArray>

#include <mutex>
#include <type_traits>

#include "platform/gdiplusapi/GdiPlusFlat.h"

// File name the library is opened by (the dynamic loader's search order applies).
inline constexpr const char* GdiplusLibraryFileName = "libgdiplus.so.0";

// The runtime's handle of the library (dlopen); null when it cannot be loaded.
// Loads it on first use; the library stays loaded until the process ends.
void* GdiplusLibrary();

// True when the library exports the name itself.
bool GdiplusExports(const char* name);

// The function to call for a flat-API name; null only for names that are not
// part of the flat API.
void* GdiplusProc(const char* name);

// Shared start-up: each successful call hands out a token of its own and
// counts one user. The library itself is started on the first call only.
Status GdiplusStartupShared(ULONG_PTR* token, const GdiplusStartupInput* input,
                            GdiplusStartupOutput* output);
// Releases the user of a token; unknown tokens (0, or one already released)
// are ignored. The last release leaves the library running until the process
// ends, so objects that outlive it stay valid.
void GdiplusShutdownShared(ULONG_PTR token);
// Users currently counted.
int GdiplusStartupCount();
// True once the library itself has been started (it stays so until exit).
bool GdiplusLibraryStarted();

// Image streams. libgdiplus has no COM streams (its stream loaders answer
// NotImplemented); images travel through its memory-delegate functions
// instead. Decodes the bytes of an image file (PNG, JPEG, GIF, BMP, TIFF, ICO,
// EMF, WMF) into a new image the caller disposes. A metafile whose records
// do not chain up soundly is refused with InvalidParameter (the library's
// player would loop on it or read past the data).
Status GdiplusLoadImageFromBytes(const QByteArray& bytes, GpImage** image);
// False for a Windows or enhanced metafile whose records do not chain up
// soundly (a record too short to move on, or one that runs past the data);
// true for anything else.
bool GdiplusMetafileRecordsSound(const QByteArray& bytes);
// Encodes the image with the encoder and replaces bytes with the result.
Status GdiplusSaveImageToBytes(GpImage* image, const CLSID& encoder,
                               const EncoderParameters* parameters, QByteArray& bytes);
// The encoder identifiers of the published GDI+ codecs.
extern const CLSID GdiplusEncoderBmp;
extern const CLSID GdiplusEncoderJpeg;
extern const CLSID GdiplusEncoderGif;
extern const CLSID GdiplusEncoderTiff;
extern const CLSID GdiplusEncoderPng;

// The lock held around every text call (libgdiplus text layout is not
// thread-safe). Recursive, so a text call made under the lock may nest.
std::recursive_mutex& GdiplusTextLock();

// A stub for a flat function of type F: answers NotImplemented for functions
// that return a status, a zero or null value otherwise.
template <class F>
struct GdiplusStub;
template <class R, class... A>
struct GdiplusStub<R (*)(A...)> {
  static R Call(A...) {
    if constexpr (std::is_same_v<R, Status>)
      return NotImplemented;
    else if constexpr (!std::is_void_v<R>)
      return R{};
  }
};
