// Compound files (OLE2 structured storage): a header, a file allocation
// table (FAT) of sector chains found through the header's and the extra
// index sectors' lists, a directory of red-black trees of named entries, and
// a mini stream of 64-byte sectors, chained by their own table, for the
// streams below the cut-off size.

#include "platform/office/CompoundFile.h"

#include <algorithm>
#include <cstring>

#include "platform/office/ComObj.h"

namespace Excel::detail {

namespace {

constexpr uint32_t EndOfChain = 0xFFFFFFFEu;
constexpr uint32_t FreeSector = 0xFFFFFFFFu;
constexpr uint32_t NoEntry = 0xFFFFFFFFu;
constexpr qsizetype HeaderSize = 512;
constexpr qsizetype EntrySize = 128;
constexpr int HeaderIndexEntries = 109;

uint16_t U16(const QByteArray& b, qsizetype at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }
uint32_t U32(const QByteArray& b, qsizetype at) {
  return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
         uint32_t(uint8_t(b[at + 3])) << 24;
}

[[noreturn]] void Fail(const QString& reason) { throw EOleException(reason); }

}  // namespace

TCompoundFile::TCompoundFile(QByteArray bytes) : FBytes(std::move(bytes)) {
  if (FBytes.size() < HeaderSize)
    Fail(QStringLiteral("the file is too short for a compound file (%1 bytes)").arg(FBytes.size()));
  if (FBytes.left(8) != QByteArray::fromHex("D0CF11E0A1B11AE1")) Fail(QStringLiteral("the file is no compound file"));
  if (U16(FBytes, 0x1C) != 0xFFFE) Fail(QStringLiteral("the compound file's header is damaged (byte order)"));
  const uint16_t major = U16(FBytes, 0x1A);
  FSectorShift = U16(FBytes, 0x1E);
  if (FSectorShift != 9 && FSectorShift != 12)
    Fail(QStringLiteral("the compound file's sector size 2^%1 is not one of 512 or 4096 bytes").arg(FSectorShift));
  FMiniShift = U16(FBytes, 0x20);
  if (FMiniShift != 6)
    Fail(QStringLiteral("the compound file's short sector size 2^%1 is not 64 bytes").arg(FMiniShift));
  FMiniCutoff = U32(FBytes, 0x38);
  const qsizetype sectorSize = qsizetype(1) << FSectorShift;
  const uint32_t sectors = SectorCount();
  const uint32_t perSector = uint32_t(sectorSize / 4);

  // The FAT: the sectors the header lists, then those of the index chain.
  const uint32_t fatSectors = U32(FBytes, 0x2C);
  if (fatSectors > sectors)
    Fail(QStringLiteral("the compound file claims %1 allocation sectors but holds only %2 sectors")
             .arg(fatSectors)
             .arg(sectors));
  std::vector<uint32_t> fatList;
  fatList.reserve(fatSectors);
  for (int i = 0; i < HeaderIndexEntries && fatList.size() < fatSectors; ++i)
    fatList.push_back(U32(FBytes, 0x4C + 4 * i));
  uint32_t index = U32(FBytes, 0x44);
  std::vector<bool> seenIndex(sectors, false);
  while (fatList.size() < fatSectors) {
    if (index >= sectors)
      Fail(QStringLiteral("the compound file's allocation index ends after %1 of its %2 sectors")
               .arg(fatList.size())
               .arg(fatSectors));
    if (seenIndex[index]) Fail(QStringLiteral("the compound file's allocation index loops"));
    seenIndex[index] = true;
    const qsizetype at = (qsizetype(index) + 1) * sectorSize;
    if (at + sectorSize > FBytes.size()) Fail(QStringLiteral("the file ends inside its allocation index"));
    for (uint32_t i = 0; i + 1 < perSector && fatList.size() < fatSectors; ++i)
      fatList.push_back(U32(FBytes, at + 4 * i));
    index = U32(FBytes, at + sectorSize - 4);
  }
  FFat.assign(size_t(fatSectors) * perSector, FreeSector);
  for (size_t i = 0; i < fatList.size(); ++i) {
    const uint32_t s = fatList[i];
    if (s >= sectors) Fail(QStringLiteral("allocation sector %1 lies outside the file").arg(s));
    const qsizetype at = (qsizetype(s) + 1) * sectorSize;
    const qsizetype n = std::min<qsizetype>(perSector, (FBytes.size() - at) / 4);
    for (qsizetype k = 0; k < n; ++k) FFat[i * perSector + size_t(k)] = U32(FBytes, at + 4 * k);
  }

  // The directory: 128-byte entries over a chain of its own.
  const std::vector<uint32_t> dirSectors = Chain(FFat, U32(FBytes, 0x30), FFat.size(), QStringLiteral("directory"));
  for (uint32_t s : dirSectors) {
    const qsizetype at = (qsizetype(s) + 1) * sectorSize;
    for (qsizetype e = at; e + EntrySize <= at + sectorSize && e + EntrySize <= FBytes.size(); e += EntrySize) {
      TEntry entry;
      // The name's length counts its closing NUL, in bytes.
      const int chars = std::clamp(U16(FBytes, e + 0x40) / 2 - 1, 0, 31);
      for (int k = 0; k < chars; ++k) entry.Name += QChar(U16(FBytes, e + 2 * k));
      entry.Type = uint8_t(FBytes[e + 0x42]);
      entry.Left = U32(FBytes, e + 0x44);
      entry.Right = U32(FBytes, e + 0x48);
      entry.Child = U32(FBytes, e + 0x4C);
      entry.Start = U32(FBytes, e + 0x74);
      entry.Size = U32(FBytes, e + 0x78);
      // Version 3 files keep only 32 bits of the size; some writers leave
      // noise in the upper half.
      if (major >= 4) entry.Size |= uint64_t(U32(FBytes, e + 0x7C)) << 32;
      FEntries.push_back(std::move(entry));
    }
  }
  if (FEntries.empty() || FEntries[0].Type != 5) Fail(QStringLiteral("the compound file has no root storage"));

  // The table of the mini stream's sectors.
  const uint32_t miniFatStart = U32(FBytes, 0x3C);
  const uint32_t miniFatSectors = U32(FBytes, 0x40);
  if (miniFatSectors > 0 && miniFatStart != EndOfChain) {
    if (miniFatSectors > sectors)
      Fail(QStringLiteral("the compound file claims %1 short-sector table sectors but holds only %2 sectors")
               .arg(miniFatSectors)
               .arg(sectors));
    for (uint32_t s : Chain(FFat, miniFatStart, miniFatSectors, QStringLiteral("short-sector table"))) {
      const qsizetype at = (qsizetype(s) + 1) * sectorSize;
      const qsizetype n = std::min<qsizetype>(perSector, (FBytes.size() - at) / 4);
      for (qsizetype k = 0; k < n; ++k) FMiniFat.push_back(U32(FBytes, at + 4 * k));
    }
  }
}

uint32_t TCompoundFile::SectorCount() const {
  const qsizetype sectorSize = qsizetype(1) << FSectorShift;
  const qsizetype body = FBytes.size() - sectorSize;  // the header takes the first sector
  if (body <= 0) return 0;
  return uint32_t(std::min<qsizetype>((body + sectorSize - 1) / sectorSize, qsizetype(0xFFFFFFF0u)));
}

std::vector<uint32_t> TCompoundFile::Chain(const std::vector<uint32_t>& table, uint32_t start, uint64_t limit,
                                           const QString& what) const {
  std::vector<uint32_t> out;
  std::vector<bool> seen(table.size(), false);
  uint32_t s = start;
  while (out.size() < limit && s != EndOfChain) {
    if (s >= table.size())
      Fail(QStringLiteral("the sector chain of the %1 is broken (it leads to sector %2)")
               .arg(what)
               .arg(s == FreeSector ? QStringLiteral("\"free\"") : QString::number(s)));
    if (seen[s]) Fail(QStringLiteral("the sector chain of the %1 loops").arg(what));
    seen[s] = true;
    out.push_back(s);
    s = table[s];
  }
  return out;
}

QByteArray TCompoundFile::ReadChain(uint32_t start, uint64_t size, const QString& what) const {
  if (size > uint64_t(FBytes.size()))
    Fail(QStringLiteral("the %1 claims %2 bytes, more than the whole file holds").arg(what).arg(size));
  const qsizetype sectorSize = qsizetype(1) << FSectorShift;
  const uint64_t needed = (size + uint64_t(sectorSize) - 1) / uint64_t(sectorSize);
  const std::vector<uint32_t> sectors = Chain(FFat, start, needed, what);
  if (sectors.size() < needed)
    Fail(QStringLiteral("the %1 is cut short: its sectors hold %2 of its %3 bytes")
             .arg(what)
             .arg(qint64(sectors.size()) * sectorSize)
             .arg(size));
  QByteArray out(qsizetype(size), Qt::Uninitialized);
  qsizetype done = 0;
  for (uint32_t s : sectors) {
    const qsizetype at = (qsizetype(s) + 1) * sectorSize;
    const qsizetype n = std::min<qsizetype>(sectorSize, qsizetype(size) - done);
    if (at + n > FBytes.size()) Fail(QStringLiteral("the file ends inside the %1").arg(what));
    std::memcpy(out.data() + done, FBytes.constData() + at, size_t(n));
    done += n;
  }
  return out;
}

const TCompoundFile::TEntry* TCompoundFile::FindRootChild(const QString& name) const {
  std::vector<bool> seen(FEntries.size(), false);
  std::vector<uint32_t> pending{FEntries[0].Child};
  while (!pending.empty()) {
    const uint32_t id = pending.back();
    pending.pop_back();
    if (id == NoEntry || id >= FEntries.size() || seen[id]) continue;
    seen[id] = true;
    const TEntry& e = FEntries[id];
    if (e.Type != 0 && e.Name.compare(name, Qt::CaseInsensitive) == 0) return &e;
    pending.push_back(e.Left);
    pending.push_back(e.Right);
  }
  return nullptr;
}

bool TCompoundFile::HasStream(const QString& name) const {
  const TEntry* e = FindRootChild(name);
  return e && e->Type == 2;
}

QByteArray TCompoundFile::ReadStream(const QString& name) const {
  const TEntry* e = FindRootChild(name);
  if (!e || e->Type != 2) Fail(QStringLiteral("the compound file holds no stream \"%1\"").arg(name));
  const QString what = QStringLiteral("stream \"%1\"").arg(name);
  const TEntry& root = FEntries[0];
  // A short stream lives in the mini stream, in 64-byte sectors; some
  // writers leave the mini stream out and give short streams sectors of
  // their own.
  if (e->Size >= FMiniCutoff || root.Size == 0 || FMiniFat.empty()) return ReadChain(e->Start, e->Size, what);

  const QByteArray mini = ReadChain(root.Start, root.Size, QStringLiteral("mini stream"));
  const qsizetype miniSize = qsizetype(1) << FMiniShift;
  const uint64_t needed = (e->Size + uint64_t(miniSize) - 1) / uint64_t(miniSize);
  const std::vector<uint32_t> sectors = Chain(FMiniFat, e->Start, needed, what);
  if (sectors.size() < needed)
    Fail(QStringLiteral("the %1 is cut short: its short sectors hold %2 of its %3 bytes")
             .arg(what)
             .arg(qint64(sectors.size()) * miniSize)
             .arg(e->Size));
  QByteArray out(qsizetype(e->Size), Qt::Uninitialized);
  qsizetype done = 0;
  for (uint32_t s : sectors) {
    const qsizetype at = qsizetype(s) * miniSize;
    const qsizetype n = std::min<qsizetype>(miniSize, qsizetype(e->Size) - done);
    if (at + n > mini.size())
      Fail(QStringLiteral("the %1 leads to short sector %2, past the end of the mini stream").arg(what).arg(s));
    std::memcpy(out.data() + done, mini.constData() + at, size_t(n));
    done += n;
  }
  return out;
}

}  // namespace Excel::detail
