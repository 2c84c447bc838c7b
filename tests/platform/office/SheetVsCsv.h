#pragma once
// A sheet as our reader gives it against the same sheet as LibreOffice
// exports it to CSV (UTF-8, commas, the stored values rather than the shown
// ones): texts alike to the character, numbers to LibreOffice's 15
// significant digits, currency to our four decimals, booleans as 1/0 or
// TRUE/FALSE, error values by their text, dates and times by the moment the
// CSV's date text names.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QStringList>
#include <cmath>

#include "platform/office/Excel.h"

namespace officetest {

// The serial day (days since 1899-12-30) of a date or time text as
// LibreOffice's CSV export writes it; false for any other text.
inline bool CsvDateSerial(const QString& text, double& serial) {
  static const QDate epoch(1899, 12, 30);
  for (const char* format : {"yyyy-MM-dd", "MM/dd/yyyy HH:mm:ss", "MM/dd/yyyy", "yyyy-MM-dd HH:mm:ss"}) {
    const QDateTime dt = QDateTime::fromString(text, QString::fromLatin1(format));
    if (dt.isValid()) {
      serial = double(epoch.daysTo(dt.date())) + dt.time().msecsSinceStartOfDay() / 86400000.0;
      return true;
    }
  }
  for (const char* format : {"hh:mm:ss AP", "HH:mm:ss"}) {
    const QTime t = QTime::fromString(text, QString::fromLatin1(format));
    if (t.isValid()) {
      serial = t.msecsSinceStartOfDay() / 86400000.0;
      return true;
    }
  }
  return false;
}

inline bool CsvNumber(QString text, double& value) {
  double scale = 1;
  if (text.endsWith(u'%')) {
    text.chop(1);
    scale = 0.01;
  }
  bool ok = false;
  value = text.toDouble(&ok) * scale;
  return ok;
}

// "" when our value shows as LibreOffice's CSV text, else what differs.
inline QString CellVsCsv(const QVariant& ours, const QString& csv) {
  using namespace Excel;
  const QString mismatch = QStringLiteral("ours %1 (%2), LibreOffice \"%3\"")
                               .arg(VarIsError(ours) ? ours.value<TOleError>().Text : VarToStr(ours),
                                    QString::fromLatin1(ours.typeName() ? ours.typeName() : "empty"), csv);
  if (VarIsEmpty(ours)) return csv.isEmpty() ? QString() : mismatch;
  const QMetaType type = ours.metaType();
  double number = 0;
  if (type == QMetaType::fromType<QString>()) return ours.toString() == csv ? QString() : mismatch;
  if (type == QMetaType::fromType<bool>()) {
    const bool ok = ours.toBool() ? (csv == u"1" || csv == u"TRUE") : (csv == u"0" || csv == u"FALSE");
    return ok ? QString() : mismatch;
  }
  if (type == QMetaType::fromType<TOleError>()) return ours.value<TOleError>().Text == csv ? QString() : mismatch;
  if (type == QMetaType::fromType<TOleDate>()) {
    double serial = 0;
    if (!CsvDateSerial(csv, serial)) return mismatch + QStringLiteral(": no date there");
    return std::fabs(serial - ours.value<TOleDate>().Value) < 0.5 / 86400 ? QString() : mismatch;
  }
  if (type == QMetaType::fromType<TOleCurrency>()) {
    if (!CsvNumber(csv, number)) return mismatch;
    return std::fabs(number - ours.value<TOleCurrency>().Value) <= 0.00005 ? QString() : mismatch;
  }
  if (type == QMetaType::fromType<double>()) {
    if (!CsvNumber(csv, number)) return mismatch;
    const double v = ours.toDouble();
    return std::fabs(number - v) <= 1e-14 * std::max(1.0, std::fabs(v)) ? QString() : mismatch;
  }
  return mismatch + QStringLiteral(": a kind of value the reader should not give");
}

// Every cell of the sheet from A1 to the farther corner of its used range
// and the CSV's rows against the CSV; answers the number of cells that hold
// a value on either side.
inline int ExpectSheetMatchesCsv(const Excel::WorksheetPtr& sheet, const QList<QStringList>& csv) {
  using namespace Excel;
  const TCellRect used = ParseRange(sheet->UsedRange()->Address());
  int rows = used.Row2, cols = used.Col2;
  rows = std::max(rows, int(csv.size()));
  for (const QStringList& r : csv) cols = std::max(cols, int(r.size()));
  const TVarArray values = VarArrayOf(sheet->Range(RangeAddress({1, 1, rows, std::max(cols, 2)}))->Value());
  int filled = 0;
  for (int r = 1; r <= rows; ++r)
    for (int c = 1; c <= cols; ++c) {
      const QString text = r <= csv.size() && c <= csv[r - 1].size() ? csv[r - 1][c - 1] : QString();
      const QVariant& v = values.At(r, c);
      if (!text.isEmpty() || !VarIsEmpty(v)) ++filled;
      const QString why = CellVsCsv(v, text);
      EXPECT_TRUE(why.isEmpty()) << sheet->Name().toStdString() << " " << RangeAddress({r, c, r, c}).toStdString()
                                 << ": " << why.toStdString();
    }
  return filled;
}

}  // namespace officetest
