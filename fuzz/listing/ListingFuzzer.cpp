// The listing parser over hostile listings: the text the capture loop builds
// for one listing (its plain text followed by its markup), read by every
// routine of the parser and of the text helpers the capture loop uses.
//
// Properties checked on every input: the result line is one CSV record of
// twelve quoted fields on a single line.

#include <cstddef>
#include <cstdint>

#include "app/uFrancePJ20MAY2022.h"
#include "fuzz/support/FuzzSupport.h"

namespace {

// Number of fields of a CSV record whose every field is quoted ("" for a
// quote inside); -1 when the text is not such a record.
int QuotedFieldCount(const QString& line) {
  int fields = 0;
  qsizetype i = 0;
  const qsizetype n = line.size();
  for (;;) {
    if (i >= n || line[i] != u'"') return -1;
    ++i;
    for (;;) {
      if (i >= n) return -1;
      if (line[i] == u'"') {
        if (i + 1 < n && line[i + 1] == u'"') {
          i += 2;
          continue;
        }
        ++i;
        break;
      }
      ++i;
    }
    ++fields;
    if (i == n) return fields;
    if (line[i] != u',') return -1;
    ++i;
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const QString text = fuzz::AnyText(Data, Size);

  fuzz::Refusable([&] {
    TFrancePJEntry entry(text);
    entry.ExecutePagesJaunes();
    const QString line = entry.ResultLine();
    fuzz::Check(!line.contains(u'\r') && !line.contains(u'\n'), "the result line holds a line break");
    fuzz::Check(QuotedFieldCount(line) == 12, "the result line is not twelve quoted fields");
    IsEmptyResultLine(line);
    entry.FormatEntryResult();
  });

  fuzz::Refusable([&] {
    TFrancePJEntry entry(text);
    entry.GetCategory();
    entry.GetAddress();
  });

  fuzz::Refusable([&] {
    DecodeNextPageLink(text);
    StripHouseNumber(text);
    RemoveLineBreaks(DecodeHtmlEntities(StripHtmlTags(text)));
  });
  return 0;
}
