// DrawText and DrawTextEx: prefixes, tabs, line breaking as an edit control
// does it, ellipses, alignment, measuring (DT_CALCRECT) and drawing.

#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/win32/GdiInternal.h"

using namespace gdi;

namespace {

const QString kEllipsis = QStringLiteral("...");

// The text after prefix processing, with the original index of every
// character (and of the end) and the characters to underline.
struct Prepared {
  QString text;
  std::vector<int> orig;
  std::vector<bool> underline;
};

Prepared Prepare(const QString& s, bool prefixes) {
  Prepared p;
  p.text.reserve(s.size());
  bool pendingUnderline = false;
  for (int i = 0; i < s.size(); ++i) {
    if (prefixes && s[i] == QLatin1Char('&')) {
      if (i + 1 < s.size() && s[i + 1] == QLatin1Char('&')) {
        p.text.append(QLatin1Char('&'));  // "&&" shows one "&"
        p.orig.push_back(i);
        p.underline.push_back(pendingUnderline);
        pendingUnderline = false;
        ++i;
      } else {
        pendingUnderline = true;  // "&x" underlines x; a final "&" shows nothing
      }
      continue;
    }
    p.text.append(s[i]);
    p.orig.push_back(i);
    p.underline.push_back(pendingUnderline);
    pendingUnderline = false;
  }
  p.orig.push_back(int(s.size()));
  return p;
}

struct Line {
  int start = 0, end = 0;  // range of the prepared text
  int cutStart = -1, cutEnd = -1;  // range replaced by the ellipsis
  bool forcedEllipsis = false;
  QString text;  // what is drawn
  std::vector<int> underlines;  // indices into text
  int width = 0;
};

Line MakeLine(int a, int b) {
  Line l;
  l.start = a;
  l.end = b;
  return l;
}

class Measure {
 public:
  Measure(const FontInstance& fi, int extra, bool expandTabs, int tabWidth, bool singleLine)
      : fi_(fi), extra_(extra), expandTabs_(expandTabs), tabWidth_(std::max(1, tabWidth)),
        singleLine_(singleLine) {}

  bool IsSeparator(QChar c) const {
    return c == QLatin1Char('\t') || (singleLine_ && (c == QLatin1Char('\r') || c == QLatin1Char('\n')));
  }
  int Advance(const QString& s, int a, int b) const {
    if (b <= a) return 0;
    return fi_.metrics.horizontalAdvance(s.mid(a, b - a)) + extra_ * (b - a);
  }
  int NextStop(int x) const { return expandTabs_ ? (x / tabWidth_ + 1) * tabWidth_ : x; }
  // Width of s[a, b) laid out from a, tabs stopping at their stops and
  // other separators taking no room.
  int X(const QString& s, int a, int b) const {
    int x = 0, p = a;
    for (int i = a; i < b; ++i) {
      if (!IsSeparator(s[i])) continue;
      x += Advance(s, p, i);
      if (s[i] == QLatin1Char('\t')) x = NextStop(x);
      p = i + 1;
    }
    return x + Advance(s, p, b);
  }
  // The largest m in [a, b] with fits(m), fits being monotone; a when none.
  template <class F>
  int LargestFitting(const QString& s, int a, int b, F&& fits) const {
    int lo = a, hi = b;
    while (lo < hi) {
      const int mid = lo + (hi - lo + 1) / 2;
      if (fits(mid)) lo = mid;
      else hi = mid - 1;
    }
    if (lo > a && lo < b && s[lo].isLowSurrogate()) --lo;  // never between a surrogate pair
    return lo;
  }

 private:
  const FontInstance& fi_;
  int extra_;
  bool expandTabs_;
  int tabWidth_;
  bool singleLine_;
};

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// Breaks s[a, b) into lines of at most width w: at blanks (the blanks at a
// break are dropped); a word longer than a line stays whole, or with
// characterBreak is broken between characters. Stops at maxLines lines.
void WrapLine(const Measure& m, const QString& s, int a, int b, int w, bool characterBreak,
              std::vector<Line>& out, size_t maxLines) {
  int pos = a;
  do {
    if (out.size() >= maxLines) return;
    const int lineStart = pos;
    int fitEnd = -1, fitNext = -1;
    int i = lineStart;
    bool broke = false;
    while (i < b) {
      int j = i;
      while (j < b && !IsBlank(s[j])) ++j;
      int k = j;
      while (k < b && IsBlank(s[k])) ++k;
      if (m.X(s, lineStart, j) <= w) {
        fitEnd = j;
        fitNext = k;
        i = k;
        continue;
      }
      if (fitEnd > lineStart) {
        out.push_back(MakeLine(lineStart, fitEnd));
        pos = fitNext;
      } else if (characterBreak) {
        // The word alone is too long: as many characters as fit, at least one.
        int cut = m.LargestFitting(s, i, j, [&](int e) { return m.X(s, lineStart, e) <= w; });
        if (cut <= i) cut = std::min(j, i + ((s[i].isHighSurrogate() && i + 1 < j) ? 2 : 1));
        out.push_back(MakeLine(lineStart, cut));
        pos = cut;
        if (pos == j) pos = k;
      } else {
        out.push_back(MakeLine(lineStart, j));
        pos = k;
      }
      broke = true;
      break;
    }
    if (!broke) {
      out.push_back(MakeLine(lineStart, b));
      pos = b;
    }
  } while (pos < b);
}

int ScaleToLogical(double v, double scale) { return int(std::lround(v / scale)); }

struct Result {
  int height = 0;
  bool modified = false;
  QString modifiedText;
  UINT lengthDrawn = 0;
};

bool DrawTextCore(HDC hdc, const QString& original, LPRECT rc, UINT format, const DRAWTEXTPARAMS* params,
                  Result& result) {
  auto dc = GetDc(hdc);
  if (!dc || !rc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  int tabChars = 8;
  if (format & DT_TABSTOP) {
    // The tab length shares its bits with other flags, which then do not apply.
    tabChars = int((format >> 8) & 0xFF);
    format &= ~0xFF00u;
    if (tabChars == 0) tabChars = 8;
  }
  if (params && params->iTabLength > 0) tabChars = params->iTabLength;
  std::shared_ptr<const FontInstance> fi;
  if (format & DT_INTERNAL) {
    if (QGuiApplication::instance())
      fi = std::static_pointer_cast<FontObject>(StockObject(SYSTEM_FONT))->Instance(dc->ScaleY());
  } else {
    fi = dc->Font();
  }
  if (!fi) return false;
  const Mapping map = dc->Map();
  const double sx = std::abs(map.sx), sy = std::abs(map.sy);
  const QRect d = map.MapRect(rc->left, rc->top, rc->right, rc->bottom);
  const int leftMargin = params ? int(std::lround(params->iLeftMargin * sx)) : 0;
  const int rightMargin = params ? int(std::lround(params->iRightMargin * sx)) : 0;
  const int left = d.left() + leftMargin;
  const int right = d.right() + 1 - rightMargin;
  const int top = d.top(), bottom = d.bottom() + 1;
  const int width = right - left;
  const bool single = format & DT_SINGLELINE;
  const int lineHeight = fi->tm.tmHeight + ((format & DT_EXTERNALLEADING) ? fi->tm.tmExternalLeading : 0);

  result.lengthDrawn = UINT(original.size());
  if (original.isEmpty()) {
    if (format & DT_CALCRECT) {
      rc->right = rc->left + (params ? params->iLeftMargin + params->iRightMargin : 0);
      rc->bottom = rc->top;
    }
    result.height = 0;
    return true;
  }

  const Prepared prep = Prepare(original, !(format & DT_NOPREFIX));
  const QString& s = prep.text;
  const Measure m(*fi, dc->s.charExtra, format & DT_EXPANDTABS, tabChars * fi->tm.tmAveCharWidth, single);

  const bool calc = format & DT_CALCRECT;
  const bool clip = !(format & DT_NOCLIP);
  // An edit control shows no partly visible last line: lines past the first
  // hidden one need no layout.
  const bool editCut = (format & DT_EDITCONTROL) && !single && !calc && clip;
  const size_t visibleLines = size_t(std::max(1, (bottom - top) / std::max(1, lineHeight)));
  const size_t maxLines = editCut ? visibleLines + 1 : SIZE_MAX;

  // Lines: hard breaks (CR LF, CR, LF) unless single-line, then wrapping.
  std::vector<Line> lines;
  {
    std::vector<std::pair<int, int>> hard;
    if (single) {
      hard.emplace_back(0, int(s.size()));
    } else {
      int a = 0;
      for (int i = 0; i < s.size(); ++i) {
        if (s[i] != QLatin1Char('\r') && s[i] != QLatin1Char('\n')) continue;
        hard.emplace_back(a, i);
        if (s[i] == QLatin1Char('\r') && i + 1 < s.size() && s[i + 1] == QLatin1Char('\n')) ++i;
        a = i + 1;
      }
      if (a < s.size()) hard.emplace_back(a, int(s.size()));
    }
    const bool wrap = (format & DT_WORDBREAK) && !single;
    for (const auto& [a, b] : hard) {
      if (lines.size() >= maxLines) break;
      if (wrap && b > a) WrapLine(m, s, a, b, width, format & DT_EDITCONTROL, lines, maxLines);
      else lines.push_back(MakeLine(a, b));
    }
  }
  bool verticalCut = false;
  if (editCut && lines.size() > visibleLines) {
    lines.resize(visibleLines);
    verticalCut = true;
  }

  // Ellipses.
  const UINT ellipsis = format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS);
  const int ellipsisWidth = m.Advance(kEllipsis, 0, int(kEllipsis.size()));
  for (size_t li = 0; li < lines.size(); ++li) {
    Line& line = lines[li];
    const bool last = li + 1 == lines.size();
    const bool forced = verticalCut && last && (ellipsis & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS));
    if (!forced && !ellipsis) continue;
    if (!forced && (ellipsis & DT_END_ELLIPSIS) && !(ellipsis & (DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)) && !last)
      continue;  // end ellipsis: only where the text ends
    if (!forced && m.X(s, line.start, line.end) <= width) continue;
    const int a = line.start, b = line.end;
    if ((ellipsis & DT_PATH_ELLIPSIS) && !forced) {
      const int slash = int(s.lastIndexOf(QLatin1Char('\\'), b - 1));
      if (slash > a) {
        const int tail = m.X(s, slash, b);
        line.cutStart = m.LargestFitting(s, a, slash, [&](int e) { return m.X(s, a, e) + ellipsisWidth + tail <= width; });
        line.cutEnd = slash;
        continue;
      }
    }
    line.cutStart = m.LargestFitting(s, a, b, [&](int e) { return m.X(s, a, e) + ellipsisWidth <= width; });
    line.cutEnd = forced ? int(s.size()) : b;
    line.forcedEllipsis = forced;
  }

  // The drawn text of each line.
  int maxWidth = 0;
  const bool calcNeedsWidths = calc || (format & (DT_CENTER | DT_RIGHT));
  for (Line& line : lines) {
    if (line.cutStart < 0) {
      line.text = s.mid(line.start, line.end - line.start);
      for (int i = line.start; i < line.end; ++i)
        if (prep.underline[size_t(i)]) line.underlines.push_back(i - line.start);
    } else {
      const int tailEnd = std::max(line.cutEnd, line.end);
      const int tailStart = std::min(line.cutEnd, line.end);
      line.text = s.mid(line.start, line.cutStart - line.start) + kEllipsis + s.mid(tailStart, line.end - tailStart);
      for (int i = line.start; i < line.cutStart; ++i)
        if (prep.underline[size_t(i)]) line.underlines.push_back(i - line.start);
      for (int i = tailStart; i < line.end && i < tailEnd; ++i)
        if (prep.underline[size_t(i)]) line.underlines.push_back(line.cutStart - line.start + 3 + i - tailStart);
    }
    // Left-aligned drawing needs no widths.
    if (calcNeedsWidths) {
      line.width = m.X(line.text, 0, int(line.text.size()));
      maxWidth = std::max(maxWidth, line.width);
    }
  }

  const int textHeight = int(lines.size()) * lineHeight;
  int y0 = top;
  if (single) {
    if (format & DT_VCENTER) y0 = top + (bottom - top - lineHeight) / 2;
    else if (format & DT_BOTTOM) y0 = bottom - lineHeight;
  }

  // What DT_MODIFYSTRING writes back: the first shortened line.
  for (const Line& line : lines) {
    if (line.cutStart < 0) continue;
    const int oCut = prep.orig[size_t(line.cutStart)];
    const int oTail = prep.orig[size_t(std::min<int>(line.cutEnd, int(s.size())))];
    result.modifiedText = original.left(oCut) + kEllipsis + original.mid(oTail);
    result.modified = true;
    break;
  }

  if (calc) {
    const int logicalWidth = ScaleToLogical(maxWidth, sx);
    rc->right = rc->left + (params ? params->iLeftMargin : 0) + logicalWidth + (params ? params->iRightMargin : 0);
    const int h = ScaleToLogical(textHeight, sy);
    rc->bottom = map.sy < 0 ? rc->top - h : rc->top + h;
    result.height = h;
    return true;
  }

  // Characters processed: up to the first line below the rectangle.
  if (clip) {
    for (const Line& line : lines) {
      const int y = y0 + int(&line - lines.data()) * lineHeight;
      if (y >= bottom) {
        result.lengthDrawn = UINT(prep.orig[size_t(line.start)]);
        break;
      }
    }
    if (verticalCut && !lines.empty() && !lines.back().forcedEllipsis)
      result.lengthDrawn = UINT(prep.orig[size_t(lines.back().end)]);
  }

  SurfaceAccess access(*dc, true);
  QImage* image = access.image();
  if (image) {
    std::optional<QRegion> region = dc->s.clip;
    if (clip) region = region ? region->intersected(d) : QRegion(d);
    const bool rtl = format & DT_RTLREADING;
    const bool opaque = dc->s.bkMode == OPAQUE;
    const bool drawText = !(format & DT_PREFIXONLY);
    const bool drawUnderlines = !(format & DT_HIDEPREFIX) && !(format & DT_NOPREFIX);
    const bool rotated = dc->s.font && dc->s.font->lf.lfEscapement != 0 && !(format & DT_INTERNAL);
    // DT_INTERNAL draws with the system font.
    ObjRef<FontObject> savedFont;
    if (format & DT_INTERNAL) {
      savedFont = dc->s.font;
      dc->s.font = ObjRef<FontObject>(std::static_pointer_cast<FontObject>(StockObject(SYSTEM_FONT)));
    }
    for (size_t li = 0; li < lines.size(); ++li) {
      const Line& line = lines[li];
      const int y = y0 + int(li) * lineHeight;
      int x = left;
      if (format & DT_CENTER) x = left + (width - line.width) / 2;
      else if (format & DT_RIGHT) x = right - line.width;
      const QString& t = line.text;
      if (drawText) {
        int p = 0;
        for (int i = 0; i <= t.size(); ++i) {
          if (i < t.size() && !m.IsSeparator(t[i])) continue;
          if (i > p) {
            const int px = p == 0 ? 0 : m.X(t, 0, p);
            DrawTextRun(*dc, image, QPointF(x + px, y), TA_LEFT | TA_TOP, t.mid(p, i - p), region, rtl, opaque,
                        false);
          }
          p = i + 1;
        }
      }
      if (drawUnderlines && !rotated && !line.underlines.empty()) {
        const int uy = y + fi->tm.tmAscent + std::max(1, fi->metrics.underlinePos());
        const int thick = std::max(1, fi->metrics.lineWidth());
        const Target target(image, region, R2_COPYPEN);
        for (int u : line.underlines) {
          if (u < 0 || u >= t.size() || m.IsSeparator(t[u])) continue;
          const int len = (t[u].isHighSurrogate() && u + 1 < t.size()) ? 2 : 1;
          const int ux = x + m.X(t, 0, u);
          const int uw = std::max(1, m.Advance(t, u, u + len));
          target.FillRect(QRect(ux, uy, uw, thick), SolidSource(dc->s.textColor));
        }
      }
    }
    if (format & DT_INTERNAL) dc->s.font = savedFont;
  }
  if (single && (format & (DT_VCENTER | DT_BOTTOM))) result.height = ScaleToLogical(y0 - top + lineHeight, sy);
  else result.height = ScaleToLogical(textHeight, sy);
  return true;
}

}  // namespace

int DrawTextW(HDC hdc, LPCWSTR lpchText, int cchText, LPRECT lprc, UINT format) {
  if (!lpchText && cchText != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Result r;
  if (!DrawTextCore(hdc, FromWide(lpchText, cchText), lprc, format & ~DT_MODIFYSTRING, nullptr, r)) return 0;
  return r.height;
}

int DrawTextExW(HDC hdc, LPWSTR lpchText, int cchText, LPRECT lprc, UINT format, LPDRAWTEXTPARAMS lpdtp) {
  if ((!lpchText && cchText != 0) || (lpdtp && lpdtp->cbSize != sizeof(DRAWTEXTPARAMS))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const QString text = FromWide(lpchText, cchText);
  Result r;
  if (!DrawTextCore(hdc, text, lprc, format, lpdtp, r)) return 0;
  if (lpdtp) lpdtp->uiLengthDrawn = r.lengthDrawn;
  if ((format & DT_MODIFYSTRING) && r.modified && lpchText) {
    // Never more than the caller's characters (and their terminator when
    // the text was null-terminated) are written.
    const int capacity = cchText < 0 ? int(text.size()) : cchText;
    const int n = std::min<int>(capacity, int(r.modifiedText.size()));
    for (int i = 0; i < n; ++i) lpchText[i] = r.modifiedText[i].unicode();
    if (n < capacity || cchText < 0) lpchText[n] = 0;
  }
  return r.height;
}
