// The date-time picker on a real X display (Xvfb with openbox), driven
// with real X input: a click gives it the focus, F4 opens its calendar, a
// click on a day takes that day and closes the calendar; Escape closes it
// and keeps the day it had. A small form of its own (pickerform/) reports
// where everything is. Screenshots of each step under
// <build>/tests/desktop/screenshots/<test>.

#include <gtest/gtest.h>

#include <unistd.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <csignal>
#include <iostream>

#include "tests/desktop/DesktopSupport.h"
#include "tests/support/PixelProbes.h"

using namespace desktoptest;

namespace {

constexpr int kStartMs = 30000;
constexpr int kStepMs = 15000;

class PickerDesktop : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Shots = ScreenshotFolder(QString::fromLatin1(info->name()));
    Display = std::make_unique<TDisplay>(1024, 700);
    ASSERT_TRUE(Display->Ready()) << "Xvfb and openbox did not start: " << Display->Log().toStdString();
    StateFile = Dir.File(QStringLiteral("state.json"));
    QProcessEnvironment env = Display->Environment();
    env.insert(QStringLiteral("TALLOWFINCH_PICKER_STATE"), StateFile);
    env.insert(QStringLiteral("HOME"), Dir.Path());
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    Form.setProcessEnvironment(env);
    Form.setProcessChannelMode(QProcess::MergedChannels);
    Form.start(QStringLiteral(TALLOWFINCH_PICKER_FORM), {});
    ASSERT_TRUE(Form.waitForStarted(10000));
    ASSERT_TRUE(WaitFor([](const QJsonObject& s) { return RectOf(Picker(s).value(QStringLiteral("rect"))).isValid(); },
                        kStartMs))
        << Output().toStdString();
    ASSERT_TRUE(Display->Activate(QStringLiteral("Picker test")));
    ASSERT_TRUE(WaitFor([](const QJsonObject& s) { return s.value(QStringLiteral("active")).toBool(); }));
    Shot("started");
  }
  void TearDown() override {
    if (HasFailure()) {
      Shot("at-failure");
      std::cout << Output().toStdString() << std::endl;
    }
    if (Form.state() != QProcess::NotRunning) {
      Form.terminate();
      if (!Form.waitForFinished(5000)) {
        Form.kill();
        Form.waitForFinished(5000);
      }
    }
    Display.reset();
  }

  static QJsonObject Picker(const QJsonObject& State) { return State.value(QStringLiteral("picker")).toObject(); }
  QJsonObject State() const {
    QFile f(StateFile);
    if (!f.open(QIODevice::ReadOnly)) return QJsonObject();
    return QJsonDocument::fromJson(f.readAll()).object();
  }
  bool WaitFor(const std::function<bool(const QJsonObject&)>& Check, int TimeoutMs = kStepMs) {
    return desktoptest::WaitFor([&] { return Form.state() == QProcess::Running && Check(State()); }, TimeoutMs);
  }
  QString Output() {
    FOutput += QString::fromLocal8Bit(Form.readAll());
    return FOutput;
  }
  // The screen once it stopped changing, kept as NN-Name.png.
  QImage Shot(const char* Name) {
    const QString file =
        QStringLiteral("%1/%2-%3.png").arg(Shots).arg(++FShots, 2, 10, QChar(u'0')).arg(QLatin1String(Name));
    QImage last = Display->Screenshot(file);
    desktoptest::WaitFor(
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
  // Gives the picker the focus with a click on its day field.
  void FocusThePicker() {
    const QRect picker = RectOf(Picker(State()).value(QStringLiteral("rect")));
    ASSERT_TRUE(picker.isValid());
    ASSERT_TRUE(Display->Click(QPoint(picker.left() + 12, picker.center().y())));
    ASSERT_TRUE(WaitFor([](const QJsonObject& s) {
      return Picker(s).value(QStringLiteral("focused")).toBool() &&
             Picker(s).value(QStringLiteral("field")).toInt() == 0;
    }));
  }
  void OpenWithF4() {
    ASSERT_TRUE(Display->Keys(QStringLiteral("F4")));
    ASSERT_TRUE(WaitFor([](const QJsonObject& s) {
      return Picker(s).value(QStringLiteral("droppedDown")).toBool() &&
             RectOf(s.value(QStringLiteral("calendar")).toObject().value(QStringLiteral("rect"))).isValid();
    })) << "F4 did not open the calendar";
  }

  testsupport::TempDir Dir;
  QString Shots;
  QString StateFile;
  std::unique_ptr<TDisplay> Display;
  QProcess Form;

 private:
  int FShots = 0;
  QString FOutput;
};

TEST_F(PickerDesktop, F4OpensTheCalendarAndAClickOnADaySetsTheDate) {
  ASSERT_NO_FATAL_FAILURE(FocusThePicker());
  ASSERT_NO_FATAL_FAILURE(OpenWithF4());
  QJsonObject s = State();
  const QRect picker = RectOf(Picker(s).value(QStringLiteral("rect")));
  const QRect calendar = RectOf(s.value(QStringLiteral("calendar")).toObject().value(QStringLiteral("rect")));
  // The calendar hangs below the picker, on its left edge.
  EXPECT_EQ(calendar.top(), picker.bottom() + 1);
  EXPECT_EQ(calendar.left(), picker.left());
  const QImage open = Shot("calendar-open");
  // The calendar is on the screen: its area is not the form's plain face.
  EXPECT_GT(probe::DistinctColors(open, calendar), 10);
  EXPECT_EQ(Picker(s).value(QStringLiteral("events")).toArray(), QJsonArray{QStringLiteral("dropdown")});

  const QRect day = RectOf(s.value(QStringLiteral("calendar"))
                               .toObject()
                               .value(QStringLiteral("days"))
                               .toObject()
                               .value(QStringLiteral("2024-03-21")));
  ASSERT_TRUE(day.isValid()) << "the 21st is not shown";
  ASSERT_TRUE(Display->Click(day.center()));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) {
    return Picker(s).value(QStringLiteral("date")).toString() == QLatin1String("3/21/2024") &&
           !Picker(s).value(QStringLiteral("droppedDown")).toBool();
  })) << "date "
      << Picker(State()).value(QStringLiteral("date")).toString().toStdString();
  s = State();
  EXPECT_EQ(Picker(s).value(QStringLiteral("text")).toString(), QStringLiteral("21/03/2024"));
  EXPECT_EQ(Picker(s).value(QStringLiteral("events")).toArray(),
            (QJsonArray{QStringLiteral("dropdown"), QStringLiteral("change 3/21/2024"), QStringLiteral("closeup")}));
  EXPECT_TRUE(Picker(s).value(QStringLiteral("focused")).toBool()) << "the picker keeps the focus";
  EXPECT_FALSE(s.contains(QStringLiteral("calendar")));
  const QImage picked = Shot("day-picked");
  // The calendar's place shows the form's face again (right of the spin
  // edit, which the calendar covered).
  const QRect updown = RectOf(s.value(QStringLiteral("spin")).toObject().value(QStringLiteral("updown")));
  const QRect window = RectOf(s.value(QStringLiteral("window")));
  const QRect freed(QPoint(updown.right() + 5, picker.bottom() + 5),
                    QPoint(calendar.right(), std::min(calendar.bottom(), window.bottom() - 10)));
  ASSERT_GT(freed.width(), 50);
  EXPECT_EQ(probe::DistinctColors(picked, freed), 1);

  // The keyboard goes on working: Right moves to the month, Up steps it.
  ASSERT_TRUE(Display->Keys(QStringLiteral("Right Up")));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) {
    return Picker(s).value(QStringLiteral("text")).toString() == QLatin1String("21/04/2024");
  })) << Picker(State()).value(QStringLiteral("text")).toString().toStdString();
  Shot("month-stepped");
}

TEST_F(PickerDesktop, EscapeClosesTheCalendarAndKeepsTheDateItHad) {
  ASSERT_NO_FATAL_FAILURE(FocusThePicker());
  ASSERT_NO_FATAL_FAILURE(OpenWithF4());
  // Arrows move the selection in the calendar and the picker follows.
  ASSERT_TRUE(Display->Keys(QStringLiteral("Right Right Down")));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) {
    return Picker(s).value(QStringLiteral("date")).toString() == QLatin1String("3/14/2024");
  })) << Picker(State()).value(QStringLiteral("date")).toString().toStdString();
  Shot("moved-in-the-calendar");
  ASSERT_TRUE(Display->Keys(QStringLiteral("Escape")));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) {
    return !Picker(s).value(QStringLiteral("droppedDown")).toBool() &&
           Picker(s).value(QStringLiteral("date")).toString() == QLatin1String("3/5/2024");
  }));
  EXPECT_TRUE(Picker(State()).value(QStringLiteral("focused")).toBool());
  Shot("escaped");
  // A click outside the open calendar closes it too, keeping the day.
  ASSERT_NO_FATAL_FAILURE(OpenWithF4());
  ASSERT_TRUE(Display->Keys(QStringLiteral("Right")));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) {
    return Picker(s).value(QStringLiteral("date")).toString() == QLatin1String("3/6/2024");
  }));
  const QRect window = RectOf(State().value(QStringLiteral("window")));
  ASSERT_TRUE(Display->Click(QPoint(window.right() - 20, window.top() + 20)));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) {
    return !Picker(s).value(QStringLiteral("droppedDown")).toBool() &&
           Picker(s).value(QStringLiteral("date")).toString() == QLatin1String("3/6/2024");
  }));
  Shot("closed-by-a-click-outside");
}

TEST_F(PickerDesktop, TheSpinEditStepsWithItsButtonsAndKeys) {
  const QJsonObject spin = State().value(QStringLiteral("spin")).toObject();
  const QRect up = RectOf(spin.value(QStringLiteral("updown")));
  ASSERT_TRUE(up.isValid());
  ASSERT_TRUE(Display->Click(QPoint(up.center().x(), up.top() + 4)));
  ASSERT_TRUE(Display->Click(QPoint(up.center().x(), up.top() + 4)));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) {
    return s.value(QStringLiteral("spin")).toObject().value(QStringLiteral("text")).toString() == QLatin1String("2");
  })) << State().value(QStringLiteral("spin")).toObject().value(QStringLiteral("text")).toString().toStdString();
  // The arrow keys in the edit step it too.
  ASSERT_TRUE(Display->Click(RectOf(spin.value(QStringLiteral("rect"))).center()));
  ASSERT_TRUE(Display->Keys(QStringLiteral("Up Up Up Down")));
  ASSERT_TRUE(WaitFor([](const QJsonObject& s) {
    return s.value(QStringLiteral("spin")).toObject().value(QStringLiteral("text")).toString() == QLatin1String("4");
  })) << State().value(QStringLiteral("spin")).toObject().value(QStringLiteral("text")).toString().toStdString();
  Shot("spin-edit-stepped");
}

}  // namespace
