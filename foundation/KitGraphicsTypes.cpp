// Fills, strokes, fonts, matrices, the floating-point path, the saved
// drawing state and the colour-name list.

#include "foundation/KitGraphicsTypes.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win32/WinTypes.h"

namespace {
[[noreturn]] void RaiseArgumentOutOfRange() {
  throw EArgumentOutOfRangeException(QString::fromUtf8(RtlConsts::SArgumentOutOfRange));
}

// The colour setters of fills and strokes store clNone as -1 and
// clDefault as clBtnFace.
TColor TranslateColor(TColor Value) {
  if (Value == clNone) return gcNoColor;
  if (Value == clDefault) return clBtnFace;
  return Value;
}
}  // namespace

// ---------------------------------------------------------------------------
// Published tables

TF_PUBLISHED(TKitGraphicsFillGradientItem, TCollectionItem) {
  return TPublished<TKitGraphicsFillGradientItem>()
      .Float("Opacity", &TKitGraphicsFillGradientItem::Opacity, &TKitGraphicsFillGradientItem::SetOpacity)
      .Stored([](const TKitGraphicsFillGradientItem& i) { return i.Opacity() != 1; })
      .Color("Color", &TKitGraphicsFillGradientItem::Color, &TKitGraphicsFillGradientItem::SetColor)
      .Default(0xFFFFFF)
      .Float("Position", &TKitGraphicsFillGradientItem::Position, &TKitGraphicsFillGradientItem::SetPosition)
      .Stored([](const TKitGraphicsFillGradientItem& i) { return i.Position() != 0; });
}

TF_PUBLISHED(TKitGraphicsFillGradientItems, TOwnedCollection) {
  return TPublished<TKitGraphicsFillGradientItems>();
}

TF_PUBLISHED(TKitCustomGraphicsFill, TPersistent) { return TPublished<TKitCustomGraphicsFill>(); }

TF_PUBLISHED(TKitGraphicsFill, TKitCustomGraphicsFill) {
  using F = TKitGraphicsFill;
  return TPublished<F>()
      .Event("OnChanged", &F::OnChanged)
      .Enum("Kind", &F::Kind, &F::SetKind)
      .Default(gfkSolid)
      .Enum("Orientation", &F::Orientation, &F::SetOrientation)
      .Default(gfoVertical)
      .Color("Color", &F::Color, &F::SetColor)
      .Default(0xFFFFFF)
      .Color("ColorTo", &F::ColorTo, &F::SetColorTo)
      .Default(0x808080)
      .Color("ColorMirror", &F::ColorMirror, &F::SetColorMirror)
      .Default(-1)
      .Color("ColorMirrorTo", &F::ColorMirrorTo, &F::SetColorMirrorTo)
      .Default(-1)
      .Enum("TextureMode", &F::TextureMode, &F::SetTextureMode)
      .Default(gtmStretch)
      .Object("Texture", &F::Texture, &F::SetTexture);
}

TF_PUBLISHED(TKitCustomGraphicsStroke, TPersistent) { return TPublished<TKitCustomGraphicsStroke>(); }

TF_PUBLISHED(TKitGraphicsStroke, TKitCustomGraphicsStroke) {
  using S = TKitGraphicsStroke;
  return TPublished<S>()
      .Event("OnChanged", &S::OnChanged)
      .Enum("Kind", &S::Kind, &S::SetKind)
      .Default(gskSolid)
      .Color("Color", &S::Color, &S::SetColor)
      .Default(0xC0C0C0)
      .Float("Width", &S::Width, &S::SetWidth)
      .Stored([](const S& s) { return s.Width() != 1; });
}

TF_PUBLISHED(TKitGraphicsFont, TFont) { return TPublished<TKitGraphicsFont>(); }

TF_PUBLISHED(TKitGraphicsColorObject, TObject) {
  return TPublished<TKitGraphicsColorObject>().Color("Color", &TKitGraphicsColorObject::Color,
                                                     &TKitGraphicsColorObject::SetColor);
}

// ---------------------------------------------------------------------------
// Matrix

float TKitGraphicsVector::V(int Index) const {
  switch (Index) {
    case 0:
      return X;
    case 1:
      return Y;
    case 2:
      return W;
    default:
      RaiseArgumentOutOfRange();
  }
}

void TKitGraphicsVector::SetV(int Index, float Value) {
  switch (Index) {
    case 0:
      X = Value;
      break;
    case 1:
      Y = Value;
      break;
    case 2:
      W = Value;
      break;
    default:
      RaiseArgumentOutOfRange();
  }
}

TKitGraphicsVector TKitGraphicsMatrix::M(int Row) const {
  switch (Row) {
    case 0:
      return {m11, m12, m13};
    case 1:
      return {m21, m22, m23};
    case 2:
      return {m31, m32, m33};
    default:
      RaiseArgumentOutOfRange();
  }
}

void TKitGraphicsMatrix::SetM(int Row, const TKitGraphicsVector& Value) {
  switch (Row) {
    case 0:
      m11 = Value.X, m12 = Value.Y, m13 = Value.W;
      break;
    case 1:
      m21 = Value.X, m22 = Value.Y, m23 = Value.W;
      break;
    case 2:
      m31 = Value.X, m32 = Value.Y, m33 = Value.W;
      break;
    default:
      RaiseArgumentOutOfRange();
  }
}

TKitGraphicsMatrix TKitGraphicsMatrix::Identity() {
  TKitGraphicsMatrix m;
  m.m11 = m.m22 = m.m33 = 1;
  return m;
}

TKitGraphicsMatrix TKitGraphicsMatrix::CreateRotation(float AAngle) {
  TKitGraphicsMatrix m;
  const float c = std::cos(AAngle);
  const float s = std::sin(AAngle);
  m.m11 = c;
  m.m12 = s;
  m.m21 = -s;
  m.m22 = c;
  m.m33 = 1;
  return m;
}

TKitGraphicsMatrix TKitGraphicsMatrix::CreateScaling(float AScaleX, float AScaleY) {
  TKitGraphicsMatrix m = Identity();
  m.m11 = AScaleX;
  m.m22 = AScaleY;
  return m;
}

TKitGraphicsMatrix TKitGraphicsMatrix::CreateTranslation(float ADeltaX, float ADeltaY) {
  TKitGraphicsMatrix m = Identity();
  m.m31 = ADeltaX;
  m.m32 = ADeltaY;
  return m;
}

float TKitGraphicsMatrix::Determinant() const {
  return m11 * (m22 * m33 - m23 * m32) - m12 * (m21 * m33 - m23 * m31) + m13 * (m21 * m32 - m22 * m31);
}

TKitGraphicsMatrix TKitGraphicsMatrix::Adjoint() const {
  TKitGraphicsMatrix a;
  a.m11 = m22 * m33 - m23 * m32;
  a.m12 = -(m12 * m33 - m13 * m32);
  a.m13 = m12 * m23 - m13 * m22;
  a.m21 = -(m21 * m33 - m23 * m31);
  a.m22 = m11 * m33 - m13 * m31;
  a.m23 = -(m11 * m23 - m13 * m21);
  a.m31 = m21 * m32 - m22 * m31;
  a.m32 = -(m11 * m32 - m12 * m31);
  a.m33 = m11 * m22 - m12 * m21;
  return a;
}

TKitGraphicsMatrix TKitGraphicsMatrix::Inverse() const {
  const float det = Determinant();
  if (!(std::fabs(det) >= 1E-40f)) return Identity();  // singular (or not a number)
  return Adjoint().MatrixScale(1 / det);
}

TKitGraphicsMatrix TKitGraphicsMatrix::MatrixScale(float AFactor) const {
  TKitGraphicsMatrix r = *this;
  for (float* v : {&r.m11, &r.m12, &r.m13, &r.m21, &r.m22, &r.m23, &r.m31, &r.m32, &r.m33}) *v *= AFactor;
  return r;
}

TKitGraphicsMatrix operator*(const TKitGraphicsMatrix& A, const TKitGraphicsMatrix& B) {
  TKitGraphicsMatrix r;
  for (int i = 0; i < 3; ++i) {
    const TKitGraphicsVector row = A.M(i);
    TKitGraphicsVector out;
    for (int j = 0; j < 3; ++j)
      out.SetV(j, row.X * B.M(0).V(j) + row.Y * B.M(1).V(j) + row.W * B.M(2).V(j));
    r.SetM(i, out);
  }
  return r;
}

TPointF operator*(const TPointF& P, const TKitGraphicsMatrix& M) {
  return TPointF(P.X * M.m11 + P.Y * M.m21 + M.m31, P.X * M.m12 + P.Y * M.m22 + M.m32);
}

TKitGraphicsMatrix MatrixIdentity() { return TKitGraphicsMatrix::Identity(); }
TKitGraphicsMatrix MatrixEmpty() { return TKitGraphicsMatrix(); }
bool MatrixIsEmpty(const TKitGraphicsMatrix& M) {
  return M.m11 == 0 && M.m12 == 0 && M.m13 == 0 && M.m21 == 0 && M.m22 == 0 && M.m23 == 0 && M.m31 == 0 &&
         M.m32 == 0 && M.m33 == 0;
}
TKitGraphicsMatrix MatrixCreateRotation(float AAngle) { return TKitGraphicsMatrix::CreateRotation(AAngle); }
TKitGraphicsMatrix MatrixCreateScaling(float AScaleX, float AScaleY) {
  return TKitGraphicsMatrix::CreateScaling(AScaleX, AScaleY);
}
TKitGraphicsMatrix MatrixCreateTranslation(float ADeltaX, float ADeltaY) {
  return TKitGraphicsMatrix::CreateTranslation(ADeltaX, ADeltaY);
}
TPointF MatrixMultiplyPoint(const TPointF& APoint, const TKitGraphicsMatrix& AMatrix) { return APoint * AMatrix; }
TKitGraphicsMatrix MatrixMultiply(const TKitGraphicsMatrix& AMatrix1, const TKitGraphicsMatrix& AMatrix2) {
  return AMatrix1 * AMatrix2;
}

// ---------------------------------------------------------------------------
// Gradient items

TKitGraphicsFillGradientItem::TKitGraphicsFillGradientItem(TCollection* Collection) : TCollectionItem(Collection) {}

void TKitGraphicsFillGradientItem::Assign(TPersistent* Source) {
  if (auto* item = dynamic_cast<TKitGraphicsFillGradientItem*>(Source)) {
    const bool changed = FColor != item->FColor || FPosition != item->FPosition || FOpacity != item->FOpacity;
    FColor = item->FColor;
    FPosition = item->FPosition;
    FOpacity = item->FOpacity;
    if (changed) ItemChanged();
    return;
  }
  TCollectionItem::Assign(Source);
}

void TKitGraphicsFillGradientItem::ItemChanged() {
  if (auto* items = dynamic_cast<TKitGraphicsFillGradientItems*>(Collection()))
    if (items->Fill() != nullptr) items->Fill()->Changed();
}

void TKitGraphicsFillGradientItem::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  ItemChanged();
}

void TKitGraphicsFillGradientItem::SetPosition(float Value) {
  if (FPosition == Value) return;
  FPosition = Value;
  ItemChanged();
}

void TKitGraphicsFillGradientItem::SetOpacity(float Value) {
  if (FOpacity == Value) return;
  FOpacity = Value;
  ItemChanged();
}

TKitGraphicsFillGradientItems::TKitGraphicsFillGradientItems(TKitCustomGraphicsFill* AOwner)
    : TKitOwnedCollection<TKitGraphicsFillGradientItem>(AOwner), FOwner(AOwner) {}

TKitGraphicsFillGradientItem* TKitGraphicsFillGradientItems::Add() {
  auto* item = dynamic_cast<TKitGraphicsFillGradientItem*>(TCollection::Add());
  if (item == nullptr) throw EInvalidCast(QString::fromUtf8(RtlConsts::SInvalidCast));
  return item;
}

TKitGraphicsFillGradientItem* TKitGraphicsFillGradientItems::Insert(int Index) {
  auto* item = dynamic_cast<TKitGraphicsFillGradientItem*>(TCollection::Insert(Index));
  if (item == nullptr) throw EInvalidCast(QString::fromUtf8(RtlConsts::SInvalidCast));
  return item;
}

// ---------------------------------------------------------------------------
// Fill

TKitCustomGraphicsFill::TKitCustomGraphicsFill(TKitGraphicsFillKind AKind, TColor AColor)
    : FKind(AKind),
      FColor(AColor),
      FTexture(std::make_unique<TKitBitmap>()),
      FGradientItems(std::make_unique<TKitGraphicsFillGradientItems>(this)) {
  FTexture->OnChange = [this](TObject*) { Changed(); };
}

TKitCustomGraphicsFill::~TKitCustomGraphicsFill() { FTexture->OnChange = nullptr; }

void TKitCustomGraphicsFill::SetTexture(TKitBitmap* Value) {
  if (Value != FTexture.get()) FTexture->Assign(Value);
}

void TKitCustomGraphicsFill::Changed() {
  if (FUpdateCount == 0 && OnChanged) OnChanged(this);
}

void TKitCustomGraphicsFill::BeginUpdate() { ++FUpdateCount; }

void TKitCustomGraphicsFill::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  Changed();
}

void TKitCustomGraphicsFill::Assign(TPersistent* Source) {
  // The copy signals once, after the last value.
  ++FUpdateCount;
  try {
    if (auto* fill = dynamic_cast<TKitCustomGraphicsFill*>(Source); fill != nullptr && fill != this) {
      SetColor(fill->FColor);
      SetColorTo(fill->FColorTo);
      SetColorMirror(fill->FColorMirror);
      SetColorMirrorTo(fill->FColorMirrorTo);
      SetKind(fill->FKind);
      SetOrientation(fill->FOrientation);
      SetOpacity(fill->FOpacity);
      FTexture->Assign(fill->FTexture.get());
      SetTextureMode(fill->FTextureMode);
      SetGradientMode(fill->FGradientMode);
      SetGradientAngle(fill->FGradientAngle);
      SetGradientCenterPoint(fill->FGradientCenterPoint);
      FGradientItems->Assign(fill->FGradientItems.get());
      SetGradientType(fill->FGradientType);
      SetGradientCenterColor(fill->FGradientCenterColor);
    } else if (auto* stroke = dynamic_cast<TKitCustomGraphicsStroke*>(Source)) {
      SetColor(stroke->Color());
      SetColorTo(gcNoColor);
      SetColorMirror(gcNoColor);
      SetColorMirrorTo(gcNoColor);
      SetKind(gfkSolid);
      SetOrientation(gfoVertical);
      SetOpacity(1);
    }
  } catch (...) {
    --FUpdateCount;
    throw;
  }
  --FUpdateCount;
  Changed();
}

void TKitCustomGraphicsFill::ClearGradientItems() { FGradientItems->Clear(); }

TKitGraphicsFillGradientItem* TKitCustomGraphicsFill::AddGradientItem(TColor AColor, float APosition, float AOpacity) {
  TKitGraphicsFillGradientItem* item = FGradientItems->Add();
  item->SetColor(AColor);
  item->SetPosition(APosition);
  item->SetOpacity(AOpacity);
  return item;
}

void TKitCustomGraphicsFill::SetColorField(TColor& Field, TColor Value) {
  // Compared before the translation: clNone over a stored -1 signals again.
  if (Field == Value) return;
  Field = TranslateColor(Value);
  Changed();
}

void TKitCustomGraphicsFill::SetColor(TColor Value) { SetColorField(FColor, Value); }
void TKitCustomGraphicsFill::SetColorTo(TColor Value) { SetColorField(FColorTo, Value); }
void TKitCustomGraphicsFill::SetColorMirror(TColor Value) { SetColorField(FColorMirror, Value); }
void TKitCustomGraphicsFill::SetColorMirrorTo(TColor Value) { SetColorField(FColorMirrorTo, Value); }

void TKitCustomGraphicsFill::SetKind(TKitGraphicsFillKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  Changed();
}

void TKitCustomGraphicsFill::SetOrientation(TKitGraphicsFillOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  Changed();
}

void TKitCustomGraphicsFill::SetTextureMode(TKitGraphicsTextureMode Value) {
  if (FTextureMode == Value) return;
  FTextureMode = Value;
  Changed();
}

void TKitCustomGraphicsFill::SetOpacity(float Value) {
  if (FOpacity == Value) return;  // NaN never compares equal: it signals
  FOpacity = Value;
  Changed();
}

void TKitCustomGraphicsFill::SetGradientMatrix(const TKitGraphicsMatrix& Value) {
  if (FGradientMatrix == Value) return;
  FGradientMatrix = Value;
  Changed();
}

void TKitCustomGraphicsFill::SetGradientAngle(float Value) {
  if (FGradientAngle == Value) return;
  FGradientAngle = Value;
  Changed();
}

void TKitCustomGraphicsFill::SetGradientType(TKitGraphicsFillGradientType Value) {
  if (FGradientType == Value) return;
  FGradientType = Value;
  Changed();
}

void TKitCustomGraphicsFill::SetGradientMode(TKitGraphicsFillGradientMode Value) {
  if (FGradientMode == Value) return;
  FGradientMode = Value;
  Changed();
}

void TKitCustomGraphicsFill::SetGradientItems(TKitGraphicsFillGradientItems* Value) {
  if (Value != FGradientItems.get()) FGradientItems->Assign(Value);
}

void TKitCustomGraphicsFill::SetGradientCenterPoint(const TPointF& Value) {
  FGradientCenterPoint = Value;
  Changed();
}

void TKitCustomGraphicsFill::SetGradientCenterColor(TColor Value) {
  if (FGradientCenterColor == Value) return;
  FGradientCenterColor = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// Stroke

TKitCustomGraphicsStroke::TKitCustomGraphicsStroke(TKitGraphicsStrokeKind AKind, TColor AColor)
    : FKind(AKind), FColor(AColor) {}

void TKitCustomGraphicsStroke::Changed() {
  if (FUpdateCount == 0 && OnChanged) OnChanged(this);
}

void TKitCustomGraphicsStroke::BeginUpdate() { ++FUpdateCount; }

void TKitCustomGraphicsStroke::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  Changed();
}

void TKitCustomGraphicsStroke::Assign(TPersistent* Source) {
  ++FUpdateCount;
  if (auto* stroke = dynamic_cast<TKitCustomGraphicsStroke*>(Source); stroke != nullptr && stroke != this) {
    SetColor(stroke->FColor);
    SetKind(stroke->FKind);
    SetOpacity(stroke->FOpacity);
    SetWidth(stroke->FWidth);
  } else if (auto* fill = dynamic_cast<TKitCustomGraphicsFill*>(Source)) {
    SetColor(fill->Color());
    SetKind(gskSolid);
    SetWidth(1);
    SetOpacity(1);
  }
  --FUpdateCount;
  Changed();
}

void TKitCustomGraphicsStroke::SetKind(TKitGraphicsStrokeKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  Changed();
}

void TKitCustomGraphicsStroke::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = TranslateColor(Value);
  Changed();
}

void TKitCustomGraphicsStroke::SetWidth(float Value) {
  if (FWidth == Value) return;
  FWidth = Value;
  Changed();
}

void TKitCustomGraphicsStroke::SetOpacity(float Value) {
  if (FOpacity == Value) return;
  FOpacity = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// Font

TKitGraphicsFont::TKitGraphicsFont() {
  SetHeight(-11);
  OnChange = [this](TObject*) { FontChanged(); };
}

void TKitGraphicsFont::FontChanged() {
  if (FUpdateCount == 0 && OnChanged) OnChanged(this);
}

void TKitGraphicsFont::Assign(TPersistent* Source) {
  ++FUpdateCount;
  try {
    TFont::Assign(Source);
  } catch (...) {
    --FUpdateCount;
    throw;
  }
  --FUpdateCount;
  FontChanged();
}

void TKitGraphicsFont::BeginUpdate() { ++FUpdateCount; }

void TKitGraphicsFont::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  FontChanged();
}

// ---------------------------------------------------------------------------
// Path

void TKitGraphicsPath::Append(TKitGraphicsPathPointKind Kind, const TPointF& P) {
  TKitGraphicsPathPoint point;
  point.Kind = Kind;
  point.Point = P;
  FPoints.push_back(point);
}

void TKitGraphicsPath::MoveTo(const TPointF& P) {
  Append(gppMoveTo, P);
  FStartPoint = P;
}

void TKitGraphicsPath::LineTo(const TPointF& P) {
  Append(gppLineTo, P);
  if (P == FStartPoint) FClippable = true;
}

void TKitGraphicsPath::CurveTo(const TPointF& ControlPoint1, const TPointF& ControlPoint2, const TPointF& EndPoint) {
  Append(gppCurveTo, ControlPoint1);
  Append(gppCurveTo, ControlPoint2);
  Append(gppCurveTo, EndPoint);
}

void TKitGraphicsPath::QuadCurveTo(const TPointF& ControlPoint, const TPointF& EndPoint) {
  const TPointF last = LastPoint();
  CurveTo(last / 3 + ControlPoint * 2 / 3, ControlPoint * 2 / 3 + EndPoint / 3, EndPoint);
}

void TKitGraphicsPath::SmoothCurveTo(const TPointF& ControlPoint2, const TPointF& EndPoint) {
  TPointF control1 = ControlPoint2;
  if (FPoints.size() >= 3) {
    const TPointF last = FPoints.back().Point;
    const TPointF previous = FPoints[FPoints.size() - 2].Point;
    control1 = last * 2 - previous;
  }
  CurveTo(control1, ControlPoint2, EndPoint);
}

void TKitGraphicsPath::ClosePath() {
  Append(gppClose, FStartPoint);
  FClippable = true;
}

void TKitGraphicsPath::AddLine(const TPointF& StartPoint, const TPointF& EndPoint) {
  if (FPoints.empty())
    MoveTo(StartPoint);
  else
    LineTo(StartPoint);
  LineTo(EndPoint);
}

void TKitGraphicsPath::AddPolygon(const TKitGraphicsPathPolygon& APolygon) {
  for (const TPointF& p : APolygon) LineTo(p);
}

void TKitGraphicsPath::AddPath(const TKitGraphicsPath& APath) {
  const TKitGraphicsPathPoints points = APath.FPoints;  // the path may be this one
  FPoints.reserve(FPoints.size() + points.size());
  FPoints.insert(FPoints.end(), points.begin(), points.end());
}

void TKitGraphicsPath::AddRectangle(const TRectF& ARect, float ARoundingX, float ARoundingY) {
  const float l = ARect.Left, t = ARect.Top, r = ARect.Right, b = ARect.Bottom;
  if (ARoundingX == 0 && ARoundingY == 0) {
    MoveTo(TPointF(l, t));
    LineTo(TPointF(r, t));
    LineTo(TPointF(r, b));
    LineTo(TPointF(l, b));
    ClosePath();
    return;
  }
  const float rx = ARoundingX, ry = ARoundingY;
  const TPointF radius(rx, ry);
  MoveTo(TPointF(l + rx, b));
  AddArc(TPointF(l + rx, b - ry), radius, -270, 90);
  LineTo(TPointF(l, b - ry));
  LineTo(TPointF(l, t + ry));
  AddArc(TPointF(l + rx, t + ry), radius, -180, 90);
  LineTo(TPointF(l + rx, t));
  LineTo(TPointF(r - rx, t));
  AddArc(TPointF(r - rx, t + ry), radius, -90, 90);
  LineTo(TPointF(r, t + ry));
  LineTo(TPointF(r, b - ry));
  AddArc(TPointF(r - rx, b - ry), radius, 0, 90);
  LineTo(TPointF(r - rx, b));
  LineTo(TPointF(l + rx, b));
  ClosePath();
}

void TKitGraphicsPath::AddEllipse(const TRectF& ARect) {
  constexpr float k = 0.5522848f;
  const float cx = (ARect.Left + ARect.Right) / 2, cy = (ARect.Top + ARect.Bottom) / 2;
  const float a = (ARect.Right - ARect.Left) / 2, b = (ARect.Bottom - ARect.Top) / 2;
  const float l = ARect.Left, t = ARect.Top, r = ARect.Right, bt = ARect.Bottom;
  MoveTo(TPointF(l, cy));
  CurveTo(TPointF(l, cy - k * b), TPointF(cx - k * a, t), TPointF(cx, t));
  CurveTo(TPointF(cx + k * a, t), TPointF(r, cy - k * b), TPointF(r, cy));
  CurveTo(TPointF(r, cy + k * b), TPointF(cx + k * a, bt), TPointF(cx, bt));
  CurveTo(TPointF(cx - k * a, bt), TPointF(l, cy + k * b), TPointF(l, cy));
  FClippable = true;
}

void TKitGraphicsPath::AddArc(const TPointF& Center, const TPointF& Radius, float StartAngle, float SweepAngle) {
  constexpr float pi = std::numbers::pi_v<float>;
  constexpr float twoPi = 2 * pi;
  constexpr float quarter = pi / 2;
  float start = StartAngle * pi / 180;
  float sweep = SweepAngle * pi / 180;
  if (!std::isfinite(start) || !std::isfinite(sweep)) return;
  start -= twoPi * std::trunc(start / twoPi);
  sweep = std::clamp(sweep, -twoPi, twoPi);
  if (std::fabs(sweep) < 1e-10f) return;
  float total = 0;
  bool first = true;
  for (;;) {
    float piece = sweep > 0 ? quarter : -quarter;
    bool last = false;
    if (sweep > 0 ? !(total + piece < sweep - 0.01f) : !(total + piece > sweep + 0.01f)) {
      piece = sweep - total;
      last = true;
    }
    AddArcSegment(first, piece, start + total, Center, Radius);
    first = false;
    total += piece;
    if (last) break;
  }
}

void TKitGraphicsPath::AddArcSegment(bool First, float Piece, float Start, const TPointF& Center,
                                     const TPointF& Radius) {
  const float h = Piece / 2;
  const float cosH = std::cos(h), sinH = std::sin(h);
  const float d = 4.0f / 3.0f * (1 - cosH);
  const float lift = sinH != 0 ? sinH - cosH * d / sinH : 0;
  const TPointF unit[4] = {TPointF(cosH, -sinH), TPointF(cosH + d, -lift), TPointF(cosH + d, lift),
                           TPointF(cosH, sinH)};
  const float angle = Start + h;
  const float c = std::cos(angle), s = std::sin(angle);
  TPointF mapped[4];
  for (int i = 0; i < 4; ++i) {
    const float x = unit[i].X * c - unit[i].Y * s;
    const float y = unit[i].X * s + unit[i].Y * c;
    mapped[i] = TPointF(Center.X + Radius.X * x, Center.Y + Radius.Y * y);
  }
  if (First) {
    if (FPoints.empty())
      MoveTo(mapped[0]);
    else
      LineTo(mapped[0]);
  }
  CurveTo(mapped[1], mapped[2], mapped[3]);
}

void TKitGraphicsPath::ApplyMatrix(const TKitGraphicsMatrix& AMatrix) {
  for (TKitGraphicsPathPoint& p : FPoints)
    if (p.Kind != gppClose) p.Point = p.Point * AMatrix;
}

void TKitGraphicsPath::Clear() { FPoints.clear(); }

void TKitGraphicsPath::Assign(TPersistent* Source) {
  if (auto* path = dynamic_cast<TKitGraphicsPath*>(Source)) {
    if (path != this) {
      FPoints = path->FPoints;
      FFillRule = path->FFillRule;
    }
    return;
  }
  TPersistent::Assign(Source);
}

TRectF TKitGraphicsPath::GetBounds() const {
  if (FPoints.empty()) return TRectF();
  TRectF r(65535, 65535, -65535, -65535);
  for (const TKitGraphicsPathPoint& p : FPoints) {
    if (p.Kind == gppClose) continue;
    r.Left = std::min(r.Left, p.Point.X);
    r.Top = std::min(r.Top, p.Point.Y);
    r.Right = std::max(r.Right, p.Point.X);
    r.Bottom = std::max(r.Bottom, p.Point.Y);
  }
  if (std::fabs(r.Right - r.Left) <= 0.001f) r.Right = r.Left + 0.001f;
  if (std::fabs(r.Bottom - r.Top) <= 0.001f) r.Bottom = r.Top + 0.001f;
  return r;
}

TPointF TKitGraphicsPath::LastPoint() const { return FPoints.empty() ? TPointF() : FPoints.back().Point; }

const TKitGraphicsPathPoint& TKitGraphicsPath::GetPoint(int AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) RaiseArgumentOutOfRange();
  return FPoints[static_cast<size_t>(AIndex)];
}

TPointF TKitGraphicsPath::PointOnBezier(const TPointF& StartPoint, double AX, double BX, double CX, double AY,
                                        double BY, double CY, double T) {
  const double t2 = T * T;
  const double t3 = t2 * T;
  return TPointF(static_cast<float>(AX * t3 + BX * t2 + CX * T + StartPoint.X),
                 static_cast<float>(AY * t3 + BY * t2 + CY * T + StartPoint.Y));
}

TKitGraphicsPathPolygon TKitGraphicsPath::CreateBezier(const TKitGraphicsPathCubicBezier& Bezier, int PointCount) {
  TKitGraphicsPathPolygon result;
  if (PointCount <= 0) return result;
  const TPointF& p0 = Bezier[0];
  const TPointF& p1 = Bezier[1];
  const TPointF& p2 = Bezier[2];
  const TPointF& p3 = Bezier[3];
  const double cx = 3.0 * (static_cast<double>(p1.X) - p0.X);
  const double bx = 3.0 * (static_cast<double>(p2.X) - p1.X) - cx;
  const double ax = static_cast<double>(p3.X) - p0.X - cx - bx;
  const double cy = 3.0 * (static_cast<double>(p1.Y) - p0.Y);
  const double by = 3.0 * (static_cast<double>(p2.Y) - p1.Y) - cy;
  const double ay = static_cast<double>(p3.Y) - p0.Y - cy - by;
  result.resize(static_cast<size_t>(PointCount));
  const double step = PointCount > 1 ? 1.0 / (PointCount - 1) : 0.0;
  double t = 0;
  for (int i = 0; i < PointCount; ++i) {
    result[static_cast<size_t>(i)] = PointOnBezier(p0, ax, bx, cx, ay, by, cy, t);
    t += step;
  }
  return result;
}

template <class Sink>
void TKitGraphicsPath::Walk(float Flatness, Sink& sink) const {
  const float tolerance = Flatness > 0.05f ? Flatness : 0.05f;
  TPointF current;
  for (int j = 0; j < Count(); ++j) {
    const TKitGraphicsPathPoint& point = GetPoint(j);
    switch (point.Kind) {
      case gppMoveTo:
        sink.Move(point.Point);
        current = point.Point;
        break;
      case gppLineTo:
        sink.Line(point.Point);
        current = point.Point;
        break;
      case gppCurveTo: {
        const TKitGraphicsPathCubicBezier bezier = {current, point.Point, GetPoint(j + 1).Point,
                                                    GetPoint(j + 2).Point};
        const TKitGraphicsPathPolygon probe = CreateBezier(bezier, 6);
        double length = 0;
        for (size_t i = 1; i < probe.size(); ++i)
          length += std::hypot(static_cast<double>(probe[i].X) - probe[i - 1].X,
                               static_cast<double>(probe[i].Y) - probe[i - 1].Y);
        // The number of lines, bounded: coordinates may be anything.
        const double ratio = length / tolerance;
        const int n = std::isnan(ratio) ? 0
                      : ratio >= MaxCurveSegments ? MaxCurveSegments
                                                  : static_cast<int>(Round(ratio));
        if (n > 1)
          sink.Curve(CreateBezier(bezier, n));
        else
          sink.ShortCurve(current, bezier[3]);
        current = bezier[3];
        j += 2;
        break;
      }
      case gppClose:
        sink.Close();
        break;
    }
  }
}

namespace {
// Rebuilds a path from lines.
struct TFlattenSink {
  TKitGraphicsPath& Path;
  void Move(const TPointF& p) { Path.MoveTo(p); }
  void Line(const TPointF& p) { Path.LineTo(p); }
  void Curve(const TKitGraphicsPathPolygon& points) {
    for (const TPointF& p : points) Path.LineTo(p);
  }
  void ShortCurve(const TPointF&, const TPointF& end) { Path.LineTo(end); }
  void Close() { Path.ClosePath(); }
};

// Collects one polygon, dropping points within 0.001 of the last one.
struct TPolygonSink {
  TKitGraphicsPathPolygon& Polygon;
  TPointF FigureStart;
  void Add(const TPointF& p) {
    if (!Polygon.empty()) {
      const TPointF& last = Polygon.back();
      if (std::fabs(last.X - p.X) <= 0.001f && std::fabs(last.Y - p.Y) <= 0.001f) return;
    }
    Polygon.push_back(p);
  }
  void Move(const TPointF& p) {
    Add(p);
    FigureStart = p;
  }
  void Line(const TPointF& p) { Add(p); }
  void Curve(const TKitGraphicsPathPolygon& points) {
    for (const TPointF& p : points) Add(p);
  }
  void ShortCurve(const TPointF& start, const TPointF& end) {
    Add(start);
    Add(end);
  }
  void Close() { Add(FigureStart); }
};
}  // namespace

void TKitGraphicsPath::Flatten(float Flatness) {
  if (FPoints.empty()) return;
  // Built aside, so that a damaged point list leaves the path as it was.
  TKitGraphicsPath flat;
  flat.FStartPoint = FStartPoint;
  TFlattenSink sink{flat};
  Walk(Flatness, sink);
  FPoints = std::move(flat.FPoints);
  FStartPoint = flat.FStartPoint;
  FClippable = FClippable || flat.FClippable;
}

void TKitGraphicsPath::FlattenToPolygon(TKitGraphicsPathPolygon& Polygon, float Flatness) const {
  Polygon.clear();
  if (FPoints.empty()) return;
  TKitGraphicsPathPolygon result;
  TPolygonSink sink{result, TPointF()};
  Walk(Flatness, sink);
  Polygon = std::move(result);
}

bool TKitGraphicsPath::IsPointVisible(const TPointF& P) const {
  TKitGraphicsPathPolygon polygon;
  FlattenToPolygon(polygon, 0.25f);
  return PolygonContainsPoint(P, polygon);
}

bool TKitGraphicsPath::IsRectVisible(const TRectF& R) const {
  TKitGraphicsPathPolygon polygon;
  FlattenToPolygon(polygon, 0.25f);
  return AnyPointInRect(polygon, R);
}

bool AnyPointInRect(const TKitGraphicsPathPolygon& APolygon, const TRectF& ARect) {
  return std::any_of(APolygon.begin(), APolygon.end(), [&](const TPointF& p) { return ARect.Contains(p); });
}

bool PolygonContainsPoint(const TPointF& P, const TKitGraphicsPathPolygon& APolygon) {
  if (APolygon.empty()) return false;
  float minX = APolygon.front().X, maxX = minX, minY = APolygon.front().Y, maxY = minY;
  for (const TPointF& p : APolygon) {
    minX = std::min(minX, p.X);
    maxX = std::max(maxX, p.X);
    minY = std::min(minY, p.Y);
    maxY = std::max(maxY, p.Y);
  }
  if (P.X < minX || P.X > maxX || P.Y < minY || P.Y > maxY) return false;
  bool inside = false;
  size_t j = APolygon.size() - 1;
  for (size_t i = 0; i < APolygon.size(); ++i) {
    const TPointF& pi = APolygon[i];
    const TPointF& pj = APolygon[j];
    if ((pi.Y <= P.Y) != (pj.Y <= P.Y) && pj.Y != pi.Y) {
      const float x = pi.X + (P.Y - pi.Y) * (pj.X - pi.X) / (pj.Y - pi.Y);
      if (P.X < x) inside = !inside;
    }
    j = i;
  }
  return inside;
}

// ---------------------------------------------------------------------------
// Saved drawing state

TKitGraphicsSaveState::TKitGraphicsSaveState()
    : FFont(std::make_unique<TKitGraphicsFont>()),
      FStroke(std::make_unique<TKitGraphicsStroke>(gskSolid, 0xC0C0C0)),
      FFill(std::make_unique<TKitGraphicsFill>(gfkSolid, 0xFFFFFF)) {}

// ---------------------------------------------------------------------------
// Colours

TColor MakeRgb(Byte R, Byte G, Byte B) { return R | (G << 8) | (B << 16); }

namespace {
int Channel(TColor Color, int Shift) { return (Color >> Shift) & 0xFF; }
Byte ClampChannel(long long Value) { return static_cast<Byte>(std::clamp<long long>(Value, 0, 255)); }
}  // namespace

TColor LighterColor(TColor Color, int Percent) {
  const TColor rgb = ColorToRGB(Color);
  Byte channels[3];
  for (int i = 0; i < 3; ++i) {
    const int c = Channel(rgb, 8 * i);
    channels[i] = ClampChannel(c + std::min(255, MulDiv(255 - c, Percent, 100)));
  }
  return MakeRgb(channels[0], channels[1], channels[2]);
}

TColor BlendColor(TColor Color1, TColor Color2, int Percent) {
  const long long weight = std::clamp<Int64>(Round(Percent * 2.55), 0, 255);
  const TColor rgb1 = ColorToRGB(Color1);
  const TColor rgb2 = ColorToRGB(Color2);
  Byte channels[3];
  for (int i = 0; i < 3; ++i) {
    const long long c1 = Channel(rgb1, 8 * i);
    const long long c2 = Channel(rgb2, 8 * i);
    // Signed arithmetic: a darker first colour mixes like a lighter one.
    const long long delta = (c1 - c2) * weight;
    channels[i] = ClampChannel(c2 + (delta >= 0 ? delta / 256 : -((-delta + 255) / 256)));
  }
  return MakeRgb(channels[0], channels[1], channels[2]);
}

TRectF ModifyRect(const TRectF& ARect, TKitGraphicsModifyRectMode AMode) { return ARect; }

namespace {
// How far a band at distance ADistance from the side of a rounded corner
// of radius ARadius is cut back.
int CornerCut(int ARadius, int ADistance) {
  const double r = ARadius;
  const double d = r - ADistance;
  const double s = std::sqrt(std::max(0.0, r * r - d * d));
  return int(Round(r - s));
}
}  // namespace

void DrawRoundGradient(TCanvas* ACanvas, TColor AFromColor, TColor AToColor, const TRect& ARect, int ARadius,
                       TKitGraphicsCorners ACorners, bool AHorizontal) {
  if (!ACanvas || ARect.Width() <= 0 || ARect.Height() <= 0) return;
  const int extent = AHorizontal ? ARect.Width() : ARect.Height();
  // One band per pixel; the count is a 16-bit one, so a longer rectangle
  // gets bands of more than one pixel.
  const int steps = std::min(extent, 0xFFFF);
  const TColor from = ColorToRGB(AFromColor);
  const TColor to = ColorToRGB(AToColor);
  double delta[3];
  for (int i = 0; i < 3; ++i) delta[i] = double(Channel(to, 8 * i) - Channel(from, 8 * i)) / steps;
  const double advance = double(extent) / steps;
  const int thickness = int(Trunc(advance));
  const int r = std::max(ARadius, -1);  // a negative radius rounds nothing
  const bool nearCorner = AHorizontal ? ACorners.Contains(gcTopLeft) || ACorners.Contains(gcBottomLeft)
                                      : ACorners.Contains(gcTopLeft) || ACorners.Contains(gcTopRight);
  const bool farCorner = AHorizontal ? ACorners.Contains(gcTopRight) || ACorners.Contains(gcBottomRight)
                                     : ACorners.Contains(gcBottomLeft) || ACorners.Contains(gcBottomRight);

  TPen* pen = ACanvas->Pen();
  TBrush* brush = ACanvas->Brush();
  // Puts the pen and brush settings back however the drawing ends.
  struct TSavedTools {
    TPen* Pen;
    TBrush* Brush;
    TColor PenColor = Pen->Color();
    TPenStyle PenStyle = Pen->Style();
    TColor BrushColor = Brush->Color();
    TBrushStyle BrushStyle = Brush->Style();
    ~TSavedTools() {
      Pen->SetColor(PenColor);
      Pen->SetStyle(PenStyle);
      Brush->SetColor(BrushColor);
      Brush->SetStyle(BrushStyle);
    }
  } saved{pen, brush};
  pen->SetStyle(psSolid);
  brush->SetStyle(bsSolid);
  // Touching bands of one colour and the same cuts are drawn as one
  // rectangle (a solid fill is a handful of them, not one per pixel): with a
  // one-pixel pen of the brush's colour that paints exactly their pixels,
  // each once. Other pens draw band by band.
  const bool merge = pen->Width() <= 1 && GetMapMode(ACanvas->Handle()) == MM_TEXT;
  struct TBand {
    TColor Color;
    int Left, Top, Right, Bottom;
  };
  std::optional<TBand> pending;
  auto flush = [&] {
    if (!pending) return;
    pen->SetColor(pending->Color);
    brush->SetColor(pending->Color);
    ACanvas->Rectangle(pending->Left, pending->Top, pending->Right, pending->Bottom);
    pending.reset();
  };
  auto band = [&](TColor Color, int Left, int Top, int Right, int Bottom) {
    if (merge && pending && pending->Color == Color) {
      // The next band along the gradient, as wide across.
      if (AHorizontal && pending->Right == Left && pending->Top == Top && pending->Bottom == Bottom) {
        pending->Right = Right;
        return;
      }
      if (!AHorizontal && pending->Bottom == Top && pending->Left == Left && pending->Right == Right) {
        pending->Bottom = Bottom;
        return;
      }
    }
    flush();
    pending = TBand{Color, Left, Top, Right, Bottom};
  };
  for (int u = 0; u < steps; ++u) {
    Byte channels[3];
    for (int i = 0; i < 3; ++i) channels[i] = ClampChannel(Channel(from, 8 * i) + Round(u * delta[i]));
    const TColor color = MakeRgb(channels[0], channels[1], channels[2]);
    // The band runs along the gradient; its two ends (across it) are
    // what the rounded corners cut back. Where both corners of a side
    // reach the same band the deeper cut counts.
    int start = int(Round(u * advance));
    int stop = std::min(start + thickness, extent);
    start += AHorizontal ? ARect.Left : ARect.Top;
    stop += AHorizontal ? ARect.Left : ARect.Top;
    int cutLow = 0;   // from the top (horizontal) or left (vertical) end
    int cutHigh = 0;  // from the bottom or right end
    if (u <= r && nearCorner) {
      const int cut = CornerCut(r, u);
      if (ACorners.Contains(gcTopLeft)) cutLow = std::max(cutLow, cut);
      if (ACorners.Contains(AHorizontal ? gcBottomLeft : gcTopRight)) cutHigh = std::max(cutHigh, cut);
    }
    if (u >= steps - r && farCorner) {
      const int cut = CornerCut(r, steps - u);
      if (ACorners.Contains(AHorizontal ? gcTopRight : gcBottomLeft)) cutLow = std::max(cutLow, cut);
      if (ACorners.Contains(gcBottomRight)) cutHigh = std::max(cutHigh, cut);
    }
    if (AHorizontal) {
      const int top = ARect.Top + cutLow;
      const int bottom = ARect.Bottom - cutHigh;
      if (stop > start && bottom > top) band(color, start, top, stop, bottom);
    } else {
      const int left = ARect.Left + cutLow;
      const int right = ARect.Right - cutHigh;
      if (stop > start && right > left) band(color, left, start, right, stop);
    }
  }
  flush();
}

namespace {
// The extended colour keywords of CSS Color Module Level 3.
constexpr TKitNamedColor kCssColors[] = {
    {"aliceblue", 0xF0F8FF}, {"antiquewhite", 0xFAEBD7}, {"aqua", 0x00FFFF}, {"aquamarine", 0x7FFFD4},
    {"azure", 0xF0FFFF}, {"beige", 0xF5F5DC}, {"bisque", 0xFFE4C4}, {"black", 0x000000},
    {"blanchedalmond", 0xFFEBCD}, {"blue", 0x0000FF}, {"blueviolet", 0x8A2BE2}, {"brown", 0xA52A2A},
    {"burlywood", 0xDEB887}, {"cadetblue", 0x5F9EA0}, {"chartreuse", 0x7FFF00}, {"chocolate", 0xD2691E},
    {"coral", 0xFF7F50}, {"cornflowerblue", 0x6495ED}, {"cornsilk", 0xFFF8DC}, {"crimson", 0xDC143C},
    {"cyan", 0x00FFFF}, {"darkblue", 0x00008B}, {"darkcyan", 0x008B8B}, {"darkgoldenrod", 0xB8860B},
    {"darkgray", 0xA9A9A9}, {"darkgreen", 0x006400}, {"darkgrey", 0xA9A9A9}, {"darkkhaki", 0xBDB76B},
    {"darkmagenta", 0x8B008B}, {"darkolivegreen", 0x556B2F}, {"darkorange", 0xFF8C00},
    {"darkorchid", 0x9932CC}, {"darkred", 0x8B0000}, {"darksalmon", 0xE9967A}, {"darkseagreen", 0x8FBC8F},
    {"darkslateblue", 0x483D8B}, {"darkslategray", 0x2F4F4F}, {"darkslategrey", 0x2F4F4F},
    {"darkturquoise", 0x00CED1}, {"darkviolet", 0x9400D3}, {"deeppink", 0xFF1493}, {"deepskyblue", 0x00BFFF},
    {"dimgray", 0x696969}, {"dimgrey", 0x696969}, {"dodgerblue", 0x1E90FF}, {"firebrick", 0xB22222},
    {"floralwhite", 0xFFFAF0}, {"forestgreen", 0x228B22}, {"fuchsia", 0xFF00FF}, {"gainsboro", 0xDCDCDC},
    {"ghostwhite", 0xF8F8FF}, {"gold", 0xFFD700}, {"goldenrod", 0xDAA520}, {"gray", 0x808080},
    {"grey", 0x808080}, {"green", 0x008000}, {"greenyellow", 0xADFF2F}, {"honeydew", 0xF0FFF0},
    {"hotpink", 0xFF69B4}, {"indianred", 0xCD5C5C}, {"indigo", 0x4B0082}, {"ivory", 0xFFFFF0},
    {"khaki", 0xF0E68C}, {"lavender", 0xE6E6FA}, {"lavenderblush", 0xFFF0F5}, {"lawngreen", 0x7CFC00},
    {"lemonchiffon", 0xFFFACD}, {"lightblue", 0xADD8E6}, {"lightcoral", 0xF08080}, {"lightcyan", 0xE0FFFF},
    {"lightgoldenrodyellow", 0xFAFAD2}, {"lightgray", 0xD3D3D3}, {"lightgreen", 0x90EE90},
    {"lightgrey", 0xD3D3D3}, {"lightpink", 0xFFB6C1}, {"lightsalmon", 0xFFA07A}, {"lightseagreen", 0x20B2AA},
    {"lightskyblue", 0x87CEFA}, {"lightslategray", 0x778899}, {"lightslategrey", 0x778899},
    {"lightsteelblue", 0xB0C4DE}, {"lightyellow", 0xFFFFE0}, {"lime", 0x00FF00}, {"limegreen", 0x32CD32},
    {"linen", 0xFAF0E6}, {"magenta", 0xFF00FF}, {"maroon", 0x800000}, {"mediumaquamarine", 0x66CDAA},
    {"mediumblue", 0x0000CD}, {"mediumorchid", 0xBA55D3}, {"mediumpurple", 0x9370DB},
    {"mediumseagreen", 0x3CB371}, {"mediumslateblue", 0x7B68EE}, {"mediumspringgreen", 0x00FA9A},
    {"mediumturquoise", 0x48D1CC}, {"mediumvioletred", 0xC71585}, {"midnightblue", 0x191970},
    {"mintcream", 0xF5FFFA}, {"mistyrose", 0xFFE4E1}, {"moccasin", 0xFFE4B5}, {"navajowhite", 0xFFDEAD},
    {"navy", 0x000080}, {"oldlace", 0xFDF5E6}, {"olive", 0x808000}, {"olivedrab", 0x6B8E23},
    {"orange", 0xFFA500}, {"orangered", 0xFF4500}, {"orchid", 0xDA70D6}, {"palegoldenrod", 0xEEE8AA},
    {"palegreen", 0x98FB98}, {"paleturquoise", 0xAFEEEE}, {"palevioletred", 0xDB7093},
    {"papayawhip", 0xFFEFD5}, {"peachpuff", 0xFFDAB9}, {"peru", 0xCD853F}, {"pink", 0xFFC0CB},
    {"plum", 0xDDA0DD}, {"powderblue", 0xB0E0E6}, {"purple", 0x800080}, {"red", 0xFF0000},
    {"rosybrown", 0xBC8F8F}, {"royalblue", 0x4169E1}, {"saddlebrown", 0x8B4513}, {"salmon", 0xFA8072},
    {"sandybrown", 0xF4A460}, {"seagreen", 0x2E8B57}, {"seashell", 0xFFF5EE}, {"sienna", 0xA0522D},
    {"silver", 0xC0C0C0}, {"skyblue", 0x87CEEB}, {"slateblue", 0x6A5ACD}, {"slategray", 0x708090},
    {"slategrey", 0x708090}, {"snow", 0xFFFAFA}, {"springgreen", 0x00FF7F}, {"steelblue", 0x4682B4},
    {"tan", 0xD2B48C}, {"teal", 0x008080}, {"thistle", 0xD8BFD8}, {"tomato", 0xFF6347},
    {"turquoise", 0x40E0D0}, {"violet", 0xEE82EE}, {"wheat", 0xF5DEB3}, {"white", 0xFFFFFF},
    {"whitesmoke", 0xF5F5F5}, {"yellow", 0xFFFF00}, {"yellowgreen", 0x9ACD32},
};

// Basic names entered a second time.
constexpr const char* kBasicNames[] = {"red",  "black", "blue", "green",  "aqua",   "fuchsia", "lime",
                                       "gray", "olive", "navy", "purple", "orange", "maroon"};

TColor RgbToColor(int rgb) { return MakeRgb((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

std::unique_ptr<TStringList> gColorList;
int gColorListUsers = 0;

// Builds the list at start-up and frees it at shut-down.
struct TColorListUnit {
  TColorListUnit() {
    if (gColorListUsers++ > 0) return;
    auto list = std::make_unique<TStringList>(true);
    for (const TKitNamedColor& c : kCssColors)
      list->AddObject(QString::fromLatin1(c.Name), new TKitGraphicsColorObject(RgbToColor(c.Rgb)));
    for (const char* name : kBasicNames)
      for (const TKitNamedColor& c : kCssColors)
        if (qstrcmp(c.Name, name) == 0) {
          list->AddObject(QString::fromLatin1(c.Name), new TKitGraphicsColorObject(RgbToColor(c.Rgb)));
          break;
        }
    list->Sort();
    gColorList = std::move(list);
  }
  ~TColorListUnit() {
    if (--gColorListUsers == 0) gColorList.reset();
  }
  TColorListUnit(const TColorListUnit&) = delete;
  TColorListUnit& operator=(const TColorListUnit&) = delete;
};
const TColorListUnit gColorListUnit;
}  // namespace

TStringList* GetColorList() { return gColorList.get(); }

std::span<const TKitNamedColor> CssColorKeywords() { return kCssColors; }
