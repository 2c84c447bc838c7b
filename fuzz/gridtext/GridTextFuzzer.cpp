// The grid's text, number and date routines that read what users and files
// put into cells: R1C1 references, dates in the locale's order and as short
// day-month-year or month-day-year dates, number texts, the one-line and
// wide-character encodings of cell texts, quoted lists, hyperlinks, proper
// case and accent folding.
//
// Input: one byte of settings (bit 0 the fr-FR format settings instead of
// en-US), then the text (AnyText: UTF-8, or raw UTF-16 after a first 0xFF).

#include <cstddef>
#include <cstdint>

#include "fuzz/support/FuzzSupport.h"
#include "grid/model/KitGridUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"

namespace {

TFormatSettings gEnglish;
TFormatSettings gFrench;

// A text whose one-line form decodes back to it: one with CR LF pairs only
// and none of the characters the form uses for its marks (#1, #8, #9).
bool RoundTripsOneLine(const QString& Text) {
  if (!Text.contains(u'\r')) return false;
  for (qsizetype i = 0; i < Text.size(); ++i) {
    const char16_t c = Text[i].unicode();
    if (c == 1 || c == 8 || c == 9) return false;
    if (c == u'\r' && (i + 1 == Text.size() || Text[i + 1] != u'\n')) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  gEnglish = TFormatSettings::Create(QStringLiteral("en-US"));
  gFrench = TFormatSettings::Create(QStringLiteral("fr-FR"));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < 1) return 0;
  FormatSettings = (Data[0] & 1) ? gFrench : gEnglish;
  const QString text = fuzz::AnyText(Data + 1, Size - 1);

  TPoint point(-7, -7);
  if (!ParseRCReference(text, point))
    fuzz::Check(point == TPoint(-7, -7), "a malformed R1C1 reference changed the point");

  // Dates: a refusal is EConvertError (the framework's exception).
  TDateTime date = 0;
  ParseDateByOrder(text, date);
  LooksLikeDate(text);
  fuzz::Refusable([&] { ParseShortDateDMY(text); });
  fuzz::Refusable([&] { ParseShortDateMDY(text); });

  // Numbers.
  const int kind = GetNumberTextType(text);
  fuzz::Check(kind >= 0 && kind <= 5, "GetNumberTextType answered an unknown kind");
  ExtractFloatText(text);
  NumberTextFromDot(NumberTextToDot(text));

  // The one-line form of a cell.
  const QString oneLine = EncodeLineBreaks(text);
  DecodeLineBreaks(text, true);
  DecodeLineBreaks(text, false);
  if (RoundTripsOneLine(text))
    fuzz::Check(DecodeLineBreaks(oneLine, true) == text, "the one-line form did not decode to the text");
  QString rest = text;
  QString line;
  ExtractFirstLine(rest, true, line);
  fuzz::Check(CountLines(text, true) >= 1, "CountLines answered no line");

  // The wide-character form: any UTF-16 text comes back.
  fuzz::Check(DecodeWideText(EncodeWideText(text)) == text, "the wide form did not decode to the text");
  DecodeWideText(text);
  GetCellTextKind(text, true);
  GetCellTextKind(text, false);

  // Quotes, lists and line conversions.
  int pos = 0;
  const int closing = FindClosingQuote(u'"', text, pos);
  fuzz::Check(closing >= 0 && closing <= text.size(), "FindClosingQuote answered a position outside the text");
  RemoveEnclosingQuotes(text);
  CollapseDoubledChar(u'"', text);
  CountCharOutsideQuotes(u',', text);
  UnescapeNewlines(text);
  QString tilde = text;
  TildeToLineBreaks(tilde);
  QString vertical = text;
  VerticalTabsToCRLF(vertical);
  TStringList list;
  SplitToQuotedList(QStringLiteral(","), text, &list);
  SplitToQuotedList(QStringLiteral(";"), text, &list);

  // Links, case and accents.
  QString dest;
  LinkifyText(text, QStringLiteral("HTTP://"), dest);
  LinkifyText(text, QStringLiteral("WWW."), dest);
  ContainsUrl(text);
  QString url = text;
  StripUrlScheme(url);
  ToProperCase(text);
  RemoveAccents(text);
  WideCharsToEntities(text);
  return 0;
}
