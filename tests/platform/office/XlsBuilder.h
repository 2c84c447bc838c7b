#pragma once
// Legacy .xls workbooks built record by record for the reader tests: BIFF8
// and BIFF5 record streams and the compound file around them, with the
// knobs the tests need to reach every path of the reader (record size
// limits that split the shared strings into CONTINUE records, short streams
// in the mini stream, 4096-byte sectors, extra FAT sectors listed through
// index sectors) and a fixed sector layout that damage tests can aim at.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

namespace xlstest {

// Little-endian fields.
QByteArray U8(int v);
QByteArray U16(int v);
QByteArray U32(uint32_t v);
QByteArray F64(double v);

// One record: type, length, body.
QByteArray Record(uint16_t type, const QByteArray& body);

// A BIFF8 text: length (lengthBytes 1 or 2), option byte, then the
// characters, one byte each when every one fits in Latin-1 and wide is
// not asked, else UTF-16. runs adds that many 4-byte formatting runs,
// extra that many bytes of phonetic data.
QByteArray Biff8Text(const QString& text, int lengthBytes, bool wide = false, int runs = 0, int extra = 0);

// The three fields of every cell record (0-based row and column).
QByteArray Cell(int row, int col, int xf);

// An RK value: the integer form when value is an integer of 30 bits, the
// integer form divided by 100 when value * 100 is one, else the upper half
// of the double (exact for values whose lower 32 bits are zero).
uint32_t Rk(double value);

// The shared string table as SST and CONTINUE records, each record body at
// most limit bytes (8224 in files Excel writes). Texts that do not fit go on
// in the next record behind an option byte; a string's header is never
// split. wide: every text in UTF-16; runs: formatting runs per string;
// extra: bytes of phonetic data per string.
QByteArray Sst(const std::vector<QString>& strings, int limit = 8224, bool wide = false, int runs = 0, int extra = 0);

// A record stream: the globals (everything but BOUNDSHEET and EOF), then
// sheets, each with its BOUNDSHEET (name, type) and the records between its
// BOF and EOF (a worksheet's INDEX and DIMENSIONS first, as spreadsheet
// programs write them, made from its cell records). Offsets are filled in
// when the stream is made.
struct TSheetSpec {
  QString Name;
  int Type = 0;  // 0 worksheet, 2 chart, 6 module
  QByteArray Records;
  QByteArray Biff5Name;  // BIFF5: the name's bytes in the book's code page (else Name in Latin-1)
};
struct TBookSpec {
  bool Biff8 = true;
  QByteArray Globals;  // after the BOF
  std::vector<TSheetSpec> Sheets;
};
QByteArray BofRecord(bool biff8, int kind);  // kind 0x0005 globals, 0x0010 worksheet, 0x0020 chart
QByteArray Stream(const TBookSpec& spec);

// A compound file holding the streams (name, bytes) under the root in that
// order. Streams of 4096 bytes and more take sectors of their own, the first
// one from sector 0 on; shorter ones go to the mini stream. Then follow the
// mini stream, its table, the directory and the FAT; at least minFatSectors
// FAT sectors (more than 109 of them take index sectors at the end).
struct TCompoundSpec {
  std::vector<std::pair<QString, QByteArray>> Streams;
  int SectorShift = 9;  // 9: version 3, 512-byte sectors; 12: version 4
  int MinFatSectors = 0;
  bool NoMiniStream = false;  // short streams in sectors of their own too
};
QByteArray CompoundFile(const TCompoundSpec& spec);
// A compound file with one stream.
QByteArray CompoundFile(const QString& streamName, const QByteArray& stream);

// Reads and writes a 32-bit field of a file's bytes.
uint32_t GetU32(const QByteArray& bytes, qsizetype at);
void SetU32(QByteArray& bytes, qsizetype at, uint32_t v);
// The offset of a FAT entry of a 512-byte-sector file whose FAT starts at the
// sector the header lists first.
qsizetype FatEntryOffset(const QByteArray& file, uint32_t sector);
// The offset of the directory entry with that index (first directory
// sector only).
qsizetype DirEntryOffset(const QByteArray& file, int index);

}  // namespace xlstest
