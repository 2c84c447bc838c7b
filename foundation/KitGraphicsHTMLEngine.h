#pragma once
// The mini-HTML engine of the drawing facade. DrawGraphicsHtml draws or
// measures marked-up text (the language of KitMiniHTML.h, laid out by
// KitMiniHTMLLayout.h) in a floating-point rectangle through TKitGraphics, so
// that any control painted through the facade, on the GDI+ or the GDI
// back-end, shows tagged text; the facade routes its marked-up text here.
// MarkTextInGraphicsHtml puts highlight tags around search matches.
//
// Before the layout: the markup's named entities are decoded (TKitUtils::
// UnFixMarkup), then numeric references ("&#65;", "&#x1F600;": Unicode
// scalar values only, anything else stays text), and "&amp;" becomes "&"
// ("&lt;" and "&gt;" stay for the runs); the first "<#...>" marker is
// unwrapped, carriage returns become "<BR>" and line feeds are dropped.
//
// Runs are measured and drawn through the facade's back-end: a run's
// trailing blanks keep their width (the GDI+ library would leave them out)
// and, underlined, their underline. Pictures come from the picture
// container (by name), from files ("FILE://"), from Base64 data
// ("DATA:...;BASE64,") and from the image list ("IDX:"). Edit, password,
// mask and combo controls are laid out and hit-tested but not drawn; check
// boxes, radio buttons and buttons are the facade's control parts. The
// focused link's rectangle is computed, not painted.
//
// The engine keeps no state between calls and raises nothing of its own.

#include <QString>

#include "foundation/KitMiniHTML.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Graphics.h"

class TKitGraphics;
class TPictureContainer;
class TCustomImageList;

// What the caller asks of DrawGraphicsHtml. Colours of -1 are none.
struct TGraphicsHtmlParams {
  // The pointer, for hit testing, in the facade's coordinates.
  int PointerX = 0;
  int PointerY = 0;
  int FocusLink = -1;   // 0-based; -1 none
  int HoverLink = -1;   // number of the hovered link
  int ShadowOffset = 0;
  bool HitTestOnly = false;  // lay out without drawing; keeps ControlID as input
  bool MeasureOnly = false;  // no drawing pass
  bool Printing = false;     // image list pictures are not drawn
  bool Selected = false;     // FONT and link colours not applied; BODY ignored
  bool BlinkPhase = true;    // false: "<BLINK>" text in the fill colour of the call
  bool HoverOnly = false;    // only the hovered link is styled as hovered
  bool WordWrap = false;
  bool MouseDown = false;
  QString PressedControlID;  // ID of the control the mouse went down on
  double PrintFactor = 1.0;  // check box and radio button size factor
  TColor URLColor = 0xFF0000;
  TColor HoverColor = -1;
  TColor HoverFontColor = -1;
  TColor ShadowColor = 0x808080;
  QString ControlID;         // with HitTestOnly: the control to find
  int LineSpacing = 0;       // added to every line's height
  TPictureContainer* PictureContainer = nullptr;
  float ScaleFactor = 1.0f;  // not used by this engine
  bool URLUnderline = true;  // hovered links are underlined only with it on
  TCustomImageList* ImageList = nullptr;
  TColor HighlightColor = -1;
  TColor HighlightTextColor = -1;
  TFontStyles HighlightFontStyles;
};

// What DrawGraphicsHtml reports.
struct TGraphicsHtmlResult {
  QString Anchor;       // href of the link under the pointer, or "ctrl"
  QString PlainText;    // the text of all runs, a carriage return per "<BR>"
  QString FocusAnchor;  // href of the focused link
  float Width = 0;      // widest line plus 2
  float Height = 0;     // total height
  int LinkCount = 0;
  int HoverLink = -1;
  TRectF HoverRect;
  TRectF ControlRect;
  QString ControlID;  // the hit control's ID (with HitTestOnly: as given when none was hit)
  QString ControlValue;
  QString ControlType;
  int LineCount = 0;
};

// Draws (or, with MeasureOnly, measures) AText in ARect through AGraphics;
// true when the pointer hits a link's text (hit-test-only calls), a linked
// image or a form control. The facade's font is the base font; its fill,
// stroke and font are as before when the call returns.
bool DrawGraphicsHtml(TKitGraphics* AGraphics, const QString& AText, const TRectF& ARect,
                      const TGraphicsHtmlParams& AParams, TGraphicsHtmlResult& AResult);

// AText with each occurrence of ASearch in its plain form (tags removed,
// "<BR>" and "<HR>" as CR LF, entities as written) enclosed in "<ATag>" and
// "</ATag>". A plain form holding "<" or ">" (an unclosed tag, or a ">" in
// the text) replaces the text, with "<" and ">" as entities. An empty search
// text leaves the text as it is.
QString MarkTextInGraphicsHtml(const QString& AText, const QString& ASearch, const QString& ATag,
                               bool ACaseSensitive);

// The preparation before the layout (see the top of this file).
QString PrepareGraphicsHtml(const QString& AText);
// The first "<#" loses its "<" and the first ">" after it; later ones stay.
QString RemoveHashMarker(const QString& AText);
// Carriage returns as "<BR>", line feeds dropped.
QString GraphicsLineBreaksToHtml(const QString& AText);
// Position (0-based) in AText of its AIndex-th character (0-based) outside
// tags, "<BR>" and "<HR>" counting as the two characters of a line break;
// the text's length when it has fewer.
int VisibleCharToPos(const QString& AText, int AIndex);
