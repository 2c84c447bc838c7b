#pragma once
// Exceptions, formatting, conversions, string, date/time and file helpers
// with the framework's semantics.

#include <QString>
#include <exception>
#include <functional>

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
TF_DECLARE_EXCEPTION(EInvalidCast, Exception)

// The one route of exceptions that nothing up the stack can take: guarded
// input and message handling (CallGuarded), timers, calls queued to the main
// thread and run by the event loop (TThread::Queue, Synchronize), the browser
// engine's callbacks. The application object installs its HandleException
// here when it is created, so every program and test that has an Application
// reports them through it; unset, the message goes to the Qt warning log, as
// it does when the handler itself raises. Returns the handler it replaces.
using TExceptionHandler = std::function<void(std::exception_ptr Error)>;
TExceptionHandler SetApplicationHandleException(TExceptionHandler Handler);
// Hands Error to that handler; never raises.
void ApplicationHandleException(std::exception_ptr Error) noexcept;

// ---------------------------------------------------------------------------
// Everything below this line is the SysUtils routine set (Format, conversions,
// dates, strings, files).

#include <QChar>
#include <QDateTime>
#include <concepts>
#include <cstddef>
#include <type_traits>

// Raised by Round and Trunc for values that have no Int64 result (NaN,
// infinities, out of range).
TF_DECLARE_EXCEPTION(EMathError, Exception)
TF_DECLARE_EXCEPTION(EInvalidOp, EMathError)
// Raised by an operation that a class declares but leaves to its descendants.
TF_DECLARE_EXCEPTION(EAbstractError, Exception)

// ---------------------------------------------------------------------------
// Locale settings. Every routine that reads them has an overload taking an
// explicit copy; the others read the global FormatSettings.

struct TFormatSettings {
  QChar DecimalSeparator = u'.';
  QChar ThousandSeparator = u',';  // a null QChar means no grouping
  QString CurrencyString;
  Byte CurrencyFormat = 0;   // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
  Byte NegCurrFormat = 0;    // 0 "($1)" ... 15 "(1 $)"
  Byte CurrencyDecimals = 2;
  QChar DateSeparator = u'/';
  QChar TimeSeparator = u':';
  QString ShortDateFormat;
  QString LongDateFormat;
  QString ShortTimeFormat;
  QString LongTimeFormat;
  QString TimeAMString;
  QString TimePMString;
  QString ShortMonthNames[12];  // [0] = January
  QString LongMonthNames[12];
  QString ShortDayNames[7];     // [0] = Sunday
  QString LongDayNames[7];
  Word TwoDigitYearCenturyWindow = 50;
  QChar ListSeparator = u',';

  // Settings of the system locale (QLocale::system()).
  static TFormatSettings Create();
  // Settings of a named locale such as "en-US", "fr-FR" or "de-DE". An
  // empty name means the system locale; an unknown name gives Invariant().
  static TFormatSettings Create(const QString& localeName);
  // Culture-independent settings: "." decimals, "MM/dd/yyyy", English names.
  static TFormatSettings Invariant();
};

// The process-wide settings, initialised from the system locale.
extern TFormatSettings FormatSettings;

// Traits of the system locale. MiddleEast: it reads right to left (Arabic,
// Hebrew, Persian ...). Initialised from QLocale::system(); tests may set it.
struct TSysLocale {
  bool FarEast = false;
  bool MiddleEast = false;
  static TSysLocale Create();
};
extern TSysLocale SysLocale;

// ---------------------------------------------------------------------------
// Format

// One argument of Format: an integer, float, boolean, character, string or
// pointer, implicitly built from the C++ value.
class TVarRec {
 public:
  enum TVarType { vtInteger, vtInt64, vtUInt64, vtExtended, vtBoolean, vtChar, vtString, vtPointer };

  TVarRec(int v) : FType(vtInteger) { FInt = v; }
  TVarRec(unsigned v) : FType(vtInt64) { FInt = v; }
  TVarRec(long v) : FType(vtInt64) { FInt = v; }
  TVarRec(long long v) : FType(vtInt64) { FInt = v; }
  TVarRec(unsigned long v) : FType(vtUInt64) { FUInt = v; }
  TVarRec(unsigned long long v) : FType(vtUInt64) { FUInt = v; }
  TVarRec(double v) : FType(vtExtended) { FFloat = v; }
  TVarRec(bool v) : FType(vtBoolean) { FBool = v; }
  TVarRec(char v) : FType(vtChar) { FChar = QChar::fromLatin1(v).unicode(); }
  TVarRec(char16_t v) : FType(vtChar) { FChar = v; }
  TVarRec(QChar v) : FType(vtChar) { FChar = v.unicode(); }
  TVarRec(const char* v) : FType(vtString), FString(QString::fromUtf8(v)) {}
  TVarRec(const char16_t* v) : FType(vtString), FString(v ? QString::fromUtf16(v) : QString()) {}
  TVarRec(const QString& v) : FType(vtString), FString(v) {}
  TVarRec(const void* v) : FType(vtPointer) { FPointer = v; }
  TVarRec(std::nullptr_t) : FType(vtPointer) { FPointer = nullptr; }

  TVarType VType() const { return FType; }
  int64_t AsInt64() const { return FInt; }     // vtInteger, vtInt64
  uint64_t AsUInt64() const { return FUInt; }  // vtUInt64
  double AsExtended() const { return FFloat; }
  bool AsBoolean() const { return FBool; }
  QChar AsChar() const { return QChar(FChar); }
  const QString& AsString() const { return FString; }
  const void* AsPointer() const { return FPointer; }

 private:
  TVarType FType;
  union {
    int64_t FInt;
    uint64_t FUInt;
    double FFloat;
    bool FBool;
    char16_t FChar;
    const void* FPointer;
  };
  QString FString;
};

// Formats Args by the specifiers of Fmt: %[index:][-][width][.prec]type with
// type one of d u e f g n m p s x (any case), "*" taking a width, precision or
// index from the arguments, and %% for a percent sign. A missing argument
// raises EConvertError(SArgumentMissing), an argument of the wrong type or a
// malformed specifier EConvertError(SInvalidFormat).
QString Format(const QString& fmt, std::initializer_list<TVarRec> args);
QString Format(const QString& fmt, std::initializer_list<TVarRec> args,
               const TFormatSettings& settings);

// ---------------------------------------------------------------------------
// Floating-point text. Values are rounded half away from zero on their
// shortest decimal form (2.675 shows as "2.68" with two decimals).

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

QString FloatToStrF(Extended value, TFloatFormat format, int precision, int digits);
QString FloatToStrF(Extended value, TFloatFormat format, int precision, int digits,
                    const TFormatSettings& settings);
QString FloatToStr(Extended value);
QString FloatToStr(Extended value, const TFormatSettings& settings);
// Picture formats: sections "positive;negative;zero", placeholders 0 and #,
// "." decimal point, "," grouping, E+ E- e+ e- scientific, quoted literals.
QString FormatFloat(const QString& fmt, Extended value);
QString FormatFloat(const QString& fmt, Extended value, const TFormatSettings& settings);

// ---------------------------------------------------------------------------
// Integer and number conversions

template <class T>
concept TIntegerValue = std::integral<T> && !std::same_as<T, bool>;

QString IntToStr(Int64 value);
QString IntToStr(UInt64 value);
template <TIntegerValue T>
QString IntToStr(T value) {
  if constexpr (std::is_signed_v<T>) return IntToStr(static_cast<Int64>(value));
  else return IntToStr(static_cast<UInt64>(value));
}

// Upper-case hexadecimal of at least Digits digits; a negative value shows
// its two's complement at the width of its type (IntToHex(-1, 2) = "FFFFFFFF").
QString IntToHex(UInt64 value, int digits);
template <TIntegerValue T>
QString IntToHex(T value, int digits) {
  return IntToHex(static_cast<UInt64>(static_cast<std::make_unsigned_t<T>>(value)), digits);
}

// Decimal with optional leading blanks and sign, or hexadecimal with a "$",
// "0x" or "0X" prefix (hexadecimal may use the whole unsigned width:
// "$FFFFFFFF" is -1). Anything else raises EConvertError(SInvalidInteger).
int StrToInt(const QString& s);
Int64 StrToInt64(const QString& s);
int StrToIntDef(const QString& s, int defaultValue);
bool TryStrToInt(const QString& s, int& value);
bool TryStrToInt64(const QString& s, Int64& value);

// Sign, digits, the settings' decimal separator and an exponent, with blanks
// allowed around; no grouping. Errors raise EConvertError(SInvalidFloat).
Extended StrToFloat(const QString& s);
Extended StrToFloat(const QString& s, const TFormatSettings& settings);
Extended StrToFloatDef(const QString& s, Extended defaultValue);
Extended StrToFloatDef(const QString& s, Extended defaultValue, const TFormatSettings& settings);
bool TryStrToFloat(const QString& s, Extended& value);
bool TryStrToFloat(const QString& s, Extended& value, const TFormatSettings& settings);

// "True"/"False" with UseBoolStrs, otherwise "-1"/"0".
QString BoolToStr(bool value, bool useBoolStrs = false);
// "True"/"False" in any case, or a number (0 is false).
bool StrToBool(const QString& s);
bool TryStrToBool(const QString& s, bool& value);

// Rounds half to even; raises EInvalidOp when the value has no Int64 result.
Int64 Round(Extended value);
Int64 Trunc(Extended value);
Extended Int(Extended value);
Extended Frac(Extended value);

// ---------------------------------------------------------------------------
// Date and time. TDateTime counts days since 1899-12-30; the fraction is the
// time of day whatever the sign (-1.25 is 1899-12-29 06:00).

inline constexpr TDateTime MinDateTime = -693593.0;         // 0001-01-01
inline constexpr TDateTime MaxDateTime = 2958465.99999999;  // 9999-12-31 23:59:59.999

bool IsLeapYear(int year);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
// Raise EConvertError(SDateEncodeError / STimeEncodeError) on invalid parts.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec);
// Values outside MinDateTime..MaxDateTime decode to zeros.
void DecodeDate(TDateTime date, Word& year, Word& month, Word& day);
void DecodeTime(TDateTime time, Word& hour, Word& min, Word& sec, Word& msec);
TDateTime Now();
TDateTime Date();
TDateTime Time();
int DayOfWeek(TDateTime date);  // 1 = Sunday ... 7 = Saturday
// Adds months, keeping the time and clamping the day to the month's length.
TDateTime IncMonth(TDateTime date, int numberOfMonths = 1);
// Bridges to Qt; both work in local time. An invalid QDateTime gives 0.
QDateTime DateTimeToQDateTime(TDateTime value);
TDateTime QDateTimeToDateTime(const QDateTime& value);

// Tokens: c d dd ddd dddd ddddd dddddd m mm mmm mmmm (minutes after h/hh)
// yy yyyy h hh n nn s ss z zzz t tt am/pm a/p ampm / : and '..' ".." text.
QString FormatDateTime(const QString& fmt, TDateTime value);
QString FormatDateTime(const QString& fmt, TDateTime value, const TFormatSettings& settings);
QString DateToStr(TDateTime value);
QString DateToStr(TDateTime value, const TFormatSettings& settings);
QString TimeToStr(TDateTime value);
QString TimeToStr(TDateTime value, const TFormatSettings& settings);
QString DateTimeToStr(TDateTime value);
QString DateTimeToStr(TDateTime value, const TFormatSettings& settings);

// Dates read numbers in the order of ShortDateFormat, separated by
// DateSeparator (the year may be left out); two-digit years fall in the
// TwoDigitYearCenturyWindow. Times read h[:n[:s[<DecimalSeparator>fraction]]]
// with an optional AM/PM marker. Errors raise EConvertError.
TDateTime StrToDate(const QString& s);
TDateTime StrToDate(const QString& s, const TFormatSettings& settings);
bool TryStrToDate(const QString& s, TDateTime& value);
bool TryStrToDate(const QString& s, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToTime(const QString& s);
TDateTime StrToTime(const QString& s, const TFormatSettings& settings);
bool TryStrToTime(const QString& s, TDateTime& value);
bool TryStrToTime(const QString& s, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToDateTime(const QString& s);
TDateTime StrToDateTime(const QString& s, const TFormatSettings& settings);
bool TryStrToDateTime(const QString& s, TDateTime& value);
bool TryStrToDateTime(const QString& s, TDateTime& value, const TFormatSettings& settings);

// ---------------------------------------------------------------------------
// Strings. Positions are 1-based.

enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag>;

// Position of Sub in S at or after Offset; 0 when absent or Sub is empty.
int Pos(const QString& sub, const QString& s, int offset = 1);
// Index below 1 counts as 1; the count is clamped to the end of S.
QString Copy(const QString& s, int index, int count);
void Delete(QString& s, int index, int count);
void Insert(const QString& sub, QString& s, int index);
QString StringReplace(const QString& s, const QString& oldPattern, const QString& newPattern,
                      TReplaceFlags flags);
// Remove characters up to and including the space (controls and blanks).
QString Trim(const QString& s);
QString TrimLeft(const QString& s);
QString TrimRight(const QString& s);
// ASCII letters only.
QString UpperCase(const QString& s);
QString LowerCase(const QString& s);
// Every Unicode letter.
QString AnsiUpperCase(const QString& s);
QString AnsiLowerCase(const QString& s);
// Ordinal comparisons: < 0, 0 or > 0. CompareText ignores ASCII case.
int CompareStr(const QString& s1, const QString& s2);
int CompareText(const QString& s1, const QString& s2);
bool SameStr(const QString& s1, const QString& s2);
bool SameText(const QString& s1, const QString& s2);
// Linguistic comparisons in the current locale (QLocale()).
int AnsiCompareStr(const QString& s1, const QString& s2);
int AnsiCompareText(const QString& s1, const QString& s2);
bool AnsiSameStr(const QString& s1, const QString& s2);
bool AnsiSameText(const QString& s1, const QString& s2);
QString QuotedStr(const QString& s);
QString AnsiQuotedStr(const QString& s, QChar quote);
// Reads the quoted text at the start of Src (pairs of quotes become one),
// leaving the text after the closing quote in Src. Returns an empty string
// and leaves Src alone when it does not start with Quote.
QString AnsiExtractQuotedStr(QString& src, QChar quote);
// The unquoted text when S starts with Quote, S itself otherwise.
QString AnsiDequotedStr(const QString& s, QChar quote);
QString StringOfChar(QChar ch, int count);
QString DupeString(const QString& s, int count);
bool IsValidIdent(const QString& ident, bool allowDots = false);
// Position of the last character of S that is one of Delimiters; 0 if none.
int LastDelimiter(const QString& delimiters, const QString& s);
bool ContainsStr(const QString& text, const QString& subText);
bool StartsStr(const QString& subText, const QString& text);
bool EndsStr(const QString& subText, const QString& text);
bool ContainsText(const QString& text, const QString& subText);
bool StartsText(const QString& subText, const QString& text);
bool EndsText(const QString& subText, const QString& text);
// File names are case-sensitive on this platform.
bool SameFileName(const QString& s1, const QString& s2);

// ---------------------------------------------------------------------------
// Files, paths and time

inline constexpr QChar PathDelim{u'/'};

bool FileExists(const QString& fileName);
bool DirectoryExists(const QString& directory);
bool ForceDirectories(const QString& dir);
bool CreateDir(const QString& dir);
bool RemoveDir(const QString& dir);
bool DeleteFile(const QString& fileName);
// Fails when NewName exists already.
bool RenameFile(const QString& oldName, const QString& newName);
QString ExtractFilePath(const QString& fileName);  // with the trailing "/"
QString ExtractFileDir(const QString& fileName);   // without it
QString ExtractFileName(const QString& fileName);
QString ExtractFileExt(const QString& fileName);   // with the dot
QString ChangeFileExt(const QString& fileName, const QString& extension);
QString IncludeTrailingPathDelimiter(const QString& s);
QString ExcludeTrailingPathDelimiter(const QString& s);
// Absolute name with "." and ".." resolved (symbolic links are kept).
QString ExpandFileName(const QString& fileName);
QString GetCurrentDir();
// Last modification time in local time; false when FileName is no file.
bool FileAge(const QString& fileName, TDateTime& fileDateTime);
// The folder for temporary files, with a trailing "/".
QString GetTempDirectory();
// Milliseconds of a monotonic clock from an arbitrary start; the 32-bit form
// wraps after 49.7 days.
Cardinal GetTickCount();
UInt64 GetTickCount64();
// Where GetTickCount and GetTickCount64 read the time: the window layer's
// scheduler installs its clock here, so a test's manual clock reaches every
// caller. Null restores the monotonic system clock.
using TTickCountSource = UInt64 (*)();
void SetTickCountSource(TTickCountSource Source);
void Sleep(Cardinal milliseconds);
