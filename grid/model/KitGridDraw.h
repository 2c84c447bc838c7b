#pragma once
// Drawing routines the grid's cell painter, its printed cells and the
// drop-down lists share: gradient fills, the rounded selection frame, colour
// arithmetic, cell buttons, drop-down and spin buttons, progress bars and
// pies, range indicators, cell shapes, error marks, scaled transparent
// glyphs and alpha bitmaps. They draw with the canvas's pen and brush, which
// they leave changed, and keep no state.
//
// Colours are TColor (0x00BBGGRR); clNone (0x1FFFFFFF) is no colour. System
// colours are resolved to RGB wherever a routine computes with channels.
//
// Button kinds: 0 the platform theme, 1 classic frame controls, 2 flat frame
// controls, 3 the colour tones. Button states: 0 normal, 1 hot, 2 down, 3
// disabled.

#include <QString>

#include "foundation/KitStyles.h"
#include "grid/model/KitGridTypes.h"
#include "platform/vcl/Graphics.h"

class TWinControl;
class TGridProgressAppearance;

// A two-colour gradient of Steps + 1 bands (Steps limited to 1 .. length - 1)
// from ColorFrom to ColorTo, left to right when Horizontal, else top to
// bottom. With one colour none the rectangle is filled with the other; a
// rectangle one pixel long is filled with ColorFrom.
void FillGradientRect(TCanvas* Canvas, TColor ColorFrom, TColor ColorTo, bool Horizontal, TRect R, int Steps);
// A solid fill of Color (one pixel taller), a Color-to-ColorTo gradient, or
// two halves (Color to ColorTo, ColorMirror to ColorMirrorTo) in 128 steps
// each; then a border (only the sides with SidesOnly) unless BorderColor is
// none.
void FillMirrorGradientRect(TCanvas* Canvas, TRect R, TColor Color, bool Fill, bool SidesOnly, TColor BorderColor,
                            bool Vertical, TColor ColorMirrorTo, TColor ColorMirror, TColor ColorTo);
// Color1 when Color2 is none; else each channel moves from Color1 towards
// Color2 by Pos of (Max - Min); Color1 when Max equals Min.
TColor InterpolateColor(TColor Color1, TColor Color2, int Min, int Pos, int Max);
// Every channel halved.
TColor HalfBrightColor(TColor Color);
// Every channel changed by Percent of itself, limited to 0 .. 255.
TColor ChangeColorPercent(TColor Color, int Percent);
void FillRectColor(TCanvas* Canvas, const TRect& R, TColor Color);

// The rounded selection frame of one cell (Part 0) or of the left end (1),
// right end (2) or middle (3) of a row of selected cells.
void DrawSelectionFrame(TCanvas* Canvas, TColor Color, TColor ColorTo, int Part, TRect R, TColor OuterCornerColor,
                        TColor InnerCornerColor, TColor OuterColor, TColor LowerInnerColor, TColor UpperInnerColor,
                        TColor ColorMirrorTo, TColor ColorMirror);

// A push button with an optional one-line caption, centred.
void DrawCellButton(TCanvas* Canvas, TWinControl* Window, TRect R, const QString& Caption, bool ShowAccelerator,
                    const TColorTones& Tones, int State, int Kind);
// A drop-down button round(16 * Scale) wide at the right of R.
void DrawDropDownButton(TCanvas* Canvas, TWinControl* Window, TRect R, double Scale, const TColorTones& Tones,
                        int State, int Kind);
// Up and down halves round(15 * Scale) wide at the right of R.
void DrawSpinButtons(TCanvas* Canvas, TWinControl* Window, TRect R, double Scale, const TColorTones& Tones,
                     int State, int Kind);
// A filled triangle (X - 3, Y), (X + 3, Y), (X, Y + 3).
void DrawDropDownArrow(TCanvas* Canvas, int X, int Y, TColor Color);
// A 32-bit premultiplied bitmap alpha-blended at (X, Y); others drawn as
// they are.
void DrawAlphaBitmap(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap);
// The bitmap at Scale on BackColor (its top-left pixel's colour is the
// transparent one at scale 1) at R's top-left corner.
void DrawScaledTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, TColor BackColor, double Scale, const TRect& R);
// A red wavy line under the characters Start .. Start + Count - 1 of Text as
// a one-line edit of R's size lays them out.
void DrawErrorMarker(TCanvas* Canvas, const QString& Text, int Count, int Start, int YOffset, const TRect& R);
// A bar from the middle of R (inset 2) to Value of Range; Value limited to
// -Range .. Range. Range 0 draws no bar.
void DrawRangeIndicator(TCanvas* Canvas, TRect R, int Value, TColor PositiveColor, TColor NegativeColor,
                        bool ShowValue, int Range);
// The text DrawProgressBar shows and its percentage (0 .. 100).
QString ProgressBarText(const QString& FormatText, int Divider, int Max, int Min, double Value, int& Percent);
// The classic cell progress bar.
void DrawProgressBar(TCanvas* Canvas, TRect R, TColor Color, bool TextLow, TColor FrameColor,
                     const QString& FormatText, int Divider, int Max, int Min, int MarginY, int MarginX,
                     double Value, TColor RemainingFontColor, TColor RemainingColor, TColor FontColor);
// A pie of Percent in Color inside a grey ellipse.
void DrawProgressPie(TCanvas* Canvas, const TRect& R, TColor Color, bool SeedAbove, int Percent);
// The level-coloured progress bar of the progress appearance.
void DrawCellProgress(TCanvas* Canvas, TRect R, int Percent, TGridProgressAppearance* Appearance,
                      TColor BackColor, bool Vertical, TFont* Font, TColor FontColor);
// A cell shape in PenColor and BrushColor.
void DrawCellShape(TCanvas* Canvas, int Left, int Top, TColor PenColor, TColor BrushColor, TCellShape Shape,
                   int Height, int Width);
// The outline points of a polygon shape (empty for the shapes that are not
// polygons).
QVector<TPoint> CellShapePoints(int Left, int Top, TCellShape Shape, int Height, int Width);

// Color1 when Percent >= 100; Color2 when Percent <= 0 or Color1 is none;
// Color1 when Color2 is none; else each channel Percent of Color1 and the
// rest of Color2, rounded.
TColor MixColorPercent(TColor Color1, TColor Color2, int Percent);
// MixColorPercent when Mix is on, else Color1.
TColor MixSelectionColor(TColor Color1, TColor Color2, bool Mix, int Percent);
