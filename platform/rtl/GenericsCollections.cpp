#include "platform/rtl/GenericsCollections.h"

#include <QMetaType>
#include <cmath>
#include <limits>

#include "platform/rtl/MessageText.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SysUtils.h"

namespace Generics::Collections::GenericsDetail {

namespace {

bool IsIntegral(const QVariant& Value) {
  switch (Value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
      return true;
    default:
      return false;
  }
}

}  // namespace

void RaiseListIndexError(int Index) {
  throw EListError(MessageText(RtlConsts::SListIndexError, {QString::number(Index)}));
}

void RaiseInvalidCast() { throw EInvalidCast(QString::fromUtf8(RtlConsts::SInvalidCast)); }

void RaiseNotOwned() { throw EInvalidOperation(QString::fromUtf8(RtlConsts::SInvalidOperation)); }

void RaiseDuplicateItem() { throw EListError(QString::fromUtf8(RtlConsts::SGenericDuplicateItem)); }

void RaiseItemNotFound() { throw EListError(QString::fromUtf8(RtlConsts::SGenericItemNotFound)); }

QString ValueToString(const QVariant& Value) {
  if (Value.metaType().id() != QMetaType::QString) RaiseInvalidCast();
  return Value.toString();
}

int32_t ValueToInteger(const QVariant& Value) {
  if (!IsIntegral(Value)) RaiseInvalidCast();
  if (Value.metaType().id() == QMetaType::ULongLong || Value.metaType().id() == QMetaType::ULong) {
    if (Value.toULongLong() > static_cast<qulonglong>(std::numeric_limits<int32_t>::max())) RaiseInvalidCast();
    return static_cast<int32_t>(Value.toULongLong());
  }
  const qlonglong v = Value.toLongLong();
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) RaiseInvalidCast();
  return static_cast<int32_t>(v);
}

double ValueToDouble(const QVariant& Value) {
  const int id = Value.metaType().id();
  if (id == QMetaType::Double || id == QMetaType::Float) return Value.toDouble();
  if (!IsIntegral(Value)) RaiseInvalidCast();
  return Value.toDouble();
}

QString InstanceName(const char* Generic, const QStringList& Args) {
  return QString::fromLatin1(Generic) + u'<' + Args.join(u',') + u'>';
}

}  // namespace Generics::Collections::GenericsDetail
