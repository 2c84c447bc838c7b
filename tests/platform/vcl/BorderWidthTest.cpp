// A windowed control's BorderWidth: a ring inside the window frame taken
// off the client area on every side, painted in the control's colour; on
// forms (top-level windows) as on child windows. Panels keep their own
// border inside the client area, not a second one around it.

#include <QImage>

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "tests/platform/vcl/ControlsTestSupport.h"
#include "tests/platform/vcl/VclTestSupport.h"

using namespace vcltest;

namespace {

constexpr TColor kFormColor = TColor(0x0000FF);   // red
constexpr TColor kClientColor = TColor(0xFF0000);  // blue
constexpr TColor kChildColor = TColor(0x00FF00);   // lime

// Paints its client area in one colour.
class TFilledControl : public TCustomControl {
 public:
  TFilledControl(TComponent* AOwner, TColor AColor, bool AEdge = false)
      : TCustomControl(AOwner), FFill(AColor), FEdge(AEdge) {
    FControlStyle.Include(csOpaque);
  }
  using TWinControl::BorderWidth;
  using TWinControl::SetBorderWidth;
  TColor BorderColor() const override { return kChildColor; }

 protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomControl::CreateParams(Params);
    if (FEdge) Params.ExStyle |= WS_EX_CLIENTEDGE;
  }
  void Paint() override {
    Canvas()->Brush()->SetColor(FFill);
    Canvas()->FillRect(ClientRect());
  }

 private:
  TColor FFill;
  bool FEdge;
};

// Pixels of a W x H window outside its client area inset by Border.
int RingArea(int W, int H, int Border) {
  const int cw = std::max(W - 2 * Border, 0), ch = std::max(H - 2 * Border, 0);
  return W * H - cw * ch;
}

class BorderWidthTest : public ::testing::TestWithParam<int> {
 protected:
  void TearDown() override {
    Pump();
    ResetInputKeyState();
  }
};

// A form 200 x 120 with the border, an aligned client filling it and a
// small child at (0, 0): client rectangle, placement of both, the picture.
TEST_P(BorderWidthTest, FormClientAreaChildrenAndPainting) {
  const int b = GetParam();
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetColor(kFormColor);
  form.SetBorderWidth(b);
  form.SetBounds(40, 40, 200, 120);
  EXPECT_EQ(form.BorderWidth(), b);
  // Before the window exists the border is already off the client size.
  EXPECT_EQ(form.ClientRect(), TRect(0, 0, 200 - 2 * b, 120 - 2 * b));
  auto* client = new TFilledControl(&form, kClientColor);
  client->SetAlign(alClient);
  client->SetParent(&form);
  auto* corner = new TFilledControl(&form, kChildColor);
  corner->SetBounds(0, 0, 10, 10);
  corner->SetParent(&form);
  int resizes = 0;
  form.OnResize = [&](TObject*) { ++resizes; };
  ASSERT_TRUE(ShowAndActivate(&form));

  EXPECT_EQ(form.Width(), 200);
  EXPECT_EQ(form.ClientWidth(), 200 - 2 * b);
  EXPECT_EQ(form.ClientHeight(), 120 - 2 * b);
  EXPECT_EQ(form.ClientArea(), TRect(b, b, 200 - b, 120 - b));
  EXPECT_EQ(client->BoundsRect(), TRect(0, 0, 200 - 2 * b, 120 - 2 * b));
  EXPECT_EQ(client->Widget()->geometry(), QRect(b, b, 200 - 2 * b, 120 - 2 * b));
  EXPECT_EQ(corner->Widget()->pos(), QPoint(b, b));
  EXPECT_EQ(corner->ClientToScreen(TPoint(0, 0)), form.ClientToScreen(TPoint(0, 0)));
  const QPoint windowCorner = form.Widget()->mapToGlobal(QPoint(0, 0));
  EXPECT_EQ(form.ClientToScreen(TPoint(0, 0)), TPoint(windowCorner.x() + b, windowCorner.y() + b));

  // The ring is the form's colour, everything inside it the children's.
  corner->SetVisible(false);
  Pump();
  const QImage shot = form.Widget()->grab().toImage();
  ASSERT_EQ(shot.size(), QSize(200, 120));
  EXPECT_EQ(Count(shot, kFormColor), RingArea(200, 120, b));
  EXPECT_EQ(Count(shot, kClientColor), (200 - 2 * b) * (120 - 2 * b));
  if (b > 0) {
    for (const QPoint p : {QPoint(0, 0), QPoint(b - 1, 60), QPoint(199, 119), QPoint(100, 120 - b)})
      EXPECT_EQ(Px(shot, p.x(), p.y()), kFormColor) << p.x() << "," << p.y();
  }
  EXPECT_EQ(Px(shot, b, b), kClientColor);
  EXPECT_EQ(Px(shot, 199 - b, 119 - b), kClientColor);

  // Resized as a user would: the client area follows, the border stays.
  resizes = 0;
  form.Widget()->resize(260, 150);
  Pump();
  EXPECT_GE(resizes, 1);
  EXPECT_EQ(form.ClientArea(), TRect(b, b, 260 - b, 150 - b));
  EXPECT_EQ(client->BoundsRect(), TRect(0, 0, 260 - 2 * b, 150 - 2 * b));
  const QImage resized = form.Widget()->grab().toImage();
  EXPECT_EQ(Count(resized, kFormColor), RingArea(260, 150, b));
  EXPECT_EQ(Count(resized, kClientColor), (260 - 2 * b) * (150 - 2 * b));
}

// A child window with a sunken edge: the border sits inside the edge, in
// the control's colour; presses on it are no client presses.
TEST_P(BorderWidthTest, ChildWindowBorderInsideItsEdge) {
  const int b = GetParam();
  TForm form(nullptr);
  form.SetBounds(40, 40, 200, 120);
  auto* child = new TFilledControl(&form, kClientColor, true);
  child->SetBounds(10, 10, 80, 60);
  child->SetBorderWidth(b);
  child->SetParent(&form);
  QStringList events;
  child->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int X, int Y) {
    events << QStringLiteral("down %1,%2").arg(X).arg(Y);
  };
  ASSERT_TRUE(ShowAndActivate(&form));
  const int edge = GetSystemMetrics(SM_CXEDGE);
  const int in = edge + b;
  EXPECT_EQ(child->ClientArea(), TRect(in, in, 80 - in, 60 - in));
  EXPECT_EQ(child->ClientRect(), TRect(0, 0, 80 - 2 * in, 60 - 2 * in));
  child->Repaint();
  const QImage& buffer = child->BackBuffer();
  // The edge keeps its own colours; the ring inside it is the control's.
  EXPECT_EQ(Count(buffer, kChildColor), RingArea(80 - 2 * edge, 60 - 2 * edge, b));
  EXPECT_EQ(Count(buffer, kClientColor), (80 - 2 * in) * (60 - 2 * in));
  EXPECT_NE(Px(buffer, 0, 0), kChildColor);
  if (b > 0) {
    EXPECT_EQ(Px(buffer, edge, edge), kChildColor);
  }
  EXPECT_EQ(Px(buffer, in, in), kClientColor);

  // A press on the ring is no client press; inside, client coordinates
  // count from the client corner.
  ClickWidget(child->Widget(), edge, edge);
  ClickWidget(child->Widget(), in + 2, in + 3);
  const QStringList expected = b > 0 ? QStringList{"down 2,3"} : QStringList{"down 0,0", "down 2,3"};
  EXPECT_EQ(events, expected);
}

INSTANTIATE_TEST_SUITE_P(Widths, BorderWidthTest, ::testing::Values(0, 1, 3));

TEST(BorderWidth, ChangingItOnAShownFormMovesAndRealignsTheChildren) {
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(40, 40, 200, 120);
  auto* client = new TFilledControl(&form, kClientColor);
  client->SetAlign(alClient);
  client->SetParent(&form);
  auto* corner = new TFilledControl(&form, kChildColor);
  corner->SetBounds(5, 6, 10, 10);
  corner->SetParent(&form);
  ASSERT_TRUE(ShowAndActivate(&form));
  QList<TPoint> sizes;
  form.SetWindowProc([&, old = form.WindowProc()](TMessage& m) {
    if (m.Msg == WM_SIZE) sizes << TPoint(LOWORD(m.LParam), HIWORD(m.LParam));
    old(m);
  });
  for (const int b : {3, 1, 0, -4}) {
    SCOPED_TRACE(b);
    sizes.clear();
    form.SetBorderWidth(b);
    const int e = std::max(b, 0);
    EXPECT_EQ(form.BorderWidth(), e);
    EXPECT_EQ(form.ClientRect(), TRect(0, 0, 200 - 2 * e, 120 - 2 * e));
    EXPECT_EQ(client->BoundsRect(), TRect(0, 0, 200 - 2 * e, 120 - 2 * e));
    EXPECT_EQ(client->Widget()->geometry(), QRect(e, e, 200 - 2 * e, 120 - 2 * e));
    EXPECT_EQ(corner->Widget()->pos(), QPoint(5 + e, 6 + e));
    if (b != -4) {
      EXPECT_EQ(sizes, QList<TPoint>{TPoint(200 - 2 * e, 120 - 2 * e)});
    }
  }
  // More border than window: an empty client area, never a negative one.
  form.SetBorderWidth(150);
  EXPECT_EQ(form.ClientWidth(), 0);
  EXPECT_EQ(form.ClientHeight(), 0);
  form.SetBorderWidth(0);
  // Setting the client size with a border: the window grows by the border.
  form.SetBorderWidth(3);
  form.SetClientWidth(394);
  form.SetClientHeight(169);
  EXPECT_EQ(form.Width(), 400);
  EXPECT_EQ(form.Height(), 175);
}

TEST(BorderWidth, FormWithAMenuSizesItsClientInsideTheBorder) {
  TForm form(nullptr);
  auto* menu = new TMainMenu(&form);
  auto* item = new TMenuItem(menu);
  item->SetCaption(QStringLiteral("&File"));
  menu->Items()->Add(item);
  form.SetMenu(menu);
  form.SetBorderWidth(3);
  form.SetBounds(40, 40, 200, 120);
  auto* client = new TFilledControl(&form, kClientColor);
  client->SetAlign(alClient);
  client->SetParent(&form);
  ASSERT_TRUE(ShowAndActivate(&form));
  EXPECT_EQ(form.ClientRect(), TRect(0, 0, 194, 114));
  EXPECT_EQ(client->Widget()->geometry(), QRect(3, 3, 194, 114));
  form.Widget()->resize(240, 140);
  Pump();
  EXPECT_EQ(form.ClientRect(), TRect(0, 0, 234, 134));
  EXPECT_EQ(client->BoundsRect(), TRect(0, 0, 234, 134));
}

// The panel's BorderWidth is its own, inside its client area: the window
// gets no second border around it.
TEST(BorderWidth, PanelBorderStaysInsideItsClientArea) {
  TForm form(nullptr);
  form.SetBounds(40, 40, 200, 120);
  auto* panel = new TPanel(&form);
  panel->SetBounds(10, 10, 100, 80);
  panel->SetBevelOuter(bvNone);
  panel->SetBorderWidth(3);
  panel->SetParent(&form);
  auto* inner = new TFilledControl(&form, kClientColor);
  inner->SetAlign(alClient);
  inner->SetParent(panel);
  ASSERT_TRUE(ShowAndActivate(&form));
  EXPECT_EQ(panel->BorderWidth(), 3);
  EXPECT_EQ(panel->ClientArea(), TRect(0, 0, 100, 80));
  EXPECT_EQ(panel->ClientRect(), TRect(0, 0, 100, 80));
  EXPECT_EQ(inner->BoundsRect(), TRect(3, 3, 97, 77));
  EXPECT_EQ(inner->Widget()->geometry(), QRect(3, 3, 94, 74));
}

}  // namespace
