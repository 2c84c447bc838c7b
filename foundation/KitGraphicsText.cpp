// Text drawing and measuring of the facade: plain text goes to the back-end,
// marked-up text to the mini-HTML line layout drawing through the back-end.
#include <QStringList>
#include <cmath>

#include "foundation/KitGraphics.h"
#include "foundation/KitGraphicsHTMLEngine.h"
#include "platform/rtl/SysUtils.h"

namespace {

const QStringList& HTMLLineSeparators() {
  static const QStringList separators{QStringLiteral("<BR>"), QStringLiteral("<BR/>")};
  return separators;
}

// The first separator of the list that occurs in the upper-cased text, as it
// is written at its first occurrence; empty when none occurs.
QString LineSeparator(const QString& AText) {
  const QString upper = AText.toUpper();
  for (const QString& s : HTMLLineSeparators()) {
    const int at = int(upper.indexOf(s));
    if (at >= 0) return AText.mid(at, s.size());
  }
  return QString();
}

float RoundF(float v) { return float(Round(double(v))); }

}  // namespace

bool KitGraphicsIsMarkedUp(const QString& AText) {
  return AText.contains(QLatin1String("</")) || AText.contains(QLatin1String("/>")) ||
         AText.toUpper().contains(QLatin1String("<BR>"));
}

TKitGraphics::THtmlResult TKitGraphics::RunHtml(const QString& AText, const TRectF& ARect, bool AWordWrapping,
                                                bool ADraw, bool ATestAnchor, const TPoint& APoint) {
  // What the facade hands to its mini-HTML engine: its highlight, link and
  // picture settings; no hover or focus link, no shadow, not selected, not
  // printing.
  TGraphicsHtmlParams p;
  p.WordWrap = AWordWrapping;
  p.URLColor = FURLColor;
  p.URLUnderline = FURLUnderline;
  p.HighlightColor = FHighlightColor;
  p.HighlightTextColor = FHighlightTextColor;
  p.HighlightFontStyles = FHighlightFontStyles;
  p.ImageList = FImageList;
  p.PictureContainer = FPictureContainer;
  p.MeasureOnly = !ADraw;
  if (ADraw && ATestAnchor) {
    p.PointerX = APoint.X;
    p.PointerY = APoint.Y;
  }
  TGraphicsHtmlResult r;
  DrawGraphicsHtml(this, AText, ARect, p, r);
  THtmlResult result;
  result.Width = r.Width;
  result.Height = r.Height;
  result.Lines = r.LineCount;
  result.ControlID = r.ControlID;
  result.ControlValue = r.ControlValue;
  result.ControlType = r.ControlType;
  if (ADraw && ATestAnchor) {
    // The link under the point: drawing finds controls and linked images,
    // a pass that tests without drawing finds link texts too.
    TGraphicsHtmlParams h = p;
    h.MeasureOnly = false;
    h.HitTestOnly = true;
    TGraphicsHtmlResult hit;
    result.Hit = DrawGraphicsHtml(this, AText, ARect, h, hit);
    if (result.Hit) result.Anchor = hit.Anchor;
    if (!hit.ControlID.isEmpty() || !hit.ControlType.isEmpty()) {
      result.ControlID = hit.ControlID;
      result.ControlValue = hit.ControlValue;
      result.ControlType = hit.ControlType;
    }
  }
  return result;
}

TRectF TKitGraphics::DoCalculateText(const QString& AText, const TRectF& ARect, bool AWordWrapping, bool ASupportHTML) {
  TRectF result = ARect;
  if (Round(double(ARect.Width())) <= 0) {
    result.Bottom = result.Top;
    return result;
  }
  if (AText.isEmpty()) {
    result.Right = result.Left;
    result.Bottom = result.Top;
    return result;
  }
  if (!ASupportHTML || !KitGraphicsIsMarkedUp(AText)) {
    result = Context()->CalculateText(AText, ARect, AWordWrapping);
    result.Bottom += 1;
    return result;
  }
  const THtmlResult html = RunHtml(AText, ARect, AWordWrapping, false, false, TPoint(0, 0));
  return TRectF(ARect.Left, ARect.Top, ARect.Left + html.Width, ARect.Top + html.Height + 1);
}

QString TKitGraphics::DoDrawText(const TRectF& ARect, const QString& AText, QString& AControlID, QString& AControlValue,
                                 QString& AControlType, bool AWordWrapping, TKitGraphicsTextAlign AHorizontalAlign,
                                 TKitGraphicsTextAlign AVerticalAlign, TKitGraphicsTextTrimming ATrimming,
                                 float AAngle, float AMinWidth, float AMinHeight, bool ASupportHTML, bool ATestAnchor,
                                 float AX, float AY) {
  TRectF r = ARect;
  const TColor savedFill = Context()->GetFillColor();
  Context()->SetFillColor(FFont->Color());
  if (AMinHeight > -1 && AMinHeight > r.Height()) r.Bottom = r.Top + AMinHeight;
  if (AMinWidth > -1 && AMinWidth > r.Width()) r.Right = r.Left + AMinWidth;
  QString result;
  try {
    r = Context()->SetTextAngle(r, AAngle);
    if (ASupportHTML && KitGraphicsIsMarkedUp(AText)) {
      AControlID.clear();
      AControlValue.clear();
      AControlType.clear();
      const THtmlResult measure = RunHtml(AText, r, AWordWrapping, false, false, TPoint(0, 0));
      const float w = measure.Width + 1, h = measure.Height + 1;
      TRectF d = r;
      if (!AWordWrapping || measure.Lines < 2) {
        float x = r.Left, y = r.Top;
        if (AHorizontalAlign == gtaCenter) x = r.Left + (r.Width() - w) / 2;
        if (AHorizontalAlign == gtaTrailing) x = r.Right - w;
        if (AVerticalAlign == gtaCenter) y = r.Top + (r.Height() - h) / 2;
        if (AVerticalAlign == gtaTrailing) y = r.Bottom - h;
        d = TRectF(x, y, x + w, y + h);
      }
      TKitGraphicsSaveState* state = SaveState(true);
      THtmlResult drawn;
      try {
        ClipRect(r);
        drawn = RunHtml(AText, d, AWordWrapping, true, ATestAnchor, TPoint(int(Round(AX)), int(Round(AY))));
      } catch (...) {
        RestoreState(state, true);
        throw;
      }
      RestoreState(state, true);
      AControlID = drawn.ControlID;
      AControlValue = drawn.ControlValue;
      AControlType = drawn.ControlType;
      if (drawn.Hit) result = drawn.Anchor;
    } else if (!ATestAnchor) {
      Context()->DrawText(AText, r, AWordWrapping, AHorizontalAlign, AVerticalAlign, ATrimming, AAngle);
    }
  } catch (...) {
    Context()->ResetTextAngle(AAngle);
    Context()->SetFillColor(savedFill);
    throw;
  }
  Context()->ResetTextAngle(AAngle);
  Context()->SetFillColor(savedFill);
  return result;
}

QString TKitGraphics::DrawText(const TRectF& ARect, const QString& AText, QString& AControlID, QString& AControlValue,
                               QString& AControlType, bool AWordWrapping, TKitGraphicsTextAlign AHorizontalAlign,
                               TKitGraphicsTextAlign AVerticalAlign, TKitGraphicsTextTrimming ATrimming, float AAngle,
                               float AMinWidth, float AMinHeight, bool ASupportHTML, bool ATestAnchor, float AX,
                               float AY) {
  const QString separator =
      (!ATestAnchor && FOptimizedHTMLDrawing && KitGraphicsIsMarkedUp(AText)) ? LineSeparator(AText) : QString();
  if (separator.isEmpty())
    return DoDrawText(ARect, AText, AControlID, AControlValue, AControlType, AWordWrapping, AHorizontalAlign,
                      AVerticalAlign, ATrimming, AAngle, AMinWidth, AMinHeight, ASupportHTML, ATestAnchor, AX, AY);
  TRectF r = ARect;
  for (const QString& line : AText.split(separator)) {
    const TRectF c = CalculateText(line, r, AWordWrapping, ASupportHTML);
    DoDrawText(TRectF(c.Left, c.Top, c.Right + 1, c.Bottom), line, AControlID, AControlValue, AControlType,
               AWordWrapping, AHorizontalAlign, AVerticalAlign, ATrimming, AAngle, AMinWidth, AMinHeight, ASupportHTML,
               ATestAnchor, AX, AY);
    r.Top += c.Height();
    r.Bottom += c.Height();
  }
  return QString();
}

QString TKitGraphics::DrawText(const TRectF& ARect, const QString& AText, bool AWordWrapping,
                               TKitGraphicsTextAlign AHorizontalAlign, TKitGraphicsTextAlign AVerticalAlign,
                               TKitGraphicsTextTrimming ATrimming, float AAngle, float AMinWidth, float AMinHeight,
                               bool ASupportHTML, bool ATestAnchor, float AX, float AY) {
  QString id, value, type;
  return DrawText(ARect, AText, id, value, type, AWordWrapping, AHorizontalAlign, AVerticalAlign, ATrimming, AAngle,
                  AMinWidth, AMinHeight, ASupportHTML, ATestAnchor, AX, AY);
}

QString TKitGraphics::DrawText(double ALeft, double ATop, double ARight, double ABottom, const QString& AText,
                               bool AWordWrapping, TKitGraphicsTextAlign AHorizontalAlign,
                               TKitGraphicsTextAlign AVerticalAlign, TKitGraphicsTextTrimming ATrimming, float AAngle,
                               float AMinWidth, float AMinHeight, bool ASupportHTML, bool ATestAnchor, float AX,
                               float AY) {
  return DrawText(TRectF(float(ALeft), float(ATop), float(ARight), float(ABottom)), AText, AWordWrapping,
                  AHorizontalAlign, AVerticalAlign, ATrimming, AAngle, AMinWidth, AMinHeight, ASupportHTML,
                  ATestAnchor, AX, AY);
}

QString TKitGraphics::DrawText(const TRect& ARect, const QString& AText, bool AWordWrapping,
                               TKitGraphicsTextAlign AHorizontalAlign, TKitGraphicsTextAlign AVerticalAlign,
                               TKitGraphicsTextTrimming ATrimming, float AAngle, float AMinWidth, float AMinHeight,
                               bool ASupportHTML, bool ATestAnchor, float AX, float AY) {
  return DrawText(RectToRectF(ARect), AText, AWordWrapping, AHorizontalAlign, AVerticalAlign, ATrimming, AAngle,
                  AMinWidth, AMinHeight, ASupportHTML, ATestAnchor, AX, AY);
}

QString TKitGraphics::DrawText(int ALeft, int ATop, int ARight, int ABottom, const QString& AText, bool AWordWrapping,
                               TKitGraphicsTextAlign AHorizontalAlign, TKitGraphicsTextAlign AVerticalAlign,
                               TKitGraphicsTextTrimming ATrimming, float AAngle, float AMinWidth, float AMinHeight,
                               bool ASupportHTML, bool ATestAnchor, float AX, float AY) {
  return DrawText(TRectF(float(ALeft), float(ATop), float(ARight), float(ABottom)), AText, AWordWrapping,
                  AHorizontalAlign, AVerticalAlign, ATrimming, AAngle, AMinWidth, AMinHeight, ASupportHTML,
                  ATestAnchor, AX, AY);
}

QString TKitGraphics::DrawText(const TPointF& APoint, const QString& AText, float AAngle, bool ASupportHTML,
                               bool ATestAnchor, float AX, float AY) {
  return DrawText(TRectF(APoint.X, APoint.Y, APoint.X + 10000, APoint.Y + 10000), AText, false, gtaLeading,
                  gtaLeading, gttNone, AAngle, -1, -1, ASupportHTML, ATestAnchor, AX, AY);
}

TRectF TKitGraphics::CalculateText(const QString& AText, const TRectF& ARect, bool AWordWrapping, bool ASupportHTML) {
  const QString separator =
      (FOptimizedHTMLDrawing && KitGraphicsIsMarkedUp(AText)) ? LineSeparator(AText) : QString();
  if (separator.isEmpty()) return DoCalculateText(AText, ARect, AWordWrapping, ASupportHTML);
  TRectF result = ARect;
  float height = 0;
  for (const QString& line : AText.split(separator))
    height += DoCalculateText(line, ARect, AWordWrapping, ASupportHTML).Height();
  result.Bottom = result.Top + height;
  return result;
}

TRectF TKitGraphics::CalculateText(const QString& AText) {
  return CalculateText(AText, TRectF(0, 0, 10000, 10000), false, true);
}

TRect TKitGraphics::CalculateText(const QString& AText, const TRect& ARect, bool AWordWrapping, bool ASupportHTML) {
  const TRectF r = CalculateText(AText, RectToRectF(ARect), AWordWrapping, ASupportHTML);
  return TRect(int(Round(r.Left)), int(Round(r.Top)), int(Round(r.Right)), int(Round(r.Bottom)));
}

TRect TKitGraphics::CalculateTextInt(const QString& AText) {
  const TRectF r = CalculateText(AText);
  return TRect(int(Round(r.Left)), int(Round(r.Top)), int(Round(r.Right)), int(Round(r.Bottom)));
}

TSizeF TKitGraphics::CalculateTextSize(const QString& AText, const TRectF& ARect, bool AWordWrapping,
                                       bool ASupportHTML) {
  const TRectF r = CalculateText(AText, ARect, AWordWrapping, ASupportHTML);
  return TSizeF(r.Width(), r.Height());
}
TSizeF TKitGraphics::CalculateTextSize(const QString& AText) {
  return CalculateTextSize(AText, TRectF(0, 0, 10000, 10000), false, true);
}
TSize TKitGraphics::CalculateTextSize(const QString& AText, const TRect& ARect, bool AWordWrapping,
                                      bool ASupportHTML) {
  const TSizeF s = CalculateTextSize(AText, RectToRectF(ARect), AWordWrapping, ASupportHTML);
  return TSize(int(RoundF(s.cx)), int(RoundF(s.cy)));
}
TSize TKitGraphics::CalculateTextSizeInt(const QString& AText) {
  const TSizeF s = CalculateTextSize(AText);
  return TSize(int(RoundF(s.cx)), int(RoundF(s.cy)));
}
float TKitGraphics::CalculateTextWidth(const QString& AText, const TRectF& ARect, bool AWordWrapping,
                                       bool ASupportHTML) {
  return CalculateTextSize(AText, ARect, AWordWrapping, ASupportHTML).cx;
}
float TKitGraphics::CalculateTextWidth(const QString& AText) { return CalculateTextSize(AText).cx; }
int TKitGraphics::CalculateTextWidth(const QString& AText, const TRect& ARect, bool AWordWrapping, bool ASupportHTML) {
  return int(RoundF(CalculateTextWidth(AText, RectToRectF(ARect), AWordWrapping, ASupportHTML)));
}
int TKitGraphics::CalculateTextWidthInt(const QString& AText) { return int(RoundF(CalculateTextWidth(AText))); }
float TKitGraphics::CalculateTextHeight(const QString& AText, const TRectF& ARect, bool AWordWrapping,
                                        bool ASupportHTML) {
  return CalculateTextSize(AText, ARect, AWordWrapping, ASupportHTML).cy;
}
float TKitGraphics::CalculateTextHeight(const QString& AText) { return CalculateTextSize(AText).cy; }
int TKitGraphics::CalculateTextHeight(const QString& AText, const TRect& ARect, bool AWordWrapping,
                                      bool ASupportHTML) {
  return int(RoundF(CalculateTextHeight(AText, RectToRectF(ARect), AWordWrapping, ASupportHTML)));
}
int TKitGraphics::CalculateTextHeightInt(const QString& AText) { return int(RoundF(CalculateTextHeight(AText))); }

QString TKitGraphics::ApplyHilight(const QString& AText, const QString& AHilight, const QString& ATag, bool ADoCase) {
  return MarkTextInGraphicsHtml(AText, AHilight, ATag, ADoCase);
}
