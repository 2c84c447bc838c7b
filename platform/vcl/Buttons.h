#pragma once
// Speed buttons: TSpeedButton, a windowless push button with a glyph and a
// caption, and TTimerSpeedButton, a speed button that clicks again and again
// while it is held down.
//
// Rules map
// - A speed button has no window and never takes the focus: its parent
//   paints it and routes the mouse to it (TGraphicControl). A left press
//   captures the mouse (csCaptureMouse) until the release.
// - Press and release: the press shows the button pressed; moving off it
//   while the button is held shows it up again, moving back shows it
//   pressed. The release over the button clicks it (OnClick) once, after
//   the pressed look is gone; a release elsewhere does not click. Only the
//   left button presses; a disabled button does nothing.
// - Groups: GroupIndex 0 (the default) makes a plain button: Down cannot
//   be set and stays False. A button with a GroupIndex stays down after a
//   click; putting one button of a group down (by a click or by Down)
//   releases the others of the same GroupIndex on the same parent. A click
//   on a button that is down releases it only with AllowAllUp (set for the
//   whole group at once); without it the click still runs OnClick. Setting
//   Down runs no OnClick.
// - Look: Flat shows no frame unless the mouse is over the button or it is
//   pressed or down. The face, frame and text follow the active style
//   (StyleServices push-button elements, its button text colours) and
//   repaint when the style changes.
// - Glyph: a bitmap holding NumGlyphs (1..4) images side by side: up,
//   disabled, clicked, down. A missing image falls back to the up image
//   (a disabled button without its own image draws the up image faded).
//   The bitmap's bottom-left pixel is the transparent colour. Layout puts
//   the glyph left of, right of, above or below the caption; Margin (-1:
//   centred) is the distance from the edge the glyph is at, Spacing (4) the
//   one between glyph and caption.
// - Auto-repeat (TTimerSpeedButton, with tbAllowTimer in TimeBtnState, the
//   default): a press starts the repeat timer at 400 ms; each tick sets it
//   to 100 ms and, while the button is still shown pressed and holds the
//   mouse capture, clicks it again (the release clicks once more, as any
//   speed button). The release stops the timer; so does an exception from
//   the click, which goes on to the application's exception handler. The
//   timer is a TTimer, on the program's one scheduler (a test's manual clock
//   drives it). tbFocusRect draws a focus rectangle 3 pixels inside the
//   button.
//
// Not covered: glyphs from image lists (Images/ImageIndex), the
// transparent look (Transparent draws the face like an opaque button),
// right-to-left layout, actions, and hot glyphs.

#include <QString>
#include <memory>

#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/ExtCtrlsBase.h"
#include "platform/vcl/Graphics.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
TF_ENUM_NAMES(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)

// The look a speed button is drawn in.
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
TF_ENUM_NAMES(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive)

using TNumGlyphs = int;

class TSpeedButton : public TGraphicControl {
 public:
  TF_DECLARE_MESSAGES(TSpeedButton)
  TF_DECLARE_PUBLISHED(TSpeedButton)
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;

  // 0: a plain button; the same non-zero index makes a group of the
  // buttons on one parent.
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool Down() const { return FDown; }
  // Ignored while GroupIndex is 0; releasing the down button of a group
  // needs AllowAllUp.
  void SetDown(bool Value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  // The glyph bitmap (copied in; a null or empty bitmap removes it).
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  // 1..4; other values are ignored.
  TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(TNumGlyphs Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  int Margin() const { return FMargin; }
  void SetMargin(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);

  // The look the button has now.
  TButtonState State() const { return FState; }
  // The mouse is over the button.
  bool MouseInControl() const { return FMouseInControl; }
  // Runs OnClick.
  void Click() override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  // CM_BUTTONPRESSED from a button of the same group that went down
  // (WParam: the group, LParam: the button).
  void CMButtonPressed(TMessage& Message);
  // The button went down: tells the others of its group.
  void UpdateExclusive();
  // The glyph image for a look (null without a glyph).
  QImage GlyphImage(TButtonState State) const;

  TButtonState FState = bsUp;
  bool FDragging = false;  // the left button went down on the button

 private:
  int FGroupIndex = 0;
  bool FDown = false;
  bool FAllowAllUp = false;
  bool FFlat = false;
  bool FTransparent = true;
  bool FMouseInControl = false;
  std::unique_ptr<TBitmap> FGlyph;
  TNumGlyphs FNumGlyphs = 1;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 4;
  int FStyleListener = 0;
};

// What a timer speed button does: tbFocusRect draws a focus rectangle,
// tbAllowTimer repeats the click while the button is held.
enum TTimeBtnStateItem { tbFocusRect, tbAllowTimer };
TF_ENUM_NAMES(TTimeBtnStateItem, tbFocusRect, tbAllowTimer)
using TTimeBtnState = TSet<TTimeBtnStateItem>;

class TTimerSpeedButton : public TSpeedButton {
 public:
  TF_DECLARE_PUBLISHED(TTimerSpeedButton)
  explicit TTimerSpeedButton(TComponent* AOwner);
  ~TTimerSpeedButton() override;

  // The delays of the repeat.
  static constexpr Cardinal InitRepeatPause = 400;
  static constexpr Cardinal RepeatPause = 100;

  TTimeBtnState TimeBtnState() const { return FTimeBtnState; }
  void SetTimeBtnState(TTimeBtnState Value);
  // The repeat timer (null until the first press that starts it).
  TTimer* RepeatTimer() const { return FRepeatTimer; }

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void TimerExpired();

 private:
  TTimer* FRepeatTimer = nullptr;  // owned by the button (a component it owns)
  TTimeBtnState FTimeBtnState{tbAllowTimer};
};
