#include "bench/support/EngineBench.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <vector>

#include "browser/KitWebBrowser.Win.h"
#include "platform/vcl/Forms.h"

int RunEngineBenchmarks(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  // The engine's sandbox does not start as root; no GPU.
  if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-dev-shm-usage");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  RegisterCoreWebView2Schemes();
  KitWebBrowserWin::Startup();
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < timeoutMs) {
    Application->ProcessMessages();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!done()) QThread::msleep(1);
  }
  return done();
}

long ResidentKb(const QString& pid) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
  return 0;
}

long TreeResidentKb() {
  const QString self = QString::number(QCoreApplication::applicationPid());
  long total = ResidentKb(self);
  std::vector<QString> parents{self};
  for (size_t i = 0; i < parents.size(); ++i) {
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
      QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
      if (!stat.open(QIODevice::ReadOnly)) continue;
      const QByteArray text = stat.readAll();
      const qsizetype close = text.lastIndexOf(')');
      if (close < 0) continue;
      const QList<QByteArray> fields = text.mid(close + 2).split(' ');
      if (fields.size() > 1 && QString::fromLatin1(fields[1]) == parents[i]) {
        parents.push_back(pid);
        total += ResidentKb(pid);
      }
    }
  }
  return total;
}
