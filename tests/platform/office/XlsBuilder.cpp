#include "tests/platform/office/XlsBuilder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace xlstest {

QByteArray U8(int v) { return QByteArray(1, char(v & 0xFF)); }
QByteArray U16(int v) { return U8(v) + U8(v >> 8); }
QByteArray U32(uint32_t v) { return U16(int(v & 0xFFFF)) + U16(int(v >> 16)); }
QByteArray F64(double v) {
  const uint64_t bits = std::bit_cast<uint64_t>(v);
  return U32(uint32_t(bits)) + U32(uint32_t(bits >> 32));
}

QByteArray Record(uint16_t type, const QByteArray& body) { return U16(type) + U16(int(body.size())) + body; }

namespace {

bool FitsLatin1(const QString& text) {
  for (QChar ch : text)
    if (ch.unicode() > 0xFF) return false;
  return true;
}

QByteArray Chars(const QString& text, bool wide) {
  QByteArray out;
  for (QChar ch : text) out += wide ? U16(ch.unicode()) : U8(ch.unicode());
  return out;
}

}  // namespace

QByteArray Biff8Text(const QString& text, int lengthBytes, bool wide, int runs, int extra) {
  wide = wide || !FitsLatin1(text);
  QByteArray out = lengthBytes == 1 ? U8(int(text.size())) : U16(int(text.size()));
  out += U8((wide ? 0x01 : 0) | (extra ? 0x04 : 0) | (runs ? 0x08 : 0));
  if (runs) out += U16(runs);
  if (extra) out += U32(uint32_t(extra));
  out += Chars(text, wide);
  for (int i = 0; i < runs; ++i) out += U16(i) + U16(5);  // character position, font
  out += QByteArray(extra, '\x5A');
  return out;
}

QByteArray Cell(int row, int col, int xf) { return U16(row) + U16(col) + U16(xf); }

uint32_t Rk(double value) {
  if (value == std::floor(value) && std::fabs(value) < (1 << 29)) return uint32_t(int32_t(value) << 2) | 0x02;
  const double hundred = value * 100;
  if (hundred == std::floor(hundred) && std::fabs(hundred) < (1 << 29)) return uint32_t(int32_t(hundred) << 2) | 0x03;
  return uint32_t(std::bit_cast<uint64_t>(value) >> 32) & 0xFFFFFFFCu;
}

QByteArray Sst(const std::vector<QString>& strings, int limit, bool wide, int runs, int extra) {
  std::vector<QByteArray> bodies{U32(uint32_t(strings.size()) * 2) + U32(uint32_t(strings.size()))};
  auto room = [&] { return limit - int(bodies.back().size()); };
  for (const QString& text : strings) {
    const bool w = wide || !FitsLatin1(text);
    QByteArray header = U16(int(text.size())) + U8((w ? 0x01 : 0) | (extra ? 0x04 : 0) | (runs ? 0x08 : 0));
    if (runs) header += U16(runs);
    if (extra) header += U32(uint32_t(extra));
    // A header and at least one character together, or a new record.
    if (room() < header.size() + (text.isEmpty() ? 0 : (w ? 2 : 1))) bodies.emplace_back();
    bodies.back() += header;
    const int unit = w ? 2 : 1;
    qsizetype done = 0;
    while (done < text.size()) {
      qsizetype n = std::min<qsizetype>(text.size() - done, room() / unit);
      if (n == 0) {
        bodies.emplace_back();
        bodies.back() += U8(w ? 0x01 : 0x00);
        continue;
      }
      bodies.back() += Chars(text.mid(done, n), w);
      done += n;
    }
    QByteArray runBytes;
    for (int i = 0; i < runs; ++i) runBytes += U16(i) + U16(5);
    runBytes += QByteArray(extra, '\x5A');
    while (!runBytes.isEmpty()) {
      if (room() == 0) bodies.emplace_back();
      const qsizetype n = std::min<qsizetype>(runBytes.size(), room());
      bodies.back() += runBytes.left(n);
      runBytes.remove(0, n);
    }
  }
  QByteArray out = Record(0x00FC, bodies.front());
  for (size_t i = 1; i < bodies.size(); ++i) out += Record(0x003C, bodies[i]);
  return out;
}

QByteArray BofRecord(bool biff8, int kind) {
  QByteArray body = U16(biff8 ? 0x0600 : 0x0500) + U16(kind) + U16(0x0DBB) + U16(0x07CC);
  if (biff8) body += U32(0) + U32(6);
  return Record(0x0809, body);
}

namespace {

// What spreadsheet programs write first in a worksheet: INDEX, and the
// DIMENSIONS of the cells that follow (first row, last row + 1, first
// column, last column + 1); the reader needs neither.
QByteArray SheetHead(bool biff8, const QByteArray& records) {
  int row1 = 0, row2 = 0, col1 = 0, col2 = 0;
  bool any = false;
  int depth = 1;
  for (qsizetype at = 0; at + 4 <= records.size();) {
    const int type = uint8_t(records[at]) | uint8_t(records[at + 1]) << 8;
    const int size = uint8_t(records[at + 2]) | uint8_t(records[at + 3]) << 8;
    const qsizetype body = at + 4;
    at = body + size;
    if (type == 0x0809) ++depth;
    if (type == 0x000A) --depth;
    if (depth != 1 || at > records.size() || size < 4) continue;
    static const int cellTypes[] = {0x0203, 0x027E, 0x00FD, 0x0204, 0x00D6, 0x0205, 0x0006, 0x0201, 0x00BD};
    if (std::find(std::begin(cellTypes), std::end(cellTypes), type) == std::end(cellTypes)) continue;
    const int row = uint8_t(records[body]) | uint8_t(records[body + 1]) << 8;
    const int first = uint8_t(records[body + 2]) | uint8_t(records[body + 3]) << 8;
    const int last = type == 0x00BD && size >= 2 ? (uint8_t(records[at - 2]) | uint8_t(records[at - 1]) << 8) : first;
    if (!any) row1 = row, row2 = row, col1 = first, col2 = last, any = true;
    row1 = std::min(row1, row), row2 = std::max(row2, row), col1 = std::min(col1, first), col2 = std::max(col2, last);
  }
  if (any) ++row2, ++col2;
  if (biff8)
    return Record(0x020B, U32(0) + U32(uint32_t(row1)) + U32(uint32_t(row2)) + U32(0)) +
           Record(0x0200, U32(uint32_t(row1)) + U32(uint32_t(row2)) + U16(col1) + U16(col2) + U16(0));
  return Record(0x020B, U32(0) + U16(row1) + U16(row2) + U32(0)) +
         Record(0x0200, U16(row1) + U16(row2) + U16(col1) + U16(col2) + U16(0));
}

}  // namespace

QByteArray Stream(const TBookSpec& spec) {
  // BOUNDSHEET bodies with a placeholder offset, then the offsets.
  std::vector<QByteArray> bound;
  for (const TSheetSpec& s : spec.Sheets) {
    QByteArray name;
    if (spec.Biff8) {
      name = Biff8Text(s.Name, 1);
    } else {
      const QByteArray bytes = s.Biff5Name.isEmpty() ? s.Name.toLatin1() : s.Biff5Name;
      name = U8(int(bytes.size())) + bytes;
    }
    bound.push_back(Record(0x0085, U32(0) + U8(0) + U8(s.Type) + name));
  }
  QByteArray out = BofRecord(spec.Biff8, 0x0005) + spec.Globals;
  std::vector<qsizetype> boundAt;
  for (const QByteArray& b : bound) {
    boundAt.push_back(out.size() + 4);  // the offset is the body's first field
    out += b;
  }
  out += Record(0x000A, {});
  for (size_t i = 0; i < spec.Sheets.size(); ++i) {
    const TSheetSpec& s = spec.Sheets[i];
    SetU32(out, boundAt[i], uint32_t(out.size()));
    out += BofRecord(spec.Biff8, s.Type == 2 ? 0x0020 : 0x0010);
    if (s.Type == 0) out += SheetHead(spec.Biff8, s.Records);
    out += s.Records + Record(0x000A, {});
  }
  return out;
}

uint32_t GetU32(const QByteArray& bytes, qsizetype at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | uint8_t(bytes[at + i]);
  return v;
}

void SetU32(QByteArray& bytes, qsizetype at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = char((v >> (8 * i)) & 0xFF);
}

namespace {

constexpr uint32_t kEnd = 0xFFFFFFFEu, kFree = 0xFFFFFFFFu, kFatSect = 0xFFFFFFFDu, kDifSect = 0xFFFFFFFCu;

QByteArray DirEntry(const QString& name, int type, uint32_t left, uint32_t right, uint32_t child, uint32_t start,
                    uint64_t size) {
  QByteArray e(128, '\0');
  for (qsizetype i = 0; i < name.size() && i < 31; ++i) {
    e[2 * i] = char(name[i].unicode() & 0xFF);
    e[2 * i + 1] = char(name[i].unicode() >> 8);
  }
  const int nameBytes = int(std::min<qsizetype>(name.size(), 31) + 1) * 2;
  e[0x40] = char(nameBytes);
  e[0x42] = char(type);
  e[0x43] = 1;  // black
  SetU32(e, 0x44, left);
  SetU32(e, 0x48, right);
  SetU32(e, 0x4C, child);
  SetU32(e, 0x74, start);
  SetU32(e, 0x78, uint32_t(size));
  SetU32(e, 0x7C, uint32_t(size >> 32));
  return e;
}

}  // namespace

QByteArray CompoundFile(const TCompoundSpec& spec) {
  const qsizetype ss = qsizetype(1) << spec.SectorShift;
  const uint32_t perSector = uint32_t(ss / 4);
  std::vector<uint32_t> fat;  // next sector per sector
  QByteArray body;            // the sectors after the header
  auto addChain = [&](const QByteArray& data) -> uint32_t {
    if (data.isEmpty()) return kEnd;
    const uint32_t first = uint32_t(fat.size());
    const qsizetype n = (data.size() + ss - 1) / ss;
    for (qsizetype i = 0; i < n; ++i) fat.push_back(i + 1 < n ? uint32_t(first + i + 1) : kEnd);
    QByteArray padded = data;
    padded.append(QByteArray(n * ss - data.size(), '\0'));
    body += padded;
    return first;
  };

  // Big streams first, then the mini stream and its table.
  std::vector<uint32_t> starts(spec.Streams.size(), kEnd);
  QByteArray mini;
  std::vector<uint32_t> miniFat;
  for (size_t i = 0; i < spec.Streams.size(); ++i) {
    const QByteArray& data = spec.Streams[i].second;
    if (data.size() >= 4096 || spec.NoMiniStream) starts[i] = addChain(data);
  }
  for (size_t i = 0; i < spec.Streams.size(); ++i) {
    const QByteArray& data = spec.Streams[i].second;
    if (data.size() >= 4096 || data.isEmpty() || spec.NoMiniStream) continue;
    const uint32_t first = uint32_t(miniFat.size());
    const qsizetype n = (data.size() + 63) / 64;
    for (qsizetype k = 0; k < n; ++k) miniFat.push_back(k + 1 < n ? uint32_t(first + k + 1) : kEnd);
    mini += data + QByteArray(n * 64 - data.size(), '\0');
    starts[i] = first;
  }
  const uint32_t miniStart = addChain(mini);
  QByteArray miniFatBytes;
  for (uint32_t v : miniFat) miniFatBytes += U32(v);
  const uint32_t miniFatStart = addChain(miniFatBytes);
  const uint32_t miniFatSectors = uint32_t((miniFatBytes.size() + ss - 1) / ss);

  // The directory: the root, then the streams as a chain of right siblings.
  QByteArray dir = DirEntry(QStringLiteral("Root Entry"), 5, kFree, kFree, spec.Streams.empty() ? kFree : 1, miniStart,
                            uint64_t(mini.size()));
  for (size_t i = 0; i < spec.Streams.size(); ++i)
    dir += DirEntry(spec.Streams[i].first, 2, kFree, i + 1 < spec.Streams.size() ? uint32_t(i + 2) : kFree, kFree,
                    starts[i], uint64_t(spec.Streams[i].second.size()));
  const uint32_t dirStart = addChain(dir);

  // The FAT covers every sector, its own and the index sectors among them.
  uint32_t fatSectors = std::max<uint32_t>(1, uint32_t(spec.MinFatSectors));
  uint32_t difSectors = 0;
  for (;;) {
    difSectors = fatSectors > 109 ? (fatSectors - 109 + perSector - 2) / (perSector - 1) : 0;
    const uint32_t total = uint32_t(fat.size()) + fatSectors + difSectors;
    const uint32_t need = std::max<uint32_t>(uint32_t(spec.MinFatSectors), (total + perSector - 1) / perSector);
    if (need <= fatSectors) break;
    fatSectors = need;
  }
  const uint32_t fatStart = uint32_t(fat.size());
  for (uint32_t i = 0; i < fatSectors; ++i) fat.push_back(kFatSect);
  const uint32_t difStart = uint32_t(fat.size());
  for (uint32_t i = 0; i < difSectors; ++i) fat.push_back(kDifSect);
  fat.resize(size_t(fatSectors) * perSector, kFree);
  QByteArray fatBytes;
  for (uint32_t v : fat) fatBytes += U32(v);
  body += fatBytes;
  QByteArray difBytes;
  for (uint32_t d = 0; d < difSectors; ++d) {
    for (uint32_t k = 0; k + 1 < perSector; ++k) {
      const uint32_t index = 109 + d * (perSector - 1) + k;
      difBytes += U32(index < fatSectors ? fatStart + index : kFree);
    }
    difBytes += U32(d + 1 < difSectors ? difStart + d + 1 : kEnd);
  }
  body += difBytes;

  QByteArray header(512, '\0');
  header.replace(0, 8, QByteArray::fromHex("D0CF11E0A1B11AE1"));
  header.replace(0x18, 2, U16(0x3E));
  header.replace(0x1A, 2, U16(spec.SectorShift == 12 ? 4 : 3));
  header.replace(0x1C, 2, U16(0xFFFE));
  header.replace(0x1E, 2, U16(spec.SectorShift));
  header.replace(0x20, 2, U16(6));
  SetU32(header, 0x2C, fatSectors);
  SetU32(header, 0x30, dirStart);
  SetU32(header, 0x38, 4096);
  SetU32(header, 0x3C, miniFatSectors ? miniFatStart : kEnd);
  SetU32(header, 0x40, miniFatSectors);
  SetU32(header, 0x44, difSectors ? difStart : kEnd);
  SetU32(header, 0x48, difSectors);
  for (uint32_t i = 0; i < 109; ++i) SetU32(header, 0x4C + 4 * i, i < fatSectors ? fatStart + i : kFree);
  if (ss > 512) header.append(QByteArray(ss - 512, '\0'));
  return header + body;
}

QByteArray CompoundFile(const QString& streamName, const QByteArray& stream) {
  TCompoundSpec spec;
  spec.Streams = {{streamName, stream}};
  return CompoundFile(spec);
}

qsizetype FatEntryOffset(const QByteArray& file, uint32_t sector) {
  return (qsizetype(GetU32(file, 0x4C)) + 1) * 512 + 4 * qsizetype(sector);
}

qsizetype DirEntryOffset(const QByteArray& file, int index) {
  return (qsizetype(GetU32(file, 0x30)) + 1) * 512 + 128 * qsizetype(index);
}

}  // namespace xlstest
