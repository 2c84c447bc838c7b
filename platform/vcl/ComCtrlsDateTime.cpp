// The date-time picker, its drop-down calendar and the month calendar.

#include "platform/vcl/ComCtrlsDateTime.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "platform/vcl/ComCtrlsDateTimePanel.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Themes.h"
#include "platform/win32/Gdi.h"

using comctrls_detail::TCalendarPanel;

// ---------------------------------------------------------------------------
// Conversions

void DateTimeToSystemTime(TDateTime DateTime, SYSTEMTIME& SystemTime) {
  Word y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  DecodeDate(DateTime, y, mo, d);
  DecodeTime(DateTime, h, mi, s, ms);
  SystemTime = SYSTEMTIME{y, mo, WORD(DayOfWeek(DateTime) - 1), d, h, mi, s, ms};
}

bool TrySystemTimeToDateTime(const SYSTEMTIME& SystemTime, TDateTime& DateTime) {
  TDateTime date = 0, time = 0;
  if (!TryEncodeDate(SystemTime.wYear, SystemTime.wMonth, SystemTime.wDay, date)) return false;
  if (!TryEncodeTime(SystemTime.wHour, SystemTime.wMinute, SystemTime.wSecond, SystemTime.wMilliseconds, time))
    return false;
  DateTime = date >= 0 ? date + time : date - time;
  return true;
}

TDateTime SystemTimeToDateTime(const SYSTEMTIME& SystemTime) {
  TDateTime value = 0;
  if (!TrySystemTimeToDateTime(SystemTime, value))
    throw EConvertError(QStringLiteral("Invalid argument to date encode"));
  return value;
}

namespace {

RECT ToRECT(const TRect& R) { return RECT{R.Left, R.Top, R.Right, R.Bottom}; }

QDate ToQDate(TDateTime Value) {
  Word y = 0, m = 0, d = 0;
  DecodeDate(Value, y, m, d);
  return QDate(y, m, d);
}

TDateTime FromQDate(QDate Date) {
  TDateTime value = 0;
  TryEncodeDate(Date.year(), Date.month(), Date.day(), value);
  return value;
}

// The day part of a value (toward minus infinity: days before 1899 count
// by their own day).
TDateTime DayOf(TDateTime Value) { return std::floor(Value); }
TDateTime TimeOfDay(TDateTime Value) { return Value - std::floor(Value); }

int DaysIn(int Year, int Month) { return QDate(Year, Month, 1).daysInMonth(); }

// A date and time from parts; false for parts that make none.
bool Compose(int Y, int Mo, int D, int H, int Mi, int S, int Ms, TDateTime& Value) {
  TDateTime date = 0, time = 0;
  if (!TryEncodeDate(Y, Mo, D, date) || !TryEncodeTime(H, Mi, S, Ms, time)) return false;
  Value = date + time;
  return true;
}

QString AmText() { return FormatSettings.TimeAMString.isEmpty() ? QStringLiteral("AM") : FormatSettings.TimeAMString; }
QString PmText() { return FormatSettings.TimePMString.isEmpty() ? QStringLiteral("PM") : FormatSettings.TimePMString; }

// A literal in the picker's format: quoted when it holds letters.
QString Literal(const QString& Text) {
  bool letters = false;
  for (QChar c : Text) letters = letters || c.isLetter();
  if (!letters && !Text.contains(u'\'')) return Text;
  QString quoted = Text;
  quoted.replace(QStringLiteral("'"), QStringLiteral("''"));
  return u'\'' + quoted + u'\'';
}

// A format of the run-time's date and time routines (FormatDateTime's
// letters: m month, n minutes, / and : the locale's separators) in the
// picker's letters.
QString ToPickerFormat(const QString& Format) {
  const bool twelve = Format.contains(QStringLiteral("am/pm"), Qt::CaseInsensitive) ||
                      Format.contains(QStringLiteral("a/p"), Qt::CaseInsensitive) ||
                      Format.contains(QStringLiteral("ampm"), Qt::CaseInsensitive);
  QString out;
  QString literal;
  auto flush = [&] {
    if (!literal.isEmpty()) out += Literal(literal);
    literal.clear();
  };
  bool afterHour = false;
  int i = 0;
  const int n = int(Format.size());
  auto run = [&](QChar c) {
    int k = i;
    while (k < n && Format[k].toLower() == c) ++k;
    return k - i;
  };
  while (i < n) {
    const QChar c = Format[i];
    const QChar lc = c.toLower();
    if (c == u'"' || c == u'\'') {
      const int end = int(Format.indexOf(c, i + 1));
      literal += Format.mid(i + 1, end < 0 ? n - i - 1 : end - i - 1);
      i = end < 0 ? n : end + 1;
      continue;
    }
    if (Format.mid(i, 5).compare(QStringLiteral("am/pm"), Qt::CaseInsensitive) == 0 ||
        Format.mid(i, 4).compare(QStringLiteral("ampm"), Qt::CaseInsensitive) == 0) {
      flush();
      out += QStringLiteral("tt");
      i += Format.mid(i, 4).compare(QStringLiteral("ampm"), Qt::CaseInsensitive) == 0 ? 4 : 5;
      continue;
    }
    if (Format.mid(i, 3).compare(QStringLiteral("a/p"), Qt::CaseInsensitive) == 0) {
      flush();
      out += u't';
      i += 3;
      continue;
    }
    if (c == u'/') {
      literal += FormatSettings.DateSeparator;
      ++i;
      continue;
    }
    if (c == u':') {
      literal += FormatSettings.TimeSeparator;
      ++i;
      continue;
    }
    const int count = run(lc);
    switch (lc.unicode()) {
      case u'd':
        flush();
        out += QString(std::min(count, 4), u'd');
        afterHour = false;
        break;
      case u'm':
        flush();
        if (afterHour && count <= 2) out += QString(count, u'm');
        else out += QString(std::min(count, 4), u'M');
        afterHour = false;
        break;
      case u'n':
        flush();
        out += QString(std::min(count, 2), u'm');
        afterHour = false;
        break;
      case u'y':
        flush();
        out += count <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
        afterHour = false;
        break;
      case u'h':
        flush();
        out += QString(std::min(count, 2), twelve ? u'h' : u'H');
        afterHour = true;
        break;
      case u's':
        flush();
        out += QString(std::min(count, 2), u's');
        afterHour = false;
        break;
      case u'z': break;  // milliseconds: no field
      default: literal += Format.mid(i, count); break;
    }
    i += count;
  }
  flush();
  return out;
}

// The year a field holds after one to three typed digits.
int ExpandTypedYear(const QString& Digits) {
  int year = Digits.toInt();
  if (Digits.size() > 2) return year;
  const int window = FormatSettings.TwoDigitYearCenturyWindow;
  const int start = QDate::currentDate().year() - window;
  year += start / 100 * 100;
  if (window > 0 && year < start) year += 100;
  return year;
}

constexpr int kMinYear = 1601;
constexpr int kMaxYear = 9999;

// ---------------------------------------------------------------------------
// The default drop-down calendar: a Qt pop-up window with the calendar
// panel.

class TPopupFrame : public QFrame {
 public:
  explicit TPopupFrame(QWidget* Parent) : QFrame(Parent, Qt::Popup) {
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    Panel = new TCalendarPanel(this);
    layout->addWidget(Panel);
    if (QTableView* view = Panel->DayView()) view->installEventFilter(this);
  }
  TCalendarPanel* Panel = nullptr;
  bool Cancelled = false;
  std::function<void(bool)> OnHidden;

 protected:
  bool eventFilter(QObject*, QEvent* Event) override {
    if (Event->type() != QEvent::KeyPress) return false;
    auto* e = static_cast<QKeyEvent*>(Event);
    const bool alt = e->modifiers() & Qt::AltModifier;
    if (e->key() == Qt::Key_Escape) {
      Cancelled = true;
      hide();
      return true;
    }
    if (e->key() == Qt::Key_F4 || (alt && (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down))) {
      hide();
      return true;
    }
    return false;
  }
  void keyPressEvent(QKeyEvent* Event) override {
    if (Event->key() == Qt::Key_Escape) Cancelled = true;
    if (Event->key() == Qt::Key_Escape || Event->key() == Qt::Key_F4) {
      hide();
      return;
    }
    QFrame::keyPressEvent(Event);
  }
  void hideEvent(QHideEvent* Event) override {
    QFrame::hideEvent(Event);
    const bool cancelled = Cancelled;
    Cancelled = false;
    if (OnHidden) OnHidden(cancelled);
  }
};

class TQtPickerCalendar : public TPickerCalendar {
 public:
  explicit TQtPickerCalendar(QWidget* Owner) : FFrame(new TPopupFrame(Owner ? Owner->window() : nullptr)) {
    FFrame->Panel->OnUserSelect = [this](QDate Date) {
      if (OnSelChange) OnSelChange(Date);
    };
    FFrame->Panel->OnPick = [this](QDate Date) {
      // The pick may end the picker, and this calendar with it.
      const QPointer<TPopupFrame> frame = FFrame;
      if (OnPick) OnPick(Date);
      if (frame) frame->hide();
    };
    FFrame->OnHidden = [this](bool Cancelled) {
      if (!FOpen) return;
      FOpen = false;
      if (OnClosed) OnClosed(Cancelled);
    };
  }
  ~TQtPickerCalendar() override {
    if (!FFrame) return;
    FFrame->OnHidden = nullptr;
    FFrame->Panel->OnUserSelect = nullptr;
    FFrame->Panel->OnPick = nullptr;
    FFrame->hide();
    FFrame->deleteLater();
  }

  void Open(const QRect& Anchor, bool AlignRight, const TOptions& Options) override {
    if (!FFrame) return;
    TCalendarPanel* panel = FFrame->Panel;
    panel->SetRange(Options.Min, Options.Max);
    panel->SetToday(Options.Today);
    panel->SetShowToday(Options.ShowToday);
    panel->SetTodayCircle(Options.TodayCircle);
    panel->SetWeekNumbers(Options.WeekNumbers);
    panel->SetFirstDayOfWeek(Options.FirstDay);
    panel->SetSelectedDate(Options.Date);
    FFrame->adjustSize();
    const QSize size = FFrame->sizeHint().expandedTo(FFrame->minimumSizeHint());
    QPoint at(AlignRight ? Anchor.right() + 1 - size.width() : Anchor.left(), Anchor.bottom() + 1);
    if (QScreen* screen = QGuiApplication::screenAt(Anchor.center())) {
      const QRect area = screen->availableGeometry();
      if (at.y() + size.height() > area.bottom() + 1 && Anchor.top() - size.height() >= area.top())
        at.setY(Anchor.top() - size.height());
      at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())));
    }
    FFrame->setGeometry(QRect(at, size));
    FFrame->Cancelled = false;
    FOpen = true;
    FFrame->show();
    if (QTableView* view = panel->DayView()) view->setFocus(Qt::PopupFocusReason);
  }
  void Close() override {
    if (FFrame && FFrame->isVisible()) FFrame->hide();
  }
  bool IsOpen() const override { return FOpen && FFrame && FFrame->isVisible(); }
  QWidget* Window() const override { return FFrame; }
  QRect DayRect(QDate Date) const override {
    if (!FFrame) return QRect();
    const QRect r = FFrame->Panel->DayRect(Date);
    return r.isNull() ? r : QRect(FFrame->Panel->mapToGlobal(r.topLeft()), r.size());
  }

 private:
  QPointer<TPopupFrame> FFrame;
  bool FOpen = false;
};

TPickerCalendarFactory& CalendarFactory() {
  static TPickerCalendarFactory factory;
  return factory;
}

Qt::DayOfWeek QtDay(int FirstDay) {
  // 0 = Monday .. 6 = Sunday; -1: the locale's.
  if (FirstDay < 0 || FirstDay > 6) return QLocale().firstDayOfWeek();
  return Qt::DayOfWeek(FirstDay + 1);
}

}  // namespace

TPickerCalendarFactory SetPickerCalendarFactory(TPickerCalendarFactory Factory) {
  TPickerCalendarFactory previous = CalendarFactory();
  CalendarFactory() = std::move(Factory);
  return previous;
}

// ---------------------------------------------------------------------------
// TDateTimePicker: fields

struct TDateTimePicker::TField {
  enum TKind { Text, Day, DayName, Month, MonthName, Year, Hour12, Hour24, Minute, Second, AmPm };
  TKind Kind = Text;
  int Count = 0;
  QString Literal;
};

QList<TDateTimePicker::TField> TDateTimePicker::Tokens() const {
  const QString format = EffectiveFormat();
  QList<TField> tokens;
  auto text = [&](const QString& s) {
    if (s.isEmpty()) return;
    if (!tokens.isEmpty() && tokens.last().Kind == TField::Text) tokens.last().Literal += s;
    else tokens.append(TField{TField::Text, 0, s});
  };
  const int n = int(format.size());
  int i = 0;
  while (i < n) {
    const QChar c = format[i];
    if (c == u'\'') {
      QString lit;
      int k = i + 1;
      while (k < n) {
        if (format[k] == u'\'') {
          if (k + 1 < n && format[k + 1] == u'\'') {
            lit += u'\'';
            k += 2;
            continue;
          }
          break;
        }
        lit += format[k++];
      }
      text(lit);
      i = k + 1;
      continue;
    }
    int k = i;
    while (k < n && format[k] == c) ++k;
    const int count = k - i;
    TField f;
    f.Count = count;
    switch (c.unicode()) {
      case u'd': f.Kind = count <= 2 ? TField::Day : TField::DayName; break;
      case u'M': f.Kind = count <= 2 ? TField::Month : TField::MonthName; break;
      case u'y': f.Kind = TField::Year; break;
      case u'h': f.Kind = TField::Hour12; break;
      case u'H': f.Kind = TField::Hour24; break;
      case u'm': f.Kind = TField::Minute; break;
      case u's': f.Kind = TField::Second; break;
      case u't': f.Kind = TField::AmPm; break;
      default:
        text(format.mid(i, count));
        i = k;
        continue;
    }
    tokens.append(f);
    i = k;
  }
  return tokens;
}

QString TDateTimePicker::EffectiveFormat() const {
  if (!FFormat.isEmpty()) return FFormat;
  if (FKind == dtkTime)
    return ToPickerFormat(FormatSettings.LongTimeFormat.isEmpty() ? QStringLiteral("hh:nn:ss")
                                                                  : FormatSettings.LongTimeFormat);
  const QString date = FDateFormat == dfLong ? FormatSettings.LongDateFormat : FormatSettings.ShortDateFormat;
  return ToPickerFormat(date.isEmpty() ? QStringLiteral("m/d/yyyy") : date);
}

namespace {

// The text of one token for a value; Pending (digits being typed) shows
// instead of the value where it stands.
QString TokenText(int Kind, int Count, const QString& Literal, TDateTime Value) {
  using K = int;
  Word y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  DecodeDate(Value, y, mo, d);
  DecodeTime(Value, h, mi, s, ms);
  auto num = [&](int v) { return Count >= 2 ? QStringLiteral("%1").arg(v, 2, 10, QChar(u'0')) : QString::number(v); };
  switch (K(Kind)) {
    case 0: return Literal;
    case 1: return num(d);
    case 2: {
      const int dow = DayOfWeek(Value) - 1;
      return Count == 3 ? FormatSettings.ShortDayNames[dow] : FormatSettings.LongDayNames[dow];
    }
    case 3: return num(mo);
    case 4: return Count == 3 ? FormatSettings.ShortMonthNames[mo - 1] : FormatSettings.LongMonthNames[mo - 1];
    case 5:
      if (Count == 1) return QString::number(y % 10);
      if (Count == 2) return QStringLiteral("%1").arg(y % 100, 2, 10, QChar(u'0'));
      return QStringLiteral("%1").arg(y, 4, 10, QChar(u'0'));
    case 6: return num(h % 12 == 0 ? 12 : h % 12);
    case 7: return num(h);
    case 8: return num(mi);
    case 9: return num(s);
    case 10: {
      const QString t = h < 12 ? AmText() : PmText();
      return Count == 1 ? t.left(1) : t;
    }
    default: return QString();
  }
}

}  // namespace

QStringList TDateTimePicker::TokenTexts() const {
  QStringList texts;
  int field = 0;
  for (const TField& t : Tokens()) {
    QString text = TokenText(t.Kind, t.Count, t.Literal, FValue);
    if (t.Kind != TField::Text) {
      // The digits typed so far stand for the current field.
      if (field == FField && !FTyped.isEmpty()) text = FTyped;
      ++field;
    }
    texts << text;
  }
  return texts;
}

QString TDateTimePicker::DisplayText() const { return TokenTexts().join(QString()); }

int TDateTimePicker::FieldCount() const {
  int n = 0;
  for (const TField& t : Tokens()) n += t.Kind != TField::Text ? 1 : 0;
  return n;
}

// ---------------------------------------------------------------------------
// TDateTimePicker

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks, csClickEvents};
  FWidth = 186;
  FHeight = 21;
  FTabStop = true;
  FDateTime = FValue = Now();
  FStyleListener = TStyleManager::AddStyleChangeListener([this] { Invalidate(); });
}

TDateTimePicker::~TDateTimePicker() {
  Destroying();
  StopSpinRepeat();
  if (FCalendar) {
    FCalendar->OnClosed = nullptr;
    FCalendar->OnPick = nullptr;
    FCalendar->OnSelChange = nullptr;
    FCalendar.reset();
  }
  TStyleManager::RemoveStyleChangeListener(FStyleListener);
}

TF_MESSAGE_MAP(TDateTimePicker, TWinControl) {
  return {
      TF_MESSAGE(DTM_GETSYSTEMTIME, DTMGetSystemTime),
      TF_MESSAGE(DTM_SETSYSTEMTIME, DTMSetSystemTime),
      TF_MESSAGE(DTM_GETRANGE, DTMGetRange),
      TF_MESSAGE(DTM_SETRANGE, DTMSetRange),
      TF_MESSAGE(DTM_SETFORMAT, DTMSetFormat),
      TF_MESSAGE(DTM_SETMCSTYLE, DTMSetMcStyle),
      TF_MESSAGE(DTM_GETMCSTYLE, DTMGetMcStyle),
      TF_MESSAGE(DTM_CLOSEMONTHCAL, DTMCloseMonthCal),
      TF_MESSAGE(DTM_GETDATETIMEPICKERINFO, DTMGetDateTimePickerInfo),
      TF_MESSAGE(DTM_GETIDEALSIZE, DTMGetIdealSize),
      TF_MESSAGE(DTM_SETMCCOLOR, DTMNotCovered),
      TF_MESSAGE(DTM_GETMCCOLOR, DTMNotCovered),
      TF_MESSAGE(DTM_GETMONTHCAL, DTMNotCovered),
      TF_MESSAGE(DTM_SETMCFONT, DTMNotCovered),
      TF_MESSAGE(DTM_GETMCFONT, DTMNotCovered),
      TF_MESSAGE(CN_NOTIFY, CNNotify),
      TF_MESSAGE(WM_GETDLGCODE, WMGetDlgCode),
      TF_MESSAGE(WM_KEYDOWN, WMKeyDown),
      TF_MESSAGE(WM_SYSKEYDOWN, WMSysKeyDown),
      TF_MESSAGE(WM_CHAR, WMChar),
      TF_MESSAGE(WM_KEYUP, WMKeyUp),
      TF_MESSAGE(WM_SETFOCUS, WMSetFocus),
      TF_MESSAGE(WM_KILLFOCUS, WMKillFocus),
      TF_MESSAGE(WM_GETTEXT, WMGetText),
      TF_MESSAGE(WM_GETTEXTLENGTH, WMGetTextLength),
      TF_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged),
      TF_MESSAGE(CM_FONTCHANGED, CMFontChanged),
      TF_MESSAGE(CM_MOUSELEAVE, CMMouseLeave),
  };
}

void TDateTimePicker::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_TABSTOP;
  if (FKind == dtkTime) Params.Style |= DTS_TIMEFORMAT;
  else if (FDateFormat == dfLong) Params.Style |= DTS_LONGDATEFORMAT;
  if (FDateMode == dmUpDown) Params.Style |= DTS_UPDOWN;
  if (FShowCheckbox) Params.Style |= DTS_SHOWNONE;
  if (FParseInput) Params.Style |= DTS_APPCANPARSE;
  if (FCalAlignment == dtaRight) Params.Style |= DTS_RIGHTALIGN;
  if (FCtl3D) Params.ExStyle |= WS_EX_CLIENTEDGE;
  else Params.Style |= WS_BORDER;
}

bool TDateTimePicker::HostEvent(QEvent* Event) {
  // A pop-up window (the calendar, a menu) takes the keyboard without
  // taking the focus from the picker.
  if ((Event->type() == QEvent::FocusIn || Event->type() == QEvent::FocusOut) &&
      static_cast<QFocusEvent*>(Event)->reason() == Qt::PopupFocusReason)
    return true;
  return TCustomControl::HostEvent(Event);
}

// --- the properties -------------------------------------------------------------------

void TDateTimePicker::CheckRange(TDateTime Value) const {
  if (FMinDate != 0 && DayOf(Value) < DayOf(FMinDate))
    throw EDateTimeError(::Format(QString::fromLatin1(DateTimeConsts::SDateTimeMin), {DateToStr(FMinDate)}));
  if (FMaxDate != 0 && DayOf(Value) > DayOf(FMaxDate))
    throw EDateTimeError(::Format(QString::fromLatin1(DateTimeConsts::SDateTimeMax), {DateToStr(FMaxDate)}));
}

void TDateTimePicker::SetDateTime(TDateTime Value) {
  CheckRange(Value);
  FDateTime = Value;
  if (FShowCheckbox && !FChecked) {
    // Kept cleared: the value shows grey.
    FValue = Value;
    FTyped.clear();
    Invalidate();
    return;
  }
  SYSTEMTIME st;
  DateTimeToSystemTime(Value, st);
  Perform(DTM_SETSYSTEMTIME, WPARAM(GDT_VALID), reinterpret_cast<LPARAM>(&st));
}

TDateTime TDateTimePicker::Date() const { return DayOf(FDateTime); }

void TDateTimePicker::SetDate(TDateTime Value) { SetDateTime(DayOf(Value) + TimeOfDay(FDateTime)); }

TDateTime TDateTimePicker::Time() const { return TimeOfDay(FDateTime); }

void TDateTimePicker::SetTime(TDateTime Value) { SetDateTime(DayOf(FDateTime) + TimeOfDay(Value)); }

void TDateTimePicker::SetChecked(bool Value) {
  FChecked = Value;
  if (!FShowCheckbox) return;
  if (Value) {
    SYSTEMTIME st;
    DateTimeToSystemTime(FDateTime, st);
    Perform(DTM_SETSYSTEMTIME, WPARAM(GDT_VALID), reinterpret_cast<LPARAM>(&st));
  } else {
    Perform(DTM_SETSYSTEMTIME, WPARAM(GDT_NONE), 0);
  }
}

void TDateTimePicker::SetMinDate(TDateTime Value) {
  if (Value != 0 && FMaxDate != 0 && DayOf(Value) > DayOf(FMaxDate))
    throw EDateTimeError(::Format(QString::fromLatin1(DateTimeConsts::SDateTimeMax), {DateToStr(FMaxDate)}));
  SYSTEMTIME range[2]{};
  DateTimeToSystemTime(Value, range[0]);
  DateTimeToSystemTime(FMaxDate, range[1]);
  Perform(DTM_SETRANGE, (Value != 0 ? GDTR_MIN : 0) | (FMaxDate != 0 ? GDTR_MAX : 0), reinterpret_cast<LPARAM>(range));
}

void TDateTimePicker::SetMaxDate(TDateTime Value) {
  if (Value != 0 && FMinDate != 0 && DayOf(Value) < DayOf(FMinDate))
    throw EDateTimeError(::Format(QString::fromLatin1(DateTimeConsts::SDateTimeMin), {DateToStr(FMinDate)}));
  SYSTEMTIME range[2]{};
  DateTimeToSystemTime(FMinDate, range[0]);
  DateTimeToSystemTime(Value, range[1]);
  Perform(DTM_SETRANGE, (FMinDate != 0 ? GDTR_MIN : 0) | (Value != 0 ? GDTR_MAX : 0), reinterpret_cast<LPARAM>(range));
}

void TDateTimePicker::SetKind(TDateTimeKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  Relayout();
}

void TDateTimePicker::SetDateMode(TDTDateMode Value) {
  if (FDateMode == Value) return;
  FDateMode = Value;
  Relayout();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat Value) {
  if (FDateFormat == Value) return;
  FDateFormat = Value;
  Relayout();
}

void TDateTimePicker::SetFormat(const QString& Value) {
  Perform(DTM_SETFORMAT, 0, Value.isEmpty() ? 0 : reinterpret_cast<LPARAM>(Value.utf16()));
}

void TDateTimePicker::SetShowCheckbox(bool Value) {
  if (FShowCheckbox == Value) return;
  FShowCheckbox = Value;
  FNone = Value && !FChecked;
  Relayout();
}

void TDateTimePicker::SetParseInput(bool Value) {
  if (FParseInput == Value) return;
  FParseInput = Value;
  Relayout();
}

void TDateTimePicker::SetCalAlignment(TDTCalAlignment Value) {
  if (FCalAlignment == Value) return;
  FCalAlignment = Value;
  Relayout();
}

void TDateTimePicker::SetCtl3D(bool Value) {
  if (FCtl3D == Value) return;
  FCtl3D = Value;
  Relayout();
}

void TDateTimePicker::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  Invalidate();
}

void TDateTimePicker::SetWeekNumbers(bool Value) {
  Perform(DTM_SETMCSTYLE, 0, Value ? (FMcStyle | MCS_WEEKNUMBERS) : (FMcStyle & ~MCS_WEEKNUMBERS));
}

void TDateTimePicker::SetShowToday(bool Value) {
  Perform(DTM_SETMCSTYLE, 0, Value ? (FMcStyle & ~MCS_NOTODAY) : (FMcStyle | MCS_NOTODAY));
}

void TDateTimePicker::SetShowTodayCircle(bool Value) {
  Perform(DTM_SETMCSTYLE, 0, Value ? (FMcStyle & ~MCS_NOTODAYCIRCLE) : (FMcStyle | MCS_NOTODAYCIRCLE));
}

void TDateTimePicker::SetFirstDayOfWeek(TCalDayOfWeek Value) { FFirstDayOfWeek = Value; }

void TDateTimePicker::Relayout() {
  FField = std::clamp(FField, 0, std::max(FieldCount() - 1, 0));
  FTyped.clear();
  if (FDroppedDown && !HasDropButton()) CloseCalendar();
  RecreateWnd();
  Invalidate();
}

// --- the control's messages -------------------------------------------------------------

void TDateTimePicker::DTMGetSystemTime(TMessage& Message) {
  auto* st = reinterpret_cast<SYSTEMTIME*>(Message.LParam);
  if (!st) {
    Message.Result = GDT_ERROR;
    return;
  }
  if (FShowCheckbox && FNone) {
    Message.Result = GDT_NONE;
    return;
  }
  DateTimeToSystemTime(FValue, *st);
  Message.Result = GDT_VALID;
}

void TDateTimePicker::DTMSetSystemTime(TMessage& Message) {
  Message.Result = FALSE;
  if (LRESULT(Message.WParam) == GDT_NONE) {
    if (!FShowCheckbox) return;
    FNone = true;
  } else if (LRESULT(Message.WParam) == GDT_VALID) {
    auto* st = reinterpret_cast<const SYSTEMTIME*>(Message.LParam);
    TDateTime value = 0;
    if (!st || !TrySystemTimeToDateTime(*st, value)) return;
    if ((FMinDate != 0 && DayOf(value) < DayOf(FMinDate)) || (FMaxDate != 0 && DayOf(value) > DayOf(FMaxDate))) return;
    FValue = value;
    FNone = false;
  } else {
    return;
  }
  FTyped.clear();
  Invalidate();
  Message.Result = TRUE;
}

void TDateTimePicker::DTMGetRange(TMessage& Message) {
  auto* st = reinterpret_cast<SYSTEMTIME*>(Message.LParam);
  DWORD flags = 0;
  if (FMinDate != 0) {
    flags |= GDTR_MIN;
    if (st) DateTimeToSystemTime(FMinDate, st[0]);
  }
  if (FMaxDate != 0) {
    flags |= GDTR_MAX;
    if (st) DateTimeToSystemTime(FMaxDate, st[1]);
  }
  Message.Result = flags;
}

void TDateTimePicker::DTMSetRange(TMessage& Message) {
  auto* st = reinterpret_cast<const SYSTEMTIME*>(Message.LParam);
  TDateTime lo = 0, hi = 0;
  if ((Message.WParam & GDTR_MIN) && (!st || !TrySystemTimeToDateTime(st[0], lo))) return;
  if ((Message.WParam & GDTR_MAX) && (!st || !TrySystemTimeToDateTime(st[1], hi))) return;
  FMinDate = lo;
  FMaxDate = hi;
  // The value follows the new limits (the program's change: no notification).
  FValue = ClampToRange(FValue);
  FDateTime = ClampToRange(FDateTime);
  Invalidate();
  Message.Result = TRUE;
}

void TDateTimePicker::DTMSetFormat(TMessage& Message) {
  const auto* text = reinterpret_cast<const char16_t*>(Message.LParam);
  FFormat = text ? QString::fromUtf16(text) : QString();
  FField = std::clamp(FField, 0, std::max(FieldCount() - 1, 0));
  FTyped.clear();
  Invalidate();
  Message.Result = TRUE;
}

void TDateTimePicker::DTMSetMcStyle(TMessage& Message) {
  Message.Result = FMcStyle;
  FMcStyle = DWORD(Message.LParam);
}

void TDateTimePicker::DTMGetMcStyle(TMessage& Message) { Message.Result = FMcStyle; }

void TDateTimePicker::DTMCloseMonthCal(TMessage&) { CloseCalendar(); }

void TDateTimePicker::DTMGetDateTimePickerInfo(TMessage& Message) {
  auto* info = reinterpret_cast<DATETIMEPICKERINFO*>(Message.LParam);
  if (!info) return;
  info->rcCheck = ToRECT(CheckBoxRect());
  info->stateCheck = !FShowCheckbox ? STATE_SYSTEM_INVISIBLE : FNone ? 0 : STATE_SYSTEM_CHECKED;
  info->rcButton = HasDropButton() ? ToRECT(ButtonRect()) : RECT{0, 0, 0, 0};
  info->stateButton = !HasDropButton() ? STATE_SYSTEM_INVISIBLE : FDroppedDown ? STATE_SYSTEM_PRESSED : 0;
  info->hwndEdit = Handle();
  info->hwndUD = nullptr;
  info->hwndDropDown = nullptr;
}

void TDateTimePicker::DTMGetIdealSize(TMessage& Message) {
  auto* size = reinterpret_cast<SIZE*>(Message.LParam);
  if (!size) return;
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  const TSize text = c->TextExtent(DisplayText().isEmpty() ? QStringLiteral("0") : DisplayText());
  static_cast<TControlCanvas*>(c)->FreeHandle();
  const int frame = Width() - ClientWidth();
  int width = text.cx + (FShowCheckbox ? 20 : 3) + 4 + frame;
  if (HasDropButton() || HasSpin()) width += GetSystemMetrics(SM_CXVSCROLL);
  size->cx = width;
  size->cy = text.cy + 6 + (Height() - ClientHeight());
  Message.Result = TRUE;
}

void TDateTimePicker::DTMNotCovered(TMessage& Message) { Message.Result = 0; }

LRESULT TDateTimePicker::Notify(NMHDR& Header) {
  Header.hwndFrom = Handle();
  Header.idFrom = 0;
  const LPARAM lp = reinterpret_cast<LPARAM>(&Header);
  return FParent ? FParent->Perform(WM_NOTIFY, 0, lp) : Perform(CN_NOTIFY, 0, lp);
}

void TDateTimePicker::CNNotify(TMessage& Message) {
  auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
  if (!header) return;
  switch (header->code) {
    case DTN_DATETIMECHANGE: {
      const auto* change = reinterpret_cast<const NMDATETIMECHANGE*>(header);
      if (change->dwFlags == DWORD(GDT_NONE) && FShowCheckbox) {
        FChecked = false;
      } else {
        TDateTime value = 0;
        if (TrySystemTimeToDateTime(change->st, value)) FDateTime = value;
        FChecked = true;
      }
      Change();
      break;
    }
    case DTN_DROPDOWN: DropDown(); break;
    case DTN_CLOSEUP: CloseUp(); break;
    case DTN_USERSTRING: {
      auto* user = reinterpret_cast<NMDATETIMESTRING*>(header);
      const QString text =
          user->pszUserString ? QString::fromUtf16(reinterpret_cast<const char16_t*>(user->pszUserString)) : QString();
      TDateTime value = 0;
      bool allow = false;
      if (FKind == dtkTime) {
        TDateTime time = 0;
        allow = TryStrToTime(text, time);
        value = DayOf(FValue) + TimeOfDay(time);
      } else {
        allow = TryStrToDateTime(text, value);
      }
      if (!allow) value = FValue;
      if (OnUserInput) OnUserInput(this, text, value, allow);
      if (allow) {
        DateTimeToSystemTime(value, user->st);
        user->dwFlags = DWORD(GDT_VALID);
      } else {
        user->dwFlags = DWORD(GDT_ERROR);
      }
      break;
    }
    default: break;
  }
}

void TDateTimePicker::Change() {
  if (OnChange) OnChange(this);
}

void TDateTimePicker::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TDateTimePicker::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

// --- the user's changes -------------------------------------------------------------------

TDateTime TDateTimePicker::ClampToRange(TDateTime Value) const {
  if (FMinDate != 0 && DayOf(Value) < DayOf(FMinDate)) Value = DayOf(FMinDate) + TimeOfDay(Value);
  if (FMaxDate != 0 && DayOf(Value) > DayOf(FMaxDate)) Value = DayOf(FMaxDate) + TimeOfDay(Value);
  return Value;
}

void TDateTimePicker::UserChange(TDateTime Value) {
  Value = ClampToRange(Value);
  const bool changed = Value != FValue || FNone;
  FValue = Value;
  FNone = false;
  Invalidate();
  if (!changed) return;
  NMDATETIMECHANGE change{};
  change.nmhdr.code = DTN_DATETIMECHANGE;
  change.dwFlags = DWORD(GDT_VALID);
  DateTimeToSystemTime(FValue, change.st);
  Notify(change.nmhdr);
}

void TDateTimePicker::UserSetChecked(bool Value) {
  if (!FShowCheckbox || Value == !FNone) return;
  FNone = !Value;
  FTyped.clear();
  Invalidate();
  NMDATETIMECHANGE change{};
  change.nmhdr.code = DTN_DATETIMECHANGE;
  change.dwFlags = DWORD(Value ? GDT_VALID : GDT_NONE);
  DateTimeToSystemTime(FValue, change.st);
  Notify(change.nmhdr);
}

namespace {

int Wrap(int Value, int Lo, int Hi) {
  const int span = Hi - Lo + 1;
  return Lo + ((Value - Lo) % span + span) % span;
}

}  // namespace

void TDateTimePicker::StepField(int Delta) {
  CommitTyping();
  QList<TField> fields;
  for (const TField& t : Tokens())
    if (t.Kind != TField::Text) fields << t;
  if (fields.isEmpty()) return;
  const TField f = fields[std::clamp(FField, 0, int(fields.size()) - 1)];
  Word y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  DecodeDate(FValue, y, mo, d);
  DecodeTime(FValue, h, mi, s, ms);
  int Y = y, Mo = mo, D = d, H = h, Mi = mi, S = s;
  TDateTime value = FValue;
  switch (f.Kind) {
    case TField::Day: D = Wrap(D + Delta, 1, DaysIn(Y, Mo)); break;
    case TField::DayName: value = FValue + Delta; break;
    case TField::Month:
    case TField::MonthName:
      Mo = Wrap(Mo + Delta, 1, 12);
      D = std::min(D, DaysIn(Y, Mo));
      break;
    case TField::Year:
      Y = std::clamp(Y + Delta, kMinYear, kMaxYear);
      D = std::min(D, DaysIn(Y, Mo));
      break;
    case TField::Hour12:
    case TField::Hour24: H = Wrap(H + Delta, 0, 23); break;
    case TField::Minute: Mi = Wrap(Mi + Delta, 0, 59); break;
    case TField::Second: S = Wrap(S + Delta, 0, 59); break;
    case TField::AmPm: H = (H + 12) % 24; break;
    case TField::Text: break;
  }
  if (f.Kind != TField::DayName && !Compose(Y, Mo, D, H, Mi, S, ms, value)) return;
  UserChange(value);
}

void TDateTimePicker::TypeDigit(int Digit) {
  QList<TField> fields;
  for (const TField& t : Tokens())
    if (t.Kind != TField::Text) fields << t;
  if (fields.isEmpty()) return;
  const TField f = fields[std::clamp(FField, 0, int(fields.size()) - 1)];
  Word y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  DecodeDate(FValue, y, mo, d);
  DecodeTime(FValue, h, mi, s, ms);
  int most = 0, least = 1, digits = 2;
  switch (f.Kind) {
    case TField::Day: most = DaysIn(y, mo); break;
    case TField::Month:
    case TField::MonthName: most = 12; break;
    case TField::Year:
      most = kMaxYear;
      least = 0;
      digits = 4;
      break;
    case TField::Hour12: most = 12; break;
    case TField::Hour24:
      most = 23;
      least = 0;
      break;
    case TField::Minute:
    case TField::Second:
      most = 59;
      least = 0;
      break;
    default: return;  // names and AM/PM take no digits
  }
  QString typed = FTyped + QChar(u'0' + Digit);
  if (typed.size() > digits || typed.toInt() > most) typed = QString(QChar(u'0' + Digit));
  FTyped = typed;
  const int v = typed.toInt();
  int Y = y, Mo = mo, D = d, H = h, Mi = mi, S = s;
  if (f.Kind == TField::Year) {
    if (typed.size() < 4) {
      Invalidate();
      return;
    }
    Y = std::clamp(v, kMinYear, kMaxYear);
    D = std::min(D, DaysIn(Y, Mo));
  } else {
    if (v < least) {
      Invalidate();
      return;
    }
    switch (f.Kind) {
      case TField::Day: D = v; break;
      case TField::Month:
      case TField::MonthName:
        Mo = v;
        D = std::min(D, DaysIn(Y, Mo));
        break;
      case TField::Hour12: H = v % 12 + (H >= 12 ? 12 : 0); break;
      case TField::Hour24: H = v; break;
      case TField::Minute: Mi = v; break;
      case TField::Second: S = v; break;
      default: break;
    }
  }
  TDateTime value = FValue;
  if (Compose(Y, Mo, D, H, Mi, S, ms, value)) UserChange(value);
}

void TDateTimePicker::TypeLetter(QChar Letter) {
  QList<TField> fields;
  for (const TField& t : Tokens())
    if (t.Kind != TField::Text) fields << t;
  if (fields.isEmpty()) return;
  const TField f = fields[std::clamp(FField, 0, int(fields.size()) - 1)];
  if (f.Kind != TField::AmPm) return;
  Word h = 0, mi = 0, s = 0, ms = 0;
  DecodeTime(FValue, h, mi, s, ms);
  const QChar l = Letter.toLower();
  int H = h;
  if (l == AmText().left(1).toLower().at(0) && H >= 12) H -= 12;
  else if (l == PmText().left(1).toLower().at(0) && H < 12) H += 12;
  else return;
  UserChange(DayOf(FValue) + EncodeTime(H, mi, s, ms));
}

void TDateTimePicker::CommitTyping() {
  if (FTyped.isEmpty()) return;
  const QString typed = FTyped;
  FTyped.clear();
  QList<TField> fields;
  for (const TField& t : Tokens())
    if (t.Kind != TField::Text) fields << t;
  if (fields.isEmpty()) return;
  const TField f = fields[std::clamp(FField, 0, int(fields.size()) - 1)];
  if (f.Kind == TField::Year && typed.size() < 4) {
    Word y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    DecodeDate(FValue, y, mo, d);
    DecodeTime(FValue, h, mi, s, ms);
    const int Y = std::clamp(ExpandTypedYear(typed), kMinYear, kMaxYear);
    TDateTime value = 0;
    if (Compose(Y, mo, std::min(int(d), DaysIn(Y, mo)), h, mi, s, ms, value)) UserChange(value);
  }
  Invalidate();
}

void TDateTimePicker::SelectField(int Index) {
  const int count = FieldCount();
  if (count == 0) return;
  CommitTyping();
  FField = std::clamp(Index, 0, count - 1);
  Invalidate();
}

// --- keys -----------------------------------------------------------------------------

void TDateTimePicker::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TDateTimePicker::WMKeyDown(TMessage& Message) {
  if (DoKeyDown(Message)) return;
  if (FEditing) {
    if (Message.WParam == VK_RETURN) EndTextEdit(true);
    else if (Message.WParam == VK_ESCAPE) EndTextEdit(false);
    return;
  }
  const int count = FieldCount();
  switch (Message.WParam) {
    case VK_LEFT: SelectField(FField > 0 ? FField - 1 : count - 1); break;
    case VK_RIGHT: SelectField(FField + 1 < count ? FField + 1 : 0); break;
    case VK_HOME: SelectField(0); break;
    case VK_END: SelectField(count - 1); break;
    case VK_UP: StepField(+1); break;
    case VK_DOWN: StepField(-1); break;
    case VK_F4:
      if (FDroppedDown) CloseCalendar();
      else OpenCalendar();
      break;
    case VK_F2:
      if (FParseInput) BeginTextEdit();
      break;
    case VK_SPACE:
      if (FShowCheckbox) UserSetChecked(FNone);
      break;
    default: DefaultHandler(Message); break;
  }
}

void TDateTimePicker::WMSysKeyDown(TMessage& Message) {
  if ((Message.WParam == VK_DOWN || Message.WParam == VK_UP) && !FEditing) {
    if (DoKeyDown(Message)) return;
    if (FDroppedDown) CloseCalendar();
    else if (Message.WParam == VK_DOWN) OpenCalendar();
    return;
  }
  Inherited<TWinControl>(Message);
}

void TDateTimePicker::WMChar(TMessage& Message) {
  if (DoKeyPress(Message)) return;
  const QChar c(char16_t(Message.WParam));
  if (FEditing) {
    if (c.unicode() == 8) FEditText.chop(1);
    else if (c.unicode() >= 32) FEditText += c;
    Invalidate();
    return;
  }
  if (c >= u'0' && c <= u'9') TypeDigit(c.unicode() - u'0');
  else if (c.isLetter()) TypeLetter(c);
}

void TDateTimePicker::WMKeyUp(TMessage& Message) {
  if (DoKeyUp(Message)) return;
  DefaultHandler(Message);
}

void TDateTimePicker::WMSetFocus(TMessage& Message) {
  Inherited<TWinControl>(Message);
  Invalidate();
}

void TDateTimePicker::WMKillFocus(TMessage& Message) {
  CommitTyping();
  if (FEditing) EndTextEdit(true);
  Inherited<TWinControl>(Message);
  Invalidate();
}

void TDateTimePicker::WMGetText(TMessage& Message) {
  auto* buffer = reinterpret_cast<WCHAR*>(Message.LParam);
  const qsizetype room = qsizetype(Message.WParam);
  if (!buffer || room <= 0) {
    Message.Result = 0;
    return;
  }
  const QString text = DisplayText();
  const qsizetype n = std::min(room - 1, text.size());
  std::copy_n(reinterpret_cast<const WCHAR*>(text.utf16()), n, buffer);
  buffer[n] = 0;
  Message.Result = n;
}

void TDateTimePicker::WMGetTextLength(TMessage& Message) { Message.Result = DisplayText().size(); }

void TDateTimePicker::CMEnabledChanged(TMessage& Message) {
  Inherited<TWinControl>(Message);
  if (!Enabled()) {
    StopSpinRepeat();
    CloseCalendar();
  }
  Invalidate();
}

void TDateTimePicker::CMFontChanged(TMessage& Message) {
  Inherited<TWinControl>(Message);
  Invalidate();
}

void TDateTimePicker::CMMouseLeave(TMessage& Message) {
  Inherited<TWinControl>(Message);
  if (FButtonHot) {
    FButtonHot = false;
    Invalidate();
  }
}

// --- typed text ----------------------------------------------------------------------------

void TDateTimePicker::BeginTextEdit() {
  CommitTyping();
  FEditing = true;
  FEditText = DisplayText();
  Invalidate();
}

void TDateTimePicker::EndTextEdit(bool Accept) {
  if (!FEditing) return;
  FEditing = false;
  const QString text = FEditText;
  FEditText.clear();
  Invalidate();
  if (!Accept) return;
  std::u16string chars = text.toStdU16String();
  NMDATETIMESTRING user{};
  user.nmhdr.code = DTN_USERSTRING;
  user.pszUserString = reinterpret_cast<const wchar_t*>(chars.c_str());
  DateTimeToSystemTime(FValue, user.st);
  user.dwFlags = DWORD(GDT_ERROR);
  Notify(user.nmhdr);
  if (user.dwFlags == DWORD(GDT_VALID)) {
    TDateTime value = 0;
    if (TrySystemTimeToDateTime(user.st, value)) UserChange(value);
  } else if (user.dwFlags == DWORD(GDT_NONE)) {
    UserSetChecked(false);
  }
}

// --- the calendar --------------------------------------------------------------------------

bool TDateTimePicker::HasDropButton() const { return FKind == dtkDate && FDateMode == dmComboBox; }

bool TDateTimePicker::HasSpin() const { return FKind == dtkTime || FDateMode == dmUpDown; }

void TDateTimePicker::OpenCalendar() {
  if (FDroppedDown || !HasDropButton() || !Enabled() || FEditing) return;
  CommitTyping();
  // The default pop-up goes with the window it was made for.
  if (FCalendar && !FCalendar->Window() && dynamic_cast<TQtPickerCalendar*>(FCalendar.get())) FCalendar.reset();
  if (!FCalendar) {
    QWidget* owner = Widget();
    if (CalendarFactory()) FCalendar = CalendarFactory()();
    if (!FCalendar) FCalendar = std::make_unique<TQtPickerCalendar>(owner);
    FCalendar->OnSelChange = [this](QDate Date) { UserChange(FromQDate(Date) + TimeOfDay(FValue)); };
    FCalendar->OnPick = [this](QDate Date) { UserChange(FromQDate(Date) + TimeOfDay(FValue)); };
    FCalendar->OnClosed = [this](bool Cancelled) { CalendarClosed(Cancelled); };
  }
  NMHDR header{};
  header.code = DTN_DROPDOWN;
  Notify(header);
  if (ComponentState().Contains(csDestroying) || !HandleAllocated()) return;
  FDroppedDown = true;
  FOpenedWith = FValue;
  TPickerCalendar::TOptions options;
  options.Date = ToQDate(FValue);
  options.Min = FMinDate != 0 ? ToQDate(FMinDate) : QDate();
  options.Max = FMaxDate != 0 ? ToQDate(FMaxDate) : QDate();
  options.Today = QDate::currentDate();
  options.WeekNumbers = FMcStyle & MCS_WEEKNUMBERS;
  options.ShowToday = !(FMcStyle & MCS_NOTODAY);
  options.TodayCircle = !(FMcStyle & MCS_NOTODAYCIRCLE);
  options.FirstDay = QtDay(FFirstDayOfWeek == dowLocaleDefault ? -1 : int(FFirstDayOfWeek));
  QWidget* w = Widget();
  const QRect anchor(w->mapToGlobal(QPoint(0, 0)), w->size());
  Invalidate();
  FCalendar->Open(anchor, FCalAlignment == dtaRight, options);
}

void TDateTimePicker::CloseCalendar() {
  if (FDroppedDown && FCalendar) FCalendar->Close();
}

void TDateTimePicker::CalendarClosed(bool Cancelled) {
  if (!FDroppedDown) return;
  FDroppedDown = false;
  if (Cancelled && FOpenedWith != FValue) UserChange(FOpenedWith);
  Invalidate();
  NMHDR header{};
  header.code = DTN_CLOSEUP;
  Notify(header);
}

// --- the mouse ---------------------------------------------------------------------------------

TRect TDateTimePicker::CheckBoxRect() const {
  if (!FShowCheckbox) return TRect();
  const int top = (ClientHeight() - 13) / 2;
  return TRect(2, top, 15, top + 13);
}

TRect TDateTimePicker::ButtonRect() const {
  if (!HasDropButton() && !HasSpin()) return TRect();
  const int w = GetSystemMetrics(SM_CXVSCROLL);
  return TRect(std::max(0, ClientWidth() - w), 0, ClientWidth(), ClientHeight());
}

TRect TDateTimePicker::FieldRect(int Index) const {
  auto* self = const_cast<TDateTimePicker*>(this);
  TCanvas* c = self->Canvas();
  const bool painting = c->HandleAllocated();
  c->Font()->Assign(Font());
  int x = FShowCheckbox ? 20 : 3;
  int field = 0;
  TRect result;
  const int height = ClientHeight();
  const QList<TField> tokens = Tokens();
  const QStringList texts = TokenTexts();
  for (int i = 0; i < tokens.size(); ++i) {
    const TField& t = tokens[i];
    const int w = c->TextWidth(texts[i]);
    if (t.Kind != TField::Text) {
      if (field == Index) {
        result = TRect(x, 1, x + w, height - 1);
        break;
      }
      ++field;
    }
    x += w;
  }
  if (!painting) static_cast<TControlCanvas*>(c)->FreeHandle();
  return result;
}

int TDateTimePicker::FieldAt(int X) const {
  const int count = FieldCount();
  for (int i = 0; i < count; ++i) {
    const TRect r = FieldRect(i);
    if (X < r.Right || i == count - 1) return i;
  }
  return 0;
}

void TDateTimePicker::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (FEditing) EndTextEdit(true);
  if (CanFocus() && !Focused()) SetFocus();
  const TPoint p(X, Y);
  if (FShowCheckbox && CheckBoxRect().Contains(p)) {
    UserSetChecked(FNone);
    return;
  }
  const TRect button = ButtonRect();
  if (!button.IsEmpty() && button.Contains(p)) {
    if (HasDropButton()) {
      // The calendar takes the mouse from here.
      SetMouseCapture(false);
      if (FDroppedDown) CloseCalendar();
      else OpenCalendar();
      return;
    }
    FSpinPressed = Y < button.Top + button.Height() / 2 ? 1 : -1;
    FSpinOnPressed = true;
    StartSpinRepeat();
    StepField(FSpinPressed);
    return;
  }
  SelectField(FieldAt(X));
}

void TDateTimePicker::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  const TRect button = ButtonRect();
  const bool hot = !button.IsEmpty() && button.Contains(TPoint(X, Y));
  bool onPressed = false;
  if (FSpinPressed != 0 && hot) onPressed = (Y < button.Top + button.Height() / 2 ? 1 : -1) == FSpinPressed;
  if (hot != FButtonHot || onPressed != FSpinOnPressed) {
    FButtonHot = hot;
    FSpinOnPressed = onPressed;
    Invalidate();
  }
}

void TDateTimePicker::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || FSpinPressed == 0) return;
  StopSpinRepeat();
}

void TDateTimePicker::StartSpinRepeat() {
  if (!FSpinTimer) {
    FSpinTimer = Create<TTimer>(this);
    FSpinTimer->SetEnabled(false);
    FSpinTimer->SetOnTimer([this](TObject*) {
      FSpinTimer->SetInterval(100);
      if (FSpinPressed == 0 || !MouseCapture()) {
        StopSpinRepeat();
        return;
      }
      if (FSpinOnPressed) StepField(FSpinPressed);
    });
  }
  FSpinTimer->SetInterval(400);
  FSpinTimer->SetEnabled(true);
}

void TDateTimePicker::StopSpinRepeat() {
  if (FSpinTimer) FSpinTimer->SetEnabled(false);
  if (FSpinPressed != 0) {
    FSpinPressed = 0;
    FSpinOnPressed = false;
    Invalidate();
  }
}

// --- painting --------------------------------------------------------------------------------

void TDateTimePicker::Paint() {
  TCanvas* c = Canvas();
  TCustomStyleServices& style = StyleServices();
  const bool enabled = Enabled();
  const TRect client = ClientRect();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(enabled ? style.GetSystemColor(FColor) : style.GetSystemColor(clBtnFace));
  c->FillRect(client);
  c->Font()->Assign(Font());
  const bool grey = !enabled || (FShowCheckbox && FNone);
  const TColor ink = style.GetSystemColor(grey ? clGrayText : clWindowText);

  if (FShowCheckbox) {
    const TRect box = CheckBoxRect();
    TThemedButton state = FNone ? tbCheckBoxUncheckedNormal : tbCheckBoxCheckedNormal;
    if (!enabled) state = FNone ? tbCheckBoxUncheckedDisabled : tbCheckBoxCheckedDisabled;
    if (!style.DrawElement(c->Handle(), style.GetElementDetails(state), ToRECT(box))) {
      RECT r = ToRECT(box);
      DrawFrameControl(c->Handle(), &r, DFC_BUTTON, DFCS_BUTTONCHECK | (FNone ? 0 : DFCS_CHECKED));
    }
  }

  const int textHeight = c->TextHeight(QStringLiteral("0"));
  const int y = (client.Height() - textHeight) / 2;
  const TRect button = ButtonRect();
  c->Brush()->SetStyle(bsClear);
  if (FEditing) {
    c->Font()->SetColor(style.GetSystemColor(clWindowText));
    const int x = FShowCheckbox ? 20 : 3;
    c->TextOut(x, y, FEditText);
    const int caret = x + c->TextWidth(FEditText);
    c->Pen()->SetColor(style.GetSystemColor(clWindowText));
    c->MoveTo(caret, y);
    c->LineTo(caret, y + textHeight);
  } else {
    int x = FShowCheckbox ? 20 : 3;
    int field = 0;
    const bool showCurrent = Focused() && enabled && !(FShowCheckbox && FNone) && !FDroppedDown;
    const QList<TField> tokens = Tokens();
    const QStringList texts = TokenTexts();
    for (int i = 0; i < tokens.size(); ++i) {
      const TField& t = tokens[i];
      const QString& text = texts[i];
      const bool current = t.Kind != TField::Text && field == FField;
      const int w = c->TextWidth(text);
      if (current && showCurrent) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(style.GetSystemColor(clHighlight));
        c->FillRect(TRect(x, y, x + w, y + textHeight));
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(style.GetSystemColor(clHighlightText));
      } else {
        c->Font()->SetColor(ink);
      }
      c->TextOut(x, y, text);
      if (t.Kind != TField::Text) ++field;
      x += w;
    }
  }

  if (button.IsEmpty()) return;
  c->Brush()->SetStyle(bsSolid);
  if (HasDropButton()) {
    TThemedComboBox state = tcDropDownButtonNormal;
    if (!enabled) state = tcDropDownButtonDisabled;
    else if (FDroppedDown) state = tcDropDownButtonPressed;
    else if (FButtonHot) state = tcDropDownButtonHot;
    RECT r = ToRECT(button);
    if (!style.DrawElement(c->Handle(), style.GetElementDetails(state), r))
      DrawFrameControl(c->Handle(), &r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (FDroppedDown ? DFCS_PUSHED : 0));
    return;
  }
  const TRect up(button.Left, button.Top, button.Right, button.Top + button.Height() / 2);
  const TRect down(button.Left, up.Bottom, button.Right, button.Bottom);
  auto arrow = [&](const TRect& r, int Dir) {
    const bool pressed = FSpinPressed == Dir && FSpinOnPressed;
    const int offset = !enabled ? 3 : pressed ? 2 : 0;
    const TThemedScrollBar first = Dir > 0 ? tsArrowBtnUpNormal : tsArrowBtnDownNormal;
    RECT rc = ToRECT(r);
    if (!style.DrawElement(c->Handle(), style.GetElementDetails(TThemedScrollBar(first + offset)), rc))
      DrawFrameControl(
          c->Handle(), &rc, DFC_SCROLL,
          (Dir > 0 ? DFCS_SCROLLUP : DFCS_SCROLLDOWN) | (pressed ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE));
  };
  arrow(up, 1);
  arrow(down, -1);
}

TF_PUBLISHED(TDateTimePicker, TComponent) {
  return PublishedWinControl<TDateTimePicker>()
      .Enum("CalAlignment", &TDateTimePicker::CalAlignment, &TDateTimePicker::SetCalAlignment)
      .Default(dtaLeft)
      .Enum("Kind", &TDateTimePicker::Kind, &TDateTimePicker::SetKind)
      .Default(dtkDate)
      .Enum("DateMode", &TDateTimePicker::DateMode, &TDateTimePicker::SetDateMode)
      .Default(dmComboBox)
      .Enum("DateFormat", &TDateTimePicker::DateFormat, &TDateTimePicker::SetDateFormat)
      .Default(dfShort)
      .String("Format", &TDateTimePicker::Format, &TDateTimePicker::SetFormat)
      .Boolean("ShowCheckbox", &TDateTimePicker::ShowCheckbox, &TDateTimePicker::SetShowCheckbox)
      .Default(false)
      .Boolean("ParseInput", &TDateTimePicker::ParseInput, &TDateTimePicker::SetParseInput)
      .Default(false)
      .Boolean("Ctl3D", &TDateTimePicker::Ctl3D, &TDateTimePicker::SetCtl3D)
      .Default(true)
      .Color("Color", &TDateTimePicker::Color, &TDateTimePicker::SetColor)
      .Default(clWindow)
      .DateTime("MaxDate", &TDateTimePicker::MaxDate, &TDateTimePicker::SetMaxDate)
      .DateTime("MinDate", &TDateTimePicker::MinDate, &TDateTimePicker::SetMinDate)
      .Boolean("Checked", &TDateTimePicker::Checked, &TDateTimePicker::SetChecked)
      .Default(true)
      .DateTime("DateTime", &TDateTimePicker::DateTime, &TDateTimePicker::SetDateTime)
      .Event("OnChange", &TDateTimePicker::OnChange)
      .Event("OnCloseUp", &TDateTimePicker::OnCloseUp)
      .Event("OnDropDown", &TDateTimePicker::OnDropDown)
      .Event("OnUserInput", &TDateTimePicker::OnUserInput);
}

// ---------------------------------------------------------------------------
// TMonthCalendar

TMonthCalendar::TMonthCalendar(TComponent* AOwner) : TWinControl(AOwner) {
  FQtBacked = true;
  FTabStop = true;
  // Clicks on days run OnClick through MCN_SELECT, not on every release.
  FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks};
  FWidth = 225;
  FHeight = 173;
  FDate = QDate::currentDate();
}

TMonthCalendar::~TMonthCalendar() { DestroyHandle(); }

TF_MESSAGE_MAP(TMonthCalendar, TWinControl) {
  return {
      TF_MESSAGE(MCM_GETCURSEL, MCMGetCurSel),
      TF_MESSAGE(MCM_SETCURSEL, MCMSetCurSel),
      TF_MESSAGE(MCM_GETRANGE, MCMGetRange),
      TF_MESSAGE(MCM_SETRANGE, MCMSetRange),
      TF_MESSAGE(MCM_GETTODAY, MCMGetToday),
      TF_MESSAGE(MCM_SETTODAY, MCMSetToday),
      TF_MESSAGE(MCM_GETFIRSTDAYOFWEEK, MCMGetFirstDayOfWeek),
      TF_MESSAGE(MCM_SETFIRSTDAYOFWEEK, MCMSetFirstDayOfWeek),
      TF_MESSAGE(MCM_GETMINREQRECT, MCMGetMinReqRect),
      TF_MESSAGE(MCM_GETMAXTODAYWIDTH, MCMGetMaxTodayWidth),
      TF_MESSAGE(CN_NOTIFY, CNNotify),
      TF_MESSAGE(WM_GETDLGCODE, WMGetDlgCode),
      TF_MESSAGE(WM_CREATE, WMCreate),
  };
}

void TMonthCalendar::WMCreate(TMessage& Message) {
  ApplySettings();
  Inherited<TWinControl>(Message);
}

TCalendarPanel* TMonthCalendar::Panel() const { return dynamic_cast<TCalendarPanel*>(WidgetIfAllocated()); }

QWidget* TMonthCalendar::CreateWidget(const TCreateParams&, QWidget* ParentWidget) {
  auto* panel = new THostWidget<TCalendarPanel>(this, ParentWidget);
  panel->SetRouteInput(true);
  panel->OnUserSelect = [this](QDate Date) {
    FDate = Date;
    SendSelection(MCN_SELCHANGE, Date);
  };
  panel->OnPick = [this](QDate Date) {
    FDate = Date;
    SendSelection(MCN_SELECT, Date);
  };
  return panel;
}

void TMonthCalendar::DestroyWnd() {
  if (TCalendarPanel* panel = Panel()) {
    FDate = panel->SelectedDate();
    panel->OnUserSelect = nullptr;
    panel->OnPick = nullptr;
  }
  TWinControl::DestroyWnd();
}

void TMonthCalendar::ApplySettings() {
  TCalendarPanel* panel = Panel();
  if (!panel) return;
  panel->SetRange(FMinDate != 0 ? ToQDate(FMinDate) : QDate(), FMaxDate != 0 ? ToQDate(FMaxDate) : QDate());
  panel->SetToday(FToday.isValid() ? FToday : QDate::currentDate());
  panel->SetShowToday(FShowToday);
  panel->SetTodayCircle(FShowTodayCircle);
  panel->SetWeekNumbers(FWeekNumbers);
  panel->SetFirstDayOfWeek(QtDay(FFirstDay));
  panel->SetSelectedDate(FDate);
}

void TMonthCalendar::SendSelection(UINT Code, QDate Date) {
  NMSELCHANGE sel{};
  sel.nmhdr.hwndFrom = Handle();
  sel.nmhdr.code = Code;
  DateTimeToSystemTime(FromQDate(Date), sel.stSelStart);
  sel.stSelEnd = sel.stSelStart;
  const LPARAM lp = reinterpret_cast<LPARAM>(&sel);
  if (FParent) FParent->Perform(WM_NOTIFY, 0, lp);
  else Perform(CN_NOTIFY, 0, lp);
}

void TMonthCalendar::CNNotify(TMessage& Message) {
  auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
  if (!header) return;
  if (header->code == MCN_SELCHANGE) {
    if (OnChange) OnChange(this);
  } else if (header->code == MCN_SELECT) {
    Click();
  }
}

void TMonthCalendar::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }

void TMonthCalendar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWinControl::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && CanFocus() && !Focused()) SetFocus();
}

TDateTime TMonthCalendar::Date() const {
  SYSTEMTIME st{};
  const_cast<TMonthCalendar*>(this)->Perform(MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&st));
  TDateTime value = 0;
  TrySystemTimeToDateTime(st, value);
  return value;
}

void TMonthCalendar::SetDate(TDateTime Value) {
  if (FMinDate != 0 && DayOf(Value) < DayOf(FMinDate))
    throw EDateTimeError(::Format(QString::fromLatin1(DateTimeConsts::SDateTimeMin), {DateToStr(FMinDate)}));
  if (FMaxDate != 0 && DayOf(Value) > DayOf(FMaxDate))
    throw EDateTimeError(::Format(QString::fromLatin1(DateTimeConsts::SDateTimeMax), {DateToStr(FMaxDate)}));
  SYSTEMTIME st;
  DateTimeToSystemTime(DayOf(Value), st);
  Perform(MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st));
}

void TMonthCalendar::SetMinDate(TDateTime Value) {
  if (Value != 0 && FMaxDate != 0 && DayOf(Value) > DayOf(FMaxDate))
    throw EDateTimeError(::Format(QString::fromLatin1(DateTimeConsts::SDateTimeMax), {DateToStr(FMaxDate)}));
  SYSTEMTIME range[2]{};
  DateTimeToSystemTime(Value, range[0]);
  DateTimeToSystemTime(FMaxDate, range[1]);
  Perform(MCM_SETRANGE, (Value != 0 ? GDTR_MIN : 0) | (FMaxDate != 0 ? GDTR_MAX : 0), reinterpret_cast<LPARAM>(range));
}

void TMonthCalendar::SetMaxDate(TDateTime Value) {
  if (Value != 0 && FMinDate != 0 && DayOf(Value) < DayOf(FMinDate))
    throw EDateTimeError(::Format(QString::fromLatin1(DateTimeConsts::SDateTimeMin), {DateToStr(FMinDate)}));
  SYSTEMTIME range[2]{};
  DateTimeToSystemTime(FMinDate, range[0]);
  DateTimeToSystemTime(Value, range[1]);
  Perform(MCM_SETRANGE, (FMinDate != 0 ? GDTR_MIN : 0) | (Value != 0 ? GDTR_MAX : 0), reinterpret_cast<LPARAM>(range));
}

TCalDayOfWeek TMonthCalendar::FirstDayOfWeek() const {
  return FFirstDay < 0 ? dowLocaleDefault : TCalDayOfWeek(FFirstDay);
}

void TMonthCalendar::SetFirstDayOfWeek(TCalDayOfWeek Value) {
  Perform(MCM_SETFIRSTDAYOFWEEK, 0, Value == dowLocaleDefault ? -1 : LPARAM(Value));
}

void TMonthCalendar::SetWeekNumbers(bool Value) {
  FWeekNumbers = Value;
  ApplySettings();
}

void TMonthCalendar::SetShowToday(bool Value) {
  FShowToday = Value;
  ApplySettings();
}

void TMonthCalendar::SetShowTodayCircle(bool Value) {
  FShowTodayCircle = Value;
  ApplySettings();
}

TDateTime TMonthCalendar::Today() const {
  SYSTEMTIME st{};
  const_cast<TMonthCalendar*>(this)->Perform(MCM_GETTODAY, 0, reinterpret_cast<LPARAM>(&st));
  TDateTime value = 0;
  TrySystemTimeToDateTime(st, value);
  return value;
}

TRect TMonthCalendar::DayRect(TDateTime Value) const {
  TCalendarPanel* panel = Panel();
  if (!panel) return TRect();
  const QRect r = panel->DayRect(ToQDate(Value));
  if (r.isNull()) return TRect();
  return TRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
}

void TMonthCalendar::MCMGetCurSel(TMessage& Message) {
  auto* st = reinterpret_cast<SYSTEMTIME*>(Message.LParam);
  if (!st) return;
  const QDate date = Panel() ? Panel()->SelectedDate() : FDate;
  DateTimeToSystemTime(FromQDate(date), *st);
  Message.Result = TRUE;
}

void TMonthCalendar::MCMSetCurSel(TMessage& Message) {
  auto* st = reinterpret_cast<const SYSTEMTIME*>(Message.LParam);
  TDateTime value = 0;
  if (!st || !TrySystemTimeToDateTime(*st, value)) return;
  if ((FMinDate != 0 && DayOf(value) < DayOf(FMinDate)) || (FMaxDate != 0 && DayOf(value) > DayOf(FMaxDate))) return;
  FDate = ToQDate(value);
  if (TCalendarPanel* panel = Panel()) panel->SetSelectedDate(FDate);
  Message.Result = TRUE;
}

void TMonthCalendar::MCMGetRange(TMessage& Message) {
  auto* st = reinterpret_cast<SYSTEMTIME*>(Message.LParam);
  DWORD flags = 0;
  if (FMinDate != 0) {
    flags |= GDTR_MIN;
    if (st) DateTimeToSystemTime(FMinDate, st[0]);
  }
  if (FMaxDate != 0) {
    flags |= GDTR_MAX;
    if (st) DateTimeToSystemTime(FMaxDate, st[1]);
  }
  Message.Result = flags;
}

void TMonthCalendar::MCMSetRange(TMessage& Message) {
  auto* st = reinterpret_cast<const SYSTEMTIME*>(Message.LParam);
  TDateTime lo = 0, hi = 0;
  if ((Message.WParam & GDTR_MIN) && (!st || !TrySystemTimeToDateTime(st[0], lo))) return;
  if ((Message.WParam & GDTR_MAX) && (!st || !TrySystemTimeToDateTime(st[1], hi))) return;
  FMinDate = lo;
  FMaxDate = hi;
  if (lo != 0 && FDate < ToQDate(lo)) FDate = ToQDate(lo);
  if (hi != 0 && FDate > ToQDate(hi)) FDate = ToQDate(hi);
  ApplySettings();
  Message.Result = TRUE;
}

void TMonthCalendar::MCMGetToday(TMessage& Message) {
  auto* st = reinterpret_cast<SYSTEMTIME*>(Message.LParam);
  if (!st) return;
  DateTimeToSystemTime(FromQDate(FToday.isValid() ? FToday : QDate::currentDate()), *st);
  Message.Result = TRUE;
}

void TMonthCalendar::MCMSetToday(TMessage& Message) {
  auto* st = reinterpret_cast<const SYSTEMTIME*>(Message.LParam);
  TDateTime value = 0;
  FToday = st && TrySystemTimeToDateTime(*st, value) ? ToQDate(value) : QDate();
  ApplySettings();
}

void TMonthCalendar::MCMGetFirstDayOfWeek(TMessage& Message) {
  // High word: the day differs from the locale's.
  const int locale = int(QLocale().firstDayOfWeek()) - 1;
  const int day = FFirstDay < 0 ? locale : FFirstDay;
  Message.Result = LRESULT(MAKELPARAM(WORD(day), WORD(day != locale ? 1 : 0)));
}

void TMonthCalendar::MCMSetFirstDayOfWeek(TMessage& Message) {
  const int locale = int(QLocale().firstDayOfWeek()) - 1;
  const int old = FFirstDay < 0 ? locale : FFirstDay;
  const int value = int(Message.LParam);
  FFirstDay = value >= 0 && value <= 6 ? value : -1;
  ApplySettings();
  Message.Result = LRESULT(MAKELPARAM(WORD(old), WORD(old != locale ? 1 : 0)));
}

void TMonthCalendar::MCMGetMinReqRect(TMessage& Message) {
  auto* r = reinterpret_cast<RECT*>(Message.LParam);
  if (!r) return;
  QSize size(FWidth, FHeight);
  if (TCalendarPanel* panel = Panel()) size = panel->minimumSizeHint().expandedTo(panel->sizeHint());
  *r = RECT{0, 0, size.width(), size.height()};
  Message.Result = TRUE;
}

void TMonthCalendar::MCMGetMaxTodayWidth(TMessage& Message) {
  TCalendarPanel* panel = Panel();
  Message.Result = panel ? panel->TodayButton()->sizeHint().width() : 0;
}

TF_PUBLISHED(TMonthCalendar, TComponent) {
  return PublishedWinControl<TMonthCalendar>()
      .DateTime("Date", &TMonthCalendar::Date, &TMonthCalendar::SetDate)
      .DateTime("MaxDate", &TMonthCalendar::MaxDate, &TMonthCalendar::SetMaxDate)
      .DateTime("MinDate", &TMonthCalendar::MinDate, &TMonthCalendar::SetMinDate)
      .Enum("FirstDayOfWeek", &TMonthCalendar::FirstDayOfWeek, &TMonthCalendar::SetFirstDayOfWeek)
      .Default(dowLocaleDefault)
      .Boolean("ShowToday", &TMonthCalendar::ShowToday, &TMonthCalendar::SetShowToday)
      .Default(true)
      .Boolean("ShowTodayCircle", &TMonthCalendar::ShowTodayCircle, &TMonthCalendar::SetShowTodayCircle)
      .Default(true)
      .Boolean("WeekNumbers", &TMonthCalendar::WeekNumbers, &TMonthCalendar::SetWeekNumbers)
      .Default(false)
      .Event("OnChange", &TMonthCalendar::OnChange);
}
