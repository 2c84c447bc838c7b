// The grid's XML reader: records as rows, fields and attributes as columns,
// nesting levels as rows (LevelToRow), over libxml2 with entities and the
// network refused. A refusal is the framework's exception; every load must
// leave the grid consistent (the entry point checks it).
//
// Input: the document's bytes.

#include <cstddef>
#include <cstdint>

#include "fuzz/support/FuzzSupport.h"
#include "grid/io/KitGridFuzzEntries.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  fuzz::StartWidgetApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  kitgridio::GridXMLFromBytes(fuzz::Bytes(Data, Size));
  return 0;
}
