#pragma once
// Free routines for texts, numbers and dates shared by every part of the
// grid: locale separators, number and date recognition and parsing, accent
// removal, quoting and splitting for delimited files, the one-line form of a
// multi-line cell, line-break conversions, cell-text classification,
// hyperlink wrapping and small integer helpers.
//
// Positions are 1-based; 0 means "not found". Every routine that speaks of a
// locale separator reads the process-wide FormatSettings at the time of the
// call. Nothing raises except the date routines, which raise the date
// library's EConvertError "Invalid argument to date encode" for an
// impossible date.

#include <QChar>
#include <QString>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Graphics.h"

class TCanvas;
class TControl;
class TStrings;

// ---------------------------------------------------------------------------
// Locale and integer helpers

QChar UtilTimeSeparator();
QChar UtilDateSeparator();
QChar UtilThousandSeparator();
QChar UtilDecimalSeparator();
QString UtilShortDateFormat();

// Min when Value < Min, then Max when Value > Max (so Max wins when the
// bounds cross), else Value.
int LimitToRange(int Value, int Min, int Max);
// Equal bounds mean no limit. Otherwise a positive Min raises a smaller
// Value and a positive Max lowers a larger one (Max last).
int ApplySizeLimits(int Value, int Min, int Max);
int IntMax(int A, int B);
int IntMin(int A, int B);
// ACol in Left..Right and ARow in Top..Bottom, bounds included; for any
// rectangle type with those four members (the framework grid's TGridRect).
template <class TRectLike>
bool PointInGridRect(const TRectLike& Rect, int ACol, int ARow) {
  return ACol >= Rect.Left && ACol <= Rect.Right && ARow >= Rect.Top && ARow <= Rect.Bottom;
}
// The monitor's pixels per inch over 96 when the control's parent form is
// scaled; 1.0 otherwise (also without a form).
double GetFormDpiScale(const TControl* Control);

// ---------------------------------------------------------------------------
// Character tests

// A character of a Unicode number category; below 128 only "0" to "9".
bool IsDigitChar(QChar Ch);
bool CharIsDigit(QChar Ch);
bool IsDigitOrMinus(QChar Ch);
// A digit, the locale's thousand or decimal separator, "e" or "E".
bool IsNumberChar(QChar Ch);
bool IsSignedNumberChar(QChar Ch);
// A digit, "+", "-", ".", "e" or "E".
bool IsScientificChar(QChar Ch);
// A digit, the thousand or decimal separator, "-", Backspace, Tab, Enter or
// Escape.
bool IsNumericKey(QChar Ch);
// A blank, "'", ",", "-" or ".".
bool IsWordSeparator(QChar Ch);

// ---------------------------------------------------------------------------
// Search and split helpers

// Position of Sub in Text (case-sensitive), also stored in Pos.
int FindSubstring(const QString& Sub, const QString& Text, int& Pos);
// Position of Sub, given in upper case, in Text with a-z upper-cased.
int UpperCasePos(const QString& Sub, const QString& Text);
// Position of the first Ch; Pos is written only when found.
int FindCharPos(QChar Ch, const QString& Text, int& Pos);
int FirstCharPos(QChar Ch, const QString& Text);
int WidePos(const QString& Sub, const QString& Text);
// Part := the text before the first Sep; that part and Sep's first
// character leave Text. Without Sep: Part empty, Text unchanged.
void CutBeforeSeparator(QString& Text, const QString& Sep, QString& Part);
// Adds the parts of Text between occurrences of Sep to List (a part with a
// blank in double quotes), the remainder last even when empty.
void SplitToQuotedList(const QString& Sep, QString Text, TStrings* List);
QString ConcatLines(TStrings* List);
int CountChar(QChar Ch, const QString& Text);
// Delim plays no part.
int CountCharDelim(QChar Ch, QChar Delim, const QString& Text);
// Occurrences of Ch outside parts quoted by '"' or "'"; when a quoted part
// is left open at the end, the occurrences inside quoted parts count too.
int CountCharOutsideQuotes(QChar Ch, const QString& Text);
// The position of the quote that closes a quoted field (runs of doubled
// quotes passed over), also stored in Pos; 0 when there is none.
int FindClosingQuote(QChar Quote, const QString& Text, int& Pos);
// "R<row>C<column>" in either case into Point (X column, Y row); False and
// Point untouched when malformed.
bool ParseRCReference(const QString& Text, TPoint& Point);
// The date separator at position 2 or later and again at least two
// characters on.
bool LooksLikeDate(const QString& Text);

// ---------------------------------------------------------------------------
// Quoting and line conversions for files

QString DoubleQuoteChars(const QString& Text);
QString RemoveEnclosingQuotes(const QString& Text);
// Each pair of consecutive Ch becomes one, left to right.
QString CollapseDoubledChar(QChar Ch, const QString& Text);
// CR LF becomes #11, then the text goes in double quotes.
void QuoteMultiLineText(QString& Text);
void VerticalTabsToCRLF(QString& Text);
void CRLFToLF(QString& Text);
QString RemoveCRs(const QString& Text);
QString CRToLF(const QString& Text);
// CR becomes the two characters "\n", LF is dropped; and back.
QString EscapeNewlines(const QString& Text);
QString UnescapeNewlines(const QString& Text);
// CR becomes "~", LF is dropped; "~" becomes CR LF and "^" alone the empty
// text.
void LineBreaksToTilde(QString& Text);
void TildeToLineBreaks(QString& Text);
// The one-line form of a cell: with a CR in the text, CR -> #9, LF -> #8,
// NUL -> #1. Decoding applies to a text holding #8; without Multiline only
// the first line comes back.
QString EncodeLineBreaks(const QString& Text);
QString DecodeLineBreaks(const QString& Text, bool Multiline);
// Line := the text before the first CR (all of it without one). With
// KeepRest and a CR, Text keeps what follows the CR and one LF after it;
// otherwise Text becomes empty.
void ExtractFirstLine(QString& Text, bool KeepRest, QString& Line);
int CountLines(const QString& Text, bool Multiline);
// The widest line on Canvas (the first of equal widths).
QString LongestLine(TCanvas* Canvas, const QString& Text);
QString ReturnsToBrTags(const QString& Text);
void MaskText(QString& Text, QChar Ch);
// Kept for the delimited-text reader and writer: texts are Unicode here and
// there is no OEM code page to convert to.
void TextToOem(QString& Text);
void OemToText(QString& Text);

// ---------------------------------------------------------------------------
// Markup, hyperlink and wide-text helpers

// 0 plain, 1 markup, 2 rich text, 3 formula, 4 hyperlink, 5 wide-encoded.
int GetCellTextKind(const QString& Text, bool HTMLEnabled);
bool ContainsUrl(const QString& Text);
void StripUrlScheme(QString& Text);
// Wraps the first hyperlink starting with Prefix (upper case) in an anchor
// after escaping "<" and ">"; False and Dest untouched when Prefix does not
// occur.
bool LinkifyText(const QString& Text, const QString& Prefix, QString& Dest);
// Characters from U+0100 on as "&#<code point>;".
QString WideCharsToEntities(const QString& Text);
// "RRGGBB" of the colour's low three bytes.
QString ColorToHtmlHex(TColor Color);
inline const QString WideTextPrefix = QStringLiteral("|\\");
QString EncodeWideText(const QString& Text);
QString DecodeWideText(const QString& Text);

// ---------------------------------------------------------------------------
// Number and date helpers

// 0 integer, 1 floating-point number, 2 text, 3 date, 4 time, 5 scientific.
int GetNumberTextType(const QString& Text);
int GetNumberTextTypeSep(const QString& Text, QChar DecSep, QChar ThouSep);
// The plain number in a formatted number text ("$1,234.50" -> "1234.50",
// "(1,234.50)" -> "-1234.50").
QString ExtractFloatText(const QString& Text);
QString NumberTextToDot(const QString& Text);
QString NumberTextFromDot(const QString& Text);
// A date in the order of the locale's short date format, with an optional
// time; years are taken as written.
bool ParseDateByOrder(const QString& Text, TDateTime& Value);
// Day-month-year and month-day-year short dates; 0 when malformed. One- and
// two-digit years below 26 are 20xx, others 19xx.
TDateTime ParseShortDateDMY(const QString& Text);
TDateTime ParseShortDateMDY(const QString& Text);
// Days alone, Years alone or Months alone move Date by that part (the time
// of day kept); any other combination adds Default days.
TDateTime IncDateParts(int Years, int Months, int Days, double Default, TDateTime Date);
// Words capitalised ("o'brien-smith" -> "O'Brien-Smith", "McDonald",
// "Henry III").
QString ToProperCase(const QString& Text);
// Accents removed by canonical decomposition: combining marks go, every
// other character stays (non-Latin letters included), whatever the length.
QString RemoveAccents(const QString& Text);
