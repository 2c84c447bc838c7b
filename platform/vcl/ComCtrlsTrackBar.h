#pragma once
// The track bar: a thumb that slides along a channel between Min and Max.
//
// Rules map
// - Values: Position lies in Min..Max (0..10 when made). A Min above Max
//   (or a Max below Min) is refused: the old value stays (while the bar is
//   read from a stream the values are taken in any order and checked
//   once it is loaded). Changing the
//   range pulls the position inside it. LineSize (1) is the step of the
//   arrow keys, PageSize (2) the step of Page Up, Page Down and of a click
//   on the channel; a step of 0 or less moves nothing.
// - OnChange runs after every change of Position, by the user or by the
//   program, once per change (a step that leaves the position where it was
//   runs none).
// - Everything goes through the control's messages as on Win32: the
//   setters send TBM_SETPOS, TBM_SETRANGEMIN, TBM_SETRANGEMAX,
//   TBM_SETTICFREQ, TBM_SETPAGESIZE, TBM_SETLINESIZE, TBM_SETSELSTART,
//   TBM_SETSELEND and TBM_SETTHUMBLENGTH, the getters read with TBM_GET*.
//   TBM_SETRANGE, TBM_SETSEL, TBM_CLEARSEL, TBM_SETTIC, TBM_CLEARTICS,
//   TBM_GETNUMTICS, TBM_GETTIC, TBM_GETTICPOS, TBM_GETTHUMBRECT and
//   TBM_GETCHANNELRECT answer too.
// - The user's moves notify the parent with WM_HSCROLL (horizontal) or
//   WM_VSCROLL (vertical), the code in the low word, the position in the
//   high word for TB_THUMBTRACK and TB_THUMBPOSITION, the track bar's
//   handle in LParam; the parent reflects them back (CN_HSCROLL /
//   CN_VSCROLL) and the track bar runs OnChange there when the position
//   moved:
//     Left/Up       TB_LINEUP     Position - LineSize
//     Right/Down    TB_LINEDOWN   Position + LineSize
//     Page Up       TB_PAGEUP     Position - PageSize
//     Page Down     TB_PAGEDOWN   Position + PageSize
//     Home, End     TB_TOP, TB_BOTTOM   Min, Max
//     thumb drag    TB_THUMBTRACK per move, TB_THUMBPOSITION on release
//     channel click TB_PAGEUP / TB_PAGEDOWN toward the click, repeated
//                   after 400 ms and every 100 ms while held, until the
//                   thumb reaches the pointer
//   and the release of the key or of the mouse button sends TB_ENDTRACK.
//   The minimum is at the left (horizontal) or the top (vertical).
// - Geometry: the thumb is ThumbLength (20) pixels across the channel and
//   ThumbLength / 2 + 1 along it; its centre runs from 8 + half its width
//   to the client width - 8 - half its width - 1 (heights for a vertical
//   bar), the position mapped linearly (Min at the start). Ticks
//   (TickStyle tsAuto) stand at Min, every Frequency (1) after it and at
//   Max, on the side TickMarks says; tsManual shows Min, Max and the ticks
//   set with SetTick; tsNone none. A Frequency of 0 or less leaves only
//   the ticks at the ends. SelStart..SelEnd (ShowSelRange) is drawn in the
//   channel. SliderVisible off hides the thumb (clicks still page).
// - A windowed control of its own painting (150 x 45, a tab stop), in the
//   active style's colours; it takes the focus on a click and shows it
//   with a focus rectangle.
//
// Not covered: the position tool tip (PositionToolTip), reversed ranges
// (TBS_REVERSED), buddy windows (TBM_SETBUDDY), and the mouse wheel.

#include <QList>
#include <functional>

#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/ExtCtrlsBase.h"

enum TTrackBarOrientation { trHorizontal, trVertical };
TF_ENUM_NAMES(TTrackBarOrientation, trHorizontal, trVertical)
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
TF_ENUM_NAMES(TTickMark, tmBottomRight, tmTopLeft, tmBoth)
enum TTickStyle { tsNone, tsAuto, tsManual };
TF_ENUM_NAMES(TTickStyle, tsNone, tsAuto, tsManual)

class TTrackBar : public TCustomControl {
 public:
  TF_DECLARE_MESSAGES(TTrackBar)
  TF_DECLARE_PUBLISHED(TTrackBar)
  explicit TTrackBar(TComponent* AOwner);
  ~TTrackBar() override;

  int Min() const { return int(Send(TBM_GETRANGEMIN, 0, 0)); }
  void SetMin(int Value) { Perform(TBM_SETRANGEMIN, 1, Value); }
  int Max() const { return int(Send(TBM_GETRANGEMAX, 0, 0)); }
  void SetMax(int Value) { Perform(TBM_SETRANGEMAX, 1, Value); }
  int Position() const { return int(Send(TBM_GETPOS, 0, 0)); }
  void SetPosition(int Value) { Perform(TBM_SETPOS, 1, Value); }
  int Frequency() const { return FFrequency; }
  void SetFrequency(int Value) { Perform(TBM_SETTICFREQ, WPARAM(Value), 0); }
  int LineSize() const { return int(Send(TBM_GETLINESIZE, 0, 0)); }
  void SetLineSize(int Value) { Perform(TBM_SETLINESIZE, 0, Value); }
  int PageSize() const { return int(Send(TBM_GETPAGESIZE, 0, 0)); }
  void SetPageSize(int Value) { Perform(TBM_SETPAGESIZE, 0, Value); }
  int SelStart() const { return int(Send(TBM_GETSELSTART, 0, 0)); }
  void SetSelStart(int Value) { Perform(TBM_SETSELSTART, 1, Value); }
  int SelEnd() const { return int(Send(TBM_GETSELEND, 0, 0)); }
  void SetSelEnd(int Value) { Perform(TBM_SETSELEND, 1, Value); }
  int ThumbLength() const { return int(Send(TBM_GETTHUMBLENGTH, 0, 0)); }
  void SetThumbLength(int Value) { Perform(TBM_SETTHUMBLENGTH, WPARAM(Value), 0); }
  TTrackBarOrientation Orientation() const { return FOrientation; }
  // Turns the bar on its side (width and height swap).
  void SetOrientation(TTrackBarOrientation Value);
  TTickMark TickMarks() const { return FTickMarks; }
  void SetTickMarks(TTickMark Value);
  TTickStyle TickStyle() const { return FTickStyle; }
  void SetTickStyle(TTickStyle Value);
  bool ShowSelRange() const { return FShowSelRange; }
  void SetShowSelRange(bool Value);
  bool SliderVisible() const { return FSliderVisible; }
  void SetSliderVisible(bool Value);
  // A tick at Value (tsManual); ignored outside Min..Max.
  void SetTick(int Value) { Perform(TBM_SETTIC, 0, Value); }

  // Where things are (client coordinates).
  TRect ThumbRect() const;
  TRect ChannelRect() const;
  // The pixel along the channel where a position's thumb centre is.
  int PositionToPixel(int Value) const;
  // The positions ticks are drawn at, in order.
  QList<int> TickPositions() const;

  // Read from a stream: the range checked and the position pulled in.
  void Loaded() override;

  TNotifyEvent OnChange;

 protected:
  virtual void Changed();
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  void TBMGet(TMessage& Message);
  void TBMSetPos(TMessage& Message);
  void TBMSetRange(TMessage& Message);
  void TBMSetRangeMin(TMessage& Message);
  void TBMSetRangeMax(TMessage& Message);
  void TBMSetTicFreq(TMessage& Message);
  void TBMSetPageSize(TMessage& Message);
  void TBMSetLineSize(TMessage& Message);
  void TBMSetSel(TMessage& Message);
  void TBMSetSelStart(TMessage& Message);
  void TBMSetSelEnd(TMessage& Message);
  void TBMClearSel(TMessage& Message);
  void TBMSetTic(TMessage& Message);
  void TBMClearTics(TMessage& Message);
  void TBMSetThumbLength(TMessage& Message);
  void TBMGetRect(TMessage& Message);
  void CNScroll(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMKeyDown(TMessage& Message);
  void WMKeyUp(TMessage& Message);
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);

 private:
  LRESULT Send(UINT Msg, WPARAM W, LPARAM L) const { return const_cast<TTrackBar*>(this)->Perform(Msg, W, L); }
  // Moves to Value (clamped) as the user did, and tells the parent.
  void UserMove(int Value, WORD Code);
  void Notify(WORD Code);
  // Being read from a stream: the range is taken as it comes.
  bool Loading() const;
  // Sets the position; runs OnChange when it moved.
  void ChangePosition(int Value);
  int PixelToPosition(int Pixel) const;
  // Along the channel: the first and last thumb centre.
  int FirstPixel() const;
  int LastPixel() const;
  int ThumbWidth() const { return FThumbLength / 2 + 1; }
  int ThumbTop() const;
  bool Horizontal() const { return FOrientation == trHorizontal; }
  void PageTowardPointer();
  void StopPaging();

  int FMin = 0;
  int FMax = 10;
  int FPosition = 0;
  int FReported = 0;  // the position OnChange last reported
  int FFrequency = 1;
  int FLineSize = 1;
  int FPageSize = 2;
  int FSelStart = 0;
  int FSelEnd = 0;
  int FThumbLength = 20;
  TTrackBarOrientation FOrientation = trHorizontal;
  TTickMark FTickMarks = tmBottomRight;
  TTickStyle FTickStyle = tsAuto;
  bool FShowSelRange = true;
  bool FSliderVisible = true;
  QList<int> FTicks;  // ticks set with TBM_SETTIC
  // Mouse
  bool FDragging = false;
  int FDragOffset = 0;
  bool FPaging = false;
  TPoint FPointer;
  bool FKeyStepping = false;
  TTimer* FPageTimer = nullptr;
  int FStyleListener = 0;
};
