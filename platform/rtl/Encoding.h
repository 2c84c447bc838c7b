#pragma once
// Text encodings with the framework's TEncoding semantics. ANSI is always
// Windows-1252 (own table; a character it cannot hold becomes "?").

#include <QString>

#include "platform/rtl/System.h"

class TEncoding : public TObject {
 public:
  // Shared instances; never delete them.
  static TEncoding* ANSI();              // Windows-1252
  static TEncoding* ASCII();             // 7-bit; other characters become "?"
  static TEncoding* UTF8();              // preamble EF BB BF
  static TEncoding* Unicode();           // UTF-16 LE, preamble FF FE
  static TEncoding* BigEndianUnicode();  // UTF-16 BE, preamble FE FF
  static TEncoding* Default();           // the system ANSI code page (= ANSI())
  // The shared instance for a Windows code page number (1252, 20127, 65001,
  // 1200, 1201) or nullptr when unknown.
  static TEncoding* GetEncoding(int codePage);
  // The shared instance for a charset name as used by HTTP and HTML
  // ("utf-8", "windows-1252", "iso-8859-1", "us-ascii", "utf-16le" ...),
  // compared without case, or nullptr when unknown.
  static TEncoding* GetEncodingByName(const QString& charset);

  virtual TBytes GetBytes(const QString& s) const = 0;
  virtual QString GetString(const TBytes& bytes) const = 0;
  // Decodes Count bytes from Index (0-based); raises EEncodingError with
  // SInvalidSourceArray when the range lies outside the buffer.
  QString GetString(const TBytes& bytes, int index, int count) const;
  virtual TBytes GetPreamble() const { return {}; }
  virtual QString EncodingName() const = 0;
  virtual int CodePage() const = 0;
  virtual bool IsSingleByte() const { return false; }

  // Detects a byte-order mark at the start of Buffer. When Encoding is null it
  // is set to the encoding whose preamble starts the buffer (or to
  // DefaultEncoding, or Default() when that is null too). Returns the length
  // of the preamble found for the resulting encoding (0 when none).
  static int GetBufferEncoding(const TBytes& buffer, TEncoding*& encoding,
                               TEncoding* defaultEncoding = nullptr);
  static TBytes Convert(const TEncoding* source, const TEncoding* destination,
                        const TBytes& bytes);
  static bool IsStandardEncoding(const TEncoding* encoding);
};
