// Shared main of every test binary: a QApplication on the offscreen platform
// with the Fusion style, a pinned font and fixed format settings, so painting
// and formatting tests see the same environment everywhere; a temporary
// folder of the process's own, which must be left empty.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QStyleFactory>

#include "platform/rtl/ProcessStart.h"
#include "platform/rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

int main(int argc, char** argv) {
  // A temporary folder of the process's own, checked and removed at the end.
  testsupport::ProcessTempFolder temp;
  TProcessOptions options;
  options.Kind = pkTest;
  PrepareProcess(options);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  // What the binary's fixtures add (the engine's preparation).
  testsupport::RunBeforeApplication();
  int status = 0;
  {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QFont font("DejaVu Sans");
    font.setPixelSize(12);
    QApplication::setFont(font);
    FormatSettings = TFormatSettings::Create("en-US");

    ::testing::InitGoogleTest(&argc, argv);
    status = RUN_ALL_TESTS();
  }
  // The application and the engine are gone: nothing writes any more.
  return temp.Finish(status);
}
