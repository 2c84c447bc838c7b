#pragma once
// The mini-HTML engine for canvases. DrawMiniHtml draws or measures
// marked-up text (the language of KitMiniHTML.h, laid out by
// KitMiniHTMLLayout.h) in a rectangle of a TCanvas, in whole pixels, with
// GDI text output. Grid cells, hints, headers, drop-down lists and form
// controls in cells are drawn through it.
//
// Before the layout the text goes through four passes: named entities
// ("&amp;" becomes "&&", shown as one "&" by the runs' prefix processing),
// "<#...>" markers unwrapped, numeric references ("&#65;", "&#x41;"; code
// points from U+1F004 up become the emoji tag "<J ...>"), and line breaks
// (carriage returns become "<BR>" or blanks by the keep-line-breaks flag,
// line feeds are dropped).
//
// Pictures by name come from a picture container, pictures by URL (and
// "FILE://" references) from a picture cache; both belong to the picture
// unit, which builds on this library and installs its access through
// SetMiniHtmlPictures (see TMiniHtmlPictures). Emoji are drawn in colour
// with the "Noto Color Emoji" font; shell icons ("SSYS:", "LSYS:") are the
// desktop's icons of files, folders and file types. Form controls are drawn
// through the theme functions when themes are active, else as frame
// controls.
//
// The engine raises nothing of its own; markup that is not understood has
// no effect. User-interface thread only.

#include <QImage>
#include <QString>

#include "foundation/KitMiniHTML.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/Types.h"
#include "platform/win32/WinTypes.h"

class TCanvas;
class TCustomImageList;
class TGraphic;
class TPicture;
class THTMLPictureCache;
class TPictureContainer;

// What the caller asks of DrawMiniHtml.
struct TMiniHtmlDrawParams {
  // "IDX:" pictures.
  TCustomImageList* ImageList = nullptr;
  // The pointer in canvas coordinates, for hit testing.
  int PointerX = -1;
  int PointerY = -1;
  // 0-based number of the focused link; -1 for none.
  int FocusLink = -1;
  // Number (1-based) of the link under the pointer from an earlier hit test.
  int HoverLink = -1;
  // Pixels right and down of "<SHAD>" shadows.
  int ShadowOffset = 0;
  // Lay out without drawing, to find links and controls.
  bool HitTestOnly = false;
  // No drawing pass.
  bool MeasureOnly = false;
  // Pictures are drawn through bitmaps scaled by the print factor.
  bool Printing = false;
  // The text is shown selected: FONT colours and link colours are not applied.
  bool Selected = false;
  // The blink phase: false makes "<BLINK>" text invisible.
  bool BlinkPhase = true;
  // Only the hovered link is underlined and hover-coloured.
  bool HoverOnly = false;
  // Wrap at blanks; without it every line is cut at the right edge with an
  // ellipsis.
  bool WordWrap = true;
  // A mouse button is down, on the control of PressedControlID.
  bool MouseDown = false;
  QString PressedControlID;
  // Scale of printing and check-box sizes; below 1 taken as 1.
  double PrintFactor = 1.0;
  TColor URLColor = 0xFF0000;
  TColor HoverColor = 0x1FFFFFFF;      // background of the hovered link; clNone for none
  TColor HoverFontColor = 0x1FFFFFFF;  // text colour of the hovered link; clNone for none
  TColor ShadowColor = 0x808080;
  // With HitTestOnly: the control to find by its ID.
  QString ControlID;
  THTMLPictureCache* PictureCache = nullptr;
  TPictureContainer* PictureContainer = nullptr;
  // The window whose theme draws form controls.
  HWND Window = nullptr;
  // The caller's DPI scale (1.0 at 96 DPI): control sizes, image sizes, indents.
  double ScaleFactor = 1.0;
  // Right-to-left reading; it takes effect when the system locale reads
  // right to left (SysLocale.MiddleEast).
  TBiDiMode BiDiMode = bdLeftToRight;
};

// What DrawMiniHtml reports.
struct TMiniHtmlDrawResult {
  QString Anchor;       // href of the link under the pointer, or "ctrl" for a form control
  QString PlainText;    // the text of all runs, a carriage return per "<BR>"
  QString FocusAnchor;  // href of the focused link
  QString AnchorTitle;  // TITLE of the link under the pointer
  int Width = 0;        // the widest line
  int Height = 0;       // the total height of the lines
  int LinkCount = 0;
  int HoverLink = -1;   // number of the link under the pointer; -1 none
  TRect HoverRect;      // that link's rectangle
  TRect ControlRect;    // the hit form control's box
  QString ControlID;    // the hit control's ID (with HitTestOnly: as given when none was hit)
  QString ControlValue;
  QString ControlType;
  int LineCount = 0;
};

// Draws (or, with MeasureOnly, measures) AText in ARect of ACanvas; true
// when the pointer hits a link's text (hit-test-only calls), a linked image
// or a form control. The canvas's font is the base font; its font, pen,
// brush and every other setting of its device context are as before when
// the call returns.
bool DrawMiniHtml(TCanvas* ACanvas, const QString& AText, const TRect& ARect, const TMiniHtmlDrawParams& AParams,
                  TMiniHtmlDrawResult& AResult);
// The size AText takes in ARect (measure only, word wrap as given).
TSize MeasureMiniHtml(TCanvas* ACanvas, const QString& AText, const TRect& ARect, bool AWordWrap = true,
                      double AScaleFactor = 1.0);

// Unit-level values, shared by every caller.

// The "<HI>" colours (by default the system highlight colours).
void SetHtmlHighlightColors(TColor ABackground, TColor AText);
TColor HtmlHighlightColor();
TColor HtmlHighlightTextColor();
// Whether carriage returns become line breaks (true) or blanks.
bool HtmlKeepLineBreaks();
void SetHtmlKeepLineBreaks(bool Value);
// Themed form controls: available on this platform; in use while
// IsThemeActive says so.
bool HtmlThemesAvailable();

// "#RRGGBB" (a missing or invalid digit pair counts as 0) or a colour name
// with an optional leading "cl"; an unknown name gives black.
TColor ParseHtmlColor(const QString& AText);
// The entity pass: every "&amp;" in any case becomes "&&" (also where a
// replacement forms a new one), then "&quot;" and the named entities of the
// table become their characters.
QString DecodeMiniHtmlEntities(const QString& AText);
// The marker pass: every "<#" loses its "<" and the first ">" after it.
QString RemoveHtmlMarkers(const QString& AText);
// The numeric-reference pass. A reference ends at its ";" when that lies
// within seven characters after the "&", else with the character after its
// digits (which it consumes). One to six digits of a Unicode scalar value
// (not a surrogate, not 0, at most U+10FFFF) give the character, from
// U+1F004 up the emoji tag "<J " + character + " >"; anything else stays as
// it is. A "&#" right after "&" ends the pass.
QString DecodeNumericEntities(const QString& AText);
// The same pass; without AEmojiTags every character stands for itself (the
// facade's engine has no emoji tag).
QString DecodeNumericEntities(const QString& AText, bool AEmojiTags);
// The line-break pass: line feeds are dropped; each carriage return becomes
// "<BR>" with AKeep, else a blank, or nothing between ">" and "<".
QString LineBreaksToHtml(const QString& AText, bool AKeep);
// All four passes in order, as DrawMiniHtml runs them.
QString PrepareMiniHtml(const QString& AText, bool AKeepLineBreaks);

// A shell icon at (X, Y): AReference is an icon number (a few generic
// icons: 0 file, 1 document, 2 program, 3 and 4 folder) or a path (the
// icon of an existing file or folder, else of the name's file type).
// ASize receives the icon's size (16 or, with ALarge, 32 pixels; times
// APrintFactor when printing); nothing is drawn without ADraw. An unknown
// reference gives the size (0, 0).
void DrawShellIcon(TCanvas* ACanvas, int X, int Y, TSize& ASize, double APrintFactor, bool APrinting, bool ADraw,
                   bool ALarge, const QString& AReference);
// One emoji (AText, usually a surrogate pair) in colour, at most AFontSize
// points large, fitted into the square of the canvas font's text height
// with its top left at (X, Y), so that it keeps within its text line;
// nothing drawn with AMeasureOnly. Answers the advance: that text height.
int DrawEmojiGlyph(TCanvas* ACanvas, int X, int Y, bool AMeasureOnly, const QString& AText, int AFontSize);

// An emoji in colour in a square of ASide pixels (transparent around it),
// at most APixelSize pixels large.
QImage MiniHtmlEmojiImage(const QString& AGlyph, int ASide, int APixelSize);

// Access to the pictures of a picture container and a picture cache. The
// picture unit installs it when its first cache or container is made.
struct TMiniHtmlPictureDetails {
  bool HTMLPicture = false;  // a picture of the picture unit (cache or container)
  int FrameCount = -1;       // above 1: an animation
  int FrameXPos = 0;
  int FrameYPos = 0;
  int MaxWidth = 0;
  int MaxHeight = 0;
};

class TMiniHtmlPictures {
 public:
  virtual ~TMiniHtmlPictures() = default;
  // The container's picture of that name (compared without case); null when
  // there is none.
  virtual TGraphic* ContainerPicture(TPictureContainer* AContainer, const QString& AName) = 0;
  // A copy of that picture as a framework picture, kept by the container
  // until its next call; null when there is none.
  virtual TPicture* ContainerBitmap(TPictureContainer* AContainer, const QString& AName) = 0;
  // The cache's picture of that URL, added and loaded (synchronously, within
  // time limits) when the cache has none; null without a cache.
  virtual TGraphic* CachePicture(THTMLPictureCache* ACache, const QString& AURL) = 0;
  // Details of a picture of the picture unit; false for any other graphic.
  virtual bool Details(TGraphic* AGraphic, TMiniHtmlPictureDetails& ADetails) = 0;
  // Lets a picture of the picture unit draw stretched into a given box.
  virtual void SetStretch(TGraphic* AGraphic, bool AStretch) = 0;
};

// Installs the access (not owned; null removes it) and answers it.
void SetMiniHtmlPictures(TMiniHtmlPictures* APictures);
TMiniHtmlPictures* MiniHtmlPictures();
