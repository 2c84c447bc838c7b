#pragma once
// The date-time picker (TDateTimePicker) and the month calendar
// (TMonthCalendar), with the Win32 message contract of both.
//
// Rules map: TDateTimePicker
// - What it shows: the value as fields (day, month, year; hours, minutes,
//   seconds, AM/PM) and the text between them, by Format, or without one
//   by the locale's format (FormatSettings): ShortDateFormat (dfShort) or
//   LongDateFormat (dfLong) for dtkDate, LongTimeFormat for dtkTime.
//   Format uses the picker's letters: d dd (day), ddd dddd (day name), M MM
//   (month), MMM MMMM (month name), y yy (last digits of the year), yyy
//   yyyy (the year), h hh (12-hour clock), H HH (24-hour clock), m mm
//   (minutes), s ss (seconds), t tt (A/P, AM/PM); text in single quotes
//   ('' is a quote) and any other character stand as they are.
// - Parts, left to right inside the border (Ctl3D: a sunken edge, else a
//   one-pixel line): the check box (ShowCheckbox; 13 x 13 at x 2, fields
//   from x 20, else from x 3), the fields, and at the right edge either
//   the drop-down button (dtkDate with dmComboBox) or the two spin
//   buttons (dmUpDown, and always for dtkTime), as wide as a scroll bar.
//   DTM_GETDATETIMEPICKERINFO reports the check box, the button (with
//   STATE_SYSTEM_INVISIBLE when there is none, STATE_SYSTEM_PRESSED while
//   the calendar is open) and the picker's own window as hwndEdit (there
//   is no separate edit window).
// - The current field (shown highlighted while the picker has the focus):
//   Left and Right move to the field before and after (from the last to
//   the first and back), Home and End to the first and last; a click on a
//   field selects it (a click left of the first field the first, right of
//   the last the last). Up and Down (and the spin buttons, which repeat
//   after 400 ms and every 100 ms while held) step the current field by
//   one: days, months, hours, minutes and seconds go round within their
//   range without carrying into the next field (the day is kept within the
//   month's length), the year steps by one (29 February becomes 28 in a
//   year that has none), AM/PM adds or takes 12 hours, a day name steps
//   the date by a day.
// - Digits type into the current field: they add up while the number still
//   fits the field (two digits; up to the field's largest value), else the
//   digit starts a new number; the value is set as soon as the number is a
//   valid one (a lone 0 waits for the next digit). The year takes four
//   digits; fewer digits are taken when the field is left (two digits by
//   TwoDigitYearCenturyWindow). "A" and "P" (the first letters of the AM
//   and PM texts) set AM/PM. The picker never moves to the next field by
//   itself.
// - Values stay within MinDate..MaxDate (dates compared by day; 0: no
//   limit): a step or a typed value beyond them is pulled to the limit.
// - Check box (ShowCheckbox): cleared, the picker is in the "none" state:
//   the fields are drawn grey and DTM_GETSYSTEMTIME answers GDT_NONE.
//   Space or a click on the box toggles it; a field edit checks it.
// - Calendar (dtkDate with dmComboBox): F4, Alt+Down or a click on the
//   button opens it below the picker (above when there is no room; its
//   left edge on the picker's, its right edge with CalAlignment dtaRight),
//   after DTN_DROPDOWN. Moving the selection in it changes the value at
//   once (DTN_DATETIMECHANGE); a click on a day, Enter or the "Today:"
//   line takes the day and closes it; Escape closes it and restores the
//   value it opened with; a click outside closes it keeping the value; F4,
//   Alt+Up and Alt+Down close it too. Every close sends DTN_CLOSEUP (after
//   the DTN_DATETIMECHANGE of a picked day). DTM_CLOSEMONTHCAL closes it.
//   The calendar marks today, shows week numbers (WeekNumbers) and the
//   "Today:" line (ShowToday, ShowTodayCircle), as DTM_SETMCSTYLE sets
//   them.
// - Typed text (ParseInput): F2 turns the fields into a line of text;
//   Enter or the loss of the focus sends DTN_USERSTRING with it, Escape
//   drops it. The answer (st with GDT_VALID, or GDT_NONE for the "none"
//   state) becomes the value; any other answer keeps the old one. The
//   picker's own answer (CN_NOTIFY): the text read as a date and time
//   (dtkDate) or a time on the picker's day (dtkTime) by FormatSettings,
//   accepted when it reads, then OnUserInput, which may change both.
// - Notifications go to the parent as WM_NOTIFY (NMHDR codes DTN_*), and
//   the parent reflects them back (CN_NOTIFY); without a parent they go
//   straight to CN_NOTIFY. The user's changes send DTN_DATETIMECHANGE
//   (NMDATETIMECHANGE: GDT_VALID with the value, or GDT_NONE), once per
//   change; the picker's answer (its CN_NOTIFY handler) takes the value
//   into DateTime and Checked and runs OnChange. So what the control shows
//   (DTM_GETSYSTEMTIME) is ahead of DateTime until the notification has
//   come back: a descendant's CN_NOTIFY handler still reads the old
//   DateTime before it calls the inherited one. Opening and closing the
//   calendar send DTN_DROPDOWN (OnDropDown) and DTN_CLOSEUP (OnCloseUp).
//   Nothing the program sets sends a notification or runs OnChange.
// - The properties go through the messages as on Win32: DateTime, Date and
//   Time send DTM_SETSYSTEMTIME (GDT_VALID), Checked GDT_VALID or GDT_NONE,
//   MinDate and MaxDate DTM_SETRANGE, Format DTM_SETFORMAT, WeekNumbers,
//   ShowToday and ShowTodayCircle DTM_SETMCSTYLE; DTM_GETSYSTEMTIME and
//   DTM_GETRANGE read them back. Setting DateTime while the check box is
//   cleared keeps it cleared (the value shows grey). A value outside
//   MinDate..MaxDate raises EDateTimeError "Date is less than minimum of
//   %s" / "Date exceeds maximum of %s" and changes nothing; so does a
//   MinDate above MaxDate (or a MaxDate below MinDate).
// - Styles: Kind, DateMode, DateFormat, ShowCheckbox, ParseInput and
//   CalAlignment are the window's DTS_* styles (WindowStyle); changing one
//   re-creates the window. The face follows the active style (the edit
//   colour, its text colour, the highlight for the current field, the
//   style's combo-box button, check box and scroll arrows) and repaints
//   when the style changes; Color (clWindow) is the background.
//
// Rules map: TMonthCalendar
// - A month page (QCalendarWidget) with the "Today:" line; Date is the
//   selected day, within MinDate..MaxDate (0: no limit; outside raises
//   EDateTimeError as the picker does). The user's moves of the selection
//   send MCN_SELCHANGE, a picked day (click, Enter, double click, the
//   "Today:" line) MCN_SELECT, both as WM_NOTIFY (NMSELCHANGE) to the
//   parent, reflected back: MCN_SELCHANGE runs OnChange, MCN_SELECT
//   OnClick (a click elsewhere runs none). The day grid's mouse
//   and the keys go through the window procedure first (WM_LBUTTONDOWN
//   ..., WM_KEYDOWN ...) and reach Qt through the default handling.
// - Messages: MCM_GETCURSEL/SETCURSEL, MCM_GETRANGE/SETRANGE,
//   MCM_GETTODAY/SETTODAY, MCM_GETFIRSTDAYOFWEEK/SETFIRSTDAYOFWEEK,
//   MCM_GETMINREQRECT, MCM_GETMAXTODAYWIDTH; the properties send them.
//
// The drop-down calendar is a plain Qt pop-up window (Qt::Popup) behind a
// small seam (TPickerCalendar, SetPickerCalendarFactory) so that it can
// move onto the platform's pop-up forms.
//
// Not covered: the calendar's colours and font (DTM_SETMCCOLOR,
// DTM_SETMCFONT answer 0) and its window handle (DTM_GETMONTHCAL answers
// null: the pop-up is no window of the handle table); callback fields
// ("X" in a format, DTN_FORMAT, DTN_FORMATQUERY, DTN_WMKEYDOWN); typing
// month and day names (their fields step with Up and Down and take month
// digits); eras ("g"); right-to-left layout; the month calendar's
// multiple selection (MultiSelect, MCM_SETSELRANGE), bold days
// (MCM_SETDAYSTATE), several months side by side, MCM_HITTEST and its
// colours; the mouse of its month and year buttons, which Qt takes
// directly (no mouse messages for them).

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/ExtCtrlsBase.h"
#include "platform/vcl/Graphics.h"

class QWidget;
namespace comctrls_detail {
class TCalendarPanel;
}

TF_DECLARE_EXCEPTION(EDateTimeError, Exception)

namespace DateTimeConsts {
inline constexpr const char* SDateTimeMax = "Date exceeds maximum of %s";
inline constexpr const char* SDateTimeMin = "Date is less than minimum of %s";
}  // namespace DateTimeConsts

// Between TDateTime and the window system's record (wDayOfWeek 0 = Sunday).
void DateTimeToSystemTime(TDateTime DateTime, SYSTEMTIME& SystemTime);
// Raises EConvertError for a record that is no date.
TDateTime SystemTimeToDateTime(const SYSTEMTIME& SystemTime);
bool TrySystemTimeToDateTime(const SYSTEMTIME& SystemTime, TDateTime& DateTime);

enum TDateTimeKind { dtkDate, dtkTime };
TF_ENUM_NAMES(TDateTimeKind, dtkDate, dtkTime)
enum TDTDateMode { dmComboBox, dmUpDown };
TF_ENUM_NAMES(TDTDateMode, dmComboBox, dmUpDown)
enum TDTDateFormat { dfShort, dfLong };
TF_ENUM_NAMES(TDTDateFormat, dfShort, dfLong)
enum TDTCalAlignment { dtaLeft, dtaRight };
TF_ENUM_NAMES(TDTCalAlignment, dtaLeft, dtaRight)
enum TCalDayOfWeek {
  dowMonday,
  dowTuesday,
  dowWednesday,
  dowThursday,
  dowFriday,
  dowSaturday,
  dowSunday,
  dowLocaleDefault
};
TF_ENUM_NAMES(TCalDayOfWeek, dowMonday, dowTuesday, dowWednesday, dowThursday, dowFriday, dowSaturday, dowSunday,
              dowLocaleDefault)

using TDTParseInputEvent =
    std::function<void(TObject* Sender, const QString& UserString, TDateTime& DateAndTime, bool& AllowChange)>;

// ---------------------------------------------------------------------------
// The drop-down calendar seam.

class TPickerCalendar {
 public:
  struct TOptions {
    QDate Date;
    QDate Min;  // null: no limit
    QDate Max;
    QDate Today;
    bool WeekNumbers = false;
    bool ShowToday = true;
    bool TodayCircle = true;
    Qt::DayOfWeek FirstDay = Qt::Sunday;
  };
  virtual ~TPickerCalendar() = default;
  // Shows the calendar under the screen rectangle Anchor (above it when
  // the screen has no room below), its left edge on the anchor's, or its
  // right edge with AlignRight, and gives it the keyboard.
  virtual void Open(const QRect& Anchor, bool AlignRight, const TOptions& Options) = 0;
  // Closes it (OnClosed runs, not cancelled).
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // The pop-up window (null for a calendar without one) and where a day of
  // the shown month is on the screen (empty when not shown).
  virtual QWidget* Window() const = 0;
  virtual QRect DayRect(QDate Date) const = 0;

  // The user moved the selection.
  std::function<void(QDate)> OnSelChange;
  // The user picked a day; the calendar closes right after.
  std::function<void(QDate)> OnPick;
  // It closed: by a pick or a click outside (Cancelled false) or by
  // Escape (Cancelled true). Runs once per opening.
  std::function<void(bool Cancelled)> OnClosed;
};

using TPickerCalendarFactory = std::function<std::unique_ptr<TPickerCalendar>()>;
// Replaces how pickers make their calendar (an empty factory: the default
// Qt pop-up); answers the previous factory. A picker makes its calendar on
// its first opening.
TPickerCalendarFactory SetPickerCalendarFactory(TPickerCalendarFactory Factory);

// ---------------------------------------------------------------------------
// TDateTimePicker

class TDateTimePicker : public TCustomControl {
 public:
  TF_DECLARE_MESSAGES(TDateTimePicker)
  TF_DECLARE_PUBLISHED(TDateTimePicker)
  explicit TDateTimePicker(TComponent* AOwner);
  ~TDateTimePicker() override;

  // --- value
  TDateTime DateTime() const { return FDateTime; }
  void SetDateTime(TDateTime Value);
  // The day (the time of day kept) and the time of day (the day kept).
  TDateTime Date() const;
  void SetDate(TDateTime Value);
  TDateTime Time() const;
  void SetTime(TDateTime Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  TDateTime MinDate() const { return FMinDate; }
  void SetMinDate(TDateTime Value);
  TDateTime MaxDate() const { return FMaxDate; }
  void SetMaxDate(TDateTime Value);

  // --- look
  TDateTimeKind Kind() const { return FKind; }
  void SetKind(TDateTimeKind Value);
  TDTDateMode DateMode() const { return FDateMode; }
  void SetDateMode(TDTDateMode Value);
  TDTDateFormat DateFormat() const { return FDateFormat; }
  void SetDateFormat(TDTDateFormat Value);
  // Empty: the locale's format for the kind.
  const QString& Format() const { return FFormat; }
  void SetFormat(const QString& Value);
  bool ShowCheckbox() const { return FShowCheckbox; }
  void SetShowCheckbox(bool Value);
  bool ParseInput() const { return FParseInput; }
  void SetParseInput(bool Value);
  TDTCalAlignment CalAlignment() const { return FCalAlignment; }
  void SetCalAlignment(TDTCalAlignment Value);
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool WeekNumbers() const { return FMcStyle & MCS_WEEKNUMBERS; }
  void SetWeekNumbers(bool Value);
  bool ShowToday() const { return !(FMcStyle & MCS_NOTODAY); }
  void SetShowToday(bool Value);
  bool ShowTodayCircle() const { return !(FMcStyle & MCS_NOTODAYCIRCLE); }
  void SetShowTodayCircle(bool Value);
  TCalDayOfWeek FirstDayOfWeek() const { return FFirstDayOfWeek; }
  void SetFirstDayOfWeek(TCalDayOfWeek Value);

  // --- state
  // The calendar is open.
  bool DroppedDown() const { return FDroppedDown; }
  // The drop-down calendar (null before the first opening).
  TPickerCalendar* Calendar() const { return FCalendar.get(); }
  // The format in force (Format, or the locale's in the picker's letters).
  QString EffectiveFormat() const;
  // The text shown (also WM_GETTEXT).
  QString DisplayText() const;
  // Fields (the layer's own view of them, for tests and descendants): how
  // many there are, the current one, the client rectangle of one.
  int FieldCount() const;
  int CurrentField() const { return FField; }
  TRect FieldRect(int Index) const;
  TRect CheckBoxRect() const;
  // The drop-down button or the spin buttons (empty when neither shows).
  TRect ButtonRect() const;
  // Typed text is being edited (ParseInput, after F2).
  bool EditingText() const { return FEditing; }

  // The picker keeps the focus while a pop-up window (its calendar, a
  // menu) has the keyboard: Qt's focus changes for pop-ups are no focus
  // messages here.
  bool HostEvent(QEvent* Event) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnCloseUp;
  TNotifyEvent OnDropDown;
  TDTParseInputEvent OnUserInput;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  virtual void Change();
  virtual void DropDown();
  virtual void CloseUp();

  void DTMGetSystemTime(TMessage& Message);
  void DTMSetSystemTime(TMessage& Message);
  void DTMGetRange(TMessage& Message);
  void DTMSetRange(TMessage& Message);
  void DTMSetFormat(TMessage& Message);
  void DTMSetMcStyle(TMessage& Message);
  void DTMGetMcStyle(TMessage& Message);
  void DTMCloseMonthCal(TMessage& Message);
  void DTMGetDateTimePickerInfo(TMessage& Message);
  void DTMGetIdealSize(TMessage& Message);
  void DTMNotCovered(TMessage& Message);
  void CNNotify(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMKeyDown(TMessage& Message);
  void WMSysKeyDown(TMessage& Message);
  void WMChar(TMessage& Message);
  void WMKeyUp(TMessage& Message);
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void WMGetText(TMessage& Message);
  void WMGetTextLength(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMMouseLeave(TMessage& Message);

 private:
  struct TField;
  // The fields and texts of the effective format, and what each shows.
  QList<TField> Tokens() const;
  QStringList TokenTexts() const;
  // The user's change: the value (clamped), checked, DTN_DATETIMECHANGE
  // when anything changed.
  void UserChange(TDateTime Value);
  void UserSetChecked(bool Value);
  TDateTime ClampToRange(TDateTime Value) const;
  void CheckRange(TDateTime Value) const;
  LRESULT Notify(NMHDR& Header);
  void StepField(int Delta);
  void TypeDigit(int Digit);
  void TypeLetter(QChar Letter);
  // Takes pending year digits, forgets other pending digits.
  void CommitTyping();
  void SelectField(int Index);
  void OpenCalendar();
  void CloseCalendar();
  void CalendarClosed(bool Cancelled);
  void BeginTextEdit();
  void EndTextEdit(bool Accept);
  bool HasDropButton() const;
  bool HasSpin() const;
  int FieldAt(int X) const;
  void StartSpinRepeat();
  void StopSpinRepeat();
  void Relayout();

  // What the properties hold (updated by the setters and by the answer to
  // DTN_DATETIMECHANGE) and what the control shows (updated by
  // DTM_SETSYSTEMTIME and by the user): between a user's change and its
  // notification the two differ.
  TDateTime FDateTime = 0;
  bool FChecked = true;
  TDateTime FValue = 0;
  bool FNone = false;
  TDateTime FMinDate = 0;
  TDateTime FMaxDate = 0;
  TDateTimeKind FKind = dtkDate;
  TDTDateMode FDateMode = dmComboBox;
  TDTDateFormat FDateFormat = dfShort;
  QString FFormat;
  bool FShowCheckbox = false;
  bool FParseInput = false;
  TDTCalAlignment FCalAlignment = dtaLeft;
  bool FCtl3D = true;
  TColor FColor = clWindow;
  DWORD FMcStyle = 0;
  TCalDayOfWeek FFirstDayOfWeek = dowLocaleDefault;

  int FField = 0;  // the current field
  QString FTyped;  // digits typed into it so far
  bool FEditing = false;
  QString FEditText;
  bool FDroppedDown = false;
  TDateTime FOpenedWith = 0;
  std::unique_ptr<TPickerCalendar> FCalendar;
  int FSpinPressed = 0;  // +1 / -1 while a spin button is held
  bool FSpinOnPressed = false;
  bool FButtonHot = false;
  TTimer* FSpinTimer = nullptr;
  int FStyleListener = 0;
};

// ---------------------------------------------------------------------------
// TMonthCalendar

class TMonthCalendar : public TWinControl {
 public:
  TF_DECLARE_MESSAGES(TMonthCalendar)
  TF_DECLARE_PUBLISHED(TMonthCalendar)
  explicit TMonthCalendar(TComponent* AOwner);
  ~TMonthCalendar() override;

  // The selected day (its time of day is 0).
  TDateTime Date() const;
  void SetDate(TDateTime Value);
  TDateTime MinDate() const { return FMinDate; }
  void SetMinDate(TDateTime Value);
  TDateTime MaxDate() const { return FMaxDate; }
  void SetMaxDate(TDateTime Value);
  TCalDayOfWeek FirstDayOfWeek() const;
  void SetFirstDayOfWeek(TCalDayOfWeek Value);
  bool WeekNumbers() const { return FWeekNumbers; }
  void SetWeekNumbers(bool Value);
  bool ShowToday() const { return FShowToday; }
  void SetShowToday(bool Value);
  bool ShowTodayCircle() const { return FShowTodayCircle; }
  void SetShowTodayCircle(bool Value);
  // Today as the calendar shows it (the system's date until MCM_SETTODAY).
  TDateTime Today() const;
  // Where a day of the shown month is (client coordinates; empty when not
  // shown).
  TRect DayRect(TDateTime Value) const;

  TNotifyEvent OnChange;

 protected:
  QWidget* CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) override;
  void DestroyWnd() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MCMGetCurSel(TMessage& Message);
  void MCMSetCurSel(TMessage& Message);
  void MCMGetRange(TMessage& Message);
  void MCMSetRange(TMessage& Message);
  void MCMGetToday(TMessage& Message);
  void MCMSetToday(TMessage& Message);
  void MCMGetFirstDayOfWeek(TMessage& Message);
  void MCMSetFirstDayOfWeek(TMessage& Message);
  void MCMGetMinReqRect(TMessage& Message);
  void MCMGetMaxTodayWidth(TMessage& Message);
  void CNNotify(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMCreate(TMessage& Message);

 private:
  comctrls_detail::TCalendarPanel* Panel() const;
  void ApplySettings();
  void SendSelection(UINT Code, QDate Date);

  QDate FDate;
  TDateTime FMinDate = 0;
  TDateTime FMaxDate = 0;
  QDate FToday;        // null: the system's date
  int FFirstDay = -1;  // 0 = Monday .. 6 = Sunday, -1 the locale's
  bool FWeekNumbers = false;
  bool FShowToday = true;
  bool FShowTodayCircle = true;
};
