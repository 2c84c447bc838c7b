#pragma once
// Test support for code that needs windows: shows and activates forms on the
// offscreen platform, delivers keys, typed text, clicks, double clicks,
// drags and the wheel the way the window system does (mouse and wheel at a
// point of the top-level window, keys to the focus window), so that Qt
// routes them as it routes real input: to the child widget under the point
// (an editor's viewport, a scroll bar, an open menu), to the widget holding
// the mouse while a button is down, to the focus widget; then the whole path
// runs (Qt event, translator, dialog keys, window procedure). It pumps the
// framework's message queue, records messages, invalidated rectangles and
// seam calls, drives the manual clock and grabs controls as images.

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QWidget;

#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/FakeShell.h"

namespace vcltest {

// --- event loop -------------------------------------------------------------

// Delivers every posted message and pending Qt event.
void Pump();
// Shows the form, activates its window and waits (bounded) until Qt reports
// it active, so focus events flow.
bool ShowAndActivate(TCustomForm* Form);

// --- keyboard (to the focus window: the focus widget, an open menu) ---------

// Presses and releases a key; the modifiers in Shift are pressed before it
// and released after it, as separate key events.
void Key(WORD Vk, TShiftState Shift = TShiftState());
void KeyDown(WORD Vk, TShiftState Shift = TShiftState());
void KeyUp(WORD Vk, TShiftState Shift = TShiftState());
// The keypad form of a key (VK_NUMPAD0..9, VK_DECIMAL, arrows without the
// extended flag).
void KeypadKey(WORD Vk);
// Types each character as a press and release of its key (shift set for
// upper case and shifted signs on the US layout).
void Type(const QString& Text);

// --- mouse (X, Y in the control's client coordinates; delivered to whatever
// is at that point of the window, as a real click is) -------------------------

void MouseDown(TControl* Control, int X, int Y, TMouseButton Button = mbLeft, TShiftState Shift = TShiftState());
void MouseUp(TControl* Control, int X, int Y, TMouseButton Button = mbLeft, TShiftState Shift = TShiftState());
void MouseMove(TControl* Control, int X, int Y, TShiftState Shift = TShiftState());
void Click(TControl* Control, int X, int Y, TMouseButton Button = mbLeft, TShiftState Shift = TShiftState());
// Two clicks as Qt delivers them (press, release, press, double-click,
// release), without time passing in between.
void DblClick(TControl* Control, int X, int Y, TMouseButton Button = mbLeft, TShiftState Shift = TShiftState());
// Press at From, Steps moves to To, release at To.
void Drag(TControl* Control, TPoint From, TPoint To, int Steps = 4, TMouseButton Button = mbLeft);
// Notches of 120 (positive: away from the user) over the point.
void Wheel(TControl* Control, int Notches, int X, int Y, TShiftState Shift = TShiftState());
// A raw wheel delta (high-resolution wheels send parts of a notch).
void WheelDelta(TControl* Control, int Delta, int X, int Y);

// --- Qt widgets that are no control (a form's menu bar, an open menu, a
// control's scroll bar), X, Y in the widget's coordinates -----------------------

void ClickWidget(QWidget* Widget, int X, int Y, TMouseButton Button = mbLeft);
void WheelWidget(QWidget* Widget, int Notches, int X, int Y);
// Clicks a menu item where the user sees it: an entry of its form's menu
// bar, or an item of its parent's open menu. False when it is not shown.
bool ClickMenuItem(TMenuItem* Item);
// The innermost open menu (a pop-up), nullptr when none is open.
QMenu* OpenMenu();

// --- clock ---------------------------------------------------------------------

// Puts the scheduler on the manual clock for its lifetime.
class TManualClock {
 public:
  explicit TManualClock(uint64_t StartMs = 1000000);
  ~TManualClock();
  // Moves the clock, firing timers, then pumps.
  int Advance(uint64_t Ms);
  uint64_t Now() const;
};

// --- recorders -----------------------------------------------------------------

struct TLoggedMessage {
  QString Control;
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};

// Records the messages reaching the window procedures of attached controls,
// in the order they arrive. Detaches itself from controls still alive.
class TMessageLog {
 public:
  TMessageLog();
  ~TMessageLog();
  void Attach(TControl* Control, const QString& Name = QString());
  void Clear() { FEntries.clear(); }
  const std::vector<TLoggedMessage>& Entries() const { return FEntries; }
  // "name MESSAGE wparam" for each entry whose id is in Only (all when
  // empty). Focus messages show the other window's control name ("-" for
  // none) instead of the handle; CN_/CM_/WM_ names come from MessageName.
  QStringList Lines(const QList<UINT>& Only = {}) const;
  // Lines without the mouse-move, cursor and paint traffic.
  QStringList Significant() const;

 private:
  class TWatcher;
  struct THook {
    TControl* Control;
    TWndMethod Previous;
  };
  std::unique_ptr<TWatcher> FWatcher;
  std::vector<THook> FHooks;
  std::vector<TLoggedMessage> FEntries;
};

// Records InvalidateRect calls (the whole client area as an empty rect).
class TInvalidationLog {
 public:
  TInvalidationLog();
  ~TInvalidationLog();
  struct TEntry {
    HWND Window;
    TRect Rect;
    bool Whole;
  };
  const std::vector<TEntry>& Entries() const { return FEntries; }
  int CountFor(HWND Window) const;
  void Clear() { FEntries.clear(); }

 private:
  std::vector<TEntry> FEntries;
};

// Replaces the desktop services for its lifetime: message boxes and input
// queries are answered from Dialogs.Answers (else their default button), file
// dialogs return Files.Answers (else cancel), shell calls and beeps are
// recorded by Shell. Each records the requests it got.
struct TSeamRecorder {
  testsupport::FakeMessageDialogs Dialogs;
  testsupport::FakeFileDialogs Files;
  testsupport::FakeShell Shell;
};

// --- images ----------------------------------------------------------------------

// What the control shows (a windowless control: its part of the parent).
QImage Grab(TControl* Control);
bool GrabToPng(TControl* Control, const QString& FileName);

}  // namespace vcltest
