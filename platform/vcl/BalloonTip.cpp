#include "platform/vcl/BalloonTip.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QObject>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "platform/win32/Scheduler.h"
#include "platform/win32/WinUser.h"

namespace {

constexpr TColor kNone = TColor(0x1FFFFFFF);

QColor ToQColor(TColor c) {
  const TColor rgb = ColorToRGB(c);
  return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

// The balloon: a rounded box with a title line (icon and bold title) over
// the text.
class TBalloonWidget : public QWidget {
 public:
  TBalloonWidget(QWidget* owner, TBalloonTip* tip)
      : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), Tip(tip) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    // The balloon never takes the mouse from the window it explains.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
  }
  QSize Measure() const {
    const QFontMetrics fm(font());
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics bm(bold);
    // The text wraps within the maximum width (less the margins); without
    // one only its own line breaks end lines.
    const int wrap = Tip->MaxWidth() > 0 ? std::max(Tip->MaxWidth() - 16, 1) : 100000;
    const QRect text = fm.boundingRect(QRect(0, 0, wrap, 100000), Qt::TextWordWrap, Tip->Text());
    int w = text.width(), h = text.height();
    if (!Tip->Title().isEmpty()) {
      w = std::max(w, bm.horizontalAdvance(Tip->Title()) + (Tip->Icon() ? 20 : 0));
      h += std::max(bm.height(), Tip->Icon() ? 16 : 0) + 4;
    }
    if (Tip->MaxWidth() > 0) w = std::min(w, std::max(Tip->MaxWidth() - 16, 1));
    return QSize(w + 16, h + 12);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor back = Tip->BackgroundColor() == kNone ? palette().color(QPalette::ToolTipBase)
                                                        : ToQColor(Tip->BackgroundColor());
    const QColor ink = Tip->TextColor() == kNone ? palette().color(QPalette::ToolTipText) : ToQColor(Tip->TextColor());
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    p.fillPath(path, back);
    p.setPen(ink);
    p.drawPath(path);
    int y = 6;
    if (!Tip->Title().isEmpty()) {
      int x = 8;
      if (Tip->Icon() > 0) {
        static const QColor kIcon[] = {{}, QColor(0, 90, 200), QColor(230, 170, 0), QColor(200, 30, 30)};
        p.setBrush(kIcon[Tip->Icon()]);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRect(x, y, 16, 16));
        p.setPen(Qt::white);
        p.drawText(QRect(x, y, 16, 16), Qt::AlignCenter, Tip->Icon() == 1 ? "i" : "!");
        x += 20;
      }
      QFont bold = font();
      bold.setBold(true);
      p.setFont(bold);
      p.setPen(ink);
      const int h = std::max(QFontMetrics(bold).height(), Tip->Icon() ? 16 : 0);
      p.drawText(QRect(x, y, width() - x - 8, h), Qt::AlignVCenter | Qt::TextSingleLine, Tip->Title());
      p.setFont(font());
      y += h + 4;
    }
    p.setPen(ink);
    p.drawText(QRect(8, y, width() - 16, height() - y - 6), Qt::TextWordWrap, Tip->Text());
  }

 private:
  TBalloonTip* Tip;
};

}  // namespace

// Sees the mouse before the owner does, as a tooltip that subclasses its
// tool's window. It watches the whole application: a move that reaches
// another window (a child of the owner included) means the mouse has left
// the tool.
class TBalloonTip::TWatcher : public QObject {
 public:
  explicit TWatcher(TBalloonTip* Tip) : FTip(Tip) {}

 protected:
  bool eventFilter(QObject* Object, QEvent* Event) override {
    const QEvent::Type type = Event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::Leave && type != QEvent::Hide)
      return false;
    const bool owner = Object != nullptr && Object == FTip->FWatched.data();
    if (!owner) {
      if (type == QEvent::MouseMove && FTip->FMouseIn && Object != nullptr && Object->isWidgetType())
        FTip->OwnerLeave();
      return false;
    }
    switch (type) {
      case QEvent::MouseMove: {
        const auto* m = static_cast<QMouseEvent*>(Event);
        const QPointF g = m->globalPosition();
        FTip->OwnerMouseMove(TPoint(int(std::floor(g.x())), int(std::floor(g.y()))), m->buttons() != Qt::NoButton);
        break;
      }
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        FTip->OwnerButtonDown();
        break;
      default:  // Leave, Hide
        FTip->OwnerLeave();
        break;
    }
    return false;
  }

 private:
  TBalloonTip* FTip;
};

TBalloonTip::TBalloonTip(TWinControl* Owner) : FOwner(Owner) {
  if (FOwner == nullptr) return;
  QWidget* owner = FOwner->WidgetIfAllocated();
  if (owner == nullptr) return;
  FWindow = new TBalloonWidget(owner, this);
  FWindow->hide();
}

TBalloonTip::~TBalloonTip() {
  StopTimer(FShowTimer);
  StopTimer(FPopTimer);
  if (FWatcher && QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(FWatcher.get());
  delete FWindow.data();
}

bool TBalloonTip::AddTool() {
  if (!FWindow || FOwner == nullptr || FOwner->WidgetIfAllocated() == nullptr) return false;
  FToolRect = FOwner->ClientRect();
  FWatched = FOwner->WidgetIfAllocated();
  FHasTool = true;
  if (!FWatcher) {
    FWatcher = std::make_unique<TWatcher>(this);
    if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(FWatcher.get());
  }
  return true;
}

void TBalloonTip::SetTitle(const QString& Title, int Icon) {
  FTitle = Title.left(kMaxTitle);
  FIcon = Icon >= 0 && Icon <= 3 ? Icon : 0;
}

void TBalloonTip::SetOpacity(int Value) {
  FOpacity = std::clamp(Value, 0, 255);
  if (FWindow) FWindow->setWindowOpacity(FOpacity / 255.0);
}

void TBalloonTip::SetColors(TColor Text, TColor Background) {
  FTextColor = Text;
  FBackgroundColor = Background;
  if (FWindow) FWindow->update();
}

void TBalloonTip::Popup(const TPoint& ScreenPos) {
  StopTimer(FShowTimer);
  StopTimer(FPopTimer);
  if (!FWindow || !FHasTool) return;
  FText = OnNeedText ? OnNeedText() : QString();
  if (!FWindow) return;  // the handler took the owner's window away
  if (FText.isEmpty()) {
    Hide();
    return;
  }
  auto* w = static_cast<TBalloonWidget*>(FWindow.data());
  w->resize(w->Measure());
  w->move(ScreenPos.X, ScreenPos.Y);
  w->show();
  w->update();
  if (FAutoPopDelay > 0)
    FPopTimer = TScheduler::Instance().Start(uint64_t(FAutoPopDelay), [this] { CallGuarded([this] { AutoPop(); }); });
}

void TBalloonTip::Hide() {
  StopTimer(FPopTimer);
  if (FWindow) FWindow->hide();
}

bool TBalloonTip::Visible() const { return FWindow && FWindow->isVisible(); }

void TBalloonTip::Pop() {
  const bool was = Visible();
  Hide();
  FAutoPopped = false;
  if (was) FReshow = true;
  StopTimer(FShowTimer);
  if (FHasTool && FMouseIn) TimeShow(FReshow ? FReshowDelay : FInitialDelay);
}

bool TBalloonTip::MouseOnTool() const {
  return FOwner != nullptr && FOwner->ClientRect().Contains(FMousePos);
}

void TBalloonTip::OwnerMouseMove(const TPoint& ScreenPos, bool ButtonHeld) {
  if (!FHasTool || FOwner == nullptr) return;
  FMouseScreen = ScreenPos;
  FMousePos = FOwner->ScreenToClient(ScreenPos);
  FMouseIn = MouseOnTool();
  if (!FMouseIn) {
    OwnerLeave();
    return;
  }
  if (ButtonHeld || Visible() || FAutoPopped) return;
  TimeShow(FReshow ? FReshowDelay : FInitialDelay);
}

void TBalloonTip::OwnerButtonDown() {
  StopTimer(FShowTimer);
  Hide();
  FReshow = false;
}

void TBalloonTip::OwnerLeave() {
  StopTimer(FShowTimer);
  Hide();
  FMouseIn = false;
  FAutoPopped = false;
  FReshow = false;
}

void TBalloonTip::TimeShow(int Delay) {
  StopTimer(FShowTimer);
  FShowTimer = TScheduler::Instance().Start(uint64_t(std::max(Delay, 0)),
                                            [this] { CallGuarded([this] { ShowTimed(); }); });
}

void TBalloonTip::StopTimer(uint64_t& Timer) {
  if (Timer != 0) TScheduler::Instance().Stop(Timer);
  Timer = 0;
}

void TBalloonTip::ShowTimed() {
  StopTimer(FShowTimer);
  if (!FMouseIn) return;
  FReshow = false;
  Popup(TPoint(FMouseScreen.X, FMouseScreen.Y + kBelowCursor));
}

void TBalloonTip::AutoPop() {
  Hide();
  FAutoPopped = true;
}
