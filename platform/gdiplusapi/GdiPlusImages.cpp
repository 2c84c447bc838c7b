#include "platform/gdiplusapi/GdiPlusImages.h"

#include <cstring>
#include <mutex>

#include "platform/gdiplusapi/GdiPlusRuntime.h"
#include "platform/vcl/ImagingGraphics.h"

namespace {

template <class F>
F Proc(const char* name) {
  return reinterpret_cast<F>(GdiplusProc(name));
}

constexpr int kMaxSide = 32767;
constexpr int64_t kMaxPixels = int64_t(1) << 26;

bool Started() {
  static const bool started = [] {
    ULONG_PTR token = 0;  // kept for the life of the process
    GdiplusStartupInput input;
    return GdiplusStartupShared(&token, &input, nullptr) == Ok;
  }();
  return started;
}

bool IsMetafileFormat(GpImage* image) {
  GUID format{};
  if (Proc<PFN_GdipGetImageRawFormat>("GdipGetImageRawFormat")(image, &format) != Ok) return false;
  static const uint8_t tail[8] = {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E};
  return (format.Data1 == 0xB96B3CAC || format.Data1 == 0xB96B3CAD) && format.Data2 == 0x0728 &&
         format.Data3 == 0x11D3 && std::memcmp(format.Data4, tail, 8) == 0;
}

}  // namespace

QImage GdiplusDecodeImage(const QByteArray& Bytes) {
  if (Bytes.isEmpty() || !Started()) return QImage();
  GpImage* image = nullptr;
  if (GdiplusLoadImageFromBytes(Bytes, &image) != Ok || image == nullptr) return QImage();
  QImage result;
  UINT units = 0, rows = 0;
  Proc<PFN_GdipGetImageWidth>("GdipGetImageWidth")(image, &units);
  Proc<PFN_GdipGetImageHeight>("GdipGetImageHeight")(image, &rows);
  double width = units, height = rows;
  if (IsMetafileFormat(image)) {
    REAL dpiX = 0, dpiY = 0;
    Proc<PFN_GdipGetImageHorizontalResolution>("GdipGetImageHorizontalResolution")(image, &dpiX);
    Proc<PFN_GdipGetImageVerticalResolution>("GdipGetImageVerticalResolution")(image, &dpiY);
    if (dpiX > 0) width = width * 96.0 / dpiX;
    if (dpiY > 0) height = height * 96.0 / dpiY;
  }
  const int w = int(width + 0.5), h = int(height + 0.5);
  if (w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide && int64_t(w) * h <= kMaxPixels) {
    QImage pixels(w, h, QImage::Format_ARGB32_Premultiplied);
    if (!pixels.isNull()) {
      pixels.fill(Qt::transparent);
      GpBitmap* target = nullptr;
      if (Proc<PFN_GdipCreateBitmapFromScan0>("GdipCreateBitmapFromScan0")(w, h, int(pixels.bytesPerLine()),
                                                                          PixelFormat32bppPARGB, pixels.bits(),
                                                                          &target) == Ok) {
        GpGraphics* graphics = nullptr;
        if (Proc<PFN_GdipGetImageGraphicsContext>("GdipGetImageGraphicsContext")(target, &graphics) == Ok) {
          if (Proc<PFN_GdipDrawImageRectI>("GdipDrawImageRectI")(graphics, image, 0, 0, w, h) == Ok)
            result = pixels;
          Proc<PFN_GdipDeleteGraphics>("GdipDeleteGraphics")(graphics);
        }
        Proc<PFN_GdipDisposeImage>("GdipDisposeImage")(target);
      }
    }
  }
  Proc<PFN_GdipDisposeImage>("GdipDisposeImage")(image);
  return result;
}

void InstallGdiplusImageDecoder() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (!ExternalImageDecoder()) SetExternalImageDecoder(&GdiplusDecodeImage);
  });
}
