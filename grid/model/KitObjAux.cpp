#include "grid/model/KitObjAux.h"

#include <QWidget>

#include "platform/rtl/SysUtils.h"

// ---------------------------------------------------------------------------
// TArrowWindow

TArrowWindow::TArrowWindow(TComponent* AOwner) : TPanel(AOwner) {}

void TArrowWindow::Init(TWinControl* AOwner, TArrowDirection Direction) {
  FDir = Direction;
  SetColor(clLime);
  SetBevelOuter(bvNone);
  SetShowCaption(false);
  SetVisible(false);
  SetParent(AOwner);
}

std::array<TPoint, 7> TArrowWindow::ArrowPoints(TArrowDirection Direction) {
  switch (Direction) {
    case arrUp:
      return {TPoint(5, 0), TPoint(10, 5), TPoint(7, 5), TPoint(7, 9), TPoint(3, 9), TPoint(3, 5), TPoint(0, 5)};
    case arrDown:
      return {TPoint(3, 0), TPoint(7, 0), TPoint(7, 4), TPoint(9, 4), TPoint(5, 8), TPoint(1, 4), TPoint(3, 4)};
    case arrLeft:
      return {TPoint(0, 3), TPoint(0, 7), TPoint(4, 7), TPoint(4, 10), TPoint(8, 5), TPoint(4, 0), TPoint(4, 3)};
    case arrRight:
    default:
      return {TPoint(0, 5), TPoint(4, 10), TPoint(4, 7), TPoint(8, 7), TPoint(8, 3), TPoint(4, 3), TPoint(4, 0)};
  }
}

TRect TArrowWindow::ArrowBounds(TArrowDirection Direction) {
  int w = 0, h = 0;
  for (const TPoint& p : ArrowPoints(Direction)) {
    w = std::max(w, p.X + 1);
    h = std::max(h, p.Y + 1);
  }
  return TRect(0, 0, w, h);
}

void TArrowWindow::CreateParams(TCreateParams& Params) {
  TPanel::CreateParams(Params);
  // A child of the window it marks in: top-level windows cannot be placed
  // on every desktop, child windows can.
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS | (Visible() ? WS_VISIBLE : 0);
}

void TArrowWindow::CreateWnd() {
  TPanel::CreateWnd();
  // The window takes the arrow's shape (winding fill).
  if (QWidget* w = WidgetIfAllocated()) {
    QPolygon polygon;
    for (const TPoint& p : ArrowPoints(FDir)) polygon << QPoint(p.X, p.Y);
    w->setMask(QRegion(polygon, Qt::WindingFill));
  }
}

void TArrowWindow::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

// ---------------------------------------------------------------------------
// TGridFocusWindow

TGridFocusWindow::TGridFocusWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(0, 0, 0, 0);
}

void TGridFocusWindow::SetGlow(const QImage& Glow, Byte Opacity) {
  FGlow = Glow;
  FOpacity = Opacity;
  if (QWidget* w = WidgetIfAllocated()) w->setWindowOpacity(Opacity / 255.0);
  Invalidate();
}

void TGridFocusWindow::Paint() {
  if (FGlow.isNull()) return;
  TBitmap bmp;
  bmp.AssignImage(FGlow);
  Canvas()->Draw(0, 0, &bmp);
}

void TGridFocusWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_DISABLED;
  Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
}

// ---------------------------------------------------------------------------
// TFocusHelper

TF_PUBLISHED(TFocusHelper, TPersistent) {
  return TPublished<TFocusHelper>()
      .Boolean("Enabled", &TFocusHelper::Enabled, &TFocusHelper::SetEnabled)
      .Default(false);
}

void TFocusHelper::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TFocusHelper*>(Source)) FEnabled = src->FEnabled;
}

// ---------------------------------------------------------------------------
// TKitControlList

TKitControlList::~TKitControlList() { ClearControls(); }

void TKitControlList::AddControl(int X, int Y, TControl* AObject) {
  auto item = std::make_unique<TControlItem>(X, Y, AObject);
  Add(item.get());
  item.release();  // owned by the list from here
}

int TKitControlList::ControlIndex(int X, int Y) const {
  for (int i = 0; i < Count(); ++i) {
    const TControlItem* item = Control(i);
    if (item->X == X && item->Y == Y) return i;
  }
  return -1;
}

void TKitControlList::RemoveControl(int Index) {
  std::unique_ptr<TControlItem> item(Control(Index));  // raises for a bad index
  Delete(Index);
}

void TKitControlList::ClearControls() {
  while (Count() > 0) RemoveControl(Count() - 1);
}

bool TKitControlList::HasHandle(HWND Handle) const {
  for (int i = 0; i < Count(); ++i) {
    auto* win = dynamic_cast<TWinControl*>(Control(i)->Control);
    if (win != nullptr && win->HandleAllocated() && win->Handle() == Handle) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// TFilePicture

TF_PUBLISHED(TFilePicture, TPersistent) {
  return TPublished<TFilePicture>()
      .String("Filename", &TFilePicture::Filename, &TFilePicture::SetFilename)
      .Integer("Width", &TFilePicture::Width)
      .Integer("Height", &TFilePicture::Height);
}

void TFilePicture::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TFilePicture*>(Source);
  if (src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  FFilename = src->FFilename;
  FWidth = src->FWidth;
  FHeight = src->FHeight;
}

void TFilePicture::SetFilename(const QString& Value) {
  FFilename = Value;
  if (Value.isEmpty() || !FileExists(Value)) return;
  try {
    TPicture picture;
    picture.LoadFromFile(Value);
    FWidth = picture.Width();
    FHeight = picture.Height();
  } catch (const Exception&) {
    FWidth = 0;
    FHeight = 0;
  }
}

void TFilePicture::DrawPicture(TCanvas* Canvas, const TRect& Rect) {
  if (FFilename.isEmpty() || !FileExists(FFilename) || Canvas == nullptr) return;
  try {
    TPicture picture;
    picture.LoadFromFile(FFilename);
    if (picture.Graphic() != nullptr) Canvas->StretchDraw(Rect, picture.Graphic());
  } catch (const Exception&) {
    // A picture that does not load or draw is simply not shown.
  }
}
