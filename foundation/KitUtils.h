#pragma once
// TKitUtils: the library's static helper class. Picture-type detection from
// the first bytes of a stream, string search and split helpers, character
// sets, JSON and markup escaping, Base64 and hexadecimal text for streams,
// number and byte-size texts, paths, shell open, resource streams, image
// download, the text scrambler and the filter-expression matcher.
//
// Every operation is a static member; the class is not meant to be
// instantiated, but like every library class it carries the JSON operations
// (on an object of it they write and read its type member alone).
// Positions are 1-based, as everywhere in the library.

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "foundation/KitTypes.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/System.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/UITypes.h"

class TComponent;
class TGraphicClass;
using TColor = int32_t;
class TKitBitmap;
class TPicture;
class TControl;
class TCustomForm;
class TFont;
class TStrings;
class TStringList;

// A character set: characters in order, duplicates allowed.
using TKitUtilsCharSet = QList<QChar>;

// Called by the file dialogs after they close, with the file name and
// whether the user confirmed.
using TKitUtilsFileCallBackEvent = std::function<void(const QString& AFileName, bool AResult)>;

// The library's clipboard formats, registered when a GUI program starts (0
// in a program without a QGuiApplication): the rich editor's text, the
// library's stream format, the picture format (the system bitmap format, 2),
// rich text and HTML.
extern Word KitCFRichEditorText;
extern Word KitCFStream;
extern Word KitCFPicture;
extern Word KitCFRTF;
extern Word KitCFHTML;

class TKitUtils : public TObject {
 public:
  TF_KIT_JSON_OPERATIONS

  // --- Text and search -----------------------------------------------------

  // Position of su in s ignoring ASCII case; 0 when absent.
  static int IPos(const QString& su, const QString& s);
  // Replaces the first occurrence of Srch in Dest (found with IPos) by Repl;
  // false, Dest unchanged, when there is none.
  static bool TagReplaceString(const QString& Srch, const QString& Repl, QString& Dest);
  // Pos of ASubValue in AValue, stored in AResult and answered.
  static int VarPos(const QString& ASubValue, const QString& AValue, int& AResult);
  // The same with both texts upper-cased (ASCII rule).
  static int VarPosNoCase(const QString& ASubValue, const QString& AValue, int& AResult);
  // The character at Index, or NUL outside 1..Length.
  static QChar CharInStr(const QString& s, int Index);
  // 0-based index of the first entry equal to AText ignoring ASCII case; a
  // text holding an accent word ("cute", "grave", "uml", "circ", "tilde",
  // "ring", "cedil") must also match in exact case. -1 when none matches.
  static int IndexOfTextInArray(const QString& AText, const QStringList& AValues);
  // 0-based index of Markup among the 86 entity texts of the markup table.
  static int GetMarkupIndex(const QString& Markup);
  // The character text of markup row Value (1-based). Raises EListError
  // "List index out of bounds (<Value>)" outside 1..86.
  static QString GetSpecialChar(int Value);
  // Clears AStrings and fills it with the parts of AInput split at
  // ADelimiter (strict delimiting, the list's own quoting rules); with
  // AClearEmptyStrings the empty parts are dropped.
  static void Split(QChar ADelimiter, const QString& AInput, TStrings* AStrings,
                    bool AClearEmptyStrings);
  // True when the text holds "</", "/>" or "<BR>" in any case.
  static bool IsHTML(const QString& AValue);
  static bool IsHTMLUnicode(const QString& AValue);
  // The text without tags; <BR> and <HR> (any case) become CR LF. An unclosed
  // tag stays in the result.
  static QString HTMLStrip(const QString& AHTML);
  // JSON string escaping: the quote, backslash, BS, FF, LF, CR and TAB and
  // every character from U+0080 up become \uXXXX (upper-case digits); other
  // characters are copied.
  static QString EscapeString(const QString& AValue);
  // Decodes the escapes \\ \/ \b \f \n \r \t and \uXXXX (either case).
  // Raises Exception "Unexpected end of string" for a final backslash and
  // "Invalid code at position <n>" (1-based position of the backslash) for
  // any other escape.
  static QString UnescapeString(const QString& AValue);
  // "&", quote, "<" and ">" as entities; with SpecialChars also the rows 4
  // to 86 of the markup table and every character above U+0100 as "&#n;".
  static QString FixMarkup(const QString& su, bool SpecialChars);
  // The reverse of FixMarkup.
  static QString UnFixMarkup(const QString& su, bool SpecialChars, bool SpecialCharsOnly);
  // The trivial scrambler: its own inverse for texts below U+0100.
  static QString EnDeCrypt(const QString& AValue);
  // UTF-8 bytes; every byte but "-", ".", "_" and alphanumerics as "%XX".
  static QString URLEncode(const QString& AURL);
  // "%XX" with upper-case digits back to bytes, decoded as UTF-8 and trimmed.
  // "+" stays as it is.
  static QString URLDecode(const QString& AURL);

  // --- Character sets ------------------------------------------------------

  static TKitUtilsCharSet NumericCharSet();
  static TKitUtilsCharSet AlphaCharSet();
  static TKitUtilsCharSet CreateCharSet(const QString& AValue);
  static TKitUtilsCharSet AddCharSet(const TKitUtilsCharSet& ACharSet1,
                                     const TKitUtilsCharSet& ACharSet2);
  // The characters of the first set that are not in the second, in order.
  static TKitUtilsCharSet SubCharSet(const TKitUtilsCharSet& ACharSet1,
                                     const TKitUtilsCharSet& ACharSet2);
  static bool CharInSet(QChar ch, const TKitUtilsCharSet& ACharSet);

  // --- Numbers and dates ---------------------------------------------------

  // nNumber * nNumerator / nDenominator rounded half away from zero; -1 for
  // a zero denominator.
  static int MulDivInt(int nNumber, int nNumerator, int nDenominator);
  static Single MulDivSingle(Single nNumber, Single nNumerator, Single nDenominator);
  // Float conversions with "." as decimal and "," as thousand separator in
  // force; the global separators are put back afterwards, also on errors.
  static double StrToFloatDot(const QString& AValue);
  static bool TryStrToFloatDot(const QString& AValue, double& AResult);
  static QString FloatToStrDot(double AValue);
  // Seconds since 1970-01-01 (a 32-bit integer text) as a UTC date-time.
  static TDateTime EpochToDateTime(const QString& AEpoch);
  // "512 Bytes", "1.50 KB" ... "TB"; "" for -1 or less. Sizes of 1024 TB and
  // more stay in TB.
  static QString FormatBytesAsString(Extended ASize);

  // --- Streams and encodings -----------------------------------------------

  // The picture type named by the first four bytes: ".gif", ".bmp", ".png",
  // ".tiff", ".jpg", ".unknown" (icon header), ".empty" (four zero bytes), or
  // "" (fewer than four bytes, or no signature). With AResetPosition reading
  // starts at 0, else at the position; the position is always put back.
  static QString GetImageType(TStream* AData, bool AResetPosition);
  // The type of the picture's saved bytes, read from their start (the flag
  // is not used).
  static QString GetImageType(TKitBitmap* ABitmap, bool AResetPosition);
  // The picture class for the leading bytes of Buffer: "II" 42 and "MM" 42
  // TWICImage (TIFF), "BM" TBitmap, FF D8 TJPEGImage, the PNG signature
  // TPngImage, a placeable or enhanced metafile header TMetafile, "GIF"
  // TGIFImage, the 16-bit value 1 at offset 2 TIcon. Only the BufferSize
  // bytes are looked at. True when a class was found. (TIFF and metafiles
  // decode through GDI+; the decoder is installed here.)
  static bool FindGraphicClass(const void* Buffer, Int64 BufferSize, TGraphicClass& GraphicClass);
  // The picture's graphic in its own format as hexadecimal text; "" for a
  // picture without graphic or with an empty one.
  static QString SaveBitmapToHexStr(TPicture* ABitmap);
  // The decoded bytes as a graphic of the class FindGraphicClass names;
  // nothing for a data URI text or an unknown picture type.
  static void LoadBitmapFromHexStr(const QString& AHexStr, TPicture* ABitmap);
  static std::unique_ptr<TKitBitmap> CreateBitmapFromHexStr(const QString& AHexStr);
  // As SaveBitmapToHexStr, in Base64 (URL-safe with AURL).
  static QString SaveBitmapToBase64(TPicture* ABitmap, bool AURL);
  // A data-URI prefix up to ";base64," is dropped; the rest is decoded and
  // loaded with the picture's stream loader.
  static void LoadBitmapFromBase64(const QString& ABase64, TPicture* ABitmap, bool AURL);
  static std::unique_ptr<TKitBitmap> CreateBitmapFromBase64(const QString& ABase64, bool AURL);
  // The picture as JPEG bytes: JPEG data copied, other graphics drawn on
  // ABackgroundColor (white for clNone and -1) and compressed with quality
  // Round(AQuality * 100), kept within 1..100. Null for an unknown type or
  // an empty graphic.
  static std::unique_ptr<TMemoryStream> ConvertBitmapToJPEGStream(TPicture* ABitmap, float AQuality,
                                                                  TColor ABackgroundColor);
  // A copy through component streaming, without owner and name.
  static std::unique_ptr<TComponent> Clone(TComponent* AComponent);
  // The whole stream from position 0 as two upper-case hex digits per byte.
  static QString SaveStreamToHexStr(TStream* AStream);
  // Each pair of hex digits (either case) as one byte; an odd last character
  // is ignored. A bad digit raises the run-time's EConvertError.
  static TBytes HexStrToBytes(const QString& AValue);
  // The decoded bytes written at AStream's position.
  static void LoadStreamFromHexStr(const QString& AHexStr, TStream* AStream);
  // The whole stream from position 0 as Base64 without line breaks; with
  // AURL "+" becomes "-", "/" becomes "_" and the "=" padding is dropped.
  static QString SaveStreamToBase64(TStream* AStream, bool AURL);
  // Empty for empty text; with AURL the padding and the standard alphabet are
  // restored first.
  static TBytes Decode64ToBytes(const QString& AValue, bool AURL);
  // The decoded bytes written at AStream's position.
  static void LoadStreamFromBase64(const QString& ABase64, TStream* AStream, bool AURL);
  // The raw-data resource of that name, or nullptr when there is none.
  static std::unique_ptr<TResourceStream> GetResourceStream(const QString& AResourceName);
  static std::unique_ptr<TResourceStream> GetResourceStream(const QString& AResourceName,
                                                            NativeInt AInstance);
  // Downloads AURL (http or https only) and answers its body when the
  // response's content type names an image, else an empty stream. Raises
  // Exception "Unable to initialize Wininet" or "Cannot open URL <url>".
  // Time-outs end a stalled transfer; a body larger than
  // DownloadImageMaxSize is not kept (the answer is empty).
  static std::unique_ptr<TMemoryStream> DownloadImage(const QString& AURL);
  static constexpr Int64 DownloadImageMaxSize = 64 * 1024 * 1024;
  static constexpr int DownloadImageTimeout = 30000;  // milliseconds

  // --- Forms, fonts, files, shell, dialogs and diagnostics ------------------

  // The first form among the owners above AComponent (the component itself
  // is not looked at); nullptr when there is none or AComponent is nullptr.
  static TCustomForm* GetOwnerForm(TComponent* AComponent);
  // The form the control sits on; nullptr for nullptr.
  static TCustomForm* GetParentForm(TControl* AControl);
  // The resolution of the monitor showing AOwner's form against ADefaultDPI
  // (96 when ADefaultDPI is 0 or less). The form is AOwner itself when it is
  // a form, else the form a control sits on, else the first form among its
  // owners; without AOwner the application's main form. 1.0 without a form
  // and for a form that is not scaled.
  static Single GetDPIScale(TComponent* AOwner = nullptr, int ADefaultDPI = -1);
  // GetDPIScale above 1.
  static bool IsHighDPIScale(TComponent* AOwner = nullptr, int ADefaultDPI = -1);
  // Lays the control and its children out for ADPI pixels per inch (the
  // framework's ScaleForPPI); nothing for nullptr.
  static void ScaleForDPI(TControl* AControl, int ADPI);
  // Brings every control inside the form (forms excepted) to its font
  // height at 96 DPI, MulDivInt(Height, 96, the font's PixelsPerInch), then
  // lets the form scale itself to its monitor's resolution. A form of class
  // TKitCustomPopupForm then also has its width and height multiplied by
  // GetDPIScale(AForm, 96) and rounded. Nothing for nullptr.
  static void ScaleForCurrentDPI(TCustomForm* AForm);
  // The cursor position in screen coordinates.
  static TPointF GetMousePos();
  // Clears the list and fills it with the font family names, sorted.
  static void GetFonts(TStringList* FontList);
  // Gives the font the height of a pixel size at 96 DPI, passed through
  // whole points: -MulDivInt(Round(ASize / 96 * 72), 96, 72).
  static void SetFontSize(TFont* AFont, Single ASize);
  // The program's folder, with a trailing "/".
  static QString GetAppPath();
  // The user's temporary folder, with a trailing "/".
  static QString GetTempPath();
  // The user's documents folder, created when missing; raises EOSError
  // "Unspecified error" when there is none and it cannot be made.
  static QString GetDocumentsPath();
  // The program's module handle.
  static NativeInt GetHInstance();
  // Append "\" or "/" to a non-empty text that does not end with it.
  static QString AddBackslash(const QString& AValue);
  static QString AddForwardslash(const QString& AValue);
  // Opens a document or address with the shell's "open" (which refuses
  // programs and unsafe addresses); the result is not checked.
  // AControlReference is not used.
  static void OpenFile(const QString& AFile, TObject* AControlReference = nullptr);
  static void OpenURL(const QString& AURL);
  // An information message box with an OK button; its modal result.
  static int Message(const QString& AMessage);
  // The framework's message dialog; its modal result.
  static int Message(const QString& AMessage, TMsgDlgType ADialogType, TMsgDlgButtons AButtons,
                     int AHelpContext);
  // A file-open dialog (the file must exist) starting in ADefaultFolder, or
  // in the documents folder when that is empty; on OK AFileName takes the
  // chosen name. ACallBack, when given, hears the outcome.
  static bool SelectFile(QString& AFileName, const QString& ADefaultFolder, const QString& AFilter,
                         const TKitUtilsFileCallBackEvent& ACallBack = {});
  // A file-save dialog with the overwrite prompt, starting in the folder of
  // AFileName (the documents folder when it has none) with its name
  // proposed; on OK AFileName takes the chosen name, with the extension of
  // the name passed in when the chosen one has none.
  static bool SaveFile(QString& AFileName, const QString& AFilter,
                       const TKitUtilsFileCallBackEvent& ACallBack = {});
  // Sends the text to the debug output channel.
  static void Log(const QString& AMessage);

  // --- Filter expressions --------------------------------------------------

  // Does AValue2 satisfy the condition AValue1: terms joined by "&", "|",
  // "^" and ";" strictly from left to right, groups in parentheses (an
  // unclosed "(" is an ordinary character), comparisons "<", "<=", ">",
  // ">=", negation "!" and the wildcards "*" and "?".
  static bool MatchStrEx(const QString& AValue1, const QString& AValue2, bool ACaseSensitive);
  // One term; without ACaseSensitive both texts are upper-cased first.
  static bool MatchStr(const QString& AValue1, const QString& AValue2, bool ACaseSensitive);
  // One term against the value, on the exact texts.
  static bool Matches(const QString& s0a, const QString& s1a);
  static bool Matches(const char16_t* s0a, const char16_t* s1a);
  // The first character of AValue in the set that stands outside double
  // quotes; its position in spos. NUL and spos -1 when there is none.
  static QChar FirstChar(const TKitUtilsCharSet& ACharset, const QString& AValue, int& spos);
  // AValue without the blanks that stand outside double quotes.
  static QString StripLogicSpaces(const QString& AValue);
  // The position of the ")" closing the first "(" count; 0 when none.
  static int ClosingParenthesis(const QString& s1);
  // ps without the locale's thousand separator.
  static QString StripThousandSep(const QString& ps);
  // Reads a date (in the order of the locale's short date format, with its
  // date separator) and an optional time "h:m" or "h:m:s" after a blank.
  static bool IsDate(const QString& AValue, TDateTime& ADate);
};

// Word helpers.
inline int HiWord(int a) { return a >> 16; }
inline int LoWord(int a) { return a; }
inline int MakeWord(int lo, int hi) { return lo + hi * 256; }
inline int MakeLong(int lo, int hi) { return lo + hi * 65536; }
// "Maj.Min.Rel.Bld" read back from the four parts packed into one 32-bit
// version number; each part is 0 to 127.
QString FormatVersionNumber(int Maj, int Min, int Rel, int Bld);
