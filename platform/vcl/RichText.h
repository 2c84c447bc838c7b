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
