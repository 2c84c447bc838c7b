#include <gtest/gtest.h>

#include <QColor>
#include <cmath>
#include <functional>
#include <limits>

#include "foundation/KitGraphicsTypes.h"
#include "tests/support/TestSupport.h"

namespace {
// Counts the change signals of a fill, stroke or font.
struct TSignalCounter {
  int Count = 0;
  TObject* Sender = nullptr;
  TNotifyEvent Handler() {
    return [this](TObject* s) {
      ++Count;
      Sender = s;
    };
  }
};

void ExpectMatrixNear(const TKitGraphicsMatrix& a, const TKitGraphicsMatrix& b, float tolerance = 1e-5f) {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(a.M(r).V(c), b.M(r).V(c), tolerance) << "row " << r << " col " << c;
}
}  // namespace

// ---------------------------------------------------------------------------
// Change signals

TEST(KitGraphicsFillTest, StartsWithItsDefaults) {
  TKitGraphicsFill fill(gfkGradient, 0x123456);
  EXPECT_EQ(fill.Kind(), gfkGradient);
  EXPECT_EQ(fill.Color(), 0x123456);
  EXPECT_EQ(fill.ColorTo(), 0x808080);
  EXPECT_EQ(fill.ColorMirror(), -1);
  EXPECT_EQ(fill.ColorMirrorTo(), -1);
  EXPECT_EQ(fill.Opacity(), 1);
  EXPECT_EQ(fill.Orientation(), gfoVertical);
  EXPECT_EQ(fill.TextureMode(), gtmStretch);
  EXPECT_EQ(fill.GradientMode(), gfgmDefault);
  EXPECT_EQ(fill.GradientType(), gfgtLinear);
  EXPECT_EQ(fill.GradientAngle(), 0);
  EXPECT_EQ(fill.GradientCenterPoint(), TPointF(0, 0));
  EXPECT_EQ(fill.GradientCenterColor(), -1);
  EXPECT_EQ(fill.GradientMatrix(), MatrixIdentity());
  EXPECT_EQ(fill.GradientItems()->Count(), 0);
  EXPECT_EQ(fill.GradientItems()->GetOwner(), &fill);
}

TEST(KitGraphicsFillTest, SettersSignalOncePerChange) {
  TKitGraphicsFill fill;
  TSignalCounter counter;
  fill.OnChanged = counter.Handler();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Step {
    const char* what;
    std::function<void()> apply;
    int expected;
  };
  const Step steps[] = {
      {"kind", [&] { fill.SetKind(gfkGradient); }, 1},
      {"same kind", [&] { fill.SetKind(gfkGradient); }, 0},
      {"colour", [&] { fill.SetColor(0x0000FF); }, 1},
      {"same colour", [&] { fill.SetColor(0x0000FF); }, 0},
      {"clNone", [&] { fill.SetColor(clNone); }, 1},
      {"clNone again: compared before it becomes -1", [&] { fill.SetColor(clNone); }, 1},
      {"-1 over -1", [&] { fill.SetColor(-1); }, 0},
      {"clDefault", [&] { fill.SetColorTo(clDefault); }, 1},
      {"mirror colours", [&] { fill.SetColorMirror(1); fill.SetColorMirrorTo(2); }, 2},
      {"orientation and its other name", [&] { fill.SetOrientation(gfoHorizontal); fill.SetGradientOrientation(gfoCustom); }, 2},
      {"opacity", [&] { fill.SetOpacity(0.5f); }, 1},
      {"same opacity", [&] { fill.SetOpacity(0.5f); }, 0},
      {"NaN opacity", [&] { fill.SetOpacity(nan); }, 1},
      {"NaN opacity again", [&] { fill.SetOpacity(nan); }, 1},
      {"texture mode", [&] { fill.SetTextureMode(gtmTile); }, 1},
      {"gradient mode, type, angle", [&] { fill.SetGradientMode(gfgmCollection); fill.SetGradientType(gfgtRadial); fill.SetGradientAngle(45); }, 3},
      {"same gradient angle", [&] { fill.SetGradientAngle(45); }, 0},
      {"gradient matrix", [&] { fill.SetGradientMatrix(MatrixCreateScaling(2, 2)); }, 1},
      {"same gradient matrix", [&] { fill.SetGradientMatrix(MatrixCreateScaling(2, 2)); }, 0},
      {"centre point, even the same one", [&] { fill.SetGradientCenterPoint(TPointF()); }, 1},
      {"centre colour", [&] { fill.SetGradientCenterColor(0x00FF00); }, 1},
      {"same centre colour", [&] { fill.SetGradientCenterColor(0x00FF00); }, 0},
  };
  for (const Step& s : steps) {
    counter.Count = 0;
    s.apply();
    EXPECT_EQ(counter.Count, s.expected) << s.what;
  }
  EXPECT_EQ(counter.Sender, &fill);
  EXPECT_EQ(fill.Color(), -1);
  EXPECT_EQ(fill.ColorTo(), clBtnFace);
  EXPECT_EQ(fill.Orientation(), gfoCustom);
}

TEST(KitGraphicsFillTest, UpdatesHoldSignalsBack) {
  TKitGraphicsFill fill;
  TSignalCounter counter;
  fill.OnChanged = counter.Handler();
  fill.BeginUpdate();
  fill.BeginUpdate();
  fill.SetColor(1);
  fill.SetKind(gfkNone);
  fill.SetOpacity(0.25f);
  EXPECT_EQ(counter.Count, 0);
  fill.EndUpdate();
  EXPECT_EQ(counter.Count, 0) << "still inside the outer update";
  fill.EndUpdate();
  EXPECT_EQ(counter.Count, 1);
  fill.EndUpdate();  // one too many: the count stays at 0
  counter.Count = 0;
  fill.SetColor(2);
  EXPECT_EQ(counter.Count, 1);
}

TEST(KitGraphicsStrokeTest, SettersAndUpdates) {
  TKitGraphicsStroke stroke(gskDash, 0x112233);
  EXPECT_EQ(stroke.Kind(), gskDash);
  EXPECT_EQ(stroke.Color(), 0x112233);
  EXPECT_EQ(stroke.Width(), 1);
  EXPECT_EQ(stroke.Opacity(), 1);
  TSignalCounter counter;
  stroke.OnChanged = counter.Handler();
  stroke.SetWidth(2);
  stroke.SetWidth(2);
  stroke.SetOpacity(0.5f);
  stroke.SetKind(gskDot);
  stroke.SetColor(clNone);
  EXPECT_EQ(counter.Count, 4);
  EXPECT_EQ(stroke.Color(), -1);
  stroke.SetColor(clDefault);
  EXPECT_EQ(stroke.Color(), clBtnFace);
  counter.Count = 0;
  stroke.BeginUpdate();
  stroke.SetWidth(3);
  stroke.SetKind(gskSolid);
  EXPECT_EQ(counter.Count, 0);
  stroke.EndUpdate();
  EXPECT_EQ(counter.Count, 1);
}

TEST(KitGraphicsFontTest, ChangesSignalOnceAndWaitForUpdates) {
  TKitGraphicsFont font;
  EXPECT_EQ(font.Height(), -11);
  TSignalCounter counter;
  font.OnChanged = counter.Handler();
  font.SetName(QStringLiteral("Verdana"));
  font.SetSize(20);
  font.SetStyle({fsBold});
  font.SetColor(clRed);
  font.SetColor(clRed);
  EXPECT_EQ(counter.Count, 4);
  EXPECT_EQ(counter.Sender, &font);
  counter.Count = 0;
  font.BeginUpdate();
  font.SetSize(9);
  font.SetName(QStringLiteral("Arial"));
  EXPECT_EQ(counter.Count, 0);
  font.EndUpdate();
  EXPECT_EQ(counter.Count, 1);

  TKitGraphicsFont other;
  other.SetName(QStringLiteral("Courier New"));
  counter.Count = 0;
  font.AssignSource(&other);
  EXPECT_EQ(counter.Count, 1);
  EXPECT_EQ(font.Name(), QStringLiteral("Courier New"));
  EXPECT_EQ(font.Height(), -11);
}

// ---------------------------------------------------------------------------
// Assign

TEST(KitGraphicsFillTest, AssignFromAFillCopiesAllButTheMatrix) {
  TKitGraphicsFill source(gfkGradient, 0x010203);
  source.SetColorTo(0x040506);
  source.SetColorMirror(0x070809);
  source.SetColorMirrorTo(0x0A0B0C);
  source.SetOrientation(gfoHorizontal);
  source.SetOpacity(0.75f);
  source.SetTextureMode(gtmCenter);
  source.SetGradientMode(gfgmCollection);
  source.SetGradientAngle(30);
  source.SetGradientCenterPoint(TPointF(3, 4));
  source.SetGradientType(gfgtRadial);
  source.SetGradientCenterColor(0x0D0E0F);
  source.SetGradientMatrix(MatrixCreateTranslation(5, 6));
  source.AddGradientItem(0x111111, 0.5f, 0.25f);
  source.AddGradientItem(0x222222, 1, 1);

  TKitGraphicsFill target;
  TSignalCounter counter;
  target.OnChanged = counter.Handler();
  target.Assign(&source);
  EXPECT_EQ(counter.Count, 1);
  EXPECT_EQ(target.Kind(), gfkGradient);
  EXPECT_EQ(target.Color(), 0x010203);
  EXPECT_EQ(target.ColorTo(), 0x040506);
  EXPECT_EQ(target.ColorMirror(), 0x070809);
  EXPECT_EQ(target.ColorMirrorTo(), 0x0A0B0C);
  EXPECT_EQ(target.Orientation(), gfoHorizontal);
  EXPECT_EQ(target.Opacity(), 0.75f);
  EXPECT_EQ(target.TextureMode(), gtmCenter);
  EXPECT_EQ(target.GradientMode(), gfgmCollection);
  EXPECT_EQ(target.GradientAngle(), 30);
  EXPECT_EQ(target.GradientCenterPoint(), TPointF(3, 4));
  EXPECT_EQ(target.GradientType(), gfgtRadial);
  EXPECT_EQ(target.GradientCenterColor(), 0x0D0E0F);
  EXPECT_EQ(target.GradientMatrix(), MatrixIdentity()) << "the matrix is not copied";
  ASSERT_EQ(target.GradientItems()->Count(), 2);
  EXPECT_EQ(target.GradientItems()->Items(0)->Color(), 0x111111);
  EXPECT_EQ(target.GradientItems()->Items(0)->Position(), 0.5f);
  EXPECT_EQ(target.GradientItems()->Items(0)->Opacity(), 0.25f);
  EXPECT_EQ(target.GradientItems()->Items(1)->Color(), 0x222222);
}

TEST(KitGraphicsFillTest, AssignAcrossFillAndStroke) {
  TKitGraphicsStroke stroke(gskDash, 0x336699);
  TKitGraphicsFill fill(gfkGradient, 0);
  fill.SetColorTo(1);
  fill.SetColorMirror(2);
  fill.SetColorMirrorTo(3);
  fill.SetOrientation(gfoHorizontal);
  fill.SetOpacity(0.1f);
  TSignalCounter fillSignals;
  fill.OnChanged = fillSignals.Handler();
  fill.Assign(&stroke);
  EXPECT_EQ(fillSignals.Count, 1);
  EXPECT_EQ(fill.Color(), 0x336699);
  EXPECT_EQ(fill.Kind(), gfkSolid);
  EXPECT_EQ(fill.Orientation(), gfoVertical);
  EXPECT_EQ(fill.Opacity(), 1);
  EXPECT_EQ(fill.ColorTo(), -1);
  EXPECT_EQ(fill.ColorMirror(), -1);
  EXPECT_EQ(fill.ColorMirrorTo(), -1);

  TKitGraphicsStroke target(gskDot, 0);
  target.SetWidth(4);
  target.SetOpacity(0.5f);
  TSignalCounter strokeSignals;
  target.OnChanged = strokeSignals.Handler();
  target.Assign(&fill);
  EXPECT_EQ(strokeSignals.Count, 1);
  EXPECT_EQ(target.Color(), 0x336699);
  EXPECT_EQ(target.Kind(), gskSolid);
  EXPECT_EQ(target.Width(), 1);
  EXPECT_EQ(target.Opacity(), 1);

  // Anything else copies nothing, raises nothing, and still signals.
  TKitGraphicsPath path;
  fillSignals.Count = 0;
  fill.Assign(&path);
  fill.Assign(nullptr);
  EXPECT_EQ(fillSignals.Count, 2);
  EXPECT_EQ(fill.Color(), 0x336699);
}

TEST(KitGraphicsFillTest, GradientItemsSignalTheirFill) {
  TKitGraphicsFill fill;
  TSignalCounter counter;
  fill.OnChanged = counter.Handler();
  TKitGraphicsFillGradientItem* item = fill.AddGradientItem(0xFFFFFF, 0.5f, 1);
  EXPECT_EQ(counter.Count, 1) << "only the position differed from a new item's values";
  EXPECT_EQ(item->Collection(), fill.GradientItems());
  counter.Count = 0;
  item->SetColor(0x00FF00);
  item->SetColor(0x00FF00);
  item->SetOpacity(0.5f);
  EXPECT_EQ(counter.Count, 2);
  fill.BeginUpdate();
  item->SetPosition(0.75f);
  EXPECT_EQ(counter.Count, 2);
  fill.EndUpdate();
  EXPECT_EQ(counter.Count, 3);

  TKitGraphicsFillGradientItem* inserted = fill.GradientItems()->Insert(0);
  EXPECT_EQ(inserted->Index(), 0);
  EXPECT_EQ(inserted->Color(), 0xFFFFFF);
  EXPECT_EQ(inserted->Opacity(), 1);
  fill.GradientItems()->SetItems(0, item);
  EXPECT_EQ(fill.GradientItems()->Items(0)->Color(), 0x00FF00);
  TKitGraphicsStroke foreign;
  EXPECT_THROW(inserted->Assign(&foreign), EConvertError);
  fill.ClearGradientItems();
  EXPECT_EQ(fill.GradientItems()->Count(), 0);
}

TEST(KitGraphicsSaveStateTest, HoldsAFillAStrokeAndAFont) {
  TKitGraphicsSaveState state;
  EXPECT_EQ(state.Fill()->Kind(), gfkSolid);
  EXPECT_EQ(state.Fill()->Color(), 0xFFFFFF);
  EXPECT_EQ(state.Stroke()->Kind(), gskSolid);
  EXPECT_EQ(state.Stroke()->Color(), 0xC0C0C0);
  EXPECT_EQ(state.Font()->Height(), -11);
  TKitGraphicsFill fill(gfkNone, 0x010101);
  TKitGraphicsFill* owned = state.Fill();
  state.SetFill(&fill);
  EXPECT_EQ(state.Fill(), owned) << "assigned into, not replaced";
  EXPECT_EQ(owned->Color(), 0x010101);
  TKitGraphicsStroke stroke(gskNone, 7);
  state.SetStroke(&stroke);
  EXPECT_EQ(state.Stroke()->Color(), 7);
  TKitGraphicsFont font;
  font.SetName(QStringLiteral("Arial"));
  state.SetFont(&font);
  EXPECT_EQ(state.Font()->Name(), QStringLiteral("Arial"));
  state.SetSaveDC(3);
  state.SetCustomSaveDC(42);
  EXPECT_EQ(state.SaveDC(), 3);
  EXPECT_EQ(state.CustomSaveDC(), 42u);
}

// ---------------------------------------------------------------------------
// Matrices

TEST(KitGraphicsMatrixTest, ConstructorsAndPointMapping) {
  struct Case {
    const char* what;
    TKitGraphicsMatrix m;
    TPointF in, out;
  };
  const Case cases[] = {
      {"identity", MatrixIdentity(), {3, 4}, {3, 4}},
      {"translation", MatrixCreateTranslation(10, -5), {3, 4}, {13, -1}},
      {"scaling", MatrixCreateScaling(2, 3), {3, 4}, {6, 12}},
      {"rotation a quarter turn", MatrixCreateRotation(std::numbers::pi_v<float> / 2), {1, 0}, {0, 1}},
      {"scale, then translate", MatrixCreateScaling(2, 2) * MatrixCreateTranslation(10, 0), {1, 0}, {12, 0}},
      {"translate, then scale", MatrixCreateTranslation(10, 0) * MatrixCreateScaling(2, 2), {1, 0}, {22, 0}},
  };
  for (const Case& c : cases) {
    const TPointF p = MatrixMultiplyPoint(c.in, c.m);
    EXPECT_NEAR(p.X, c.out.X, 1e-5) << c.what;
    EXPECT_NEAR(p.Y, c.out.Y, 1e-5) << c.what;
    EXPECT_EQ(c.in * c.m, p);
  }
  EXPECT_TRUE(MatrixIsEmpty(MatrixEmpty()));
  TKitGraphicsMatrix almost;
  almost.m23 = 1e-30f;
  EXPECT_FALSE(MatrixIsEmpty(almost));
  EXPECT_FALSE(MatrixIsEmpty(MatrixIdentity()));
}

TEST(KitGraphicsMatrixTest, MultiplyIsTheOrdinaryProduct) {
  TKitGraphicsMatrix a, b;
  float v = 1;
  for (int r = 0; r < 3; ++r) {
    TKitGraphicsVector ra, rb;
    for (int c = 0; c < 3; ++c) {
      ra.SetV(c, v);
      rb.SetV(c, 10 - v);
      ++v;
    }
    a.SetM(r, ra);
    b.SetM(r, rb);
  }
  // a = [1 2 3; 4 5 6; 7 8 9], b = [9 8 7; 6 5 4; 3 2 1]
  TKitGraphicsMatrix expected;
  expected.SetM(0, {30, 24, 18});
  expected.SetM(1, {84, 69, 54});
  expected.SetM(2, {138, 114, 90});
  EXPECT_EQ(MatrixMultiply(a, b), expected);
  EXPECT_EQ(a * MatrixIdentity(), a);
  EXPECT_EQ(a.MatrixScale(2).m32, 16);
  EXPECT_THROW(a.M(3), EArgumentOutOfRangeException);
  EXPECT_THROW(TKitGraphicsVector().V(-1), EArgumentOutOfRangeException);
}

TEST(KitGraphicsMatrixTest, InverseAndSingularMatrices) {
  const TKitGraphicsMatrix m = MatrixCreateRotation(0.3f) * MatrixCreateScaling(2, 4) * MatrixCreateTranslation(5, -7);
  EXPECT_NEAR(m.Determinant(), 8, 1e-4);
  ExpectMatrixNear(m * m.Inverse(), MatrixIdentity());
  ExpectMatrixNear(m.Inverse() * m, MatrixIdentity());
  const TPointF p(3, 9);
  const TPointF back = (p * m) * m.Inverse();
  EXPECT_NEAR(back.X, 3, 1e-4);
  EXPECT_NEAR(back.Y, 9, 1e-4);

  TKitGraphicsMatrix rankTwo = MatrixIdentity();
  rankTwo.SetM(1, {2, 0, 0});  // rows 0 and 1 dependent
  TKitGraphicsMatrix nan = MatrixIdentity();
  nan.m11 = std::numeric_limits<float>::quiet_NaN();
  for (const TKitGraphicsMatrix& singular : {MatrixEmpty(), rankTwo, MatrixCreateScaling(1e-20f, 1e-21f), nan})
    EXPECT_EQ(singular.Inverse(), MatrixIdentity());
  // The adjugate of diag(2, 3, 1) is diag(3, 2, 6).
  TKitGraphicsMatrix expectedAdjoint = MatrixCreateScaling(3, 2);
  expectedAdjoint.m33 = 6;
  EXPECT_EQ(MatrixCreateScaling(2, 3).Adjoint(), expectedAdjoint);
}

// ---------------------------------------------------------------------------
// Colours

TEST(KitGraphicsColorListTest, HoldsTheNamedColours) {
  TStringList* list = GetColorList();
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->Count(), 160);
  int twice = 0;
  for (int i = 0; i < list->Count(); ++i) {
    const QString name = list->Strings(i);
    auto* color = dynamic_cast<TKitGraphicsColorObject*>(list->Objects(i));
    ASSERT_NE(color, nullptr) << name.toStdString();
    // The style-sheet keywords are the SVG colour keywords that QColor knows.
    const QColor reference = QColor::fromString(name);
    ASSERT_TRUE(reference.isValid()) << name.toStdString();
    EXPECT_EQ(color->Color(), MakeRgb(reference.red(), reference.green(), reference.blue())) << name.toStdString();
    if (i > 0) {
      EXPECT_LE(AnsiCompareText(list->Strings(i - 1), name), 0) << "sorted without regard to case";
      if (list->Strings(i - 1) == name) ++twice;
    }
  }
  EXPECT_EQ(twice, 13);
  for (const char* name : {"red", "black", "orange", "maroon", "gray"})
    EXPECT_EQ(list->Strings(list->IndexOf(QString::fromLatin1(name)) + 1), QString::fromLatin1(name));
  EXPECT_EQ(list->IndexOf(QStringLiteral("grey")), list->IndexOf(QStringLiteral("GrEy")));
  EXPECT_NE(list->IndexOf(QStringLiteral("GREY")), -1);
  EXPECT_EQ(list->IndexOf(QStringLiteral("rebeccapurple")), -1);
  EXPECT_EQ(list->IndexOf(QStringLiteral("clred")), -1);
  const auto colorOf = [&](const char* name) {
    return static_cast<TKitGraphicsColorObject*>(list->Objects(list->IndexOf(QString::fromLatin1(name))))->Color();
  };
  EXPECT_EQ(colorOf("red"), 0x0000FF);
  EXPECT_EQ(colorOf("cornflowerblue"), 0xED9564);
  EXPECT_EQ(colorOf("grey"), colorOf("gray"));
}

TEST(KitGraphicsColorTest, MakeRgbAndModifyRect) {
  EXPECT_EQ(MakeRgb(0x12, 0x34, 0x56), 0x563412);
  EXPECT_EQ(MakeRgb(255, 255, 255), 0xFFFFFF);
  const TRectF r(1.5f, 2, 30, 40.25f);
  for (int mode = gcrmNone; mode <= gcrmShiftLeftAndExpandHeight; ++mode)
    EXPECT_EQ(ModifyRect(r, static_cast<TKitGraphicsModifyRectMode>(mode)), r) << mode;
}

// ---------------------------------------------------------------------------
// Component streaming of the value types

class TKitValueHost : public TComponent {
 public:
  TF_DECLARE_PUBLISHED(TKitValueHost)
  explicit TKitValueHost(TComponent* AOwner) : TComponent(AOwner) {}
  TKitGraphicsFill* Fill() const { return FFill.get(); }
  TKitGraphicsStroke* Stroke() const { return FStroke.get(); }
  TKitGraphicsFont* Font() const { return FFont.get(); }
  TKitGraphicsFillGradientItems* Stops() const { return FFill->GradientItems(); }

 private:
  std::unique_ptr<TKitGraphicsFill> FFill = std::make_unique<TKitGraphicsFill>();
  std::unique_ptr<TKitGraphicsStroke> FStroke = std::make_unique<TKitGraphicsStroke>();
  std::unique_ptr<TKitGraphicsFont> FFont = std::make_unique<TKitGraphicsFont>();
};

TF_PUBLISHED(TKitValueHost, TComponent) {
  return TPublished<TKitValueHost>()
      .Object("Fill", &TKitValueHost::Fill)
      .Object("Stroke", &TKitValueHost::Stroke)
      .Object("Font", &TKitValueHost::Font)
      .Object("Stops", &TKitValueHost::Stops);
}

namespace {
// Every published property of two objects, compared through the tables.
void ExpectSamePublished(TObject* a, TObject* b, const QString& path = QString()) {
  for (const TPropInfo* p : GetPropList(a)) {
    const QString name = path + p->Name();
    switch (p->Kind()) {
      case tkClass: {
        TObject* oa = p->GetObject(a);
        TObject* ob = p->GetObject(b);
        if (auto* ca = dynamic_cast<TCollection*>(oa)) {
          auto* cb = dynamic_cast<TCollection*>(ob);
          ASSERT_NE(cb, nullptr) << name.toStdString();
          ASSERT_EQ(ca->Count(), cb->Count()) << name.toStdString();
          for (int i = 0; i < ca->Count(); ++i)
            ExpectSamePublished(ca->Items(i), cb->Items(i), name + QStringLiteral("[%1].").arg(i));
        } else if (oa && ob) {
          ExpectSamePublished(oa, ob, name + u'.');
        }
        break;
      }
      case tkMethod:
        break;
      default:
        EXPECT_EQ(GetPropValue(a, p), GetPropValue(b, p)) << name.toStdString();
    }
  }
}
}  // namespace

TEST(KitGraphicsStreamingTest, ValueTypesRoundTrip) {
  struct Case {
    const char* what;
    std::function<void(TKitValueHost&)> set;
  };
  const Case cases[] = {
      {"defaults", [](TKitValueHost&) {}},
      {"fill", [](TKitValueHost& h) {
         h.Fill()->SetKind(gfkGradient);
         h.Fill()->SetOrientation(gfoHorizontal);
         h.Fill()->SetColor(0x102030);
         h.Fill()->SetColorTo(clNone);
         h.Fill()->SetColorMirror(0x405060);
         h.Fill()->SetColorMirrorTo(0);
         h.Fill()->SetTextureMode(gtmTile);
       }},
      {"stroke with zero width", [](TKitValueHost& h) {
         h.Stroke()->SetKind(gskDashDotDot);
         h.Stroke()->SetColor(0x0000FF);
         h.Stroke()->SetWidth(0);
       }},
      {"stroke with a fractional width", [](TKitValueHost& h) { h.Stroke()->SetWidth(2.5f); }},
      {"font", [](TKitValueHost& h) {
         h.Font()->SetName(QStringLiteral("DejaVu Sans"));
         h.Font()->SetSize(14);
         h.Font()->SetStyle({fsBold, fsStrikeOut});
         h.Font()->SetColor(0x00FF00);
       }},
      {"gradient stops", [](TKitValueHost& h) {
         h.Fill()->AddGradientItem(0x0000FF, 0, 1);
         h.Fill()->AddGradientItem(0x00FF00, 0.5f, 0.25f);
         h.Fill()->AddGradientItem(0xFFFFFF, 1, 0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TKitValueHost source(nullptr);
    c.set(source);
    TBytesStream stream;
    stream.WriteComponent(&source);
    TKitValueHost target(nullptr);
    target.Fill()->AddGradientItem(1, 2, 3);  // replaced by the stream's stops
    stream.SetPosition(0);
    stream.ReadComponent(&target);
    ExpectSamePublished(&source, &target);
    EXPECT_EQ(target.Stroke()->Width(), source.Stroke()->Width());
    EXPECT_EQ(target.Fill()->GradientItems()->Count(), source.Fill()->GradientItems()->Count());
  }
  // Defaults are left out: a host at its defaults writes only the font's
  // values without defaults and the (empty) stops.
  TKitValueHost host(nullptr);
  TBytesStream stream;
  stream.WriteComponent(&host);
  const QByteArray bytes = stream.Bytes();
  EXPECT_FALSE(bytes.contains("Fill.")) << bytes.toStdString();
  EXPECT_FALSE(bytes.contains("Stroke.")) << bytes.toStdString();
  EXPECT_TRUE(bytes.contains("Font.Height"));
  EXPECT_FALSE(bytes.contains("Font.Size"));
}

TEST(KitGraphicsColorTest, LighterAndBlendedColours) {
  struct Lighter {
    TColor color;
    int percent;
    TColor expected;
  };
  const Lighter lighter[] = {
      {0x000000, 50, 0x808080},     // MulDiv(255, 50, 100) = 127.5, halves away from zero
      {0x102030, 0, 0x102030},      {0x000000, 100, 0xFFFFFF},
      {0x00FF00, 20, 0x33FF33},     {clBtnFace, 100, 0xFFFFFF},  // a system colour resolved first
      {0x808080, 200, 0xFFFFFF},    // beyond 100 per cent: white, not wrapped
      {0x808080, -100, 0x010101},   // darker
      {0x808080, -300, 0x000000},   // not below black
  };
  for (const Lighter& c : lighter)
    EXPECT_EQ(LighterColor(c.color, c.percent), c.expected) << std::hex << c.color << " " << std::dec << c.percent;

  struct Blend {
    TColor color1, color2;
    int percent;
    TColor expected;
  };
  const Blend blends[] = {
      {0xFFFFFF, 0x000000, 0, 0x000000},  {0xFFFFFF, 0x000000, 100, 0xFEFEFE},
      // 50 * 2.55 rounds to the weight 127.
      {0xFFFFFF, 0x000000, 50, 0x7E7E7E}, {0x000000, 0xFFFFFF, 50, 0x808080},  // darker first: a true mix
      {0x0000FF, 0xFF0000, 25, 0xBF003F}, {0x000000, 0xFFFFFF, 300, 0x000000},  // the weight stays a byte
      {0x000000, 0xFFFFFF, -20, 0xFFFFFF},
  };
  for (const Blend& c : blends)
    EXPECT_EQ(BlendColor(c.color1, c.color2, c.percent), c.expected)
        << std::hex << c.color1 << " " << c.color2 << " " << std::dec << c.percent;
  EXPECT_EQ(BlendColor(clBtnFace, clBtnFace, 40), ColorToRGB(clBtnFace));
}
