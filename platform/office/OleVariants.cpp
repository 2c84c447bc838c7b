#include "platform/office/OleVariants.h"

#include <cmath>

#include "platform/office/ComObj.h"
#include "platform/rtl/SysUtils.h"

TVarArray::TVarArray(int rows, int cols, int lowBound) : d(new Data) {
  if (rows < 0 || cols < 0) throw ERangeError(QStringLiteral("Negative variant array bounds"));
  d->LowRow = d->LowCol = lowBound;
  d->Rows = rows;
  d->Cols = cols;
  d->Items.resize(size_t(rows) * size_t(cols));
}

qsizetype TVarArray::Index(int row, int col) const {
  const qint64 r = qint64(row) - d->LowRow, c = qint64(col) - d->LowCol;
  if (r < 0 || r >= d->Rows || c < 0 || c >= d->Cols)
    throw ERangeError(QStringLiteral("Variant array index [%1, %2] out of bounds").arg(row).arg(col));
  return qsizetype(r * d->Cols + c);
}

QVariant& TVarArray::At(int row, int col) {
  const qsizetype i = Index(row, col);
  return d->Items[i];  // detaches a shared copy first
}

bool VarIsEmpty(const QVariant& v) { return !v.isValid() || v.isNull(); }
bool VarIsArray(const QVariant& v) { return v.metaType() == QMetaType::fromType<TVarArray>(); }
bool VarIsError(const QVariant& v) { return v.metaType() == QMetaType::fromType<TOleError>(); }

TVarArray VarArrayOf(const QVariant& v) {
  if (!VarIsArray(v)) throw EInvalidCast(QStringLiteral("Invalid variant type conversion"));
  return v.value<TVarArray>();
}

QString VarToStr(const QVariant& v, const TFormatSettings& settings) {
  if (VarIsEmpty(v)) return QString();
  const QMetaType type = v.metaType();
  if (type == QMetaType::fromType<QString>()) return v.toString();
  if (type == QMetaType::fromType<bool>())
    return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
  if (type == QMetaType::fromType<double>() || type == QMetaType::fromType<float>())
    return FloatToStr(v.toDouble(), settings);
  if (type == QMetaType::fromType<int>() || type == QMetaType::fromType<qlonglong>() ||
      type == QMetaType::fromType<uint>() || type == QMetaType::fromType<qulonglong>())
    return v.toString();
  if (type == QMetaType::fromType<TOleDate>()) {
    const TDateTime value = v.value<TOleDate>().Value;
    // A time of day without a date (day 0) shows the time alone, as the
    // automation variants do; otherwise the date, and the time unless it is
    // midnight.
    if (value >= 0 && value < 1) return FormatDateTime(QStringLiteral("tt"), value, settings);
    return DateTimeToStr(value, settings);
  }
  if (type == QMetaType::fromType<TOleCurrency>())
    return FloatToStr(std::round(v.value<TOleCurrency>().Value * 10000.0) / 10000.0, settings);
  if (type == QMetaType::fromType<TOleError>() || type == QMetaType::fromType<TVarArray>())
    throw EVariantError(QStringLiteral("Invalid variant type conversion"));
  if (v.canConvert<QString>()) return v.toString();
  throw EVariantError(QStringLiteral("Invalid variant type conversion"));
}

QString VarToStr(const QVariant& v) { return VarToStr(v, FormatSettings); }
