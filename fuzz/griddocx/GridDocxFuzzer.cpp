// Appending the grid to a Word document: the bytes as the whole file (a
// package that is not one is refused and left as it was) and as the main
// document part of a well-formed package.
// --write-seeds=FOLDER writes the seed corpus (files the grid saves) and
// ends.
//
// Input: the file's or the part's bytes.

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/support/FuzzSupport.h"
#include "grid/io/KitGridFuzzEntries.h"
#include "grid/model/KitGrid.h"

namespace {

QByteArray FileBytes(const QString& Path) {
  QFile f(Path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

auto SampleGrid() {
  auto g = CreateUnique<TKitStringGrid>(nullptr);
  g->SetColCount(4);
  g->SetRowCount(4);
  g->SetCells(1, 1, QStringLiteral("Garçon"));
  g->SetCells(2, 1, QStringLiteral("04 72 39 24 66"));
  g->SetCells(1, 2, QStringLiteral("a\tb"));
  return g;
}

void WriteSeeds(const QString& AFolder) {
  QTemporaryDir dir;
  auto g = SampleGrid();
  g->SaveToDOC(dir.filePath(QStringLiteral("grid.docx")));
  fuzz::WriteSeed(AFolder, QStringLiteral("grid.docx"), FileBytes(dir.filePath(QStringLiteral("grid.docx"))));
  fuzz::WriteSeed(AFolder, QStringLiteral("document.xml"),
                  "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
                  "<w:p><w:bookmarkStart w:id=\"0\" w:name=\"bm\"/><w:r><w:t>Leads</w:t></w:r></w:p></w:body></w:document>");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::QuietMessages();
  fuzz::StartWidgetApplication();
  if (const QString folder = fuzz::TargetOption(*argc, *argv, "write-seeds"); !folder.isEmpty()) {
    WriteSeeds(folder);
    std::exit(0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  kitgridio::GridDocxFromBytes(fuzz::Bytes(Data, Size));
  return 0;
}
