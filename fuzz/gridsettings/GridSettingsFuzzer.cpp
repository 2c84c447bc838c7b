// The grid's settings files: the visual-properties file (key=value lines),
// the print settings (an INI file, section "Print") and a column-state
// string. The first byte chooses the reader, the rest is the file. A
// refusal is the framework's exception; a refused file changes nothing.
// --write-seeds=FOLDER writes the seed corpus (files the grid saves) and
// ends.
//
// Input: one byte (0: visual properties, 1: print settings, 2: column
// states), then the file's bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/support/FuzzSupport.h"
#include "fuzz/support/GridSeeds.h"
#include "grid/io/KitGridFuzzEntries.h"

namespace {

void WriteSeeds(const QString& AFolder) {
  auto g = fuzz::SampleGrid();
  const QByteArray visual =
      fuzz::SavedBytes(QStringLiteral("visual.txt"), [&](const QString& Path) { g->SaveVisualProps(Path); });
  const QByteArray print = fuzz::SavedBytes(
      QStringLiteral("print.ini"), [&](const QString& Path) { g->SavePrintSettings(Path, QStringLiteral("Print")); });
  fuzz::WriteSeed(AFolder, QStringLiteral("visual.txt"), QByteArray(1, 0) + visual);
  fuzz::WriteSeed(AFolder, QStringLiteral("print.ini"), QByteArray(1, 1) + print);
  fuzz::WriteSeed(AFolder, QStringLiteral("columns.txt"), QByteArray(1, 2) + g->ColumnStatesToString().toUtf8());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::QuietMessages();
  fuzz::StartWidgetApplication();
  fuzz::WriteSeedsWhenAsked(*argc, *argv, WriteSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size == 0) return 0;
  const QByteArray file = fuzz::Bytes(Data + 1, Size - 1);
  switch (Data[0] % 3) {
    case 0: kitgridio::GridVisualPropsFromBytes(file); break;
    case 1: kitgridio::GridPrintSettingsFromBytes(file); break;
    default: kitgridio::GridColumnStatesFromBytes(file); break;
  }
  return 0;
}
