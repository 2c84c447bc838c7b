// TGDIPFill: the gradient fill, its painting and its stored forms.

#include "gdiplus/GDIPFill.h"

#include <cmath>

#include "platform/vcl/Clipbrd.h"
#include "platform/win32/Clipboard.h"

using namespace KitGDIP;

UINT CF_GDIPFILL = 0;

namespace {
// The format is registered when the unit starts; a program without a GUI
// registers it on first use.
UINT FillFormat() {
  if (CF_GDIPFILL == 0) CF_GDIPFILL = RegisterClipboardFormat(QStringLiteral("GDI+ Fill"));
  return CF_GDIPFILL;
}
[[maybe_unused]] const bool kFormatAtStart = (FillFormat(), true);

ARGB Argb(Byte Alpha, TColor Color) { return ColorToArgbWithAlpha(Alpha, Color); }
}  // namespace

// ---------------------------------------------------------------------------
// Published table

TF_PUBLISHED(TGDIPFill, TPersistent) {
  using F = TGDIPFill;
  return TPublished<F>()
      .Color("Color", &F::Color, &F::SetColor)
      .Default(0xC0C0C0)
      .Color("ColorTo", &F::ColorTo, &F::SetColorTo)
      .Default(0x808080)
      .Color("ColorMirror", &F::ColorMirror, &F::SetColorMirror)
      .NoDefault()
      .Color("ColorMirrorTo", &F::ColorMirrorTo, &F::SetColorMirrorTo)
      .NoDefault()
      .Enum("GradientType", &F::GradientType, &F::SetGradientType)
      .NoDefault()
      .Enum("GradientMirrorType", &F::GradientMirrorType, &F::SetGradientMirrorType)
      .NoDefault()
      .Enum("HatchStyle", &F::HatchStyle, &F::SetHatchStyle)
      .Default(HatchStyleHorizontal)
      .Enum("HatchStyleMirror", &F::HatchStyleMirror, &F::SetHatchStyleMirror)
      .Default(HatchStyleHorizontal)
      .Boolean("BackGroundPictureAspectRatio", &F::BackGroundPictureAspectRatio, &F::SetBackGroundPictureAspectRatio)
      .Default(false)
      .Enum("BackGroundPictureMode", &F::BackGroundPictureMode, &F::SetBackGroundPictureMode)
      .Default(pmOutsideFill)
      .Object("BackGroundPicture", &F::BackGroundPicture, &F::SetBackGroundPicture)
      .Enum("BackGroundPicturePosition", &F::BackGroundPicturePosition, &F::SetBackGroundPicturePosition)
      .Default(ppTopLeft)
      .Integer("BackGroundPictureLeft", &F::BackGroundPictureLeft, &F::SetBackGroundPictureLeft)
      .Default(0)
      .Integer("BackGroundPictureTop", &F::BackGroundPictureTop, &F::SetBackGroundPictureTop)
      .Default(0)
      .Enum("BackGroundPictureAspectMode", &F::BackGroundPictureAspectMode, &F::SetBackGroundPictureAspectMode)
      .Default(pmStretch)
      .Object("Picture", &F::Picture, &F::SetPicture)
      .Enum("PicturePosition", &F::PicturePosition, &F::SetPicturePosition)
      .Default(ppTopLeft)
      .Integer("PictureLeft", &F::PictureLeft, &F::SetPictureLeft)
      .Default(0)
      .Integer("PictureTop", &F::PictureTop, &F::SetPictureTop)
      .Default(0)
      .Enum("PictureSize", &F::PictureSize, &F::SetPictureSize)
      .Default(psOriginal)
      .Integer("PictureWidth", &F::PictureWidth, &F::SetPictureWidth)
      .Default(50)
      .Integer("PictureHeight", &F::PictureHeight, &F::SetPictureHeight)
      .Default(50)
      .Boolean("PictureAspectRatio", &F::PictureAspectRatio, &F::SetPictureAspectRatio)
      .Default(false)
      .Enum("PictureAspectMode", &F::PictureAspectMode, &F::SetPictureAspectMode)
      .Default(pmStretch)
      .Integer("Opacity", &F::Opacity, &F::SetOpacity)
      .Default(255)
      .Integer("OpacityTo", &F::OpacityTo, &F::SetOpacityTo)
      .Default(255)
      .Integer("OpacityMirror", &F::OpacityMirror, &F::SetOpacityMirror)
      .Default(255)
      .Integer("OpacityMirrorTo", &F::OpacityMirrorTo, &F::SetOpacityMirrorTo)
      .Default(255)
      .Color("BorderColor", &F::BorderColor, &F::SetBorderColor)
      .NoDefault()
      .Integer("BorderOpacity", &F::BorderOpacity, &F::SetBorderOpacity)
      .Default(255)
      .Integer("BorderWidth", &F::BorderWidth, &F::SetBorderWidth)
      .Default(1)
      .Integer("Rounding", &F::Rounding, &F::SetRounding)
      .NoDefault()
      .Enum("RoundingType", &F::RoundingType, &F::SetRoundingType)
      .Default(rtBoth)
      .Color("ShadowColor", &F::ShadowColor, &F::SetShadowColor)
      .Default(0x808080)
      .Integer("ShadowOffset", &F::ShadowOffset, &F::SetShadowOffset)
      .NoDefault()
      .Enum("ShadowType", &F::ShadowType, &F::SetShadowType)
      .Default(stRightBottom)
      .Integer("Angle", &F::Angle, &F::SetAngle)
      .Default(0)
      .Event("OnChange", &F::OnChange)
      .Enum("Glow", &F::Glow, &F::SetGlow)
      .NoDefault()
      .Color("GlowGradientColor", &F::GlowGradientColor, &F::SetGlowGradientColor)
      .Default(0xFFFFFF)
      .Color("GlowRadialColor", &F::GlowRadialColor, &F::SetGlowRadialColor)
      .Default(0xFFFFFF);
}

// ---------------------------------------------------------------------------
// Life and change

TGDIPFill::TGDIPFill()
    : FBackGroundPicture(std::make_unique<TKitGDIPPicture>()), FPicture(std::make_unique<TKitGDIPPicture>()) {
  FBackGroundPicture->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
  FPicture->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
}

TGDIPFill::~TGDIPFill() {
  FBackGroundPicture->OnChange = nullptr;
  FPicture->OnChange = nullptr;
}

void TGDIPFill::PictureChanged(TObject*) { Changed(); }

void TGDIPFill::Changed() {
  if (FUpdateCount > 0) return;
  if (OnChange) OnChange(this);
}

void TGDIPFill::Assign(TPersistent* Source) {
  auto* f = dynamic_cast<TGDIPFill*>(Source);
  if (f == nullptr || f == this) return;
  BeginUpdate();
  try {
    FPictureAspectRatio = f->FPictureAspectRatio;
    FPictureAspectMode = f->FPictureAspectMode;
    FBackGroundPictureAspectRatio = f->FBackGroundPictureAspectRatio;
    FBackGroundPictureAspectMode = f->FBackGroundPictureAspectMode;
    FColor = f->FColor;
    FColorTo = f->FColorTo;
    FColorMirror = f->FColorMirror;
    FColorMirrorTo = f->FColorMirrorTo;
    FGradientType = f->FGradientType;
    FGradientMirrorType = f->FGradientMirrorType;
    FHatchStyle = f->FHatchStyle;
    FHatchStyleMirror = f->FHatchStyleMirror;
    FBackGroundPicture->Assign(f->FBackGroundPicture.get());
    FBackGroundPicturePosition = f->FBackGroundPicturePosition;
    FBackGroundPictureLeft = f->FBackGroundPictureLeft;
    FBackGroundPictureTop = f->FBackGroundPictureTop;
    FPicture->Assign(f->FPicture.get());
    FPicturePosition = f->FPicturePosition;
    FPictureLeft = f->FPictureLeft;
    FPictureTop = f->FPictureTop;
    FPictureSize = f->FPictureSize;
    FPictureWidth = f->FPictureWidth;
    FPictureHeight = f->FPictureHeight;
    FOpacity = f->FOpacity;
    FOpacityTo = f->FOpacityTo;
    FOpacityMirror = f->FOpacityMirror;
    FOpacityMirrorTo = f->FOpacityMirrorTo;
    FBorderColor = f->FBorderColor;
    FBorderWidth = f->FBorderWidth;
    FRounding = f->FRounding;
    FRoundingType = f->FRoundingType;
    FShadowColor = f->FShadowColor;
    FShadowOffset = f->FShadowOffset;
    FShadowType = f->FShadowType;
    FAngle = f->FAngle;
    FBorderOpacity = f->FBorderOpacity;
    FBackGroundPictureMode = f->FBackGroundPictureMode;
    FGlowGradientColor = f->FGlowGradientColor;
    FGlowRadialColor = f->FGlowRadialColor;
    FGlow = f->FGlow;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  Changed();
}

#define TF_FILL_SETTER(Name, Type, Field)  \
  void TGDIPFill::Set##Name(Type Value) {  \
    if (Field == Value) return;            \
    Field = Value;                         \
    Changed();                             \
  }

TF_FILL_SETTER(Color, TColor, FColor)
TF_FILL_SETTER(ColorTo, TColor, FColorTo)
TF_FILL_SETTER(ColorMirror, TColor, FColorMirror)
TF_FILL_SETTER(ColorMirrorTo, TColor, FColorMirrorTo)
TF_FILL_SETTER(GradientType, TKitGradientType, FGradientType)
TF_FILL_SETTER(GradientMirrorType, TKitGradientType, FGradientMirrorType)
TF_FILL_SETTER(HatchStyle, ::HatchStyle, FHatchStyle)
TF_FILL_SETTER(HatchStyleMirror, ::HatchStyle, FHatchStyleMirror)
TF_FILL_SETTER(BackGroundPictureAspectRatio, bool, FBackGroundPictureAspectRatio)
TF_FILL_SETTER(BackGroundPictureMode, TFillPictureMode, FBackGroundPictureMode)
TF_FILL_SETTER(BackGroundPicturePosition, TFillPicturePosition, FBackGroundPicturePosition)
TF_FILL_SETTER(BackGroundPictureLeft, int, FBackGroundPictureLeft)
TF_FILL_SETTER(BackGroundPictureTop, int, FBackGroundPictureTop)
TF_FILL_SETTER(BackGroundPictureAspectMode, TPictureMode, FBackGroundPictureAspectMode)
TF_FILL_SETTER(PicturePosition, TFillPicturePosition, FPicturePosition)
TF_FILL_SETTER(PictureLeft, int, FPictureLeft)
TF_FILL_SETTER(PictureTop, int, FPictureTop)
TF_FILL_SETTER(PictureSize, TFillPictureSize, FPictureSize)
TF_FILL_SETTER(PictureWidth, int, FPictureWidth)
TF_FILL_SETTER(PictureHeight, int, FPictureHeight)
TF_FILL_SETTER(PictureAspectRatio, bool, FPictureAspectRatio)
TF_FILL_SETTER(PictureAspectMode, TPictureMode, FPictureAspectMode)
TF_FILL_SETTER(Opacity, Byte, FOpacity)
TF_FILL_SETTER(OpacityTo, Byte, FOpacityTo)
TF_FILL_SETTER(OpacityMirror, Byte, FOpacityMirror)
TF_FILL_SETTER(OpacityMirrorTo, Byte, FOpacityMirrorTo)
TF_FILL_SETTER(BorderColor, TColor, FBorderColor)
TF_FILL_SETTER(BorderOpacity, Byte, FBorderOpacity)
TF_FILL_SETTER(BorderWidth, int, FBorderWidth)
TF_FILL_SETTER(Rounding, int, FRounding)
TF_FILL_SETTER(RoundingType, TFillRoundingType, FRoundingType)
TF_FILL_SETTER(ShadowColor, TColor, FShadowColor)
TF_FILL_SETTER(ShadowOffset, int, FShadowOffset)
TF_FILL_SETTER(ShadowType, TShadowType, FShadowType)
TF_FILL_SETTER(Angle, int, FAngle)
TF_FILL_SETTER(Glow, TGlowMode, FGlow)
TF_FILL_SETTER(GlowGradientColor, TColor, FGlowGradientColor)
TF_FILL_SETTER(GlowRadialColor, TColor, FGlowRadialColor)
#undef TF_FILL_SETTER

void TGDIPFill::SetBackGroundPicture(TKitGDIPPicture* Value) {
  if (Value == FBackGroundPicture.get()) return;
  FBackGroundPicture->Assign(Value);
}

void TGDIPFill::SetPicture(TKitGDIPPicture* Value) {
  if (Value == FPicture.get()) return;
  FPicture->Assign(Value);
}

// ---------------------------------------------------------------------------
// Geometry and painting routines

TGPGraphicsPath* CreateRoundRectPath(TGPRectF R, int Radius, TFillRoundingType RoundingType) {
  auto* path = new TGPGraphicsPath(FillModeAlternate);
  // The radius of a corner is held to half the smaller side.
  const double limit = std::max(0.0, std::min<double>(R.Width, R.Height) / 2.0);
  const REAL r = REAL(std::clamp<double>(Radius, 0.0, limit));
  const bool tl = r > 0 && (RoundingType == rtTop || RoundingType == rtBoth || RoundingType == rtLeft);
  const bool tr = r > 0 && (RoundingType == rtTop || RoundingType == rtBoth || RoundingType == rtRight);
  const bool br = r > 0 && (RoundingType == rtBottom || RoundingType == rtBoth || RoundingType == rtRight);
  const bool bl = r > 0 && (RoundingType == rtBottom || RoundingType == rtBoth || RoundingType == rtLeft);
  const REAL d = 2 * r;
  const REAL left = R.X, top = R.Y, right = R.X + R.Width, bottom = R.Y + R.Height;
  // Clockwise from the top-left; a square corner is a point of its own.
  if (tl)
    path->AddArc(left, top, d, d, 180, 90);
  else
    path->AddLine(left, top, left, top);
  if (tr)
    path->AddArc(right - d, top, d, d, 270, 90);
  else
    path->AddLine(right, top, right, top);
  if (br)
    path->AddArc(right - d, bottom - d, d, d, 0, 90);
  else
    path->AddLine(right, bottom, right, bottom);
  if (bl)
    path->AddArc(left, bottom - d, d, d, 90, 90);
  else
    path->AddLine(left, bottom, left, bottom);
  path->CloseFigure();
  return path;
}

void PaintRadialFill(TGPGraphics* Graphics, TGPRectF R, TColor ColorA, TFillRoundingType RoundingType, int Radius,
                     bool TopEdge, Byte Alpha1, Byte Alpha2, TColor ColorB) {
  if (Graphics == nullptr) return;
  std::unique_ptr<TGPGraphicsPath> path(CreateRoundRectPath(R, Radius, RoundingType));
  const ARGB base = TopEdge ? Argb(Alpha2, ColorA) : Argb(Alpha1, ColorB);
  const ARGB centre = TopEdge ? Argb(Alpha1, ColorB) : Argb(Alpha2, ColorA);
  TGPSolidBrush solid(base);
  Graphics->FillPath(&solid, path.get());
  Graphics->SetClip(path.get());
  TGPGraphicsPath ellipse;
  if (TopEdge)
    ellipse.AddEllipse(R.X, R.Y - R.Height / 2, R.Width, 1.5f * R.Height);
  else
    ellipse.AddEllipse(R.X, R.Y, R.Width, 1.5f * R.Height);
  TGPPathGradientBrush brush(&ellipse);
  brush.SetCenterPoint(TGPPointF{R.X + R.Width / 2, TopEdge ? R.Y : R.Y + R.Height});
  brush.SetCenterColor(centre);
  int count = 1;
  brush.SetSurroundColors(&base, count);
  Graphics->FillRectangle(&brush, R);
  Graphics->ResetClip();
}

void FitAspectSize(int TargetWidth, int TargetHeight, int PictureWidth, int PictureHeight, TPictureMode Mode,
                   double& Width, double& Height) {
  Width = 0;
  Height = 0;
  if (TargetWidth <= 0 || TargetHeight <= 0 || PictureWidth <= 0 || PictureHeight <= 0) return;
  if (Mode == pmNormal && PictureWidth < TargetWidth && PictureHeight < TargetHeight) {
    Width = PictureWidth;
    Height = PictureHeight;
    return;
  }
  if (double(TargetWidth) / TargetHeight > double(PictureWidth) / PictureHeight) {
    Height = TargetHeight;
    Width = double(PictureWidth) * TargetHeight / PictureHeight;
  } else {
    Width = TargetWidth;
    Height = double(PictureHeight) * TargetWidth / PictureWidth;
  }
}

void DrawFillPicture(TGPGraphics* Graphics, bool AspectRatio, TPictureMode AspectMode, int Top, int Left,
                     const TRect& Target, int Height, int Width, TFillPicturePosition Position,
                     TKitGDIPPicture* Picture) {
  if (Graphics == nullptr || Picture == nullptr || Picture->Empty()) return;
  const int tx = Target.Left, ty = Target.Top, tw = Target.Width(), th = Target.Height();
  int x = tx, y = ty;
  switch (Position) {
    case ppTopLeft: break;
    case ppTopCenter: x = tx + (tw - Width) / 2; break;
    case ppTopRight: x = tx + tw - Width; break;
    case ppBottomLeft: y = ty + th - Height; break;
    case ppBottomCenter:
      x = tx + (tw - Width) / 2;
      y = ty + th - Height;
      break;
    case ppBottomRight:
      x = tx + tw - Width;
      y = ty + th - Height;
      break;
    case ppCenterLeft: y = ty + (th - Height) / 2; break;
    case ppCenterCenter:
      x = tx + (tw - Width) / 2;
      y = ty + (th - Height) / 2;
      break;
    case ppCenterRight:
      x = tx + tw - Width;
      y = ty + (th - Height) / 2;
      break;
    case ppTiled: {
      TGradientFillParams params;
      params.Graphics = Graphics;
      params.Rect = TGPRectF{REAL(tx), REAL(ty), REAL(tw), REAL(th)};
      params.GradientType = gtTexture;
      params.Texture = Picture;
      PaintGradientFill(params);
      return;
    }
    case ppStretched: {
      double w = tw, h = th;
      if (AspectRatio) FitAspectSize(tw, th, Picture->Width(), Picture->Height(), AspectMode, w, h);
      const REAL px = REAL(tx + RoundEven((tw - w) / 2)), py = REAL(ty + RoundEven((th - h) / 2));
      Picture->GDIPDraw(Graphics, TGPRectF{px, py, REAL(w), REAL(h)});
      return;
    }
    case ppCustom:
      Picture->GDIPDraw(Graphics, TGPRectF{REAL(Left), REAL(Top), REAL(Width), REAL(Height)});
      return;
  }
  Picture->GDIPDraw(Graphics, TGPRectF{REAL(x), REAL(y), REAL(Width), REAL(Height)});
}

// ---------------------------------------------------------------------------
// Painting

void TGDIPFill::DrawGradientBackGround(TGPGraphics* Graphics, TGPRectF R, bool Mirror, Byte oc, Byte octo,
                                       Byte ocmr, Byte ocmrto) {
  if (Graphics == nullptr) return;
  const TColor from = Mirror ? FColorMirror : FColor;
  const TColor to = Mirror ? FColorMirrorTo : FColorTo;
  const ::HatchStyle hatch = Mirror ? FHatchStyleMirror : FHatchStyle;
  TKitGradientType kind = Mirror ? FGradientMirrorType : FGradientType;
  if (from == clNone)
    kind = gtNone;
  else if (to == clNone)
    kind = gtSolid;

  std::unique_ptr<TGPGraphicsPath> path;
  int smoothing = SmoothingModeInvalid;
  if (FRounding != 0) {
    TFillRoundingType corners = FRoundingType;
    if (FColorMirror != clNone) {
      if (!Mirror) {
        if (corners == rtTop || corners == rtBoth)
          corners = rtTop;
        else if (corners == rtNone || corners == rtBottom)
          corners = rtNone;
      } else {
        if (corners == rtBottom || corners == rtBoth)
          corners = rtBottom;
        else if (corners == rtNone || corners == rtTop)
          corners = rtNone;
      }
    }
    path.reset(CreateRoundRectPath(R, FRounding, corners));
    smoothing = Graphics->GetSmoothingMode();
    Graphics->SetSmoothingMode(SmoothingModeAntiAlias);
  }

  TGradientFillParams params;
  params.Graphics = Graphics;
  params.Path = path.get();
  params.UsePath = path != nullptr;
  params.Rect = R;
  params.GradientType = kind;
  params.Angle = FAngle;
  params.ColorFrom = from;
  params.OpacityFrom = Mirror ? ocmr : oc;
  params.ColorTo = to;
  params.OpacityTo = Mirror ? ocmrto : octo;
  params.HatchStyle = hatch;
  params.BorderColor = clNone;
  params.BorderWidth = 0;
  params.BorderStyle = DashStyleSolid;
  params.Mirror = Mirror;
  params.Texture = FBackGroundPicturePosition == ppTiled ? FBackGroundPicture.get() : nullptr;
  PaintGradientFill(params);

  if (path && smoothing != SmoothingModeInvalid) Graphics->SetSmoothingMode(smoothing);
}

void TGDIPFill::DrawGlow(TGPGraphics* Graphics, TGPRectF R) {
  if (Graphics == nullptr || FGlow == gmNone) return;
  Graphics->SetClip(R);
  const TGPRectF I{R.X + 1, R.Y + 1, R.Width - 2, R.Height - 2};
  if (FGlow == gmGradient || FGlow == gmRadialGradient) {
    {
      std::unique_ptr<TGPGraphicsPath> outline(CreateRoundRectPath(I, FRounding, FRoundingType));
      TGPPen pen(Argb(200, FGlowGradientColor), 1);
      Graphics->DrawPath(&pen, outline.get());
    }
    {
      const TGPRectF band{I.X + 5, I.Y, I.Width - 10, 4};
      TGPLinearGradientBrush brush(TGPRectF{band.X - 1, band.Y - 1, band.Width + 2, band.Height + 2},
                                   Argb(175, FGlowGradientColor), Argb(0, FGlowGradientColor),
                                   LinearGradientModeVertical);
      Graphics->FillRectangle(&brush, band);
      const TGPPointF left[3] = {{I.X, I.Y}, {I.X + 5, I.Y}, {I.X + 5, I.Y + 4}};
      const TGPPointF right[3] = {{I.X + I.Width, I.Y}, {I.X + I.Width - 5, I.Y}, {I.X + I.Width - 5, I.Y + 4}};
      Graphics->FillPolygon(&brush, left, 3);
      Graphics->FillPolygon(&brush, right, 3);
    }
    {
      const REAL bottom = I.Y + I.Height;
      const TGPRectF band{I.X + 5, bottom - 7, I.Width - 10, 7};
      TGPLinearGradientBrush brush(TGPRectF{band.X - 1, band.Y - 1, band.Width + 2, band.Height + 2},
                                   Argb(0, FGlowGradientColor), Argb(220, FGlowGradientColor),
                                   LinearGradientModeVertical);
      Graphics->FillRectangle(&brush, band);
      const TGPPointF left[3] = {{I.X, bottom}, {I.X + 5, bottom}, {I.X + 5, bottom - 7}};
      const TGPPointF right[3] = {{I.X + I.Width, bottom}, {I.X + I.Width - 5, bottom}, {I.X + I.Width - 5, bottom - 7}};
      Graphics->FillPolygon(&brush, left, 3);
      Graphics->FillPolygon(&brush, right, 3);
    }
  }
  if (FGlow == gmRadial || FGlow == gmRadialGradient) {
    TGPGraphicsPath ellipse;
    const TGPRectF e{I.X + 10, I.Y - I.Height / 2, I.Width - 20, 3 * I.Height};
    ellipse.AddEllipse(e);
    TGPPathGradientBrush brush(&ellipse);
    brush.SetCenterPoint(TGPPointF{e.X + e.Width / 2, e.Y + e.Height / 2});
    brush.SetCenterColor(Argb(150, FGlowRadialColor));
    const ARGB surround = Argb(0, FColor);
    int count = 1;
    brush.SetSurroundColors(&surround, count);
    Graphics->FillPath(&brush, &ellipse);
  }
  Graphics->ResetClip();
}

void TGDIPFill::DrawPictureStep(TGPGraphics* Graphics, const TGPRectF& R, bool Background) {
  TKitGDIPPicture* picture = Background ? FBackGroundPicture.get() : FPicture.get();
  const TFillPicturePosition position = Background ? FBackGroundPicturePosition : FPicturePosition;
  const int left = Background ? FBackGroundPictureLeft : FPictureLeft;
  const int top = Background ? FBackGroundPictureTop : FPictureTop;
  int width = picture->Width(), height = picture->Height();
  if (!Background && FPictureSize == psCustom) {
    width = FPictureWidth;
    height = FPictureHeight;
  }
  TRect target(RoundEven(R.X), RoundEven(R.Y), RoundEven(R.X) + RoundEven(R.Width),
               RoundEven(R.Y) + RoundEven(R.Height));
  if (position != ppCustom) {
    target.Left += left;
    target.Right += left;
    target.Top += top;
    target.Bottom += top;
  }
  DrawFillPicture(Graphics, Background ? FBackGroundPictureAspectRatio : FPictureAspectRatio,
                  Background ? FBackGroundPictureAspectMode : FPictureAspectMode, top, left, target, height, width,
                  position, picture);
}

TGDIPFill::TGPRectF TGDIPFill::Fill(TGPGraphics* Graphics, TGPRectF R, Byte ABorderOpacity, Byte AOpacity,
                                    Byte AOpacityTo, Byte AOpacityMirror, Byte AOpacityMirrorTo) {
  if (Graphics == nullptr) return R;
  // 1. Opacities.
  const Byte bo = ABorderOpacity == 255 ? FBorderOpacity : ABorderOpacity;
  const Byte o = AOpacity == 255 ? FOpacity : AOpacity;
  const Byte oto = AOpacityTo == 255 ? FOpacityTo : AOpacityTo;
  const Byte om = AOpacityMirror == 255 ? FOpacityMirror : AOpacityMirror;
  const Byte omto = AOpacityMirrorTo == 255 ? FOpacityMirrorTo : AOpacityMirrorTo;
  REAL x = R.X, y = R.Y, w = R.Width, h = R.Height;

  if (h == 1 || w == 1) {
    // 2. A line only.
    if (FBorderWidth > 0 && FBorderColor != clNone) {
      TGPPen pen(Argb(bo, FBorderColor), REAL(FBorderWidth));
      Graphics->DrawLine(&pen, x, y, x + w, y + h);
    }
  } else {
    // 3. Shadow.
    if (FShadowOffset > 0 && FShadowColor != clNone) {
      const REAL off = REAL(FShadowOffset);
      if (FShadowType == stBottom) {
        PaintRadialFill(Graphics, TGPRectF{x, y + h - 2 * off, w, 2 * off}, FShadowColor, rtBottom, FRounding, true,
                        255, 0, FShadowColor);
        h -= off;
      } else {
        const bool surround = FShadowType == stSurround;
        std::unique_ptr<TGPGraphicsPath> path(CreateRoundRectPath(
            TGPRectF{x, y, w, h}, surround ? FShadowOffset : FRounding, surround ? rtBoth : FRoundingType));
        TGPPathGradientBrush brush(path.get());
        brush.SetWrapMode(WrapModeClamp);
        const ARGB colors[3] = {0x00000000, Argb(180, FShadowColor), Argb(180, FShadowColor)};
        const REAL positions[3] = {0.0f, 0.1f, 1.0f};
        brush.SetInterpolationColors(colors, positions, 3);
        Graphics->FillPath(&brush, path.get());
        if (surround) {
          x += off;
          y += off;
          w -= 2 * off;
          h -= 2 * off;
        } else {
          w -= off;
          h -= off;
        }
      }
    }
    // 4. Body.
    if (FGradientType == gtHatch || FGradientType == gtTexture || FColorMirror == clNone) {
      const TGPRectF part{x, y, w, h};
      if (FGradientType == gtRadial) {
        if (FColor != clNone)
          PaintRadialFill(Graphics, part, FColor, FRoundingType, FRounding, true, oto, o,
                          FColorTo == clNone ? FColor : FColorTo);
      } else {
        DrawGradientBackGround(Graphics, part, false, o, oto, om, omto);
      }
    } else {
      const TGPRectF upper{x, y, w, h / 2 + 1};
      if (FGradientType == gtRadial) {
        if (FColor != clNone)
          PaintRadialFill(Graphics, upper, FColor, rtTop, FRounding, true, oto, o,
                          FColorTo == clNone ? FColor : FColorTo);
      } else {
        DrawGradientBackGround(Graphics, upper, false, o, oto, om, omto);
      }
      const TGPRectF lower{x, y + h / 2 - 1, w, h / 2 + 1};
      if (FGradientMirrorType == gtRadial) {
        if (FColorMirror != clNone)
          PaintRadialFill(Graphics, lower, FColorMirror, rtBottom, FRounding, false, omto, om,
                          FColorMirrorTo == clNone ? FColorMirror : FColorMirrorTo);
      } else {
        DrawGradientBackGround(Graphics, lower, true, o, oto, om, omto);
      }
    }
    // 5. Background picture inside the fill.
    if (FBackGroundPictureMode == pmInsideFill && FGradientType == gtTexture && !FBackGroundPicture->Empty()) {
      std::unique_ptr<TGPGraphicsPath> path(CreateRoundRectPath(TGPRectF{x, y, w, h}, FRounding, FRoundingType));
      Graphics->SetClip(path.get());
      DrawPictureStep(Graphics, TGPRectF{x, y, w, h}, true);
      Graphics->ResetClip();
    }
    // 6. Border.
    if (FBorderWidth > 0 && FBorderColor != clNone) {
      std::unique_ptr<TGPGraphicsPath> path(CreateRoundRectPath(TGPRectF{x, y, w, h}, FRounding, FRoundingType));
      TGPPen pen(Argb(bo, FBorderColor), REAL(FBorderWidth));
      Graphics->DrawPath(&pen, path.get());
    }
  }
  const TGPRectF rect{x, y, w, h};
  // 7. Glow.
  DrawGlow(Graphics, rect);
  // 8. Focus.
  FFocusRect = TGPRectF{x + FBorderWidth, y + FBorderWidth, w - 2 * FBorderWidth, h - 2 * FBorderWidth};
  if (FFocus) {
    std::unique_ptr<TGPGraphicsPath> path(CreateRoundRectPath(FFocusRect, FRounding - FBorderWidth, FRoundingType));
    TGPPen pen(Argb(o, FFocusColor), 1);
    pen.SetDashStyle(DashStyleDot);
    const int smoothing = Graphics->GetSmoothingMode();
    Graphics->SetSmoothingMode(SmoothingModeDefault);
    Graphics->DrawPath(&pen, path.get());
    if (smoothing != SmoothingModeInvalid) Graphics->SetSmoothingMode(smoothing);
  }
  // 9. Background picture outside the fill.
  if (FBackGroundPictureMode == pmOutsideFill && FGradientType == gtTexture && !FBackGroundPicture->Empty())
    DrawPictureStep(Graphics, rect, true);
  // 10. Picture.
  if (!FPicture->Empty()) DrawPictureStep(Graphics, rect, false);
  // 11.
  return rect;
}

// ---------------------------------------------------------------------------
// Stored forms

TF_PUBLISHED(TSaver, TComponent) {
  return TPublished<TSaver>().Object("SaveObject", &TSaver::SaveObject, &TSaver::SetSaveObject);
}

TSaver::TSaver(TComponent* AOwner) : TComponent(AOwner) {}

void SaveFillToStream(TStream* S, TGDIPFill* Fill) {
  if (Fill == nullptr) throw EArgumentNilException(QStringLiteral("No fill to save"));
  TSaver saver(nullptr);
  saver.SetSaveObject(Fill);
  S->WriteComponent(&saver);
}

void LoadFillFromStream(TStream* S, TGDIPFill* Fill) {
  if (Fill == nullptr) throw EArgumentNilException(QStringLiteral("No fill to load"));
  TSaver saver(nullptr);
  saver.SetSaveObject(Fill);
  S->ReadComponent(&saver);
}

QString StreamToHex(TStream* S) {
  static const char digits[] = "0123456789ABCDEF";
  QString result;
  if (S == nullptr) return result;
  const Int64 size = S->Size();
  S->SetPosition(0);
  result.reserve(qsizetype(size * 2));
  Byte buffer[4096];
  Int64 done = 0;
  while (done < size) {
    const Int64 n = S->Read(buffer, std::min<Int64>(sizeof buffer, size - done));
    if (n <= 0) break;
    for (Int64 i = 0; i < n; ++i) {
      result.append(QChar(digits[buffer[i] >> 4]));
      result.append(QChar(digits[buffer[i] & 15]));
    }
    done += n;
  }
  return result;
}

Byte HexPairToByte(QChar C1, QChar C2) {
  auto nibble = [](QChar c) {
    const char16_t u = c.toUpper().unicode();
    if (u >= u'0' && u <= u'9') return int(u - u'0');
    if (u >= u'A' && u <= u'F') return int(u - u'A' + 10);
    throw EConvertError(QStringLiteral("No Hex-Number"));
  };
  return Byte(nibble(C1) * 16 + nibble(C2));
}

Byte HexPairToByte(const QString& S) {
  if (S.size() < 2) throw EConvertError(QStringLiteral("No Hex-Number"));
  return HexPairToByte(S[0], S[1]);
}

void HexToStream(const QString& S, TStream* Stream) {
  Stream->SetSize(0);
  Stream->SetPosition(0);
  for (qsizetype i = 0; i + 1 < S.size(); i += 2) {
    const Byte b = HexPairToByte(S[i], S[i + 1]);
    Stream->WriteBuffer(&b, 1);
  }
}

namespace {
struct TIniKey {
  const char* Name;
  std::function<int(const TGDIPFill&)> Get;
  std::function<void(TGDIPFill&, int)> Set;
};

template <class E>
std::function<void(TGDIPFill&, int)> EnumSetter(void (TGDIPFill::*set)(E), int count) {
  return [set, count](TGDIPFill& f, int v) {
    if (v >= 0 && v < count) (f.*set)(E(v));  // an ordinal outside the type is ignored
  };
}

const std::vector<TIniKey>& IniKeys() {
  using F = TGDIPFill;
  static const std::vector<TIniKey> keys = {
      {"Color", [](const F& f) { return f.Color(); }, [](F& f, int v) { f.SetColor(v); }},
      {"ColorTo", [](const F& f) { return f.ColorTo(); }, [](F& f, int v) { f.SetColorTo(v); }},
      {"ColorMirror", [](const F& f) { return f.ColorMirror(); }, [](F& f, int v) { f.SetColorMirror(v); }},
      {"ColorMirrorTo", [](const F& f) { return f.ColorMirrorTo(); }, [](F& f, int v) { f.SetColorMirrorTo(v); }},
      {"GradientType", [](const F& f) { return int(f.GradientType()); }, EnumSetter(&F::SetGradientType, 11)},
      {"GradientMirrorType", [](const F& f) { return int(f.GradientMirrorType()); },
       EnumSetter(&F::SetGradientMirrorType, 11)},
      {"HatchStyle", [](const F& f) { return int(f.HatchStyle()); }, EnumSetter(&F::SetHatchStyle, HatchStyleTotal)},
      {"HatchStyleMirror", [](const F& f) { return int(f.HatchStyleMirror()); },
       EnumSetter(&F::SetHatchStyleMirror, HatchStyleTotal)},
      {"BackGroundPictureMode", [](const F& f) { return int(f.BackGroundPictureMode()); },
       EnumSetter(&F::SetBackGroundPictureMode, 2)},
      {"BackGroundPicturePosition", [](const F& f) { return int(f.BackGroundPicturePosition()); },
       EnumSetter(&F::SetBackGroundPicturePosition, 12)},
      {"BackGroundPictureLeft", [](const F& f) { return f.BackGroundPictureLeft(); },
       [](F& f, int v) { f.SetBackGroundPictureLeft(v); }},
      {"BackGroundPictureTop", [](const F& f) { return f.BackGroundPictureTop(); },
       [](F& f, int v) { f.SetBackGroundPictureTop(v); }},
      {"PicturePosition", [](const F& f) { return int(f.PicturePosition()); }, EnumSetter(&F::SetPicturePosition, 12)},
      {"PictureLeft", [](const F& f) { return f.PictureLeft(); }, [](F& f, int v) { f.SetPictureLeft(v); }},
      {"PictureTop", [](const F& f) { return f.PictureTop(); }, [](F& f, int v) { f.SetPictureTop(v); }},
      {"PictureSize", [](const F& f) { return int(f.PictureSize()); }, EnumSetter(&F::SetPictureSize, 2)},
      {"PictureWidth", [](const F& f) { return f.PictureWidth(); }, [](F& f, int v) { f.SetPictureWidth(v); }},
      {"PictureHeight", [](const F& f) { return f.PictureHeight(); }, [](F& f, int v) { f.SetPictureHeight(v); }},
      {"Opacity", [](const F& f) { return int(f.Opacity()); }, [](F& f, int v) { f.SetOpacity(Byte(v)); }},
      {"OpacityTo", [](const F& f) { return int(f.OpacityTo()); }, [](F& f, int v) { f.SetOpacityTo(Byte(v)); }},
      {"OpacityMirror", [](const F& f) { return int(f.OpacityMirror()); },
       [](F& f, int v) { f.SetOpacityMirror(Byte(v)); }},
      {"OpacityMirrorTo", [](const F& f) { return int(f.OpacityMirrorTo()); },
       [](F& f, int v) { f.SetOpacityMirrorTo(Byte(v)); }},
      {"BorderColor", [](const F& f) { return f.BorderColor(); }, [](F& f, int v) { f.SetBorderColor(v); }},
      {"BorderOpacity", [](const F& f) { return int(f.BorderOpacity()); },
       [](F& f, int v) { f.SetBorderOpacity(Byte(v)); }},
      {"BorderWidth", [](const F& f) { return f.BorderWidth(); }, [](F& f, int v) { f.SetBorderWidth(v); }},
      {"Rounding", [](const F& f) { return f.Rounding(); }, [](F& f, int v) { f.SetRounding(v); }},
      {"RoundingType", [](const F& f) { return int(f.RoundingType()); }, EnumSetter(&F::SetRoundingType, 6)},
      {"ShadowOffset", [](const F& f) { return f.ShadowOffset(); }, [](F& f, int v) { f.SetShadowOffset(v); }},
      {"ShadowColor", [](const F& f) { return f.ShadowColor(); }, [](F& f, int v) { f.SetShadowColor(v); }},
      {"Angle", [](const F& f) { return f.Angle(); }, [](F& f, int v) { f.SetAngle(v); }},
      {"Glow", [](const F& f) { return int(f.Glow()); }, EnumSetter(&F::SetGlow, 4)},
      {"GlowGradientColor", [](const F& f) { return f.GlowGradientColor(); },
       [](F& f, int v) { f.SetGlowGradientColor(v); }},
      {"GlowRadialColor", [](const F& f) { return f.GlowRadialColor(); }, [](F& f, int v) { f.SetGlowRadialColor(v); }},
  };
  return keys;
}

QString PictureHex(TKitGDIPPicture* Picture) {
  if (Picture->Empty()) return QString();
  TMemoryStream stream;
  Picture->SaveToStream(&stream);
  return StreamToHex(&stream);
}

void LoadPictureHex(TKitGDIPPicture* Picture, QString Text, int StoredLength) {
  if (StoredLength <= 0 || Text.isEmpty()) return;
  // The stored length is checked against the text: never more than there is.
  if (StoredLength < Text.size()) Text.truncate(StoredLength);
  TMemoryStream stream;
  HexToStream(Text, &stream);
  stream.SetPosition(0);
  Picture->LoadFromStream(&stream);
}
}  // namespace

void TGDIPFill::SaveToFile(TCustomIniFile* ini, const QString& Section) {
  if (ini == nullptr) return;
  for (const TIniKey& key : IniKeys()) ini->WriteInteger(Section, QLatin1String(key.Name), key.Get(*this));
  const QString picture = PictureHex(FPicture.get());
  ini->WriteString(Section, QStringLiteral("Picture"), picture);
  ini->WriteInteger(Section, QStringLiteral("PictureDataSize"), int(picture.size()));
  const QString background = PictureHex(FBackGroundPicture.get());
  ini->WriteString(Section, QStringLiteral("BackgroundPicture"), background);
  ini->WriteInteger(Section, QStringLiteral("BackgroundPictureSize"), int(background.size()));
}

void TGDIPFill::LoadFromFile(TCustomIniFile* ini, const QString& Section) {
  if (ini == nullptr) return;
  BeginUpdate();
  try {
    int pictureLength = 0;
    const bool lengthKey = ini->ValueExists(Section, QStringLiteral("PictureDataSize"));
    for (const TIniKey& key : IniKeys()) {
      const QString name = QLatin1String(key.Name);
      const int value = ini->ReadInteger(Section, name, key.Get(*this));
      if (name == QLatin1String("PictureSize") && !lengthKey && (value > 1 || value < 0)) {
        // A section of the old layout: this key holds the picture text's
        // length, the size mode it replaced is lost.
        pictureLength = value;
        continue;
      }
      key.Set(*this, value);
    }
    if (lengthKey) pictureLength = ini->ReadInteger(Section, QStringLiteral("PictureDataSize"), 0);
    LoadPictureHex(FPicture.get(), ini->ReadString(Section, QStringLiteral("Picture"), QString()), pictureLength);
    LoadPictureHex(FBackGroundPicture.get(), ini->ReadString(Section, QStringLiteral("BackgroundPicture"), QString()),
                   ini->ReadInteger(Section, QStringLiteral("BackgroundPictureSize"), 0));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  Changed();
}

void TGDIPFill::SaveToFile(const QString& FileName, const QString& Section) {
  TIniFile ini(FileName);
  SaveToFile(&ini, Section);
}

void TGDIPFill::LoadFromFile(const QString& FileName, const QString& Section) {
  TIniFile ini(FileName);
  LoadFromFile(&ini, Section);
}

void TGDIPFill::SaveToClipBoard() {
  TMemoryStream stream;
  SaveFillToStream(&stream, this);
  const QByteArray block(static_cast<const char*>(stream.Memory()), qsizetype(stream.Size()));
  Clipboard()->SetAsHandle(Word(FillFormat()), block);
}

void TGDIPFill::LoadFromClipBoard() {
  const QByteArray block = Clipboard()->GetAsHandle(Word(FillFormat()));
  if (block.isNull()) return;
  TBytesStream stream(block);
  stream.SetPosition(0);
  LoadFillFromStream(&stream, this);
}
