#include "platform/vcl/BalloonTip.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <algorithm>

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
    setFocusPolicy(Qt::NoFocus);
  }
  QSize Measure() const {
    const QFontMetrics fm(font());
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics bm(bold);
    const QRect text = fm.boundingRect(QRect(0, 0, 400, 10000), Qt::TextWordWrap, Tip->Text());
    int w = text.width(), h = text.height();
    if (!Tip->Title().isEmpty()) {
      w = std::max(w, bm.horizontalAdvance(Tip->Title()) + (Tip->Icon() ? 20 : 0));
      h += std::max(bm.height(), Tip->Icon() ? 16 : 0) + 4;
    }
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

TBalloonTip::TBalloonTip(TWinControl* Owner) : FOwner(Owner) {
  if (FOwner == nullptr) return;
  QWidget* owner = FOwner->WidgetIfAllocated();
  if (owner == nullptr) return;
  FWindow = new TBalloonWidget(owner, this);
  FWindow->hide();
}

TBalloonTip::~TBalloonTip() { delete FWindow.data(); }

bool TBalloonTip::AddTool() {
  if (!FWindow || FOwner == nullptr || FOwner->WidgetIfAllocated() == nullptr) return false;
  FToolRect = FOwner->ClientRect();
  FHasTool = true;
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
  if (!FWindow || !FHasTool) return;
  FText = OnNeedText ? OnNeedText() : QString();
  if (FText.isEmpty()) {
    Hide();
    return;
  }
  auto* w = static_cast<TBalloonWidget*>(FWindow.data());
  w->resize(w->Measure());
  w->move(ScreenPos.X, ScreenPos.Y);
  w->show();
  w->update();
}

void TBalloonTip::Hide() {
  if (FWindow) FWindow->hide();
}

bool TBalloonTip::Visible() const { return FWindow && FWindow->isVisible(); }
