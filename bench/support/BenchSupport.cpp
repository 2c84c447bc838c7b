#include "bench/support/BenchSupport.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <vector>

#include "browser/KitWebBrowser.Win.h"
#include "platform/rtl/ProcessStart.h"
#include "platform/vcl/Forms.h"

namespace {

int Run(int argc, char** argv, const TProcessOptions& Options, const std::function<void()>& Start,
        const std::function<void()>& Finish) {
  PrepareProcess(Options);
  if (Options.Engine) KitWebBrowserWin::Startup();
  QApplication app(argc, argv);
  if (Start) Start();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (Finish) Finish();
  return 0;
}

}  // namespace

int RunBenchmarks(int argc, char** argv, const std::function<void()>& Start, const std::function<void()>& Finish) {
  TProcessOptions options;
  options.Kind = pkTest;
  return Run(argc, argv, options, Start, Finish);
}

int RunEngineBenchmarks(int argc, char** argv) {
  TProcessOptions options;
  options.Kind = pkTest;
  options.Engine = true;
  // The engine's sandbox does not start as root.
  options.EngineSandboxOff = geteuid() == 0;
  options.EngineHeadless = true;
  return Run(argc, argv, options, nullptr, nullptr);
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
