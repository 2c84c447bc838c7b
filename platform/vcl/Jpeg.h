#pragma once
// JPEG images as a graphic class, over libjpeg-turbo.

#include "platform/vcl/Graphics.h"

enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
TF_ENUM_NAMES(TJPEGScale, jsFullSize, jsHalf, jsQuarter, jsEighth)

enum TJPEGPerformance { jpBestQuality, jpBestSpeed };
TF_ENUM_NAMES(TJPEGPerformance, jpBestQuality, jpBestSpeed)

// A JPEG image: the compressed bytes and the bitmap decoded from them.
//
// Loading decodes the whole image (at Scale, in grey when Grayscale is
// set), so bytes that do not decode, or end early, raise EInvalidGraphic
// and leave the image empty. An image assigned from a bitmap or another
// graphic is compressed when it is saved (or by Compress) with
// CompressionQuality (1 to 100, default 90). Loaded bytes are saved as
// they are until Compress recompresses them.
class TJPEGImage : public TGraphic {
 public:
  TF_DECLARE_PUBLISHED(TJPEGImage)
  TJPEGImage();
  ~TJPEGImage() override;

  void Assign(TPersistent* Source) override;

  bool Empty() const override { return !FBitmap && FData.isEmpty(); }
  // The size at the current Scale.
  int Width() const override;
  int Height() const override;
  // Raises EInvalidGraphicOperation "Can't change the size of a JPEG image".
  void SetSize(int AWidth, int AHeight) override;

  int CompressionQuality() const { return FQuality; }
  // Raises ERangeError for a value outside 1..100.
  void SetCompressionQuality(int Value);
  bool Grayscale() const { return FGrayscale; }
  void SetGrayscale(bool Value);
  TJPEGScale Scale() const { return FScale; }
  void SetScale(TJPEGScale Value);
  TJPEGPerformance Performance() const { return FPerformance; }
  void SetPerformance(TJPEGPerformance Value);
  bool ProgressiveEncoding() const { return FProgressive; }
  void SetProgressiveEncoding(bool Value) { FProgressive = Value; }

  // Compresses the pixels anew with the current settings.
  void Compress();
  // Makes sure the decoded pixels, or the compressed bytes, are there.
  void DIBNeeded();
  void JPEGNeeded();

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  static bool CanLoadFromStream(TStream* Stream);
  // Length-prefixed JPEG data.
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;

  QImage ToImage() override;

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  void DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) override;

 private:
  // Decodes Data into the bitmap; Consumed receives the length of the JPEG data.
  void Decode(const QByteArray& Data, qsizetype* Consumed);
  void ClearImage();

  QByteArray FData;
  std::unique_ptr<TBitmap> FBitmap;
  int FFullWidth = 0;
  int FFullHeight = 0;
  int FQuality = 90;
  bool FGrayscale = false;
  TJPEGScale FScale = jsFullSize;
  TJPEGPerformance FPerformance = jpBestQuality;
  bool FProgressive = false;
};
