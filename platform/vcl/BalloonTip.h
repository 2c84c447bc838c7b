#pragma once
// A balloon tooltip window, as the system's tooltip class makes it with the
// always-tip, no-prefix and balloon styles: owned by a control's window,
// topmost, never activated. It holds one tool (the owner's client area)
// whose text is asked for when the balloon shows (OnNeedText), a title with
// an icon (0 none, 1 information, 2 warning, 3 error), the initial, reshow
// and auto-pop delays, and an opacity (a layered window below 255).
//
// Not covered: several tools per window, tracking tooltips, the balloon's
// stem pointing at the tool.

#include <QPointer>
#include <QString>
#include <functional>

#include "platform/vcl/Controls.h"

class QWidget;

class TBalloonTip {
 public:
  // The system's delays in milliseconds, kept until set.
  static constexpr int kDefaultInitialDelay = 500;
  static constexpr int kDefaultReshowDelay = 100;
  static constexpr int kDefaultAutoPopDelay = 5000;
  static constexpr int kMaxTitle = 255;

  // Creates the window for Owner; Created() tells whether there is one
  // (an owner without a window gives none).
  explicit TBalloonTip(TWinControl* Owner);
  ~TBalloonTip();
  TBalloonTip(const TBalloonTip&) = delete;
  TBalloonTip& operator=(const TBalloonTip&) = delete;

  bool Created() const { return FWindow != nullptr; }
  // Registers the owner's client rectangle as the one tool; false (and no
  // tool) without the owner's window or the tooltip window.
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
  // 255 opaque; below, the window is layered with that opacity.
  int Opacity() const { return FOpacity; }
  void SetOpacity(int Value);
  bool Layered() const { return FOpacity < 255; }
  // clNone keeps the system's colours.
  void SetColors(TColor Text, TColor Background);
  TColor TextColor() const { return FTextColor; }
  TColor BackgroundColor() const { return FBackgroundColor; }

  // Asked for the tool's text when the balloon shows; an empty text shows
  // nothing.
  std::function<QString()> OnNeedText;
  // Shows the balloon with its tip at a screen point; hides it.
  void Popup(const TPoint& ScreenPos);
  void Hide();
  bool Visible() const;
  const QString& Text() const { return FText; }
  QWidget* Window() const { return FWindow.data(); }

 private:
  TWinControl* FOwner;
  QPointer<QWidget> FWindow;
  bool FHasTool = false;
  TRect FToolRect;
  QString FTitle;
  int FIcon = 0;
  int FInitialDelay = kDefaultInitialDelay;
  int FReshowDelay = kDefaultReshowDelay;
  int FAutoPopDelay = kDefaultAutoPopDelay;
  int FOpacity = 255;
  TColor FTextColor = TColor(0x1FFFFFFF);
  TColor FBackgroundColor = TColor(0x1FFFFFFF);
  QString FText;
};
