#pragma once
// Exceptions, formatting, conversions, string, date/time and file helpers
// with the framework's semantics.

#include <QString>
#include <exception>

#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/System.h"

// ---------------------------------------------------------------------------
// Exceptions. Every error of the system derives from Exception; the message is
// kept as UTF-16 text and also exposed through what() as UTF-8.

class Exception : public std::exception, public TObject {
 public:
  explicit Exception(const QString& message) : FMessage(message), FUtf8(message.toUtf8()) {}
  const QString& Message() const { return FMessage; }
  void SetMessage(const QString& message) { FMessage = message; FUtf8 = message.toUtf8(); }
  const char* what() const noexcept override { return FUtf8.constData(); }

 private:
  QString FMessage;
  QByteArray FUtf8;
};

#define TF_DECLARE_EXCEPTION(Name, Base) \
  class Name : public Base {             \
   public:                               \
    using Base::Base;                    \
  };

TF_DECLARE_EXCEPTION(EAbort, Exception)
TF_DECLARE_EXCEPTION(EConvertError, Exception)
TF_DECLARE_EXCEPTION(EListError, Exception)
TF_DECLARE_EXCEPTION(EStringListError, EListError)
TF_DECLARE_EXCEPTION(EStreamError, Exception)
TF_DECLARE_EXCEPTION(EFileStreamError, EStreamError)
TF_DECLARE_EXCEPTION(EFOpenError, EFileStreamError)
TF_DECLARE_EXCEPTION(EFCreateError, EFileStreamError)
TF_DECLARE_EXCEPTION(EReadError, EStreamError)
TF_DECLARE_EXCEPTION(EWriteError, EStreamError)
TF_DECLARE_EXCEPTION(EResNotFound, Exception)
TF_DECLARE_EXCEPTION(EInvalidOperation, Exception)
TF_DECLARE_EXCEPTION(EInvalidPointer, Exception)
TF_DECLARE_EXCEPTION(EArgumentException, Exception)
TF_DECLARE_EXCEPTION(EArgumentOutOfRangeException, EArgumentException)
TF_DECLARE_EXCEPTION(EArgumentNilException, EArgumentException)
TF_DECLARE_EXCEPTION(EEncodingError, Exception)
TF_DECLARE_EXCEPTION(ENotImplemented, Exception)
TF_DECLARE_EXCEPTION(ENotSupportedException, Exception)
TF_DECLARE_EXCEPTION(EOutOfMemory, Exception)
TF_DECLARE_EXCEPTION(EInOutError, Exception)
TF_DECLARE_EXCEPTION(ERangeError, Exception)
TF_DECLARE_EXCEPTION(EZeroDivide, Exception)
TF_DECLARE_EXCEPTION(EComponentError, Exception)
TF_DECLARE_EXCEPTION(EClassNotFound, Exception)
TF_DECLARE_EXCEPTION(EPropertyError, Exception)
TF_DECLARE_EXCEPTION(EOSError, Exception)
TF_DECLARE_EXCEPTION(EThread, Exception)
TF_DECLARE_EXCEPTION(EFilerError, EStreamError)

// ---------------------------------------------------------------------------
// Everything below this line is the SysUtils routine set (Format, conversions,
// dates, strings, files).
