// The grid's reader of fixed-width text: the file cut at the positions 1, 4
// and 9 (given out of order), lines shorter than the positions, encodings.
// A refusal is the framework's exception; every load must leave the grid
// consistent (the entry point checks it).
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
  kitgridio::GridFixedFromBytes(fuzz::Bytes(Data, Size));
  return 0;
}
