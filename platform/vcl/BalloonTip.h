#pragma once
// A balloon tooltip window, as the system's tooltip class makes it with the
// always-tip, no-prefix and balloon styles: owned by a control's window,
// topmost, never activated. It holds one tool (the owner's client area)
// whose text is asked for when the balloon shows (OnNeedText), a title with
// an icon (0 none, 1 information, 2 warning, 3 error), the initial, reshow
// and auto-pop delays, a maximum width and an opacity (a layered window
// below 255).
//
// Like a tool registered with subclassing, the tooltip follows the mouse
// over its owner's window by itself:
// - the mouse resting on the tool (no move for the initial delay) shows the
//   balloon 20 pixels below the mouse, after asking for the text; moves
//   while it shows keep it;
// - it goes after the auto-pop delay, and then stays away until the mouse
//   leaves the tool or the owner pops it;
// - the mouse leaving the tool, or a button pressed on it, hides it (and
//   cancels a balloon being timed);
// - Pop, the owner's request (when the mouse reached another part of the
//   owner that has other text), hides it; while the mouse stays on the tool
//   the next balloon is timed at once, with the reshow delay when one was
//   showing.
// Moves with a button held time nothing. All times run on the scheduler
// (platform/win32/Scheduler.h), so tests drive them with its manual clock.
//
// Not covered: several tools per window, tracking tooltips, the balloon's
// stem pointing at the tool.

#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/vcl/Controls.h"

class QWidget;

class TBalloonTip {
 public:
  // The system's delays in milliseconds, kept until set.
  static constexpr int kDefaultInitialDelay = 500;
  static constexpr int kDefaultReshowDelay = 100;
  static constexpr int kDefaultAutoPopDelay = 5000;
  static constexpr int kMaxTitle = 255;
  // How far below the mouse the balloon opens.
  static constexpr int kBelowCursor = 20;

  // Creates the window for Owner; Created() tells whether there is one
  // (an owner without a window gives none).
  explicit TBalloonTip(TWinControl* Owner);
  ~TBalloonTip();
  TBalloonTip(const TBalloonTip&) = delete;
  TBalloonTip& operator=(const TBalloonTip&) = delete;

  bool Created() const { return FWindow != nullptr; }
  // Registers the owner's client area as the one tool and starts following
  // the mouse over it; false (and no tool) without the owner's window or
  // the tooltip window. The tool is the whole client area as it is at any
  // time (ToolRect is the rectangle at registration).
  bool AddTool();
  bool HasTool() const { return FHasTool; }
  TRect ToolRect() const { return FToolRect; }
  // The title, cut to 255 characters; icons other than 0 to 3 become 0.
  void SetTitle(const QString& Title, int Icon);
  const QString& Title() const { return FTitle; }
  int Icon() const { return FIcon; }

  int InitialDelay() const { return FInitialDelay; }
  void SetInitialDelay(int Value) { FInitialDelay = Value; }
  int ReshowDelay() const { return FReshowDelay; }
  void SetReshowDelay(int Value) { FReshowDelay = Value; }
  int AutoPopDelay() const { return FAutoPopDelay; }
  void SetAutoPopDelay(int Value) { FAutoPopDelay = Value; }
  // The widest the balloon grows, in pixels; the text wraps inside it. -1
  // (the start): only the text's own line breaks end lines.
  int MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int Value) { FMaxWidth = Value; }
  // 255 opaque; below, the window is layered with that opacity.
  int Opacity() const { return FOpacity; }
  void SetOpacity(int Value);
  bool Layered() const { return FOpacity < 255; }
  // clNone keeps the system's colours.
  void SetColors(TColor Text, TColor Background);
  TColor TextColor() const { return FTextColor; }
  TColor BackgroundColor() const { return FBackgroundColor; }

  // Asked for the tool's text when the balloon shows; an empty text shows
  // nothing. The handler may set the title, the colours and the maximum
  // width for this balloon; MousePos tells where the mouse rests.
  std::function<QString()> OnNeedText;
  // Shows the balloon with its corner at a screen point now; hides it.
  void Popup(const TPoint& ScreenPos);
  void Hide();
  // The owner's request to take the balloon away (see above).
  void Pop();
  bool Visible() const;
  // A balloon is being timed (the mouse rests on the tool).
  bool Pending() const { return FShowTimer != 0; }
  const QString& Text() const { return FText; }
  QWidget* Window() const { return FWindow.data(); }
  // The mouse in the owner's client coordinates, as last seen over it.
  TPoint MousePos() const { return FMousePos; }

 private:
  class TWatcher;
  friend class TWatcher;
  // What the watcher sees of the owner's mouse.
  void OwnerMouseMove(const TPoint& ScreenPos, bool ButtonHeld);
  void OwnerButtonDown();
  void OwnerLeave();
  // Starts (or restarts) timing the next balloon.
  void TimeShow(int Delay);
  void StopTimer(uint64_t& Timer);
  // The show timer ran out: ask for the text and show it below the mouse.
  void ShowTimed();
  void AutoPop();
  bool MouseOnTool() const;

  TWinControl* FOwner;
  QPointer<QWidget> FWindow;
  std::unique_ptr<TWatcher> FWatcher;
  QPointer<QWidget> FWatched;
  bool FHasTool = false;
  TRect FToolRect;
  QString FTitle;
  int FIcon = 0;
  int FInitialDelay = kDefaultInitialDelay;
  int FReshowDelay = kDefaultReshowDelay;
  int FAutoPopDelay = kDefaultAutoPopDelay;
  int FMaxWidth = -1;
  int FOpacity = 255;
  TColor FTextColor = TColor(0x1FFFFFFF);
  TColor FBackgroundColor = TColor(0x1FFFFFFF);
  QString FText;
  TPoint FMousePos{-1, -1};
  TPoint FMouseScreen{-1, -1};
  bool FMouseIn = false;
  // Auto-popped: no balloon until the mouse leaves or the owner pops.
  bool FAutoPopped = false;
  // The owner popped a showing balloon: the next one waits the reshow delay.
  bool FReshow = false;
  uint64_t FShowTimer = 0;
  uint64_t FPopTimer = 0;
};
