#pragma once
// Base64, URL and HTML encodings with the framework's TNetEncoding semantics.

#include <QString>

#include "platform/rtl/System.h"

class TNetEncoding : public TObject {
 public:
  // Shared instances; never delete them.
  static TNetEncoding& Base64();        // line breaks (CR LF) every 76 characters
  static TNetEncoding& Base64String();  // no line breaks
  static TNetEncoding& URL();
  static TNetEncoding& HTML();

  // Text forms work on the UTF-8 bytes of the text.
  virtual QString Encode(const QString& input) const;
  virtual QString Decode(const QString& input) const;
  virtual TBytes EncodeBytes(const TBytes& input) const = 0;
  virtual TBytes DecodeBytes(const TBytes& input) const = 0;
  QString EncodeBytesToString(const TBytes& input) const;
  TBytes DecodeStringToBytes(const QString& input) const;

 protected:
  // Text forms that do not go through bytes (HTML works on characters).
  virtual bool WorksOnText() const { return false; }
  virtual QString DoEncodeText(const QString& input) const { return input; }
  virtual QString DoDecodeText(const QString& input) const { return input; }
};
