#include "foundation/KitMiniHTMLEngine.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QMimeDatabase>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "foundation/KitMiniHTMLLayout.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImgList.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/Theme.h"
#include "platform/win32/WinUser.h"

namespace {

// ---------------------------------------------------------------------------
// Unit-level values

struct TUnitValues {
  TColor HighlightColor = TColor(0xFF00000D);      // the system highlight colour
  TColor HighlightTextColor = TColor(0xFF00000E);  // the system highlighted-text colour
  bool KeepLineBreaks = true;
  // Themed controls need the theme functions, which this platform always has.
  bool ThemesAvailable = true;
  TMiniHtmlPictures* Pictures = nullptr;
};

TUnitValues& Unit() {
  static TUnitValues values;
  return values;
}

bool IsNoColor(TColor c) { return c == clNone || c == mhNoColorFacade; }

COLORREF Rgb(TColor c) { return COLORREF(ColorToRGB(c)) & 0x00FFFFFF; }

// ---------------------------------------------------------------------------
// Preparation passes

bool IsAmpAt(const QString& s, qsizetype i) {
  // "amp;" in any case at i
  if (i + 4 > s.size()) return false;
  return s.at(i).toLower() == u'a' && s.at(i + 1).toLower() == u'm' && s.at(i + 2).toLower() == u'p' &&
         s.at(i + 3) == u';';
}

const QHash<QString, QChar>& NamedEntities() {
  static const QHash<QString, QChar> table = [] {
    QHash<QString, QChar> t;
    for (int i = 3; i < MiniHtmlEntityCount(); ++i) t.insert(MiniHtmlEntityName(i), MiniHtmlEntityChar(i));
    return t;
  }();
  return table;
}

// The longest entity name of the table, "&" and ";" included.
constexpr int kLongestEntity = 9;

bool IsDecimal(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsHexDigit(QChar c) {
  return IsDecimal(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

}  // namespace

QString DecodeMiniHtmlEntities(const QString& AText) {
  if (!AText.contains(u'&')) return AText;
  // Every "&amp;" (any case) becomes "&&". The second "&" of a replacement
  // may form another "&amp;" with the text after it, which is replaced in
  // turn, as repeating the replacement until none is left would do.
  QString s;
  s.reserve(AText.size());
  const qsizetype n = AText.size();
  for (qsizetype i = 0; i < n;) {
    if (AText.at(i) == u'&' && IsAmpAt(AText, i + 1)) {
      s += u'&';
      i += 5;
      while (IsAmpAt(AText, i)) {
        s += u'&';
        i += 4;
      }
      s += u'&';
      continue;
    }
    s += AText.at(i++);
  }
  // "&quot;" and the named entities, exact spelling. Names start with "&"
  // and end with ";" and no replacement makes a new one, so one pass from
  // left to right replaces what replacing name by name would.
  QString r;
  r.reserve(s.size());
  const auto& table = NamedEntities();
  for (qsizetype i = 0; i < s.size();) {
    if (s.at(i) == u'&') {
      const qsizetype semi = s.indexOf(u';', i + 1);
      if (semi > i && semi - i < kLongestEntity) {
        const auto it = table.constFind(s.mid(i, semi - i + 1));
        if (it != table.constEnd()) {
          r += it.value();
          i = semi + 1;
          continue;
        }
      }
    }
    r += s.at(i++);
  }
  return r;
}

QString RemoveHtmlMarkers(const QString& AText) {
  if (!AText.contains(QLatin1String("<#"))) return AText;
  // Each "<#" drops its "<" and owes the removal of the first ">" after it.
  // A removal can join an earlier "<" with a "#" into a new marker, which is
  // handled the same way.
  QString r;
  r.reserve(AText.size());
  int owed = 0;
  const qsizetype n = AText.size();
  auto joinEarlier = [&r, &owed] {
    while (!r.isEmpty() && r.back() == u'<') {
      r.chop(1);
      ++owed;
    }
  };
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = AText.at(i);
    const bool nextHash = i + 1 < n && AText.at(i + 1) == u'#';
    if (c == u'<' && nextHash) {
      ++owed;
      joinEarlier();
      continue;
    }
    if (c == u'>' && owed > 0) {
      --owed;
      if (nextHash) joinEarlier();
      continue;
    }
    r += c;
  }
  return r;
}

QString DecodeNumericEntities(const QString& AText) { return DecodeNumericEntities(AText, true); }

QString DecodeNumericEntities(const QString& AText, bool AEmojiTags) {
  if (!AText.contains(QLatin1String("&#"))) return AText;
  QString r;
  r.reserve(AText.size());
  const qsizetype n = AText.size();
  qsizetype i = 0;
  while (i < n) {
    const qsizetype at = AText.indexOf(QLatin1String("&#"), i);
    if (at < 0) break;
    r += QStringView(AText).mid(i, at - i);
    if (at > 0 && AText.at(at - 1) == u'&') {
      // An escaped "&&#": the rest stays as it is.
      i = at;
      break;
    }
    // The reference: to its ";" when that is close, else to the character
    // after its digits, which goes with it.
    qsizetype digitsEnd, end;
    const qsizetype semi = AText.indexOf(u';', at + 1);
    if (semi > at && semi - at <= 7) {
      digitsEnd = semi;
      end = semi + 1;
    } else {
      const bool hex = at + 2 < n && (AText.at(at + 2) == u'x' || AText.at(at + 2) == u'X');
      qsizetype j = at + 2 + (hex ? 1 : 0);
      while (j < n && (hex ? IsHexDigit(AText.at(j)) : IsDecimal(AText.at(j)))) ++j;
      digitsEnd = j;
      end = std::min(n, j + 1);
    }
    QStringView digits = QStringView(AText).mid(at + 2, digitsEnd - at - 2);
    const bool hex = !digits.isEmpty() && (digits.at(0) == u'x' || digits.at(0) == u'X');
    if (hex) digits = digits.mid(1);
    bool valid = !digits.isEmpty() && digits.size() <= 6;
    char32_t code = 0;
    for (qsizetype k = 0; valid && k < digits.size(); ++k) {
      const QChar d = digits.at(k);
      if (hex ? !IsHexDigit(d) : !IsDecimal(d)) {
        valid = false;
        break;
      }
      code = code * (hex ? 16 : 10) + char32_t(d.isDigit() ? d.unicode() - u'0' : (d.toLower().unicode() - u'a' + 10));
    }
    // Only Unicode scalar values become characters (NUL neither).
    if (valid && (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))) valid = false;
    if (!valid) {
      r += QLatin1String("&#");
      i = at + 2;
      continue;
    }
    const QString ch = QString::fromUcs4(&code, 1);
    if (AEmojiTags && code >= 0x1F004)
      r += QLatin1String("<J ") + ch + QLatin1String(" >");
    else
      r += ch;
    i = end;
  }
  if (i < n) r += QStringView(AText).mid(i);
  return r;
}

QString LineBreaksToHtml(const QString& AText, bool AKeep) {
  if (!AText.contains(u'\r') && !AText.contains(u'\n')) return AText;
  QString s = AText;
  s.remove(u'\n');
  QString r;
  r.reserve(s.size() + 16);
  for (qsizetype i = 0; i < s.size(); ++i) {
    const QChar c = s.at(i);
    if (c != u'\r') {
      r += c;
      continue;
    }
    if (AKeep) {
      r += QLatin1String("<BR>");
    } else {
      const bool betweenTags = i > 0 && s.at(i - 1) == u'>' && i + 1 < s.size() && s.at(i + 1) == u'<';
      if (!betweenTags) r += u' ';
    }
  }
  return r;
}

QString PrepareMiniHtml(const QString& AText, bool AKeepLineBreaks) {
  QString s = AText;
  if (s.contains(u'&')) s = DecodeMiniHtmlEntities(s);
  s = RemoveHtmlMarkers(s);
  s = DecodeNumericEntities(s);
  return LineBreaksToHtml(s, AKeepLineBreaks);
}

// ---------------------------------------------------------------------------
// Unit-level values

void SetHtmlHighlightColors(TColor ABackground, TColor AText) {
  Unit().HighlightColor = ABackground;
  Unit().HighlightTextColor = AText;
}
TColor HtmlHighlightColor() { return Unit().HighlightColor; }
TColor HtmlHighlightTextColor() { return Unit().HighlightTextColor; }
bool HtmlKeepLineBreaks() { return Unit().KeepLineBreaks; }
void SetHtmlKeepLineBreaks(bool Value) { Unit().KeepLineBreaks = Value; }
bool HtmlThemesAvailable() { return Unit().ThemesAvailable; }
void SetMiniHtmlPictures(TMiniHtmlPictures* APictures) { Unit().Pictures = APictures; }
TMiniHtmlPictures* MiniHtmlPictures() { return Unit().Pictures; }

TColor ParseHtmlColor(const QString& AText) { return MiniHtmlColor(AText, mheCanvas); }

namespace {

// ---------------------------------------------------------------------------
// Pictures of the platform: emoji and shell icons

// Draws an image (ARGB32 premultiplied) blended over the DC into ADest.
void BlendImage(HDC dc, const QImage& AImage, const QRect& ADest) {
  if (AImage.isNull() || ADest.isEmpty()) return;
  QImage source = AImage.format() == QImage::Format_ARGB32_Premultiplied
                      ? AImage
                      : AImage.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  HDC src = CreateImageDC(&source);
  if (!src) return;
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(dc, ADest.left(), ADest.top(), ADest.width(), ADest.height(), src, 0, 0, source.width(), source.height(),
             blend);
  DeleteDC(src);
}

// The colour emoji font.
const QString& EmojiFamily() {
  static const QString family = QStringLiteral("Noto Color Emoji");
  return family;
}

// An emoji in a square of ASide pixels, transparent around it, at most
// APixelSize pixels large: fitted into the square so that it keeps within
// the text line it stands in. Cached, since a grid shows the same few again
// and again.
QImage EmojiImage(const QString& AGlyph, int ASide, int APixelSize) {
  static std::mutex lock;
  static QHash<QString, QImage> cache;
  const int side = std::clamp(ASide, 1, 512);
  const QString key = AGlyph + QChar(u'\x1f') + QString::number(side) + QChar(u'\x1f') + QString::number(APixelSize);
  {
    std::lock_guard guard(lock);
    const auto it = cache.constFind(key);
    if (it != cache.constEnd()) return it.value();
  }
  QFont font(EmojiFamily());
  int pixels = std::clamp(APixelSize, 1, side);
  font.setPixelSize(pixels);
  while (pixels > 1) {
    const QFontMetrics m(font);
    if (m.height() <= side && m.horizontalAdvance(AGlyph) <= side) break;
    font.setPixelSize(--pixels);
  }
  const QFontMetrics metrics(font);
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setFont(font);
    p.setPen(Qt::black);
    const int x = std::max(0, (side - metrics.horizontalAdvance(AGlyph)) / 2);
    const int y = std::max(0, (side - metrics.height()) / 2);
    p.drawText(QPointF(x, y + metrics.ascent()), AGlyph);
  }
  std::lock_guard guard(lock);
  if (cache.size() > 512) cache.clear();
  cache.insert(key, image);
  return image;
}

}  // namespace

QImage MiniHtmlEmojiImage(const QString& AGlyph, int ASide, int APixelSize) {
  return EmojiImage(AGlyph, ASide, APixelSize);
}

namespace {

// The icon of a shell reference; a null icon when it names none.
QIcon ShellIcon(const QString& AReference) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return QIcon();
  QStyle* style = QApplication::style();
  bool isNumber = false;
  const int number = AReference.trimmed().toInt(&isNumber);
  if (isNumber) {
    // The shell's numbered icons have no meaning here; the first few stand
    // for the generic kinds.
    switch (number) {
      case 0:
      case 1: return style->standardIcon(QStyle::SP_FileIcon);
      case 2: return style->standardIcon(QStyle::SP_ComputerIcon);
      case 3: return style->standardIcon(QStyle::SP_DirClosedIcon);
      case 4: return style->standardIcon(QStyle::SP_DirOpenIcon);
      default: return QIcon();
    }
  }
  if (AReference.isEmpty()) return QIcon();
  static QFileIconProvider provider;
  const QFileInfo info(AReference);
  if (info.exists()) return provider.icon(info);
  // Any other path: the icon of its file type.
  static QMimeDatabase mimes;
  const QMimeType type = mimes.mimeTypeForFile(AReference, QMimeDatabase::MatchExtension);
  QIcon icon = QIcon::fromTheme(type.iconName());
  if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
  if (icon.isNull()) icon = provider.icon(QAbstractFileIconProvider::File);
  return icon;
}

}  // namespace

void DrawShellIcon(TCanvas* ACanvas, int X, int Y, TSize& ASize, double APrintFactor, bool APrinting, bool ADraw,
                   bool ALarge, const QString& AReference) {
  ASize = TSize();
  const QIcon icon = ShellIcon(AReference);
  if (icon.isNull()) return;
  const int side = GetSystemMetrics(ALarge ? SM_CXICON : SM_CXSMICON);
  const int drawn = APrinting ? int(std::lround(side * std::max(1.0, APrintFactor))) : side;
  ASize = TSize(drawn, drawn);
  if (!ADraw || !ACanvas) return;
  const QImage image = icon.pixmap(side, side).toImage();
  BlendImage(ACanvas->Handle(), image, QRect(X, Y, drawn, drawn));
}

int DrawEmojiGlyph(TCanvas* ACanvas, int X, int Y, bool AMeasureOnly, const QString& AText, int AFontSize) {
  if (!ACanvas) return 0;
  HDC dc = ACanvas->Handle();
  SelectObject(dc, ACanvas->Font()->Handle());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  if (!AMeasureOnly && !AText.isEmpty()) {
    const QImage image = EmojiImage(AText, tm.tmHeight, int(std::lround(AFontSize * 96.0 / 72.0)));
    BlendImage(dc, image, QRect(X, Y, image.width(), image.height()));
  }
  return tm.tmHeight;
}

namespace {

// ---------------------------------------------------------------------------
// Fonts: one GDI font per logical font, kept for the process

struct TLogFontKey {
  LOGFONTW Font;
  bool operator==(const TLogFontKey& o) const { return std::memcmp(&Font, &o.Font, sizeof(LOGFONTW)) == 0; }
};
struct TLogFontHash {
  size_t operator()(const TLogFontKey& k) const {
    return std::hash<std::string_view>()(
        std::string_view(reinterpret_cast<const char*>(&k.Font), sizeof(LOGFONTW)));
  }
};

// The GDI fonts of the engine and the widths of the runs measured in them
// (on plain device contexts: no mapping, no character spacing, where a width
// depends on the font and the text only). Grid cells repeat their words, so
// most runs are measured once.
struct TFontCache {
  std::mutex Lock;
  std::unordered_map<TLogFontKey, HFONT, TLogFontHash> Fonts;
  std::unordered_map<HFONT, QHash<QString, int>> Widths;
  size_t WidthCount = 0;
};

TFontCache& FontCache() {
  static TFontCache cache;
  return cache;
}

constexpr size_t kMaxFonts = 256;
constexpr size_t kMaxWidths = 200000;

HFONT CachedFont(const LOGFONTW& lf) {
  TFontCache& c = FontCache();
  TLogFontKey key{};
  std::memset(&key.Font, 0, sizeof(LOGFONTW));
  key.Font = lf;
  std::lock_guard guard(c.Lock);
  const auto it = c.Fonts.find(key);
  if (it != c.Fonts.end()) return it->second;
  if (c.Fonts.size() >= kMaxFonts) {
    // Fonts of earlier calls are no longer selected anywhere.
    for (auto& f : c.Fonts) DeleteObject(f.second);
    c.Fonts.clear();
    c.Widths.clear();
    c.WidthCount = 0;
  }
  HFONT font = CreateFontIndirectW(&lf);
  if (font) c.Fonts.emplace(key, font);
  return font;
}

// A measured width of a run in a font of the cache; -1 when not known.
int CachedWidth(HFONT AFont, const QString& AText) {
  TFontCache& c = FontCache();
  std::lock_guard guard(c.Lock);
  const auto f = c.Widths.find(AFont);
  if (f == c.Widths.end()) return -1;
  return f->second.value(AText, -1);
}

void CacheWidth(HFONT AFont, const QString& AText, int AWidth) {
  TFontCache& c = FontCache();
  std::lock_guard guard(c.Lock);
  if (c.WidthCount >= kMaxWidths) {
    c.Widths.clear();
    c.WidthCount = 0;
  }
  c.Widths[AFont].insert(AText, AWidth);
  ++c.WidthCount;
}

// ---------------------------------------------------------------------------
// The canvas surface

constexpr UINT kRunFormat = DT_SINGLELINE | DT_BOTTOM | DT_EXPANDTABS | DT_EXTERNALLEADING;  // 0x268

class TCanvasSurface : public TMiniHtmlSurface {
 public:
  TCanvasSurface(TCanvas* ACanvas, const TMiniHtmlDrawParams& AParams, const TMiniHtmlFont& ABase,
                 TColor ABrushAtCall)
      : FCanvas(ACanvas), P(AParams), FBase(ABase), FBrushAtCall(ABrushAtCall) {
    FDC = ACanvas->Handle();
    HFONT current = ACanvas->Font()->Handle();
    std::memset(&FBaseLog, 0, sizeof(FBaseLog));
    GetObjectW(current, sizeof(LOGFONTW), &FBaseLog);
    FPixelsPerInch = std::max(1, ACanvas->Font()->PixelsPerInch());
    FBaseHeight = FBaseLog.lfHeight;
    FCacheWidths = GetMapMode(FDC) == MM_TEXT && GetTextCharacterExtra(FDC) == 0;
    const bool middleEast = SysLocale.MiddleEast;
    FRtlReading = middleEast && P.BiDiMode != bdLeftToRight;
    FMirror = middleEast && P.BiDiMode == bdRightToLeft;
  }
  ~TCanvasSurface() override {
    for (HGDIOBJ o : FObjects) DeleteObject(o);
  }

  bool Mirror() const { return FMirror; }
  HDC DC() const { return FDC; }

  int TextWidth(const QString& AText, const TMiniHtmlFont& AFont) override {
    if (AText.isEmpty()) return 0;
    const TFontEntry& e = Use(AFont);
    if (FCacheWidths) {
      const int known = CachedWidth(e.Font, AText);
      if (known >= 0) return known;
    }
    int width;
    if (!AText.contains(u'&') && !AText.contains(u'\t')) {
      SIZE size{};
      GetTextExtentPoint32W(FDC, reinterpret_cast<LPCWSTR>(AText.utf16()), int(AText.size()), &size);
      width = size.cx;
    } else {
      // Prefixes ("&&" shows one "&") and tabs: as the run is drawn.
      QString text = AText;
      RECT r{0, 0, 0, 0};
      DrawTextExW(FDC, reinterpret_cast<LPWSTR>(text.data()), int(text.size()), &r, kRunFormat | DT_CALCRECT,
                  nullptr);
      width = r.right - r.left;
    }
    if (FCacheWidths) CacheWidth(e.Font, AText, width);
    return width;
  }

  int TextHeight(const TMiniHtmlFont& AFont) override { return Use(AFont).Height; }

  void DrawRun(const TMiniHtmlRun& ARun) override {
    Use(ARun.Font);
    UINT format = kRunFormat;
    if (!P.WordWrap) format |= DT_END_ELLIPSIS;
    // Rotated text leaves the run's box; it is not clipped to it.
    if (ARun.Font.Orientation != 0) format |= DT_NOCLIP;
    if (FRtlReading) format |= DT_RTLREADING;
    RECT box;
    if (ARun.Mirrored) {
      // Right-to-left: right-aligned, the box's right at the run's end.
      box = RECT{P.WordWrap ? ARun.X : ARun.Left, ARun.Top, ARun.X + ARun.Width, ARun.Bottom};
      format |= DT_RIGHT;
    } else {
      box = RECT{ARun.X, ARun.Top, ARun.Right, ARun.Bottom};
    }
    if (box.right <= box.left) return;
    QString text = ARun.Text;
    if (ARun.Shadow && P.ShadowOffset != 0) {
      SetBkMode(FDC, TRANSPARENT);
      SetTextColor(FDC, Rgb(P.ShadowColor));
      RECT shadow{box.left + P.ShadowOffset, box.top + P.ShadowOffset, box.right + P.ShadowOffset,
                  box.bottom + P.ShadowOffset};
      DrawTextExW(FDC, reinterpret_cast<LPWSTR>(text.data()), int(text.size()), &shadow, format, nullptr);
    }
    // A run with a background of its own (highlight, FONT BGCOLOR, SPAN,
    // hovered link) is drawn opaque on it, as a solid brush on the canvas
    // makes text output.
    if (!IsNoColor(ARun.Background)) {
      SetBkMode(FDC, OPAQUE);
      SetBkColor(FDC, Rgb(ARun.Background));
    } else {
      SetBkMode(FDC, TRANSPARENT);
    }
    SetTextColor(FDC, Rgb(ARun.Font.Color));
    DrawTextExW(FDC, reinterpret_cast<LPWSTR>(text.data()), int(text.size()), &box, format, nullptr);
    if (ARun.ErrorUnderline) DrawErrorMark(ARun);
  }

  void DrawBullet(int X, int Top, const QString& AText, const QString& AShape, TColor AColor,
                  const TMiniHtmlFont& AFont) override {
    const TColor color = IsNoColor(AColor) ? AFont.Color : AColor;
    if (!AShape.isEmpty()) {
      SelectSolid(color);
      if (AShape == u"CIRCLE")
        Ellipse(FDC, X, Top, X + 8, Top + 8);
      else
        Rectangle(FDC, X, Top, X + 8, Top + 8);
      return;
    }
    // Text bullets in the run's font (the "Symbol" font of the markup has
    // no such glyph mapping here; the bullet character is drawn instead).
    TMiniHtmlFont font = AFont;
    font.Underline = font.StrikeOut = false;
    const TFontEntry& e = Use(font);
    SetBkMode(FDC, TRANSPARENT);
    SetTextColor(FDC, Rgb(color));
    QString text = AText;
    RECT r{X, Top, X + TextWidth(AText, font) + 1, Top + e.Height};
    DrawTextExW(FDC, reinterpret_cast<LPWSTR>(text.data()), int(text.size()), &r,
                DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP, nullptr);
  }

  void DrawHorzLine(int X1, int X2, int Y, TColor AColor) override {
    SelectObject(FDC, Pen(AColor));
    MoveToEx(FDC, X1, Y, nullptr);
    LineTo(FDC, X2, Y);
  }

  void FillBand(const QRect& ARect, TColor AColor) override {
    if (IsNoColor(AColor) || ARect.isEmpty()) return;
    SelectSolid(AColor);
    Rectangle(FDC, ARect.left(), ARect.top(), ARect.right() + 1, ARect.bottom() + 1);
  }

  void DrawFocusRect(const QRect& ARect) override {
    SetTextColor(FDC, 0x000000);
    SetBkColor(FDC, 0xFFFFFF);
    const RECT r{ARect.left(), ARect.top(), ARect.right() + 1, ARect.bottom() + 1};
    ::DrawFocusRect(FDC, &r);
  }

  QSize PictureSize(const TMiniHtmlPictureRef& ARef) {
    switch (ARef.Kind) {
      case mhpSmallSystemIcon:
      case mhpLargeSystemIcon: {
        TSize size;
        DrawShellIcon(FCanvas, 0, 0, size, P.PrintFactor, P.Printing, false, ARef.Kind == mhpLargeSystemIcon, ARef.Name);
        return QSize(size.cx, size.cy);
      }
      case mhpContainer:
      case mhpURL: {
        TGraphic* g = Graphic(ARef);
        if (!g || g->Empty()) return QSize();
        TMiniHtmlPictureDetails d;
        if (MiniHtmlPictures() && MiniHtmlPictures()->Details(g, d) && d.FrameCount > 1)
          return QSize(d.MaxWidth, d.MaxHeight);
        return QSize(g->Width(), g->Height());
      }
      default: return QSize();
    }
  }

  void DrawPicture(const TMiniHtmlPictureRef& ARef, const QRect& ABox) override {
    switch (ARef.Kind) {
      case mhpImageIndex: {
        TCustomImageList* list = P.ImageList;
        if (!list || ARef.Index < 0 || ARef.Index >= list->Count()) return;
        if (P.Printing) {
          // Printed through a bitmap, stretched by the print factor.
          const double pf = std::max(1.0, P.PrintFactor);
          BlendImage(FDC, list->GetImage(ARef.Index),
                     QRect(ABox.left(), ABox.top(), int(std::lround(list->Width() * pf)),
                           int(std::lround(list->Height() * pf))));
        } else {
          list->Draw(FCanvas, ABox.left(), ABox.top(), ARef.Index, true);
        }
        return;
      }
      case mhpSmallSystemIcon:
      case mhpLargeSystemIcon: {
        TSize size;
        DrawShellIcon(FCanvas, ABox.left(), ABox.top(), size, P.PrintFactor, P.Printing, true,
                      ARef.Kind == mhpLargeSystemIcon, ARef.Name);
        return;
      }
      case mhpContainer:
      case mhpURL: DrawGraphic(Graphic(ARef), ABox); return;
      default: return;
    }
  }

  void DrawBackgroundPicture(const TMiniHtmlPictureRef& ARef, const QRect& ARect, bool) override {
    TGraphic* g = Graphic(ARef);
    if (!g || g->Empty() || g->Width() <= 0 || g->Height() <= 0) return;
    // Tiled over the rectangle, clipped to it; only the visible part is
    // made, so a small tile over a large rectangle costs one blend.
    RECT clip{};
    if (GetClipBox(FDC, &clip) == ERROR) return;
    const QRect visible = ARect.intersected(QRect(QPoint(clip.left, clip.top), QPoint(clip.right - 1, clip.bottom - 1)));
    if (visible.isEmpty()) return;
    const QImage tile = g->ToImage();
    if (tile.isNull()) return;
    QImage area(visible.size(), QImage::Format_ARGB32_Premultiplied);
    area.fill(Qt::transparent);
    {
      QPainter p(&area);
      p.drawTiledPixmap(QRect(QPoint(0, 0), visible.size()), QPixmap::fromImage(tile),
                        QPoint((visible.left() - ARect.left()) % tile.width(),
                               (visible.top() - ARect.top()) % tile.height()));
    }
    BlendImage(FDC, area, visible);
  }

  void DrawControl(const TMiniHtmlControl& AControl, const TMiniHtmlControlPlace& APlace) override;

  int DrawEmoji(int X, int Top, const QString& AGlyph, const TMiniHtmlFont& AFont, bool ADraw) override {
    const TFontEntry& e = Use(AFont);
    if (ADraw) {
      const QImage image = EmojiImage(AGlyph, e.Height, int(std::lround(AFont.Size * 96.0 / 72.0)));
      BlendImage(FDC, image, QRect(X, Top, image.width(), image.height()));
    }
    return e.Height;
  }

 private:
  struct TFontEntry {
    HFONT Font = nullptr;
    int Height = 0;
  };

  // Selects the font and answers its metrics.
  const TFontEntry& Use(const TMiniHtmlFont& AFont) {
    if (FLast >= 0 && FFonts[size_t(FLast)].first == AFont) return FFonts[size_t(FLast)].second;
    for (size_t i = 0; i < FFonts.size(); ++i) {
      if (FFonts[i].first == AFont) {
        FLast = int(i);
        SelectObject(FDC, FFonts[i].second.Font);
        return FFonts[i].second;
      }
    }
    LOGFONTW lf = FBaseLog;
    if (AFont.Name != FBase.Name) {
      std::memset(lf.lfFaceName, 0, sizeof(lf.lfFaceName));
      const int n = std::min<int>(LF_FACESIZE - 1, int(AFont.Name.size()));
      for (int i = 0; i < n; ++i) lf.lfFaceName[i] = AFont.Name.at(i).unicode();
    }
    lf.lfHeight = AFont.Size == FBase.Size ? FBaseHeight
                                            : -int(std::lround(double(AFont.Size) * FPixelsPerInch / 72.0));
    lf.lfWeight = AFont.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = AFont.Italic ? 1 : 0;
    lf.lfUnderline = AFont.Underline ? 1 : 0;
    lf.lfStrikeOut = AFont.StrikeOut ? 1 : 0;
    lf.lfEscapement = lf.lfOrientation = AFont.Orientation;
    TFontEntry e;
    e.Font = CachedFont(lf);
    if (e.Font) SelectObject(FDC, e.Font);
    TEXTMETRICW tm{};
    GetTextMetricsW(FDC, &tm);
    e.Height = tm.tmHeight;
    FFonts.emplace_back(AFont, e);
    FLast = int(FFonts.size()) - 1;
    return FFonts.back().second;
  }

  HPEN Pen(TColor AColor) {
    HPEN pen = CreatePen(PS_SOLID, 1, Rgb(AColor));
    FObjects.push_back(pen);
    return pen;
  }
  // Pen and brush in one colour.
  void SelectSolid(TColor AColor) {
    SelectObject(FDC, Pen(AColor));
    HBRUSH brush = CreateSolidBrush(Rgb(AColor));
    FObjects.push_back(brush);
    SelectObject(FDC, brush);
  }
  void SelectClearBrush() { SelectObject(FDC, GetStockObject(NULL_BRUSH)); }

  // The red zigzag under a marked run.
  void DrawErrorMark(const TMiniHtmlRun& ARun) {
    SelectObject(FDC, Pen(0x0000FF));
    int x = ARun.X - (((ARun.X % 2) + 2) % 2);
    int offset = ((x % 4) + 4) % 4 == 0 ? 2 : 0;
    const int bottom = ARun.Bottom;
    const int right = ARun.X + ARun.Width;
    MoveToEx(FDC, x, bottom + offset - 1, nullptr);
    while (x < right) {
      offset = 2 - offset;
      LineTo(FDC, x + 2, bottom + offset - 1);
      x += 2;
    }
  }

  TGraphic* Graphic(const TMiniHtmlPictureRef& ARef) {
    TMiniHtmlPictures* pictures = MiniHtmlPictures();
    if (!pictures) return nullptr;
    if (ARef.Kind == mhpContainer)
      return P.PictureContainer ? pictures->ContainerPicture(P.PictureContainer, ARef.Name) : nullptr;
    if (ARef.Kind == mhpURL) return P.PictureCache ? pictures->CachePicture(P.PictureCache, ARef.Name) : nullptr;
    return nullptr;
  }

  void DrawGraphic(TGraphic* AGraphic, const QRect& ABox) {
    if (!AGraphic || AGraphic->Empty()) return;
    TMiniHtmlPictures* pictures = MiniHtmlPictures();
    TMiniHtmlPictureDetails d;
    const bool html = pictures && pictures->Details(AGraphic, d) && d.HTMLPicture;
    const QSize natural = html && d.FrameCount > 1 ? QSize(d.MaxWidth, d.MaxHeight)
                                                   : QSize(AGraphic->Width(), AGraphic->Height());
    if (ABox.size() != natural) {
      // A size of its own (WIDTH, HEIGHT or the caller's scale).
      if (html) pictures->SetStretch(AGraphic, true);
      FCanvas->StretchDraw(TRect(ABox.left(), ABox.top(), ABox.right() + 1, ABox.bottom() + 1), AGraphic);
      return;
    }
    if (html) {
      if (d.FrameCount > 1) {
        // An animation: its whole area in the canvas's brush colour first.
        SelectSolid(FBrushAtCall);
        Rectangle(FDC, ABox.left(), ABox.top(), ABox.left() + d.MaxWidth, ABox.top() + d.MaxHeight);
      }
      const int x = ABox.left() + d.FrameXPos, y = ABox.top() + d.FrameYPos;
      FCanvas->StretchDraw(TRect(x, y, x + AGraphic->Width(), y + AGraphic->Height()), AGraphic);
      return;
    }
    FCanvas->StretchDraw(TRect(ABox.left(), ABox.top(), ABox.left() + AGraphic->Width(),
                               ABox.top() + AGraphic->Height()),
                         AGraphic);
  }

  // Text of a form control.
  void ControlText(const QString& AText, RECT ARect, UINT AFormat) {
    const TFontEntry& e = Use(FBase);
    (void)e;
    SetBkMode(FDC, TRANSPARENT);
    SetTextColor(FDC, Rgb(FBase.Color));
    DrawTextW(FDC, reinterpret_cast<LPCWSTR>(AText.utf16()), int(AText.size()), &ARect, AFormat);
  }

  // A part of a theme class, or (themes off) the frame control.
  bool DrawThemed(LPCWSTR AClass, int APart, int AState, const RECT& ARect) {
    if (!HtmlThemesAvailable() || !IsThemeActive()) return false;
    HTHEME theme = OpenThemeData(P.Window, AClass);
    if (!theme) return false;
    DrawThemeBackground(theme, FDC, APart, AState, &ARect, nullptr);
    CloseThemeData(theme);
    return true;
  }

  TCanvas* FCanvas;
  const TMiniHtmlDrawParams& P;
  TMiniHtmlFont FBase;
  TColor FBrushAtCall;
  HDC FDC = nullptr;
  LOGFONTW FBaseLog;
  LONG FBaseHeight = 0;
  int FPixelsPerInch = 96;
  bool FRtlReading = false;
  bool FMirror = false;
  bool FCacheWidths = false;
  std::vector<std::pair<TMiniHtmlFont, TFontEntry>> FFonts;
  int FLast = -1;
  std::vector<HGDIOBJ> FObjects;
};

void TCanvasSurface::DrawControl(const TMiniHtmlControl& AControl, const TMiniHtmlControlPlace& APlace) {
  const double f = P.ScaleFactor;
  auto sc = [f](int v) { return int(std::lround(v * f)); };
  const QRect& box = APlace.Box;
  const int x = box.left();
  const int width = box.width();
  const int lb = APlace.LineBottom;
  const int lh = APlace.LineHeight;
  const QString& type = AControl.ControlType;
  // The pointer over the control's box.
  const bool hot = x - 2 < P.PointerX && P.PointerX < x + box.width() - 2 && lb - box.height() - 2 < P.PointerY &&
                   P.PointerY < lb - 2;
  const bool pressedHere = P.MouseDown && !AControl.ID.isEmpty() && P.PressedControlID == AControl.ID;
  const bool themed = HtmlThemesAvailable() && IsThemeActive();
  if (type == u"EDIT" || type == u"PASSWORD" || type == u"MASK" || type == u"COMBO") {
    const bool combo = type == u"COMBO";
    SelectObject(FDC, Pen(themed ? TColor(0xB99D7F) : TColor(0x808080)));
    HBRUSH white = CreateSolidBrush(0xFFFFFF);
    FObjects.push_back(white);
    SelectObject(FDC, white);
    Rectangle(FDC, x, lb - lh + 4, x + width, lb + (combo ? 1 : 2));
    QString value = AControl.Value;
    if (type == u"PASSWORD") value = QString(value.size(), u'*');
    if (combo) {
      ControlText(value, RECT{x + 4, lb - lh + 4, x + width - sc(18), lb},
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      const RECT button{x + width - sc(18), lb - lh + 5, x + width - 1, lb + 1};
      if (!DrawThemed(u"combobox", CP_DROPDOWNBUTTON, hot ? CBXS_HOT : CBXS_NORMAL, button)) {
        RECT r = button;
        DrawFrameControl(FDC, &r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
      }
    } else {
      ControlText(value, RECT{x + 2, lb - lh + 4, x + width, lb}, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    return;
  }
  const bool checked = AControl.Value.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0;
  const double pf = std::max(1.0, P.PrintFactor);
  if (type == u"CHECK") {
    const int s = int(std::lround(16 * f * pf));
    const RECT r{x + 2, lb - s + 1, x + s - 1, lb};
    if (!DrawThemed(u"button", BP_CHECKBOX, checked ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL, r)) {
      RECT fr = r;
      DrawFrameControl(FDC, &fr, DFC_BUTTON, checked ? DFCS_FLAT | DFCS_CHECKED : DFCS_FLAT);
    }
    return;
  }
  if (type == u"RADIO") {
    const int s = int(std::lround(14 * f * pf));
    const RECT r{x + 2, lb - s, x + s, lb};
    if (!DrawThemed(u"button", BP_RADIOBUTTON, checked ? RBS_CHECKEDNORMAL : RBS_UNCHECKEDNORMAL, r)) {
      RECT fr = r;
      DrawFrameControl(FDC, &fr, DFC_BUTTON,
                       DFCS_BUTTONRADIO | (checked ? DFCS_FLAT | DFCS_CHECKED : DFCS_FLAT));
    }
    return;
  }
  if (type == u"BUTTON") {
    const int height = sc(MiniHtmlLeadingNumber(AControl.Height));
    const RECT r{x + 2, lb - height, x + width - 2, lb};
    const int state = pressedHere ? PBS_PRESSED : hot ? PBS_HOT : PBS_NORMAL;
    if (!DrawThemed(u"button", BP_PUSHBUTTON, state, r)) {
      RECT fr = r;
      DrawFrameControl(FDC, &fr, DFC_BUTTON, DFCS_BUTTONPUSH | ((hot && pressedHere) ? DFCS_PUSHED : 0));
    }
    ControlText(AControl.Value, RECT{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2},
                DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  }
}

TMiniHtmlFont FontOf(TFont* AFont) {
  TMiniHtmlFont f;
  f.Name = AFont->Name();
  f.Size = AFont->Size();
  const TFontStyles style = AFont->Style();
  f.Bold = style.Contains(fsBold);
  f.Italic = style.Contains(fsItalic);
  f.Underline = style.Contains(fsUnderline);
  f.StrikeOut = style.Contains(fsStrikeOut);
  f.Color = AFont->Color();
  f.Orientation = AFont->Orientation();
  return f;
}

}  // namespace

namespace {

// Text without markup, entities, line breaks or tabs: every run is a word.
bool IsPlainText(const QString& AText) {
  for (const QChar c : AText) {
    const char16_t u = c.unicode();
    if (u == u'<' || u == u'&' || u == u'\r' || u == u'\n' || u == u'\t') return false;
  }
  return true;
}

// Measures plain text as the line layout does, without its machinery: the
// grid measures many plain cells. Lines take words while they fit (a word
// longer than a line stays whole; a run may overflow only at a line's
// start); the widest line without its trailing blank is the width.
void MeasurePlainText(TCanvas* ACanvas, const QString& AText, const TRect& ARect, const TMiniHtmlDrawParams& AParams,
                      TMiniHtmlDrawResult& AResult) {
  HDC dc = ACanvas->Handle();
  const HGDIOBJ previousFont = GetCurrentObject(dc, OBJ_FONT);
  const TMiniHtmlFont base = FontOf(ACanvas->Font());
  {
    TCanvasSurface surface(ACanvas, AParams, base, clNone);
    const int th = surface.TextHeight(base);
    const int left = ARect.Left + 1;
    const int available = std::max(left, ARect.Right) - left;
    const bool wrap = AParams.WordWrap;
    const qsizetype n = AText.size();
    qsizetype pos = 0;
    int width = 0, height = 0, lines = 0;
    bool dropRest = false;
    while (pos < n) {
      int w = 0, blank = 0;
      bool empty = true, endsWithBlank = false;
      while (pos < n) {
        qsizetype end = n;
        if (wrap) {
          const qsizetype b = AText.indexOf(u' ', pos);
          if (b >= 0) end = b + 1;
        }
        const QString run = AText.mid(pos, end - pos);
        const int rw = surface.TextWidth(run, base);
        const int next = w + rw;
        const bool fits = !wrap || rw >= available || next < available || !endsWithBlank;
        if (!fits) break;
        w = next;
        if (!wrap && w > available && empty) dropRest = true;
        AResult.PlainText += run;
        empty = false;
        endsWithBlank = run.endsWith(u' ');
        blank = endsWithBlank ? surface.TextWidth(QStringLiteral(" "), base) : 0;
        pos = end;
      }
      width = std::max(width, std::max(0, w - blank));
      height += th;
      ++lines;
      if (dropRest) break;
    }
    AResult.Width = width;
    AResult.Height = height == 0 ? th : height;
    AResult.LineCount = lines;
  }
  SelectObject(dc, previousFont);
}

}  // namespace

bool DrawMiniHtml(TCanvas* ACanvas, const QString& AText, const TRect& ARect, const TMiniHtmlDrawParams& AParams,
                  TMiniHtmlDrawResult& AResult) {
  AResult = TMiniHtmlDrawResult();
  if (AParams.HitTestOnly) AResult.ControlID = AParams.ControlID;
  if (!ACanvas) return false;
  if (AParams.MeasureOnly && IsPlainText(AText)) {
    MeasurePlainText(ACanvas, AText, ARect, AParams, AResult);
    return false;
  }
  const QString text = PrepareMiniHtml(AText, HtmlKeepLineBreaks());

  HDC dc = ACanvas->Handle();
  // Everything the engine changes in the device context comes back at the
  // end: fonts, pen, brush, colours, background mode, clipping.
  const int saved = SaveDC(dc);
  const TMiniHtmlFont base = FontOf(ACanvas->Font());
  const TColor brushAtCall =
      ACanvas->Brush()->Style() == bsClear ? TColor(clNone) : ACanvas->Brush()->Color();
  TMiniHtmlLayoutResult r;
  {
    TCanvasSurface surface(ACanvas, AParams, base, brushAtCall);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, GetStockObject(NULL_BRUSH));

    TMiniHtmlLayoutParams p;
    p.Engine = mheCanvas;
    p.Rect = QRect(QPoint(ARect.Left, ARect.Top), QPoint(ARect.Right - 1, ARect.Bottom - 1));
    p.Font = base;
    p.Background = brushAtCall;
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
    p.HoverColor = AParams.HoverColor;
    p.HoverFontColor = AParams.HoverFontColor;
    p.HighlightColor = HtmlHighlightColor();
    p.HighlightTextColor = HtmlHighlightTextColor();
    p.ScaleFactor = AParams.ScaleFactor > 0 ? AParams.ScaleFactor : 1.0;
    p.PrintFactor = std::max(1.0, AParams.PrintFactor);
    p.Printing = AParams.Printing;
    p.RightToLeft = surface.Mirror();
    if (AParams.ImageList) {
      p.ImageCount = AParams.ImageList->Count();
      p.ImageSize = QSize(AParams.ImageList->Width(), AParams.ImageList->Height());
    }
    p.PictureSize = [&surface](const TMiniHtmlPictureRef& ARef) { return surface.PictureSize(ARef); };
    r = LayoutMiniHtml(text, p, surface);
  }
  RestoreDC(dc, saved);

  AResult.Anchor = r.Anchor;
  AResult.PlainText = r.PlainText;
  AResult.FocusAnchor = r.FocusAnchor;
  AResult.AnchorTitle = r.Title;
  AResult.Width = r.Width;
  AResult.Height = r.Height;
  AResult.LinkCount = r.LinkCount;
  AResult.HoverLink = r.HoverLink;
  if (!r.HoverRect.isNull())
    AResult.HoverRect = TRect(r.HoverRect.left(), r.HoverRect.top(), r.HoverRect.right() + 1, r.HoverRect.bottom() + 1);
  if (!r.ControlRect.isNull())
    AResult.ControlRect =
        TRect(r.ControlRect.left(), r.ControlRect.top(), r.ControlRect.right() + 1, r.ControlRect.bottom() + 1);
  if (!r.ControlID.isEmpty() || !r.ControlType.isEmpty()) {
    AResult.ControlID = r.ControlID;
    AResult.ControlValue = r.ControlValue;
    AResult.ControlType = r.ControlType;
  }
  AResult.LineCount = r.LineCount;
  return r.Hit;
}

TSize MeasureMiniHtml(TCanvas* ACanvas, const QString& AText, const TRect& ARect, bool AWordWrap,
                      double AScaleFactor) {
  TMiniHtmlDrawParams p;
  p.MeasureOnly = true;
  p.WordWrap = AWordWrap;
  p.ScaleFactor = AScaleFactor;
  TMiniHtmlDrawResult r;
  DrawMiniHtml(ACanvas, AText, ARect, p, r);
  return TSize(r.Width, r.Height);
}
