// The grid's condition matcher: the conditions users type into a grid's
// filter row, narrowing down and search, against cell values of any content.
// Conditions join terms with "&", "|", "^", ";", group them in parentheses
// (without recursion, whatever the depth), compare numbers, dates and texts
// and use wildcards; every match must end in time bounded by the lengths of
// condition and value.
//
// Input: one byte of settings, the condition (up to a NUL), then the value.
// Settings: bit 0 the fr-FR format settings (day-first dates, "," decimals,
// U+202F thousands) instead of en-US, bit 1 "." as the thousand separator on
// top of them, bit 2 case-sensitive matching.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/support/FuzzSupport.h"
#include "grid/model/KitGridFilter.h"
#include "platform/rtl/SysUtils.h"

namespace {

TFormatSettings gEnglish;
TFormatSettings gFrench;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  gEnglish = TFormatSettings::Create(QStringLiteral("en-US"));
  gFrench = TFormatSettings::Create(QStringLiteral("fr-FR"));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < 1) return 0;
  const uint8_t settings = Data[0];
  FormatSettings = (settings & 1) ? gFrench : gEnglish;
  if (settings & 2) FormatSettings.ThousandSeparator = u'.';
  const bool caseSensitive = settings & 4;
  const uint8_t* rest = Data + 1;
  const size_t restSize = Size - 1;
  const void* nul = std::memchr(rest, 0, restSize);
  const size_t split = nul ? static_cast<const uint8_t*>(nul) - rest : restSize;
  const QString condition = fuzz::Utf8(rest, split);
  const QString value = split < restSize ? fuzz::Utf8(rest + split + 1, restSize - split - 1) : QString();

  // The matcher raises nothing: any exception is a fault.
  const bool matched = MatchConditionExpr(condition, value, caseSensitive);
  const bool folded = MatchConditionExpr(condition, value, !caseSensitive);
  (void)folded;
  MatchConditionItem(condition, value, caseSensitive);
  MatchConditionTerm(condition, value);

  // A condition that is one plain wildcard term (no operator, group,
  // comparison, quote or negation) matches the value it is made of.
  static const QString special = QStringLiteral("&|^;()\"!<>=*? \t");
  bool plain = !value.isEmpty();
  for (QChar c : value)
    if (special.contains(c) || c.isSpace() || c.category() == QChar::Other_Control) plain = false;
  if (plain) fuzz::Check(MatchConditionExpr(value, value, true), "a plain value does not match itself");
  if (plain && condition == value) fuzz::Check(matched, "a plain condition does not match its own text");

  const int op = FindOperatorOutside(condition);
  fuzz::Check(op >= 0 && op <= condition.size(), "FindOperatorOutside answered a position outside the text");
  const int paren = MatchingParenPos(condition);
  fuzz::Check(paren == 0 || (paren <= condition.size() && condition[paren - 1] == u')'),
              "MatchingParenPos answered a position that holds no ')'");
  const int gt = FindCharOutsideQuotes(u'>', condition);
  fuzz::Check(gt == 0 || (gt <= condition.size() && condition[gt - 1] == u'>'),
              "FindCharOutsideQuotes answered a position that holds another character");
  const QString stripped = RemoveBlanksOutsideQuotes(condition);
  fuzz::Check(stripped.size() <= condition.size(), "RemoveBlanksOutsideQuotes made the text longer");
  DotDecimalText(value);
  return 0;
}
