// The filter-expression matcher (TKitUtils): the conditions users type into
// a grid's filter row, against cell values of any content. Conditions join
// terms with "&", "|", "^", ";", group them in parentheses, compare numbers
// and dates and use wildcards; evaluation must end in bounded time.
//
// Input: one byte of settings, the condition (up to a NUL), then the value.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "foundation/KitUtils.h"
#include "fuzz/support/FuzzSupport.h"

namespace {

// Day-month-year or year-month-day dates, "." or "," as the decimal separator.
void UseSettings(uint8_t Pick) {
  if (Pick & 1) {
    FormatSettings.ShortDateFormat = QStringLiteral("dd/MM/yyyy");
    FormatSettings.DateSeparator = u'/';
  } else {
    FormatSettings.ShortDateFormat = QStringLiteral("yyyy-MM-dd");
    FormatSettings.DateSeparator = u'-';
  }
  FormatSettings.TimeSeparator = u':';
  FormatSettings.DecimalSeparator = (Pick & 2) ? u',' : u'.';
  FormatSettings.ThousandSeparator = (Pick & 2) ? u'.' : u',';
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < 1) return 0;
  const uint8_t settings = Data[0];
  UseSettings(settings);
  const uint8_t* rest = Data + 1;
  const size_t restSize = Size - 1;
  const void* nul = std::memchr(rest, 0, restSize);
  const size_t split = nul ? static_cast<const uint8_t*>(nul) - rest : restSize;
  const QString condition = fuzz::Utf8(rest, split);
  const QString value = split < restSize ? fuzz::Utf8(rest + split + 1, restSize - split - 1) : QString();
  const bool caseSensitive = settings & 4;

  fuzz::Refusable([&] {
    TKitUtils::MatchStrEx(condition, value, caseSensitive);
    TKitUtils::MatchStr(condition, value, caseSensitive);
    TKitUtils::Matches(condition, value);
    TKitUtils::StripLogicSpaces(condition);
    TKitUtils::ClosingParenthesis(condition);
    TKitUtils::StripThousandSep(value);
    int spos = 0;
    TKitUtils::FirstChar(TKitUtils::CreateCharSet(QStringLiteral("&|^;")), condition, spos);
    fuzz::Check(spos >= -1 && spos <= condition.size(), "FirstChar answered a position outside the text");
    TDateTime date = 0;
    TKitUtils::IsDate(value, date);
    TKitUtils::IsDate(condition, date);
  });
  return 0;
}
