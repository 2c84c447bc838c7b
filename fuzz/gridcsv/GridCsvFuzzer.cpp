// The grid's reader of delimited text: encodings (byte-order marks, UTF-16,
// malformed UTF-8), the delimiter detection, quoted fields over several
// lines, and a load with a fixed delimiter, skipped and limited rows into a
// grid with a floating footer. A refusal is the framework's exception; every
// load must leave the grid's cells and merges consistent (the entry point
// checks them).
//
// Input: the file's bytes.

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
  kitgridio::GridCSVFromBytes(fuzz::Bytes(Data, Size));
  return 0;
}
