#pragma once
// The hint window of the grid's cell hints: renders the hint as mini-HTML
// (with the grid's images and picture container) or, for a wide-encoded
// hint, as one line of plain text in the cell's font; sizes itself to the
// text and stays on the monitor it opens on.

#include <QString>

#include "platform/vcl/Controls.h"

class TCustomImageList;
class TPictureContainer;

class THTMLHintWindow : public TCustomControl {
 public:
  explicit THTMLHintWindow(TComponent* AOwner);

  // The rectangle from (0, 0) the hint needs within MaxWidth (one line for
  // a wide-encoded hint).
  TRect CalcHintRect(int MaxWidth, const QString& AHint, TObject* AData);
  // Takes the images of AData when it is a grid, then activates.
  void ActivateHintData(TRect Rect, const QString& AHint, TObject* AData);
  // Shows the hint at Rect's top-left: measured within 1,008 pixels, 8 (wide
  // text) or 16 (mini-HTML) pixels wider and 4 higher than its text, moved
  // left or up to end 2 pixels inside the nearest monitor.
  void ActivateHint(TRect Rect, const QString& AHint);

  // The font name for wide-encoded hints (the grid sets its cell font's).
  void SetWideFontName(const QString& Name) { FWideFontName = Name; }
  const QString& WideFontName() const { return FWideFontName; }
  TCustomImageList* Images() const { return FImages; }
  TPictureContainer* PictureContainer() const { return FPictureContainer; }
  int TextWidth() const { return FTextWidth; }
  int TextHeight() const { return FTextHeight; }
  const QString& Hint() const { return FHintText; }
  // The hint colour the window is filled with.
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override;
  void Paint() override;

 private:
  bool IsWide(const QString& Hint) const;
  // Measures Hint into FTextWidth, FTextHeight (and FWideCaption).
  void Measure(const QString& Hint, int MaxWidth);

  TCustomImageList* FImages = nullptr;
  TPictureContainer* FPictureContainer = nullptr;
  int FTextHeight = 0;
  int FTextWidth = 0;
  QString FWideCaption;
  QString FWideFontName;
  QString FHintText;
  TColor FColor = clInfoBk;
};
