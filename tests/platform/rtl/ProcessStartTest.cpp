// The process start-up: which variables each kind of process gets, that the
// engine's settings give way to the environment, that a late call changes
// nothing and says so, and the once-per-process note of what a function
// leaves out.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStringList>

#include "platform/rtl/LogCategories.h"
#include "platform/rtl/ProcessStart.h"
#include "tests/support/TestSupport.h"

namespace {

QStringList Variables(const TProcessOptions& options) {
  QStringList out;
  for (const auto& [name, value] : ProcessEnvironment(options)) out << QString::fromLatin1(name + '=' + value);
  return out;
}

// Messages logged while the object lives, as "category: text".
class LogRecorder {
 public:
  LogRecorder() {
    Current() = this;
    previous_ = qInstallMessageHandler([](QtMsgType, const QMessageLogContext& context, const QString& text) {
      Current()->Lines << QString::fromLatin1(context.category) + QStringLiteral(": ") + text;
    });
  }
  ~LogRecorder() {
    qInstallMessageHandler(previous_);
    Current() = nullptr;
  }
  QStringList Lines;

 private:
  static LogRecorder*& Current() {
    static LogRecorder* current = nullptr;
    return current;
  }
  QtMessageHandler previous_ = nullptr;
};

}  // namespace

TEST(ProcessStart, EachKindOfProcessGetsItsVariables) {
  struct Case {
    const char* Name;
    TProcessOptions Options;
    QStringList Expected;
  };
  const QString scaling = QStringLiteral("QT_ENABLE_HIGHDPI_SCALING=0");
  const QString offscreen = QStringLiteral("QT_QPA_PLATFORM=offscreen");
  const QString sandbox = QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX=1");
  const QString headless = QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu --disable-dev-shm-usage");
  const Case cases[] = {
      {"program", {pkProgram, false, false, false, false}, {scaling}},
      {"program with the engine keeps its sandbox", {pkProgram, false, true, false, false}, {scaling}},
      {"demo without a display", {pkProgram, true, true, false, true}, {scaling, offscreen, headless}},
      {"test", {pkTest, false, false, false, false}, {scaling, offscreen}},
      {"engine flags need the engine", {pkTest, false, false, true, true}, {scaling, offscreen}},
      {"engine test", {pkTest, false, true, true, true}, {scaling, offscreen, sandbox, headless}},
  };
  for (const Case& c : cases) EXPECT_EQ(Variables(c.Options), c.Expected) << c.Name;
}

TEST(ProcessStart, ALateCallChangesNothingAndSaysSo) {
  ASSERT_TRUE(QCoreApplication::instance());
  testsupport::EnvOverride sandbox("QTWEBENGINE_DISABLE_SANDBOX", QString());
  LogRecorder log;
  TProcessOptions options;
  options.Engine = options.EngineSandboxOff = true;
  PrepareProcess(options);
  EXPECT_FALSE(qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"));
  ASSERT_EQ(log.Lines.size(), 1);
  EXPECT_TRUE(log.Lines[0].startsWith(QStringLiteral("tf.rtl: PrepareProcess called once the application exists")))
      << log.Lines[0].toStdString();
}

TEST(LogCategories, WhatIsNotCoveredIsSaidOncePerCategoryAndText) {
  LogRecorder log;
  const QString text = QStringLiteral("ProcessStartTest: a mode (%1)").arg(QCoreApplication::applicationPid());
  for (int i = 0; i < 3; ++i) {
    LogNotCovered(lcRtl(), text);
    LogNotCovered(lcHttp(), text);
  }
  LogNotCovered(lcRtl(), text + QStringLiteral(" and another"));
  EXPECT_EQ(log.Lines, (QStringList{QStringLiteral("tf.rtl: not covered: ") + text,
                                    QStringLiteral("tf.http: not covered: ") + text,
                                    QStringLiteral("tf.rtl: not covered: ") + text + QStringLiteral(" and another")}));
}
