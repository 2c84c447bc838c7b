// The calendar page with its "Today:" line.

#include "platform/vcl/ComCtrlsDateTimePanel.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/rtl/SysUtils.h"

namespace comctrls_detail {

// The page: marks today and keeps where it drew each day.
class TDayCalendar : public QCalendarWidget {
 public:
  explicit TDayCalendar(QWidget* Parent) : QCalendarWidget(Parent) {
    connect(this, &QCalendarWidget::currentPageChanged, this, [this] { FCells.clear(); });
  }
  QDate Today;
  bool TodayCircle = true;

  // Where a day was drawn (the grid's viewport coordinates).
  QRect CellOf(QDate Date) const { return FCells.value(Date); }
  bool HasCells() const { return !FCells.isEmpty(); }
  void ForgetCells() { FCells.clear(); }

 protected:
  void resizeEvent(QResizeEvent* Event) override {
    FCells.clear();
    QCalendarWidget::resizeEvent(Event);
  }
  void paintCell(QPainter* Painter, const QRect& Rect, QDate Date) const override {
    QCalendarWidget::paintCell(Painter, Rect, Date);
    FCells.insert(Date, Rect);
    if (TodayCircle && Date == Today) {
      Painter->save();
      Painter->setRenderHint(QPainter::Antialiasing, true);
      QPen pen(QColor(192, 0, 0));
      pen.setWidth(1);
      Painter->setPen(pen);
      Painter->setBrush(Qt::NoBrush);
      Painter->drawEllipse(QRectF(Rect).adjusted(1.5, 1.5, -1.5, -1.5));
      Painter->restore();
    }
  }

 private:
  mutable QHash<QDate, QRect> FCells;
};

TCalendarPanel::TCalendarPanel(QWidget* Parent) : QWidget(Parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  FCalendar = new TDayCalendar(this);
  FCalendar->setGridVisible(false);
  FCalendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  layout->addWidget(FCalendar, 1);
  FTodayButton = new QToolButton(this);
  FTodayButton->setAutoRaise(true);
  FTodayButton->setFocusPolicy(Qt::NoFocus);
  FTodayButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  layout->addWidget(FTodayButton);
  SetToday(QDate::currentDate());

  connect(FCalendar, &QCalendarWidget::selectionChanged, this, [this] {
    if (FProgrammatic == 0 && OnUserSelect) OnUserSelect(FCalendar->selectedDate());
  });
  auto pick = [this](QDate Date) {
    if (FProgrammatic == 0 && OnPick) OnPick(Date);
  };
  connect(FCalendar, &QCalendarWidget::clicked, this, pick);
  connect(FCalendar, &QCalendarWidget::activated, this, pick);
  connect(FTodayButton, &QToolButton::clicked, this, [this] {
    if (FCalendar->minimumDate() > FToday || FCalendar->maximumDate() < FToday) return;
    {
      ++FProgrammatic;
      FCalendar->setSelectedDate(FToday);
      --FProgrammatic;
    }
    if (OnPick) OnPick(FToday);
  });
}

TCalendarPanel::~TCalendarPanel() {
  OnUserSelect = nullptr;
  OnPick = nullptr;
}

QCalendarWidget* TCalendarPanel::Calendar() const { return FCalendar; }

QTableView* TCalendarPanel::DayView() const { return FCalendar->findChild<QTableView*>(); }

QDate TCalendarPanel::SelectedDate() const { return FCalendar->selectedDate(); }

void TCalendarPanel::SetSelectedDate(QDate Date) {
  ++FProgrammatic;
  FCalendar->setSelectedDate(Date);
  FCalendar->setCurrentPage(FCalendar->selectedDate().year(), FCalendar->selectedDate().month());
  --FProgrammatic;
}

void TCalendarPanel::SetRange(QDate Min, QDate Max) {
  ++FProgrammatic;
  FCalendar->setDateRange(Min.isValid() ? Min : QDate(1752, 9, 14), Max.isValid() ? Max : QDate(9999, 12, 31));
  --FProgrammatic;
}

void TCalendarPanel::SetToday(QDate Date) {
  FToday = Date;
  FCalendar->Today = Date;
  UpdateTodayText();
  FCalendar->update();
}

void TCalendarPanel::UpdateTodayText() {
  FTodayButton->setText(QStringLiteral("Today: ") + DateToStr(QDateTimeToDateTime(FToday.startOfDay())));
}

void TCalendarPanel::SetShowToday(bool Value) {
  FShowToday = Value;
  FTodayButton->setVisible(Value);
}

void TCalendarPanel::SetTodayCircle(bool Value) {
  FCalendar->TodayCircle = Value;
  FCalendar->update();
}

void TCalendarPanel::SetWeekNumbers(bool Value) {
  FCalendar->setVerticalHeaderFormat(Value ? QCalendarWidget::ISOWeekNumbers : QCalendarWidget::NoVerticalHeader);
  FCalendar->ForgetCells();
}

void TCalendarPanel::SetFirstDayOfWeek(Qt::DayOfWeek Day) {
  FCalendar->setFirstDayOfWeek(Day);
  FCalendar->ForgetCells();
}

Qt::DayOfWeek TCalendarPanel::FirstDayOfWeek() const { return FCalendar->firstDayOfWeek(); }

QRect TCalendarPanel::DayRect(QDate Date) const {
  QTableView* view = DayView();
  if (!view) return QRect();
  if (!FCalendar->HasCells()) {
    // The page was not drawn since it changed: draw it (offscreen) to learn
    // its cells.
    view->viewport()->grab();
  }
  const QRect cell = FCalendar->CellOf(Date);
  if (cell.isNull()) return QRect();
  return QRect(view->viewport()->mapTo(this, cell.topLeft()), cell.size());
}

// --- routed input -------------------------------------------------------------------

void TCalendarPanel::SetRouteInput(bool Value) {
  if (FRouting == Value) return;
  FRouting = Value;
  QTableView* view = DayView();
  if (!view) return;
  if (Value) {
    // The panel alone takes the focus (a click on the grid too).
    FCalendar->setFocusProxy(nullptr);
    FCalendar->setFocusPolicy(Qt::NoFocus);
    view->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::StrongFocus);
    view->viewport()->setAttribute(Qt::WA_NoMousePropagation);
    view->setAttribute(Qt::WA_NoMousePropagation);
    view->viewport()->installEventFilter(this);
    view->installEventFilter(this);
    FCalendar->installEventFilter(this);
  } else {
    view->viewport()->removeEventFilter(this);
    view->removeEventFilter(this);
    FCalendar->removeEventFilter(this);
  }
}

bool TCalendarPanel::eventFilter(QObject* Watched, QEvent* Event) {
  if (!FRouting) return false;
  QTableView* view = DayView();
  if (!view) return false;
  const QEvent::Type type = Event->type();
  const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                     type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove;
  const bool key = type == QEvent::KeyPress || type == QEvent::KeyRelease;
  if (Watched == view->viewport() && mouse && !FPassing) {
    // The grid's mouse goes through the panel (and its host) first.
    auto* e = static_cast<QMouseEvent*>(Event);
    QMouseEvent routed(type, view->viewport()->mapTo(this, e->position().toPoint()), e->globalPosition(), e->button(),
                       e->buttons(), e->modifiers());
    QCoreApplication::sendEvent(this, &routed);
    return true;
  }
  if ((Watched == view || Watched == FCalendar) && type == QEvent::FocusIn) {
    setFocus(Qt::OtherFocusReason);
    return false;
  }
  if (key && (Watched == view || Watched == FCalendar)) {
    if (!FPassing) {
      // A key the grid got by itself (it had the focus): through the panel.
      QCoreApplication::sendEvent(this, Event);
      Event->accept();
      return true;
    }
    if (Watched == FCalendar) {
      // Passed on by the panel and not taken by the grid: it goes no
      // further (the panel's host translated it already).
      Event->accept();
      return true;
    }
  }
  return false;
}

void TCalendarPanel::PassMouse(QMouseEvent* Event) {
  QTableView* view = DayView();
  if (!FRouting || !view) return;
  QWidget* viewport = view->viewport();
  const QPoint at = viewport->mapFrom(this, Event->position().toPoint());
  if (Event->type() == QEvent::MouseButtonPress && !viewport->rect().contains(at)) return;
  QMouseEvent e(Event->type(), at, Event->globalPosition(), Event->button(), Event->buttons(), Event->modifiers());
  FPassing = true;
  QCoreApplication::sendEvent(viewport, &e);
  FPassing = false;
}

void TCalendarPanel::mousePressEvent(QMouseEvent* Event) { PassMouse(Event); }
void TCalendarPanel::mouseReleaseEvent(QMouseEvent* Event) { PassMouse(Event); }
void TCalendarPanel::mouseDoubleClickEvent(QMouseEvent* Event) { PassMouse(Event); }
void TCalendarPanel::mouseMoveEvent(QMouseEvent* Event) { PassMouse(Event); }

void TCalendarPanel::keyPressEvent(QKeyEvent* Event) {
  QTableView* view = DayView();
  if (!FRouting || !view || FPassing) {
    QWidget::keyPressEvent(Event);
    return;
  }
  FPassing = true;
  QCoreApplication::sendEvent(view, Event);
  FPassing = false;
}

void TCalendarPanel::keyReleaseEvent(QKeyEvent* Event) {
  QTableView* view = DayView();
  if (!FRouting || !view || FPassing) {
    QWidget::keyReleaseEvent(Event);
    return;
  }
  FPassing = true;
  QCoreApplication::sendEvent(view, Event);
  FPassing = false;
}

}  // namespace comctrls_detail
