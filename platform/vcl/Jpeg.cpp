// TJPEGImage over libjpeg-turbo. The library reports errors by longjmp, so
// every call into it happens in a function that holds only plain data; the
// pixels go into an image owned by the caller.

#include "platform/vcl/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "platform/vcl/GraphicsConsts.h"
#include "platform/vcl/GraphicsPrivate.h"

using namespace vclgraphics;

namespace {

struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->Message);
  std::longjmp(err->Jump, 1);
}

// Warnings are quiet, but data that ends early is an error.
void EmitMessage(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) ErrorExit(cinfo);
}

void OutputMessage(j_common_ptr) {}

void InitError(TJpegError& err) {
  jpeg_std_error(&err.Manager);
  err.Manager.error_exit = ErrorExit;
  err.Manager.emit_message = EmitMessage;
  err.Manager.output_message = OutputMessage;
  err.Message[0] = '\0';
}

struct TDecodeJob {
  const unsigned char* Data = nullptr;
  unsigned long Size = 0;
  unsigned ScaleDenom = 1;
  bool Gray = false;
  bool Fast = false;
  // Results.
  int FullWidth = 0;
  int FullHeight = 0;
  unsigned long Consumed = 0;
  bool TooLarge = false;
  QImage* Image = nullptr;  // owned by the caller; receives RGB32 pixels
  char Message[JMSG_LENGTH_MAX] = {};
};

void PrepareImage(QImage* image, int w, int h) { *image = QImage(w, h, QImage::Format_RGB32); }

// Converts a row read in place: grey bytes or CMYK quadruples at the start
// of the row become opaque B, G, R, A pixels.
void ExpandRow(uchar* row, int width, int components, bool adobeInverted) {
  auto* px = reinterpret_cast<uint32_t*>(row);
  if (components == 1) {
    for (int x = width - 1; x >= 0; --x) {
      const uint32_t g = row[x];
      px[x] = 0xFF000000u | (g << 16) | (g << 8) | g;
    }
  } else if (components == 4) {
    for (int x = 0; x < width; ++x) {
      uint32_t c = row[4 * x], m = row[4 * x + 1], y = row[4 * x + 2], k = row[4 * x + 3];
      if (!adobeInverted) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
      }
      const uint32_t r = c * k / 255, g = m * k / 255, b = y * k / 255;
      px[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  }
}

bool RunDecode(TDecodeJob* job) {
  jpeg_decompress_struct cinfo;
  TJpegError err;
  InitError(err);
  cinfo.err = &err.Manager;
  if (setjmp(err.Jump)) {
    std::memcpy(job->Message, err.Message, sizeof(job->Message));
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, job->Data, job->Size);
  jpeg_read_header(&cinfo, TRUE);
  job->FullWidth = int(cinfo.image_width);
  job->FullHeight = int(cinfo.image_height);
  if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > unsigned(MaxImageSide) ||
      cinfo.image_height > unsigned(MaxImageSide) ||
      int64_t(cinfo.image_width) * int64_t(cinfo.image_height) > MaxImagePixels) {
    job->TooLarge = true;
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  cinfo.scale_num = 1;
  cinfo.scale_denom = job->ScaleDenom;
  cinfo.dct_method = job->Fast ? JDCT_IFAST : JDCT_ISLOW;
  cinfo.do_fancy_upsampling = job->Fast ? FALSE : TRUE;
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  int components = 4;
  if (cmyk) {
    cinfo.out_color_space = JCS_CMYK;
  } else if (cinfo.jpeg_color_space == JCS_GRAYSCALE ||
             (job->Gray && cinfo.jpeg_color_space == JCS_YCbCr)) {
    cinfo.out_color_space = JCS_GRAYSCALE;
    components = 1;
  } else {
    cinfo.out_color_space = JCS_EXT_BGRA;
    components = 0;  // already pixels
  }
  jpeg_start_decompress(&cinfo);
  PrepareImage(job->Image, int(cinfo.output_width), int(cinfo.output_height));
  const bool inverted = cinfo.saw_Adobe_marker;
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = job->Image->scanLine(int(cinfo.output_scanline));
    jpeg_read_scanlines(&cinfo, &row, 1);
    if (components) ExpandRow(row, int(cinfo.output_width), components, inverted);
  }
  jpeg_finish_decompress(&cinfo);
  job->Consumed = job->Size - (cinfo.src ? cinfo.src->bytes_in_buffer : 0);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

struct TEncodeJob {
  const QImage* Image = nullptr;  // RGB32 or ARGB32 (alpha ignored)
  int Quality = 90;
  bool Gray = false;
  bool Progressive = false;
  unsigned char* Out = nullptr;  // malloc'ed by the library; freed by the caller
  unsigned long OutSize = 0;
  char Message[JMSG_LENGTH_MAX] = {};
};

bool RunEncode(TEncodeJob* job) {
  jpeg_compress_struct cinfo;
  TJpegError err;
  InitError(err);
  cinfo.err = &err.Manager;
  if (setjmp(err.Jump)) {
    std::memcpy(job->Message, err.Message, sizeof(job->Message));
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &job->Out, &job->OutSize);
  cinfo.image_width = JDIMENSION(job->Image->width());
  cinfo.image_height = JDIMENSION(job->Image->height());
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&cinfo);
  if (job->Gray) jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
  jpeg_set_quality(&cinfo, job->Quality, TRUE);
  if (job->Progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(job->Image->constScanLine(int(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

unsigned ScaleDenominator(TJPEGScale s) {
  switch (s) {
    case jsHalf: return 2;
    case jsQuarter: return 4;
    case jsEighth: return 8;
    case jsFullSize: break;
  }
  return 1;
}

[[noreturn]] void InvalidJpeg(const char* detail) {
  InvalidGraphic(Format(QString::fromLatin1(GraphicsConsts::SInvalidJpeg), {QString::fromLatin1(detail)}));
}

}  // namespace

TF_PUBLISHED(TJPEGImage, TGraphic) { return TPublished<TJPEGImage>(); }

TJPEGImage::TJPEGImage() = default;

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::ClearImage() {
  FData.clear();
  FBitmap.reset();
  FFullWidth = FFullHeight = 0;
}

int TJPEGImage::Width() const {
  if (FBitmap) return FBitmap->Width();
  const unsigned d = ScaleDenominator(FScale);
  return FData.isEmpty() ? 0 : int((unsigned(FFullWidth) + d - 1) / d);
}

int TJPEGImage::Height() const {
  if (FBitmap) return FBitmap->Height();
  const unsigned d = ScaleDenominator(FScale);
  return FData.isEmpty() ? 0 : int((unsigned(FFullHeight) + d - 1) / d);
}

void TJPEGImage::SetSize(int, int) {
  throw EInvalidGraphicOperation(QStringLiteral("Can't change the size of a JPEG image"));
}

void TJPEGImage::SetCompressionQuality(int Value) {
  if (Value < 1 || Value > 100) throw ERangeError(QString::fromLatin1(RtlConsts::SRangeError));
  FQuality = Value;
}

void TJPEGImage::SetGrayscale(bool Value) {
  if (Value == FGrayscale) return;
  FGrayscale = Value;
  if (!FData.isEmpty()) FBitmap.reset();
  Changed(this);
}

void TJPEGImage::SetScale(TJPEGScale Value) {
  if (Value == FScale) return;
  FScale = Value;
  if (!FData.isEmpty()) FBitmap.reset();
  Changed(this);
}

void TJPEGImage::SetPerformance(TJPEGPerformance Value) {
  if (Value == FPerformance) return;
  FPerformance = Value;
  if (!FData.isEmpty()) FBitmap.reset();
  Changed(this);
}

void TJPEGImage::Decode(const QByteArray& Data, qsizetype* Consumed) {
  QImage image;
  TDecodeJob job;
  job.Data = reinterpret_cast<const unsigned char*>(Data.constData());
  job.Size = static_cast<unsigned long>(Data.size());
  job.ScaleDenom = ScaleDenominator(FScale);
  job.Gray = FGrayscale;
  job.Fast = FPerformance == jpBestSpeed;
  job.Image = &image;
  if (!RunDecode(&job)) {
    if (job.TooLarge) CheckImageSize(job.FullWidth, job.FullHeight);
    InvalidJpeg(job.Message);
  }
  FFullWidth = job.FullWidth;
  FFullHeight = job.FullHeight;
  if (Consumed) *Consumed = qsizetype(job.Consumed);
  if (FGrayscale) {
    // Sources that libjpeg does not turn grey by itself.
    for (int y = 0; y < image.height(); ++y) {
      auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        const uint32_t v = uint32_t(qGray(row[x]));
        row[x] = 0xFF000000u | (v << 16) | (v << 8) | v;
      }
    }
  }
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->AssignImage(image);
  FBitmap = std::move(bitmap);
}

void TJPEGImage::DIBNeeded() {
  if (FBitmap || FData.isEmpty()) return;
  Decode(FData, nullptr);
}

void TJPEGImage::JPEGNeeded() {
  if (FData.isEmpty() && FBitmap && !FBitmap->Empty()) Compress();
}

void TJPEGImage::Compress() {
  DIBNeeded();
  if (!FBitmap || FBitmap->Empty()) return;
  const QImage image = FBitmap->ToImage();
  TEncodeJob job;
  job.Image = &image;
  job.Quality = FQuality;
  job.Gray = FGrayscale;
  job.Progressive = FProgressive;
  const bool ok = RunEncode(&job);
  QByteArray data;
  if (ok && job.Out) data = QByteArray(reinterpret_cast<const char*>(job.Out), qsizetype(job.OutSize));
  std::free(job.Out);
  if (!ok) throw EInvalidGraphicOperation(QString::fromLatin1(job.Message));
  FData = data;
  FFullWidth = image.width();
  FFullHeight = image.height();
}

bool TJPEGImage::CanLoadFromStream(TStream* Stream) {
  const QByteArray head = PeekBytes(Stream, 3);
  return head.size() == 3 && uchar(head[0]) == 0xFF && uchar(head[1]) == 0xD8 && uchar(head[2]) == 0xFF;
}

void TJPEGImage::LoadFromStream(TStream* Stream) {
  const Int64 start = Stream->Position();
  try {
    const QByteArray bytes = ReadToEnd(Stream);
    if (bytes.size() < 4 || uchar(bytes[0]) != 0xFF || uchar(bytes[1]) != 0xD8) InvalidJpeg("Not a JPEG file");
    FBitmap.reset();
    qsizetype consumed = bytes.size();
    Decode(bytes, &consumed);
    consumed = std::clamp<qsizetype>(consumed, 0, bytes.size());
    FData = bytes.left(consumed);
    Stream->SetPosition(start + consumed);
  } catch (...) {
    ClearImage();
    Changed(this);
    throw;
  }
  Changed(this);
}

void TJPEGImage::SaveToStream(TStream* Stream) {
  JPEGNeeded();
  WriteBytes(Stream, FData);
}

void TJPEGImage::ReadData(TStream* Stream) {
  int32_t size = 0;
  if (Stream->ReadData(size) != 4) InvalidJpeg("No data");
  const Int64 available = Stream->Size() - Stream->Position();
  if (size < 0 || size > available) InvalidJpeg("Data length out of range");
  if (size == 0) {
    ClearImage();
    Changed(this);
    return;
  }
  TMemoryStream data;
  data.CopyFrom(Stream, size);
  data.SetPosition(0);
  LoadFromStream(&data);
}

void TJPEGImage::WriteData(TStream* Stream) {
  JPEGNeeded();
  Stream->WriteData(int32_t(FData.size()));
  WriteBytes(Stream, FData);
}

void TJPEGImage::Assign(TPersistent* Source) {
  if (!Source) {
    ClearImage();
    Changed(this);
  } else if (auto* jpeg = dynamic_cast<TJPEGImage*>(Source)) {
    if (jpeg == this) return;
    FData = jpeg->FData;
    FFullWidth = jpeg->FFullWidth;
    FFullHeight = jpeg->FFullHeight;
    FBitmap.reset();
    if (jpeg->FBitmap) {
      FBitmap = std::make_unique<TBitmap>();
      FBitmap->Assign(jpeg->FBitmap.get());
    }
    FQuality = jpeg->FQuality;
    FGrayscale = jpeg->FGrayscale;
    FScale = jpeg->FScale;
    FPerformance = jpeg->FPerformance;
    FProgressive = jpeg->FProgressive;
    Changed(this);
  } else if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
    const QImage image = graphic->ToImage();
    ClearImage();
    if (!image.isNull()) {
      // JPEG holds no alpha: the pixels count as opaque.
      FBitmap = std::make_unique<TBitmap>();
      FBitmap->AssignImage(image.convertToFormat(QImage::Format_RGB32));
      FFullWidth = image.width();
      FFullHeight = image.height();
    }
    Changed(this);
  } else {
    TGraphic::Assign(Source);
  }
}

QImage TJPEGImage::ToImage() {
  DIBNeeded();
  return FBitmap ? FBitmap->ToImage() : QImage();
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  DIBNeeded();
  if (FBitmap) DrawGraphic(FBitmap.get(), ACanvas, Rect);
}

void TJPEGImage::DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) {
  DIBNeeded();
  if (FBitmap) DrawGraphicTransparent(FBitmap.get(), ACanvas, Rect, Opacity);
}
