#include "tests/desktop/DesktopSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <iostream>
#include <map>
#include <unistd.h>

#include "platform/rtl/ProcessStart.h"

namespace desktoptest {

namespace {

bool IsRoot() { return ::geteuid() == 0; }

// Ends a process started in a group of its own, with its children (the
// browser engine's helpers): politely first, then for good.
void EndGroup(QProcess& Process) {
  if (Process.state() == QProcess::NotRunning) return;
  const pid_t group = pid_t(Process.processId());
  if (group > 0) ::kill(-group, SIGTERM);
  if (!Process.waitForFinished(10000) && group > 0) {
    ::kill(-group, SIGKILL);
    Process.waitForFinished(5000);
  }
}

void OwnGroup(QProcess& Process) {
  Process.setChildProcessModifier([] { ::setpgid(0, 0); });
}

}  // namespace

bool WaitFor(const std::function<bool()>& Done, int TimeoutMs) {
  QElapsedTimer timer;
  timer.start();
  for (;;) {
    if (Done()) return true;
    if (timer.elapsed() > TimeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(50);
  }
}

// --- TDisplay

TDisplay::TDisplay(int Width, int Height) {
  // Xvfb picks a free display number and writes it to the descriptor given.
  OwnGroup(FXvfb);
  FXvfb.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                       QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(Width).arg(Height),
                                       QStringLiteral("-nolisten"), QStringLiteral("tcp")});
  if (!FXvfb.waitForStarted(10000)) return;
  QByteArray number;
  if (!WaitFor(
          [&] {
            FXvfb.waitForReadyRead(20);
            number += FXvfb.readAllStandardOutput();
            return number.contains('\n') || FXvfb.state() != QProcess::Running;
          },
          15000))
    return;
  bool ok = false;
  const int display = number.trimmed().toInt(&ok);
  if (!ok || FXvfb.state() != QProcess::Running) return;
  FName = QStringLiteral(":%1").arg(display);

  OwnGroup(FWm);
  FWm.setProcessEnvironment(Environment());
  FWm.setProcessChannelMode(QProcess::MergedChannels);
  FWm.start(QStringLiteral("openbox"), {});
  if (!FWm.waitForStarted(10000)) return;
  // The window manager is there once it announces its desktops.
  FReady = WaitFor([&] { return FWm.state() == QProcess::Running && XDo({QStringLiteral("get_num_desktops")}); },
                   15000);
}

TDisplay::~TDisplay() {
  EndGroup(FWm);
  EndGroup(FXvfb);
}

QProcessEnvironment TDisplay::Environment() const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DISPLAY"), FName);
  env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  return env;
}

bool TDisplay::XDo(const QStringList& Args, QString* Out, int TimeoutMs) const {
  QProcess p;
  p.setProcessEnvironment(Environment());
  p.start(QStringLiteral("xdotool"), Args);
  if (!p.waitForFinished(TimeoutMs)) {
    std::cerr << "xdotool " << Args.join(u' ').toStdString() << ": no answer in " << TimeoutMs << " ms" << std::endl;
    p.kill();
    p.waitForFinished(2000);
    return false;
  }
  if (Out) *Out = QString::fromLocal8Bit(p.readAllStandardOutput());
  const bool ok = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
  if (!ok && Args.value(0) != QLatin1String("get_num_desktops") && Args.value(0) != QLatin1String("search"))
    std::cerr << "xdotool " << Args.join(u' ').toStdString() << ": exit " << p.exitCode() << ": "
              << p.readAllStandardError().toStdString() << std::endl;
  return ok;
}

bool TDisplay::Click(QPoint Screen, int Button) const {
  return XDo({QStringLiteral("mousemove"), QString::number(Screen.x()),
              QString::number(Screen.y()), QStringLiteral("click"), QString::number(Button)});
}

bool TDisplay::Wheel(QPoint Screen, int Notches) const {
  // X reports the wheel as buttons 4 (up) and 5 (down).
  return XDo({QStringLiteral("mousemove"), QString::number(Screen.x()),
              QString::number(Screen.y()), QStringLiteral("click"), QStringLiteral("--repeat"),
              QString::number(std::abs(Notches)), QStringLiteral("--delay"), QStringLiteral("30"),
              Notches > 0 ? QStringLiteral("4") : QStringLiteral("5")});
}

bool TDisplay::Keys(const QString& Keys) const {
  QStringList args{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("30")};
  args += Keys.split(u' ', Qt::SkipEmptyParts);
  return XDo(args);
}

bool TDisplay::Type(const QString& Text) const {
  return XDo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), Text});
}

bool TDisplay::Activate(const QString& Title) const {
  QString ids;
  if (!XDo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
            QStringLiteral("^") + QRegularExpression::escape(Title) + QStringLiteral("( |$)")},
           &ids))
    return false;
  const QStringList list = ids.split(u'\n', Qt::SkipEmptyParts);
  if (list.isEmpty()) return false;
  return XDo({QStringLiteral("windowactivate"), QStringLiteral("--sync"), list.last()});
}

QImage TDisplay::Screenshot(const QString& File) const {
  QProcess p;
  p.setProcessEnvironment(Environment());
  p.start(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), File});
  if (!p.waitForFinished(30000) || p.exitCode() != 0) return QImage();
  return QImage(File).convertToFormat(QImage::Format_RGB32);
}

QString TDisplay::Log() const {
  return QString::fromLocal8Bit(const_cast<QProcess&>(FWm).readAll() + const_cast<QProcess&>(FXvfb).readAllStandardError());
}

// --- TDemo

TDemo::TDemo(const TDisplay& Display, const QString& Folder) {
  QDir().mkpath(Folder + QStringLiteral("/home"));
  QDir().mkpath(Folder + QStringLiteral("/runtime"));
  QDir().mkpath(Folder + QStringLiteral("/tmp"));
  QFile::setPermissions(Folder + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  FStateFile = Folder + QStringLiteral("/state.json");
  QProcessEnvironment env = Display.Environment();
  env.insert(QStringLiteral("HOME"), Folder + QStringLiteral("/home"));
  env.remove(QStringLiteral("XDG_CONFIG_HOME"));
  env.remove(QStringLiteral("XDG_CACHE_HOME"));
  env.remove(QStringLiteral("XDG_DATA_HOME"));
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Folder + QStringLiteral("/runtime"));
  // Its temporary files, the browser's private folder among them, stay in
  // the test's folder.
  env.insert(QStringLiteral("TMPDIR"), Folder + QStringLiteral("/tmp"));
  env.insert(QStringLiteral("TALLOWFINCH_DEMO_STATE"), FStateFile);
  env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
  if (IsRoot()) {
    // The browser engine refuses its sandbox as root and needs no GPU here;
    // the demo stays on the virtual display.
    TProcessOptions options;
    options.Engine = true;
    options.EngineSandboxOff = true;
    options.EngineHeadless = true;
    for (const auto& [name, value] : ProcessEnvironment(options))
      env.insert(QString::fromLatin1(name), QString::fromLatin1(value));
  }
  FProcess.setProcessEnvironment(env);
  FProcess.setProcessChannelMode(QProcess::MergedChannels);
  OwnGroup(FProcess);
  FProcess.start(QStringLiteral(TALLOWFINCH_DEMO), {Folder + QStringLiteral("/output")});
  FProcess.waitForStarted(10000);
}

TDemo::~TDemo() { EndGroup(FProcess); }

QJsonObject TDemo::State() const {
  QFile f(FStateFile);
  if (!f.open(QIODevice::ReadOnly)) return QJsonObject();
  return QJsonDocument::fromJson(f.readAll()).object();
}

bool TDemo::WaitForState(const std::function<bool(const QJsonObject&)>& Check, int TimeoutMs) {
  return WaitFor([&] { return Running() && Check(State()); }, TimeoutMs);
}

QString TDemo::Log() {
  FLog += QString::fromLocal8Bit(FProcess.readAll());
  return FLog;
}

// --- state and pictures

QRect RectOf(const QJsonValue& Value) {
  const QJsonArray a = Value.toArray();
  if (a.size() != 4) return QRect();
  return QRect(a[0].toInt(), a[1].toInt(), a[2].toInt(), a[3].toInt());
}

QRect ControlRect(const QJsonObject& State, const QString& Name) {
  return RectOf(State.value(QStringLiteral("controls")).toObject().value(Name).toObject().value(QStringLiteral("rect")));
}

QJsonObject MenuItem(const QJsonObject& State, const QString& List, const QString& Text) {
  const QJsonArray items = List == QLatin1String("menuBar")
                               ? State.value(List).toArray()
                               : State.value(List).toObject().value(QStringLiteral("items")).toArray();
  for (const QJsonValue& v : items)
    if (v.toObject().value(QStringLiteral("text")).toString() == Text) return v.toObject();
  return QJsonObject();
}

QString ScreenshotFolder(const QString& Test) {
  const QString dir = QStringLiteral(DESKTOP_SCREENSHOTS "/") + Test;
  QDir(dir).removeRecursively();
  QDir().mkpath(dir);
  return dir;
}

}  // namespace desktoptest
