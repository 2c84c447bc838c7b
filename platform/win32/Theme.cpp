// The theme functions over the application's QStyle.

#include "platform/win32/Theme.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <atomic>
#include <cmath>

#include "platform/win32/GdiInternal.h"
#include "platform/win32/LogCategories.h"

using namespace gdi;

namespace {

enum class ThemeClass { Button, Header, TreeView, ComboBox, ScrollBar, Progress, Edit, ToolTip, Spin };

struct ThemeObject : GdiObject {
  ThemeObject() : GdiObject(OBJ_THEME) {}
  ThemeClass cls = ThemeClass::Button;
  const char* name = "button";
  UINT dpi = 96;
};

std::atomic<bool> g_themeActive{true};
std::atomic<DWORD> g_appProperties{STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS | STAP_ALLOW_WEBCONTENT};

bool HaveStyle() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

std::shared_ptr<ThemeObject> GetTheme(HTHEME h) { return LookupAs<ThemeObject>(h, OBJ_THEME); }

// The last part of a state group of four (normal, hot, pressed, disabled).
struct Look {
  bool hot = false, pressed = false, disabled = false;
};

Look LookOf(int stateInGroup) {
  Look l;
  switch ((stateInGroup - 1) % 4) {
    case 1: l.hot = true; break;
    case 2: l.pressed = true; break;
    case 3: l.disabled = true; break;
    default: break;
  }
  return l;
}

// Sets the state flags and the palette's colour group (the palette first).
void ApplyLook(QStyleOption& opt, const Look& l) {
  opt.palette.setCurrentColorGroup(l.disabled ? QPalette::Disabled : QPalette::Active);
  opt.state = l.disabled ? QStyle::State_None : QStyle::State_Enabled;
  if (l.hot) opt.state |= QStyle::State_MouseOver;
  if (l.pressed) opt.state |= QStyle::State_Sunken;
}

bool KnownPart(ThemeClass cls, int part) {
  switch (cls) {
    case ThemeClass::Button: return part >= BP_PUSHBUTTON && part <= BP_USERBUTTON;
    case ThemeClass::Header: return part >= HP_HEADERITEM && part <= HP_HEADERSORTARROW;
    case ThemeClass::TreeView: return part >= TVP_TREEITEM && part <= TVP_HOTGLYPH;
    case ThemeClass::ComboBox: return part >= CP_DROPDOWNBUTTON && part <= CP_DROPDOWNBUTTONLEFT;
    case ThemeClass::ScrollBar: return part >= SBP_ARROWBTN && part <= SBP_SIZEBOX;
    case ThemeClass::Progress: return part >= PP_BAR && part <= PP_FILLVERT;
    case ThemeClass::Edit:
      return part == EP_EDITTEXT || part == EP_BACKGROUND || part == EP_BACKGROUNDWITHBORDER ||
             part == EP_EDITBORDER_NOSCROLL;
    case ThemeClass::ToolTip: return part >= TTP_STANDARD && part <= TTP_BALLOONTITLE;
    case ThemeClass::Spin: return part >= SPNP_UP && part <= SPNP_DOWNHORZ;
  }
  return false;
}

void ButtonPanel(QStyle* style, QPainter& p, const QRect& r, const Look& look, bool defaulted) {
  QStyleOptionButton opt;
  opt.rect = r;
  opt.palette = QApplication::palette();
  ApplyLook(opt, look);
  if (defaulted) opt.features |= QStyleOptionButton::DefaultButton;
  style->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, nullptr);
}

void ArrowIn(QStyle* style, QPainter& p, const QRect& r, QStyle::PrimitiveElement arrow, const Look& look) {
  QStyleOption opt;
  const int s = std::max(1, std::min(r.width(), r.height()) / 2);
  opt.rect = QRect(r.center().x() - s / 2, r.center().y() - s / 2, s, s);
  opt.palette = QApplication::palette();
  ApplyLook(opt, look);
  style->drawPrimitive(arrow, &opt, &p, nullptr);
}

void Paint(ThemeClass cls, QStyle* style, QPainter& p, const QRect& r, int part, int state) {
  const QPalette pal = QApplication::palette();
  switch (cls) {
    case ThemeClass::Button: {
      if (part == BP_PUSHBUTTON || part == BP_USERBUTTON) {
        ButtonPanel(style, p, r, LookOf(state == PBS_DEFAULTED ? PBS_NORMAL : state), state == PBS_DEFAULTED);
      } else if (part == BP_CHECKBOX || part == BP_RADIOBUTTON) {
        // The glyph is square, centred in the rectangle.
        const int side = std::min(r.width(), r.height());
        QStyleOptionButton opt;
        opt.rect = QRect(r.left() + (r.width() - side) / 2, r.top() + (r.height() - side) / 2, side, side);
        opt.palette = pal;
        ApplyLook(opt, LookOf(state));
        const int group = (state - 1) / 4;  // unchecked, checked, mixed
        opt.state |= group == 1 ? QStyle::State_On : (group == 2 ? QStyle::State_NoChange : QStyle::State_Off);
        style->drawPrimitive(part == BP_CHECKBOX ? QStyle::PE_IndicatorCheckBox : QStyle::PE_IndicatorRadioButton,
                             &opt, &p, nullptr);
      } else {
        QStyleOptionFrame opt;
        opt.rect = r;
        opt.palette = pal;
        opt.lineWidth = 1;
        opt.state = state == GBS_DISABLED ? QStyle::State_None : QStyle::State_Enabled;
        style->drawPrimitive(QStyle::PE_FrameGroupBox, &opt, &p, nullptr);
      }
      break;
    }
    case ThemeClass::Header: {
      if (part == HP_HEADERSORTARROW) {
        QStyleOptionHeader opt;
        opt.rect = r;
        opt.palette = pal;
        opt.state = QStyle::State_Enabled;
        opt.sortIndicator = state == HSAS_SORTEDDOWN ? QStyleOptionHeader::SortDown : QStyleOptionHeader::SortUp;
        style->drawPrimitive(QStyle::PE_IndicatorHeaderArrow, &opt, &p, nullptr);
      } else {
        QStyleOptionHeader opt;
        opt.rect = r;
        opt.palette = pal;
        ApplyLook(opt, LookOf(state));
        opt.orientation = Qt::Horizontal;
        opt.position = part == HP_HEADERITEMLEFT ? QStyleOptionHeader::Beginning
                                                 : (part == HP_HEADERITEMRIGHT ? QStyleOptionHeader::End
                                                                               : QStyleOptionHeader::Middle);
        style->drawControl(QStyle::CE_HeaderSection, &opt, &p, nullptr);
      }
      break;
    }
    case ThemeClass::TreeView: {
      if (part == TVP_GLYPH || part == TVP_HOTGLYPH) {
        QStyleOption opt;
        opt.rect = r;
        opt.palette = pal;
        opt.state = QStyle::State_Enabled | QStyle::State_Children;
        if (part == TVP_HOTGLYPH) opt.state |= QStyle::State_MouseOver;
        if (state == GLPS_OPENED) opt.state |= QStyle::State_Open;
        style->drawPrimitive(QStyle::PE_IndicatorBranch, &opt, &p, nullptr);
      } else if (part == TVP_TREEITEM) {
        QStyleOptionViewItem opt;
        opt.rect = r;
        opt.palette = pal;
        opt.state = state == TREIS_DISABLED ? QStyle::State_None : QStyle::State_Enabled;
        if (state == TREIS_HOT) opt.state |= QStyle::State_MouseOver;
        if (state == TREIS_SELECTED || state == TREIS_SELECTEDNOTFOCUS) opt.state |= QStyle::State_Selected;
        if (state == TREIS_SELECTED) opt.state |= QStyle::State_Active;
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, &p, nullptr);
      } else {
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(r.left(), r.center().y(), r.right(), r.center().y());
      }
      break;
    }
    case ThemeClass::ComboBox: {
      const Look look = LookOf(state);
      if (part == CP_DROPDOWNBUTTON || part == CP_DROPDOWNBUTTONRIGHT || part == CP_DROPDOWNBUTTONLEFT) {
        ButtonPanel(style, p, r, look, false);
        ArrowIn(style, p, r, QStyle::PE_IndicatorArrowDown, look);
      } else {
        QStyleOptionFrame opt;
        opt.rect = r;
        opt.palette = pal;
        opt.lineWidth = 1;
        ApplyLook(opt, look);
        style->drawPrimitive(part == CP_READONLY ? QStyle::PE_PanelButtonCommand : QStyle::PE_PanelLineEdit, &opt,
                             &p, nullptr);
      }
      break;
    }
    case ThemeClass::ScrollBar: {
      // Scroll bar parts as the style's buttons, arrows and track colours.
      switch (part) {
        case SBP_ARROWBTN: {
          const Look look = LookOf(state);
          ButtonPanel(style, p, r, look, false);
          const QStyle::PrimitiveElement arrows[] = {QStyle::PE_IndicatorArrowUp, QStyle::PE_IndicatorArrowDown,
                                                     QStyle::PE_IndicatorArrowLeft, QStyle::PE_IndicatorArrowRight};
          ArrowIn(style, p, r, arrows[std::clamp((state - 1) / 4, 0, 3)], look);
          break;
        }
        case SBP_THUMBBTNHORZ:
        case SBP_THUMBBTNVERT:
          ButtonPanel(style, p, r, LookOf(state), false);
          break;
        case SBP_LOWERTRACKHORZ:
        case SBP_UPPERTRACKHORZ:
        case SBP_LOWERTRACKVERT:
        case SBP_UPPERTRACKVERT: {
          const Look look = LookOf(state);
          QColor track = pal.color(QPalette::Window).darker(look.pressed ? 125 : 108);
          p.fillRect(r, track);
          break;
        }
        case SBP_SIZEBOX: {
          QStyleOptionSizeGrip grip;
          grip.rect = r;
          grip.palette = pal;
          grip.state = QStyle::State_Enabled;
          grip.corner = Qt::BottomRightCorner;
          style->drawControl(QStyle::CE_SizeGrip, &grip, &p, nullptr);
          break;
        }
        default:
          break;  // grippers: the style's thumb carries no gripper
      }
      break;
    }
    case ThemeClass::Progress: {
      QStyleOptionProgressBar opt;
      opt.rect = r;
      opt.palette = pal;
      opt.state = QStyle::State_Enabled;
      opt.minimum = 0;
      opt.maximum = 100;
      opt.progress = 100;
      const bool vertical = part == PP_BARVERT || part == PP_CHUNKVERT || part == PP_FILLVERT;
      if (!vertical) opt.state |= QStyle::State_Horizontal;
      style->drawControl(part == PP_BAR || part == PP_BARVERT ? QStyle::CE_ProgressBarGroove
                                                               : QStyle::CE_ProgressBarContents,
                         &opt, &p, nullptr);
      break;
    }
    case ThemeClass::Edit: {
      QStyleOptionFrame opt;
      opt.rect = r;
      opt.palette = pal;
      opt.lineWidth = part == EP_BACKGROUND ? 0 : 1;
      opt.state = state == ETS_DISABLED ? QStyle::State_None : QStyle::State_Enabled;
      if (state == ETS_HOT) opt.state |= QStyle::State_MouseOver;
      if (state == ETS_FOCUSED) opt.state |= QStyle::State_HasFocus;
      if (state == ETS_READONLY) opt.state |= QStyle::State_ReadOnly;
      style->drawPrimitive(QStyle::PE_PanelLineEdit, &opt, &p, nullptr);
      break;
    }
    case ThemeClass::ToolTip: {
      QStyleOptionFrame opt;
      opt.rect = r;
      opt.palette = QPalette(pal.color(QPalette::ToolTipText), pal.color(QPalette::ToolTipBase));
      opt.palette.setColor(QPalette::Window, pal.color(QPalette::ToolTipBase));
      opt.state = QStyle::State_Enabled;
      style->drawPrimitive(QStyle::PE_PanelTipLabel, &opt, &p, nullptr);
      break;
    }
    case ThemeClass::Spin: {
      const Look look = LookOf(state);
      ButtonPanel(style, p, r, look, false);
      const QStyle::PrimitiveElement arrows[] = {QStyle::PE_IndicatorArrowUp, QStyle::PE_IndicatorArrowDown,
                                                 QStyle::PE_IndicatorArrowRight, QStyle::PE_IndicatorArrowLeft};
      ArrowIn(style, p, r, arrows[part - 1], look);
      break;
    }
  }
}

HTHEME Open(LPCWSTR pszClassList, UINT dpi) {
  if (!pszClassList || !IsAppThemed()) return nullptr;
  const QStringList names = FromWide(pszClassList, -1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
  static const struct {
    const char* name;
    ThemeClass cls;
  } kClasses[] = {
      {"button", ThemeClass::Button},     {"header", ThemeClass::Header},      {"treeview", ThemeClass::TreeView},
      {"combobox", ThemeClass::ComboBox}, {"scrollbar", ThemeClass::ScrollBar}, {"progress", ThemeClass::Progress},
      {"edit", ThemeClass::Edit},         {"tooltip", ThemeClass::ToolTip},    {"spin", ThemeClass::Spin},
  };
  for (const QString& n : names) {
    const QString key = n.trimmed().toLower();
    for (const auto& c : kClasses) {
      if (key != QLatin1String(c.name)) continue;
      auto t = std::make_shared<ThemeObject>();
      t->cls = c.cls;
      t->name = c.name;
      t->dpi = dpi ? dpi : 96;
      return reinterpret_cast<HTHEME>(Register(t));
    }
  }
  LogNotCovered(lcStyle(), QStringLiteral("OpenThemeData: class list \"%1\" (the classes drawn: button, header, "
                                          "treeview, combobox, scrollbar, progress, edit, tooltip, spin)")
                               .arg(names.join(QLatin1Char(';'))));
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

}  // namespace

BOOL IsThemeActive() { return g_themeActive.load() && HaveStyle() ? TRUE : FALSE; }

BOOL IsAppThemed() { return IsThemeActive() && (g_appProperties.load() & STAP_ALLOW_CONTROLS) ? TRUE : FALSE; }

void SetThemeActive(BOOL active) { g_themeActive = active != FALSE; }

void SetThemeAppProperties(DWORD dwFlags) { g_appProperties = dwFlags; }

DWORD GetThemeAppProperties() { return g_appProperties.load(); }

HTHEME OpenThemeData(HWND, LPCWSTR pszClassList) { return Open(pszClassList, 96); }

HTHEME OpenThemeDataForDpi(HWND, LPCWSTR pszClassList, UINT dpi) { return Open(pszClassList, dpi); }

HRESULT CloseThemeData(HTHEME hTheme) {
  if (!GetTheme(hTheme)) return E_HANDLE;
  Unregister(hTheme);
  return S_OK;
}

BOOL IsThemePartDefined(HTHEME hTheme, int iPartId, int) {
  auto t = GetTheme(hTheme);
  return t && KnownPart(t->cls, iPartId) ? TRUE : FALSE;
}

HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCRECT pRect, LPCRECT pClipRect) {
  auto t = GetTheme(hTheme);
  auto dc = LookupAs<DcObject>(hdc, OBJ_DC);
  if (!t || !dc) return E_HANDLE;
  if (!pRect) return E_POINTER;
  if (!KnownPart(t->cls, iPartId)) {
    LogNotCovered(lcStyle(), QStringLiteral("DrawThemeBackground: part %1 of class %2 (not drawn)")
                                 .arg(iPartId)
                                 .arg(QLatin1String(t->name)));
    return E_INVALIDARG;
  }
  if (!HaveStyle()) return E_FAIL;
  const Mapping m = dc->Map();
  QRect r = m.MapRect(pRect->left, pRect->top, pRect->right, pRect->bottom);
  if (r.isEmpty()) return S_OK;
  SurfaceAccess access(*dc, true);
  QImage* image = access.image();
  if (!image) return S_OK;
  QRegion clip = EffectiveClip(*dc);
  if (pClipRect) clip &= m.MapRect(pClipRect->left, pClipRect->top, pClipRect->right, pClipRect->bottom);
  if (clip.isEmpty()) return S_OK;
  clip &= r;  // parts never reach outside their rectangle
  if (clip.isEmpty()) return S_OK;
  // The style may render a part through a pixmap of its size: a part far
  // larger than the surface is drawn as the visible piece of it (with a
  // margin, so that borders on screen stay where they are).
  if (int64_t(r.width()) * r.height() > int64_t(4096) * 4096)
    r &= clip.boundingRect().adjusted(-64, -64, 64, 64);
  QPainter painter(image);
  painter.setClipRegion(clip);
  Paint(t->cls, QApplication::style(), painter, r, iPartId, iStateId);
  return S_OK;
}

HRESULT GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int, LPCRECT prc, THEMESIZE eSize, SIZE* psz) {
  auto t = GetTheme(hTheme);
  if (!t) return E_HANDLE;
  if (!psz) return E_POINTER;
  if (hdc && !LookupAs<DcObject>(hdc, OBJ_DC)) return E_HANDLE;
  if (!KnownPart(t->cls, iPartId)) return E_INVALIDARG;
  if (!HaveStyle()) return E_FAIL;
  QStyle* style = QApplication::style();
  auto scaled = [&](int v) { return LONG(std::lround(v * double(t->dpi) / 96.0)); };
  const int bar = style->pixelMetric(QStyle::PM_ScrollBarExtent);
  SIZE s{0, 0};
  switch (t->cls) {
    case ThemeClass::Button:
      if (iPartId == BP_CHECKBOX) s = SIZE{scaled(style->pixelMetric(QStyle::PM_IndicatorWidth)),
                                           scaled(style->pixelMetric(QStyle::PM_IndicatorHeight))};
      else if (iPartId == BP_RADIOBUTTON) s = SIZE{scaled(style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth)),
                                                   scaled(style->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight))};
      break;
    case ThemeClass::TreeView:
      if (iPartId == TVP_GLYPH || iPartId == TVP_HOTGLYPH) s = SIZE{scaled(9), scaled(9)};
      break;
    case ThemeClass::Header:
      if (iPartId == HP_HEADERSORTARROW) s = SIZE{scaled(9), scaled(5)};
      break;
    case ThemeClass::ComboBox:
      if (iPartId == CP_DROPDOWNBUTTON || iPartId == CP_DROPDOWNBUTTONRIGHT || iPartId == CP_DROPDOWNBUTTONLEFT)
        s = SIZE{scaled(bar), scaled(bar)};
      break;
    case ThemeClass::ScrollBar:
      if (iPartId == SBP_ARROWBTN || iPartId == SBP_SIZEBOX) s = SIZE{scaled(bar), scaled(bar)};
      break;
    case ThemeClass::Spin:
      s = SIZE{scaled(bar), scaled(bar / 2)};
      break;
    default:
      break;
  }
  // TS_DRAW: the size the part is drawn at in the given rectangle.
  if (eSize == TS_DRAW && prc && s.cx == 0 && s.cy == 0) s = SIZE{prc->right - prc->left, prc->bottom - prc->top};
  *psz = s;
  return S_OK;
}
