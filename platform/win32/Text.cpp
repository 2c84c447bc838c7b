// Fonts and text: logical fonts realised as QFonts, text metrics and
// extents, TextOut and ExtTextOut.

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "platform/win32/GdiInternal.h"
#include "platform/win32/LogCategories.h"

namespace gdi {

namespace {

QString FaceName(const LOGFONTW& lf) {
  int n = 0;
  while (n < LF_FACESIZE && lf.lfFaceName[n]) ++n;
  return QString(reinterpret_cast<const QChar*>(lf.lfFaceName), n);
}

// Windows face names mapped to the installed families.
const struct {
  const char* from;
  const char* to;
} kFaceMap[] = {
    {"ms sans serif", "DejaVu Sans"},     {"microsoft sans serif", "DejaVu Sans"},
    {"ms shell dlg", "DejaVu Sans"},      {"ms shell dlg 2", "DejaVu Sans"},
    {"tahoma", "DejaVu Sans"},            {"segoe ui", "DejaVu Sans"},
    {"verdana", "DejaVu Sans"},           {"system", "DejaVu Sans"},
    {"arial", "Liberation Sans"},         {"helvetica", "Liberation Sans"},
    {"times new roman", "Liberation Serif"}, {"times", "Liberation Serif"},
    {"ms serif", "Liberation Serif"},     {"courier new", "Liberation Mono"},
    {"courier", "Liberation Mono"},       {"consolas", "Liberation Mono"},
    {"lucida console", "Liberation Mono"}, {"fixedsys", "Liberation Mono"},
    {"terminal", "Liberation Mono"},
};

QString MapFace(const LOGFONTW& lf) {
  const QString face = FaceName(lf).trimmed().toLower();
  for (const auto& m : kFaceMap)
    if (face == QLatin1String(m.from)) return QString::fromLatin1(m.to);
  if (!face.isEmpty()) return FaceName(lf).trimmed();
  if ((lf.lfPitchAndFamily & 0x3) == FIXED_PITCH || (lf.lfPitchAndFamily & 0xF0) == FF_MODERN)
    return QStringLiteral("Liberation Mono");
  if ((lf.lfPitchAndFamily & 0xF0) == FF_ROMAN) return QStringLiteral("Liberation Serif");
  if ((lf.lfPitchAndFamily & 0xF0) == FF_SWISS) return QStringLiteral("Liberation Sans");
  return QStringLiteral("DejaVu Sans");
}

constexpr int kMaxPixelSize = 4000;

std::shared_ptr<const FontInstance> Realise(const LOGFONTW& lf, double scale) {
  if (lf.lfCharSet != DEFAULT_CHARSET && lf.lfCharSet != ANSI_CHARSET)
    LogNotCovered(lcText(), QStringLiteral("fonts: character set %1 (a family is chosen by face name and pitch, not "
                                           "by character set)")
                                .arg(int(lf.lfCharSet)));
  auto fi = std::make_shared<FontInstance>();
  QFont f;
  f.setFamily(MapFace(lf));
  f.setKerning(false);  // GDI output adds the characters' advances
  f.setItalic(lf.lfItalic != 0);
  f.setUnderline(lf.lfUnderline != 0);
  f.setStrikeOut(lf.lfStrikeOut != 0);
  const int weight = lf.lfWeight <= 0 ? FW_NORMAL : std::clamp<int>(lf.lfWeight, 1, 1000);
  f.setWeight(QFont::Weight(weight));
  if (lf.lfQuality == NONANTIALIASED_QUALITY) f.setStyleStrategy(QFont::NoAntialias);
  else if (lf.lfQuality >= ANTIALIASED_QUALITY) f.setStyleStrategy(QFont::PreferAntialias);
  // Negative height: the character (em) height; positive: the cell height
  // (ascent + descent); zero: a default cell of 16 units.
  const int64_t h = lf.lfHeight == INT32_MIN ? int64_t(1) << 31 : std::abs(int64_t(lf.lfHeight));
  int px;
  if (lf.lfHeight < 0) {
    px = int(std::clamp<double>(std::lround(h * scale), 1, kMaxPixelSize));
  } else {
    const double cell = std::clamp<double>((lf.lfHeight == 0 ? 16 : h) * scale, 1, kMaxPixelSize);
    QFont probe = f;
    probe.setPixelSize(100);
    const QFontMetricsF pm(probe);
    const double ratio = 100.0 / std::max(1.0, pm.ascent() + pm.descent());
    px = std::max(1, int(std::lround(cell * ratio)));
    for (int i = 0; i < 3 && px > 1; ++i) {
      f.setPixelSize(px);
      const QFontMetrics m(f);
      if (m.ascent() + m.descent() <= std::lround(cell)) break;
      --px;
    }
  }
  f.setPixelSize(px);
  if (lf.lfWidth != 0) {
    const QFontMetrics natural(f);
    const double avg = std::max(1, natural.averageCharWidth());
    f.setStretch(std::clamp(int(std::lround(100.0 * std::abs(double(lf.lfWidth)) * scale / avg)), 1, 4000));
  }
  fi->font = f;
  fi->metrics = QFontMetrics(f);
  fi->pixelSize = px;
  fi->family = QFontInfo(f).family();
  const QFontMetrics& m = fi->metrics;
  TEXTMETRICW& tm = fi->tm;
  tm.tmAscent = m.ascent();
  tm.tmDescent = m.descent();
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max(0, tm.tmHeight - px);
  tm.tmExternalLeading = std::max(0, m.leading());
  tm.tmAveCharWidth = m.averageCharWidth() > 0 ? m.averageCharWidth() : m.horizontalAdvance(QLatin1Char('x'));
  tm.tmMaxCharWidth = std::max<LONG>(m.maxWidth(), tm.tmAveCharWidth);
  tm.tmWeight = weight;
  tm.tmOverhang = 0;
  tm.tmDigitizedAspectX = 96;
  tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFFFC;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmItalic = lf.lfItalic ? 1 : 0;
  tm.tmUnderlined = lf.lfUnderline ? 1 : 0;
  tm.tmStruckOut = lf.lfStrikeOut ? 1 : 0;
  // The low bit set means a variable-pitch font.
  const bool fixed = QFontInfo(f).fixedPitch();
  tm.tmPitchAndFamily = BYTE((fixed ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE |
                             (lf.lfPitchAndFamily & 0xF0));
  tm.tmCharSet = lf.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : lf.lfCharSet;
  return fi;
}

}  // namespace

std::shared_ptr<const FontInstance> FontObject::Instance(double scaleY) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (cached_ && cachedScale_ == scaleY) return cached_;
  cached_ = Realise(lf, scaleY);
  cachedScale_ = scaleY;
  return cached_;
}

QString FromWide(LPCWSTR s, int count) {
  if (!s) return QString();
  if (count < 0) {
    count = 0;
    while (s[count]) ++count;
  }
  return QString(reinterpret_cast<const QChar*>(s), count);
}

int TextWidth(const FontInstance& fi, const QString& text, int charExtra) {
  if (text.isEmpty()) return 0;
  return fi.metrics.horizontalAdvance(text) + charExtra * int(text.size());
}

namespace {

// Offsets of the reference point from the text's start on its baseline.
void AlignOffsets(const FontInstance& fi, UINT align, int width, double& dx, double& dy) {
  switch (align & TA_CENTER) {
    case TA_CENTER: dx = -width / 2; break;
    case TA_RIGHT: dx = -width; break;
    default: dx = 0; break;
  }
  switch (align & TA_BASELINE) {
    case TA_BASELINE: dy = 0; break;
    case TA_BOTTOM: dy = -fi.tm.tmDescent; break;
    default: dy = fi.tm.tmAscent; break;
  }
}

double Escapement(const DcObject& dc) {
  const FontObject* f = dc.s.font.get();
  return f ? f->lf.lfEscapement / 10.0 : 0.0;
}

}  // namespace

int DrawTextRun(DcObject& dc, QImage* image, QPointF ref, UINT align, const QString& text,
                const std::optional<QRegion>& clip, bool rtl, bool opaque, bool wantAdvance, int width) {
  auto fi = dc.Font();
  if (!fi) return 0;
  // The width matters for the alignment, the background, right-to-left
  // layout and the caller; plain left-aligned output does without it.
  const bool needWidth = wantAdvance || opaque || rtl || (align & TA_CENTER) != TA_LEFT;
  if (width < 0 && needWidth) width = TextWidth(*fi, text, dc.s.charExtra);
  if (!image || text.isEmpty()) return wantAdvance ? std::max(0, width) : -1;
  double dx, dy;
  AlignOffsets(*fi, align, std::max(0, width), dx, dy);
  const double angle = Escapement(dc);
  ref = QPointF(std::round(ref.x()), std::round(ref.y()));
  if (opaque) {
    const QRectF box(dx, dy - fi->tm.tmAscent, width, fi->tm.tmHeight);
    Target t(image, clip, R2_COPYPEN);
    if (angle == 0) {
      t.FillRect(box.translated(ref).toAlignedRect(), SolidSource(dc.s.bkColor));
    } else {
      QTransform x;
      x.translate(ref.x(), ref.y());
      x.rotate(-angle);
      QPainterPath p;
      p.addPolygon(x.map(QPolygonF(box)));
      p.closeSubpath();
      t.FillMask(PixelMask::FromPath(p, Qt::WindingFill, t.Limit()), SolidSource(dc.s.bkColor));
    }
  }
  QFont font = fi->font;
  if (dc.s.charExtra) font.setLetterSpacing(QFont::AbsoluteSpacing, dc.s.charExtra);
  if (dc.textLayer) {
    // A printer page: the run stays text, written over the pixels later.
    TextLayerRun run;
    run.transform.translate(ref.x(), ref.y());
    if (angle != 0) run.transform.rotate(-angle);
    run.font = font;
    run.color = QColor::fromRgb(ToPixel(dc.s.textColor));
    run.clip = clip;
    run.rtl = rtl;
    run.origin = QPointF(dx, dy);
    run.box = QRectF(dx, dy - fi->tm.tmAscent, std::max(0, width), fi->tm.tmHeight);
    run.text = text;
    dc.textLayer->push_back(std::move(run));
    return wantAdvance ? width : -1;
  }
  QPainter painter(image);
  if (clip) painter.setClipRegion(*clip);
  painter.setFont(font);
  painter.setPen(QColor::fromRgb(ToPixel(dc.s.textColor)));
  painter.setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
  painter.translate(ref);
  if (angle != 0) painter.rotate(-angle);
  if (rtl) {
    // Right-to-left reading: lay the run out in its box with that direction.
    painter.drawText(QRectF(dx, dy - fi->tm.tmAscent, width, fi->tm.tmHeight),
                     Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, text);
  } else {
    painter.drawText(QPointF(dx, dy), text);
  }
  return wantAdvance ? width : -1;
}

void AddTextToPath(DcObject& dc, QPointF ref, UINT align, const QString& text) {
  auto fi = dc.Font();
  if (!fi || text.isEmpty()) return;
  const int width = TextWidth(*fi, text, dc.s.charExtra);
  double dx, dy;
  AlignOffsets(*fi, align, width, dx, dy);
  QPainterPath glyphs;
  glyphs.addText(QPointF(dx, dy), fi->font, text);
  QTransform x;
  x.translate(ref.x(), ref.y());
  x.rotate(-Escapement(dc));
  PathAddPainterPath(dc, x.map(glyphs));
}

}  // namespace gdi

using namespace gdi;

namespace {

// Moves the current position after text output with TA_UPDATECP.
void AdvanceCurrentPosition(DcObject& dc, int deviceWidth) {
  const UINT h = dc.s.textAlign & TA_CENTER;
  if (h == TA_CENTER) return;
  const double angle = dc.s.font ? dc.s.font->lf.lfEscapement / 10.0 * 3.14159265358979323846 / 180 : 0;
  const double len = h == TA_RIGHT ? -deviceWidth : deviceWidth;
  const Mapping m = dc.Map();
  const QPointF d = m.Map(dc.s.cp.x, dc.s.cp.y) + QPointF(len * std::cos(angle), -len * std::sin(angle));
  const QPointF l = m.Unmap(d.x(), d.y());
  dc.s.cp = POINT{LONG(std::lround(l.x())), LONG(std::lround(l.y()))};
}

}  // namespace

QFont QtFontOf(const LOGFONTW& lf) {
  // Qt looks for the face under its own name first: the Windows names the
  // fonts are known by resolve to the families GDI text draws with.
  static const bool substituted = [] {
    for (const auto& m : kFaceMap) QFont::insertSubstitution(QString::fromLatin1(m.from), QString::fromLatin1(m.to));
    return true;
  }();
  (void)substituted;
  const std::shared_ptr<const FontInstance> realised = Realise(lf, 1.0);
  QFont f = realised->font;
  f.setKerning(true);
  const QString face = FaceName(lf).trimmed();
  if (!face.isEmpty()) f.setFamily(face);
  return f;
}

BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* lptm) {
  auto dc = GetDc(hdc);
  if (!dc || !lptm) return FALSE;
  auto fi = dc->Font();
  if (!fi) return FALSE;
  *lptm = fi->tm;
  const double sy = dc->ScaleY(), sx = dc->ScaleX();
  if (sy != 1 || sx != 1) {
    auto ly = [&](LONG v) { return LONG(std::lround(v / sy)); };
    auto lx = [&](LONG v) { return LONG(std::lround(v / sx)); };
    lptm->tmHeight = ly(lptm->tmHeight);
    lptm->tmAscent = ly(lptm->tmAscent);
    lptm->tmDescent = ly(lptm->tmDescent);
    lptm->tmInternalLeading = ly(lptm->tmInternalLeading);
    lptm->tmExternalLeading = ly(lptm->tmExternalLeading);
    lptm->tmAveCharWidth = lx(lptm->tmAveCharWidth);
    lptm->tmMaxCharWidth = lx(lptm->tmMaxCharWidth);
  }
  return TRUE;
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, LPSIZE psizl) {
  auto dc = GetDc(hdc);
  if (!dc || !psizl || c < 0 || (c > 0 && !lpString)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto fi = dc->Font();
  if (!fi) return FALSE;
  const int w = TextWidth(*fi, FromWide(lpString, c), dc->s.charExtra);
  psizl->cx = LONG(std::lround(w / dc->ScaleX()));
  psizl->cy = LONG(std::lround(fi->tm.tmHeight / dc->ScaleY()));
  return TRUE;
}

BOOL GetTextExtentExPointW(HDC hdc, LPCWSTR lpszString, int cchString, int nMaxExtent, LPINT lpnFit,
                           LPINT lpnDx, LPSIZE lpSize) {
  auto dc = GetDc(hdc);
  if (!dc || !lpSize || cchString < 0 || (cchString > 0 && !lpszString)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto fi = dc->Font();
  if (!fi) return FALSE;
  const QString text = FromWide(lpszString, cchString);
  const double sx = dc->ScaleX();
  // Partial extents: the advance after each character.
  std::vector<int> extents(size_t(text.size()));
  if (!text.isEmpty()) {
    QTextLayout layout(text, fi->font);
    QTextOption opt;
    opt.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(opt);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e9);
    layout.endLayout();
    for (int i = 0; i < text.size(); ++i) {
      int pos = i + 1;
      if (pos < text.size() && text[pos].isLowSurrogate()) pos = std::min<int>(int(text.size()), pos + 1);
      const double x = line.cursorToX(pos);
      extents[size_t(i)] = int(std::lround(std::abs(x))) + dc->s.charExtra * (i + 1);
    }
    for (size_t i = 1; i < extents.size(); ++i) extents[i] = std::max(extents[i], extents[i - 1]);
  }
  int fit = int(extents.size());
  if (lpnFit) {
    const double maxDevice = nMaxExtent * sx;
    fit = 0;
    while (fit < int(extents.size()) && extents[size_t(fit)] <= maxDevice) ++fit;
    *lpnFit = fit;
  }
  if (lpnDx)
    for (int i = 0; i < fit; ++i) lpnDx[i] = int(std::lround(extents[size_t(i)] / sx));
  lpSize->cx = LONG(std::lround(TextWidth(*fi, text, dc->s.charExtra) / sx));
  lpSize->cy = LONG(std::lround(fi->tm.tmHeight / dc->ScaleY()));
  return TRUE;
}

int GetTextFaceW(HDC hdc, int c, LPWSTR lpName) {
  auto dc = GetDc(hdc);
  if (!dc) return 0;
  auto fi = dc->Font();
  if (!fi) return 0;
  const QString name = fi->family;
  if (!lpName) return int(name.size()) + 1;
  if (c <= 0) return 0;
  const int n = std::min<int>(c - 1, int(name.size()));
  for (int i = 0; i < n; ++i) lpName[i] = name[i].unicode();
  lpName[n] = 0;
  return n + 1;
}

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR lpString, int c) {
  return ExtTextOutW(hdc, x, y, 0, nullptr, lpString, c < 0 ? UINT(0xFFFFFFFF) : UINT(c), nullptr);
}

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCWSTR lpString, UINT c,
                 const INT* lpDx) {
  auto dc = GetDc(hdc);
  if (!dc) return FALSE;
  if (options & ETO_GLYPH_INDEX)
    LogNotCovered(lcText(), QStringLiteral("ExtTextOut: ETO_GLYPH_INDEX (glyph indices are refused)"));
  if (c > 0x7FFFFFFF || (c > 0 && !lpString) || (options & ETO_GLYPH_INDEX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const QString text = FromWide(lpString, int(c));
  const Mapping m = dc->Map();
  const bool updateCp = dc->s.textAlign & TA_UPDATECP;
  const QPointF ref = updateCp ? m.Map(dc->s.cp.x, dc->s.cp.y) : m.Map(x, y);
  const bool rtl = (options & ETO_RTLREADING) || (dc->s.textAlign & TA_RTLREADING);
  if (dc->InPath()) {
    AddTextToPath(*dc, ref, dc->s.textAlign, text);
    return TRUE;
  }
  SurfaceAccess access(*dc, true);
  QImage* image = access.image();
  std::optional<QRegion> clip = dc->s.clip;
  if (lprect) {
    const QRect r = m.MapRect(lprect->left, lprect->top, lprect->right, lprect->bottom);
    if ((options & ETO_OPAQUE) && image) Target(image, dc->s.clip, R2_COPYPEN).FillRect(r, SolidSource(dc->s.bkColor));
    if (options & ETO_CLIPPED) clip = clip ? clip->intersected(r) : QRegion(r);
  }
  auto fi = dc->Font();
  if (!fi || text.isEmpty()) return TRUE;
  const bool opaque = dc->s.bkMode == OPAQUE && !(options & ETO_OPAQUE);
  int advance;
  if (!lpDx) {
    advance = DrawTextRun(*dc, image, ref, dc->s.textAlign, text, clip, rtl, opaque, updateCp);
  } else {
    // Characters placed at the given advances (logical units).
    const int step = (options & ETO_PDY) ? 2 : 1;
    std::vector<double> pos;
    double total = 0;
    for (int i = 0; i < text.size(); ++i) {
      pos.push_back(total);
      total += lpDx[size_t(i) * step] * m.sx;
    }
    advance = int(std::lround(std::abs(total)));
    double dx = 0;
    switch (dc->s.textAlign & TA_CENTER) {
      case TA_CENTER: dx = -total / 2; break;
      case TA_RIGHT: dx = -total; break;
      default: break;
    }
    const double angle = dc->s.font ? dc->s.font->lf.lfEscapement / 10.0 * 3.14159265358979323846 / 180 : 0;
    const QPointF dir(std::cos(angle), -std::sin(angle));
    const UINT vAlign = dc->s.textAlign & TA_BASELINE;
    if (opaque && image && angle == 0) {
      const QPointF start = ref + dir * dx;
      const double top = start.y() - fi->tm.tmAscent +
                         (vAlign == TA_BASELINE ? 0 : (vAlign == TA_BOTTOM ? -fi->tm.tmDescent : fi->tm.tmAscent));
      Target(image, clip, R2_COPYPEN)
          .FillRect(QRectF(start.x(), top, total, fi->tm.tmHeight).toAlignedRect(), SolidSource(dc->s.bkColor));
    }
    for (int i = 0; i < text.size(); ++i) {
      if (text[i].isLowSurrogate()) continue;
      const int len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
      QPointF p = ref + dir * (dx + pos[size_t(i)]);
      if (options & ETO_PDY) {
        double dy = 0;
        for (int k = 0; k < i; ++k) dy += lpDx[size_t(k) * 2 + 1] * m.sy;
        p += QPointF(0, dy);
      }
      DrawTextRun(*dc, image, p, vAlign, text.mid(i, len), clip, rtl, false, false);
    }
  }
  if (updateCp) AdvanceCurrentPosition(*dc, advance);
  return TRUE;
}
