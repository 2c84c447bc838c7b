// The date-time picker and the month calendar: fields by format, keys and
// typed digits, the check box and the "none" state, limits, the drop-down
// calendar, typed text, the DTM_/MCM_ messages, the notifications in the
// framework's order, and what they paint in two styles.

#include "platform/vcl/ComCtrlsDateTime.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QTableView>
#include <QToolButton>

#include "platform/vcl/ComCtrlsDateTimePanel.h"
#include "platform/vcl/ComCtrlsUpDown.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Themes.h"
#include "tests/platform/vcl/PictureFiles.h"
#include "tests/platform/vcl/StdCtrlsTestSupport.h"
#include "tests/platform/vcl/VclTestSupport.h"

using namespace vcltest;

namespace {

QString CodeName(UINT Code) {
  switch (Code) {
    case DTN_DATETIMECHANGE: return QStringLiteral("DTN_DATETIMECHANGE");
    case DTN_DROPDOWN: return QStringLiteral("DTN_DROPDOWN");
    case DTN_CLOSEUP: return QStringLiteral("DTN_CLOSEUP");
    case DTN_USERSTRING: return QStringLiteral("DTN_USERSTRING");
    case MCN_SELCHANGE: return QStringLiteral("MCN_SELCHANGE");
    case MCN_SELECT: return QStringLiteral("MCN_SELECT");
    default: return QString::number(Code);
  }
}

TDateTime At(int Y, int Mo, int D, int H = 0, int Mi = 0, int S = 0) {
  return EncodeDate(Y, Mo, D) + EncodeTime(H, Mi, S, 0);
}

QString Shown(TDateTime Value) { return FormatDateTime(QStringLiteral("yyyy-mm-dd hh:nn:ss"), Value); }

class PickerTest : public StdFormTest {
 protected:
  void SetUp() override {
    StdFormTest::SetUp();
    Saved = FormatSettings;
    Picker = Create<TDateTimePicker>(Form.get());
    Picker->SetName(QStringLiteral("picker"));
    Picker->SetBounds(20, 20, 186, 24);
    Picker->SetParent(Form.get());
    Other = Create<TEdit>(Form.get());
    Other->SetName(QStringLiteral("other"));
    Other->SetBounds(20, 100, 100, 24);
    Other->SetParent(Form.get());
    Picker->OnChange = [this](TObject*) { Events << QStringLiteral("OnChange ") + Shown(Picker->DateTime()); };
    Picker->OnDropDown = [this](TObject*) { Events << QStringLiteral("OnDropDown"); };
    Picker->OnCloseUp = [this](TObject*) { Events << QStringLiteral("OnCloseUp"); };
    Picker->OnExit = [this](TObject*) { Events << QStringLiteral("OnExit"); };
    // The form sees the notifications before the picker's own answer.
    Form->SetWindowProc([this, previous = Form->DefaultWindowProc()](TMessage& M) {
      if (M.Msg == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(M.LParam);
        QString line = QStringLiteral("form ") + CodeName(header->code);
        if (header->code == DTN_DATETIMECHANGE) {
          const auto* change = reinterpret_cast<NMDATETIMECHANGE*>(header);
          line += change->dwFlags == DWORD(GDT_NONE) ? QStringLiteral(" none")
                                                     : QStringLiteral(" ") + Shown(SystemTimeToDateTime(change->st));
        }
        Events << line;
      }
      previous(M);
    });
    Picker->SetFormat(QStringLiteral("dd/MM/yyyy"));
    Picker->SetDateTime(At(2024, 3, 5, 14, 7, 9));
    Pump();
  }
  void TearDown() override {
    Form->SetWindowProc(nullptr);
    FormatSettings = Saved;
    StdFormTest::TearDown();
  }
  void Focus() {
    Picker->SetFocus();
    Pump();
    Events.clear();
  }
  TDateTime Shows() {
    SYSTEMTIME st{};
    const LRESULT r = Picker->Perform(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    return r == GDT_VALID ? SystemTimeToDateTime(st) : -1;
  }
  QWidget* Popup() const { return Picker->Calendar() ? Picker->Calendar()->Window() : nullptr; }
  void ClickDay(QDate Day) {
    const QRect r = Picker->Calendar()->DayRect(Day);
    ASSERT_FALSE(r.isEmpty()) << "day not shown";
    const QPoint at = Popup()->mapFromGlobal(r.center());
    ClickWidget(Popup(), at.x(), at.y());
  }

  TFormatSettings Saved;
  TDateTimePicker* Picker = nullptr;
  TEdit* Other = nullptr;
  QStringList Events;
};

// --- fields ------------------------------------------------------------------------

TEST_F(PickerTest, FieldsAndTextFollowTheFormat) {
  struct TCase {
    const char* Format;
    TDateTime Value;
    const char* Text;
    int Fields;
  };
  const TCase cases[] = {
      {"dd/MM/yyyy", At(2024, 3, 5), "05/03/2024", 3},       {"d/M/yy", At(2024, 3, 5), "5/3/24", 3},
      {"d MMM yyyy", At(2024, 3, 5), "5 Mar 2024", 3},       {"dddd, MMMM d", At(2024, 3, 5), "Tuesday, March 5", 3},
      {"HH:mm:ss", At(2024, 3, 5, 14, 7, 9), "14:07:09", 3}, {"h:mm tt", At(2024, 3, 5, 14, 7, 9), "2:07 PM", 3},
      {"hh:mm t", At(2024, 3, 5, 0, 30), "12:30 A", 3},      {"'Day' d", At(2024, 3, 5), "Day 5", 1},
      {"HH 'o''clock'", At(2024, 3, 5, 9), "09 o'clock", 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Format);
    Picker->SetFormat(QString::fromLatin1(c.Format));
    Picker->SetDateTime(c.Value);
    EXPECT_EQ(Picker->DisplayText(), QString::fromLatin1(c.Text));
    EXPECT_EQ(Picker->Text(), QString::fromLatin1(c.Text)) << "WM_GETTEXT";
    EXPECT_EQ(Picker->FieldCount(), c.Fields);
  }
}

TEST_F(PickerTest, WithoutAFormatTheLocalesFormatIsUsed) {
  FormatSettings.DateSeparator = u'.';
  FormatSettings.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
  FormatSettings.LongDateFormat = QStringLiteral("dddd d mmmm yyyy");
  FormatSettings.TimeSeparator = u':';
  FormatSettings.LongTimeFormat = QStringLiteral("hh:nn:ss");
  Picker->SetFormat(QString());
  struct TCase {
    TDateTimeKind Kind;
    TDTDateFormat DateFormat;
    const char* Effective;
    const char* Text;
  };
  const TCase cases[] = {
      {dtkDate, dfShort, "dd.MM.yyyy", "05.03.2024"},
      {dtkDate, dfLong, "dddd d MMMM yyyy", "Tuesday 5 March 2024"},
      {dtkTime, dfShort, "HH:mm:ss", "14:07:09"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Effective);
    Picker->SetKind(c.Kind);
    Picker->SetDateFormat(c.DateFormat);
    EXPECT_EQ(Picker->EffectiveFormat(), QString::fromLatin1(c.Effective));
    EXPECT_EQ(Picker->DisplayText(), QString::fromLatin1(c.Text));
  }
  // A 12-hour clock keeps its marker.
  FormatSettings.LongTimeFormat = QStringLiteral("h:nn:ss am/pm");
  EXPECT_EQ(Picker->EffectiveFormat(), QStringLiteral("h:mm:ss tt"));
  EXPECT_EQ(Picker->DisplayText(), QStringLiteral("2:07:09 PM"));
}

TEST_F(PickerTest, RightAndLeftMoveBetweenFieldsNotCharacters) {
  Focus();
  struct TStep {
    WORD Key;
    int Field;
  };
  const TStep steps[] = {{VK_RIGHT, 1}, {VK_RIGHT, 2}, {VK_RIGHT, 0}, {VK_LEFT, 2},
                         {VK_HOME, 0},  {VK_END, 2},   {VK_LEFT, 1}};
  for (const TStep& s : steps) {
    Key(s.Key);
    EXPECT_EQ(Picker->CurrentField(), s.Field) << "after key " << s.Key;
  }
  EXPECT_TRUE(Events.isEmpty()) << "moving between fields changes nothing";
  // A click selects the field under it, or the nearest one.
  Click(Picker, Picker->FieldRect(2).CenterPoint().X, 5);
  EXPECT_EQ(Picker->CurrentField(), 2);
  Click(Picker, 1, 5);
  EXPECT_EQ(Picker->CurrentField(), 0);
  Click(Picker, Picker->FieldRect(2).Right + 10, 5);
  EXPECT_EQ(Picker->CurrentField(), 2);
}

TEST_F(PickerTest, UpAndDownStepTheCurrentFieldWithoutCarrying) {
  struct TCase {
    const char* Format;
    TDateTime Start;
    int Field;
    WORD Key;
    TDateTime Expected;
  };
  const TCase cases[] = {
      {"dd/MM/yyyy", At(2024, 1, 31), 0, VK_UP, At(2024, 1, 1)},
      {"dd/MM/yyyy", At(2024, 1, 1), 0, VK_DOWN, At(2024, 1, 31)},
      {"dd/MM/yyyy", At(2024, 12, 15), 1, VK_UP, At(2024, 1, 15)},
      {"dd/MM/yyyy", At(2024, 1, 31), 1, VK_UP, At(2024, 2, 29)},
      {"dd/MM/yyyy", At(2024, 2, 29), 2, VK_UP, At(2025, 2, 28)},
      {"dd/MM/yyyy", At(2024, 3, 5, 14, 7, 9), 2, VK_DOWN, At(2023, 3, 5, 14, 7, 9)},
      {"HH:mm:ss", At(2024, 3, 5, 23, 0), 0, VK_UP, At(2024, 3, 5, 0, 0)},
      {"HH:mm:ss", At(2024, 3, 5, 0, 30), 0, VK_DOWN, At(2024, 3, 5, 23, 30)},
      {"HH:mm:ss", At(2024, 3, 5, 10, 59), 1, VK_UP, At(2024, 3, 5, 10, 0)},
      {"HH:mm:ss", At(2024, 3, 5, 10, 0, 0), 2, VK_DOWN, At(2024, 3, 5, 10, 0, 59)},
      {"h:mm tt", At(2024, 3, 5, 9, 15), 2, VK_UP, At(2024, 3, 5, 21, 15)},
      {"ddd d", At(2024, 3, 31), 0, VK_UP, At(2024, 4, 1)},
  };
  Focus();
  for (const TCase& c : cases) {
    SCOPED_TRACE(QStringLiteral("%1 field %2 from %3")
                     .arg(QString::fromLatin1(c.Format))
                     .arg(c.Field)
                     .arg(Shown(c.Start))
                     .toStdString());
    Picker->SetFormat(QString::fromLatin1(c.Format));
    Picker->SetDateTime(c.Start);
    Key(VK_HOME);
    for (int i = 0; i < c.Field; ++i) Key(VK_RIGHT);
    Events.clear();
    Key(c.Key);
    EXPECT_EQ(Shown(Picker->DateTime()), Shown(c.Expected));
    EXPECT_EQ(Events, (QStringList{"form DTN_DATETIMECHANGE " + Shown(c.Expected), "OnChange " + Shown(c.Expected)}));
  }
}

TEST_F(PickerTest, DigitsTypeIntoTheCurrentField) {
  struct TCase {
    const char* Format;
    int Field;
    const char* Typed;
    TDateTime Expected;
    int Notifications;
  };
  // From 05/03/2024 14:07:09.
  const TCase cases[] = {
      {"dd/MM/yyyy", 0, "15", At(2024, 3, 15, 14, 7, 9), 2},  // 1, then 15
      {"dd/MM/yyyy", 0, "35", At(2024, 3, 5, 14, 7, 9), 2},   // 3, then 35 is too big: 5
      {"dd/MM/yyyy", 0, "05", At(2024, 3, 5, 14, 7, 9), 0},   // 0 waits; 05 is the day it was
      {"dd/MM/yyyy", 1, "13", At(2024, 3, 5, 14, 7, 9), 2},   // 1, then 13 is too big: 3
      {"dd/MM/yyyy", 2, "2025", At(2025, 3, 5, 14, 7, 9), 1}, {"HH:mm:ss", 0, "23", At(2024, 3, 5, 23, 7, 9), 2},
      {"HH:mm:ss", 1, "7", At(2024, 3, 5, 14, 7, 9), 0},      {"h:mm tt", 2, "a", At(2024, 3, 5, 2, 7, 9), 1},
  };
  Focus();
  for (const TCase& c : cases) {
    SCOPED_TRACE(QStringLiteral("%1 field %2 typed %3")
                     .arg(QString::fromLatin1(c.Format))
                     .arg(c.Field)
                     .arg(QString::fromLatin1(c.Typed))
                     .toStdString());
    Picker->SetFormat(QString::fromLatin1(c.Format));
    Picker->SetDateTime(At(2024, 3, 5, 14, 7, 9));
    Key(VK_HOME);
    for (int i = 0; i < c.Field; ++i) Key(VK_RIGHT);
    Events.clear();
    Type(QString::fromLatin1(c.Typed));
    EXPECT_EQ(Shown(Picker->DateTime()), Shown(c.Expected));
    EXPECT_EQ(Events.filter(QStringLiteral("form DTN_DATETIMECHANGE")).size(), c.Notifications);
    EXPECT_EQ(Picker->CurrentField(), c.Field) << "the picker never moves on by itself";
  }
}

TEST_F(PickerTest, AYearTakesFourDigitsOrTheCenturyWindowWhenLeft) {
  Focus();
  Key(VK_END);
  Type(QStringLiteral("20"));
  EXPECT_EQ(Picker->DisplayText(), QStringLiteral("05/03/20")) << "the digits typed so far show";
  EXPECT_EQ(Shown(Picker->DateTime()), Shown(At(2024, 3, 5, 14, 7, 9)));
  Type(QStringLiteral("19"));
  EXPECT_EQ(Shown(Picker->DateTime()), Shown(At(2019, 3, 5, 14, 7, 9)));
  // Two digits, then another field: the year from the century window, within
  // the 100 years that start TwoDigitYearCenturyWindow years ago.
  Type(QStringLiteral("24"));
  Key(VK_LEFT);
  Word y = 0, m = 0, d = 0;
  DecodeDate(Picker->DateTime(), y, m, d);
  const int now = QDate::currentDate().year();
  EXPECT_EQ(y % 100, 24);
  EXPECT_GE(y, now - FormatSettings.TwoDigitYearCenturyWindow);
  EXPECT_LT(y, now - FormatSettings.TwoDigitYearCenturyWindow + 100);
  // Leaving the picker takes them too.
  Key(VK_RIGHT);
  Type(QStringLiteral("2"));
  Other->SetFocus();
  Pump();
  DecodeDate(Picker->DateTime(), y, m, d);
  EXPECT_EQ(y % 100, 2);
}

// --- check box ------------------------------------------------------------------------

TEST_F(PickerTest, TheCheckBoxSetsAndClearsTheNoneState) {
  Picker->SetShowCheckbox(true);
  Pump();
  Focus();
  EXPECT_TRUE(Picker->Checked());
  Key(VK_SPACE);
  EXPECT_FALSE(Picker->Checked());
  SYSTEMTIME st{};
  EXPECT_EQ(Picker->Perform(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)), GDT_NONE);
  Click(Picker, Picker->CheckBoxRect().CenterPoint().X, Picker->CheckBoxRect().CenterPoint().Y);
  EXPECT_TRUE(Picker->Checked());
  Key(VK_SPACE);
  // A field edit checks it again.
  Key(VK_UP);
  EXPECT_TRUE(Picker->Checked());
  EXPECT_EQ(Events, (QStringList{"form DTN_DATETIMECHANGE none", "OnChange 2024-03-05 14:07:09",
                                 "form DTN_DATETIMECHANGE 2024-03-05 14:07:09", "OnChange 2024-03-05 14:07:09",
                                 "form DTN_DATETIMECHANGE none", "OnChange 2024-03-05 14:07:09",
                                 "form DTN_DATETIMECHANGE 2024-03-06 14:07:09", "OnChange 2024-03-06 14:07:09"}));
  // The program: no notifications; a value set while cleared stays grey.
  Events.clear();
  Picker->SetChecked(false);
  Picker->SetDateTime(At(2020, 1, 2));
  EXPECT_FALSE(Picker->Checked());
  EXPECT_EQ(Picker->Perform(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)), GDT_NONE);
  EXPECT_EQ(Picker->DisplayText(), QStringLiteral("02/01/2020"));
  Picker->SetChecked(true);
  EXPECT_EQ(Shown(Shows()), Shown(At(2020, 1, 2)));
  EXPECT_TRUE(Events.isEmpty());
  // Without the check box there is no "none" state.
  Picker->SetShowCheckbox(false);
  EXPECT_EQ(Picker->Perform(DTM_SETSYSTEMTIME, WPARAM(GDT_NONE), 0), FALSE);
}

TEST_F(PickerTest, TheNoneStateShowsTheFieldsGrey) {
  Picker->SetShowCheckbox(true);
  Picker->Font()->SetQuality(fqNonAntialiased);
  Pump();
  const TColor text = StyleServices().GetSystemColor(clWindowText);
  const TColor grey = StyleServices().GetSystemColor(clGrayText);
  QImage shown = Grab(Picker);
  EXPECT_GT(Count(shown, text), 20);
  Picker->SetChecked(false);
  Pump();
  shown = Grab(Picker);
  const QRect fields(20, 0, Picker->ButtonRect().Left - 20, shown.height());
  EXPECT_EQ(probe::Count(shown, probe::IsBgr(uint32_t(text)), fields), 0);
  EXPECT_GT(probe::Count(shown, probe::IsBgr(uint32_t(grey)), fields), 20);
}

// --- limits -------------------------------------------------------------------------------

TEST_F(PickerTest, ValuesStayWithinMinDateAndMaxDate) {
  Picker->SetMinDate(At(2024, 1, 10));
  Picker->SetMaxDate(At(2024, 6, 20));
  SYSTEMTIME range[2]{};
  EXPECT_EQ(DWORD(Picker->Perform(DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range))), GDTR_MIN | GDTR_MAX);
  EXPECT_EQ(range[0].wDay, 10);
  EXPECT_EQ(range[1].wMonth, 6);
  // The program: an error, nothing changed.
  struct TCase {
    std::function<void()> Set;
    const char* Message;
  };
  const TCase cases[] = {
      {[&] { Picker->SetDateTime(At(2024, 1, 9, 23, 59)); }, "Date is less than minimum of 1/10/2024"},
      {[&] { Picker->SetDate(At(2024, 6, 21)); }, "Date exceeds maximum of 6/20/2024"},
      {[&] { Picker->SetMinDate(At(2024, 7, 1)); }, "Date exceeds maximum of 6/20/2024"},
      {[&] { Picker->SetMaxDate(At(2024, 1, 1)); }, "Date is less than minimum of 1/10/2024"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Message);
    try {
      c.Set();
      ADD_FAILURE() << "no error";
    } catch (const EDateTimeError& e) {
      EXPECT_EQ(e.Message(), QString::fromLatin1(c.Message));
    }
  }
  EXPECT_EQ(Shown(Picker->DateTime()), Shown(At(2024, 3, 5, 14, 7, 9)));
  // The last day of the range counts whatever its time.
  Picker->SetDateTime(At(2024, 6, 20, 23, 59));
  // The user: pulled to the limit.
  Focus();
  Key(VK_END);
  Key(VK_UP);  // 2025-06-20: beyond
  EXPECT_EQ(Shown(Picker->DateTime()), Shown(At(2024, 6, 20, 23, 59)));
  Key(VK_HOME);
  Key(VK_RIGHT);
  for (int i = 0; i < 5; ++i) Key(VK_DOWN);  // June to January
  EXPECT_EQ(Shown(Picker->DateTime()), Shown(At(2024, 1, 20, 23, 59)));
  Key(VK_DOWN);  // round to December: beyond, pulled back to the maximum
  EXPECT_EQ(Shown(Picker->DateTime()), Shown(At(2024, 6, 20, 23, 59)));
  Picker->SetMaxDate(0);
  Picker->SetDateTime(At(2024, 1, 10));
  Key(VK_HOME);
  Key(VK_DOWN);  // the 9th of January: before the minimum, pulled up to it
  EXPECT_EQ(Shown(Picker->DateTime()), Shown(At(2024, 1, 10)));
}

// --- messages --------------------------------------------------------------------------------

TEST_F(PickerTest, SystemTimeMessagesSetAndGetWithoutNotifying) {
  SYSTEMTIME st{};
  DateTimeToSystemTime(At(1999, 12, 31, 23, 59, 58), st);
  EXPECT_EQ(Picker->Perform(DTM_SETSYSTEMTIME, WPARAM(GDT_VALID), reinterpret_cast<LPARAM>(&st)), TRUE);
  EXPECT_EQ(Shown(Shows()), QStringLiteral("1999-12-31 23:59:58"));
  EXPECT_EQ(st.wDayOfWeek, 5);  // a Friday
  SYSTEMTIME bad = st;
  bad.wMonth = 13;
  EXPECT_EQ(Picker->Perform(DTM_SETSYSTEMTIME, WPARAM(GDT_VALID), reinterpret_cast<LPARAM>(&bad)), FALSE);
  EXPECT_EQ(Picker->Perform(DTM_GETSYSTEMTIME, 0, 0), GDT_ERROR);
  EXPECT_EQ(Shown(Shows()), QStringLiteral("1999-12-31 23:59:58"));
  EXPECT_TRUE(Events.isEmpty());
  // The properties keep what the program set; the control shows what the
  // message set (the framework learns it from the user's notifications).
  EXPECT_EQ(Shown(Picker->DateTime()), Shown(At(2024, 3, 5, 14, 7, 9)));
}

TEST_F(PickerTest, PickerInfoReportsTheCheckBoxAndTheButton) {
  struct TCase {
    const char* Name;
    TDateTimeKind Kind;
    TDTDateMode Mode;
    bool Checkbox;
    DWORD CheckState;
    DWORD ButtonState;
  };
  const TCase cases[] = {
      {"drop-down", dtkDate, dmComboBox, false, STATE_SYSTEM_INVISIBLE, 0},
      {"with check box", dtkDate, dmComboBox, true, STATE_SYSTEM_CHECKED, 0},
      {"up-down", dtkDate, dmUpDown, false, STATE_SYSTEM_INVISIBLE, STATE_SYSTEM_INVISIBLE},
      {"time", dtkTime, dmComboBox, true, STATE_SYSTEM_CHECKED, STATE_SYSTEM_INVISIBLE},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Picker->SetKind(c.Kind);
    Picker->SetDateMode(c.Mode);
    Picker->SetShowCheckbox(c.Checkbox);
    DATETIMEPICKERINFO info{};
    info.cbSize = sizeof(info);
    Picker->Perform(DTM_GETDATETIMEPICKERINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.stateCheck, c.CheckState);
    EXPECT_EQ(info.stateButton, c.ButtonState);
    EXPECT_EQ(info.hwndEdit, Picker->Handle());
    if (c.ButtonState == 0) {
      const int w = GetSystemMetrics(SM_CXVSCROLL);
      EXPECT_EQ(info.rcButton.right, Picker->ClientWidth());
      EXPECT_EQ(info.rcButton.right - info.rcButton.left, w);
    }
    if (c.Checkbox) EXPECT_EQ(info.rcCheck.left, 2);
  }
}

// --- the calendar ---------------------------------------------------------------------------

TEST_F(PickerTest, F4OpensTheCalendarAndAClickOnADayTakesIt) {
  Focus();
  Key(VK_F4);
  ASSERT_TRUE(Picker->DroppedDown());
  ASSERT_NE(Popup(), nullptr);
  EXPECT_TRUE(Popup()->isVisible());
  EXPECT_EQ(Events, (QStringList{"form DTN_DROPDOWN", "OnDropDown"}));
  // Below the picker, its left edge on the picker's.
  const QPoint below = Picker->Widget()->mapToGlobal(QPoint(0, Picker->Widget()->height()));
  EXPECT_EQ(Popup()->geometry().topLeft(), below);
  DATETIMEPICKERINFO info{};
  Picker->Perform(DTM_GETDATETIMEPICKERINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.stateButton, STATE_SYSTEM_PRESSED);
  KeepPicture(Popup()->grab().toImage(), QStringLiteral("picker-calendar-open"));

  Events.clear();
  ClickDay(QDate(2024, 3, 21));
  EXPECT_FALSE(Picker->DroppedDown());
  EXPECT_FALSE(Popup()->isVisible());
  EXPECT_EQ(Shown(Picker->DateTime()), Shown(At(2024, 3, 21, 14, 7, 9)));
  EXPECT_EQ(Events, (QStringList{"form DTN_DATETIMECHANGE 2024-03-21 14:07:09", "OnChange 2024-03-21 14:07:09",
                                 "form DTN_CLOSEUP", "OnCloseUp"}));
  // The picker kept the focus all along.
  EXPECT_TRUE(Picker->Focused());
  EXPECT_FALSE(Events.contains(QStringLiteral("OnExit")));
}

TEST_F(PickerTest, KeysInTheCalendarChangeTheValueAndEscapeRestoresIt) {
  Focus();
  Key(VK_DOWN, TShiftState{ssAlt});
  ASSERT_TRUE(Picker->DroppedDown());
  Events.clear();
  Key(VK_RIGHT);
  Key(VK_DOWN);
  EXPECT_EQ(Shown(Picker->DateTime()), Shown(At(2024, 3, 13, 14, 7, 9)));
  EXPECT_EQ(Events.filter(QStringLiteral("form DTN_DATETIMECHANGE")).size(), 2);
  Events.clear();
  Key(VK_ESCAPE);
  EXPECT_FALSE(Picker->DroppedDown());
  EXPECT_EQ(Shown(Picker->DateTime()), Shown(At(2024, 3, 5, 14, 7, 9)));
  EXPECT_EQ(Events, (QStringList{"form DTN_DATETIMECHANGE 2024-03-05 14:07:09", "OnChange 2024-03-05 14:07:09",
                                 "form DTN_CLOSEUP", "OnCloseUp"}));
  // Enter takes the selected day; F4 closes keeping it; so does
  // DTM_CLOSEMONTHCAL.
  struct TCase {
    const char* Name;
    std::function<void()> Close;
  };
  const TCase cases[] = {
      {"Enter", [] { Key(VK_RETURN); }},
      {"F4", [] { Key(VK_F4); }},
      {"Alt+Up", [] { Key(VK_UP, TShiftState{ssAlt}); }},
      {"DTM_CLOSEMONTHCAL", [&] { Picker->Perform(DTM_CLOSEMONTHCAL, 0, 0); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TDateTime before = Picker->DateTime();
    Key(VK_F4);
    ASSERT_TRUE(Picker->DroppedDown());
    Key(VK_RIGHT);
    Events.clear();
    c.Close();
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_EQ(Shown(Picker->DateTime()), Shown(before + 1));
    EXPECT_EQ(Events.last(), QStringLiteral("OnCloseUp"));
  }
  EXPECT_TRUE(Picker->Focused());
}

TEST_F(PickerTest, AClickOnTheButtonOpensAndTheUpDownModeHasNoCalendar) {
  const TRect button = Picker->ButtonRect();
  Click(Picker, button.CenterPoint().X, button.CenterPoint().Y);
  EXPECT_TRUE(Picker->DroppedDown());
  Key(VK_ESCAPE);
  EXPECT_FALSE(Picker->DroppedDown());
  Picker->SetDateMode(dmUpDown);
  Focus();
  Key(VK_F4);
  EXPECT_FALSE(Picker->DroppedDown());
  EXPECT_TRUE(Events.isEmpty());
}

TEST_F(PickerTest, TheSpinButtonsStepTheFieldAndRepeat) {
  Picker->SetDateMode(dmUpDown);
  Pump();
  Focus();
  TManualClock clock;
  const TRect spin = Picker->ButtonRect();
  MouseDown(Picker, spin.CenterPoint().X, spin.Top + 2);
  EXPECT_EQ(Shown(Picker->DateTime()), Shown(At(2024, 3, 6, 14, 7, 9)));
  clock.Advance(400);
  EXPECT_EQ(Shown(Picker->DateTime()), Shown(At(2024, 3, 7, 14, 7, 9)));
  clock.Advance(200);
  EXPECT_EQ(Shown(Picker->DateTime()), Shown(At(2024, 3, 9, 14, 7, 9)));
  MouseUp(Picker, spin.CenterPoint().X, spin.Top + 2);
  clock.Advance(500);
  EXPECT_EQ(Shown(Picker->DateTime()), Shown(At(2024, 3, 9, 14, 7, 9)));
  Click(Picker, spin.CenterPoint().X, spin.Bottom - 2);
  EXPECT_EQ(Shown(Picker->DateTime()), Shown(At(2024, 3, 8, 14, 7, 9)));
}

// --- typed text -------------------------------------------------------------------------------

TEST_F(PickerTest, TypedTextIsAskedForWithDtnUserString) {
  Picker->SetParseInput(true);
  Picker->OnUserInput = [this](TObject*, const QString& Text, TDateTime& Value, bool& Allow) {
    Events << QStringLiteral("OnUserInput ") + Text;
    if (Text == QLatin1String("new year")) {
      Value = At(2025, 1, 1);
      Allow = true;
    }
  };
  Pump();
  struct TCase {
    const char* Typed;
    WORD End;
    TDateTime Expected;
  };
  const TCase cases[] = {
      {"new year", VK_RETURN, At(2025, 1, 1)},
      {"7/4/2024", VK_RETURN, At(2024, 7, 4)},  // read by the locale
      {"no date", VK_RETURN, At(2024, 7, 4)},   // refused: kept
      {"8/8/2028", VK_ESCAPE, At(2024, 7, 4)},  // dropped
  };
  Focus();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Typed);
    Key(VK_F2);
    EXPECT_TRUE(Picker->EditingText());
    for (int i = 0; i < 12; ++i) Key(VK_BACK);
    Type(QString::fromLatin1(c.Typed));
    Events.clear();
    Key(c.End);
    EXPECT_FALSE(Picker->EditingText());
    EXPECT_EQ(Shown(Picker->DateTime()), Shown(c.Expected));
    if (c.End == VK_RETURN) {
      EXPECT_EQ(Events.first(), QStringLiteral("form DTN_USERSTRING"));
      EXPECT_EQ(Events.value(1), QStringLiteral("OnUserInput ") + QString::fromLatin1(c.Typed));
    } else {
      EXPECT_TRUE(Events.isEmpty());
    }
  }
}

// --- painting -----------------------------------------------------------------------------------

TEST_F(PickerTest, TheCurrentFieldIsHighlightedOnlyWithTheFocus) {
  const TColor highlight = StyleServices().GetSystemColor(clHighlight);
  Pump();
  EXPECT_EQ(Count(Grab(Picker), highlight), 0);
  Focus();
  Key(VK_RIGHT);
  const QImage shown = Grab(Picker);
  const TRect month = Picker->FieldRect(1);
  // The frame (client edge) is two pixels: the client's rectangle in the
  // picture is offset by it.
  const int frame = (Picker->Width() - Picker->ClientWidth()) / 2;
  const QRect box = probe::Box(shown, probe::IsBgr(uint32_t(highlight)));
  EXPECT_EQ(box.left(), month.Left + frame);
  EXPECT_EQ(box.right() + 1, month.Right + frame);
}

TEST_F(PickerTest, WithoutCtl3DTheBorderIsOnePixel) {
  Pump();
  const int sunken = Picker->Width() - Picker->ClientWidth();
  Picker->SetCtl3D(false);
  Pump();
  EXPECT_EQ(sunken, 4);
  EXPECT_EQ(Picker->Width() - Picker->ClientWidth(), 2);
  const QImage shown = Grab(Picker);
  const TColor edge = Px(shown, 0, 10);
  EXPECT_EQ(Px(shown, Picker->Width() - 1, 10), edge);
  EXPECT_NE(Px(shown, 1, 10), edge);
}

// A spin edit (an edit with an up-down) and date pickers as they look in
// the system style and in a custom one.
TEST_F(PickerTest, ASpinEditAndDatePickersInTwoStyles) {
  auto* spinEdit = Create<TEdit>(Form.get());
  spinEdit->SetBounds(220, 20, 90, 24);
  spinEdit->SetParent(Form.get());
  auto* up = Create<TUpDown>(Form.get());
  up->SetParent(Form.get());
  up->SetMax(2000);
  up->SetPosition(1250);
  up->SetAssociate(spinEdit);
  auto* checked = Create<TDateTimePicker>(Form.get());
  checked->SetBounds(20, 52, 186, 24);
  checked->SetParent(Form.get());
  checked->SetShowCheckbox(true);
  checked->SetFormat(QStringLiteral("ddd d MMM yyyy"));
  checked->SetDateTime(At(2024, 3, 5));
  auto* time = Create<TDateTimePicker>(Form.get());
  time->SetBounds(220, 52, 110, 24);
  time->SetParent(Form.get());
  time->SetKind(dtkTime);
  time->SetFormat(QStringLiteral("HH:mm:ss"));
  time->SetDateTime(At(2024, 3, 5, 14, 7, 9));
  Picker->SetFocus();
  Pump();
  for (const char* style : {"Windows", "Cyan Night"}) {
    SCOPED_TRACE(style);
    TStyleManager::SetStyle(QString::fromLatin1(style));
    Pump();
    Form->Repaint();
    Pump();
    const QImage shown = Grab(Form.get()).copy(10, 10, 340, 80);
    KeepPicture(shown, QStringLiteral("pickers-and-spin-edit-") + QString::fromLatin1(style).remove(u' '));
    KeepPicture(Grab(time).scaled(Grab(time).size() * 4),
                QStringLiteral("time-x4-") + QString::fromLatin1(style).remove(u' '));
    // The pickers' ground is the style's window colour, their current field
    // its highlight.
    const TColor window = StyleServices().GetSystemColor(clWindow);
    EXPECT_EQ(Px(Grab(time), 30, 3), window);
    EXPECT_GT(Count(Grab(Picker), StyleServices().GetSystemColor(clHighlight)), 20);
    // Each part has ink of its own: the fields' text, the button and the
    // spin arrows.
    const QImage picker = Grab(Picker);
    const QRect fields(2, 2, Picker->ButtonRect().Left, picker.height() - 4);
    EXPECT_GT(probe::Count(picker, probe::NotBgr(uint32_t(window)), fields), 40);
  }
  TStyleManager::SetStyle(QStringLiteral("Windows"));
}

// --- the month calendar --------------------------------------------------------------------------

class MonthCalendarTest : public StdFormTest {
 protected:
  void SetUp() override {
    StdFormTest::SetUp();
    Calendar = Create<TMonthCalendar>(Form.get());
    Calendar->SetName(QStringLiteral("calendar"));
    Calendar->SetBounds(10, 10, 300, 240);
    Calendar->SetParent(Form.get());
    Calendar->OnClick = [this](TObject*) { Events << QStringLiteral("OnClick ") + DateToStr(Calendar->Date()); };
    Calendar->OnChange = [this](TObject*) { Events << QStringLiteral("OnChange ") + DateToStr(Calendar->Date()); };
    Form->SetWindowProc([this, previous = Form->DefaultWindowProc()](TMessage& M) {
      if (M.Msg == WM_NOTIFY) Events << QStringLiteral("form ") + CodeName(reinterpret_cast<NMHDR*>(M.LParam)->code);
      previous(M);
    });
    Calendar->SetDate(At(2024, 3, 5));
    Pump();
  }
  void TearDown() override {
    Form->SetWindowProc(nullptr);
    StdFormTest::TearDown();
  }
  TMonthCalendar* Calendar = nullptr;
  QStringList Events;
};

TEST_F(MonthCalendarTest, AClickOnADayGoesThroughTheWindowProcedureAndPicksIt) {
  TMessageLog log;
  log.Attach(Calendar, QStringLiteral("calendar"));
  const TRect day = Calendar->DayRect(At(2024, 3, 14));
  ASSERT_FALSE(day.IsEmpty());
  Click(Calendar, day.CenterPoint().X, day.CenterPoint().Y);
  EXPECT_EQ(DateToStr(Calendar->Date()), QStringLiteral("3/14/2024"));
  EXPECT_EQ(Events, (QStringList{"form MCN_SELCHANGE", "OnChange 3/14/2024", "form MCN_SELECT", "OnClick 3/14/2024"}));
  EXPECT_EQ(log.Lines({WM_LBUTTONDOWN, WM_LBUTTONUP}),
            (QStringList{"calendar WM_LBUTTONDOWN 1", "calendar WM_LBUTTONUP 0"}));
  EXPECT_TRUE(Calendar->Focused());
  // Keys too: Right moves a day, Down a week.
  log.Clear();
  Events.clear();
  Key(VK_RIGHT);
  Key(VK_DOWN);
  EXPECT_EQ(DateToStr(Calendar->Date()), QStringLiteral("3/22/2024"));
  EXPECT_EQ(Events,
            (QStringList{"form MCN_SELCHANGE", "OnChange 3/15/2024", "form MCN_SELCHANGE", "OnChange 3/22/2024"}));
  EXPECT_EQ(log.Lines({WM_KEYDOWN}).size(), 2);
  // Tab leaves it through the form's dialog handling.
  auto* edit = Create<TEdit>(Form.get());
  edit->SetBounds(10, 260, 80, 24);
  edit->SetParent(Form.get());
  Pump();
  log.Clear();
  Key(VK_TAB);
  EXPECT_TRUE(edit->Focused());
}

TEST_F(MonthCalendarTest, MessagesSetTheDateRangeTodayAndFirstDay) {
  Calendar->SetMinDate(At(2024, 3, 1));
  Calendar->SetMaxDate(At(2024, 3, 31));
  EXPECT_THROW(Calendar->SetDate(At(2024, 4, 1)), EDateTimeError);
  SYSTEMTIME st{};
  DateTimeToSystemTime(At(2024, 2, 1), st);
  EXPECT_EQ(Calendar->Perform(MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st)), FALSE);
  DateTimeToSystemTime(At(2024, 3, 30), st);
  EXPECT_EQ(Calendar->Perform(MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st)), TRUE);
  EXPECT_EQ(DateToStr(Calendar->Date()), QStringLiteral("3/30/2024"));
  SYSTEMTIME range[2]{};
  EXPECT_EQ(DWORD(Calendar->Perform(MCM_GETRANGE, 0, reinterpret_cast<LPARAM>(range))), GDTR_MIN | GDTR_MAX);
  // The user stays within the range.
  Calendar->SetFocus();
  Pump();
  Key(VK_NEXT);  // next month: beyond
  EXPECT_LE(Calendar->Date(), At(2024, 3, 31));
  Events.clear();
  // Today.
  DateTimeToSystemTime(At(2024, 3, 8), st);
  Calendar->Perform(MCM_SETTODAY, 0, reinterpret_cast<LPARAM>(&st));
  EXPECT_EQ(DateToStr(Calendar->Today()), QStringLiteral("3/8/2024"));
  auto* panel = dynamic_cast<comctrls_detail::TCalendarPanel*>(Calendar->Widget());
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->TodayButton()->text(), QStringLiteral("Today: 3/8/2024"));
  // First day of the week: Monday (0), which differs from the locale's.
  const LRESULT old = Calendar->Perform(MCM_SETFIRSTDAYOFWEEK, 0, 0);
  EXPECT_EQ(LOWORD(DWORD(old)), 6);  // Sunday in en-US
  EXPECT_EQ(Calendar->FirstDayOfWeek(), dowMonday);
  EXPECT_EQ(DWORD(Calendar->Perform(MCM_GETFIRSTDAYOFWEEK, 0, 0)), DWORD(MAKELPARAM(0, 1)));
  EXPECT_EQ(panel->Calendar()->firstDayOfWeek(), Qt::Monday);
  // Nothing the program set notified.
  EXPECT_TRUE(Events.isEmpty());
}

TEST_F(MonthCalendarTest, TodayIsCircledAndTheTodayLinePicksIt) {
  SYSTEMTIME st{};
  DateTimeToSystemTime(At(2024, 3, 8), st);
  Calendar->Perform(MCM_SETTODAY, 0, reinterpret_cast<LPARAM>(&st));
  Pump();
  const TRect today = Calendar->DayRect(At(2024, 3, 8));
  ASSERT_FALSE(today.IsEmpty());
  QImage shown = Grab(Calendar);
  KeepPicture(shown, QStringLiteral("month-calendar"));
  const QRect cell(today.Left, today.Top, today.Width(), today.Height());
  auto red = [](QRgb p) { return qRed(p) > 150 && qGreen(p) < 80 && qBlue(p) < 80; };
  EXPECT_GT(probe::Count(shown, red, cell), 10);
  Calendar->SetShowTodayCircle(false);
  Pump();
  shown = Grab(Calendar);
  EXPECT_EQ(probe::Count(shown, red, cell), 0);
  // The today line picks today.
  auto* panel = dynamic_cast<comctrls_detail::TCalendarPanel*>(Calendar->Widget());
  QToolButton* line = panel->TodayButton();
  ClickWidget(line, line->width() / 2, line->height() / 2);
  EXPECT_EQ(DateToStr(Calendar->Date()), QStringLiteral("3/8/2024"));
  EXPECT_EQ(Events, (QStringList{"form MCN_SELECT", "OnClick 3/8/2024"}));
  Calendar->SetShowToday(false);
  EXPECT_FALSE(line->isVisibleTo(panel));
}

}  // namespace
