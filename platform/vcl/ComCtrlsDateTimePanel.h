#pragma once
// The Qt side of the month calendar: a calendar page (QCalendarWidget) with
// the "Today:" line below it, used by TMonthCalendar as its widget and by
// the date-time picker's drop-down calendar. Internal to platform/vcl.
//
// - The page marks today (a circle drawn around its day unless switched
//   off), shows week numbers on request, keeps its selection within the
//   date range, and starts its weeks on the day it is given.
// - The "Today:" line shows today in the short date format; a click on it
//   picks today.
// - OnUserSelect runs when the user moved the selection (keys, the month
//   buttons, a press on a day); OnPick when the user picked a day (a click
//   on a day, Enter, a double click, the "Today:" line). Changes made by
//   the program run neither.
// - DayRect answers where a day of the shown page is (panel coordinates;
//   empty when the day is not shown), from the cells as the page last drew
//   them (drawing the page first when it has not yet).
// - RouteInput (for a control that translates input into window messages):
//   the mouse of the day grid and the keys go to the panel itself (which a
//   host widget turns into messages) and reach the day grid only when the
//   panel's own handling passes them on (mousePressEvent ... keyPressEvent
//   below). The month and year buttons keep taking the mouse directly.

#include <QDate>
#include <QHash>
#include <QWidget>
#include <functional>

class QCalendarWidget;
class QToolButton;
class QTableView;

namespace comctrls_detail {

class TDayCalendar;

class TCalendarPanel : public QWidget {
 public:
  explicit TCalendarPanel(QWidget* Parent = nullptr);
  ~TCalendarPanel() override;

  QDate SelectedDate() const;
  // Moves the selection (and the page) without running the callbacks.
  void SetSelectedDate(QDate Date);
  // The range the selection stays in (a null date: no limit).
  void SetRange(QDate Min, QDate Max);
  QDate Today() const { return FToday; }
  void SetToday(QDate Date);
  void SetShowToday(bool Value);
  bool ShowToday() const { return FShowToday; }
  void SetTodayCircle(bool Value);
  void SetWeekNumbers(bool Value);
  void SetFirstDayOfWeek(Qt::DayOfWeek Day);
  Qt::DayOfWeek FirstDayOfWeek() const;
  // Sends the grid's mouse and the keys through the panel (see above).
  void SetRouteInput(bool Value);

  QRect DayRect(QDate Date) const;
  QCalendarWidget* Calendar() const;
  QToolButton* TodayButton() const { return FTodayButton; }
  // The day grid and its viewport.
  QTableView* DayView() const;

  std::function<void(QDate)> OnUserSelect;
  std::function<void(QDate)> OnPick;

 protected:
  // With RouteInput: what the host's default handling passes back.
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void mouseDoubleClickEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void keyReleaseEvent(QKeyEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  void UpdateTodayText();
  void PassMouse(QMouseEvent* Event);

  TDayCalendar* FCalendar = nullptr;
  QToolButton* FTodayButton = nullptr;
  QDate FToday;
  bool FShowToday = true;
  int FProgrammatic = 0;
  bool FRouting = false;
  bool FPassing = false;
};

}  // namespace comctrls_detail
