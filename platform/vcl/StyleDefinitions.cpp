// Style definitions: the element table, the definition format (parsing and
// checking) and the derivation of a style's colour tables from its roles.

#include "platform/vcl/StyleDefinitions.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace vclstyles {

namespace {

// ---------------------------------------------------------------------------
// Element table. Part and state numbers follow the theme classes where one
// exists (BUTTON, COMBOBOX, EDIT, HEADER, PROGRESS, SCROLLBAR, TAB, TOOLBAR);
// grid and category buttons number their own parts.

#define TF_EL(family, v, p, s) ElementEntry{#v, family, int(v), p, s}

std::vector<ElementEntry> MakeElementTable() {
  std::vector<ElementEntry> t = {
      TF_EL(teButton, tbButtonDontCare, 0, 0),
      TF_EL(teButton, tbButtonRoot, 0, 0),
      TF_EL(teButton, tbPushButtonNormal, 1, 1),
      TF_EL(teButton, tbPushButtonHot, 1, 2),
      TF_EL(teButton, tbPushButtonPressed, 1, 3),
      TF_EL(teButton, tbPushButtonDisabled, 1, 4),
      TF_EL(teButton, tbPushButtonDefaulted, 1, 5),
      TF_EL(teButton, tbRadioButtonUncheckedNormal, 2, 1),
      TF_EL(teButton, tbRadioButtonUncheckedHot, 2, 2),
      TF_EL(teButton, tbRadioButtonUncheckedPressed, 2, 3),
      TF_EL(teButton, tbRadioButtonUncheckedDisabled, 2, 4),
      TF_EL(teButton, tbRadioButtonCheckedNormal, 2, 5),
      TF_EL(teButton, tbRadioButtonCheckedHot, 2, 6),
      TF_EL(teButton, tbRadioButtonCheckedPressed, 2, 7),
      TF_EL(teButton, tbRadioButtonCheckedDisabled, 2, 8),
      TF_EL(teButton, tbCheckBoxUncheckedNormal, 3, 1),
      TF_EL(teButton, tbCheckBoxUncheckedHot, 3, 2),
      TF_EL(teButton, tbCheckBoxUncheckedPressed, 3, 3),
      TF_EL(teButton, tbCheckBoxUncheckedDisabled, 3, 4),
      TF_EL(teButton, tbCheckBoxCheckedNormal, 3, 5),
      TF_EL(teButton, tbCheckBoxCheckedHot, 3, 6),
      TF_EL(teButton, tbCheckBoxCheckedPressed, 3, 7),
      TF_EL(teButton, tbCheckBoxCheckedDisabled, 3, 8),
      TF_EL(teButton, tbCheckBoxMixedNormal, 3, 9),
      TF_EL(teButton, tbCheckBoxMixedHot, 3, 10),
      TF_EL(teButton, tbCheckBoxMixedPressed, 3, 11),
      TF_EL(teButton, tbCheckBoxMixedDisabled, 3, 12),
      TF_EL(teButton, tbGroupBoxNormal, 4, 1),
      TF_EL(teButton, tbGroupBoxDisabled, 4, 2),
      TF_EL(teButton, tbUserButton, 5, 1),

      TF_EL(teCategoryButtons, tcbCategoryButtonsDontCare, 0, 0),
      TF_EL(teCategoryButtons, tcbCategoryButtonsRoot, 0, 0),
      TF_EL(teCategoryButtons, tcbButtonNormal, 1, 1),
      TF_EL(teCategoryButtons, tcbButtonHot, 1, 2),
      TF_EL(teCategoryButtons, tcbButtonSelected, 1, 3),

      TF_EL(teComboBox, tcComboBoxDontCare, 0, 0),
      TF_EL(teComboBox, tcComboBoxRoot, 0, 0),
      TF_EL(teComboBox, tcDropDownButtonNormal, 1, 1),
      TF_EL(teComboBox, tcDropDownButtonHot, 1, 2),
      TF_EL(teComboBox, tcDropDownButtonPressed, 1, 3),
      TF_EL(teComboBox, tcDropDownButtonDisabled, 1, 4),
      TF_EL(teComboBox, tcBorderNormal, 4, 1),
      TF_EL(teComboBox, tcBorderHot, 4, 2),
      TF_EL(teComboBox, tcBorderFocused, 4, 3),
      TF_EL(teComboBox, tcBorderDisabled, 4, 4),
      TF_EL(teComboBox, tcDropDownButtonRightNormal, 6, 1),
      TF_EL(teComboBox, tcDropDownButtonRightHot, 6, 2),
      TF_EL(teComboBox, tcDropDownButtonRightPressed, 6, 3),
      TF_EL(teComboBox, tcDropDownButtonRightDisabled, 6, 4),
      TF_EL(teComboBox, tcDropDownButtonLeftNormal, 7, 1),
      TF_EL(teComboBox, tcDropDownButtonLeftHot, 7, 2),
      TF_EL(teComboBox, tcDropDownButtonLeftPressed, 7, 3),
      TF_EL(teComboBox, tcDropDownButtonLeftDisabled, 7, 4),

      TF_EL(teEdit, teEditDontCare, 0, 0),
      TF_EL(teEdit, teEditRoot, 0, 0),
      TF_EL(teEdit, teEditTextNormal, 1, 1),
      TF_EL(teEdit, teEditTextHot, 1, 2),
      TF_EL(teEdit, teEditTextSelected, 1, 3),
      TF_EL(teEdit, teEditTextDisabled, 1, 4),
      TF_EL(teEdit, teEditTextFocused, 1, 5),
      TF_EL(teEdit, teEditTextReadOnly, 1, 6),
      TF_EL(teEdit, teBackgroundNormal, 3, 1),
      TF_EL(teEdit, teBackgroundHot, 3, 2),
      TF_EL(teEdit, teBackgroundDisabled, 3, 3),
      TF_EL(teEdit, teBackgroundFocused, 3, 4),
      TF_EL(teEdit, teBackgroundReadOnly, 3, 5),
      TF_EL(teEdit, teEditBorderNoScrollNormal, 6, 1),
      TF_EL(teEdit, teEditBorderNoScrollHot, 6, 2),
      TF_EL(teEdit, teEditBorderNoScrollFocused, 6, 3),
      TF_EL(teEdit, teEditBorderNoScrollDisabled, 6, 4),

      TF_EL(teGrid, tgGridDontCare, 0, 0),
      TF_EL(teGrid, tgGridRoot, 0, 0),
      TF_EL(teGrid, tgCellNormal, 1, 1),
      TF_EL(teGrid, tgCellSelected, 1, 2),
      TF_EL(teGrid, tgFixedCellNormal, 2, 1),
      TF_EL(teGrid, tgFixedCellHot, 2, 2),
      TF_EL(teGrid, tgFixedCellPressed, 2, 3),
      TF_EL(teGrid, tgGradientCellNormal, 3, 1),
      TF_EL(teGrid, tgGradientCellSelected, 3, 2),
      TF_EL(teGrid, tgGradientFixedCellNormal, 4, 1),
      TF_EL(teGrid, tgGradientFixedCellHot, 4, 2),
      TF_EL(teGrid, tgGradientFixedCellPressed, 4, 3),

      TF_EL(teHeader, thHeaderDontCare, 0, 0),
      TF_EL(teHeader, thHeaderRoot, 0, 0),
      TF_EL(teHeader, thHeaderItemNormal, 1, 1),
      TF_EL(teHeader, thHeaderItemHot, 1, 2),
      TF_EL(teHeader, thHeaderItemPressed, 1, 3),
      TF_EL(teHeader, thHeaderItemLeftNormal, 2, 1),
      TF_EL(teHeader, thHeaderItemLeftHot, 2, 2),
      TF_EL(teHeader, thHeaderItemLeftPressed, 2, 3),
      TF_EL(teHeader, thHeaderItemRightNormal, 3, 1),
      TF_EL(teHeader, thHeaderItemRightHot, 3, 2),
      TF_EL(teHeader, thHeaderItemRightPressed, 3, 3),
      TF_EL(teHeader, thHeaderSortArrowSortedUp, 4, 1),
      TF_EL(teHeader, thHeaderSortArrowSortedDown, 4, 2),

      TF_EL(teProgress, tpProgressDontCare, 0, 0),
      TF_EL(teProgress, tpProgressRoot, 0, 0),
      TF_EL(teProgress, tpBar, 1, 1),
      TF_EL(teProgress, tpBarVert, 2, 1),
      TF_EL(teProgress, tpChunk, 3, 1),
      TF_EL(teProgress, tpChunkVert, 4, 1),

      TF_EL(teScrollBar, tsScrollBarDontCare, 0, 0),
      TF_EL(teScrollBar, tsScrollBarRoot, 0, 0),
      TF_EL(teScrollBar, tsArrowBtnUpNormal, 1, 1),
      TF_EL(teScrollBar, tsArrowBtnUpHot, 1, 2),
      TF_EL(teScrollBar, tsArrowBtnUpPressed, 1, 3),
      TF_EL(teScrollBar, tsArrowBtnUpDisabled, 1, 4),
      TF_EL(teScrollBar, tsArrowBtnDownNormal, 1, 5),
      TF_EL(teScrollBar, tsArrowBtnDownHot, 1, 6),
      TF_EL(teScrollBar, tsArrowBtnDownPressed, 1, 7),
      TF_EL(teScrollBar, tsArrowBtnDownDisabled, 1, 8),
      TF_EL(teScrollBar, tsArrowBtnLeftNormal, 1, 9),
      TF_EL(teScrollBar, tsArrowBtnLeftHot, 1, 10),
      TF_EL(teScrollBar, tsArrowBtnLeftPressed, 1, 11),
      TF_EL(teScrollBar, tsArrowBtnLeftDisabled, 1, 12),
      TF_EL(teScrollBar, tsArrowBtnRightNormal, 1, 13),
      TF_EL(teScrollBar, tsArrowBtnRightHot, 1, 14),
      TF_EL(teScrollBar, tsArrowBtnRightPressed, 1, 15),
      TF_EL(teScrollBar, tsArrowBtnRightDisabled, 1, 16),
      TF_EL(teScrollBar, tsThumbBtnHorzNormal, 2, 1),
      TF_EL(teScrollBar, tsThumbBtnHorzHot, 2, 2),
      TF_EL(teScrollBar, tsThumbBtnHorzPressed, 2, 3),
      TF_EL(teScrollBar, tsThumbBtnHorzDisabled, 2, 4),
      TF_EL(teScrollBar, tsThumbBtnVertNormal, 3, 1),
      TF_EL(teScrollBar, tsThumbBtnVertHot, 3, 2),
      TF_EL(teScrollBar, tsThumbBtnVertPressed, 3, 3),
      TF_EL(teScrollBar, tsThumbBtnVertDisabled, 3, 4),
      TF_EL(teScrollBar, tsLowerTrackHorzNormal, 4, 1),
      TF_EL(teScrollBar, tsLowerTrackHorzHot, 4, 2),
      TF_EL(teScrollBar, tsLowerTrackHorzPressed, 4, 3),
      TF_EL(teScrollBar, tsLowerTrackHorzDisabled, 4, 4),
      TF_EL(teScrollBar, tsUpperTrackHorzNormal, 5, 1),
      TF_EL(teScrollBar, tsUpperTrackHorzHot, 5, 2),
      TF_EL(teScrollBar, tsUpperTrackHorzPressed, 5, 3),
      TF_EL(teScrollBar, tsUpperTrackHorzDisabled, 5, 4),
      TF_EL(teScrollBar, tsLowerTrackVertNormal, 6, 1),
      TF_EL(teScrollBar, tsLowerTrackVertHot, 6, 2),
      TF_EL(teScrollBar, tsLowerTrackVertPressed, 6, 3),
      TF_EL(teScrollBar, tsLowerTrackVertDisabled, 6, 4),
      TF_EL(teScrollBar, tsUpperTrackVertNormal, 7, 1),
      TF_EL(teScrollBar, tsUpperTrackVertHot, 7, 2),
      TF_EL(teScrollBar, tsUpperTrackVertPressed, 7, 3),
      TF_EL(teScrollBar, tsUpperTrackVertDisabled, 7, 4),

      TF_EL(teTab, ttTabDontCare, 0, 0),
      TF_EL(teTab, ttTabRoot, 0, 0),
      TF_EL(teTab, ttTabItemNormal, 1, 1),
      TF_EL(teTab, ttTabItemHot, 1, 2),
      TF_EL(teTab, ttTabItemSelected, 1, 3),
      TF_EL(teTab, ttTabItemDisabled, 1, 4),
      TF_EL(teTab, ttTabItemFocused, 1, 5),
      TF_EL(teTab, ttPane, 9, 1),

      TF_EL(teToolBar, ttbToolBarDontCare, 0, 0),
      TF_EL(teToolBar, ttbToolBarRoot, 0, 0),
      TF_EL(teToolBar, ttbButtonNormal, 1, 1),
      TF_EL(teToolBar, ttbButtonHot, 1, 2),
      TF_EL(teToolBar, ttbButtonPressed, 1, 3),
      TF_EL(teToolBar, ttbButtonDisabled, 1, 4),
      TF_EL(teToolBar, ttbButtonChecked, 1, 5),
      TF_EL(teToolBar, ttbButtonCheckedHot, 1, 6),
      TF_EL(teToolBar, ttbSeparatorNormal, 5, 1),
  };
  return t;
}

#undef TF_EL

// Start index of each family in the table (families are stored in order,
// each in value order from 0).
struct FamilyIndex {
  std::array<int, int(teToolBar) + 1> start{};
  std::array<int, int(teToolBar) + 1> count{};
};

const FamilyIndex& Families() {
  static const FamilyIndex index = [] {
    FamilyIndex f;
    f.start.fill(-1);
    const auto& t = ElementTable();
    for (int i = 0; i < int(t.size()); ++i) {
      const int fam = int(t[size_t(i)].element);
      if (f.start[size_t(fam)] < 0) f.start[size_t(fam)] = i;
      ++f.count[size_t(fam)];
    }
    return f;
  }();
  return index;
}

const char* const kStyleColorNames[kStyleColorCount] = {
    "scBorder",         "scButtonDisabled",      "scButtonFocused",     "scButtonHot",
    "scButtonNormal",   "scButtonPressed",       "scCategoryButtons",   "scCategoryButtonsGradientBase",
    "scCategoryButtonsGradientEnd", "scCategoryPanelGroup", "scComboBox", "scComboBoxDisabled",
    "scEdit",           "scEditDisabled",        "scGrid",              "scGenericBackground",
    "scGenericGradientBase", "scGenericGradientEnd", "scHintGradientBase", "scHintGradientEnd",
    "scListBox",        "scListBoxDisabled",     "scListView",          "scPanel",
    "scPanelDisabled",  "scSplitter",            "scToolBarGradientBase", "scToolBarGradientEnd",
    "scTreeView",       "scWindow",
};

const char* const kStyleFontNames[kStyleFontCount] = {
    "sfButtonTextDisabled",      "sfButtonTextFocused",       "sfButtonTextHot",
    "sfButtonTextNormal",        "sfButtonTextPressed",       "sfCaptionTextInactive",
    "sfCaptionTextNormal",       "sfCategoryButtonsNormal",   "sfCategoryButtonsHot",
    "sfCategoryButtonsSelected", "sfCheckBoxTextDisabled",    "sfCheckBoxTextNormal",
    "sfComboBoxItemDisabled",    "sfComboBoxItemNormal",      "sfComboBoxItemSelected",
    "sfEditBoxTextDisabled",     "sfEditBoxTextFocused",      "sfEditBoxTextHot",
    "sfEditBoxTextNormal",       "sfEditBoxTextSelected",     "sfGridItemFixedHot",
    "sfGridItemFixedNormal",     "sfGridItemFixedPressed",    "sfGridItemNormal",
    "sfGridItemSelected",        "sfGroupBoxTextDisabled",    "sfGroupBoxTextNormal",
    "sfHeaderSectionTextDisabled", "sfHeaderSectionTextHot",  "sfHeaderSectionTextNormal",
    "sfHeaderSectionTextPressed", "sfListItemTextDisabled",   "sfListItemTextHot",
    "sfListItemTextNormal",      "sfListItemTextSelected",    "sfMenuItemTextDisabled",
    "sfMenuItemTextHot",         "sfMenuItemTextNormal",      "sfMenuItemTextSelected",
    "sfPanelTextDisabled",       "sfPanelTextNormal",         "sfRadioButtonTextDisabled",
    "sfRadioButtonTextNormal",   "sfTabTextActiveDisabled",   "sfTabTextActiveHot",
    "sfTabTextActiveNormal",     "sfTabTextInactiveDisabled", "sfTabTextInactiveHot",
    "sfTabTextInactiveNormal",   "sfTextLabelDisabled",       "sfTextLabelNormal",
    "sfToolItemTextDisabled",    "sfToolItemTextHot",         "sfToolItemTextNormal",
    "sfToolItemTextSelected",    "sfTreeItemTextDisabled",    "sfTreeItemTextNormal",
    "sfTreeItemTextSelected",    "sfWindowTextDisabled",      "sfWindowTextNormal",
};

const char* const kSysColorNames[kSysColorCount] = {
    "clScrollBar",      "clBackground",      "clActiveCaption",     "clInactiveCaption",
    "clMenu",           "clWindow",          "clWindowFrame",       "clMenuText",
    "clWindowText",     "clCaptionText",     "clActiveBorder",      "clInactiveBorder",
    "clAppWorkSpace",   "clHighlight",       "clHighlightText",     "clBtnFace",
    "clBtnShadow",      "clGrayText",        "clBtnText",           "clInactiveCaptionText",
    "clBtnHighlight",   "cl3DDkShadow",      "cl3DLight",           "clInfoText",
    "clInfoBk",         "",                  "clHotLight",          "clGradientActiveCaption",
    "clGradientInactiveCaption", "clMenuHighlight", "clMenuBar",
};

const char* const kRoleNames[kRoleCount] = {
    "window",          "windowText",         "content",          "contentText",
    "control",         "controlText",        "border",           "accent",
    "accentText",      "controlHot",         "controlHotText",   "controlPressed",
    "controlPressedText", "disabled",        "disabledText",     "header",
    "headerText",      "gridLine",           "selection",        "selectionText",
    "caption",         "captionText",        "inactiveCaption",  "inactiveCaptionText",
    "info",            "infoText",           "link",             "focus",
};

// Index of a name in a table, -1 when absent.
template <size_t N>
int IndexOf(const char* const (&names)[N], const QString& name) {
  for (size_t i = 0; i < N; ++i)
    if (names[i][0] != '\0' && name == QLatin1String(names[i])) return int(i);
  return -1;
}

// ---------------------------------------------------------------------------
// Parsing

constexpr const char* kFormatName = "tallowfinch-style";
constexpr int kFormatVersion = 1;

[[noreturn]] void Fail(const QString& origin, const QString& what) {
  throw EStyleEngineException(QString::fromLatin1(VclThemeConsts::SStyleFormatError).arg(origin, what));
}

// "#RRGGBB" -> TColor; "none" -> kNoColor when allowed.
TColor ParseColor(const QJsonValue& v, const QString& origin, const QString& where, bool allowNone) {
  static const QRegularExpression hex(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
  if (v.isString()) {
    const QString s = v.toString();
    if (allowNone && s == QLatin1String("none")) return kNoColor;
    if (hex.match(s).hasMatch()) {
      const uint rgb = s.mid(1).toUInt(nullptr, 16);
      return MakeColor(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
    }
  }
  Fail(origin, QStringLiteral("%1 is not a colour (\"#RRGGBB\"%2)")
                   .arg(where, allowNone ? QStringLiteral(" or \"none\"") : QString()));
}

QJsonObject OptionalObject(const QJsonObject& root, const char* key, const QString& origin) {
  const QJsonValue v = root.value(QLatin1String(key));
  if (v.isUndefined()) return QJsonObject();
  if (!v.isObject()) Fail(origin, QStringLiteral("\"%1\" must be an object").arg(QLatin1String(key)));
  return v.toObject();
}

QString OptionalString(const QJsonObject& root, const char* key, const QString& origin) {
  const QJsonValue v = root.value(QLatin1String(key));
  if (v.isUndefined()) return QString();
  if (!v.isString()) Fail(origin, QStringLiteral("\"%1\" must be a string").arg(QLatin1String(key)));
  return v.toString();
}

// Colours of a named-entry section ("systemColors", "styleColors", ...).
template <size_t N>
QHash<int, TColor> ParseNamedColors(const QJsonObject& section, const char* const (&names)[N], const char* sectionName,
                                    const QString& origin) {
  QHash<int, TColor> out;
  for (auto it = section.begin(); it != section.end(); ++it) {
    const int index = IndexOf(names, it.key());
    if (index < 0)
      Fail(origin, QStringLiteral("unknown name \"%1\" in \"%2\"").arg(it.key(), QLatin1String(sectionName)));
    out.insert(index, ParseColor(it.value(), origin, QStringLiteral("%1.%2").arg(QLatin1String(sectionName), it.key()),
                                 false));
  }
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// Tables and names

const std::vector<ElementEntry>& ElementTable() {
  static const std::vector<ElementEntry> table = MakeElementTable();
  return table;
}

const ElementEntry* FindElementEntry(TThemedElement family, int value) {
  const int fam = int(family);
  if (fam < 0 || fam > int(teToolBar) || value < 0) return nullptr;
  const FamilyIndex& f = Families();
  if (f.start[size_t(fam)] < 0 || value >= f.count[size_t(fam)]) return nullptr;
  const ElementEntry& e = ElementTable()[size_t(f.start[size_t(fam)] + value)];
  return e.value == value ? &e : nullptr;
}

const ElementEntry* FindElementEntryByName(const QString& name) {
  static const QHash<QString, const ElementEntry*> byName = [] {
    QHash<QString, const ElementEntry*> h;
    for (const ElementEntry& e : ElementTable()) h.insert(QLatin1String(e.name), &e);
    return h;
  }();
  return byName.value(name, nullptr);
}

const ElementEntry* FindElementEntryByDetails(const TThemedElementDetails& details) {
  if (details.Part <= 0) return nullptr;
  static const std::unordered_map<uint32_t, const ElementEntry*> byKey = [] {
    std::unordered_map<uint32_t, const ElementEntry*> h;
    for (const ElementEntry& e : ElementTable())
      if (e.part > 0) h.emplace(ElementKey(e.element, e.part, e.state), &e);
    return h;
  }();
  const auto it = byKey.find(ElementKey(details));
  return it == byKey.end() ? nullptr : it->second;
}

QString StyleColorName(TStyleColor color) {
  const int i = int(color);
  return i >= 0 && i < kStyleColorCount ? QLatin1String(kStyleColorNames[i]) : QString();
}

QString StyleFontName(TStyleFont font) {
  const int i = int(font);
  return i >= 0 && i < kStyleFontCount ? QLatin1String(kStyleFontNames[i]) : QString();
}

QString SysColorName(int index) {
  return index >= 0 && index < kSysColorCount ? QLatin1String(kSysColorNames[index]) : QString();
}

QString RoleName(Role role) {
  const int i = int(role);
  return i >= 0 && i < kRoleCount ? QLatin1String(kRoleNames[i]) : QString();
}

// ---------------------------------------------------------------------------
// Colour arithmetic

TColor MakeColor(int r, int g, int b) {
  return TColor(RGB(BYTE(std::clamp(r, 0, 255)), BYTE(std::clamp(g, 0, 255)), BYTE(std::clamp(b, 0, 255))));
}

TColor Blend(TColor a, TColor b, double t) {
  const COLORREF ca = COLORREF(a), cb = COLORREF(b);
  auto mix = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
  return MakeColor(mix(GetRValue(ca), GetRValue(cb)), mix(GetGValue(ca), GetGValue(cb)),
                   mix(GetBValue(ca), GetBValue(cb)));
}

double Luminance(TColor c) {
  auto lin = [](int v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  const COLORREF cr = COLORREF(c);
  return 0.2126 * lin(GetRValue(cr)) + 0.7152 * lin(GetGValue(cr)) + 0.0722 * lin(GetBValue(cr));
}

double Contrast(TColor a, TColor b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TColor Readable(TColor preferred, TColor background, double minimum) {
  if (Contrast(preferred, background) >= minimum) return preferred;
  const TColor black = MakeColor(0, 0, 0), white = MakeColor(255, 255, 255);
  // Towards the end that can reach the contrast at all; the darker end wins
  // a tie on light backgrounds.
  const TColor target = Contrast(black, background) >= Contrast(white, background) ? black : white;
  for (int step = 1; step <= 20; ++step) {
    const TColor c = Blend(preferred, target, step / 20.0);
    if (Contrast(c, background) >= minimum) return c;
  }
  return target;
}

// ---------------------------------------------------------------------------
// Definitions

StyleDefinition ParseStyleDefinition(const QByteArray& json, const QString& origin) {
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
  if (error.error != QJsonParseError::NoError)
    Fail(origin, QStringLiteral("JSON error at offset %1: %2").arg(error.offset).arg(error.errorString()));
  if (!doc.isObject()) Fail(origin, QStringLiteral("the document is not an object"));
  const QJsonObject root = doc.object();

  if (root.value(QLatin1String("format")).toString() != QLatin1String(kFormatName))
    Fail(origin, QStringLiteral("\"format\" must be \"%1\"").arg(QLatin1String(kFormatName)));
  const QJsonValue fv = root.value(QLatin1String("formatVersion"));
  if (!fv.isDouble() || fv.toDouble() != kFormatVersion)
    Fail(origin, QStringLiteral("\"formatVersion\" must be %1").arg(kFormatVersion));

  static const char* const kKnownKeys[] = {"format",  "formatVersion", "name",         "description",
                                           "author",  "authorEMail",   "authorURL",    "version",
                                           "colors",  "systemColors",  "styleColors",  "fontColors",
                                           "elements"};
  for (auto it = root.begin(); it != root.end(); ++it)
    if (IndexOf(kKnownKeys, it.key()) < 0) Fail(origin, QStringLiteral("unknown key \"%1\"").arg(it.key()));

  StyleDefinition def;
  def.name = OptionalString(root, "name", origin).trimmed();
  if (def.name.isEmpty()) Fail(origin, QStringLiteral("the style has no name"));
  def.description = OptionalString(root, "description", origin);
  def.author = OptionalString(root, "author", origin);
  def.authorEMail = OptionalString(root, "authorEMail", origin);
  def.authorURL = OptionalString(root, "authorURL", origin);
  def.version = OptionalString(root, "version", origin);

  def.roles.fill(kNoColor);
  const QJsonObject colors = OptionalObject(root, "colors", origin);
  for (auto it = colors.begin(); it != colors.end(); ++it) {
    const int role = IndexOf(kRoleNames, it.key());
    if (role < 0) Fail(origin, QStringLiteral("unknown colour role \"%1\"").arg(it.key()));
    def.roles[size_t(role)] = ParseColor(it.value(), origin, QStringLiteral("colors.%1").arg(it.key()), false);
  }
  for (int r = 0; r < kRequiredRoleCount; ++r)
    if (def.roles[size_t(r)] == kNoColor)
      Fail(origin, QStringLiteral("the colour role \"%1\" is missing").arg(QLatin1String(kRoleNames[r])));

  def.systemColors = ParseNamedColors(OptionalObject(root, "systemColors", origin), kSysColorNames, "systemColors", origin);
  def.styleColors = ParseNamedColors(OptionalObject(root, "styleColors", origin), kStyleColorNames, "styleColors", origin);
  def.fontColors = ParseNamedColors(OptionalObject(root, "fontColors", origin), kStyleFontNames, "fontColors", origin);

  const QJsonObject elements = OptionalObject(root, "elements", origin);
  static const char* const kElementColorKeys[] = {"fill", "border", "text", "glyph", "gradient1", "gradient2"};
  for (auto it = elements.begin(); it != elements.end(); ++it) {
    const ElementEntry* entry = FindElementEntryByName(it.key());
    if (!entry || entry->part == 0) Fail(origin, QStringLiteral("unknown element \"%1\"").arg(it.key()));
    if (!it.value().isObject()) Fail(origin, QStringLiteral("element \"%1\" must be an object").arg(it.key()));
    const QJsonObject e = it.value().toObject();
    ElementColors c;
    // Colours not given keep the derived ones; "none" removes one.
    TColor* targets[] = {&c.fill, &c.border, &c.text, &c.glyph, &c.gradient1, &c.gradient2};
    for (TColor* s : targets) *s = kNotGiven;
    for (auto ct = e.begin(); ct != e.end(); ++ct) {
      const int k = IndexOf(kElementColorKeys, ct.key());
      if (k < 0) Fail(origin, QStringLiteral("unknown colour \"%1\" of element \"%2\"").arg(ct.key(), it.key()));
      *targets[k] = ParseColor(ct.value(), origin, QStringLiteral("elements.%1.%2").arg(it.key(), ct.key()), true);
    }
    def.elements.insert(ElementKey(entry->element, entry->part, entry->state), c);
  }
  return def;
}

StyleDefinition SystemStyleDefinition() {
  StyleDefinition def;
  def.name = QStringLiteral("Windows");
  def.description = QStringLiteral("The system colours");
  auto sys = [](int index) { return TColor(GetSysColor(index) & 0xFFFFFF); };
  def.roles.fill(kNoColor);
  def.roles[rWindow] = sys(COLOR_BTNFACE);
  def.roles[rWindowText] = sys(COLOR_BTNTEXT);
  def.roles[rContent] = sys(COLOR_WINDOW);
  def.roles[rContentText] = sys(COLOR_WINDOWTEXT);
  def.roles[rControl] = sys(COLOR_BTNFACE);
  def.roles[rControlText] = sys(COLOR_BTNTEXT);
  def.roles[rBorder] = sys(COLOR_BTNSHADOW);
  def.roles[rAccent] = sys(COLOR_HIGHLIGHT);
  def.roles[rAccentText] = sys(COLOR_HIGHLIGHTTEXT);
  def.roles[rDisabled] = sys(COLOR_BTNFACE);
  def.roles[rDisabledText] = sys(COLOR_GRAYTEXT);
  def.roles[rHeader] = sys(COLOR_BTNFACE);
  def.roles[rHeaderText] = sys(COLOR_BTNTEXT);
  def.roles[rSelection] = sys(COLOR_HIGHLIGHT);
  def.roles[rSelectionText] = sys(COLOR_HIGHLIGHTTEXT);
  def.roles[rCaption] = sys(COLOR_ACTIVECAPTION);
  def.roles[rCaptionText] = sys(COLOR_CAPTIONTEXT);
  def.roles[rInactiveCaption] = sys(COLOR_INACTIVECAPTION);
  def.roles[rInactiveCaptionText] = sys(COLOR_INACTIVECAPTIONTEXT);
  def.roles[rInfo] = sys(COLOR_INFOBK);
  def.roles[rInfoText] = sys(COLOR_INFOTEXT);
  def.roles[rLink] = sys(COLOR_HOTLIGHT);
  for (int i = 0; i < kSysColorCount; ++i) def.systemColors.insert(i, sys(i));
  return def;
}

// ---------------------------------------------------------------------------
// Derivation

namespace {

class Deriver {
 public:
  explicit Deriver(const StyleDefinition& def) : def_(def), r_(def.roles) {}

  StyleTables Build() {
    StyleTables t;
    const TColor white = MakeColor(255, 255, 255), black = MakeColor(0, 0, 0);
    dark_ = Luminance(r_[rWindow]) < 0.2;
    t.dark = dark_;
    white_ = white;
    black_ = black;
    DeriveRoles();
    BuildSystem(t);
    BuildElements(t);
    BuildStyleColors(t);
    BuildFontColors(t);
    return t;
  }

 private:
  TColor& R(Role role) { return r_[size_t(role)]; }
  void Default(Role role, TColor value) {
    if (R(role) == kNoColor) R(role) = value;
  }
  // Gradient ends of a raised surface and of a flat one.
  TColor Lift(TColor c) const { return Blend(c, white_, dark_ ? 0.08 : 0.35); }
  TColor Sink(TColor c) const { return Blend(c, black_, dark_ ? 0.12 : 0.07); }
  TColor SoftLift(TColor c) const { return Blend(c, white_, dark_ ? 0.05 : 0.12); }
  TColor SoftSink(TColor c) const { return Blend(c, black_, dark_ ? 0.08 : 0.06); }

  void DeriveRoles() {
    Default(rControlHot, Blend(R(rControl), R(rAccent), 0.15));
    Default(rControlHotText, Readable(R(rControlText), R(rControlHot)));
    Default(rControlPressed, Blend(R(rControl), R(rAccent), 0.40));
    Default(rControlPressedText, Readable(R(rControlText), R(rControlPressed)));
    Default(rDisabled, Blend(R(rControl), R(rWindow), 0.5));
    Default(rDisabledText, Blend(R(rWindowText), R(rWindow), 0.55));
    Default(rHeader, Blend(R(rWindow), R(rControl), 0.5));
    Default(rHeaderText, Readable(R(rControlText), R(rHeader)));
    Default(rGridLine, Blend(R(rContent), R(rBorder), 0.55));
    Default(rSelection, R(rAccent));
    Default(rSelectionText, Readable(R(rAccentText), R(rSelection)));
    Default(rCaption, R(rAccent));
    Default(rCaptionText, Readable(R(rAccentText), R(rCaption)));
    Default(rInactiveCaption, Blend(R(rWindow), R(rBorder), 0.35));
    Default(rInactiveCaptionText, Readable(R(rWindowText), R(rInactiveCaption)));
    Default(rInfo, Blend(R(rContent), R(rAccent), 0.08));
    Default(rInfoText, Readable(R(rContentText), R(rInfo)));
    Default(rLink, Readable(R(rAccent), R(rContent)));
    Default(rFocus, R(rAccent));
  }

  void BuildSystem(StyleTables& t) {
    const TColor window = R(rWindow);
    auto& s = t.system;
    s[COLOR_SCROLLBAR] = Blend(window, R(rBorder), 0.25);
    s[COLOR_BACKGROUND] = Blend(R(rCaption), black_, 0.3);
    s[COLOR_ACTIVECAPTION] = R(rCaption);
    s[COLOR_INACTIVECAPTION] = R(rInactiveCaption);
    s[COLOR_MENU] = window;
    s[COLOR_WINDOW] = R(rContent);
    s[COLOR_WINDOWFRAME] = Blend(R(rBorder), black_, 0.4);
    s[COLOR_MENUTEXT] = R(rWindowText);
    s[COLOR_WINDOWTEXT] = R(rContentText);
    s[COLOR_CAPTIONTEXT] = R(rCaptionText);
    s[COLOR_ACTIVEBORDER] = window;
    s[COLOR_INACTIVEBORDER] = window;
    s[COLOR_APPWORKSPACE] = Blend(window, R(rBorder), 0.5);
    s[COLOR_HIGHLIGHT] = R(rSelection);
    s[COLOR_HIGHLIGHTTEXT] = R(rSelectionText);
    s[COLOR_BTNFACE] = window;
    s[COLOR_BTNSHADOW] = Blend(window, black_, dark_ ? 0.5 : 0.35);
    s[COLOR_GRAYTEXT] = R(rDisabledText);
    s[COLOR_BTNTEXT] = R(rWindowText);
    s[COLOR_INACTIVECAPTIONTEXT] = R(rInactiveCaptionText);
    s[COLOR_BTNHIGHLIGHT] = Blend(window, white_, dark_ ? 0.2 : 0.7);
    s[COLOR_3DDKSHADOW] = Blend(window, black_, 0.65);
    s[COLOR_3DLIGHT] = Blend(window, white_, dark_ ? 0.1 : 0.35);
    s[COLOR_INFOTEXT] = R(rInfoText);
    s[COLOR_INFOBK] = R(rInfo);
    s[25] = Blend(window, R(rBorder), 0.5);
    s[COLOR_HOTLIGHT] = R(rLink);
    s[COLOR_GRADIENTACTIVECAPTION] = Blend(R(rCaption), white_, 0.35);
    s[COLOR_GRADIENTINACTIVECAPTION] = Blend(R(rInactiveCaption), white_, 0.35);
    s[COLOR_MENUHILIGHT] = R(rSelection);
    s[COLOR_MENUBAR] = window;
    for (auto it = def_.systemColors.begin(); it != def_.systemColors.end(); ++it) s[size_t(it.key())] = it.value();
  }

  static ElementColors Colors(TColor fill, TColor border, TColor text, TColor glyph, TColor g1, TColor g2) {
    return ElementColors{fill, border, text, glyph, g1, g2};
  }
  // A gradient end moved back towards the fill until the text on it stays
  // legible (when the text is legible on the fill at all).
  static TColor Legible(TColor end, TColor fill, TColor text) {
    if (Contrast(text, end) >= 4.5 || Contrast(text, fill) < 4.5) return end;
    for (int k = 1; k <= 10; ++k) {
      const TColor c = Blend(end, fill, k / 10.0);
      if (Contrast(text, c) >= 4.5) return c;
    }
    return fill;
  }
  ElementColors Raised(TColor fill, TColor border, TColor text) const {
    return Colors(fill, border, text, text, Legible(Lift(fill), fill, text), Legible(Sink(fill), fill, text));
  }
  // A surface with a gentler gradient (selections, progress).
  ElementColors Soft(TColor fill, TColor border, TColor text) const {
    return Colors(fill, border, text, text, Legible(SoftLift(fill), fill, text), Legible(SoftSink(fill), fill, text));
  }
  ElementColors Flat(TColor fill, TColor border, TColor text) const {
    return Colors(fill, border, text, text, fill, fill);
  }

  void Put(StyleTables& t, TThemedElement e, int part, int state, const ElementColors& c) {
    t.elements[ElementKey(e, part, state)] = c;
  }

  // Normal, hot, pressed, disabled of a push-button-like surface.
  ElementColors ButtonLook(int look) const {
    const TColor disabledBorder = Blend(r_[rBorder], r_[rWindow], 0.5);
    switch (look) {
      case 1: return Raised(r_[rControlHot], Blend(r_[rBorder], r_[rAccent], 0.6), r_[rControlHotText]);
      case 2: {
        ElementColors c = Raised(r_[rControlPressed], r_[rAccent], r_[rControlPressedText]);
        std::swap(c.gradient1, c.gradient2);  // lit from below while pressed
        return c;
      }
      case 3: return Flat(r_[rDisabled], disabledBorder, r_[rDisabledText]);
      default: return Raised(r_[rControl], r_[rBorder], r_[rControlText]);
    }
  }

  void BuildElements(StyleTables& t) {
    const TColor content = R(rContent), window = R(rWindow), border = R(rBorder), accent = R(rAccent);
    const TColor disabledBorder = Blend(border, window, 0.5);

    // Buttons.
    for (int look = 0; look < 4; ++look) Put(t, teButton, 1, look + 1, ButtonLook(look));
    {
      ElementColors def = ButtonLook(0);
      def.border = accent;
      Put(t, teButton, 1, 5, def);
    }
    for (int part : {2, 3}) {
      const int groups = part == 3 ? 3 : 2;
      for (int group = 0; group < groups; ++group) {
        for (int look = 0; look < 4; ++look) {
          ElementColors c;
          if (group == 0) {
            const TColor fills[] = {content, Blend(content, accent, 0.12), Blend(content, accent, 0.25), R(rDisabled)};
            const TColor borders[] = {border, accent, accent, disabledBorder};
            c = Flat(fills[look], borders[look], R(rWindowText));
            c.glyph = Readable(R(rContentText), fills[look], 3.0);
          } else {
            const TColor fills[] = {accent, SoftLift(accent), SoftSink(accent), R(rDisabled)};
            const TColor borders[] = {Sink(accent), Sink(accent), Sink(accent), disabledBorder};
            c = Flat(fills[look], borders[look], R(rWindowText));
            c.glyph = look == 3 ? R(rDisabledText) : Readable(R(rAccentText), fills[look], 3.0);
          }
          if (look == 3) c.text = R(rDisabledText);
          Put(t, teButton, part, group * 4 + look + 1, c);
        }
      }
    }
    Put(t, teButton, 4, 1, Colors(kNoColor, border, R(rWindowText), border, kNoColor, kNoColor));
    Put(t, teButton, 4, 2, Colors(kNoColor, disabledBorder, R(rDisabledText), disabledBorder, kNoColor, kNoColor));
    Put(t, teButton, 5, 1, ButtonLook(0));

    // Category buttons.
    Put(t, teCategoryButtons, 1, 1, ButtonLook(0));
    Put(t, teCategoryButtons, 1, 2, ButtonLook(1));
    Put(t, teCategoryButtons, 1, 3,
        Soft(R(rSelection), Sink(R(rSelection)), R(rSelectionText)));

    // Combo box: drop-down buttons like push buttons, the border like an edit.
    for (int part : {1, 6, 7})
      for (int look = 0; look < 4; ++look) Put(t, teComboBox, part, look + 1, ButtonLook(look));
    {
      const ElementColors edits[] = {EditLook(0), EditLook(1), EditLook(4), EditLook(3)};
      for (int s = 0; s < 4; ++s) Put(t, teComboBox, 4, s + 1, edits[s]);
    }

    // Edits: text field (normal, hot, selected, disabled, focused, read-only),
    // background (normal, hot, disabled, focused, read-only), border without
    // scroll bars (normal, hot, focused, disabled).
    for (int s = 0; s < 6; ++s) Put(t, teEdit, 1, s + 1, EditLook(s));
    {
      const int map[] = {0, 1, 3, 4, 5};
      for (int s = 0; s < 5; ++s) Put(t, teEdit, 3, s + 1, EditLook(map[s]));
      const int nb[] = {0, 1, 4, 3};
      for (int s = 0; s < 4; ++s) Put(t, teEdit, 6, s + 1, EditLook(nb[s]));
    }

    // Grid.
    const ElementColors cell = Flat(content, R(rGridLine), R(rContentText));
    const ElementColors selected = Soft(R(rSelection), Sink(R(rSelection)), R(rSelectionText));
    Put(t, teGrid, 1, 1, cell);
    Put(t, teGrid, 1, 2, selected);
    for (int part : {2, 4})
      for (int look = 0; look < 3; ++look) Put(t, teGrid, part, look + 1, HeaderLook(look));
    {
      const TColor to = Blend(content, window, 0.3);
      Put(t, teGrid, 3, 1, Colors(to, R(rGridLine), R(rContentText), R(rContentText), content, to));
      Put(t, teGrid, 3, 2, selected);
    }

    // Header.
    for (int part : {1, 2, 3})
      for (int look = 0; look < 3; ++look) Put(t, teHeader, part, look + 1, HeaderLook(look));
    for (int s : {1, 2}) {
      const ElementColors h = HeaderLook(0);
      Put(t, teHeader, 4, s, Colors(kNoColor, kNoColor, h.text, h.text, kNoColor, kNoColor));
    }

    // Progress: bar (horizontal, vertical), chunk (horizontal, vertical).
    const TColor track = Blend(content, window, 0.3);
    for (int part : {1, 2}) Put(t, teProgress, part, 1, Flat(track, border, R(rContentText)));
    for (int part : {3, 4})
      Put(t, teProgress, part, 1,
          Soft(accent, Sink(accent), R(rAccentText)));

    // Scroll bar.
    const TColor arrowFills[] = {Blend(window, R(rControl), 0.6), R(rControlHot), R(rControlPressed), window};
    const TColor arrowText[] = {R(rControlText), R(rControlHotText), R(rControlPressedText), R(rDisabledText)};
    for (int s = 0; s < 16; ++s) {
      const int look = s % 4;
      Put(t, teScrollBar, 1, s + 1,
          Colors(arrowFills[look], Blend(arrowFills[look], border, 0.5), arrowText[look], arrowText[look],
                 arrowFills[look], arrowFills[look]));
    }
    const TColor thumb = Blend(window, border, 0.55);
    const TColor thumbFills[] = {thumb, Blend(thumb, accent, 0.35), accent, Blend(window, border, 0.25)};
    for (int part : {2, 3})
      for (int look = 0; look < 4; ++look)
        Put(t, teScrollBar, part, look + 1,
            Colors(thumbFills[look], Sink(thumbFills[look]), R(rWindowText), R(rWindowText), thumbFills[look],
                   thumbFills[look]));
    const TColor trackFill = Blend(window, content, 0.5);
    const TColor trackFills[] = {trackFill, Blend(trackFill, border, 0.15), Blend(trackFill, border, 0.3), window};
    for (int part = 4; part <= 7; ++part)
      for (int look = 0; look < 4; ++look)
        Put(t, teScrollBar, part, look + 1,
            Colors(trackFills[look], trackFills[look], R(rWindowText), R(rWindowText), trackFills[look],
                   trackFills[look]));

    // Tabs: normal, hot, selected, disabled, focused; the pane.
    Put(t, teTab, 1, 1, Raised(R(rControl), border, R(rControlText)));
    Put(t, teTab, 1, 2, Raised(R(rControlHot), border, R(rControlHotText)));
    {
      ElementColors sel = Flat(window, border, R(rWindowText));
      sel.glyph = accent;  // the marker line along the selected tab's top
      Put(t, teTab, 1, 3, sel);
      Put(t, teTab, 1, 5, sel);
    }
    Put(t, teTab, 1, 4, Flat(R(rDisabled), disabledBorder, R(rDisabledText)));
    Put(t, teTab, 9, 1, Flat(window, border, R(rWindowText)));

    // Tool bar buttons: flat until hot, pressed or checked.
    Put(t, teToolBar, 1, 1, Colors(kNoColor, kNoColor, R(rWindowText), R(rWindowText), kNoColor, kNoColor));
    Put(t, teToolBar, 1, 2,
        Flat(R(rControlHot), Blend(border, accent, 0.5), Readable(R(rWindowText), R(rControlHot))));
    Put(t, teToolBar, 1, 3, Flat(R(rControlPressed), accent, R(rControlPressedText)));
    Put(t, teToolBar, 1, 4, Colors(kNoColor, kNoColor, R(rDisabledText), R(rDisabledText), kNoColor, kNoColor));
    {
      const TColor checked = Blend(window, accent, 0.22), checkedHot = Blend(window, accent, 0.32);
      Put(t, teToolBar, 1, 5, Flat(checked, accent, Readable(R(rWindowText), checked)));
      Put(t, teToolBar, 1, 6, Flat(checkedHot, accent, Readable(R(rWindowText), checkedHot)));
    }
    Put(t, teToolBar, 5, 1, Colors(kNoColor, border, R(rWindowText), border, kNoColor, kNoColor));

    // Overrides from the definition, colour by colour.
    for (auto it = def_.elements.begin(); it != def_.elements.end(); ++it) {
      ElementColors& target = t.elements[it.key()];
      const ElementColors& o = it.value();
      TColor ElementColors::* const members[] = {&ElementColors::fill, &ElementColors::border, &ElementColors::text,
                                                  &ElementColors::glyph, &ElementColors::gradient1,
                                                  &ElementColors::gradient2};
      for (auto m : members)
        if (o.*m != kNotGiven) target.*m = o.*m;
    }
  }

  // Edit looks: 0 normal, 1 hot, 2 selected, 3 disabled, 4 focused, 5 read-only.
  ElementColors EditLook(int look) const {
    const TColor content = r_[rContent], border = r_[rBorder], window = r_[rWindow];
    TColor fill = content, frame = border, text = r_[rContentText];
    switch (look) {
      case 1: frame = Blend(border, r_[rAccent], 0.5); break;
      case 2:
      case 4: frame = r_[rFocus]; break;
      case 3:
        fill = r_[rDisabled];
        frame = Blend(border, window, 0.5);
        text = r_[rDisabledText];
        break;
      case 5:
        fill = Blend(content, window, 0.5);
        text = Readable(text, fill);
        break;
      default: break;
    }
    // The second background colour of edits (the end of an alternative
    // background gradient) is the window colour.
    return Colors(fill, frame, text, text, window, fill);
  }

  // Header-like looks: 0 normal, 1 hot, 2 pressed.
  ElementColors HeaderLook(int look) const {
    const TColor header = r_[rHeader];
    const TColor fills[] = {header, Blend(header, r_[rAccent], 0.12), Blend(header, r_[rAccent], 0.25)};
    const TColor fill = fills[look];
    const TColor text = look == 0 ? r_[rHeaderText] : Readable(r_[rHeaderText], fill);
    return Raised(fill, Blend(header, r_[rBorder], 0.7), text);
  }

  const ElementColors& El(const StyleTables& t, TThemedElement e, int part, int state) const {
    static const ElementColors none;
    const auto it = t.elements.find(ElementKey(e, part, state));
    return it == t.elements.end() ? none : it->second;
  }

  void BuildStyleColors(StyleTables& t) {
    auto& s = t.styleColors;
    const TColor window = R(rWindow);
    s[scBorder] = R(rBorder);
    s[scButtonDisabled] = El(t, teButton, 1, 4).fill;
    s[scButtonFocused] = Blend(El(t, teButton, 1, 1).fill, R(rAccent), 0.08);
    s[scButtonHot] = El(t, teButton, 1, 2).fill;
    s[scButtonNormal] = El(t, teButton, 1, 1).fill;
    s[scButtonPressed] = El(t, teButton, 1, 3).fill;
    s[scCategoryButtons] = window;
    s[scCategoryButtonsGradientBase] = El(t, teCategoryButtons, 1, 1).gradient1;
    s[scCategoryButtonsGradientEnd] = El(t, teCategoryButtons, 1, 1).gradient2;
    s[scCategoryPanelGroup] = window;
    s[scComboBox] = El(t, teComboBox, 4, 1).fill;
    s[scComboBoxDisabled] = El(t, teComboBox, 4, 4).fill;
    s[scEdit] = El(t, teEdit, 1, 1).fill;
    s[scEditDisabled] = El(t, teEdit, 1, 4).fill;
    s[scGrid] = El(t, teGrid, 1, 1).fill;
    s[scGenericBackground] = window;
    s[scGenericGradientBase] = Lift(window);
    s[scGenericGradientEnd] = Sink(window);
    s[scHintGradientBase] = R(rInfo);
    s[scHintGradientEnd] = SoftSink(R(rInfo));
    s[scListBox] = R(rContent);
    s[scListBoxDisabled] = R(rDisabled);
    s[scListView] = R(rContent);
    s[scPanel] = window;
    s[scPanelDisabled] = window;
    s[scSplitter] = Blend(window, R(rBorder), 0.3);
    s[scToolBarGradientBase] = Lift(window);
    s[scToolBarGradientEnd] = window;
    s[scTreeView] = R(rContent);
    s[scWindow] = window;
    for (auto it = def_.styleColors.begin(); it != def_.styleColors.end(); ++it) s[size_t(it.key())] = it.value();
  }

  void BuildFontColors(StyleTables& t) {
    auto& f = t.fontColors;
    const TColor windowText = R(rWindowText), disabledText = R(rDisabledText);
    f[sfButtonTextDisabled] = El(t, teButton, 1, 4).text;
    f[sfButtonTextFocused] = El(t, teButton, 1, 1).text;
    f[sfButtonTextHot] = El(t, teButton, 1, 2).text;
    f[sfButtonTextNormal] = El(t, teButton, 1, 1).text;
    f[sfButtonTextPressed] = El(t, teButton, 1, 3).text;
    f[sfCaptionTextInactive] = t.system[COLOR_INACTIVECAPTIONTEXT];
    f[sfCaptionTextNormal] = t.system[COLOR_CAPTIONTEXT];
    f[sfCategoryButtonsNormal] = El(t, teCategoryButtons, 1, 1).text;
    f[sfCategoryButtonsHot] = El(t, teCategoryButtons, 1, 2).text;
    f[sfCategoryButtonsSelected] = El(t, teCategoryButtons, 1, 3).text;
    f[sfCheckBoxTextDisabled] = El(t, teButton, 3, 4).text;
    f[sfCheckBoxTextNormal] = El(t, teButton, 3, 1).text;
    f[sfComboBoxItemDisabled] = disabledText;
    f[sfComboBoxItemNormal] = El(t, teComboBox, 4, 1).text;
    f[sfComboBoxItemSelected] = R(rSelectionText);
    f[sfEditBoxTextDisabled] = El(t, teEdit, 1, 4).text;
    f[sfEditBoxTextFocused] = El(t, teEdit, 1, 5).text;
    f[sfEditBoxTextHot] = El(t, teEdit, 1, 2).text;
    f[sfEditBoxTextNormal] = El(t, teEdit, 1, 1).text;
    f[sfEditBoxTextSelected] = R(rSelectionText);
    f[sfGridItemFixedHot] = El(t, teGrid, 2, 2).text;
    f[sfGridItemFixedNormal] = El(t, teGrid, 2, 1).text;
    f[sfGridItemFixedPressed] = El(t, teGrid, 2, 3).text;
    f[sfGridItemNormal] = El(t, teGrid, 1, 1).text;
    f[sfGridItemSelected] = El(t, teGrid, 1, 2).text;
    f[sfGroupBoxTextDisabled] = El(t, teButton, 4, 2).text;
    f[sfGroupBoxTextNormal] = El(t, teButton, 4, 1).text;
    f[sfHeaderSectionTextDisabled] = disabledText;
    f[sfHeaderSectionTextHot] = El(t, teHeader, 1, 2).text;
    f[sfHeaderSectionTextNormal] = El(t, teHeader, 1, 1).text;
    f[sfHeaderSectionTextPressed] = El(t, teHeader, 1, 3).text;
    f[sfListItemTextDisabled] = disabledText;
    f[sfListItemTextHot] = R(rContentText);
    f[sfListItemTextNormal] = R(rContentText);
    f[sfListItemTextSelected] = R(rSelectionText);
    f[sfMenuItemTextDisabled] = disabledText;
    f[sfMenuItemTextHot] = R(rSelectionText);
    f[sfMenuItemTextNormal] = windowText;
    f[sfMenuItemTextSelected] = R(rSelectionText);
    f[sfPanelTextDisabled] = disabledText;
    f[sfPanelTextNormal] = windowText;
    f[sfRadioButtonTextDisabled] = El(t, teButton, 2, 4).text;
    f[sfRadioButtonTextNormal] = El(t, teButton, 2, 1).text;
    f[sfTabTextActiveDisabled] = disabledText;
    f[sfTabTextActiveHot] = El(t, teTab, 1, 3).text;
    f[sfTabTextActiveNormal] = El(t, teTab, 1, 3).text;
    f[sfTabTextInactiveDisabled] = El(t, teTab, 1, 4).text;
    f[sfTabTextInactiveHot] = El(t, teTab, 1, 2).text;
    f[sfTabTextInactiveNormal] = El(t, teTab, 1, 1).text;
    f[sfTextLabelDisabled] = disabledText;
    f[sfTextLabelNormal] = windowText;
    f[sfToolItemTextDisabled] = El(t, teToolBar, 1, 4).text;
    f[sfToolItemTextHot] = El(t, teToolBar, 1, 2).text;
    f[sfToolItemTextNormal] = El(t, teToolBar, 1, 1).text;
    f[sfToolItemTextSelected] = El(t, teToolBar, 1, 5).text;
    f[sfTreeItemTextDisabled] = disabledText;
    f[sfTreeItemTextNormal] = R(rContentText);
    f[sfTreeItemTextSelected] = R(rSelectionText);
    f[sfWindowTextDisabled] = disabledText;
    f[sfWindowTextNormal] = windowText;
    for (auto it = def_.fontColors.begin(); it != def_.fontColors.end(); ++it) f[size_t(it.key())] = it.value();
  }

  const StyleDefinition& def_;
  std::array<TColor, kRoleCount> r_;
  bool dark_ = false;
  TColor white_ = 0, black_ = 0;
};

}  // namespace

StyleTables BuildStyleTables(const StyleDefinition& definition) { return Deriver(definition).Build(); }

}  // namespace vclstyles
