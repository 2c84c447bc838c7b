// The style manager, the style services of the defined styles and of the
// system style, the style painter and the application palette.

#include "platform/vcl/Themes.h"

#include "platform/vcl/Graphics.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPalette>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "platform/vcl/LogCategories.h"
#include "platform/vcl/StyleDefinitions.h"
#include "platform/win32/Theme.h"

using namespace vclstyles;

// The compiled-in style definitions live in a static library, so their
// resource initialiser has to be called explicitly.
static void InitStyleResources() { Q_INIT_RESOURCE(TfStyles); }

namespace {

constexpr TColor kSystemColorBase = TColor(0xFF000000u);

TColor SysColorConstant(int index) { return TColor(0xFF000000u | uint32_t(index)); }

QColor ToQColor(TColor c) {
  const COLORREF v = COLORREF(c);
  return QColor(GetRValue(v), GetGValue(v), GetBValue(v));
}

// Looks within a family, decoded from the details.
int LookOf(int state) { return (state - 1) % 4; }  // 0 normal, 1 hot, 2 pressed, 3 disabled

// ---------------------------------------------------------------------------
// Drawing helpers over the DC's own brush and pen (no objects are created).

class Painter {
 public:
  explicit Painter(HDC dc) : dc_(dc) {
    SetROP2(dc_, R2_COPYPEN);
    SelectObject(dc_, GetStockObject(DC_BRUSH));
    SelectObject(dc_, GetStockObject(DC_PEN));
  }

  void Fill(const RECT& r, TColor c) const {
    if (c == kNoColor || r.right <= r.left || r.bottom <= r.top) return;
    SetDCBrushColor(dc_, COLORREF(c));
    PatBlt(dc_, r.left, r.top, r.right - r.left, r.bottom - r.top, PATCOPY);
  }
  // Top to bottom (vertical) or left to right, one band per colour step.
  void Gradient(const RECT& r, TColor from, TColor to, bool vertical = true) const {
    if (from == kNoColor || to == kNoColor) return Fill(r, from == kNoColor ? to : from);
    const int n = vertical ? r.bottom - r.top : r.right - r.left;
    if (n <= 0 || r.right <= r.left || r.bottom <= r.top) return;
    auto at = [&](int i) { return n > 1 ? Blend(from, to, double(i) / (n - 1)) : from; };
    int start = 0;
    TColor run = at(0);
    for (int i = 1; i <= n; ++i) {
      const TColor c = i < n ? at(i) : run;
      if (i < n && c == run) continue;
      Fill(vertical ? RECT{r.left, r.top + start, r.right, r.top + i} : RECT{r.left + start, r.top, r.left + i, r.bottom},
           run);
      start = i;
      run = c;
    }
  }
  void HLine(int x1, int x2, int y, TColor c) const { Fill(RECT{x1, y, x2, y + 1}, c); }
  void VLine(int x, int y1, int y2, TColor c) const { Fill(RECT{x, y1, x + 1, y2}, c); }
  void Frame(const RECT& r, TColor c) const {
    if (c == kNoColor || r.right - r.left < 1 || r.bottom - r.top < 1) return;
    HLine(r.left, r.right, r.top, c);
    HLine(r.left, r.right, r.bottom - 1, c);
    VLine(r.left, r.top, r.bottom, c);
    VLine(r.right - 1, r.top, r.bottom, c);
  }
  // A frame with its four corner pixels left out.
  void RoundFrame(const RECT& r, TColor c) const {
    if (c == kNoColor || r.right - r.left < 3 || r.bottom - r.top < 3) return Frame(r, c);
    HLine(r.left + 1, r.right - 1, r.top, c);
    HLine(r.left + 1, r.right - 1, r.bottom - 1, c);
    VLine(r.left, r.top + 1, r.bottom - 1, c);
    VLine(r.right - 1, r.top + 1, r.bottom - 1, c);
  }
  void Polygon(const POINT* pts, int n, TColor c) const {
    if (c == kNoColor) return;
    SetDCBrushColor(dc_, COLORREF(c));
    SetDCPenColor(dc_, COLORREF(c));
    ::Polygon(dc_, pts, n);
  }
  void Ellipse(const RECT& r, TColor fill, TColor border) const {
    if (fill == kNoColor && border == kNoColor) return;
    SetDCBrushColor(dc_, COLORREF(fill == kNoColor ? border : fill));
    SetDCPenColor(dc_, COLORREF(border == kNoColor ? fill : border));
    ::Ellipse(dc_, r.left, r.top, r.right, r.bottom);
  }
  void Polyline(const POINT* pts, int n, TColor c) const {
    if (c == kNoColor) return;
    SetDCPenColor(dc_, COLORREF(c));
    ::Polyline(dc_, pts, n);
  }

  // A triangle pointing up (0), down (1), left (2) or right (3), centred.
  void Arrow(const RECT& r, int direction, TColor c) const {
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int s = std::max(2, std::min(w, h) / 4);  // half the base
    const int cx = r.left + w / 2, cy = r.top + h / 2;
    const int d = s / 2;
    POINT p[3];
    switch (direction) {
      case 0: p[0] = {cx - s, cy + d}; p[1] = {cx + s, cy + d}; p[2] = {cx, cy + d - s}; break;
      case 1: p[0] = {cx - s, cy - d}; p[1] = {cx + s, cy - d}; p[2] = {cx, cy - d + s}; break;
      case 2: p[0] = {cx + d, cy - s}; p[1] = {cx + d, cy + s}; p[2] = {cx + d - s, cy}; break;
      default: p[0] = {cx - d, cy - s}; p[1] = {cx - d, cy + s}; p[2] = {cx - d + s, cy}; break;
    }
    Polygon(p, 3, c);
  }

 private:
  HDC dc_;
};

RECT Inset(const RECT& r, int dx, int dy) { return RECT{r.left + dx, r.top + dy, r.right - dx, r.bottom - dy}; }

// The largest square centred in r.
RECT CenteredSquare(const RECT& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int side = std::max(0, std::min(w, h));
  const int x = r.left + (w - side) / 2, y = r.top + (h - side) / 2;
  return RECT{x, y, x + side, y + side};
}

void PaintRaised(const Painter& p, const RECT& r, const ElementColors& c, bool rounded) {
  p.Gradient(Inset(r, 1, 1), c.gradient1, c.gradient2);
  if (rounded) p.RoundFrame(r, c.border);
  else p.Frame(r, c.border);
}

// ---------------------------------------------------------------------------
// Margins of the content inside each element.

RECT ContentMargins(const TThemedElementDetails& d) {
  switch (d.Element) {
    case teButton: return d.Part == 2 || d.Part == 3 ? RECT{1, 1, 1, 1} : RECT{3, 3, 3, 3};
    case teCategoryButtons: return RECT{3, 3, 3, 3};
    case teComboBox: return RECT{2, 2, 2, 2};
    case teEdit: return d.Part == 3 ? RECT{0, 0, 0, 0} : RECT{2, 2, 2, 2};
    case teGrid: return RECT{2, 1, 2, 1};
    case teHeader: return d.Part == 4 ? RECT{0, 0, 0, 0} : RECT{4, 2, 4, 2};
    case teProgress: return d.Part <= 2 ? RECT{1, 1, 1, 1} : RECT{0, 0, 0, 0};
    case teScrollBar: return RECT{1, 1, 1, 1};
    case teTab: return d.Part == 1 ? RECT{4, 2, 4, 2} : RECT{2, 2, 2, 2};
    case teToolBar: return d.Part == 1 ? RECT{3, 3, 3, 3} : RECT{0, 0, 0, 0};
  }
  return RECT{0, 0, 0, 0};
}

// ---------------------------------------------------------------------------
// Styles

// A style made from a style definition.
class TCustomStyle final : public TCustomStyleServices {
 public:
  explicit TCustomStyle(const StyleDefinition& definition)
      : name_(definition.name),
        description_(definition.description),
        author_(definition.author),
        tables_(std::make_shared<const StyleTables>(BuildStyleTables(definition))) {}

  QString Name() const override { return name_; }
  QString Description() const override { return description_; }
  QString Author() const override { return author_; }
  bool Enabled() const override { return true; }
  bool Available() const override { return true; }
  bool IsSystemStyle() const override { return false; }

 protected:
  std::shared_ptr<const StyleTables> Tables() const override { return tables_; }

 private:
  QString name_, description_, author_;
  std::shared_ptr<const StyleTables> tables_;
};

// The system style: the system colour table's colours, painted by the visual
// themes (or classic GDI while they are off).
class TUxThemeStyle final : public TCustomStyleServices {
 public:
  QString Name() const override { return QStringLiteral("Windows"); }
  QString Description() const override { return QStringLiteral("The system colours"); }
  bool Enabled() const override { return IsThemeActive() != FALSE; }
  bool Available() const override { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }
  bool IsSystemStyle() const override { return true; }

 protected:
  // Rebuilt whenever the system colour table changed since the last call.
  std::shared_ptr<const StyleTables> Tables() const override {
    std::array<DWORD, kSysColorCount> now{};
    for (int i = 0; i < kSysColorCount; ++i) now[size_t(i)] = GetSysColor(i);
    std::lock_guard<std::mutex> lock(mutex_);
    if (!tables_ || now != snapshot_) {
      snapshot_ = now;
      tables_ = std::make_shared<const StyleTables>(BuildStyleTables(SystemStyleDefinition()));
    }
    return tables_;
  }

  void PaintElement(HDC dc, const TThemedElementDetails& d, const RECT& r) const override;

 private:
  mutable std::mutex mutex_;
  mutable std::array<DWORD, kSysColorCount> snapshot_{};
  mutable std::shared_ptr<const StyleTables> tables_;
};

// The theme class of a family, nullptr where the themes have none.
const char16_t* ThemeClassOf(TThemedElement e) {
  switch (e) {
    case teButton: return u"BUTTON";
    case teComboBox: return u"COMBOBOX";
    case teEdit: return u"EDIT";
    case teHeader: return u"HEADER";
    case teProgress: return u"PROGRESS";
    case teScrollBar: return u"SCROLLBAR";
    default: return nullptr;
  }
}

// Edit background and border states in the text field's numbering, which
// the theme functions paint.
int ThemeStateOf(const TThemedElementDetails& d) {
  if (d.Element == teEdit && d.Part == EP_BACKGROUND) {
    const int map[] = {ETS_NORMAL, ETS_HOT, ETS_DISABLED, ETS_FOCUSED, ETS_READONLY};
    return d.State >= 1 && d.State <= 5 ? map[d.State - 1] : ETS_NORMAL;
  }
  if (d.Element == teEdit && d.Part == EP_EDITBORDER_NOSCROLL) {
    const int map[] = {ETS_NORMAL, ETS_HOT, ETS_FOCUSED, ETS_DISABLED};
    return d.State >= 1 && d.State <= 4 ? map[d.State - 1] : ETS_NORMAL;
  }
  return d.State;
}

void TUxThemeStyle::PaintElement(HDC dc, const TThemedElementDetails& d, const RECT& rect) const {
  if (IsThemeActive()) {
    if (const char16_t* cls = ThemeClassOf(d.Element)) {
      if (HTHEME theme = OpenThemeData(nullptr, cls)) {
        const HRESULT hr = DrawThemeBackground(theme, dc, d.Part, ThemeStateOf(d), &rect, nullptr);
        CloseThemeData(theme);
        if (SUCCEEDED(hr)) return;
      }
    }
  }
  // Classic drawing with the system colours.
  const auto tables = Tables();
  ElementColors c;
  if (auto it = tables->elements.find(ElementKey(d)); it != tables->elements.end()) c = it->second;
  const Painter p(dc);
  RECT r = rect;
  const int look = LookOf(d.State);
  auto frameState = [&](int lk) {
    UINT s = 0;
    if (lk == 1) s |= DFCS_HOT;
    if (lk == 2) s |= DFCS_PUSHED;
    if (lk == 3) s |= DFCS_INACTIVE;
    return s;
  };
  switch (d.Element) {
    case teButton:
      if (d.Part == 1 || d.Part == 5) {
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (d.State == 5 ? 0 : frameState(look)));
      } else if (d.Part == 2 || d.Part == 3) {
        RECT box = CenteredSquare(r);
        const int group = (d.State - 1) / 4;
        UINT s = (d.Part == 2 ? DFCS_BUTTONRADIO : (group == 2 ? DFCS_BUTTON3STATE : DFCS_BUTTONCHECK)) |
                 frameState(look);
        if (group >= 1) s |= DFCS_CHECKED;
        DrawFrameControl(dc, &box, DFC_BUTTON, s);
      } else {
        DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
      }
      break;
    case teComboBox:
      if (d.Part == 4) {
        p.Fill(r, c.fill);
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
      } else {
        DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | frameState(look));
      }
      break;
    case teEdit:
      p.Fill(r, c.fill);
      if (d.Part != 3) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
      break;
    case teHeader:
      if (d.Part == 4) p.Arrow(r, d.State == 1 ? 0 : 1, c.glyph);
      else DrawEdge(dc, &r, d.State == 3 ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT | BF_MIDDLE);
      break;
    case teProgress:
      if (d.Part <= 2) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE);
      else p.Fill(r, c.fill);
      break;
    case teScrollBar:
      if (d.Part == 1) {
        const UINT dirs[] = {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT};
        DrawFrameControl(dc, &r, DFC_SCROLL, dirs[std::clamp((d.State - 1) / 4, 0, 3)] | frameState(look));
      } else if (d.Part <= 3) {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
      } else {
        p.Fill(r, look == 2 ? TColor(GetSysColor(COLOR_3DDKSHADOW)) : TColor(GetSysColor(COLOR_SCROLLBAR)));
      }
      break;
    case teGrid:
      if (d.Part == 2 || d.Part == 4) DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
      else p.Fill(r, c.fill);
      break;
    case teCategoryButtons:
      if (d.State == 3) {
        p.Fill(r, c.fill);
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
      } else {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
      }
      break;
    case teTab:
      if (d.Part == 9) DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
      else DrawEdge(dc, &r, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | BF_SOFT | BF_MIDDLE);
      break;
    case teToolBar:
      if (d.Part == 5) {
        RECT line{r.left + (r.right - r.left) / 2 - 1, r.top, r.left + (r.right - r.left) / 2 + 1, r.bottom};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
      } else if (d.State == 2) {
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
      } else if (d.State == 3 || d.State == 5 || d.State == 6) {
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
      }
      break;
  }
}

// ---------------------------------------------------------------------------
// The manager's state

struct Entry {
  QString resourceName;  // compiled-in styles: "AMETHYSTKAMRI"; empty for files
  std::unique_ptr<TCustomStyleServices> style;
};

struct Listener {
  int id;
  std::shared_ptr<TStyleManager::TStyleChangeListener> call;
};

struct ManagerState {
  std::mutex mutex;
  std::vector<Entry> entries;  // [0] is the system style
  std::atomic<TCustomStyleServices*> active{nullptr};
  std::vector<Listener> listeners;
  int nextListenerId = 1;
  std::function<void(const QString&)> errorHandler;
};

QString ResourceNameOf(const QString& fileName) {
  return QFileInfo(fileName).completeBaseName().remove(QLatin1Char(' ')).toUpper();
}

ManagerState& State() {
  static ManagerState* state = [] {
    auto* s = new ManagerState;
    s->entries.push_back(Entry{QString(), std::make_unique<TUxThemeStyle>()});
    s->active = s->entries.front().style.get();
    InitStyleResources();
    const QDir dir(QStringLiteral(":/styles"));
    for (const QString& file : dir.entryList(QStringList{QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
      const QString path = dir.filePath(file);
      QFile f(path);
      if (!f.open(QIODevice::ReadOnly)) continue;
      try {
        s->entries.push_back(
            Entry{ResourceNameOf(file), std::make_unique<TCustomStyle>(ParseStyleDefinition(f.readAll(), path))});
      } catch (const Exception& e) {
        qCWarning(lcStyle) << e.what();  // a broken compiled-in style is left out
      }
    }
    return s;
  }();
  return *state;
}

// Call with the mutex held.
TCustomStyleServices* FindLocked(ManagerState& s, const QString& name) {
  for (const Entry& e : s.entries)
    if (e.style->Name().compare(name, Qt::CaseInsensitive) == 0) return e.style.get();
  return nullptr;
}

bool IsRegisteredLocked(ManagerState& s, const TCustomStyleServices* style) {
  return std::any_of(s.entries.begin(), s.entries.end(), [&](const Entry& e) { return e.style.get() == style; });
}

void DefaultErrorDialog(const QString& message) {
  const QString platform = QGuiApplication::platformName();
  if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || platform == QLatin1String("offscreen") ||
      platform == QLatin1String("minimal")) {
    qCWarning(lcStyle).noquote() << message;
    return;
  }
  QMessageBox::critical(nullptr, QCoreApplication::applicationName(), message);
}

// Makes the style active and applies its palette (also when it was active
// already, so the application shows it even if the palette was changed
// meanwhile); the listeners run only on a change.
void Activate(TCustomStyleServices* style) {
  ManagerState& s = State();
  std::vector<Listener> listeners;
  bool changed = false;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    changed = s.active.load() != style;
    s.active = style;
    if (changed) listeners = s.listeners;
  }
  ApplyStyleToApplication();
  if (!changed) return;
  // Every listener runs even when one fails; the first failure is passed on.
  std::exception_ptr failure;
  for (const Listener& l : listeners) {
    {
      // Skip a listener removed by an earlier one in this round.
      std::lock_guard<std::mutex> lock(s.mutex);
      if (std::none_of(s.listeners.begin(), s.listeners.end(), [&](const Listener& x) { return x.id == l.id; }))
        continue;
    }
    try {
      if (*l.call) (*l.call)();
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }
  if (failure) std::rethrow_exception(failure);
}

QByteArray ReadStyleFile(const QString& fileName) {
  QFile f(fileName);
  if (!f.open(QIODevice::ReadOnly))
    throw EFOpenError(QString::fromLatin1(VclThemeConsts::SStyleFileOpenError).arg(fileName, f.errorString()));
  return f.readAll();
}

}  // namespace

// ---------------------------------------------------------------------------
// TCustomStyleServices

TColor TCustomStyleServices::GetSystemColor(TColor color) const {
  if ((uint32_t(color) & 0xFF000000u) != uint32_t(kSystemColorBase)) return color;
  const int index = int(uint32_t(color) & 0x00FFFFFFu);
  if (index >= kSysColorCount) return color;
  return Tables()->system[size_t(index)];
}

TColor TCustomStyleServices::GetStyleColor(TStyleColor color) const {
  const int i = int(color);
  return i >= 0 && i < kStyleColorCount ? Tables()->styleColors[size_t(i)] : kNoColor;
}

TColor TCustomStyleServices::GetStyleFontColor(TStyleFont font) const {
  const int i = int(font);
  return i >= 0 && i < kStyleFontCount ? Tables()->fontColors[size_t(i)] : kNoColor;
}

namespace {
template <class E>
TThemedElementDetails DetailsOf(TThemedElement family, E value) {
  const ElementEntry* e = FindElementEntry(family, int(value));
  return e ? TThemedElementDetails{family, e->part, e->state} : TThemedElementDetails{family, 0, 0};
}
}  // namespace

TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedButton d) { return DetailsOf(teButton, d); }
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedCategoryButtons d) {
  return DetailsOf(teCategoryButtons, d);
}
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedComboBox d) { return DetailsOf(teComboBox, d); }
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedEdit d) { return DetailsOf(teEdit, d); }
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedGrid d) { return DetailsOf(teGrid, d); }
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedHeader d) { return DetailsOf(teHeader, d); }
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedProgress d) { return DetailsOf(teProgress, d); }
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedScrollBar d) {
  return DetailsOf(teScrollBar, d);
}
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedTab d) { return DetailsOf(teTab, d); }
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedToolBar d) { return DetailsOf(teToolBar, d); }

bool TCustomStyleServices::GetElementColor(const TThemedElementDetails& details, TElementColor elementColor,
                                           TColor& color) const {
  color = kNoColor;
  const auto tables = Tables();
  const auto it = tables->elements.find(ElementKey(details));
  if (details.Part <= 0 || it == tables->elements.end()) return false;
  const ElementColors& c = it->second;
  const TColor white = MakeColor(255, 255, 255), black = MakeColor(0, 0, 0);
  auto fromFill = [&](TColor towards, double t) { return c.fill == kNoColor ? kNoColor : Blend(c.fill, towards, t); };
  switch (elementColor) {
    case ecBorderColor: color = c.border; break;
    case ecFillColor: color = c.fill; break;
    case ecTextColor: color = c.text; break;
    case ecEdgeLightColor: color = fromFill(white, 0.5); break;
    case ecEdgeHighlightColor: color = fromFill(white, 0.8); break;
    case ecEdgeShadowColor: color = fromFill(black, 0.3); break;
    case ecEdgeDkShadowColor: color = fromFill(black, 0.6); break;
    case ecEdgeFillColor: color = c.fill; break;
    case ecTransparentColor: color = kNoColor; break;
    case ecGradientColor1: color = c.gradient1; break;
    case ecGradientColor2: color = c.gradient2; break;
    case ecGlyphColor: color = c.glyph; break;
  }
  return color != kNoColor;
}

bool TCustomStyleServices::DrawElement(HDC dc, const TThemedElementDetails& details, const RECT& rect,
                                       const RECT* clipRect) const {
  if (!dc || GetObjectType(dc) == 0) return false;
  if (!FindElementEntryByDetails(details)) return false;
  if (rect.right <= rect.left || rect.bottom <= rect.top) return true;
  const int saved = SaveDC(dc);
  if (saved == 0) return false;
  if (clipRect) IntersectClipRect(dc, clipRect->left, clipRect->top, clipRect->right, clipRect->bottom);
  PaintElement(dc, details, rect);
  RestoreDC(dc, saved);
  return true;
}

void TCustomStyleServices::PaintElement(HDC dc, const TThemedElementDetails& d, const RECT& r) const {
  const auto tables = Tables();
  const auto it = tables->elements.find(ElementKey(d));
  if (it == tables->elements.end()) return;
  const ElementColors& c = it->second;
  const Painter p(dc);
  const int w = r.right - r.left, h = r.bottom - r.top;
  switch (d.Element) {
    case teButton:
      if (d.Part == 1 || d.Part == 5) {
        PaintRaised(p, r, c, true);
        if (d.State == 5) p.Frame(Inset(r, 1, 1), Blend(c.border, c.fill, 0.5));  // defaulted: a second ring
      } else if (d.Part == 2) {
        const RECT box = CenteredSquare(r);
        p.Ellipse(box, c.fill, c.border);
        if (d.State >= 5) {
          const int side = box.right - box.left;
          const int in = std::max(1, side * 3 / 10);
          p.Ellipse(Inset(box, in, in), c.glyph, c.glyph);
        }
      } else if (d.Part == 3) {
        const RECT box = CenteredSquare(r);
        const int side = box.right - box.left;
        p.Fill(Inset(box, 1, 1), c.fill);
        p.Frame(box, c.border);
        const int group = (d.State - 1) / 4;
        if (group == 1) {
          // A check mark drawn as a stroke about a seventh of the box thick.
          const int thick = std::max(2, side / 7);
          for (int i = 0; i < thick; ++i) {
            const POINT mark[] = {{box.left + side * 22 / 100, box.top + side * 48 / 100 + i - thick / 2},
                                  {box.left + side * 42 / 100, box.top + side * 68 / 100 + i - thick / 2},
                                  {box.left + side * 80 / 100, box.top + side * 28 / 100 + i - thick / 2}};
            p.Polyline(mark, 3, c.glyph);
          }
        } else if (group == 2) {
          p.Fill(Inset(box, std::max(2, side / 4), std::max(2, side / 4)), c.glyph);
        }
      } else if (d.Part == 4) {
        p.Frame(r, c.border);
      }
      break;
    case teCategoryButtons:
      PaintRaised(p, r, c, true);
      break;
    case teComboBox:
      if (d.Part == 4) {
        p.Fill(Inset(r, 1, 1), c.fill);
        p.Frame(r, c.border);
      } else {
        PaintRaised(p, r, c, false);
        p.Arrow(r, 1, c.glyph);
      }
      break;
    case teEdit:
      p.Fill(d.Part == 3 ? r : Inset(r, 1, 1), c.fill);
      if (d.Part != 3) p.Frame(r, c.border);
      break;
    case teGrid:
      if (d.Part == 2 || d.Part == 4) {
        // Fixed cells carry their right and bottom lines.
        p.Gradient(r, c.gradient1, c.gradient2);
        p.HLine(r.left, r.right, r.bottom - 1, c.border);
        p.VLine(r.right - 1, r.top, r.bottom, c.border);
      } else {
        p.Gradient(r, c.gradient1, c.gradient2);
      }
      break;
    case teHeader:
      if (d.Part == 4) {
        p.Arrow(r, d.State == 1 ? 0 : 1, c.glyph);
      } else {
        p.Gradient(r, c.gradient1, c.gradient2);
        p.HLine(r.left, r.right, r.bottom - 1, c.border);
        if (d.Part != 3) p.VLine(r.right - 1, r.top, r.bottom - 1, c.border);
      }
      break;
    case teProgress:
      if (d.Part <= 2) {
        p.Fill(Inset(r, 1, 1), c.fill);
        p.Frame(r, c.border);
      } else {
        p.Gradient(r, c.gradient1, c.gradient2, d.Part == 3);
      }
      break;
    case teScrollBar:
      if (d.Part == 1) {
        p.Fill(Inset(r, 1, 1), c.fill);
        p.Frame(r, c.border);
        p.Arrow(r, std::clamp((d.State - 1) / 4, 0, 3), c.glyph);
      } else if (d.Part <= 3) {
        p.Fill(Inset(r, 1, 1), c.fill);
        p.RoundFrame(r, c.border);
      } else {
        p.Fill(r, c.fill);
      }
      break;
    case teTab:
      if (d.Part == 9) {
        p.Fill(Inset(r, 1, 1), c.fill);
        p.Frame(r, c.border);
      } else {
        const bool selected = d.State == 3 || d.State == 5;
        const RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom};
        if (selected) p.Fill(inner, c.fill);
        else p.Gradient(inner, c.gradient1, c.gradient2);
        p.HLine(r.left + 1, r.right - 1, r.top, c.border);
        p.VLine(r.left, r.top + 1, r.bottom, c.border);
        p.VLine(r.right - 1, r.top + 1, r.bottom, c.border);
        if (selected) p.Fill(RECT{r.left + 1, r.top + 1, r.right - 1, std::min(r.bottom, r.top + 3)}, c.glyph);
        else p.HLine(r.left, r.right, r.bottom - 1, c.border);
      }
      break;
    case teToolBar:
      if (d.Part == 5) {
        if (h >= w) p.VLine(r.left + w / 2, r.top + 2, r.bottom - 2, c.glyph);
        else p.HLine(r.left + 2, r.right - 2, r.top + h / 2, c.glyph);
      } else {
        p.Fill(Inset(r, 1, 1), c.fill);
        p.RoundFrame(r, c.border);
      }
      break;
  }
}

bool TCustomStyleServices::DrawText(HDC dc, const TThemedElementDetails& details, const QString& text, RECT& rect,
                                    UINT flags, TColor color) const {
  if (!dc || GetObjectType(dc) == 0) return false;
  TColor c = color;
  if (c == kNoColor && !GetElementColor(details, ecTextColor, c)) c = GetSystemColor(SysColorConstant(COLOR_WINDOWTEXT));
  c = GetSystemColor(c);
  const int saved = SaveDC(dc);
  if (saved == 0) return false;
  SetTextColor(dc, COLORREF(c) & 0xFFFFFF);
  SetBkMode(dc, TRANSPARENT);
  const int result = DrawTextW(dc, reinterpret_cast<LPCWSTR>(text.utf16()), int(text.size()), &rect, flags);
  RestoreDC(dc, saved);
  return result != 0 || text.isEmpty();
}

bool TCustomStyleServices::GetElementContentRect(HDC dc, const TThemedElementDetails& details, const RECT& bounds,
                                                 RECT& contentRect) const {
  (void)dc;  // margins do not depend on the device
  if (!FindElementEntryByDetails(details)) {
    contentRect = bounds;
    return false;
  }
  const RECT m = ContentMargins(details);
  contentRect = RECT{bounds.left + m.left, bounds.top + m.top, bounds.right - m.right, bounds.bottom - m.bottom};
  contentRect.right = std::max(contentRect.right, contentRect.left);
  contentRect.bottom = std::max(contentRect.bottom, contentRect.top);
  return true;
}

bool TCustomStyleServices::HasTransparentParts(const TThemedElementDetails& d) const {
  if (!FindElementEntryByDetails(d)) return false;
  switch (d.Element) {
    case teButton: return true;  // rounded faces, glyphs, frames
    case teCategoryButtons: return true;
    case teComboBox: return d.Part != 4 && IsSystemStyle();
    case teHeader: return d.Part == 4;
    case teScrollBar: return d.Part == 2 || d.Part == 3;
    case teTab: return d.Part == 1;
    case teToolBar: return true;
    default: return false;
  }
}

QPalette TCustomStyleServices::Palette() const {
  const auto t = Tables();
  auto sys = [&](int index) { return ToQColor(t->system[size_t(index)]); };
  auto sc = [&](TStyleColor c) { return ToQColor(t->styleColors[size_t(c)]); };
  auto sf = [&](TStyleFont f) { return ToQColor(t->fontColors[size_t(f)]); };
  QPalette p;
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    const bool disabled = g == QPalette::Disabled;
    p.setColor(g, QPalette::Window, sys(COLOR_BTNFACE));
    p.setColor(g, QPalette::WindowText, disabled ? sys(COLOR_GRAYTEXT) : sys(COLOR_BTNTEXT));
    p.setColor(g, QPalette::Base, disabled ? sc(scEditDisabled) : sys(COLOR_WINDOW));
    p.setColor(g, QPalette::AlternateBase, ToQColor(Blend(t->system[COLOR_WINDOW], t->system[COLOR_BTNFACE], 0.5)));
    p.setColor(g, QPalette::Text, disabled ? sf(sfEditBoxTextDisabled) : sys(COLOR_WINDOWTEXT));
    p.setColor(g, QPalette::Button, disabled ? sc(scButtonDisabled) : sc(scButtonNormal));
    p.setColor(g, QPalette::ButtonText, disabled ? sf(sfButtonTextDisabled) : sf(sfButtonTextNormal));
    p.setColor(g, QPalette::Highlight,
               disabled ? ToQColor(Blend(t->system[COLOR_HIGHLIGHT], t->system[COLOR_BTNFACE], 0.5))
                        : sys(COLOR_HIGHLIGHT));
    p.setColor(g, QPalette::HighlightedText, sys(COLOR_HIGHLIGHTTEXT));
    p.setColor(g, QPalette::ToolTipBase, sys(COLOR_INFOBK));
    p.setColor(g, QPalette::ToolTipText, sys(COLOR_INFOTEXT));
    p.setColor(g, QPalette::Light, sys(COLOR_BTNHIGHLIGHT));
    p.setColor(g, QPalette::Midlight, sys(COLOR_3DLIGHT));
    p.setColor(g, QPalette::Mid, ToQColor(Blend(t->system[COLOR_BTNFACE], t->system[COLOR_BTNSHADOW], 0.5)));
    p.setColor(g, QPalette::Dark, sys(COLOR_BTNSHADOW));
    p.setColor(g, QPalette::Shadow, sys(COLOR_3DDKSHADOW));
    p.setColor(g, QPalette::Link, sys(COLOR_HOTLIGHT));
    p.setColor(g, QPalette::LinkVisited, ToQColor(Blend(t->system[COLOR_HOTLIGHT], t->system[COLOR_WINDOWTEXT], 0.4)));
    p.setColor(g, QPalette::BrightText, t->dark ? QColor(Qt::black) : QColor(Qt::white));
    p.setColor(g, QPalette::PlaceholderText, sys(COLOR_GRAYTEXT));
  }
  return p;
}

// ---------------------------------------------------------------------------
// TStyleManager

QStringList TStyleManager::StyleNames() {
  ManagerState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  QStringList names;
  for (const Entry& e : s.entries) names << e.style->Name();
  return names;
}

TCustomStyleServices& TStyleManager::ActiveStyle() { return *State().active.load(); }

TCustomStyleServices& TStyleManager::SystemStyle() {
  ManagerState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  return *s.entries.front().style;
}

TCustomStyleServices* TStyleManager::Style(const QString& name) {
  ManagerState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  return FindLocked(s, name);
}

bool TStyleManager::Enabled() { return !ActiveStyle().IsSystemStyle(); }

bool TStyleManager::IsCustomStyleActive() {
  const TCustomStyleServices& active = ActiveStyle();
  return active.Enabled() && !active.IsSystemStyle();
}

void TStyleManager::SetStyle(const QString& name) {
  TCustomStyleServices* style = Style(name);
  if (!style) throw EStyleEngineException(QString::fromLatin1(VclThemeConsts::SStyleNotFound).arg(name));
  Activate(style);
}

void TStyleManager::SetStyle(TStyleServicesHandle handle) {
  ManagerState& s = State();
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!handle || !IsRegisteredLocked(s, handle))
      throw EStyleEngineException(QString::fromLatin1(VclThemeConsts::SStyleInvalidHandle));
  }
  Activate(handle);
}

bool TStyleManager::TrySetStyle(const QString& name, bool showErrorDialog) {
  try {
    SetStyle(name);
    return true;
  } catch (const EStyleEngineException& e) {
    if (showErrorDialog) {
      std::function<void(const QString&)> handler;
      {
        ManagerState& s = State();
        std::lock_guard<std::mutex> lock(s.mutex);
        handler = s.errorHandler;
      }
      if (handler) handler(e.Message());
      else DefaultErrorDialog(e.Message());
    }
    return false;
  }
}

TStyleServicesHandle TStyleManager::LoadFromFile(const QString& fileName) {
  auto style = std::make_unique<TCustomStyle>(ParseStyleDefinition(ReadStyleFile(fileName), fileName));
  ManagerState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (FindLocked(s, style->Name()))
    throw EDuplicateStyleException(QString::fromLatin1(VclThemeConsts::SStyleRegisterError).arg(style->Name()));
  s.entries.push_back(Entry{QString(), std::move(style)});
  return s.entries.back().style.get();
}

TStyleServicesHandle TStyleManager::LoadFromResource(const QString& resourceName) {
  ManagerState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  const QString key = resourceName.toUpper();
  for (const Entry& e : s.entries)
    if (!e.resourceName.isEmpty() && e.resourceName == key) return e.style.get();
  throw EResNotFound(QString::fromLatin1(VclThemeConsts::SStyleResourceNotFound).arg(resourceName));
}

bool TStyleManager::IsValidStyle(const QString& fileName) {
  TStyleInfo info;
  return IsValidStyle(fileName, info);
}

bool TStyleManager::IsValidStyle(const QString& fileName, TStyleInfo& styleInfo) {
  try {
    const StyleDefinition def = ParseStyleDefinition(ReadStyleFile(fileName), fileName);
    styleInfo.Name = def.name;
    styleInfo.Author = def.author;
    styleInfo.AuthorEMail = def.authorEMail;
    styleInfo.AuthorURL = def.authorURL;
    styleInfo.Version = def.version;
    return true;
  } catch (const Exception&) {
    return false;
  }
}

int TStyleManager::AddStyleChangeListener(TStyleChangeListener listener) {
  ManagerState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  const int id = s.nextListenerId++;
  s.listeners.push_back(Listener{id, std::make_shared<TStyleChangeListener>(std::move(listener))});
  return id;
}

void TStyleManager::RemoveStyleChangeListener(int id) {
  ManagerState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.listeners.erase(std::remove_if(s.listeners.begin(), s.listeners.end(), [id](const Listener& l) { return l.id == id; }),
                    s.listeners.end());
}

void TStyleManager::SetErrorDialogHandler(std::function<void(const QString& message)> handler) {
  ManagerState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.errorHandler = std::move(handler);
}

TCustomStyleServices& StyleServices() { return TStyleManager::ActiveStyle(); }

void ApplyStyleToApplication() {
  // System colours (clBtnFace ...) resolve to the active style's colours.
  SetSystemColorResolver([](TColor color) { return StyleServices().GetSystemColor(color); });
  QCoreApplication* app = QCoreApplication::instance();
  if (!qobject_cast<QGuiApplication*>(app)) return;
  const QPalette palette = TStyleManager::ActiveStyle().Palette();
  if (qobject_cast<QApplication*>(app)) QApplication::setPalette(palette);
  else QGuiApplication::setPalette(palette);
}
