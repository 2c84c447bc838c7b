// The painters of control parts: buttons, check boxes, radio buttons,
// progress bars and glyph buttons, drawn with the facade's own attributes.
#include <QLoggingCategory>
#include <cmath>

#include "foundation/KitGraphics.h"
#include "platform/rtl/SysUtils.h"

Q_DECLARE_LOGGING_CATEGORY(lcKitGraphics)

// The glyph pictures of the buttons that are not adapted to the style.
static void InitGlyphResources() { Q_INIT_RESOURCE(KitGraphicsGlyphs); }

namespace {

enum TGlyph { glClose, glExpanderCollapsed, glExpanderExpanded, glCompactCollapsed, glCompactExpanded, glDropDown,
              glNone };

TRectF Inflated(const TRectF& R, float DX, float DY) { return TRectF(R.Left - DX, R.Top - DY, R.Right + DX, R.Bottom + DY); }

const char* GlyphResource(int AGlyph) {
  switch (AGlyph) {
    case glClose: return "KitGRAPHICSCLOSESVG";
    case glExpanderCollapsed: return "KitGRAPHICSDOWNSVG";
    case glExpanderExpanded: return "KitGRAPHICSUPSVG";
    case glCompactCollapsed: return "KitGRAPHICSRIGHTSVG";
    case glCompactExpanded: return "KitGRAPHICSLEFTSVG";
    case glDropDown: return "KitGRAPHICSEXPANDSVG";
  }
  return nullptr;
}

}  // namespace

void TKitGraphics::SetDefaultGraphicColors() {
  TKitGraphicsControlPartColors& c = ControlPartColors();
  c.GlyphColor = 0;
  c.Selection = 0;
  c.BackgroundFill = 0xFFFFFF;
  c.BackgroundStroke = 0xC0C0C0;
  c.FocusedStroke = 0xB17F3C;
  c.FocusedFill = 0xFBF1E5;
  c.DisabledStroke = 0xA9A9A9;
  c.DisabledFill = 0xD3D3D3;
  c.NormalStroke = 0xA9A9A9;
  c.NormalFill = 0xE1E1E1;
}

void TKitGraphics::DrawButton(const TRectF& ARect, bool ADown, bool AFocused, bool AEnabled, bool AAdaptToStyle,
                              float) {
  SetStrokeKind(gskSolid);
  SetStrokeWidth(1);
  SetFillKind(gfkSolid);
  TColor stroke, fill;
  if (AAdaptToStyle) {
    const TKitGraphicsControlPartColors& c = ControlPartColors();
    if (!AEnabled) {
      stroke = c.DisabledStroke;
      fill = c.DisabledFill;
    } else if (AFocused) {
      stroke = c.FocusedStroke;
      fill = c.FocusedFill;
    } else {
      stroke = c.NormalStroke;
      fill = c.NormalFill;
    }
  } else if (!AEnabled) {
    stroke = 0xA9A9A9;
    fill = 0xD3D3D3;
  } else if (AFocused) {
    stroke = 0xB17F3C;
    fill = 0xFBF1E5;
  } else {
    stroke = 0xA9A9A9;
    fill = 0xE1E1E1;
  }
  SetStrokeColor(stroke);
  SetFillColor(fill);
  DrawRectangle(ARect, gcrmShrinkAll);
  const TRectF inner = Inflated(ARect, -1, -1);
  SetFillKind(gfkNone);
  SetStrokeColor(ADown ? LighterColor(stroke, 40) : fill);
  DrawRectangle(inner, gcrmShrinkAll);
}
void TKitGraphics::DrawButton(const TRect& ARect, bool ADown, bool AFocused, bool AEnabled, bool AAdaptToStyle,
                              float AScaleFactor) {
  DrawButton(RectToRectF(ARect), ADown, AFocused, AEnabled, AAdaptToStyle, AScaleFactor);
}

void TKitGraphics::DrawCheckBox(const TRectF& ARect, bool AChecked, bool AFocused, bool AEnabled, float) {
  TRectF r = Inflated(ARect, -1, -1);
  const TColor mark = !AEnabled ? TColor(0xA9A9A9) : (AFocused ? TColor(0xB48246) : TColor(0));
  SetFillKind(gfkSolid);
  SetFillColor(AEnabled ? LighterColor(0xD3D3D3, 85) : TColor(0xD3D3D3));
  SetStrokeWidth(1);
  SetStrokeKind(gskSolid);
  SetStrokeColor(mark);
  DrawRectangle(r, gcrmShrinkAll);
  r = Inflated(r, -r.Width() / 5, -r.Height() / 5);
  SetStrokeWidth(2);
  SetStrokeColor(mark);
  if (AChecked) {
    DrawLine(TPointF(r.Left, r.Top), TPointF(r.Right - 1, r.Bottom - 1), gcpmRightDown, gcpmRightDown);
    DrawLine(TPointF(r.Right - 1, r.Top), TPointF(r.Left, r.Bottom - 1), gcpmRightDown, gcpmRightDown);
  }
}
void TKitGraphics::DrawCheckBox(const TRect& ARect, bool AChecked, bool AFocused, bool AEnabled, float AScaleFactor) {
  DrawCheckBox(RectToRectF(ARect), AChecked, AFocused, AEnabled, AScaleFactor);
}

void TKitGraphics::DrawRadioButton(const TRectF& ARect, bool AChecked, bool AFocused, bool AEnabled, float) {
  TRectF r = Inflated(ARect, -1, -1);
  const TColor mark = !AEnabled ? TColor(0xA9A9A9) : (AFocused ? TColor(0xB48246) : TColor(0));
  SetFillKind(gfkSolid);
  SetFillColor(AEnabled ? LighterColor(0xD3D3D3, 85) : TColor(0xD3D3D3));
  SetStrokeWidth(1);
  SetStrokeKind(gskSolid);
  SetStrokeColor(mark);
  DrawEllipse(r, gcrmShrinkAll);
  r = Inflated(r, -r.Width() / 5, -r.Height() / 5);
  SetFillKind(gfkSolid);
  SetFillColor(mark);
  if (AChecked) DrawEllipse(r, gcrmShrinkAll);
}
void TKitGraphics::DrawRadioButton(const TRect& ARect, bool AChecked, bool AFocused, bool AEnabled,
                                   float AScaleFactor) {
  DrawRadioButton(RectToRectF(ARect), AChecked, AFocused, AEnabled, AScaleFactor);
}

void TKitGraphics::DrawProgressBar(const TRectF& ARect, float AValue, const QString& AFormat, float AMax,
                                   TColor AColor, TColor ATextColor, bool AShowText, bool AEnabled, float) {
  const TColor savedFill = FFill->Color();
  SetFillColor(AEnabled ? LighterColor(0xD3D3D3, 75) : TColor(0xD3D3D3));
  SetFillKind(gfkSolid);
  SetStrokeKind(gskSolid);
  SetStrokeColor(0xA9A9A9);
  DrawRectangle(ARect, gcrmShrinkAll);
  float v = AValue;
  if (!(AMax > v)) v = AMax;
  if (v < 0) v = 0;
  if (AMax > 0) {
    TRectF bar = Inflated(ARect, -1, -1);
    bar.Right = bar.Left + (ARect.Right - 1 - ARect.Left) * v / AMax;
    SetFillColor(AColor);
    SetStrokeColor(AColor);
    DrawRectangle(bar, gcrmShrinkAll);
    if (AShowText) {
      const TColor savedFont = FFont->Color();
      SetFontColor(ATextColor);
      QString text;
      try {
        // The format text comes from the caller: it is interpreted by the
        // run-time's own formatter, which reads only the one argument given
        // and refuses anything else.
        text = Format(AFormat, {double(v) / double(AMax) * 100.0});
      } catch (const Exception& e) {
        qCWarning(lcKitGraphics) << "progress text format refused:" << e.Message();
        text = AFormat;
      }
      DrawText(ARect, text, false, gtaCenter, gtaCenter, gttNone, 0, -1, -1, true, false, -1, -1);
      SetFontColor(savedFont);
    }
  }
  SetFillColor(savedFill);
}
void TKitGraphics::DrawProgressBar(const TRect& ARect, float AValue, const QString& AFormat, float AMax, TColor AColor,
                                   TColor ATextColor, bool AShowText, bool AEnabled, float AScaleFactor) {
  DrawProgressBar(RectToRectF(ARect), AValue, AFormat, AMax, AColor, ATextColor, AShowText, AEnabled, AScaleFactor);
}

void TKitGraphics::DrawGlyphButton(const TRectF& ARect, int AGlyph, bool ADown, bool AFocused, bool AEnabled,
                                   bool ACenter, bool AAdaptToStyle, float AScaleFactor) {
  const float s = AScaleFactor;
  DrawButton(ARect, ADown, AFocused, AEnabled, AAdaptToStyle, AGlyph == glDropDown ? 1.0f : AScaleFactor);
  if (AGlyph == glNone) return;
  if (AAdaptToStyle) {
    const int S = int(Round(double(AGlyph == glDropDown ? 7 : 16) * s));
    if (S <= 0) return;
    TBitmap bitmap;
    bitmap.SetSize(S, S);
    bitmap.SetTransparentColor(0xFFFFFF);
    bitmap.SetTransparentMode(tmFixed);
    bitmap.SetTransparent(true);
    {
      TKitGraphics g(bitmap.Canvas(), false);
      g.BeginScene();
      g.SetFillColor(0xFFFFFF);
      g.SetStrokeColor(0xFFFFFF);
      g.DrawRectangle(0, 0, S, S);
      g.SetStrokeColor(ControlPartColors().GlyphColor);
      if (AGlyph != glDropDown) g.SetStrokeWidth(2);
      auto line = [&](double x1, double y1, double x2, double y2) {
        g.DrawLine(TPointF(float(x1 * s), float(y1 * s)), TPointF(float(x2 * s), float(y2 * s)));
      };
      switch (AGlyph) {
        case glClose: line(3, 3, 12, 12); line(3, 12, 12, 3); break;
        case glExpanderCollapsed: line(5, 6, 8, 9); line(8, 9, 11, 6); break;
        case glExpanderExpanded: line(5, 9, 8, 6); line(8, 6, 11, 9); break;
        case glCompactCollapsed: line(6, 5, 9, 8); line(9, 8, 6, 11); break;
        case glCompactExpanded: line(9, 5, 6, 8); line(6, 8, 9, 11); break;
        case glDropDown:
          line(0, 1, 6, 1);
          line(0, 2, 6, 2);
          line(1, 3, 5, 3);
          line(2, 4, 4, 4);
          line(3, 5, 3, 5);
          break;
      }
      g.EndScene();
    }
    TKitBitmap picture;
    picture.Assign(&bitmap);
    TRectF target = ARect;
    if (AGlyph == glDropDown && !ACenter) {
      const float left = ARect.Right - S - 10 * s;
      if (ARect.Left < left) target = TRectF(left, ARect.Top, ARect.Right, ARect.Bottom);
    }
    DrawBitmap(target, &picture, true, false, true, false);
    return;
  }
  static const bool resources = (InitGlyphResources(), true);
  (void)resources;
  std::unique_ptr<TKitBitmap> picture = TKitBitmap::CreateFromResource(QString::fromLatin1(GlyphResource(AGlyph)));
  if (!picture || picture->Graphic() == nullptr || picture->Graphic()->Empty()) return;
  TRectF target;
  switch (AGlyph) {
    case glClose: target = Inflated(ARect, -6 * s, -6 * s); break;
    case glDropDown:
      target = ACenter ? Inflated(ARect, -4 * s, -4 * s)
                       : Inflated(TRectF(ARect.Right - 16 * s, ARect.Top, ARect.Right - 2 * s, ARect.Bottom), -2 * s,
                                  -2 * s);
      break;
    default: target = Inflated(ARect, -4 * s, -4 * s); break;
  }
  DrawBitmap(target, picture.get(), true, false, true, false);
}

void TKitGraphics::DrawCloseButton(const TRectF& ARect, bool ADown, bool AFocused, bool AEnabled, bool AAdaptToStyle,
                                   float AScaleFactor) {
  DrawGlyphButton(ARect, glClose, ADown, AFocused, AEnabled, true, AAdaptToStyle, AScaleFactor);
}
void TKitGraphics::DrawCloseButton(const TRect& ARect, bool ADown, bool AFocused, bool AEnabled, bool AAdaptToStyle,
                                   float AScaleFactor) {
  DrawCloseButton(RectToRectF(ARect), ADown, AFocused, AEnabled, AAdaptToStyle, AScaleFactor);
}

void TKitGraphics::DrawExpanderButton(const TRectF& ARect, TKitGraphicsExpanderState AState, bool ADown, bool AFocused,
                                      bool AEnabled, bool AAdaptToStyle, float AScaleFactor) {
  const int glyph = AState == gesCollapsed ? glExpanderCollapsed : AState == gesExpanded ? glExpanderExpanded : glNone;
  DrawGlyphButton(ARect, glyph, ADown, AFocused, AEnabled, true, AAdaptToStyle, AScaleFactor);
}
void TKitGraphics::DrawExpanderButton(const TRect& ARect, TKitGraphicsExpanderState AState, bool ADown, bool AFocused,
                                      bool AEnabled, bool AAdaptToStyle, float AScaleFactor) {
  DrawExpanderButton(RectToRectF(ARect), AState, ADown, AFocused, AEnabled, AAdaptToStyle, AScaleFactor);
}

void TKitGraphics::DrawCompactButton(const TRectF& ARect, TKitGraphicsCompactState AState, bool ADown, bool AFocused,
                                     bool AEnabled, bool AAdaptToStyle, float AScaleFactor) {
  const int glyph = AState == gcsCollapsed ? glCompactCollapsed : AState == gcsExpanded ? glCompactExpanded : glNone;
  DrawGlyphButton(ARect, glyph, ADown, AFocused, AEnabled, true, AAdaptToStyle, AScaleFactor);
}
void TKitGraphics::DrawCompactButton(const TRect& ARect, TKitGraphicsCompactState AState, bool ADown, bool AFocused,
                                     bool AEnabled, bool AAdaptToStyle, float AScaleFactor) {
  DrawCompactButton(RectToRectF(ARect), AState, ADown, AFocused, AEnabled, AAdaptToStyle, AScaleFactor);
}

void TKitGraphics::DrawDropDownButton(const TRectF& ARect, bool ADown, bool AFocused, bool AEnabled, bool ACenter,
                                      bool AAdaptToStyle, float AScaleFactor) {
  DrawGlyphButton(ARect, glDropDown, ADown, AFocused, AEnabled, ACenter, AAdaptToStyle, AScaleFactor);
}
void TKitGraphics::DrawDropDownButton(const TRect& ARect, bool ADown, bool AFocused, bool AEnabled, bool ACenter,
                                      bool AAdaptToStyle, float AScaleFactor) {
  DrawDropDownButton(RectToRectF(ARect), ADown, AFocused, AEnabled, ACenter, AAdaptToStyle, AScaleFactor);
}

void TKitGraphics::DrawSample(TCanvas* ACanvas, const TRectF& ARect) {
  TKitGraphics g(ACanvas, false);
  g.Font()->SetName(QStringLiteral("Courier New"));
  g.Font()->SetSize(20);
  g.Font()->SetColor(0xFFFFFF);
  g.Fill()->BeginUpdate();
  g.Fill()->SetKind(gfkGradient);
  g.Fill()->SetColor(0x008CFF);
  g.Fill()->SetColorTo(0xB48246);
  g.Fill()->EndUpdate();
  g.Stroke()->SetColor(0x8B0000);
  g.DrawRectangle(ARect);
  g.DrawText(ARect, QStringLiteral("Sample"), false, gtaCenter, gtaCenter, gttNone, 0, -1, -1, true, false, -1, -1);
}
