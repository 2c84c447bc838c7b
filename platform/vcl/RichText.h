#pragma once
// Rich text (RTF) read into and written from a QTextDocument. Qt has no RTF
// support; this is our own reader and writer of the subset rich edit
// controls exchange:
//
//   groups, \b \i \ul (and its variants) \ulnone \strike \fs \cf \cb
//   \highlight \f \colortbl \fonttbl (\fcharset, \cpg) \ansicpg \deff \par
//   \line \tab \pard \plain \ql \qc \qr \qj \'hh \uN with \ucN skipping
//   \bin, the control symbols \\ \{ \} \~ \- \_ and ignorable destinations
//   (\*, plus the destinations a text reader has no use for: \info,
//   \stylesheet, \pict, headers and footers, field instructions ...).
//
// Character sets: \'hh bytes and 8-bit text are decoded with the code page
// of the current font's \fcharset (or \cpg), else the document's \ansicpg
// (Windows-1252 when none), through the C library's iconv, so double-byte
// code pages (932, 936, 949, 950) decode their byte pairs.
//
// Hostile input is read in bounded time and memory: group nesting deeper
// than kMaxRtfDepth shares the innermost state, numeric parameters saturate,
// control words longer than 32 letters are ignored, \uN outside 0..65535,
// \fs beyond 1638 points and colour indexes outside the table are clamped,
// \bin never reads past the input.
//
// Not covered: tables (their cell text reads as paragraphs), pictures and
// objects (skipped), lists (their number text reads as text), paragraph
// indents and spacing, style sheets.

#include <QByteArray>
#include <QString>
#include <memory>

#include "platform/rtl/System.h"
#include "platform/vcl/Graphics.h"

class QTextDocument;

// Groups nested deeper than this share the state of the innermost one kept.
inline constexpr int kMaxRtfDepth = 256;

// Reads RTF into doc (replacing its content). Returns false (doc holds what
// was read up to the fault) on input that is not RTF, or whose groups are
// not closed at its end.
bool RtfToDocument(const QByteArray& rtf, QTextDocument& doc);

// Writes doc as RTF: every text run with its font, size, bold, italic,
// underline, strike-out, text and background colour; paragraphs with their
// alignment; line separators as \line, tabs as \tab; characters outside
// ASCII as \uN with a Windows-1252 (or "?") fallback.
QByteArray DocumentToRtf(const QTextDocument& doc);

// The text of an RTF document: paragraphs and \line breaks become CR LF,
// \tab a tab. Input that is not RTF answers an empty text.
QString RtfToPlainText(const QByteArray& rtf);

// The data starts with "{\rtf".
bool LooksLikeRtf(const QByteArray& data);

// RTF kept in a text string, as the bytes the reader takes: characters of
// Windows-1252 as their bytes, any other as a \uN escape (so nothing is
// lost to the 8-bit form).
QByteArray RtfTextToBytes(const QString& text);

// ---------------------------------------------------------------------------
// A rich edit without a window: the document a rich edit control holds, read
// and written as RTF, its plain text, the look of its first character, and
// painting into a canvas rectangle. Components keep one hidden as their
// converter between rich text and plain text and as their rich-text painter.

class TRichEdit : public TObject {
 public:
  TRichEdit();
  ~TRichEdit() override;
  TRichEdit(const TRichEdit&) = delete;
  TRichEdit& operator=(const TRichEdit&) = delete;

  void Clear();
  // Loads RTF; data that is not RTF is loaded as plain text (as a rich edit
  // control does). Answers whether the data read as complete RTF.
  bool LoadFromRtf(const QByteArray& Data);
  QByteArray SaveToRtf() const;
  // Paragraphs and line breaks as CR LF.
  QString Text() const;
  void SetText(const QString& Value);

  // The font of text that names none (the control's font).
  void SetDefaultFont(TFont* Font);
  // Name, size and style of the first character into Font (the control's
  // selection attributes with the caret at the start).
  void GetSelAttributes(TFont* Font) const;
  // Colours the whole text (a selected cell's text colour).
  void SetAllTextColor(TColor Color);

  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value) { FWordWrap = Value; }
  // The size the text needs: within Width pixels when word wrap is on,
  // else its natural width.
  TSize RequiredSize(int Width) const;
  // Draws the text into Rect of Canvas (logical units), inset by Margin
  // pixels on every side, clipped to the rectangle and the canvas' clip.
  // Text without a colour of its own takes DefaultColor.
  void PaintTo(TCanvas* Canvas, const TRect& Rect, int Margin, TColor DefaultColor) const;

  QTextDocument* Document() const { return FDocument.get(); }

 private:
  std::unique_ptr<QTextDocument> FDocument;
  bool FWordWrap = true;
};
