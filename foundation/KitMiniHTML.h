#pragma once
// The mini-HTML markup language shared by the library's two text engines
// (the drawing facade's and the canvas one): tag recognition by first
// letters, attribute search in a tag, colour and font-size values, picture
// references, form-control (CONTROL) tags, and the entity and colour-name
// tables of the canvas engine.
//
// Nothing here draws; the engines and the line layout (KitMiniHTMLLayout)
// build on these routines. Markup never raises: what is not understood has
// no effect.

#include <QString>
#include <QStringView>

#include "platform/rtl/System.h"

using TColor = int32_t;

// The engine whose dialect of the language is meant. The two engines differ
// in a few tags and in how some attribute values are read.
enum TMiniHtmlEngine { mheCanvas, mheFacade };

// The tags of the language. mhtNone: not recognised (no effect).
enum TMiniHtmlTag {
  mhtNone,
  mhtA,
  mhtB,
  mhtBR,
  mhtBlink,
  mhtBody,
  mhtControl,
  mhtE,
  mhtFont,
  mhtHI,
  mhtHR,
  mhtI,
  mhtImg,
  mhtInd,
  mhtJ,
  mhtLI,
  mhtOL,
  mhtOF,
  mhtP,
  mhtR,
  mhtS,
  mhtStrike,
  mhtSpan,
  mhtShad,
  mhtSub,
  mhtSup,
  mhtU,
  mhtUL,
  mhtZ
};

// One tag at the front of a text.
struct TMiniHtmlTagInfo {
  TMiniHtmlTag Tag = mhtNone;
  bool Closing = false;
  // Characters the tag takes from the text, "<" and ">" included (to the end
  // of the text when no ">" follows).
  int Length = 0;
  // The tag's text from "<" up to, not including, its ">".
  QString Text;
};

// The "no colour" of the canvas engine.
inline constexpr TColor mhNoColorCanvas = 0x1FFFFFFF;
// The "no colour" of the facade engine.
inline constexpr TColor mhNoColorFacade = -1;
// Font sizes taken from markup are kept within 1..MiniHtmlMaxFontSize points.
inline constexpr int MiniHtmlMaxFontSize = 400;
// Widths and heights taken from markup are kept within 0..MiniHtmlMaxExtent.
inline constexpr int MiniHtmlMaxExtent = 32767;

// Upper-cases the letters a to z only; every other character is kept, so
// positions in the result match positions in the text.
QString MiniHtmlUpperAscii(const QString& s);

// Recognises the tag at the front of AText, which must start with "<".
// A text of "<" and at most one more character is taken whole as mhtNone.
TMiniHtmlTagInfo ParseMiniHtmlTag(QStringView AText, TMiniHtmlEngine AEngine);

// The value of attribute AName (upper case, e.g. "HREF", " COLOR") in a
// tag's text ATagText (from "<" to before ">"): the name is searched as a
// plain substring of the upper-cased text after the tag's name
// (ANameLength characters after "<"); the value is the text between the
// first double quote after it and the next one (or the end). With
// AUpperValue the value comes from the upper-cased copy. AFound tells
// whether the attribute occurs at all.
QString MiniHtmlAttribute(const QString& ATagText, int ANameLength, const QString& AName, bool AUpperValue,
                          bool* AFound = nullptr);

// The angle of an R tag's text ATagText: the first letter A of its
// upper-cased text, two characters skipped, then the double-quoted value as
// whole degrees (a leading minus allowed); answered in tenths of a degree
// within -3600..3600. 0 when there is none.
int MiniHtmlRotation(const QString& ATagText);

// Leading decimal digits of s as a whole number (0 when there are none),
// leading blanks skipped; kept within 0..MiniHtmlMaxExtent.
int MiniHtmlLeadingNumber(const QString& s);

// A colour value: "#RRGGBB" or a colour name (lower-cased before lookup).
// Canvas engine: every digit pair that is missing or not hexadecimal counts
// as 0; names come from its 172-name table, a leading "cl" ignored. Facade
// engine: "#RGB" is the short form with each digit doubled, any other "#"
// text needs three hexadecimal pairs (else black); names lose a leading
// "cl", then "cla", then "gc" and are looked up in the graphics colour-name
// list. An unknown name gives black.
TColor MiniHtmlColor(const QString& AValue, TMiniHtmlEngine AEngine);

// The canvas engine's colour-name table: the colour of the lower-case name
// ("red", "btnface"), or false when the table has no such name.
bool MiniHtmlColorByName(const QString& AName, TColor& AColor);
// Number of entries of the colour-name table (172).
int MiniHtmlColorNameCount();

// The font size of a FONT tag's SIZE value: 1..5 give 8, 10, 12, 14 and 16
// points, any other number is points (kept within 1..MiniHtmlMaxFontSize);
// 0 (no number) leaves the size unchanged and answers ACurrent.
int MiniHtmlFontSize(int ASizeValue, int ACurrent);

// The FONT tag's size: from STYLE ("FONT-SIZE:" ... "PT") when the tag has
// one, else from SIZE; ACurrent when neither gives a size.
int MiniHtmlFontTagSize(const QString& ATagText, int ACurrent);

// The canvas engine's entity table: 84 pairs, the first three ("amp;",
// "lt;", "gt;") not consulted by any pass.
int MiniHtmlEntityCount();
// Entity name of row Index (0-based, "&quot;" at 3) and its character.
// Raise EListError outside 0..MiniHtmlEntityCount() - 1.
QString MiniHtmlEntityName(int Index);
QChar MiniHtmlEntityChar(int Index);

// Lexical rule for text runs: "&nbsp;" becomes a blank, "&lt;" "<" and
// "&gt;" ">". With ANamed also every named entity of the table (81 entries,
// table order, exact spelling), as the canvas engine does for its runs.
QString MiniHtmlDecodeRun(const QString& ARun, bool ANamed);

// Picture references of IMG, BODY BACKGROUND and LI NAME.
enum TMiniHtmlPictureKind {
  mhpNone,            // empty or not supported by the engine
  mhpImageIndex,      // "IDX:" and a number: image list entry
  mhpSmallSystemIcon, // "SSYS:" and a number or a path (canvas engine)
  mhpLargeSystemIcon, // "LSYS:" and a number or a path (canvas engine)
  mhpContainer,       // a name without ":": picture container entry
  mhpURL,             // a URL containing "://" through the picture cache (canvas engine)
  mhpFile,            // "FILE://" and a path (facade engine)
  mhpData             // "DATA:...BASE64," and Base64 text (facade engine)
};

struct TMiniHtmlPictureRef {
  TMiniHtmlPictureKind Kind = mhpNone;
  int Index = -1;  // mhpImageIndex
  QString Name;    // the name, URL, path or Base64 text
};

TMiniHtmlPictureRef ParseMiniHtmlPictureRef(const QString& AValue, TMiniHtmlEngine AEngine);

// A form control of a CONTROL tag.
struct TMiniHtmlControl {
  QString ControlType;  // upper-cased: EDIT, PASSWORD, MASK, COMBO, CHECK, RADIO, BUTTON
  QString ID;
  QString Value;  // entities decoded
  QString Width;
  QString Height;  // "25" when the tag has none
  QString Prop;    // entities decoded
  QString MaxLen;
  bool HasWidth = false;
  bool HasHeight = false;
  bool HasProp = false;
  bool HasMaxLen = false;
};

// Parses a control tag's text ATagText: the text from after "<" to before
// ">" ("CONTROL TYPE=..."). Attributes are found without regard to case;
// each value is the text between the next two double quotes after "NAME=".
// VALUE and PROP are decoded with the canvas engine's entities, or (facade
// engine) with the markup entities of TKitUtils::UnFixMarkup.
TMiniHtmlControl ParseMiniHtmlControl(const QString& ATagText, TMiniHtmlEngine AEngine = mheCanvas);
