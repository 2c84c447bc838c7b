#pragma once
// Spreadsheet number-format codes ("#,##0.00", "[h]:mm", "0.0%;[Red]-0.0%",
// "\"Total: \"@"): the text a value shows under such a code. Sections split
// at ";" outside quotes (positive, negative, zero, text), bracketed
// conditions choose among them, runs of date-time codes go through
// FormatDateTime and runs of number codes through FormatFloat, and literal
// text, escapes, colour, locale and elapsed-time brackets are handled here.
//
// Not covered: colours are recognised and skipped but not reported; fill
// characters ("*x") print once; "General" and any code letter outside the
// known sets fall back to the value's plain text.

#include <QString>
#include <QVariant>
#include <array>

#include "platform/rtl/SysUtils.h"

// The condition of one section and what it means for the minus sign.
struct TResultCondition {
  // Chosen because its own condition holds: the minus sign is not shown.
  bool SupressNeg = false;
  // The value fell outside this condition and lands in the second section of
  // a two-section format: the minus sign is not shown.
  bool SupressNegComp = false;
  // The condition did not hold for the value.
  bool Complement = false;
  // The section carries a condition.
  bool Assigned = false;
};
using TResultConditionArray = std::array<TResultCondition, 4>;
using WidestringArray = std::array<QString, 4>;

// The text of Value under the format code. Numbers (integers, floats) take
// the numeric sections, strings the text section, booleans give "TRUE" or
// "FALSE", dates (QDate, QDateTime) are numbers of days since 1899-12-30
// that may not be negative. A null value gives "", an empty format the
// value's plain text. Never raises.
//
// Number runs use the decimal and thousands separators of FormatSettings;
// date and time runs use a copy of the locale settings taken on first use.
QString ApplyExcelNumberFormat(const QVariant& Value, const QString& Format);
// The same with explicit settings for both the number and date-time runs.
QString ApplyExcelNumberFormat(const QVariant& Value, const QString& Format, const TFormatSettings& Settings);

// Splits a format into at most four sections and reads their conditions
// against Value (NaN for text values). Answers the section count (1 to 4);
// Holding is the first section whose condition holds, -1 when none does.
int SplitExcelFormatSections(const QString& Format, double Value, WidestringArray& Sections,
                             TResultConditionArray& Conditions, int& Holding);
