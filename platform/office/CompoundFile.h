#pragma once
// Internal: the streams of a compound file (OLE2 structured storage, the
// container of legacy .xls workbooks), read from the file's bytes in memory.
//
// Everything the container claims is checked before it is used: sector
// numbers inside the file, chains without loops, stream sizes the file can
// hold. A file that fails a check raises EOleException with the reason.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace Excel::detail {

class TCompoundFile {
 public:
  // Reads the header, the sector allocation tables and the directory.
  // Raises EOleException when the bytes are no sound compound file.
  explicit TCompoundFile(QByteArray bytes);

  // Whether the root storage holds a stream of that name (names compare
  // without case, as the container compares them).
  bool HasStream(const QString& name) const;
  // The bytes of a stream of the root storage. Raises EOleException when it
  // is absent or its sectors cannot be followed.
  QByteArray ReadStream(const QString& name) const;

 private:
  struct TEntry {
    QString Name;
    uint8_t Type = 0;  // 1 storage, 2 stream, 5 root
    uint32_t Left = 0, Right = 0, Child = 0;
    uint32_t Start = 0;
    uint64_t Size = 0;
  };

  uint32_t SectorCount() const;
  // The sectors of a chain from start through an allocation table, at most
  // limit of them; raises for a chain that leaves the table or loops.
  std::vector<uint32_t> Chain(const std::vector<uint32_t>& table, uint32_t start, uint64_t limit,
                              const QString& what) const;
  QByteArray ReadChain(uint32_t start, uint64_t size, const QString& what) const;
  const TEntry* FindRootChild(const QString& name) const;

  QByteArray FBytes;
  int FSectorShift = 9;
  int FMiniShift = 6;
  uint32_t FMiniCutoff = 4096;
  std::vector<uint32_t> FFat;
  std::vector<uint32_t> FMiniFat;
  std::vector<TEntry> FEntries;
  QByteArray FMiniStream;
};

}  // namespace Excel::detail
