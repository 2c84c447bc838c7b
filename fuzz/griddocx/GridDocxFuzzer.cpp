// Appending the grid to a Word document: the bytes as the whole file (a
// package that is not one is refused and left as it was) and as the main
// document part of a well-formed package.
// --write-seeds=FOLDER writes the seed corpus (files the grid saves) and
// ends.
//
// Input: the file's or the part's bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/support/FuzzSupport.h"
#include "fuzz/support/GridSeeds.h"
#include "grid/io/KitGridFuzzEntries.h"

namespace {

void WriteSeeds(const QString& AFolder) {
  auto g = fuzz::SampleGrid();
  fuzz::WriteSeed(AFolder, QStringLiteral("grid.docx"),
                  fuzz::SavedBytes(QStringLiteral("grid.docx"), [&](const QString& Path) { g->SaveToDOC(Path); }));
  fuzz::WriteSeed(AFolder, QStringLiteral("document.xml"),
                  "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
                  "<w:p><w:bookmarkStart w:id=\"0\" w:name=\"bm\"/><w:r><w:t>Leads</w:t></w:r></w:p></w:body></w:document>");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::QuietMessages();
  fuzz::StartWidgetApplication();
  fuzz::WriteSeedsWhenAsked(*argc, *argv, WriteSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  kitgridio::GridDocxFromBytes(fuzz::Bytes(Data, Size));
  return 0;
}
