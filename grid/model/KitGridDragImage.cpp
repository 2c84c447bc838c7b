// The drag image of a cell range: the painted cells in a borderless,
// stay-on-top, half-transparent form that never takes the focus. Row and
// column moving shows and moves it while dragging.

#include <QWidget>

#include "grid/model/KitGrid.h"
#include "platform/vcl/Forms.h"

namespace {

// Shows a bitmap over its whole client area.
class TDragImageView : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  std::unique_ptr<TBitmap> Bitmap;

 protected:
  void Paint() override {
    if (Bitmap) Canvas()->Draw(0, 0, Bitmap.get());
  }
};

}  // namespace

TForm* TKitStringGrid::SelectionToForm(TGridRect ARect) {
  // 1. The grid as painted.
  HandleNeeded();
  if (QWidget* w = WidgetIfAllocated()) w->repaint();
  TBitmap whole;
  whole.AssignImage(BackBuffer());
  // 2. The range's corner cells, in order.
  TRect a = CellRect(ARect.Left, ARect.Top);
  TRect b = CellRect(ARect.Right, ARect.Bottom);
  if (b.Left < a.Left) std::swap(a, b);
  if (b.Bottom < a.Bottom) {
    std::swap(a.Top, b.Top);
    std::swap(a.Bottom, b.Bottom);
  }
  // 3. The area from inside the first cell's top-left grid line.
  const int w = std::max(1, b.Right - a.Left + 1);
  const int h = std::max(1, b.Bottom - a.Top + 1);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(w, h);
  bitmap->Canvas()->CopyRect(TRect(0, 0, w, h), whole.Canvas(), TRect(a.Left + 1, a.Top + 1, b.Right + 2, b.Bottom + 2));
  // 4. The fixed lines the range starts at.
  TCanvas* c = bitmap->Canvas();
  c->Pen()->SetColor(GridLineColor());
  c->Pen()->SetWidth(1);
  if (std::min(ARect.Left, ARect.Right) == 0 && RawFixedCols() > 0 && Options().Contains(goFixedHorzLine)) {
    c->MoveTo(0, 0);
    c->LineTo(0, h);
  }
  if (std::min(ARect.Top, ARect.Bottom) == 0 && RawFixedRows() > 0 && Options().Contains(goFixedVertLine)) {
    c->MoveTo(0, 0);
    c->LineTo(w, 0);
  }
  // 5. The form.
  auto* form = new TForm(this);
  form->SetBorderStyle(bsNone);
  form->SetFormStyle(fsStayOnTop);
  form->SetBounds(0, 0, w, h);
  auto* view = new TDragImageView(form);
  view->Bitmap = std::move(bitmap);
  view->SetBounds(0, 0, w, h);
  view->SetParent(form);
  form->HandleNeeded();
  if (QWidget* fw = form->WidgetIfAllocated()) {
    fw->window()->setAttribute(Qt::WA_ShowWithoutActivating);
    fw->window()->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    fw->window()->setWindowOpacity(192 / 255.0);
  }
  return form;
}
