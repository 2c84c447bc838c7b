#pragma once
// Support of the desktop tests: a virtual X display of the test's own (Xvfb
// on a display number it picks itself, with the openbox window manager),
// real X input through xdotool, screenshots of the whole screen with
// ImageMagick's import, and the demo on that display with the state report
// it keeps for tests (TALLOWFINCH_DEMO_STATE). Every wait has a time-out and
// polls its condition; nothing waits a fixed time.

#include <QImage>
#include <QJsonObject>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "tests/support/PixelProbes.h"
#include "tests/support/TestSupport.h"

namespace desktoptest {

// Checks Done every 50 ms until it answers true (true) or the time is up
// (false).
bool WaitFor(const std::function<bool()>& Done, int TimeoutMs);

// Xvfb and openbox, ended (and waited for) with the object.
class TDisplay {
 public:
  TDisplay(int Width = 1280, int Height = 800);
  ~TDisplay();
  // The display is up and its window manager answers.
  bool Ready() const { return FReady; }
  QString Name() const { return FName; }
  // The environment of a program on this display (DISPLAY set, the offscreen
  // platform of the test process left out).
  QProcessEnvironment Environment() const;
  // Runs xdotool; true when it exited with 0 within the time. Its standard
  // output goes to Out.
  bool XDo(const QStringList& Args, QString* Out = nullptr, int TimeoutMs = 15000) const;
  // Real input: the pointer moves to the screen point first.
  bool Click(QPoint Screen, int Button = 1) const;
  bool Wheel(QPoint Screen, int Notches) const;  // positive: away from the user (up)
  bool Keys(const QString& Keys) const;         // xdotool key names, "ctrl+a Return"
  bool Type(const QString& Text) const;
  // Raises and focuses the top-level window titled Title (the window
  // system may add " — program" to it).
  bool Activate(const QString& Title) const;
  // The whole screen as PNG; also answered as an image (null on failure).
  QImage Screenshot(const QString& File) const;
  QString Log() const;

 private:
  QProcess FXvfb;
  QProcess FWm;
  QString FName;
  bool FReady = false;
};

// The demo on a display: its own home (settings), runtime folder, output
// folder and state report.
class TDemo {
 public:
  TDemo(const TDisplay& Display, const QString& Folder);
  ~TDemo();
  bool Running() const { return FProcess.state() == QProcess::Running; }
  // The last state the demo reported (empty before its first report).
  QJsonObject State() const;
  // Waits until the reported state passes Check.
  bool WaitForState(const std::function<bool(const QJsonObject&)>& Check, int TimeoutMs);
  QString Log();
  qint64 Pid() const { return FProcess.processId(); }

 private:
  QProcess FProcess;
  QString FStateFile;
  QString FLog;
};

// A rectangle of the state report ([x, y, width, height] in screen
// coordinates); null when missing.
QRect RectOf(const QJsonValue& Value);
// The rectangle of a named control of the main window.
QRect ControlRect(const QJsonObject& State, const QString& Name);
// The reported item of the open menu or of the menu bar with that text
// (empty object when none).
QJsonObject MenuItem(const QJsonObject& State, const QString& List, const QString& Text);

// The folder keeping the screenshots of one test: <build>/tests/desktop/
// screenshots/<test>.
QString ScreenshotFolder(const QString& Test);

// Legibility of an area: tests/support/PixelProbes.h.
using probe::Legibility;
using probe::TLegibility;

}  // namespace desktoptest
