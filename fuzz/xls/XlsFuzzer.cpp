// The legacy .xls reader of the office layer: the compound file (header,
// allocation tables and their index sectors, directory, mini stream) and the
// BIFF8/BIFF5 records of its workbook stream (globals, shared strings over
// CONTINUE records, sheets at their offsets, cell records, formulas'
// results), read whole from memory as a workbook file is.
//
// Input: a whole file when it starts as a compound file (D0 CF 11 E0 A1 B1
// 1A E1); otherwise the workbook stream itself, which the target puts into
// a compound file first, so that the fuzzer's changes reach the records
// instead of failing the container's checks.
//
// Properties of a workbook that reads: at least one sheet, the active tab
// one of them, every sheet's rows and cells ascending and inside the sheet,
// every value of a kind the automation objects give, and its text.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/support/FuzzSupport.h"
#include "platform/office/ComObj.h"
#include "platform/office/OleVariants.h"
#include "platform/office/XlsxFormat.h"
#include "tests/platform/office/XlsBuilder.h"

using namespace Excel;
using namespace Excel::detail;

namespace {

const char kMagic[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

void CheckBook(const TXlsBook& book) {
  fuzz::Check(!book.Sheets.empty(), "a workbook without sheets read");
  fuzz::Check(book.ActiveTab >= 0 && size_t(book.ActiveTab) < book.Sheets.size(), "the active tab is no sheet");
  for (const TXlsSheet& sheet : book.Sheets) {
    fuzz::Check(sheet.Kind == skWorksheet || sheet.Store.Loaded.empty(), "a sheet without cells holds cells");
    int previousRow = 0;
    for (const TRow& row : sheet.Store.Loaded) {
      fuzz::Check(row.Row > previousRow && row.Row <= 65536, "rows out of order or outside the sheet");
      fuzz::Check(!row.Cells.empty(), "an empty row kept");
      previousRow = row.Row;
      int previousCol = 0;
      for (const TCell& cell : row.Cells) {
        fuzz::Check(cell.Col > previousCol && cell.Col <= MaxColumns, "cells out of order or outside the sheet");
        previousCol = cell.Col;
        const QMetaType type = cell.Value.metaType();
        fuzz::Check(type == QMetaType::fromType<QString>() || type == QMetaType::fromType<double>() ||
                        type == QMetaType::fromType<bool>() || type == QMetaType::fromType<TOleDate>() ||
                        type == QMetaType::fromType<TOleCurrency>() || type == QMetaType::fromType<TOleError>(),
                    "a value of an unknown kind");
        if (!VarIsError(cell.Value)) VarToStr(cell.Value);
      }
    }
  }
}

// The seeds: the workbook streams of the reader tests' built workbooks
// (BIFF8 with every cell record, shared strings split over CONTINUE records,
// a chart substream, the active tab; BIFF5 with a code page), and whole files
// of both container layouts.
void WriteSeeds(const QString& Folder) {
  using namespace xlstest;
  const QByteArray xf8 = Record(0x00E0, U16(0) + U16(14) + U16(1) + QByteArray(14, '\0'));
  const QByteArray formula = Record(0x0006, Cell(3, 1, 0) + U8(0) + U8(0) + U8(0) + U8(0) + U8(0) + U8(0) +
                                                U16(0xFFFF) + U16(0) + U32(0) + U16(3) + U8(0x1E) + U16(2)) +
                             Record(0x0207, Biff8Text(QStringLiteral("ab"), 2));
  const QByteArray cells8 =
      Record(0x00FD, Cell(0, 0, 0) + U32(0)) + Record(0x00FD, Cell(0, 1, 0) + U32(2)) +
      Record(0x0203, Cell(1, 0, 1) + F64(45366.5)) + Record(0x027E, Cell(1, 1, 0) + U32(Rk(1.25))) +
      Record(0x00BD, U16(1) + U16(2) + U16(0) + U32(Rk(7)) + U16(0) + U32(Rk(8)) + U16(3)) +
      Record(0x0205, Cell(2, 0, 0) + U8(1) + U8(0)) + Record(0x0205, Cell(2, 1, 0) + U8(7) + U8(1)) + formula +
      Record(0x0204, Cell(4, 0, 0) + Biff8Text(QStringLiteral("label Ж"), 2)) + BofRecord(true, 0x0020) +
      Record(0x0203, Cell(0, 0, 0) + F64(1)) + Record(0x000A, {});
  TBookSpec book8;
  book8.Globals =
      Record(0x0022, U16(0)) + Record(0x041E, U16(164) + Biff8Text(QStringLiteral("dd/mm/yyyy"), 2)) + xf8 + xf8 +
      Sst({QStringLiteral("plain"), QStringLiteral("Crêpe 日本語 😀"), QString(60, u'x')}, 20, false, 1, 2) +
      Record(0x003D, U16(0) + U16(0) + U16(9000) + U16(6000) + U16(0x38) + U16(1) + U16(0) + U16(1) + U16(600));
  book8.Sheets = {{QStringLiteral("First"), 0, cells8, {}},
                  {QStringLiteral("Second"), 0, Record(0x0203, Cell(5, 5, 0) + F64(2)), {}},
                  {QStringLiteral("Chart"), 2, {}, {}}};
  const QByteArray stream8 = Stream(book8);
  fuzz::WriteSeed(Folder, QStringLiteral("biff8.stream"), stream8);

  TBookSpec book5;
  book5.Biff8 = false;
  book5.Globals = Record(0x0042, U16(1251)) + Record(0x041E, U16(164) + U8(10) + QByteArray("dd/mm/yyyy")) +
                  Record(0x00E0, U16(0) + U16(164) + U16(1) + QByteArray(10, '\0'));
  book5.Sheets = {{QString(), 0,
                   Record(0x0204, Cell(0, 0, 0) + U16(3) + QByteArray("\xCF\xF0\xE8")) +
                       Record(0x0006, Cell(0, 1, 0) + U8(0) + U8(0) + U8(0) + U8(0) + U8(0) + U8(0) + U16(0xFFFF) +
                                          U16(0) + U32(0) + U16(3) + U8(0x1E) + U16(2)) +
                       Record(0x0207, U16(2) + QByteArray("\xE2\xE5")) + Record(0x0203, Cell(1, 0, 0) + F64(45366)),
                   QByteArray("\xCB\xE8\xF1\xF2")}};
  fuzz::WriteSeed(Folder, QStringLiteral("biff5.stream"), Stream(book5));

  fuzz::WriteSeed(Folder, QStringLiteral("mini.xls"), CompoundFile(QStringLiteral("Workbook"), stream8));
  TCompoundSpec big;
  big.Streams = {{QStringLiteral("Workbook"), stream8 + QByteArray(4200, '\0')}};
  big.MinFatSectors = 112;
  fuzz::WriteSeed(Folder, QStringLiteral("sectors.xls"), CompoundFile(big));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::QuietMessages();
  fuzz::StartCoreApplication();
  fuzz::WriteSeedsWhenAsked(*argc, *argv, WriteSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  QByteArray bytes = fuzz::Bytes(Data, Size);
  if (!bytes.startsWith(QByteArray(kMagic, 8))) bytes = xlstest::CompoundFile(QStringLiteral("Workbook"), bytes);
  try {
    CheckBook(ReadXlsBytes(bytes));
  } catch (const EOleException&) {
    // Refused, with the reason.
  }
  return 0;
}
