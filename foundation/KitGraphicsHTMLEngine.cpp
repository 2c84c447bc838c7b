#include "foundation/KitGraphicsHTMLEngine.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "foundation/KitGraphics.h"
#include "foundation/KitMiniHTMLEngine.h"
#include "foundation/KitMiniHTMLLayout.h"
#include "foundation/KitUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/PngImage.h"
#include "platform/win32/Gdi.h"

namespace {

bool IsAmpAt(const QString& s, qsizetype i) {
  if (i + 4 > s.size()) return false;
  return s.at(i).toLower() == u'a' && s.at(i + 1).toLower() == u'm' && s.at(i + 2).toLower() == u'p' &&
         s.at(i + 3) == u';';
}

// "&amp;" (any case) becomes "&" for as long as one is found: the "&" left
// in place may start another with the text after it.
QString ReplaceAmpersands(const QString& AText) {
  QString r;
  r.reserve(AText.size());
  for (qsizetype i = 0; i < AText.size();) {
    if (AText.at(i) == u'&' && IsAmpAt(AText, i + 1)) {
      i += 5;
      while (IsAmpAt(AText, i)) i += 4;
      r += u'&';
      continue;
    }
    r += AText.at(i++);
  }
  return r;
}

bool IsNoColor(TColor c) { return c == mhNoColorFacade || c == mhNoColorCanvas; }

TFontStyles StylesOf(const TMiniHtmlFont& AFont) {
  TFontStyles style;
  if (AFont.Bold) style.Include(fsBold);
  if (AFont.Italic) style.Include(fsItalic);
  if (AFont.Underline) style.Include(fsUnderline);
  if (AFont.StrikeOut) style.Include(fsStrikeOut);
  return style;
}

// Counts trailing blanks.
int TrailingBlanks(const QString& s) {
  int n = 0;
  for (qsizetype i = s.size() - 1; i >= 0 && s.at(i) == u' '; --i) ++n;
  return n;
}

// A zero-width space: after trailing blanks it keeps them (and their
// underline) from being left out when the run is drawn.
constexpr char16_t kZeroWidthSpace = 0x200B;

// Emoji (code points from U+1F004 up, as the canvas engine has them) are
// drawn in colour from the emoji font, in a square one text line high: a
// back-end font may hold a plain glyph for them.
bool IsEmojiAt(const QString& s, qsizetype i) {
  return i + 1 < s.size() && s.at(i).isHighSurrogate() && s.at(i + 1).isLowSurrogate() &&
         QChar::surrogateToUcs4(s.at(i), s.at(i + 1)) >= 0x1F004;
}

bool HasEmoji(const QString& s) {
  for (qsizetype i = 0; i + 1 < s.size(); ++i)
    if (IsEmojiAt(s, i)) return true;
  return false;
}

struct TSegment {
  QString Text;
  bool Emoji = false;
};

// The run in pieces of text and single emoji (with a following variation
// selector or joiner).
std::vector<TSegment> Segments(const QString& s) {
  std::vector<TSegment> segments;
  QString text;
  for (qsizetype i = 0; i < s.size();) {
    if (IsEmojiAt(s, i)) {
      if (!text.isEmpty()) segments.push_back({text, false});
      text.clear();
      qsizetype end = i + 2;
      while (end < s.size() && (s.at(end) == QChar(0xFE0F) || s.at(end) == QChar(0x200D))) ++end;
      segments.push_back({s.mid(i, end - i), true});
      i = end;
      continue;
    }
    text += s.at(i++);
  }
  if (!text.isEmpty()) segments.push_back({text, false});
  return segments;
}

// Measures and draws the layout's runs and objects through the facade.
class TFacadeSurface : public TMiniHtmlSurface {
 public:
  TFacadeSurface(TKitGraphics* AGraphics, const TGraphicsHtmlParams& AParams)
      : G(AGraphics), P(AParams) {}
  ~TFacadeSurface() override {
    // The facade's own font back on the back-end.
    if (FFontSet) G->Context()->SetFont(G->Font());
  }

  int TextWidth(const QString& AText, const TMiniHtmlFont& AFont) override {
    if (AText.isEmpty()) return 0;
    if (HasEmoji(AText)) {
      int width = 0;
      for (const TSegment& segment : Segments(AText))
        width += segment.Emoji ? EmojiSide(AFont) : TextWidth(segment.Text, AFont);
      return width;
    }
    Use(AFont);
    const auto key = std::make_pair(FCurrentKey, AText);
    const auto it = FWidths.find(key);
    if (it != FWidths.end()) return it->second;
    // Trailing blanks count with their width, whatever the back-end leaves
    // out of its measure.
    const int blanks = TrailingBlanks(AText);
    float w = 0;
    if (blanks < AText.size()) w = Measure(AText.left(AText.size() - blanks)).Width();
    if (blanks > 0) w += blanks * Measure(QStringLiteral(" ")).Width();
    const int width = int(std::ceil(w - 0.001f));
    FWidths.emplace(key, width);
    return width;
  }

  // One text line: "gh" measured as the facade measures text (one unit
  // taller than the back-end says).
  int TextHeight(const TMiniHtmlFont& AFont) override {
    Use(AFont);
    const auto it = FHeights.find(FCurrentKey);
    if (it != FHeights.end()) return it->second;
    const int h = int(std::ceil(Measure(QStringLiteral("gh")).Height() + 1 - 0.001f));
    FHeights.emplace(FCurrentKey, h);
    return h;
  }

  void DrawRun(const TMiniHtmlRun& ARun) override {
    const int height = TextHeight(ARun.Font);
    if (!IsNoColor(ARun.Background)) {
      // The run's background: fill and stroke in its colour.
      Solid(ARun.Background);
      G->DrawRectangle(double(ARun.X), double(ARun.Top), double(ARun.X + ARun.Width), double(ARun.Top + height),
                       gcrmNone);
    }
    if (HasEmoji(ARun.Text)) {
      // Text and emoji one after the other.
      TMiniHtmlRun part = ARun;
      part.Background = mhNoColorFacade;
      const std::vector<TSegment> segments = Segments(ARun.Text);
      for (size_t i = 0; i < segments.size(); ++i) {
        const TSegment& segment = segments[i];
        part.Text = segment.Text;
        part.Width = TextWidth(segment.Text, ARun.Font);
        part.Right = i + 1 == segments.size() ? ARun.Right : part.X + part.Width;
        if (segment.Emoji) {
          const int side = EmojiSide(ARun.Font);
          const QImage image =
              MiniHtmlEmojiImage(segment.Text, side, int(std::lround(ARun.Font.Size * 96.0 / 72.0)));
          // As a PNG: its alpha survives on both back-ends (the GDI+ one
          // reads a bitmap's fourth byte as nothing, which would show the
          // square around the glyph black).
          TPngImage png;
          QByteArray bytes;
          {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
          }
          TMemoryStream stream;
          stream.Write(bytes.constData(), bytes.size());
          stream.SetPosition(0);
          png.LoadFromStream(&stream);
          TPicture picture;
          picture.SetGraphic(&png);
          G->DrawBitmap(double(part.X), double(ARun.Bottom - 1 - side), double(part.X + side),
                        double(ARun.Bottom - 1), &picture, false, true, false, false);
        } else {
          DrawText(part);
        }
        part.X += part.Width;
      }
      return;
    }
    DrawText(ARun);
  }

  // A run of text: its shadow, the text, its error mark.
  void DrawText(const TMiniHtmlRun& ARun) {
    TKitGraphicsContext* c = G->Context();
    QString text = ARun.Text;
    if (ARun.Font.Underline && TrailingBlanks(text) > 0) text += QChar(kZeroWidthSpace);
    // Bottom-aligned; the unit the facade adds to a text line's height stays
    // below the text, where the GDI+ library's descenders reach.
    const TRectF box(float(ARun.X), float(ARun.Top), float(std::max(ARun.Right, ARun.X + ARun.Width)),
                     float(ARun.Bottom - 1));
    if (ARun.Shadow && P.ShadowOffset != 0) {
      TMiniHtmlFont shadow = ARun.Font;
      shadow.Color = P.ShadowColor;
      Use(shadow);
      const float o = float(P.ShadowOffset);
      c->DrawText(text, TRectF(box.Left + o, box.Top + o, box.Right + o, box.Bottom + o), false, gtaLeading,
                  gtaTrailing, gttNone, 0);
    }
    Use(ARun.Font);
    c->DrawText(text, box, false, gtaLeading, gtaTrailing, gttNone, 0);
    if (ARun.ErrorUnderline) ErrorMark(ARun);
  }

  void DrawBullet(int X, int Top, const QString& AText, const QString& AShape, TColor AColor,
                  const TMiniHtmlFont& AFont) override {
    const TColor color = IsNoColor(AColor) ? AFont.Color : AColor;
    if (!AShape.isEmpty()) {
      Solid(color);
      if (AShape == u"CIRCLE")
        G->DrawEllipse(double(X), double(Top), double(X + 8), double(Top + 8), gcrmNone);
      else
        G->DrawRectangle(double(X), double(Top), double(X + 8), double(Top + 8), gcrmNone);
      return;
    }
    // Text bullets with the font style cleared.
    TMiniHtmlFont font = AFont;
    font.Bold = font.Italic = font.Underline = font.StrikeOut = false;
    font.Color = color;
    Use(font);
    const int w = TextWidth(AText, font), h = TextHeight(font);
    G->Context()->DrawText(AText, TRectF(float(X), float(Top), float(X + w + 1), float(Top + h)), false, gtaLeading,
                           gtaLeading, gttNone, 0);
  }

  void DrawHorzLine(int X1, int X2, int Y, TColor AColor) override {
    Line(AColor);
    G->DrawLine(TPointF(float(X1), float(Y)), TPointF(float(X2), float(Y)), gcpmNone, gcpmNone);
  }

  void FillBand(const QRect& ARect, TColor AColor) override {
    if (IsNoColor(AColor) || ARect.isEmpty()) return;
    Solid(AColor);
    G->DrawRectangle(double(ARect.left()), double(ARect.top()), double(ARect.right() + 1), double(ARect.bottom() + 1),
                     gcrmNone);
  }

  QSize PictureSize(const TMiniHtmlPictureRef& ARef) {
    TPicture* picture = Picture(ARef);
    if (!picture || picture->Graphic() == nullptr || picture->Graphic()->Empty()) return QSize();
    return QSize(picture->Width(), picture->Height());
  }

  void DrawPicture(const TMiniHtmlPictureRef& ARef, const QRect& ABox) override {
    if (ARef.Kind == mhpImageIndex) {
      // The image list draws on the facade's canvas, in whole pixels; not
      // when printing.
      if (P.Printing || !P.ImageList || !G->Canvas() || ARef.Index < 0 || ARef.Index >= P.ImageList->Count()) return;
      P.ImageList->Draw(G->Canvas(), ABox.left(), ABox.top(), ARef.Index, true);
      return;
    }
    TPicture* picture = Picture(ARef);
    if (!picture || !picture->Graphic() || picture->Graphic()->Empty()) return;
    G->DrawBitmap(double(ABox.left()), double(ABox.top()), double(ABox.right() + 1), double(ABox.bottom() + 1),
                  picture, false, true, false, false);
  }

  void DrawBackgroundPicture(const TMiniHtmlPictureRef& ARef, const QRect& ARect, bool ATiled) override {
    TPicture* picture = Picture(ARef);
    if (!picture || !picture->Graphic() || picture->Graphic()->Empty()) return;
    if (!ATiled) {
      G->DrawBitmap(double(ARect.left()), double(ARect.top()), double(ARect.right() + 1), double(ARect.bottom() + 1),
                    picture, false, true, false, false);
      return;
    }
    // Tiles at the picture's size over the rectangle, as far as the surface
    // reaches: made into one picture, so a small tile over a large area is
    // one drawing call.
    const QImage tile = picture->Graphic()->ToImage();
    if (tile.isNull()) return;
    QRect area = ARect;
    if (TCanvas* canvas = G->Canvas()) {
      RECT clip{};
      if (GetClipBox(canvas->Handle(), &clip) != ERROR)
        area &= QRect(QPoint(clip.left, clip.top), QPoint(clip.right - 1, clip.bottom - 1));
    }
    area &= QRect(ARect.topLeft(), QSize(4096, 4096));
    if (area.isEmpty()) return;
    QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
      QPainter p(&image);
      p.drawTiledPixmap(QRect(QPoint(0, 0), area.size()), QPixmap::fromImage(tile),
                        QPoint((area.left() - ARect.left()) % tile.width(), (area.top() - ARect.top()) % tile.height()));
    }
    TBitmap bitmap;
    bitmap.AssignImage(image);
    TPicture tiled;
    tiled.SetGraphic(&bitmap);
    G->DrawBitmap(double(area.left()), double(area.top()), double(area.right() + 1), double(area.bottom() + 1), &tiled,
                  false, true, false, false);
  }

  void DrawControl(const TMiniHtmlControl& AControl, const TMiniHtmlControlPlace& APlace) override {
    const QRect& b = APlace.Box;
    const bool pressed = P.MouseDown && !AControl.ID.isEmpty() && P.PressedControlID == AControl.ID;
    const bool checked = AControl.Value.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0;
    if (AControl.ControlType == u"CHECK" || AControl.ControlType == u"RADIO") {
      // The box less one unit on each side.
      const TRectF r(float(b.left() + 1), float(b.top() + 1), float(b.left() + b.width() - 1),
                     float(b.top() + b.height() - 1));
      if (AControl.ControlType == u"CHECK")
        G->DrawCheckBox(r, checked, pressed, true);
      else
        G->DrawRadioButton(r, checked, pressed, true);
      return;
    }
    if (AControl.ControlType == u"BUTTON") {
      const TRectF r(float(b.left() + 2), float(b.top()), float(b.left() + b.width() - 2), float(b.top() + b.height()));
      const bool hot = b.contains(QPoint(P.PointerX, P.PointerY));
      // Pressed while the mouse is down on it; hot (the focused look) under
      // the pointer.
      G->DrawButton(r, pressed, hot, true, false);
      Use(FBase);
      G->Context()->DrawText(AControl.Value, TRectF(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2), false,
                             gtaCenter, gtaCenter, gttNone, 0);
    }
    // Edit, password, mask and combo controls are not drawn by this engine.
  }

  void SetBase(const TMiniHtmlFont& ABase) { FBase = ABase; }

 private:
  TRectF Measure(const QString& AText) {
    return G->Context()->CalculateText(AText, TRectF(0, 0, 10000, 10000), false);
  }

  // The side of an emoji's square: the back-end's text line.
  int EmojiSide(const TMiniHtmlFont& AFont) { return std::max(1, TextHeight(AFont) - 1); }

  // The font of a run on the back-end, colour included.
  void Use(const TMiniHtmlFont& AFont) {
    if (FFontSet && FCurrent == AFont) return;
    const bool sameMetrics = FFontSet && FCurrent.Name == AFont.Name && FCurrent.Size == AFont.Size &&
                             FCurrent.Bold == AFont.Bold && FCurrent.Italic == AFont.Italic;
    TKitGraphicsFont font;
    font.SetName(AFont.Name);
    font.SetSize(AFont.Size);
    font.SetStyle(StylesOf(AFont));
    font.SetColor(AFont.Color);
    G->Context()->SetFont(&font);
    FCurrent = AFont;
    FFontSet = true;
    if (!sameMetrics)
      FCurrentKey = AFont.Name + u'/' + QString::number(AFont.Size) + u'/' + QString::number(AFont.Bold) +
                    QString::number(AFont.Italic);
  }

  void Solid(TColor AColor) {
    G->SetFillKind(gfkSolid);
    G->SetFillColor(AColor);
    G->SetStrokeKind(gskSolid);
    G->SetStrokeColor(AColor);
  }
  void Line(TColor AColor) {
    G->SetStrokeKind(gskSolid);
    G->SetStrokeColor(AColor);
    G->SetStrokeWidth(1);
  }

  // The red zigzag under a marked run, along its bottom.
  void ErrorMark(const TMiniHtmlRun& ARun) {
    Line(0x0000FF);
    int x = ARun.X - (((ARun.X % 2) + 2) % 2);
    int offset = ((x % 4) + 4) % 4 == 0 ? 2 : 0;
    const int bottom = ARun.Bottom;
    const int right = ARun.X + ARun.Width;
    TPointF from(float(x), float(bottom + offset - 1));
    while (x < right) {
      offset = 2 - offset;
      const TPointF to(float(x + 2), float(bottom + offset - 1));
      G->DrawLine(from, to, gcpmNone, gcpmNone);
      from = to;
      x += 2;
    }
  }

  // The picture of a reference, owned by the container or by this call.
  TPicture* Picture(const TMiniHtmlPictureRef& ARef) {
    switch (ARef.Kind) {
      case mhpContainer: {
        if (!P.PictureContainer || !MiniHtmlPictures()) return nullptr;
        return MiniHtmlPictures()->ContainerBitmap(P.PictureContainer, ARef.Name);
      }
      case mhpFile:
      case mhpData: {
        const QString key = QString::number(int(ARef.Kind)) + u':' + ARef.Name;
        auto it = FOwned.find(key);
        if (it != FOwned.end()) return it->second.get();
        auto picture = std::make_unique<TPicture>();
        try {
          if (ARef.Kind == mhpFile) {
            if (QFileInfo(ARef.Name).isFile()) picture->LoadFromFile(ARef.Name);
          } else {
            TKitUtils::LoadBitmapFromBase64(ARef.Name, picture.get(), false);
          }
        } catch (const Exception&) {
          picture = std::make_unique<TPicture>();  // what cannot be loaded takes no space
        }
        return FOwned.emplace(key, std::move(picture)).first->second.get();
      }
      default: return nullptr;
    }
  }

  TKitGraphics* G;
  const TGraphicsHtmlParams& P;
  TMiniHtmlFont FBase;
  bool FFontSet = false;
  TMiniHtmlFont FCurrent;
  QString FCurrentKey;
  std::map<std::pair<QString, QString>, int> FWidths;
  std::map<QString, int> FHeights;
  std::map<QString, std::unique_ptr<TPicture>> FOwned;
};

}  // namespace

QString RemoveHashMarker(const QString& AText) {
  const qsizetype at = AText.indexOf(QLatin1String("<#"));
  if (at < 0) return AText;
  QString r = AText;
  r.remove(at, 1);
  const qsizetype close = r.indexOf(u'>', at);
  if (close >= 0) r.remove(close, 1);
  return r;
}

QString GraphicsLineBreaksToHtml(const QString& AText) {
  if (!AText.contains(u'\r') && !AText.contains(u'\n')) return AText;
  QString r = AText;
  r.remove(u'\n');
  r.replace(u'\r', QLatin1String("<BR>"));
  return r;
}

QString PrepareGraphicsHtml(const QString& AText) {
  QString s = AText;
  // Numeric references before "&amp;" is undone, so that an escaped one
  // ("&amp;#65;") stays text.
  if (s.contains(u'&')) s = ReplaceAmpersands(DecodeNumericEntities(TKitUtils::UnFixMarkup(s, true, true), false));
  return GraphicsLineBreaksToHtml(RemoveHashMarker(s));
}

bool DrawGraphicsHtml(TKitGraphics* AGraphics, const QString& AText, const TRectF& ARect,
                      const TGraphicsHtmlParams& AParams, TGraphicsHtmlResult& AResult) {
  AResult = TGraphicsHtmlResult();
  if (AParams.HitTestOnly) AResult.ControlID = AParams.ControlID;
  if (!AGraphics) return false;
  const QString text = PrepareGraphicsHtml(AText);

  // The facade's fill, stroke and font come back at the end.
  TKitGraphicsFill* fill = AGraphics->Fill();
  TKitGraphicsStroke* stroke = AGraphics->Stroke();
  const TKitGraphicsFillKind fillKind = fill->Kind();
  const TColor fillColor = fill->Color();
  const TKitGraphicsStrokeKind strokeKind = stroke->Kind();
  const TColor strokeColor = stroke->Color();
  const float strokeWidth = stroke->Width();
  TKitGraphicsFont* font = AGraphics->Font();

  TMiniHtmlLayoutParams p;
  p.Engine = mheFacade;
  p.Rect = QRect(QPoint(int(std::lround(ARect.Left)), int(std::lround(ARect.Top))),
                 QPoint(int(std::lround(ARect.Right)) - 1, int(std::lround(ARect.Bottom)) - 1));
  p.Font.Name = font->Name();
  p.Font.Size = font->Size();
  const TFontStyles style = font->Style();
  p.Font.Bold = style.Contains(fsBold);
  p.Font.Italic = style.Contains(fsItalic);
  p.Font.Underline = style.Contains(fsUnderline);
  p.Font.StrikeOut = style.Contains(fsStrikeOut);
  p.Font.Color = font->Color();
  // BLINK text takes the fill colour of the call.
  p.Background = fillKind == gfkNone ? mhNoColorFacade : fillColor;
  p.WordWrap = AParams.WordWrap;
  p.MeasureOnly = AParams.MeasureOnly;
  p.HitTestOnly = AParams.HitTestOnly;
  p.HitControlID = AParams.HitTestOnly ? AParams.ControlID : QString();
  p.Pointer = QPoint(AParams.PointerX, AParams.PointerY);
  p.HoverLink = AParams.HoverLink;
  p.FocusLink = AParams.FocusLink;
  p.HoverOnly = AParams.HoverOnly;
  p.Selected = AParams.Selected;
  p.BlinkOff = !AParams.BlinkPhase;
  p.URLColor = AParams.URLColor;
  p.URLUnderline = AParams.URLUnderline;
  p.HoverColor = AParams.HoverColor;
  p.HoverFontColor = AParams.HoverFontColor;
  p.HighlightColor = AParams.HighlightColor;
  p.HighlightTextColor = AParams.HighlightTextColor;
  p.HighlightBold = AParams.HighlightFontStyles.Contains(fsBold);
  p.HighlightItalic = AParams.HighlightFontStyles.Contains(fsItalic);
  p.HighlightUnderline = AParams.HighlightFontStyles.Contains(fsUnderline);
  p.HighlightStrikeOut = AParams.HighlightFontStyles.Contains(fsStrikeOut);
  p.ScaleFactor = 1.0;
  p.PrintFactor = std::max(1.0, AParams.PrintFactor);
  p.Printing = AParams.Printing;
  p.LineSpacing = AParams.LineSpacing;
  if (AParams.ImageList) {
    // Image list pictures at the canvas's resolution.
    int dpi = 96;
    if (TCanvas* canvas = AGraphics->Canvas()) dpi = std::max(1, GetDeviceCaps(canvas->Handle(), LOGPIXELSY));
    p.ImageCount = AParams.ImageList->Count();
    p.ImageSize = QSize(int(std::lround(AParams.ImageList->Width() * dpi / 96.0)),
                        int(std::lround(AParams.ImageList->Height() * dpi / 96.0)));
  }
  TMiniHtmlLayoutResult r;
  try {
    TFacadeSurface surface(AGraphics, AParams);
    surface.SetBase(p.Font);
    p.PictureSize = [&surface](const TMiniHtmlPictureRef& ARef) { return surface.PictureSize(ARef); };
    r = LayoutMiniHtml(text, p, surface);
  } catch (...) {
    AGraphics->SetFillKind(fillKind);
    AGraphics->SetFillColor(fillColor);
    AGraphics->SetStrokeKind(strokeKind);
    AGraphics->SetStrokeColor(strokeColor);
    AGraphics->SetStrokeWidth(strokeWidth);
    throw;
  }
  AGraphics->SetStrokeKind(strokeKind);
  AGraphics->SetFillKind(fillKind);
  AGraphics->SetStrokeColor(strokeColor);
  AGraphics->SetFillColor(fillColor);
  AGraphics->SetStrokeWidth(strokeWidth);

  AResult.Anchor = r.Anchor;
  AResult.PlainText = r.PlainText;
  AResult.FocusAnchor = r.FocusAnchor;
  AResult.Width = float(r.Width);
  AResult.Height = float(r.Height);
  AResult.LinkCount = r.LinkCount;
  AResult.HoverLink = r.HoverLink;
  auto toF = [](const QRect& q) {
    return q.isNull() ? TRectF() : TRectF(float(q.left()), float(q.top()), float(q.right() + 1), float(q.bottom() + 1));
  };
  AResult.HoverRect = toF(r.HoverRect);
  AResult.ControlRect = toF(r.ControlRect);
  if (!r.ControlID.isEmpty() || !r.ControlType.isEmpty()) {
    AResult.ControlID = r.ControlID;
    AResult.ControlValue = r.ControlValue;
    AResult.ControlType = r.ControlType;
  }
  AResult.LineCount = r.LineCount;
  return r.Hit;
}

// ---------------------------------------------------------------------------
// Marks

int VisibleCharToPos(const QString& AText, int AIndex) {
  int visible = 0;
  qsizetype i = 0;
  const qsizetype n = AText.size();
  while (i < n) {
    if (AText.at(i) == u'<') {
      const qsizetype close = AText.indexOf(u'>', i);
      if (close < 0) break;  // an unclosed "<" is text
      const QString tag = MiniHtmlUpperAscii(AText.mid(i, close - i + 1));
      if (tag == u"<BR>" || tag == u"<HR>") {
        // A line break of the plain form: two characters, before the tag.
        if (AIndex < visible + 2) return int(i);
        visible += 2;
      }
      i = close + 1;
      continue;
    }
    if (visible == AIndex) return int(i);
    ++visible;
    ++i;
  }
  if (visible == AIndex || i < n) {
    // At the end, or inside an unclosed tag's text counted as characters.
    for (; i < n; ++i, ++visible)
      if (visible == AIndex) return int(i);
  }
  return int(n);
}

QString MarkTextInGraphicsHtml(const QString& AText, const QString& ASearch, const QString& ATag,
                               bool ACaseSensitive) {
  if (ASearch.isEmpty()) return AText;
  const Qt::CaseSensitivity cs = ACaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
  QString text = AText;
  QString search = ASearch;
  QString plain = TKitUtils::HTMLStrip(text);
  if (text.contains(search, cs) && (plain.contains(u'<') || plain.contains(u'>'))) {
    // Markup that does not strip cleanly is dropped: the plain form with its
    // "<" and ">" as entities becomes the text.
    plain.replace(u'<', QLatin1String("&lt;")).replace(u'>', QLatin1String("&gt;"));
    text = plain;
    search.replace(u'<', QLatin1String("&lt;")).replace(u'>', QLatin1String("&gt;"));
  }
  // Occurrences in the plain form, each search after the previous one.
  std::vector<std::pair<int, int>> marks;  // positions in the text: opening, closing
  qsizetype from = 0;
  while (true) {
    const qsizetype at = plain.indexOf(search, from, cs);
    if (at < 0) break;
    marks.emplace_back(VisibleCharToPos(text, int(at)), VisibleCharToPos(text, int(at + search.size())));
    from = at + search.size();
  }
  if (marks.empty()) return text;
  const QString open = u'<' + ATag + u'>', close = QStringLiteral("</") + ATag + u'>';
  QString r;
  r.reserve(text.size() + int(marks.size()) * (open.size() + close.size()));
  int last = 0;
  for (const auto& [a, b] : marks) {
    r += QStringView(text).mid(last, a - last);
    r += open;
    r += QStringView(text).mid(a, b - a);
    r += close;
    last = b;
  }
  r += QStringView(text).mid(last);
  return r;
}
