#include "tools/PictureFiles.h"

#include <QBuffer>

#include <algorithm>

namespace picturefiles {

namespace {
void Put16(QByteArray& b, uint32_t v) {
  b.append(char(v & 0xFF));
  b.append(char((v >> 8) & 0xFF));
}
void Put32(QByteArray& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
}
void Put16BE(QByteArray& b, uint32_t v) {
  b.append(char((v >> 8) & 0xFF));
  b.append(char(v & 0xFF));
}
void Put32BE(QByteArray& b, uint32_t v) {
  for (int i = 3; i >= 0; --i) b.append(char((v >> (8 * i)) & 0xFF));
}

QByteArray Encode(const QImage& Image, const char* Format, int Quality = -1) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  Image.save(&buffer, Format, Quality);
  return bytes;
}
}  // namespace

QImage Quadrants(int W, int H) {
  QImage image(W, H, QImage::Format_ARGB32);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const bool right = x >= W / 2, bottom = y >= H / 2;
      QRgb c = qRgb(255, 0, 0);
      if (right && !bottom) c = qRgb(0, 255, 0);
      if (!right && bottom) c = qRgb(0, 0, 255);
      if (right && bottom) c = qRgb(255, 255, 255);
      image.setPixel(x, y, c);
    }
  return image;
}

QByteArray Png(const QImage& Image) { return Encode(Image, "PNG"); }
QByteArray Jpeg(const QImage& Image, int Quality) { return Encode(Image.convertToFormat(QImage::Format_RGB32), "JPEG", Quality); }

QByteArray Bmp(const QImage& Image, bool TopDown) {
  const int w = Image.width(), h = Image.height();
  const int stride = ((w * 3 + 3) / 4) * 4;
  QByteArray b("BM");
  Put32(b, 54 + stride * h);
  Put32(b, 0);
  Put32(b, 54);
  Put32(b, 40);
  Put32(b, uint32_t(w));
  Put32(b, uint32_t(TopDown ? -h : h));
  Put16(b, 1);
  Put16(b, 24);
  Put32(b, 0);
  Put32(b, stride * h);
  Put32(b, 2835);
  Put32(b, 2835);
  Put32(b, 0);
  Put32(b, 0);
  for (int row = 0; row < h; ++row) {
    const int y = TopDown ? row : h - 1 - row;
    QByteArray line;
    for (int x = 0; x < w; ++x) {
      const QRgb c = Image.pixel(x, y);
      line.append(char(qBlue(c)));
      line.append(char(qGreen(c)));
      line.append(char(qRed(c)));
    }
    line.append(QByteArray(stride - line.size(), '\0'));
    b.append(line);
  }
  return b;
}

QByteArray Tiff(const QImage& Image, bool BigEndian) {
  const int w = Image.width(), h = Image.height();
  auto p16 = [&](QByteArray& b, uint32_t v) { BigEndian ? Put16BE(b, v) : Put16(b, v); };
  auto p32 = [&](QByteArray& b, uint32_t v) { BigEndian ? Put32BE(b, v) : Put32(b, v); };
  QByteArray pixels;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const QRgb c = Image.pixel(x, y);
      pixels.append(char(qRed(c)));
      pixels.append(char(qGreen(c)));
      pixels.append(char(qBlue(c)));
    }
  struct TEntry {
    uint16_t Tag, Type;
    uint32_t Count, Value;
  };
  const int entries = 10;
  const uint32_t ifd = 8;
  const uint32_t bitsAt = ifd + 2 + entries * 12 + 4;
  const uint32_t dataAt = bitsAt + 6;
  // The width as a SHORT and the height as a LONG: both kinds are read.
  const TEntry list[entries] = {{256, 3, 1, uint32_t(w)},     {257, 4, 1, uint32_t(h)},   {258, 3, 3, bitsAt},
                                {259, 3, 1, 1},               {262, 3, 1, 2},             {273, 4, 1, dataAt},
                                {277, 3, 1, 3},               {278, 4, 1, uint32_t(h)},   {279, 4, 1, uint32_t(pixels.size())},
                                {284, 3, 1, 1}};
  QByteArray b(BigEndian ? "MM" : "II");
  p16(b, 42);
  p32(b, ifd);
  p16(b, entries);
  for (const TEntry& e : list) {
    p16(b, e.Tag);
    p16(b, e.Type);
    p32(b, e.Count);
    if (e.Type == 3 && e.Count == 1) {
      p16(b, e.Value);  // a SHORT sits in the first two bytes of the field
      p16(b, 0);
    } else {
      p32(b, e.Value);
    }
  }
  p32(b, 0);  // no next directory
  p16(b, 8);
  p16(b, 8);
  p16(b, 8);
  return b + pixels;
}

QByteArray Ico(const QImage& Image) {
  const int w = Image.width(), h = Image.height();
  QByteArray dib;
  Put32(dib, 40);
  Put32(dib, uint32_t(w));
  Put32(dib, uint32_t(2 * h));
  Put16(dib, 1);
  Put16(dib, 32);
  Put32(dib, 0);
  Put32(dib, uint32_t(w * h * 4));
  for (int i = 0; i < 4; ++i) Put32(dib, 0);
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x) {
      const QRgb c = Image.pixel(x, y);
      dib.append(char(qBlue(c)));
      dib.append(char(qGreen(c)));
      dib.append(char(qRed(c)));
      dib.append(char(qAlpha(c)));
    }
  const int maskRow = ((w + 31) / 32) * 4;
  dib.append(QByteArray(maskRow * h, '\0'));
  QByteArray b;
  Put16(b, 0);
  Put16(b, 1);
  Put16(b, 1);
  b.append(char(w >= 256 ? 0 : w));
  b.append(char(h >= 256 ? 0 : h));
  b.append('\0');
  b.append('\0');
  Put16(b, 1);
  Put16(b, 32);
  Put32(b, uint32_t(dib.size()));
  Put32(b, 22);
  return b + dib;
}

QByteArray Gif(const TGifOptions& Options) {
  const int w = Options.Width, h = Options.Height;
  QByteArray b("GIF89a");
  Put16(b, w);
  Put16(b, h);
  b.append(char(0x81));  // global table of 4 entries
  b.append('\0');
  b.append('\0');
  const uchar palette[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  b.append(reinterpret_cast<const char*>(palette), 12);
  for (size_t f = 0; f < Options.Delays.size(); ++f) {
    const int inset = int(std::min<size_t>(2 * f, size_t(std::min(w, h) / 2 - 1)));
    if (!Options.NoControl) {
      b.append("\x21\xF9\x04", 3);
      b.append('\x04');  // disposal: none; no transparency
      Put16(b, uint32_t(Options.Delays[f]));
      b.append('\0');
      b.append('\0');
    }
    if (Options.Comments) {
      // A comment whose text holds an image separator and a control
      // extension's first bytes.
      b.append("\x21\xFE\x06", 3);
      b.append("\x2C\x21\xF9\x04\x2C\x00", 6);
      b.append('\0');
    }
    b.append('\x2C');
    Put16(b, inset);
    Put16(b, inset);
    Put16(b, w - 2 * inset);
    Put16(b, h - 2 * inset);
    b.append('\0');
    b.append('\x02');  // minimum code size
    // 3-bit codes, a clear code before every second pixel so that the
    // code size never grows.
    std::vector<int> codes;
    const int pixels = (w - 2 * inset) * (h - 2 * inset);
    for (int i = 0; i < pixels; ++i) {
      if (i % 2 == 0) codes.push_back(4);
      codes.push_back(int(f % 4));
    }
    codes.push_back(5);
    QByteArray data;
    uint32_t acc = 0;
    int bits = 0;
    for (int c : codes) {
      acc |= uint32_t(c) << bits;
      bits += 3;
      while (bits >= 8) {
        data.append(char(acc & 0xFF));
        acc >>= 8;
        bits -= 8;
      }
    }
    if (bits > 0) data.append(char(acc & 0xFF));
    for (qsizetype i = 0; i < data.size(); i += 255) {
      const qsizetype n = std::min<qsizetype>(255, data.size() - i);
      b.append(char(n));
      b.append(data.mid(i, n));
    }
    b.append('\0');
  }
  b.append('\x3B');
  return b;
}

QByteArray Wmf(int W, int H) {
  const int lw = W * 15, lh = H * 15;  // 1440 units per inch at 96 DPI
  QByteArray b;
  Put32(b, 0x9AC6CDD7);
  Put16(b, 0);
  Put16(b, 0);
  Put16(b, 0);
  Put16(b, lw);
  Put16(b, lh);
  Put16(b, 1440);
  Put32(b, 0);
  uint16_t sum = 0;
  for (int i = 0; i < 20; i += 2) sum ^= uint16_t(uchar(b[i]) | (uchar(b[i + 1]) << 8));
  Put16(b, sum);
  QByteArray records;
  auto record = [&](int function, std::initializer_list<int> params) {
    Put32(records, uint32_t(3 + params.size()));
    Put16(records, function);
    for (int p : params) Put16(records, p);
  };
  record(0x020B, {0, 0});    // SETWINDOWORG
  record(0x020C, {lh, lw});  // SETWINDOWEXT
  Put32(records, 7);         // CREATEBRUSHINDIRECT: solid red
  Put16(records, 0x02FC);
  Put16(records, 0);
  Put32(records, 0x000000FF);
  Put16(records, 0);
  record(0x012D, {0});              // SELECTOBJECT
  record(0x041B, {lh, lw, 0, 0});   // RECTANGLE
  record(0x0000, {});               // EOF
  QByteArray header;
  Put16(header, 1);
  Put16(header, 9);
  Put16(header, 0x300);
  Put32(header, uint32_t((18 + records.size()) / 2));
  Put16(header, 1);
  Put32(header, 7);
  Put16(header, 0);
  return b + header + records;
}

QByteArray Emf(int W, int H) {
  QByteArray records;
  Put32(records, 39);  // CREATEBRUSHINDIRECT: solid green
  Put32(records, 24);
  Put32(records, 1);
  Put32(records, 0);
  Put32(records, 0x0000FF00);
  Put32(records, 0);
  Put32(records, 37);  // SELECTOBJECT
  Put32(records, 12);
  Put32(records, 1);
  const int l = W / 4, t = H / 4, r = 3 * W / 4, btm = 3 * H / 4;
  Put32(records, 86);  // POLYGON16
  Put32(records, 28 + 16);
  Put32(records, l);
  Put32(records, t);
  Put32(records, r);
  Put32(records, btm);
  Put32(records, 4);
  Put16(records, l);
  Put16(records, t);
  Put16(records, r);
  Put16(records, t);
  Put16(records, r);
  Put16(records, btm);
  Put16(records, l);
  Put16(records, btm);
  Put32(records, 14);  // EOF
  Put32(records, 20);
  Put32(records, 0);
  Put32(records, 16);
  Put32(records, 20);
  QByteArray header;
  Put32(header, 1);
  Put32(header, 88);
  Put32(header, 0);
  Put32(header, 0);
  Put32(header, uint32_t(W - 1));
  Put32(header, uint32_t(H - 1));
  Put32(header, 0);
  Put32(header, 0);
  Put32(header, uint32_t((W - 1) * 2646 / 100));  // inclusive frame in 0.01 mm
  Put32(header, uint32_t((H - 1) * 2646 / 100));
  Put32(header, 0x464D4520);
  Put32(header, 0x10000);
  Put32(header, uint32_t(88 + records.size()));
  Put32(header, 5);
  Put16(header, 2);
  Put16(header, 0);
  Put32(header, 0);
  Put32(header, 0);
  Put32(header, 0);
  Put32(header, 1024);
  Put32(header, 768);
  Put32(header, 270);
  Put32(header, 203);
  return header + records;
}

}  // namespace picturefiles
