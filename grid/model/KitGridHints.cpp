// Balloon tooltips of the grid: the tooltip window made while balloons are
// on, its tool (the grid's client area) and the settings applied to it; the
// text it asks for when it shows, and the mouse moving to another cell.

#include "grid/model/KitGrid.h"
#include "platform/vcl/BalloonTip.h"

void TKitStringGrid::BalloonInit() {
  if (FBalloonInit) return;
  FBalloonInit = true;
  auto tip = std::make_unique<TBalloonTip>(this);
  // Without a tooltip window (the grid has no window yet) balloons stay
  // off without an error; the flag goes back, so that the window's
  // creation tries again.
  if (!tip->Created() || !tip->AddTool()) {
    FBalloonInit = false;
    return;
  }
  tip->SetTitle(QStringLiteral("ToolTipText"), 3);
  BalloonInitSettings(tip.get());
  tip->OnNeedText = [this] { return BalloonNeedText(); };
  FBalloonTip = std::move(tip);
}

void TKitStringGrid::BalloonInitSettings(TBalloonTip* HToolTip) {
  if (HToolTip == nullptr) return;
  if (FBalloon->InitialDelay() != -1) HToolTip->SetInitialDelay(FBalloon->InitialDelay());
  if (FBalloon->ReshowDelay() != -1) HToolTip->SetReshowDelay(FBalloon->ReshowDelay());
  if (FBalloon->AutoHideDelay() != -1) HToolTip->SetAutoPopDelay(FBalloon->AutoHideDelay());
  HToolTip->SetColors(FBalloon->TextColor(), FBalloon->BackgroundColor());
  if (FBalloon->Transparency() != 0) HToolTip->SetOpacity(255 - FBalloon->Transparency());
}

void TKitStringGrid::BalloonDone() {
  if (FBalloonInit) FBalloonTip.reset();
  FBalloonInit = false;
}

void TKitStringGrid::DestroyWnd() {
  TBaseGrid::DestroyWnd();
  if (!FDesignTime) BalloonDone();
}

QString TKitStringGrid::BalloonNeedText() {
  if (FBalloonTip == nullptr) return QString();
  TGridBalloonNotify n;
  n.Hdr.hwndFrom = HandleAllocated() ? Handle() : nullptr;
  n.Hdr.code = UINT(GN_BALLOONTEXT);
  n.At = FBalloonTip->MousePos();
  Perform(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
  if (!n.Answered || FBalloonTip == nullptr) return QString();
  FBalloonTip->SetTitle(n.Title, n.Icon);
  FBalloonTip->SetMaxWidth(n.MaxWidth);
  FBalloonTip->SetColors(n.TextColor, n.BackgroundColor);
  return n.Text;
}

void TKitStringGrid::MouseMove(TShiftState Shift, int X, int Y) {
  if (FBalloon->Enable() && FBalloonTip != nullptr) {
    int c = -1, r = -1;
    MouseToCell(X, Y, c, r);
    TGridCoord cell{c, r};
    if (c >= 0 && r >= 0 && c < ColCount() && r < RowCount()) {
      const TPoint base = BaseCell(c, r);
      cell = TGridCoord{base.X, base.Y};
    }
    if (!(cell == FLastBalloonCell)) {
      FBalloonTip->Pop();
      FLastBalloonCell = TGridCoord{-2, -2};
    }
  }
  TBaseGrid::MouseMove(Shift, X, Y);
}

// ---------------------------------------------------------------------------
// The HTML hint window

#include <QWidget>

#include "foundation/KitMiniHTMLEngine.h"
#include "grid/model/KitGridHints.h"
#include "grid/model/KitGridUtils.h"
#include "platform/vcl/Forms.h"

namespace {
constexpr int kHintMeasureWidth = 1008;
}

THTMLHintWindow::THTMLHintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetVisible(false);
}

void THTMLHintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  // A hint window without the thin border, over everything, never active.
  Params.Style = WS_POPUP;
  Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  Params.WndParent = nullptr;
}

QWidget* THTMLHintWindow::CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) {
  QWidget* w = TCustomControl::CreateWidget(Params, nullptr);
  (void)ParentWidget;
  w->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  w->setAttribute(Qt::WA_ShowWithoutActivating);
  return w;
}

bool THTMLHintWindow::IsWide(const QString& Hint) const { return GetCellTextKind(Hint, true) == 5; }

void THTMLHintWindow::Measure(const QString& Hint, int MaxWidth) {
  TCanvas* canvas = Canvas();
  if (IsWide(Hint)) {
    FWideCaption = DecodeWideText(Hint);
    if (!FWideFontName.isEmpty()) canvas->Font()->SetName(FWideFontName);
    FTextWidth = canvas->TextWidth(FWideCaption);
    FTextHeight = canvas->TextHeight(FWideCaption.isEmpty() ? QStringLiteral("gh") : FWideCaption);
    return;
  }
  FWideCaption.clear();
  TMiniHtmlDrawParams params;
  params.ImageList = FImages;
  params.PictureContainer = FPictureContainer;
  params.HoverColor = 0x808080;
  params.URLColor = 0xFF0000;
  params.MeasureOnly = true;
  TMiniHtmlDrawResult result;
  DrawMiniHtml(canvas, Hint, TRect(0, 0, std::max(1, MaxWidth), 100000), params, result);
  FTextWidth = result.Width;
  FTextHeight = result.Height;
}

TRect THTMLHintWindow::CalcHintRect(int MaxWidth, const QString& AHint, TObject*) {
  Measure(AHint, MaxWidth);
  return TRect(0, 0, FTextWidth, FTextHeight);
}

void THTMLHintWindow::ActivateHintData(TRect Rect, const QString& AHint, TObject* AData) {
  if (auto* grid = dynamic_cast<TKitStringGrid*>(AData)) {
    FImages = grid->GridImages();
    FPictureContainer = grid->PictureContainer();
  }
  ActivateHint(Rect, AHint);
}

void THTMLHintWindow::ActivateHint(TRect Rect, const QString& AHint) {
  FHintText = AHint;
  HandleNeeded();
  Measure(AHint, kHintMeasureWidth);
  const int w = FTextWidth + (IsWide(AHint) ? 8 : 16);
  const int h = FTextHeight + 4;
  TRect r(Rect.Left, Rect.Top, Rect.Left + w, Rect.Top + h);
  if (Screen != nullptr) {
    const TRect mon = Screen->MonitorFromPoint(TPoint(Rect.Left, Rect.Top)).BoundsRect();
    if (r.Right > mon.Right) {
      r.Left = mon.Right - 2 - w;
      r.Right = mon.Right - 2;
    }
    if (r.Bottom > mon.Bottom) {
      r.Top = mon.Bottom - 2 - h;
      r.Bottom = mon.Bottom - 2;
    }
  }
  SetBounds(r.Left, r.Top, r.Width(), r.Height());
  SetVisible(true);
  // A top-level window shows itself: the control's visibility only governs
  // child windows.
  if (QWidget* widget = WidgetIfAllocated()) widget->show();
  Invalidate();
  Update();
}

void THTMLHintWindow::Paint() {
  TCanvas* canvas = Canvas();
  const TRect client = ClientRect();
  canvas->Brush()->SetColor(Color());
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(client);
  // The frame: light along the left and top, dark shadow along the bottom
  // and right.
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetColor(cl3DLight);
  canvas->MoveTo(client.Left, client.Bottom - 1);
  canvas->LineTo(client.Left, client.Top);
  canvas->LineTo(client.Right - 1, client.Top);
  canvas->Pen()->SetColor(cl3DDkShadow);
  canvas->LineTo(client.Right - 1, client.Bottom - 1);
  canvas->LineTo(client.Left, client.Bottom - 1);

  const int top = client.Top + (client.Height() - FTextHeight) / 2;
  TRect r(client.Left + 4, top, client.Right - 4, top + FTextHeight);
  canvas->Brush()->SetStyle(bsClear);
  canvas->Font()->Assign(Font());
  if (IsWide(FHintText)) {
    if (!FWideFontName.isEmpty()) canvas->Font()->SetName(FWideFontName);
    canvas->TextOut(r.Left, r.Top, FWideCaption);
    return;
  }
  TMiniHtmlDrawParams params;
  params.ImageList = FImages;
  params.PictureContainer = FPictureContainer;
  params.HoverColor = 0x808080;
  params.URLColor = 0xFF0000;
  TMiniHtmlDrawResult result;
  DrawMiniHtml(canvas, FHintText, r, params, result);
}
