#include "foundation/KitUtils.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QtDebug>
#include <algorithm>
#include <cmath>
#include <dlfcn.h>
#include <vector>

#include "foundation/KitTypes.h"
#include "platform/rtl/ComponentStreaming.h"
#include "platform/rtl/Components.h"
#include "platform/rtl/Encoding.h"
#include "platform/rtl/NetEncoding.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/WinInet.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/gdiplusapi/GdiPlusImages.h"
#include "platform/vcl/GIFImg.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/Jpeg.h"
#include "platform/vcl/ImagingGraphics.h"
#include "platform/vcl/PngImage.h"
#include "platform/win32/Clipboard.h"
#include "platform/win32/Shell.h"

Word KitCFRichEditorText = 0;
Word KitCFStream = 0;
Word KitCFPicture = 0;
Word KitCFRTF = 0;
Word KitCFHTML = 0;

namespace {

// Picture signatures, tried in this order: result, bytes compared, bytes.
struct TKitImageSignature {
  const char* Extension;
  int Count;
  uint8_t Bytes[4];
};

constexpr TKitImageSignature kImageSignatures[] = {
    {".gif", 3, {0x47, 0x49, 0x46, 0x00}},     {".bmp", 2, {0x42, 0x4D, 0x00, 0x00}},
    {".png", 4, {0x89, 0x50, 0x4E, 0x47}},     {".tiff", 3, {0x49, 0x49, 0x2A, 0x00}},
    {".tiff", 3, {0x4D, 0x4D, 0x2A, 0x00}},    {".jpg", 4, {0xFF, 0xD8, 0xFF, 0xE0}},
    {".jpg", 4, {0xFF, 0xD8, 0xFF, 0xE1}},     {".jpg", 4, {0xFF, 0xD8, 0xFF, 0xDB}},
    {".unknown", 4, {0x00, 0x00, 0x01, 0x00}}, {".empty", 4, {0x00, 0x00, 0x00, 0x00}},
};

// Characters written as \u escapes below U+0080.
constexpr char16_t kJSONEscaped[] = {u'"', u'\\', 0x08, 0x0C, 0x0A, 0x0D, 0x09};

// The markup table: character text and entity text. The first four rows
// hold their entity without the leading "&".
struct TKitMarkupRow {
  const char16_t* Text;
  const char16_t* Entity;
};

constexpr TKitMarkupRow kMarkup[] = {
    {u"&", u"amp;"},  // 1
    {u"<", u"lt;"},  // 2
    {u">", u"gt;"},  // 3
    {u"\"", u"quot;"},  // 4
    {u" ", u"&nbsp;"},  // 5
    {u"\u00E9", u"&eacute;"},  // 6
    {u"\u00E8", u"&egrave;"},  // 7
    {u"\u00EB", u"&euml;"},  // 8
    {u"\u00EA", u"&ecirc;"},  // 9
    {u"\u00F3", u"&oacute;"},  // 10
    {u"\u00F2", u"&ograve;"},  // 11
    {u"\u00F6", u"&ouml;"},  // 12
    {u"\u00F4", u"&ocirc;"},  // 13
    {u"\u00ED", u"&iacute;"},  // 14
    {u"\u00EC", u"&igrave;"},  // 15
    {u"\u00EF", u"&iuml;"},  // 16
    {u"\u00EE", u"&icirc;"},  // 17
    {u"\u00FA", u"&uacute;"},  // 18
    {u"\u00F9", u"&ugrave;"},  // 19
    {u"\u00FC", u"&uuml;"},  // 20
    {u"\u00FB", u"&ucirc;"},  // 21
    {u"\u00E1", u"&aacute;"},  // 22
    {u"\u00E0", u"&agrave;"},  // 23
    {u"\u00E4", u"&auml;"},  // 24
    {u"\u00E2", u"&acirc;"},  // 25
    {u"\u00C9", u"&Eacute;"},  // 26
    {u"\u00C8", u"&Egrave;"},  // 27
    {u"\u00CB", u"&Euml;"},  // 28
    {u"\u00CA", u"&Ecirc;"},  // 29
    {u"\u00D3", u"&Oacute;"},  // 30
    {u"\u00D2", u"&Ograve;"},  // 31
    {u"\u00D6", u"&Ouml;"},  // 32
    {u"\u00D4", u"&Ocirc;"},  // 33
    {u"\u00CD", u"&Iacute;"},  // 34
    {u"\u00CC", u"&Igrave;"},  // 35
    {u"\u00CF", u"&Iuml;"},  // 36
    {u"\u00CE", u"&Icirc;"},  // 37
    {u"\u00DA", u"&Uacute;"},  // 38
    {u"\u00D9", u"&Ugrave;"},  // 39
    {u"\u00DC", u"&Uuml;"},  // 40
    {u"\u00DB", u"&Ucirc;"},  // 41
    {u"\u00C1", u"&Aacute;"},  // 42
    {u"\u00C0", u"&Agrave;"},  // 43
    {u"\u00C4", u"&Auml;"},  // 44
    {u"\u00C2", u"&Acirc;"},  // 45
    {u"\u00E7", u"&ccedil;"},  // 46
    {u"\u00C7", u"&Ccedil;"},  // 47
    {u"\u00F8", u"&oslash;"},  // 48
    {u"\u00D8", u"&Oslash;"},  // 49
    {u"\u00E5", u"&aring;"},  // 50
    {u"\u00C5", u"&Aring;"},  // 51
    {u"(c)", u"&copy;"},  // 52
    {u"\u00AE", u"&reg;"},  // 53
    {u"\u20AC", u"&euro;"},  // 54
    {u"\u00AB", u"&laquo;"},  // 55
    {u"\u00BB", u"&raquo;"},  // 56
    {u"\u00E3", u"&atilde;"},  // 57
    {u"\u00C3", u"&Atilde;"},  // 58
    {u"\u00F5", u"&otilde;"},  // 59
    {u"\u00D5", u"&Otilde;"},  // 60
    {u"\u2122", u"&trade;"},  // 61
    {u"\u00A7", u"&sect;"},  // 62
    {u"\u00B6", u"&para;"},  // 63
    {u"\u00DF", u"&szlig;"},  // 64
    {u"\u00A3", u"&pound;"},  // 65
    {u"$", u"&#36;"},  // 66
    {u"\u00A7", u"&sect;"},  // 67
    {u"\u2030", u"&permil;"},  // 68
    {u"\u00B6", u"&para;"},  // 69
    {u"'", u"&#39;"},  // 70
    {u"\u00A5", u"&yen;"},  // 71
    {u"\u00A4", u"&curren;"},  // 72
    {u"\u00A2", u"&cent;"},  // 73
    {u"\u00B1", u"&plusmn;"},  // 74
    {u"\u00A1", u"&iexcl;"},  // 75
    {u"\u00B0", u"&deg;"},  // 76
    {u"\u00FD", u"&#x00FD;"},  // 77
    {u"\u00DD", u"&#221;"},  // 78
    {u"\u00BC", u"&frac14;"},  // 79
    {u"\u00BD", u"&frac12;"},  // 80
    {u"\u00BE", u"&frac34;"},  // 81
    {u"\u00C6", u"&AElig;"},  // 82
    {u"\u00E6", u"&aelig;"},  // 83
    {u"\u00D1", u"&Ntilde;"},  // 84
    {u"\u00F1", u"&ntilde;"},  // 85
    {u"\u00D0", u"&ETH;"},  // 86
};
constexpr int kMarkupCount = static_cast<int>(std::size(kMarkup));
static_assert(kMarkupCount == 86);

const char* const kSizeUnits[] = {"Bytes", "KB", "MB", "GB", "TB"};

const char* const kAccentWords[] = {"cute", "grave", "uml", "circ", "tilde", "ring", "cedil"};

QString Str(const char16_t* text) { return QString::fromUtf16(text); }

const QStringList& MarkupEntities() {
  static const QStringList entities = [] {
    QStringList list;
    for (const TKitMarkupRow& row : kMarkup) list << Str(row.Entity);
    return list;
  }();
  return entities;
}

// Replaces the first exact-case occurrence of Search by Replacement for as
// long as one remains. A replacement can only create a new occurrence that
// overlaps it, so the search goes on from just before it rather than from
// the start.
void ReplaceEach(QString& s, const QString& search, const QString& replacement) {
  if (search.isEmpty()) return;
  qsizetype from = 0;
  while (true) {
    const qsizetype at = s.indexOf(search, from, Qt::CaseSensitive);
    if (at < 0) return;
    s.replace(at, search.size(), replacement);
    from = std::max<qsizetype>(0, at - search.size() + 1);
  }
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

// Reads the whole stream from position 0.
TBytes ReadWholeStream(TStream* AStream) {
  AStream->SetPosition(0);
  const Int64 size = AStream->Size();
  TBytes bytes;
  if (size > 0) {
    bytes.resize(size);
    const Int64 read = AStream->Read(bytes.data(), size);
    bytes.resize(std::max<Int64>(read, 0));
  }
  return bytes;
}

void WriteBytes(TStream* AStream, const TBytes& bytes) {
  if (!bytes.isEmpty()) AStream->WriteBuffer(bytes.constData(), bytes.size());
}

// Sets "." and "," as the global decimal and thousand separators for its
// lifetime.
class TDotSeparators {
 public:
  TDotSeparators()
      : FDecimal(FormatSettings.DecimalSeparator), FThousand(FormatSettings.ThousandSeparator) {
    FormatSettings.DecimalSeparator = u'.';
    FormatSettings.ThousandSeparator = u',';
  }
  ~TDotSeparators() {
    FormatSettings.DecimalSeparator = FDecimal;
    FormatSettings.ThousandSeparator = FThousand;
  }
  TDotSeparators(const TDotSeparators&) = delete;
  TDotSeparators& operator=(const TDotSeparators&) = delete;

 private:
  QChar FDecimal;
  QChar FThousand;
};

}  // namespace

// Start-up of a GUI program: the library's clipboard formats.
static void RegisterKitClipboardFormats() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
  KitCFRichEditorText = static_cast<Word>(RegisterClipboardFormat(QStringLiteral("RichEditorText")));
  KitCFStream = static_cast<Word>(RegisterClipboardFormat(QStringLiteral("TKitClipBoard.StreamFormat")));
  KitCFPicture = CF_BITMAP;
  KitCFRTF = static_cast<Word>(RegisterClipboardFormat(QStringLiteral("Rich Text Format")));
  KitCFHTML = static_cast<Word>(RegisterClipboardFormat(QStringLiteral("HTML Format")));
}
Q_COREAPP_STARTUP_FUNCTION(RegisterKitClipboardFormats)

// ---------------------------------------------------------------------------
// Text and search

int TKitUtils::IPos(const QString& su, const QString& s) { return Pos(UpperCase(su), UpperCase(s)); }

bool TKitUtils::TagReplaceString(const QString& Srch, const QString& Repl, QString& Dest) {
  const int at = IPos(Srch, Dest);
  if (at == 0) return false;
  Dest.replace(at - 1, Srch.size(), Repl);
  return true;
}

int TKitUtils::VarPos(const QString& ASubValue, const QString& AValue, int& AResult) {
  AResult = Pos(ASubValue, AValue);
  return AResult;
}

int TKitUtils::VarPosNoCase(const QString& ASubValue, const QString& AValue, int& AResult) {
  AResult = Pos(UpperCase(ASubValue), UpperCase(AValue));
  return AResult;
}

QChar TKitUtils::CharInStr(const QString& s, int Index) {
  if (Index < 1 || Index > s.size()) return QChar(0);
  return s[Index - 1];
}

int TKitUtils::IndexOfTextInArray(const QString& AText, const QStringList& AValues) {
  bool exactCase = false;
  for (const char* word : kAccentWords) {
    if (AText.contains(QLatin1String(word), Qt::CaseSensitive)) {
      exactCase = true;
      break;
    }
  }
  for (int i = 0; i < AValues.size(); ++i) {
    if (SameText(AText, AValues[i]) && (!exactCase || AText == AValues[i])) return i;
  }
  return -1;
}

int TKitUtils::GetMarkupIndex(const QString& Markup) {
  return IndexOfTextInArray(Markup, MarkupEntities());
}

QString TKitUtils::GetSpecialChar(int Value) {
  if (Value < 1 || Value > kMarkupCount)
    throw EListError(Format(RtlConsts::SListIndexError, {Value}));
  return Str(kMarkup[Value - 1].Text);
}

void TKitUtils::Split(QChar ADelimiter, const QString& AInput, TStrings* AStrings,
                      bool AClearEmptyStrings) {
  AStrings->Clear();
  AStrings->SetDelimiter(ADelimiter);
  AStrings->SetStrictDelimiter(true);
  AStrings->SetDelimitedText(AInput);
  if (AClearEmptyStrings) {
    for (int i = AStrings->Count() - 1; i >= 0; --i)
      if (AStrings->Strings(i).isEmpty()) AStrings->Delete(i);
  }
}

bool TKitUtils::IsHTML(const QString& AValue) {
  return AValue.contains(u"</") || AValue.contains(u"/>") ||
         AValue.contains(u"<BR>", Qt::CaseInsensitive);
}

bool TKitUtils::IsHTMLUnicode(const QString& AValue) { return IsHTML(AValue); }

QString TKitUtils::HTMLStrip(const QString& AHTML) {
  const TReplaceFlags all{rfReplaceAll, rfIgnoreCase};
  QString rest = StringReplace(AHTML, QStringLiteral("<BR>"), QStringLiteral("\r\n"), all);
  rest = StringReplace(rest, QStringLiteral("<HR>"), QStringLiteral("\r\n"), all);
  QString result;
  qsizetype from = 0;
  while (true) {
    const qsizetype open = rest.indexOf(u'<', from);
    if (open < 0) break;
    result += QStringView(rest).mid(from, open - from);
    from = open;
    const qsizetype close = rest.indexOf(u'>', open);
    if (close < 0) break;
    from = close + 1;
  }
  result += QStringView(rest).mid(from);
  return result;
}

QString TKitUtils::EscapeString(const QString& AValue) {
  static const char kHex[] = "0123456789ABCDEF";
  QString result;
  result.reserve(AValue.size());
  for (const QChar ch : AValue) {
    const char16_t c = ch.unicode();
    bool escape = c >= 0x80;
    if (!escape) {
      for (char16_t e : kJSONEscaped) {
        if (e == c) {
          escape = true;
          break;
        }
      }
    }
    if (!escape) {
      result += ch;
      continue;
    }
    const char16_t text[6] = {u'\\', u'u', char16_t(kHex[(c >> 12) & 15]), char16_t(kHex[(c >> 8) & 15]),
                              char16_t(kHex[(c >> 4) & 15]), char16_t(kHex[c & 15])};
    result.append(reinterpret_cast<const QChar*>(text), 6);
  }
  return result;
}

QString TKitUtils::UnescapeString(const QString& AValue) {
  const qsizetype n = AValue.size();
  const char16_t* s = reinterpret_cast<const char16_t*>(AValue.constData());
  qsizetype i = 0;
  while (i < n && s[i] != u'\\') ++i;
  if (i == n) return AValue;  // nothing to decode
  QString result(n, Qt::Uninitialized);  // decoding never lengthens the text
  char16_t* const begin = reinterpret_cast<char16_t*>(result.data());
  char16_t* out = std::copy(s, s + i, begin);
  while (i < n) {
    const char16_t c = s[i];
    if (c != u'\\') {
      *out++ = c;
      ++i;
      continue;
    }
    if (i + 1 >= n) throw Exception(QStringLiteral("Unexpected end of string"));
    char16_t decoded = 0;
    int consumed = 2;
    switch (s[i + 1]) {
      case u'\\': decoded = u'\\'; break;
      case u'/': decoded = u'/'; break;
      case u'b': decoded = 0x08; break;
      case u'f': decoded = 0x0C; break;
      case u'n': decoded = 0x0A; break;
      case u'r': decoded = 0x0D; break;
      case u't': decoded = 0x09; break;
      case u'u': {
        int value = -1;
        if (i + 5 < n) {
          value = 0;
          for (int k = 2; k < 6 && value >= 0; ++k) {
            const int digit = HexDigit(s[i + k]);
            value = digit < 0 ? -1 : value * 16 + digit;
          }
        }
        if (value >= 0) {
          decoded = static_cast<char16_t>(value);
          consumed = 6;
          break;
        }
        [[fallthrough]];
      }
      default:
        throw Exception(Format(QStringLiteral("Invalid code at position %s"),
                               {QString::number(i + 1)}));
    }
    *out++ = decoded;
    i += consumed;
  }
  result.truncate(out - begin);
  return result;
}

QString TKitUtils::FixMarkup(const QString& su, bool SpecialChars) {
  QString s = su;
  ReplaceEach(s, QStringLiteral("&"), QStringLiteral("*amp;"));
  ReplaceEach(s, QStringLiteral("*amp;"), QStringLiteral("&amp;"));
  ReplaceEach(s, QStringLiteral("\""), QStringLiteral("&quot;"));
  ReplaceEach(s, QStringLiteral("<"), QStringLiteral("&lt;"));
  ReplaceEach(s, QStringLiteral(">"), QStringLiteral("&gt;"));
  if (SpecialChars) {
    for (int row = 3; row < kMarkupCount; ++row)
      ReplaceEach(s, Str(kMarkup[row].Text), Str(kMarkup[row].Entity));
    QString numeric;
    numeric.reserve(s.size());
    for (const QChar ch : s) {
      if (ch.unicode() > 256)
        numeric += QStringLiteral("&#") + QString::number(ch.unicode()) + u';';
      else
        numeric += ch;
    }
    s = numeric;
  }
  return s;
}

QString TKitUtils::UnFixMarkup(const QString& su, bool SpecialChars, bool SpecialCharsOnly) {
  QString s = su;
  if (!SpecialCharsOnly) {
    ReplaceEach(s, QStringLiteral("&lt;"), QStringLiteral("<"));
    ReplaceEach(s, QStringLiteral("&gt;"), QStringLiteral(">"));
    ReplaceEach(s, QStringLiteral("&amp;"), QStringLiteral("&"));
    ReplaceEach(s, QStringLiteral("&quot;"), QStringLiteral("\""));
  }
  if (SpecialChars) {
    for (int row = 3; row < kMarkupCount; ++row)
      ReplaceEach(s, Str(kMarkup[row].Entity), Str(kMarkup[row].Text));
  }
  return s;
}

QString TKitUtils::EnDeCrypt(const QString& AValue) {
  QString result(AValue.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < AValue.size(); ++i) {
    const int b = AValue[i].unicode() & 0xFF;
    result[i] = QChar(static_cast<char16_t>((b & 0xE0) + ((b & 0x1F) ^ 5)));
  }
  return result;
}

QString TKitUtils::URLEncode(const QString& AURL) {
  static const char kHex[] = "0123456789ABCDEF";
  const QByteArray bytes = AURL.toUtf8();
  QString result;
  result.reserve(bytes.size() * 3);
  for (const char ch : bytes) {
    const auto b = static_cast<uint8_t>(ch);
    const bool plain = b == '-' || b == '.' || b == '_' || (b >= '0' && b <= '9') ||
                       (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
    if (plain) {
      result += QChar(b);
    } else {
      result += u'%';
      result += QChar(kHex[b >> 4]);
      result += QChar(kHex[b & 15]);
    }
  }
  return result;
}

QString TKitUtils::URLDecode(const QString& AURL) {
  if (AURL.isEmpty()) return QString();
  auto upperHex = [](char16_t c) -> int {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
  };
  QByteArray bytes;
  bytes.reserve(AURL.size());
  const qsizetype n = AURL.size();
  qsizetype i = 0;
  while (i < n) {
    const char16_t c = AURL[i].unicode();
    if (c != u'%') {
      bytes += static_cast<char>(c & 0xFF);
      ++i;
      continue;
    }
    if (i + 2 >= n) break;  // fewer than two characters follow: dropped
    const int hi = upperHex(AURL[i + 1].unicode());
    const int lo = upperHex(AURL[i + 2].unicode());
    if (hi >= 0 && lo >= 0) bytes += static_cast<char>(hi * 16 + lo);
    i += 3;
  }
  return Trim(QString::fromUtf8(bytes));
}

// ---------------------------------------------------------------------------
// Character sets

TKitUtilsCharSet TKitUtils::NumericCharSet() { return CreateCharSet(QStringLiteral("0123456789")); }

TKitUtilsCharSet TKitUtils::AlphaCharSet() {
  return CreateCharSet(
      QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
}

TKitUtilsCharSet TKitUtils::CreateCharSet(const QString& AValue) {
  return TKitUtilsCharSet(AValue.cbegin(), AValue.cend());
}

TKitUtilsCharSet TKitUtils::AddCharSet(const TKitUtilsCharSet& ACharSet1,
                                       const TKitUtilsCharSet& ACharSet2) {
  return ACharSet1 + ACharSet2;
}

TKitUtilsCharSet TKitUtils::SubCharSet(const TKitUtilsCharSet& ACharSet1,
                                       const TKitUtilsCharSet& ACharSet2) {
  TKitUtilsCharSet result;
  for (const QChar ch : ACharSet1)
    if (!ACharSet2.contains(ch)) result << ch;
  return result;
}

bool TKitUtils::CharInSet(QChar ch, const TKitUtilsCharSet& ACharSet) {
  return ACharSet.contains(ch);
}

// ---------------------------------------------------------------------------
// Numbers and dates

int TKitUtils::MulDivInt(int nNumber, int nNumerator, int nDenominator) {
  if (nDenominator == 0) return -1;
  const Int64 product = static_cast<Int64>(nNumber) * nNumerator;
  const double quotient = static_cast<double>(product) / nDenominator;
  return static_cast<int>(static_cast<Int64>(std::round(quotient)));
}

Single TKitUtils::MulDivSingle(Single nNumber, Single nNumerator, Single nDenominator) {
  if (nDenominator == 0) return -1;
  return nNumber * nNumerator / nDenominator;
}

double TKitUtils::StrToFloatDot(const QString& AValue) {
  TDotSeparators dot;
  return StrToFloat(AValue);
}

bool TKitUtils::TryStrToFloatDot(const QString& AValue, double& AResult) {
  TDotSeparators dot;
  return TryStrToFloat(AValue, AResult);
}

QString TKitUtils::FloatToStrDot(double AValue) {
  TDotSeparators dot;
  return FloatToStr(AValue);
}

TDateTime TKitUtils::EpochToDateTime(const QString& AEpoch) {
  constexpr double kUnixDateDelta = 25569.0;  // 1970-01-01 as a day count
  return kUnixDateDelta + StrToInt(AEpoch) / 86400.0;
}

QString TKitUtils::FormatBytesAsString(Extended ASize) {
  if (ASize <= -1) return QString();
  constexpr int kLastUnit = static_cast<int>(std::size(kSizeUnits)) - 1;
  int unit = 0;
  while (ASize >= 1024 && unit < kLastUnit) {
    ASize /= 1024;
    ++unit;
  }
  const QString number = unit == 0 ? FloatToStr(ASize) : FormatFloat(QStringLiteral("0.00"), ASize);
  return number + u' ' + QLatin1String(kSizeUnits[unit]);
}

// ---------------------------------------------------------------------------
// Streams and encodings

QString TKitUtils::GetImageType(TStream* AData, bool AResetPosition) {
  QString result;
  const Int64 position = AData->Position();
  try {
    if (AResetPosition) AData->SetPosition(0);
    uint8_t head[4];
    if (AData->Read(head, 4) == 4) {
      for (const TKitImageSignature& row : kImageSignatures) {
        if (std::equal(row.Bytes, row.Bytes + row.Count, head)) {
          result = QLatin1String(row.Extension);
          break;
        }
      }
    }
  } catch (...) {
    AData->SetPosition(position);
    throw;
  }
  AData->SetPosition(position);
  return result;
}

QString TKitUtils::SaveStreamToHexStr(TStream* AStream) {
  static const char kHex[] = "0123456789ABCDEF";
  const TBytes bytes = ReadWholeStream(AStream);
  QString result(bytes.size() * 2, Qt::Uninitialized);
  QChar* out = result.data();
  for (const char ch : bytes) {
    const auto b = static_cast<uint8_t>(ch);
    *out++ = QChar(kHex[b >> 4]);
    *out++ = QChar(kHex[b & 15]);
  }
  return result;
}

TBytes TKitUtils::HexStrToBytes(const QString& AValue) {
  const qsizetype count = AValue.size() / 2;
  TBytes result(count, Qt::Uninitialized);
  for (qsizetype i = 0; i < count; ++i) {
    const int hi = HexDigit(AValue[2 * i].unicode());
    const int lo = HexDigit(AValue[2 * i + 1].unicode());
    if (hi < 0 || lo < 0) StrToInt(u'$' + AValue.mid(2 * i, 2));  // raises the run-time's error
    result[i] = static_cast<char>(hi * 16 + lo);
  }
  return result;
}

void TKitUtils::LoadStreamFromHexStr(const QString& AHexStr, TStream* AStream) {
  // The text counts as 8-bit characters of the ANSI code page.
  const TBytes narrow = TEncoding::ANSI()->GetBytes(AHexStr);
  WriteBytes(AStream, HexStrToBytes(QString::fromLatin1(narrow)));
}

QString TKitUtils::SaveStreamToBase64(TStream* AStream, bool AURL) {
  QString result = TNetEncoding::Base64String().EncodeBytesToString(ReadWholeStream(AStream));
  if (AURL) {
    result.replace(u'+', u'-');
    result.replace(u'/', u'_');
    result.remove(u'=');
  }
  return result;
}

TBytes TKitUtils::Decode64ToBytes(const QString& AValue, bool AURL) {
  if (AValue.isEmpty()) return TBytes();
  QString text = AValue;
  if (AURL) {
    while (text.size() % 4 != 0) text += u'=';
    text.replace(u'-', u'+');
    text.replace(u'_', u'/');
  }
  return TNetEncoding::Base64().DecodeStringToBytes(text);
}

void TKitUtils::LoadStreamFromBase64(const QString& ABase64, TStream* AStream, bool AURL) {
  WriteBytes(AStream, Decode64ToBytes(ABase64, AURL));
}

std::unique_ptr<TResourceStream> TKitUtils::GetResourceStream(const QString& AResourceName) {
  return GetResourceStream(AResourceName, GetHInstance());
}

std::unique_ptr<TResourceStream> TKitUtils::GetResourceStream(const QString& AResourceName,
                                                              NativeInt AInstance) {
  try {
    return std::make_unique<TResourceStream>(AInstance, AResourceName, QStringLiteral("RCDATA"));
  } catch (const EResNotFound&) {
    return nullptr;
  }
}

std::unique_ptr<TMemoryStream> TKitUtils::DownloadImage(const QString& AURL) {
  auto result = std::make_unique<TMemoryStream>();
  const HINTERNET session =
      InternetOpenW(u"TKitUtils", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!session) throw Exception(QStringLiteral("Unable to initialize Wininet"));
  struct TCloser {
    HINTERNET Handle;
    ~TCloser() { InternetCloseHandle(Handle); }
  } sessionCloser{session};

  DWORD timeout = DownloadImageTimeout;
  InternetSetOptionW(session, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
  InternetSetOptionW(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));

  const QString url = AURL;  // keeps the UTF-16 text alive with its NUL
  const HINTERNET request =
      InternetOpenUrlW(session, reinterpret_cast<LPCWSTR>(url.utf16()), nullptr, 0,
                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                           INTERNET_FLAG_PRAGMA_NOCACHE,
                       0);
  if (!request) throw Exception(Format(QStringLiteral("Cannot open URL %s"), {AURL}));
  TCloser requestCloser{request};

  char16_t contentType[256] = {};
  DWORD length = sizeof(contentType);
  if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_TYPE, contentType, &length, nullptr))
    return result;
  const QString type = QString::fromUtf16(contentType, length / sizeof(char16_t));
  if (!type.toUpper().contains(u"IMAGE")) return result;

  char block[1025];
  while (true) {
    DWORD read = 0;
    if (!InternetReadFile(request, block, sizeof(block), &read)) {
      result->Clear();  // a broken transfer is no picture
      break;
    }
    if (read == 0) break;
    if (result->Size() + read > DownloadImageMaxSize) {
      result->Clear();
      break;
    }
    result->WriteBuffer(block, read);
  }
  return result;
}

// ---------------------------------------------------------------------------
// Files, fonts, shell and diagnostics

TCustomForm* TKitUtils::GetOwnerForm(TComponent* AComponent) {
  for (TComponent* owner = AComponent ? AComponent->Owner() : nullptr; owner; owner = owner->Owner()) {
    if (auto* form = dynamic_cast<TCustomForm*>(owner)) return form;
  }
  return nullptr;
}

TCustomForm* TKitUtils::GetParentForm(TControl* AControl) {
  return AControl ? ::GetParentForm(AControl) : nullptr;
}

Single TKitUtils::GetDPIScale(TComponent* AOwner, int ADefaultDPI) {
  TCustomForm* form = nullptr;
  if (!AOwner) {
    form = Application ? Application->MainForm() : nullptr;
  } else if (auto* asForm = dynamic_cast<TCustomForm*>(AOwner)) {
    form = asForm;
  } else {
    if (auto* control = dynamic_cast<TControl*>(AOwner)) form = GetParentForm(control);
    // A control not placed on a form yet goes by the form that owns it.
    if (!form) form = GetOwnerForm(AOwner);
  }
  if (!form || !form->Scaled()) return 1.0f;
  const int defaultDPI = ADefaultDPI <= 0 ? 96 : ADefaultDPI;
  return Single(form->Monitor().PixelsPerInch()) / Single(defaultDPI);
}

bool TKitUtils::IsHighDPIScale(TComponent* AOwner, int ADefaultDPI) { return GetDPIScale(AOwner, ADefaultDPI) > 1.0f; }

void TKitUtils::ScaleForDPI(TControl* AControl, int ADPI) {
  if (AControl) AControl->ScaleForPPI(ADPI);
}

namespace {
// Font heights back at 96 DPI for every control inside AParent, depth first;
// forms keep theirs (their own controls are still visited).
void ResetFontHeights(TWinControl* AParent) {
  for (int i = 0; i < AParent->ControlCount(); ++i) {
    TControl* control = AParent->Controls(i);
    if (!dynamic_cast<TCustomForm*>(control)) {
      TFont* font = control->Font();
      font->SetHeight(TKitUtils::MulDivInt(font->Height(), 96, font->PixelsPerInch()));
    }
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) ResetFontHeights(windowed);
  }
}
}  // namespace

void TKitUtils::ScaleForCurrentDPI(TCustomForm* AForm) {
  if (!AForm) return;
  ResetFontHeights(AForm);
  AForm->ScaleForCurrentDpi();
  if (AForm->ClassName() == QLatin1String("TKitCustomPopupForm")) {
    const Single scale = GetDPIScale(AForm, 96);
    AForm->SetWidth(int(Round(AForm->Width() * double(scale))));
    AForm->SetHeight(int(Round(AForm->Height() * double(scale))));
  }
}

TPointF TKitUtils::GetMousePos() {
  const TPoint p = Mouse->CursorPos();
  return TPointF(float(p.X), float(p.Y));
}

void TKitUtils::SetFontSize(TFont* AFont, Single ASize) {
  AFont->SetHeight(-MulDivInt(static_cast<int>(Round(ASize / 96.0 * 72.0)), 96, 72));
}

void TKitUtils::GetFonts(TStringList* FontList) {
  FontList->Clear();
  FontList->BeginUpdate();
  QString last;
  for (const QString& family : QFontDatabase::families()) {
    if (FontList->Count() > 0 && SameText(family, last)) continue;
    FontList->Add(family);
    last = family;
  }
  FontList->EndUpdate();
  FontList->Sort();
}

QString TKitUtils::GetAppPath() {
  return IncludeTrailingPathDelimiter(QCoreApplication::applicationDirPath());
}

QString TKitUtils::GetTempPath() { return ::GetTempPath(); }

QString TKitUtils::GetDocumentsPath() {
  QString path;
  // Created when missing: a fresh account need not have one yet.
  if (FAILED(SHGetFolderPath(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr,
                             SHGFP_TYPE_CURRENT, path)))
    throw EOSError(QStringLiteral("Unspecified error"));
  return path;
}

NativeInt TKitUtils::GetHInstance() {
  // The program's own module; it stays loaded for the life of the process.
  static void* const module = dlopen(nullptr, RTLD_LAZY | RTLD_NOLOAD);
  return reinterpret_cast<NativeInt>(module);
}

QString TKitUtils::AddBackslash(const QString& AValue) {
  if (!AValue.isEmpty() && !AValue.endsWith(u'\\')) return AValue + u'\\';
  return AValue;
}

QString TKitUtils::AddForwardslash(const QString& AValue) {
  if (!AValue.isEmpty() && !AValue.endsWith(u'/')) return AValue + u'/';
  return AValue;
}

void TKitUtils::OpenFile(const QString& AFile, TObject* AControlReference) {
  ShellExecute(nullptr, QStringLiteral("open"), AFile, QString(), QString(), SW_SHOWNORMAL);
}

void TKitUtils::OpenURL(const QString& AURL) {
  ShellExecute(nullptr, QStringLiteral("open"), AURL, QString(), QString(), SW_SHOWNORMAL);
}

int TKitUtils::Message(const QString& AMessage) {
  return MessageDlg(AMessage, mtInformation, {mbOK}, 0);
}

int TKitUtils::Message(const QString& AMessage, TMsgDlgType ADialogType, TMsgDlgButtons AButtons,
                       int AHelpContext) {
  return MessageDlg(AMessage, ADialogType, AButtons, AHelpContext);
}

bool TKitUtils::SelectFile(QString& AFileName, const QString& ADefaultFolder, const QString& AFilter,
                           const TKitUtilsFileCallBackEvent& ACallBack) {
  TOpenDialog dialog(nullptr);
  dialog.SetOptions({ofFileMustExist});
  dialog.SetInitialDir(IncludeTrailingPathDelimiter(ADefaultFolder.isEmpty() ? GetDocumentsPath()
                                                                             : ADefaultFolder));
  dialog.SetFilter(AFilter);
  const bool result = dialog.Execute();
  if (result) AFileName = dialog.FileName();
  if (ACallBack) ACallBack(AFileName, result);
  return result;
}

bool TKitUtils::SaveFile(QString& AFileName, const QString& AFilter,
                         const TKitUtilsFileCallBackEvent& ACallBack) {
  TSaveDialog dialog(nullptr);
  dialog.SetOptions(dialog.Options() + TOpenOptions{ofOverwritePrompt});
  dialog.SetFilter(AFilter);
  const QString folder = ExtractFilePath(AFileName);
  dialog.SetInitialDir(folder.isEmpty() ? IncludeTrailingPathDelimiter(GetDocumentsPath()) : folder);
  dialog.SetFileName(ExtractFileName(AFileName));
  const bool result = dialog.Execute();
  if (result) {
    const QString extension = ExtractFileExt(AFileName);
    AFileName = dialog.FileName();
    if (ExtractFileExt(AFileName).isEmpty()) AFileName += extension;
  }
  if (ACallBack) ACallBack(AFileName, result);
  return result;
}

void TKitUtils::Log(const QString& AMessage) { qDebug().noquote() << AMessage; }

// ---------------------------------------------------------------------------
// Unit routines

QString FormatVersionNumber(int Maj, int Min, int Rel, int Bld) {
  const int version = MakeLong(MakeWord(Bld, Rel), MakeWord(Min, Maj));
  const int high = HiWord(version);
  const int low = LoWord(version) & 0xFFFF;
  return QStringLiteral("%1.%2.%3.%4")
      .arg((high >> 8) & 0xFF)
      .arg(high & 0xFF)
      .arg((low >> 8) & 0xFF)
      .arg(low & 0xFF);
}

// ---------------------------------------------------------------------------
// Filter expressions

namespace {

constexpr QChar kNoChar(0);

// Groups nest at most this deep; a "(" below that depth is an ordinary
// character, so evaluation never exhausts the stack.
constexpr int kMaxGroupDepth = 256;

// The run-time's Val for floats: leading blanks, sign, digits with "." as
// decimal point and an exponent, nothing after.
bool ValFloat(const QString& s, double& value) {
  if (s.isEmpty() || s.endsWith(u' ')) return false;
  TFormatSettings dot = FormatSettings;
  dot.DecimalSeparator = u'.';
  return TryStrToFloat(s, value, dot);
}

// The run-time's Val for integers: leading blanks allowed, nothing after.
bool ValInt(const QString& s, int& value) {
  if (s.isEmpty() || s.endsWith(u' ')) return false;
  return TryStrToInt(s, value);
}

// The operand of a comparison starting at index i (0-based) of Pattern. A
// quote opens a quoted part; inside quotes "&" and "|" belong to the operand,
// and so does a single blank unless BlankEnds. A quote at the start is not
// part of it, one at its end is dropped.
QString ReadOperand(const QString& pattern, qsizetype i, bool blankEnds) {
  const qsizetype n = pattern.size();
  while (i < n && pattern[i] == u' ') ++i;
  bool inQuotes = false;
  if (i < n && pattern[i] == u'"') {
    inQuotes = true;
    ++i;
  }
  QString operand;
  for (; i < n; ++i) {
    const QChar c = pattern[i];
    if (c == u'"') {
      inQuotes = !inQuotes;
    } else if (c == u' ') {
      if (!inQuotes || blankEnds) break;
      if (i + 1 < n && pattern[i + 1] == u' ') break;
    } else if ((c == u'&' || c == u'|') && !inQuotes) {
      break;
    }
    operand += c;
  }
  if (operand.endsWith(u'"')) operand.chop(1);
  return operand;
}

// Orders the value against the operand: as numbers when both are numbers, as
// dates when both are dates, else as texts by character code.
int CompareOperand(const QString& value, const QString& operand) {
  TDateTime valueDate = 0, operandDate = 0;
  const bool valueIsDate = TKitUtils::IsDate(value, valueDate);
  const bool operandIsDate = TKitUtils::IsDate(operand, operandDate);
  double valueNumber = 0, operandNumber = 0;
  const bool valueIsNumber =
      !valueIsDate && ValFloat(TKitUtils::StripThousandSep(value), valueNumber);
  const bool operandIsNumber =
      !operandIsDate && ValFloat(TKitUtils::StripThousandSep(operand), operandNumber);
  if (valueIsNumber && operandIsNumber)
    return valueNumber < operandNumber ? -1 : valueNumber > operandNumber ? 1 : 0;
  if (valueIsDate && operandIsDate)
    return valueDate < operandDate ? -1 : valueDate > operandDate ? 1 : 0;
  return CompareStr(value, operand);
}

// The wildcard walk of Pattern over Value. A "*" matches any run of value
// characters, the empty one included: the rest of the pattern must then
// match some suffix of the value from the current position on. The answers
// for each star are worked out once per suffix, from the last star to the
// first, so the cost is bounded by the product of the two lengths however
// many stars there are.
class TKitWildcard {
 public:
  TKitWildcard(const QString& pattern, const QString& value)
      : P(reinterpret_cast<const char16_t*>(pattern.constData())),
        V(reinterpret_cast<const char16_t*>(value.constData())),
        M(pattern.size()),
        N(value.size()) {}

  bool Match() {
    // The positions right after each run of stars.
    std::vector<qsizetype> groups;
    for (qsizetype p = 0; p < M;) {
      if (P[p] != u'*') {
        ++p;
        continue;
      }
      while (p < M && P[p] == u'*') ++p;
      groups.push_back(p);
    }
    // Tail[v]: the rest after the next star matches some suffix from v on.
    // Worked out for the last star first; each star's walk stops at the
    // following star, whose table is then at hand.
    std::vector<char> next;
    for (auto it = groups.rbegin(); it != groups.rend(); ++it) {
      std::vector<char> current(N + 2, 0);
      for (qsizetype v = N; v >= 0; --v)
        current[v] = current[v + 1] || Walk(*it, v, next);
      next.swap(current);
    }
    return Walk(0, 0, next);
  }

 private:
  // Walks from pattern position p and value position v; Tail answers for the
  // first star met.
  bool Walk(qsizetype p, qsizetype v, const std::vector<char>& tail) const {
    bool negate = false;
    bool match = true;
    while (match && !(p >= M && v >= N)) {
      if (p >= M) {
        match = false;  // value left over
        break;
      }
      const char16_t c = P[p];
      if (c == u'!') {
        negate = true;
        ++p;
      } else if (c == u'"') {
        ++p;
      } else if (c == u'?') {
        match = v < N;
        if (match) ++p, ++v;
      } else if (c == u'*') {
        match = tail[v] != 0;
        break;
      } else {
        match = v < N && c == V[v];
        if (match) ++p, ++v;
      }
    }
    return match != negate;
  }

  const char16_t* P;
  const char16_t* V;
  qsizetype M;
  qsizetype N;
};

// The first character of the operator set outside quotes, where a "(" only
// counts when a ")" closes it (and groups are allowed at all); NUL and -1
// when there is none.
QChar FindOperator(const QString& condition, bool allowGroups, int& spos) {
  static const QString kOperators = QStringLiteral("(;^&|");
  const qsizetype n = condition.size();
  std::vector<char> closed(n, 0);
  if (allowGroups) {
    std::vector<qsizetype> open;
    for (qsizetype i = 0; i < n; ++i) {
      if (condition[i] == u'(') {
        open.push_back(i);
      } else if (condition[i] == u')' && !open.empty()) {
        closed[open.back()] = 1;
        open.pop_back();
      }
    }
  }
  int quotes = 0;
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = condition[i];
    if (c == u'"') ++quotes;
    if (quotes % 2 != 0 || !kOperators.contains(c)) continue;
    if (c == u'(' && !closed[i]) continue;
    spos = static_cast<int>(i + 1);
    return c;
  }
  spos = -1;
  return kNoChar;
}

bool MatchCondition(const QString& condition, const QString& value, bool caseSensitive,
                    int depth) {
  QString rest = TKitUtils::StripLogicSpaces(Trim(condition));
  if (rest.startsWith(u'=')) rest.remove(0, 1);
  if (rest.isEmpty()) return value.isEmpty();
  if (rest == u"*" && value.isEmpty()) return false;

  bool result = true;
  QChar pending = kNoChar;
  auto combine = [&](bool answer) {
    if (pending == kNoChar) result = answer;
    else if (pending == u'&') result = result && answer;
    else if (pending != u'(') result = result || answer;
  };
  const bool allowGroups = depth < kMaxGroupDepth;
  int spos = -1;
  while (true) {
    const QChar found = FindOperator(rest, allowGroups, spos);
    if (found == kNoChar) break;
    if (rest.startsWith(u'(') && found == u'(' && spos == 1) {
      const int close = TKitUtils::ClosingParenthesis(rest);
      const bool answer = MatchCondition(rest.mid(1, close - 2), value, caseSensitive, depth + 1);
      rest.remove(0, close);
      combine(answer);
      pending = u'(';
    } else {
      combine(TKitUtils::MatchStr(rest.left(spos - 1), value, caseSensitive));
      rest.remove(0, spos);
      pending = found;
    }
  }
  combine(TKitUtils::MatchStr(rest, value, caseSensitive));
  return result;
}

}  // namespace

bool TKitUtils::MatchStrEx(const QString& AValue1, const QString& AValue2, bool ACaseSensitive) {
  return MatchCondition(AValue1, AValue2, ACaseSensitive, 0);
}

bool TKitUtils::MatchStr(const QString& AValue1, const QString& AValue2, bool ACaseSensitive) {
  if (ACaseSensitive) return Matches(AValue1, AValue2);
  return Matches(AnsiUpperCase(AValue1), AnsiUpperCase(AValue2));
}

bool TKitUtils::Matches(const char16_t* s0a, const char16_t* s1a) {
  return Matches(s0a ? QString::fromUtf16(s0a) : QString(), s1a ? QString::fromUtf16(s1a) : QString());
}

bool TKitUtils::Matches(const QString& s0a, const QString& s1a) {
  bool greaterResult = true;
  bool lessResult = true;
  bool hasGreater = false;
  bool hasLess = false;
  const bool hasGreaterSign = s0a.contains(u'>');
  const bool hasLessSign = s0a.contains(u'<');

  auto comparison = [&](QChar sign, bool blankEnds) {
    qsizetype at = s0a.indexOf(sign) + 1;
    const bool orEqual = at < s0a.size() && s0a[at] == u'=';
    if (orEqual) ++at;
    const int order = CompareOperand(s1a, ReadOperand(s0a, at, blankEnds));
    return std::pair<bool, int>(orEqual, order);
  };
  if (hasGreaterSign) {
    const auto [orEqual, order] = comparison(u'>', false);
    greaterResult = orEqual ? order >= 0 : order > 0;
    hasGreater = true;
  }
  if (hasLessSign) {
    const auto [orEqual, order] = comparison(u'<', true);
    lessResult = orEqual ? order <= 0 : order < 0;
    hasLess = true;
  }
  if (s0a.contains(u'!')) {
    if (!hasGreaterSign) hasGreater = true;
    if (!hasLessSign) hasLess = true;
  }
  if (s0a.contains(u'^') && (hasGreater || hasLess)) return lessResult || greaterResult;
  if (s0a.contains(u'&') && hasGreater && hasLess) return lessResult && greaterResult;
  if ((hasGreaterSign && greaterResult) || (hasLessSign && lessResult)) return true;

  if (s0a.isEmpty() || s1a.isEmpty()) return true;
  return TKitWildcard(s0a, s1a).Match();
}

QChar TKitUtils::FirstChar(const TKitUtilsCharSet& ACharset, const QString& AValue, int& spos) {
  int quotes = 0;
  for (qsizetype i = 0; i < AValue.size(); ++i) {
    const QChar c = AValue[i];
    if (c == u'"') ++quotes;
    if (quotes % 2 == 0 && ACharset.contains(c)) {
      spos = static_cast<int>(i + 1);
      return c;
    }
  }
  spos = -1;
  return kNoChar;
}

QString TKitUtils::StripLogicSpaces(const QString& AValue) {
  QString result;
  result.reserve(AValue.size());
  int quotes = 0;
  for (const QChar c : AValue) {
    if (c == u'"') ++quotes;
    if (c == u' ' && quotes % 2 == 0) continue;
    result += c;
  }
  return result;
}

int TKitUtils::ClosingParenthesis(const QString& s1) {
  int opened = 0;
  int closed = 0;
  for (qsizetype i = 0; i < s1.size(); ++i) {
    if (s1[i] == u'(') ++opened;
    if (s1[i] == u')') {
      ++closed;
      if (opened == closed) return static_cast<int>(i + 1);
    }
  }
  return 0;
}

QString TKitUtils::StripThousandSep(const QString& ps) {
  const QChar separator = FormatSettings.ThousandSeparator;
  if (separator.isNull()) return ps;
  QString result = ps;
  result.remove(separator);
  return result;
}

bool TKitUtils::IsDate(const QString& AValue, TDateTime& ADate) {
  // The order of day, month and year in the short date format.
  const QString format = FormatSettings.ShortDateFormat.toUpper();
  struct TPart {
    QChar Letter;
    qsizetype At;
  } parts[3] = {{u'D', format.indexOf(u'D')}, {u'M', format.indexOf(u'M')}, {u'Y', format.indexOf(u'Y')}};
  std::stable_sort(std::begin(parts), std::end(parts),
                   [](const TPart& a, const TPart& b) { return a.At < b.At; });

  const QChar separator = FormatSettings.DateSeparator;
  const qsizetype first = AValue.indexOf(separator);
  if (first < 0) return false;
  const qsizetype second = AValue.indexOf(separator, first + 1);
  if (second < 0) return false;
  QString texts[3] = {AValue.left(first), AValue.mid(first + 1, second - first - 1),
                      Trim(AValue.mid(second + 1))};
  QString timePart;
  const qsizetype blank = texts[2].indexOf(u' ');
  if (blank >= 0) {
    timePart = texts[2].mid(blank);
    texts[2] = texts[2].left(blank);
  }
  int day = 0, month = 0, year = 0;
  for (int i = 0; i < 3; ++i) {
    int number = 0;
    if (!ValInt(texts[i], number)) return false;
    if (parts[i].Letter == u'D') day = number;
    else if (parts[i].Letter == u'M') month = number;
    else year = number;
  }
  if (day > 31 || month > 12) return false;
  TDateTime date = 0;
  if (!TryEncodeDate(year, month, day, date)) return false;
  if (blank < 0) {
    ADate = date;
    return true;
  }

  const QChar timeSeparator = FormatSettings.TimeSeparator;
  const qsizetype t1 = timePart.indexOf(timeSeparator);
  if (t1 < 0) {
    ADate = date;
    return false;
  }
  int hour = 0, minute = 0, second_ = 0;
  if (!ValInt(timePart.left(t1), hour) || hour > 23) return false;
  const qsizetype t2 = timePart.indexOf(timeSeparator, t1 + 1);
  if (t2 >= 0) {
    if (!ValInt(timePart.mid(t1 + 1, t2 - t1 - 1), minute)) return false;
    if (!ValInt(timePart.mid(t2 + 1), second_) || second_ > 60) return false;
  } else if (!ValInt(timePart.mid(t1 + 1), minute)) {
    return false;
  }
  if (minute > 59) return false;
  TDateTime time = 0;
  if (!TryEncodeTime(hour, minute, second_, 0, time)) return false;
  ADate = date + time;
  return true;
}

// ---------------------------------------------------------------------------
// Pictures as bytes

namespace {
// The picture's graphic saved in its own format; empty for no or an empty
// graphic.
bool SaveGraphic(TPicture* ABitmap, TMemoryStream& AStream) {
  if (IsBitmapEmpty(ABitmap)) return false;
  ABitmap->Graphic()->SaveToStream(&AStream);
  return true;
}

// A graphic of the class the bytes name, loaded from them, assigned to the
// picture; nothing for an unknown type.
void LoadGraphicFromBytes(const TBytes& ABytes, TPicture* ABitmap) {
  TGraphicClass graphicClass;
  if (!TKitUtils::FindGraphicClass(ABytes.constData(), ABytes.size(), graphicClass)) return;
  std::unique_ptr<TGraphic> graphic = graphicClass.Create();
  TMemoryStream stream;
  if (!ABytes.isEmpty()) stream.WriteBuffer(ABytes.constData(), ABytes.size());
  stream.SetPosition(0);
  graphic->LoadFromStream(&stream);
  ABitmap->SetGraphic(graphic.get());
}
}  // namespace

QString TKitUtils::GetImageType(TKitBitmap* ABitmap, bool /*AResetPosition*/) {
  TMemoryStream stream;
  if (ABitmap != nullptr && ABitmap->Graphic() != nullptr) ABitmap->SaveToStream(&stream);
  return GetImageType(&stream, true);
}

bool TKitUtils::FindGraphicClass(const void* Buffer, Int64 BufferSize, TGraphicClass& GraphicClass) {
  GraphicClass = TGraphicClass();
  if (Buffer == nullptr || BufferSize <= 0) return false;
  const auto* b = static_cast<const uint8_t*>(Buffer);
  auto has = [&](Int64 offset, std::initializer_list<uint8_t> bytes) {
    if (offset + static_cast<Int64>(bytes.size()) > BufferSize) return false;
    Int64 i = offset;
    for (uint8_t v : bytes)
      if (b[i++] != v) return false;
    return true;
  };
  // TIFF and metafiles decode through GDI+: make sure the decoder is there.
  InstallGdiplusImageDecoder();
  if (has(0, {'I', 'I', 42, 0})) {
    GraphicClass = TGraphicClass::Of<TWICImage>();
  } else if (has(0, {'B', 'M'})) {
    GraphicClass = TGraphicClass::Of<TBitmap>();
  } else if (has(0, {'M', 'M', 0x00, 0x2A})) {
    GraphicClass = TGraphicClass::Of<TWICImage>();
  } else if (has(0, {0xFF, 0xD8})) {
    GraphicClass = TGraphicClass::Of<TJPEGImage>();
  } else if (has(0, {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A})) {
    GraphicClass = TGraphicClass::Of<TPngImage>();
  } else if (has(0, {0xD7, 0xCD, 0xC6, 0x9A}) || (has(0, {1, 0, 0, 0}) && has(40, {' ', 'E', 'M', 'F'}))) {
    GraphicClass = TGraphicClass::Of<TMetafile>();
  } else if (has(0, {'G', 'I', 'F'})) {
    GraphicClass = TGraphicClass::Of<TGIFImage>();
  } else if (has(2, {1, 0})) {
    GraphicClass = TGraphicClass::Of<TIcon>();
  }
  return static_cast<bool>(GraphicClass);
}

QString TKitUtils::SaveBitmapToHexStr(TPicture* ABitmap) {
  TMemoryStream stream;
  if (!SaveGraphic(ABitmap, stream)) return QString();
  return SaveStreamToHexStr(&stream);
}

void TKitUtils::LoadBitmapFromHexStr(const QString& AHexStr, TPicture* ABitmap) {
  if (ABitmap == nullptr) return;
  const TBytes bytes = HexStrToBytes(AHexStr);
  if (bytes.contains(";base64,")) return;
  LoadGraphicFromBytes(bytes, ABitmap);
}

std::unique_ptr<TKitBitmap> TKitUtils::CreateBitmapFromHexStr(const QString& AHexStr) {
  auto result = std::make_unique<TKitBitmap>();
  LoadBitmapFromHexStr(AHexStr, result.get());
  return result;
}

QString TKitUtils::SaveBitmapToBase64(TPicture* ABitmap, bool AURL) {
  TMemoryStream stream;
  if (!SaveGraphic(ABitmap, stream)) return QString();
  return SaveStreamToBase64(&stream, AURL);
}

void TKitUtils::LoadBitmapFromBase64(const QString& ABase64, TPicture* ABitmap, bool AURL) {
  if (ABitmap == nullptr) return;
  QString text = ABase64;
  const QString marker = QStringLiteral(";base64,");
  const int at = text.indexOf(marker);
  if (at >= 0) text = text.mid(at + marker.size());
  TMemoryStream stream;
  LoadStreamFromBase64(text, &stream, AURL);
  stream.SetPosition(0);
  ABitmap->LoadFromStream(&stream);
}

std::unique_ptr<TKitBitmap> TKitUtils::CreateBitmapFromBase64(const QString& ABase64, bool AURL) {
  auto result = std::make_unique<TKitBitmap>();
  LoadBitmapFromBase64(ABase64, result.get(), AURL);
  return result;
}

std::unique_ptr<TMemoryStream> TKitUtils::ConvertBitmapToJPEGStream(TPicture* ABitmap, float AQuality,
                                                                    TColor ABackgroundColor) {
  TMemoryStream saved;
  if (!SaveGraphic(ABitmap, saved)) return nullptr;
  TGraphicClass graphicClass;
  if (!FindGraphicClass(saved.Memory(), saved.Size(), graphicClass)) return nullptr;
  auto result = std::make_unique<TMemoryStream>();
  if (graphicClass == TGraphicClass::Of<TJPEGImage>()) {
    saved.SetPosition(0);
    result->CopyFrom(&saved, saved.Size());
    result->SetPosition(0);
    return result;
  }
  std::unique_ptr<TGraphic> graphic = graphicClass.Create();
  saved.SetPosition(0);
  graphic->LoadFromStream(&saved);
  if (graphic->Width() <= 0 || graphic->Height() <= 0) return nullptr;
  TBitmap canvasBitmap;
  canvasBitmap.SetSize(graphic->Width(), graphic->Height());
  const bool noColor = ABackgroundColor == static_cast<TColor>(0x1FFFFFFF) || ABackgroundColor == -1;
  canvasBitmap.Canvas()->Brush()->SetColor(noColor ? static_cast<TColor>(0xFFFFFF) : ABackgroundColor);
  canvasBitmap.Canvas()->FillRect(TRect{0, 0, graphic->Width(), graphic->Height()});
  canvasBitmap.Canvas()->Draw(0, 0, graphic.get());
  TJPEGImage jpeg;
  const double quality = std::isfinite(AQuality) ? std::clamp(static_cast<double>(AQuality) * 100.0, 1.0, 100.0) : 100.0;
  jpeg.SetCompressionQuality(static_cast<int>(Round(quality)));
  jpeg.Assign(&canvasBitmap);
  jpeg.SaveToStream(result.get());
  result->SetPosition(0);
  return result;
}

std::unique_ptr<TComponent> TKitUtils::Clone(TComponent* AComponent) {
  if (AComponent == nullptr) return nullptr;
  TMemoryStream stream;
  const QString name = AComponent->Name();
  AComponent->SetName(QString());
  try {
    stream.WriteComponent(AComponent);
  } catch (...) {
    AComponent->SetName(name);
    throw;
  }
  AComponent->SetName(name);
  stream.SetPosition(0);
  return stream.ReadComponent();
}
