#include "tests/platform/vcl/VclTestSupport.h"

#include <QBuffer>
#include <QImageWriter>

namespace vcltest {

std::unique_ptr<TBitmap> FilledBitmap(int Width, int Height, TColor Color, TPixelFormat Format) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(Format);
  b->SetSize(Width, Height);
  b->Canvas()->Brush()->SetColor(Color);
  b->Canvas()->FillRect(Rect(0, 0, Width, Height));
  return b;
}

QImage Quadrants(int Width, int Height) {
  QImage image(Width, Height, QImage::Format_RGB32);
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) {
      const bool right = x >= Width / 2, bottom = y >= Height / 2;
      image.setPixel(x, y, !bottom ? (right ? 0xFF00FF00u : 0xFFFF0000u) : (right ? 0xFFFFFF00u : 0xFF0000FFu));
    }
  return image;
}

QByteArray Encode(const QImage& image, const char* format, int quality) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (quality >= 0) writer.setQuality(quality);
  writer.write(image);
  return buffer.data();
}

QByteArray TinyGif() {
  static const unsigned char bytes[] = {
      0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x04, 0x00, 0x02, 0x00, 0x81, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00,
      0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x03, 0x00, 0x2C, 0x00, 0x00,
      0x00, 0x00, 0x04, 0x00, 0x02, 0x00, 0x00, 0x02, 0x05, 0x04, 0x12, 0x22, 0x33, 0x05, 0x00, 0x3B};
  return QByteArray(reinterpret_cast<const char*>(bytes), sizeof(bytes));
}

void Put16(QByteArray& b, int at, uint16_t v) {
  b[at] = char(v & 0xFF);
  b[at + 1] = char(v >> 8);
}

void Put32(QByteArray& b, int at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}

QByteArray MakeIco(const std::vector<QImage>& images, bool asPng) {
  std::vector<QByteArray> data;
  for (const QImage& source : images) {
    const QImage img = source.convertToFormat(QImage::Format_ARGB32);
    if (asPng) {
      data.push_back(Encode(img, "png"));
      continue;
    }
    const int w = img.width(), h = img.height();
    const int maskStride = ((w + 31) / 32) * 4;
    QByteArray dib(40, '\0');
    Put32(dib, 0, 40);
    Put32(dib, 4, uint32_t(w));
    Put32(dib, 8, uint32_t(2 * h));
    Put16(dib, 12, 1);
    Put16(dib, 14, 32);
    for (int y = h - 1; y >= 0; --y)
      dib.append(reinterpret_cast<const char*>(img.constScanLine(y)), w * 4);
    for (int y = h - 1; y >= 0; --y) {
      QByteArray row(maskStride, '\0');
      for (int x = 0; x < w; ++x)
        if (qAlpha(img.pixel(x, y)) == 0) row[x >> 3] = char(uchar(row[x >> 3]) | (0x80 >> (x & 7)));
      dib.append(row);
    }
    data.push_back(dib);
  }
  QByteArray ico(6 + 16 * int(images.size()), '\0');
  Put16(ico, 2, 1);
  Put16(ico, 4, uint16_t(images.size()));
  int offset = ico.size();
  for (size_t i = 0; i < images.size(); ++i) {
    const int at = 6 + 16 * int(i);
    ico[at] = char(images[i].width() >= 256 ? 0 : images[i].width());
    ico[at + 1] = char(images[i].height() >= 256 ? 0 : images[i].height());
    Put16(ico, at + 4, 1);
    Put16(ico, at + 6, 32);
    Put32(ico, at + 8, uint32_t(data[i].size()));
    Put32(ico, at + 12, uint32_t(offset));
    offset += data[i].size();
  }
  for (const QByteArray& d : data) ico.append(d);
  return ico;
}

std::unique_ptr<TMemoryStream> StreamOf(const QByteArray& Bytes) {
  auto s = std::make_unique<TMemoryStream>();
  if (!Bytes.isEmpty()) s->WriteBuffer(Bytes.constData(), Bytes.size());
  s->SetPosition(0);
  return s;
}

QByteArray BytesOf(TMemoryStream& Stream) {
  return QByteArray(static_cast<const char*>(Stream.Memory()), qsizetype(Stream.Size()));
}

}  // namespace vcltest
