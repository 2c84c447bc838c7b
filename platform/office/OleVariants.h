#pragma once
// The values that cross the automation interfaces: QVariant for the scalar
// kinds, plus the kinds QVariant has no type for (a date, a currency amount,
// an error value) and the two-dimensional variant array a range's Value
// takes and gives.

#include <QMetaType>
#include <QSharedData>
#include <QVariant>
#include <cstdint>
#include <vector>

#include "platform/rtl/SysUtils.h"

struct TFormatSettings;

// Raised when a variant cannot be converted (an error value or an array to
// text).
TF_DECLARE_EXCEPTION(EVariantError, Exception)

// A date-time variant (days since 1899-12-30, as TDateTime).
struct TOleDate {
  TDateTime Value = 0;
  bool operator==(const TOleDate&) const = default;
};
// A currency variant: the amount rounded to four decimals.
struct TOleCurrency {
  double Value = 0;
  bool operator==(const TOleCurrency&) const = default;
};
// An error value of a cell (#N/A, #DIV/0!, ...), with its text.
struct TOleError {
  QString Text;
  bool operator==(const TOleError&) const = default;
};

// A two-dimensional variant array [row, column] with lower bounds per
// dimension (0 for the arrays a caller builds, 1 for those a range gives).
// Copies share their elements until one of them is changed.
class TVarArray {
 public:
  TVarArray() : d(new Data) {}
  TVarArray(int rows, int cols, int lowBound = 0);

  int LowRow() const { return d->LowRow; }
  int LowCol() const { return d->LowCol; }
  int RowCount() const { return d->Rows; }
  int ColCount() const { return d->Cols; }
  int HighRow() const { return d->LowRow + d->Rows - 1; }
  int HighCol() const { return d->LowCol + d->Cols - 1; }

  // Raise ERangeError outside the bounds.
  const QVariant& At(int row, int col) const { return d->Items[Index(row, col)]; }
  QVariant& At(int row, int col);
  void Set(int row, int col, const QVariant& value) { At(row, col) = value; }
  void Set(int row, int col, QVariant&& value) { At(row, col) = std::move(value); }

  // Zero-based access without the bounds arithmetic (row * ColCount + col).
  const QVariant& Item(qsizetype index) const { return d->Items[index]; }

 private:
  struct Data : QSharedData {
    int LowRow = 0, LowCol = 0, Rows = 0, Cols = 0;
    std::vector<QVariant> Items;
  };
  qsizetype Index(int row, int col) const;
  QSharedDataPointer<Data> d;
};

Q_DECLARE_METATYPE(TOleDate)
Q_DECLARE_METATYPE(TOleCurrency)
Q_DECLARE_METATYPE(TOleError)
Q_DECLARE_METATYPE(TVarArray)

bool VarIsEmpty(const QVariant& v);   // no value (invalid or null)
bool VarIsArray(const QVariant& v);
bool VarIsError(const QVariant& v);
TVarArray VarArrayOf(const QVariant& v);  // raises EInvalidCast when v holds no array

// The framework's variant-to-text conversion: empty gives "", numbers
// FloatToStr (15 significant digits, the settings' decimal separator),
// dates DateTimeToStr (a date without time shows the date only, a time on
// day 0 the time only), currency the amount rounded to four decimals,
// booleans "True"/"False", strings themselves. An error value or an array
// raises EVariantError.
QString VarToStr(const QVariant& v);
QString VarToStr(const QVariant& v, const TFormatSettings& settings);
