// The grid's clipboard against another program: on a virtual X display of
// this process's own (Xvfb, started before the application so that Qt runs
// on X rather than offscreen), xclip reads what the grid publishes as
// text/plain, text/html and text/rtf, and publishes text, HTML and rich
// text that the grid pastes.

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryFile>
#include <QThread>
#include <csignal>
#include <cstdlib>

#include "grid/model/KitGrid.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TestSupport.h"

extern char** environ;

namespace {

pid_t gXvfb = 0;
bool gDisplayUp = false;

void StopXvfb() {
  if (gXvfb > 0) {
    ::kill(gXvfb, SIGTERM);
    int status = 0;
    ::waitpid(gXvfb, &status, 0);
    gXvfb = 0;
  }
}

// A display of our own, when Xvfb is there: Qt then uses the X clipboard.
void StartDisplay() {
  if (::access("/usr/bin/Xvfb", X_OK) != 0 || ::access("/usr/bin/xclip", X_OK) != 0) return;
  const int number = 200 + static_cast<int>(::getpid() % 500);
  const std::string display = ":" + std::to_string(number);
  const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
  const char* argv[] = {"Xvfb", display.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp", nullptr};
  if (::posix_spawn(&gXvfb, "/usr/bin/Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return;
  for (int i = 0; i < 100 && ::access(socket.c_str(), F_OK) != 0; ++i) ::usleep(50000);
  if (::access(socket.c_str(), F_OK) != 0) {
    StopXvfb();
    return;
  }
  ::setenv("DISPLAY", display.c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  gDisplayUp = true;
  std::atexit(StopXvfb);
}

const bool kRegistered = testsupport::BeforeApplication(StartDisplay);

class GridClipboardInterop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!gDisplayUp || QGuiApplication::platformName() != QStringLiteral("xcb"))
      GTEST_SKIP() << "no virtual X display (Xvfb and xclip are installed by scripts/install-deps)";
  }

  // xclip run while the event loop keeps serving the selection.
  static QByteArray XclipRead(const QString& Target) {
    QProcess p;
    p.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-o"),
                                      QStringLiteral("-t"), Target});
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < 10000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      p.waitForFinished(20);
    }
    return p.readAllStandardOutput();
  }
  // xclip owns the clipboard with Bytes as Target until another owner comes.
  static void XclipWrite(const QString& Target, const QByteArray& Bytes) {
    QTemporaryFile f;
    ASSERT_TRUE(f.open());
    f.write(Bytes);
    f.close();
    QProcess p;
    p.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
                                      Target, QStringLiteral("-i"), f.fileName()});
    ASSERT_TRUE(p.waitForFinished(10000));
    // Wait until Qt sees the new owner's data.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      const QMimeData* md = QApplication::clipboard()->mimeData();
      if (md != nullptr && md->hasFormat(Target) && !md->data(Target).isEmpty()) return;
      QThread::msleep(20);
    }
  }

  std::unique_ptr<TKitStringGrid> Grid(int Cols, int Rows) {
    auto g = gridtest::NewGrid();
    g->SetFixedCols(0);
    g->SetFixedRows(0);
    g->SetColCount(Cols);
    g->SetRowCount(Rows);
    g->SetOptions(g->Options() + TGridOptions{goEditing});
    return g;
  }
};

TEST_F(GridClipboardInterop, XclipReadsOurTextHtmlAndRtf) {
  auto g = Grid(2, 2);
  g->SetCells(0, 0, "Zoë");
  g->SetCells(1, 0, "two\r\nlines");
  g->SetCells(0, 1, "3");
  g->SetCells(1, 1, "{\\rtf1\\ansi x}");
  g->Navigation()->SetAllowRTFClipboard(true);
  g->SetSelection(TGridRect{0, 0, 1, 1});
  g->CopySelectionToClipboard();
  const QByteArray targets = XclipRead("TARGETS");
  EXPECT_TRUE(targets.contains("text/plain")) << targets.toStdString();
  EXPECT_EQ(QString::fromUtf8(XclipRead("text/plain")), "Zoë\t\"two\nlines\"\r\n3\tx\r\n");

  g->SetSelection(TGridRect{1, 1, 1, 1});
  g->CopySelectionToClipboard();
  EXPECT_EQ(XclipRead("text/rtf"), QByteArray("{\\rtf1\\ansi x}"));

  g->CopyToClipBoardAsHTML();
  const QString html = QString::fromUtf8(XclipRead("text/html"));
  EXPECT_TRUE(html.contains("<table", Qt::CaseInsensitive)) << html.left(200).toStdString();
  EXPECT_TRUE(html.contains("Zoë"));
  EXPECT_TRUE(html.contains("charset=\"utf-8\""));
}

TEST_F(GridClipboardInterop, WePasteWhatXclipPublishes) {
  // LF-only lines, as programs here write them.
  XclipWrite("UTF8_STRING", "name\tcity\nZoë\tLyon\n");
  auto g = Grid(1, 1);
  int cols = 0, rows = 0;
  EXPECT_EQ(g->PasteFromClipboardAt(0, 0, cols, rows), 5);
  EXPECT_EQ(g->Cells(1, 0), "city");
  EXPECT_EQ(g->Cells(0, 1), "Zoë");
  EXPECT_EQ(g->Cells(1, 1), "Lyon");

  // Rich text from another program: the cell takes it whole.
  const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252 caf\\'e9\\par}";
  XclipWrite("text/rtf", rtf);
  auto r = Grid(2, 2);
  r->Navigation()->SetAllowRTFClipboard(true);
  r->PasteFromClipboardAt(1, 1, cols, rows);
  EXPECT_EQ(r->Cells(1, 1), QString::fromLatin1(rtf));

  // HTML alone is no paste source for the grid: nothing changes.
  XclipWrite("text/html", "<table><tr><td>x</td></tr></table>");
  auto h = Grid(2, 2);
  h->SetCells(0, 0, "keep");
  EXPECT_EQ(h->PasteFromClipboardAt(0, 0, cols, rows), 0);
  EXPECT_EQ(h->Cells(0, 0), "keep");
}

TEST_F(GridClipboardInterop, TwoGridsThroughTheXClipboard) {
  auto a = Grid(2, 2);
  a->Navigation()->SetAllowFmtClipboard(true);
  a->SetCells(0, 0, "p");
  a->CellProperties(0, 0)->SetFontColor(0x0000FF);
  a->SetCells(1, 1, "q");
  a->SetSelection(TGridRect{0, 0, 1, 1});
  a->CopySelectionToClipboard();
  // Another process sees the grid's own format by its registered type.
  const QByteArray targets = XclipRead("TARGETS");
  EXPECT_TRUE(targets.contains("application/x-tallowfinch-tkitstringgrid+cells")) << targets.toStdString();
  auto b = Grid(1, 1);
  b->Navigation()->SetAllowFmtClipboard(true);
  int cols = 0, rows = 0;
  EXPECT_EQ(b->PasteFromClipboardAt(0, 0, cols, rows), 4);
  EXPECT_EQ(b->Cells(1, 1), "q");
  ASSERT_NE(b->FindCellProperties(0, 0), nullptr);
  EXPECT_EQ(b->FindCellProperties(0, 0)->FontColor(), 0x0000FF);
}

}  // namespace
