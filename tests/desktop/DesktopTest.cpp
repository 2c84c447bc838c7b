// The demo on a real X display (Xvfb with the openbox window manager),
// driven as a user drives it, with real X input: a capture from the
// "Capture" button, then the results (a click, typing, the wheel, the scroll
// bar, a resize), every menu (the Appearance menu switching the style, the
// Timer menu's check mark), the CSV file saved through the save dialog, and
// the grid tab (the hand-over, a click, the wheel, a workbook saved).
// Each test has its own display and demo; each step leaves a screenshot in
// <build>/tests/desktop/screenshots/<test>.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <iostream>

#include "tests/desktop/DesktopSupport.h"
#include "tests/support/OfficeTools.h"
#include "tests/support/PixelProbes.h"

using namespace desktoptest;

namespace {

constexpr int kStartMs = 90000;     // the demo and its browser engine start
constexpr int kCaptureMs = 180000;  // three result pages with their delays
constexpr int kStepMs = 15000;      // one user action and its effect

QJsonObject Results(const QJsonObject& State) { return State.value(QStringLiteral("results")).toObject(); }
int ResultInt(const QJsonObject& State, const char* Key) { return Results(State).value(QLatin1String(Key)).toInt(-1); }
QString Modal(const QJsonObject& State) { return State.value(QStringLiteral("modal")).toString(); }
bool MenuOpen(const QJsonObject& State) { return State.contains(QStringLiteral("menu")); }
QJsonArray MenuItems(const QJsonObject& State) {
  return State.value(QStringLiteral("menu")).toObject().value(QStringLiteral("items")).toArray();
}
QRgb Rgb(const QString& Name) { return QColor(Name).rgb(); }

class DesktopDemo : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Shots = ScreenshotFolder(QString::fromLatin1(info->name()));
    Display = std::make_unique<TDisplay>(Screen.width(), Screen.height());
    ASSERT_TRUE(Display->Ready()) << "Xvfb and openbox did not start: " << Display->Log().toStdString();
    Demo = std::make_unique<TDemo>(*Display, Dir.Path());
    const bool shown = Demo->WaitForState(
        [](const QJsonObject& s) {
          return s.value(QStringLiteral("title")).toString().startsWith(QLatin1String("Tallowfinch - FR-PJ")) &&
                 ControlRect(s, QStringLiteral("btnCapture")).isValid() &&
                 s.value(QStringLiteral("activeWindow")).toString().startsWith(QLatin1String("Tallowfinch"));
        },
        kStartMs);
    ASSERT_TRUE(shown) << Demo->Log().toStdString();
    Shot("started");
  }

  void TearDown() override {
    if (HasFailure() && Demo) {
      Shot("at-failure");
      std::cout << Demo->Log().toStdString() << std::endl;
    }
    Demo.reset();
    Display.reset();
  }

  // A screenshot of the screen as it is once it stopped changing (two
  // equal shots in a row), kept as NN-Name.png.
  QImage Shot(const char* Name) {
    const QString file = QStringLiteral("%1/%2-%3.png").arg(Shots).arg(++FShots, 2, 10, QChar(u'0')).arg(QLatin1String(Name));
    QImage last = Display->Screenshot(file);
    WaitFor(
        [&] {
          const QImage now = Display->Screenshot(file);
          const bool same = !now.isNull() && now == last;
          last = now;
          return same;
        },
        kStepMs);
    std::cout << "[ picture  ] " << file.toStdString() << std::endl;
    return last;
  }

  bool WaitFor(const std::function<bool(const QJsonObject&)>& Check, int TimeoutMs = kStepMs) {
    return Demo->WaitForState(Check, TimeoutMs);
  }
  bool WaitFor(const std::function<bool()>& Done, int TimeoutMs) { return desktoptest::WaitFor(Done, TimeoutMs); }

  // Answers the modal window Title with the keys.
  void Answer(const QString& Title, const QString& Keys) {
    ASSERT_TRUE(WaitFor([&](const QJsonObject& s) { return Modal(s) == Title; })) << Title.toStdString();
    ASSERT_TRUE(Display->Activate(Title)) << Title.toStdString();
    ASSERT_TRUE(Display->Keys(Keys));
  }

  // A capture as the user runs it: "Capture", "Yes" to empty the start
  // text, and OK to the message that sums the run up.
  void Capture() {
    ASSERT_TRUE(Display->Click(ControlRect(Demo->State(), QStringLiteral("btnCapture")).center()));
    ASSERT_NO_FATAL_FAILURE(Answer(QStringLiteral("Information"), QStringLiteral("Return")));
    ASSERT_TRUE(WaitFor([](const QJsonObject& s) { return Modal(s) == QLatin1String("Tallowfinch"); }, kCaptureMs))
        << Demo->Log().toStdString();
    Shot("capture-summed-up");
    ASSERT_NO_FATAL_FAILURE(Answer(QStringLiteral("Tallowfinch"), QStringLiteral("Return")));
    ASSERT_TRUE(WaitFor([](const QJsonObject& s) {
      return Modal(s).isEmpty() && s.value(QStringLiteral("title")).toString().contains(QLatin1String("addresses have been scraped"));
    }));
    Lines = ResultInt(Demo->State(), "lines");
    EXPECT_GE(Lines, 40);
  }

  // Opens the menu of the menu bar entry and answers the state with it open.
  QJsonObject OpenMenuBarEntry(const QString& Text) {
    const QJsonObject entry = MenuItem(Demo->State(), QStringLiteral("menuBar"), Text);
    EXPECT_FALSE(entry.isEmpty()) << Text.toStdString();
    if (entry.isEmpty()) return QJsonObject();
    EXPECT_TRUE(Display->Click(RectOf(entry.value(QStringLiteral("rect"))).center()));
    EXPECT_TRUE(WaitFor([](const QJsonObject& s) { return MenuOpen(s) && !MenuItems(s).isEmpty(); }))
        << "the menu " << Text.toStdString() << " did not open";
    return Demo->State();
  }

  void CloseMenu() {
    ASSERT_TRUE(Display->Keys(QStringLiteral("Escape")));
    ASSERT_TRUE(WaitFor([](const QJsonObject& s) { return !MenuOpen(s); }));
  }

  // The results in the screenshot: shown in the style's normal text
  // colour (not the disabled one), legible on their ground.
  void ExpectResultsInTheNormalTextColour(const QImage& Shot, const QJsonObject& State) {
    const QJsonObject r = Results(State);
    const QRect viewport = RectOf(r.value(QStringLiteral("viewport")));
    ASSERT_TRUE(viewport.isValid());
    // The memo shows the active style's colours.
    EXPECT_EQ(r.value(QStringLiteral("text")).toString(), r.value(QStringLiteral("styleText")).toString());
    EXPECT_EQ(r.value(QStringLiteral("base")).toString(), r.value(QStringLiteral("styleBase")).toString());
    const QRgb text = Rgb(r.value(QStringLiteral("text")).toString());
    const QRgb disabledText = Rgb(r.value(QStringLiteral("disabledText")).toString());
    const int normal = probe::Count(Shot, probe::IsRgb(text), viewport);
    const int disabled = probe::Count(Shot, probe::IsRgb(disabledText), viewport);
    // Small antialiased text: its stems carry the exact colour.
    EXPECT_GT(normal, 100) << "text colour " << r.value(QStringLiteral("text")).toString().toStdString();
    EXPECT_LT(disabled, normal / 10) << "disabled colour " << r.value(QStringLiteral("disabledText")).toString().toStdString()
                                     << ": " << disabled << " pixels, normal: " << normal;
    const TLegibility l = Legibility(Shot, viewport, 100);
    EXPECT_EQ(l.Ground & 0xFFFFFF, Rgb(r.value(QStringLiteral("base")).toString()) & 0xFFFFFF);
    EXPECT_GT(l.Ink, 500);
  }

  // The screen: a long capture fills more than the results show.
  QSize Screen{1280, 800};
  testsupport::TempDir Dir;
  QString Shots;
  std::unique_ptr<TDisplay> Display;
  std::unique_ptr<TDemo> Demo;
  int Lines = 0;

 private:
  int FShots = 0;
};

TEST_F(DesktopDemo, TheResultsTakeClicksTypingTheWheelTheScrollBarAndAResize) {
  ASSERT_NO_FATAL_FAILURE(Capture());
  QJsonObject s = Demo->State();
  const QRect viewport = RectOf(Results(s).value(QStringLiteral("viewport")));
  const QRect vbar = RectOf(Results(s).value(QStringLiteral("vbar")));
  ASSERT_TRUE(viewport.isValid() && vbar.isValid());
  ASSERT_GT(ResultInt(s, "maxTopLine"), 10) << "every line fits: nothing to scroll";
  ASSERT_EQ(ResultInt(s, "topLine"), 0);

  // A click in the text: the memo takes the focus (and the program lives).
  ASSERT_TRUE(Display->Click(viewport.topLeft() + QPoint(80, 10)));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) { return Results(s).value(QStringLiteral("focused")).toBool(); }));
  Shot("clicked-in-the-results");
  // Typing changes nothing (read-only); Ctrl+A after it selects everything,
  // which also shows that the typed keys were handled.
  ASSERT_TRUE(Display->Type(QStringLiteral("typed text")));
  ASSERT_TRUE(Display->Keys(QStringLiteral("Return BackSpace ctrl+a")));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) { return ResultInt(s, "selected") > 100; }));
  EXPECT_EQ(ResultInt(Demo->State(), "lines"), Lines);
  Shot("typed-and-selected-all");
  // Selecting all went to the end; Ctrl+Home goes back to the first line.
  ASSERT_TRUE(Display->Keys(QStringLiteral("ctrl+Home")));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) { return ResultInt(s, "topLine") == 0 && ResultInt(s, "selected") == 0; }));

  // The wheel: three lines a notch.
  ASSERT_TRUE(Display->Wheel(viewport.center(), -3));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) { return ResultInt(s, "topLine") == 9; }))
      << "top line " << ResultInt(Demo->State(), "topLine");
  Shot("wheel-down-3");
  ASSERT_TRUE(Display->Wheel(viewport.center(), 1));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) { return ResultInt(s, "topLine") == 6; }))
      << "top line " << ResultInt(Demo->State(), "topLine");

  // The scroll bar: its down arrow steps one line; a click below the handle
  // pages down.
  const QPoint downArrow(vbar.center().x(), vbar.bottom() - vbar.width() / 2);
  ASSERT_TRUE(Display->Click(downArrow));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) { return ResultInt(s, "topLine") == 7; }))
      << "top line " << ResultInt(Demo->State(), "topLine");
  ASSERT_TRUE(Display->Click(QPoint(vbar.center().x(), vbar.bottom() - 3 * vbar.width())));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) { return ResultInt(s, "topLine") > 7; }));
  Shot("scroll-bar");
  ExpectResultsInTheNormalTextColour(Shot("results-scrolled"), Demo->State());

  // A resize: the window manager restores the maximized window on a double
  // click on its title, then sizes it; the results follow the window.
  const QRect window = RectOf(Demo->State().value(QStringLiteral("window")));
  ASSERT_TRUE(Display->XDo({QStringLiteral("mousemove"), QString::number(window.center().x()),
                            QString::number(std::max(window.top() - 8, 2)), QStringLiteral("click"),
                            QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("--delay"),
                            QStringLiteral("80"), QStringLiteral("1")}));
  ASSERT_TRUE(WaitFor([&](const QJsonObject& s) { return RectOf(s.value(QStringLiteral("window"))) != window; }));
  QString ids;
  ASSERT_TRUE(Display->XDo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                            QString::number(Demo->Pid()), QStringLiteral("--name"), QStringLiteral("addresses have been scraped")},
                           &ids));
  const QString id = ids.split(u'\n', Qt::SkipEmptyParts).value(0);
  ASSERT_FALSE(id.isEmpty());
  ASSERT_TRUE(Display->XDo({QStringLiteral("windowsize"), id, QStringLiteral("1100"), QStringLiteral("640")}));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) { return RectOf(s.value(QStringLiteral("window"))).size() == QSize(1100, 640); }))
      << "window " << RectOf(Demo->State().value(QStringLiteral("window"))).width();
  s = Demo->State();
  const QRect resized = RectOf(s.value(QStringLiteral("window")));
  const QRect smaller = RectOf(Results(s).value(QStringLiteral("viewport")));
  EXPECT_LT(smaller.height(), viewport.height());
  EXPECT_TRUE(resized.contains(smaller)) << "the results stay inside the window";
  EXPECT_EQ(ResultInt(s, "lines"), Lines);
  const QImage shot = Shot("resized");
  ExpectResultsInTheNormalTextColour(shot, s);
  EXPECT_TRUE(Demo->Running());
}

// A wide screen, on which the main window shows every control of its tool
// bars (the country label among them).
class WideDesktopDemo : public DesktopDemo {
 protected:
  void SetUp() override {
    Screen = QSize(1600, 1000);
    DesktopDemo::SetUp();
  }
};

TEST_F(WideDesktopDemo, EveryMenuOpensAndTheAppearanceMenuSwitchesTheStyle) {
  ASSERT_NO_FATAL_FAILURE(Capture());

  // Every entry of the menu bar opens its menu; a line is drawn as a line
  // (no "-" text on it).
  const QJsonArray bar = Demo->State().value(QStringLiteral("menuBar")).toArray();
  ASSERT_GE(bar.size(), 4);
  for (const QJsonValue& v : bar) {
    const QString text = v.toObject().value(QStringLiteral("text")).toString();
    SCOPED_TRACE(text.toStdString());
    const QJsonObject s = OpenMenuBarEntry(text);
    for (const QJsonValue& item : MenuItems(s)) {
      if (item.toObject().value(QStringLiteral("separator")).toBool()) {
        EXPECT_TRUE(item.toObject().value(QStringLiteral("textShown")).toString().isEmpty());
      }
    }
    Shot(qPrintable(QStringLiteral("menu-") + text));
    ASSERT_NO_FATAL_FAILURE(CloseMenu());
  }

  // The Timer menu checks the chosen delay.
  const QRect timer = ControlRect(Demo->State(), QStringLiteral("btnTimer"));
  ASSERT_TRUE(timer.isValid());
  const QPoint arrow(timer.right() - 5, timer.center().y());
  ASSERT_TRUE(Display->Click(arrow));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) { return MenuItems(s).size() == 8; }));
  const QJsonObject three = MenuItem(Demo->State(), QStringLiteral("menu"), QStringLiteral("3 seconds"));
  ASSERT_FALSE(three.isEmpty());
  ASSERT_TRUE(Display->Click(RectOf(three.value(QStringLiteral("rect"))).center()));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) {
    return !MenuOpen(s) && s.value(QStringLiteral("controls")).toObject().value(QStringLiteral("btnTimer")).toObject()
                                   .value(QStringLiteral("caption")).toString() == QLatin1String("Timer (3\")");
  }));
  ASSERT_TRUE(Display->Click(arrow));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) { return MenuItems(s).size() == 8; }));
  QJsonObject s = Demo->State();
  const QImage timerShot = Shot("timer-menu-checked");
  const QRect checkedRow = RectOf(MenuItem(s, QStringLiteral("menu"), QStringLiteral("3 seconds")).value(QStringLiteral("rect")));
  const QRect plainRow = RectOf(MenuItem(s, QStringLiteral("menu"), QStringLiteral("5 seconds")).value(QStringLiteral("rect")));
  EXPECT_TRUE(MenuItem(s, QStringLiteral("menu"), QStringLiteral("3 seconds")).value(QStringLiteral("checked")).toBool());
  // The mark: in the square at the start of the checked row, none in the other.
  auto markSquare = [](const QRect& Row) { return QRect(Row.left() + 2, Row.top() + 2, Row.height() - 4, Row.height() - 4); };
  EXPECT_GE(Legibility(timerShot, markSquare(checkedRow), 60).Ink, 6);
  EXPECT_EQ(Legibility(timerShot, markSquare(plainRow), 60).Ink, 0);
  ASSERT_NO_FATAL_FAILURE(CloseMenu());

  // The Appearance menu lists the styles, the active one checked, and a
  // choice switches: the main window after the capture in Luna and in Cyan
  // Night, every text legible and the results in the normal text colour.
  for (const QString& style : {QStringLiteral("Luna"), QStringLiteral("Cyan Night")}) {
    SCOPED_TRACE(style.toStdString());
    const QString active = Demo->State().value(QStringLiteral("style")).toString();
    s = OpenMenuBarEntry(QStringLiteral("Appearance"));
    EXPECT_GE(MenuItems(s).size(), 11);  // every style but the last by name ("Windows")
    for (const QJsonValue& item : MenuItems(s)) {
      const QJsonObject o = item.toObject();
      EXPECT_EQ(o.value(QStringLiteral("checked")).toBool(), o.value(QStringLiteral("text")).toString() == active)
          << o.value(QStringLiteral("text")).toString().toStdString();
    }
    Shot(qPrintable(QStringLiteral("appearance-menu-before-") + style.simplified().remove(u' ')));
    const QJsonObject choice = MenuItem(s, QStringLiteral("menu"), style);
    ASSERT_FALSE(choice.isEmpty());
    ASSERT_TRUE(Display->Click(RectOf(choice.value(QStringLiteral("rect"))).center()));
    ASSERT_TRUE(WaitFor([&](const QJsonObject& s) {
      return !MenuOpen(s) && s.value(QStringLiteral("style")).toString() == style;
    }));
    // Away from the results: the screenshot shows them as they are.
    ASSERT_TRUE(Display->XDo({QStringLiteral("mousemove"), QStringLiteral("5"), QString::number(Screen.height() - 5)}));
    s = Demo->State();
    const QImage shot = Shot(qPrintable(QStringLiteral("main-window-after-capture-") + style.simplified().remove(u' ')));
    ExpectResultsInTheNormalTextColour(shot, s);
    const QRect country = ControlRect(s, QStringLiteral("lbCountry"));
    ASSERT_TRUE(country.isValid());
    EXPECT_GE(Legibility(shot, country, 100).Ink, 40) << "the country label is not legible";
  }
  EXPECT_TRUE(Demo->Running());
}

TEST_F(DesktopDemo, TheResultsAreSavedThroughTheSaveDialog) {
  ASSERT_NO_FATAL_FAILURE(Capture());
  const QString target = Dir.File(QStringLiteral("saved-results.csv"));
  ASSERT_TRUE(Display->Click(ControlRect(Demo->State(), QStringLiteral("ToolButton2")).center()));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) { return Modal(s) == QLatin1String("Save data as..."); }));
  ASSERT_TRUE(Display->Activate(QStringLiteral("Save data as...")));
  Shot("save-dialog");
  // The file name field has the focus: a whole path replaces its text.
  ASSERT_TRUE(Display->Keys(QStringLiteral("ctrl+a")));
  ASSERT_TRUE(Display->Type(target));
  Shot("save-dialog-with-the-name");
  ASSERT_TRUE(Display->Keys(QStringLiteral("Return")));
  ASSERT_TRUE(WaitFor([&](const QJsonObject& s) { return Modal(s).isEmpty() && QFileInfo(target).size() > 0; }));
  QFile file(target);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_EQ(bytes.count("\r\n"), Lines);
  EXPECT_TRUE(bytes.endsWith("\r\n"));
  EXPECT_TRUE(bytes.startsWith("\""));  // result lines, not the start text
  Shot("saved");
}

// The grid tab as a user reaches it: a click on the "MS Excel View" tab hands
// the results over to the grid; a click selects a cell, the wheel moves down;
// "Save to XLS" saves through its dialog with the status window up, and the
// workbook holds what the grid shows.
QJsonObject Grid(const QJsonObject& State) { return State.value(QStringLiteral("grid")).toObject(); }
int GridInt(const QJsonObject& State, const char* Key) { return Grid(State).value(QLatin1String(Key)).toInt(-1); }
QJsonObject GridCell(const QJsonObject& State, int Col, int Row) {
  for (const QJsonValue& v : Grid(State).value(QStringLiteral("cells")).toArray()) {
    const QJsonObject cell = v.toObject();
    if (cell.value(QStringLiteral("c")).toInt() == Col && cell.value(QStringLiteral("r")).toInt() == Row) return cell;
  }
  return QJsonObject();
}
QRect TabRect(const QJsonObject& State, const QString& Text) {
  for (const QJsonValue& v : State.value(QStringLiteral("tabs")).toArray())
    if (v.toObject().value(QStringLiteral("text")).toString() == Text) return RectOf(v.toObject().value(QStringLiteral("rect")));
  return QRect();
}

TEST_F(DesktopDemo, TheGridTabShowsTheResultsTakesClicksAndTheWheelAndSavesAWorkbook) {
  ASSERT_NO_FATAL_FAILURE(Capture());
  const QRect tab = TabRect(Demo->State(), QStringLiteral("MS Excel View"));
  ASSERT_TRUE(tab.isValid()) << "no grid tab in the state report";
  ASSERT_TRUE(Display->Click(tab.center()));
  ASSERT_TRUE(WaitFor([&](const QJsonObject& s) {
    return s.value(QStringLiteral("activePage")).toString() == QLatin1String("tbSaveToExcel") && GridInt(s, "rows") >= Lines;
  })) << "the grid did not take the results: " << GridInt(Demo->State(), "rows") << " rows for " << Lines << " lines";
  QJsonObject s = Demo->State();
  // Each result line a row, its quoted fields in cells without the quotes.
  const QString first = GridCell(s, 0, 0).value(QStringLiteral("text")).toString();
  EXPECT_FALSE(first.isEmpty());
  EXPECT_FALSE(first.contains(u'"')) << first.toStdString();
  const QRect view = RectOf(Grid(s).value(QStringLiteral("rect")));
  ASSERT_TRUE(view.isValid());
  const QImage shown = Shot("grid-tab");
  // Dark text on a light ground in the cells.
  const QRect cell00 = RectOf(GridCell(s, 0, 0).value(QStringLiteral("rect")));
  ASSERT_TRUE(view.contains(cell00.center())) << "cell rectangles are not on the grid";
  EXPECT_GT(Legibility(shown, QRect(view.topLeft(), QSize(view.width(), std::min(view.height(), 200))), 100).Ink, 500)
      << "no legible text in the grid";

  // A click on the third row's second cell selects it and gives the grid
  // the focus.
  const QRect target = RectOf(GridCell(s, 1, 2).value(QStringLiteral("rect")));
  ASSERT_TRUE(target.isValid());
  ASSERT_TRUE(Display->Click(target.center()));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) { return GridInt(s, "row") == 2 && GridInt(s, "col") == 1; }))
      << "row " << GridInt(Demo->State(), "row") << ", column " << GridInt(Demo->State(), "col");
  EXPECT_TRUE(Grid(Demo->State()).value(QStringLiteral("focused")).toBool());
  Shot("grid-cell-clicked");
  // The wheel goes down the rows: the grid moves its current row a row a
  // notch, as the framework's grids do.
  ASSERT_TRUE(Display->Wheel(view.center(), -3));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) { return GridInt(s, "row") == 5; }))
      << "row " << GridInt(Demo->State(), "row") << ", top row " << GridInt(Demo->State(), "topRow");
  Shot("grid-wheel-down");

  // "Save to XLS": the save dialog, the status window while the data is
  // saved, and a workbook whose first cell is the grid's.
  const QString workbook = Dir.File(QStringLiteral("grid-results.xlsx"));
  const QString dialog = QStringLiteral("Save to EXCEL, Salvare, guardar, sauvegarder... (Please add extension XLS or XLSX)");
  ASSERT_TRUE(Display->Click(ControlRect(Demo->State(), QStringLiteral("ToolButton5")).center()));
  ASSERT_TRUE(WaitFor([&](const QJsonObject& s) { return Modal(s) == dialog; }));
  ASSERT_TRUE(Display->Activate(dialog));
  ASSERT_TRUE(Display->Keys(QStringLiteral("ctrl+a")));
  ASSERT_TRUE(Display->Type(workbook));
  ASSERT_TRUE(Display->Keys(QStringLiteral("Return")));
  // The status window tells where the data went, then goes away.
  ASSERT_TRUE(WaitFor([&](const QJsonObject& s) {
    return s.value(QStringLiteral("statusWindow")).toString().startsWith(QLatin1String("The data has been saved to file"));
  })) << "the status window did not show the saved file: " << Demo->Log().toStdString();
  ASSERT_TRUE(WaitFor([&](const QJsonObject& s) { return Modal(s).isEmpty() && !s.contains(QStringLiteral("statusWindow")); }));
  ASSERT_GT(QFileInfo(workbook).size(), 0);
  Shot("grid-saved");
  const officetest::TRun python = officetest::RunProcess(
      officetest::kPython,
      {QStringLiteral("-c"),
       QStringLiteral("import sys, openpyxl; ws = openpyxl.load_workbook(sys.argv[1]).active; "
                      "sys.stdout.write(str(ws.cell(1, 1).value) + '\\n' + str(ws.max_row))"),
       workbook},
      60000);
  ASSERT_EQ(python.ExitCode, 0) << python.Err.toStdString();
  const QStringList out = QString::fromUtf8(python.Out).split(u'\n');
  EXPECT_EQ(out.value(0), first);
  EXPECT_GE(out.value(1).toInt(), Lines);
  EXPECT_TRUE(Demo->Running());
}

}  // namespace
