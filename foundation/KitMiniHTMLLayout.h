#pragma once
// Line layout and hit testing of mini-HTML text, shared by the two text
// engines. The text is laid out one line at a time: a measuring pass takes
// runs and objects while they fit, the line is aligned, and a drawing pass
// goes over exactly what the measuring pass took. Links, linked images and
// form controls are tested against a pointer position.
//
// The engines supply the surface (measuring and drawing); the layout keeps
// the formatting state of one call and nothing between calls.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>

#include "foundation/KitMiniHTML.h"

// The font of the text at one point of the layout.
struct TMiniHtmlFont {
  QString Name;
  int Size = 9;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  TColor Color = 0;
  // Angle of the baseline in tenths of a degree, counter-clockwise (R tag,
  // canvas engine).
  int Orientation = 0;
  bool operator==(const TMiniHtmlFont&) const = default;
};

// One text run as the layout hands it to the surface.
struct TMiniHtmlRun {
  QString Text;
  int X = 0;       // left of the run
  int Width = 0;   // the run's measured width
  int Left = 0;    // left edge of the line
  int Right = 0;   // right edge of the line
  int Top = 0;     // top of the line box
  int Bottom = 0;  // bottom of the run's text (moved for SUB, SUP and the text offset)
  int LineBottom = 0;  // bottom of the line box (exclusive)
  TMiniHtmlFont Font;
  TColor Background;  // the engine's "no colour" when none
  bool Shadow = false;
  bool ErrorUnderline = false;
  // Right-to-left lines: the run is placed from the right (X is already
  // mirrored) and drawn right-aligned.
  bool Mirrored = false;
};

// Where a form control sits in its line.
struct TMiniHtmlControlPlace {
  QRect Box;            // the control's box (also its hit area)
  int LineTop = 0;
  int LineBottom = 0;   // bottom of the line box (exclusive)
  int LineHeight = 0;
};

// What an engine supplies: measuring, and drawing for the drawing pass.
// The drawing operations do nothing unless an engine overrides them.
class TMiniHtmlSurface {
 public:
  virtual ~TMiniHtmlSurface() = default;
  virtual int TextWidth(const QString& AText, const TMiniHtmlFont& AFont) = 0;
  // Height of one text line ("gh") in AFont.
  virtual int TextHeight(const TMiniHtmlFont& AFont) = 0;
  virtual void DrawRun(const TMiniHtmlRun& /*ARun*/) {}
  // The bullet of a list item at (X, Top): a text bullet (AText not empty)
  // or a square or circle (AShape "SQUARE", "CIRCLE").
  virtual void DrawBullet(int /*X*/, int /*Top*/, const QString& /*AText*/, const QString& /*AShape*/,
                          TColor /*AColor*/, const TMiniHtmlFont& /*AFont*/) {}
  // The line of an HR tag from X1 to X2 at Y.
  virtual void DrawHorzLine(int /*X1*/, int /*X2*/, int /*Y*/, TColor /*AColor*/) {}
  // A paragraph band of P BGCOLOR.
  virtual void FillBand(const QRect& /*ARect*/, TColor /*AColor*/) {}
  // An image in its box.
  virtual void DrawPicture(const TMiniHtmlPictureRef& /*ARef*/, const QRect& /*ABox*/) {}
  // A BODY background picture tiled over ARect (or, with ATiled false, drawn
  // once at its natural size with its top left corner at ARect's).
  virtual void DrawBackgroundPicture(const TMiniHtmlPictureRef& /*ARef*/, const QRect& /*ARect*/, bool /*ATiled*/) {}
  // The focus rectangle of the focused link (one piece per line).
  virtual void DrawFocusRect(const QRect& /*ARect*/) {}
  // A form control in its box.
  virtual void DrawControl(const TMiniHtmlControl& /*AControl*/, const TMiniHtmlControlPlace& /*APlace*/) {}
  // The emoji of a J tag (one character, two UTF-16 code units for most)
  // at (X, Top), drawn when ADraw is set; answers the advance.
  virtual int DrawEmoji(int /*X*/, int /*Top*/, const QString& /*AGlyph*/, const TMiniHtmlFont& AFont,
                        bool /*ADraw*/) {
    return TextHeight(AFont);
  }
};

struct TMiniHtmlLayoutParams {
  TMiniHtmlEngine Engine = mheCanvas;
  QRect Rect;
  TMiniHtmlFont Font;
  // The surface's background at the call (canvas engine: the brush colour,
  // facade engine: the fill colour): BLINK text takes it while invisible.
  // Runs start without a background of their own.
  TColor Background = mhNoColorCanvas;
  bool WordWrap = true;
  // Only measure: no drawing pass, nothing dropped at the bottom.
  bool MeasureOnly = false;
  // Hit test without drawing: the second pass runs with drawing suppressed.
  bool HitTestOnly = false;
  // The control whose ID a hit test without drawing looks for.
  QString HitControlID;
  QPoint Pointer{-1, -1};
  int HoverLink = -1;  // the hovered link's number (1-based) for hover-only styling
  int FocusLink = -1;  // 0-based; -1 for none
  bool HoverOnly = false;
  bool Selected = false;
  // BLINK text is invisible while the blink phase is off.
  bool BlinkOff = false;
  TColor URLColor = 0xFF0000;  // blue
  // Facade engine: hovered links are underlined only with this on.
  bool URLUnderline = true;
  TColor HoverColor = mhNoColorCanvas;
  TColor HoverFontColor = mhNoColorCanvas;
  TColor HighlightColor = mhNoColorCanvas;
  TColor HighlightTextColor = mhNoColorCanvas;
  // Facade engine: the font styles HI adds (bold, italic, underline, strike-out).
  bool HighlightBold = false;
  bool HighlightItalic = false;
  bool HighlightUnderline = false;
  bool HighlightStrikeOut = false;
  double ScaleFactor = 1.0;
  // Scale for printing and check-box widths; below 1 taken as 1.
  double PrintFactor = 1.0;
  // Printing (canvas engine): IND takes the print factor instead of the
  // scale factor.
  bool Printing = false;
  // Right-to-left lines: every line is laid out from its right edge, with
  // its alignment mirrored.
  bool RightToLeft = false;
  // Facade engine: added to every line's height after its measuring pass.
  int LineSpacing = 0;
  // The image list for "IDX:" references: count and image size.
  int ImageCount = 0;
  QSize ImageSize;
  // Natural size of a picture by reference (container, URL, file...); an
  // empty size when it cannot be found. Unset: no such pictures.
  std::function<QSize(const TMiniHtmlPictureRef&)> PictureSize;
};

struct TMiniHtmlLayoutResult {
  bool Hit = false;
  QString Anchor;  // href of the link under the pointer, or "ctrl"
  QString Title;
  QString FocusAnchor;
  QString PlainText;  // all runs, a CR for each BR
  int Width = 0;      // the widest line
  int Height = 0;     // total height
  int LinkCount = 0;
  int HoverLink = -1;
  QRect HoverRect;
  int LineCount = 0;
  QString ControlType;
  QString ControlValue;
  QString ControlID;
  QRect ControlRect;
};

// Lays out (and, unless AParams.MeasureOnly, draws) AText in AParams.Rect.
TMiniHtmlLayoutResult LayoutMiniHtml(const QString& AText, const TMiniHtmlLayoutParams& AParams,
                                     TMiniHtmlSurface& ASurface);
