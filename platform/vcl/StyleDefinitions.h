#pragma once
// Inside the style engine: style definitions (parsed and checked), the colour
// tables derived from them, the element table and colour arithmetic. Not for
// use outside platform/vcl.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/vcl/Themes.h"

namespace vclstyles {

inline constexpr TColor kNoColor = 0x1FFFFFFF;
// An element colour a definition leaves to the derivation.
inline constexpr TColor kNotGiven = -1;
inline constexpr int kSysColorCount = 31;  // COLOR_SCROLLBAR .. COLOR_MENUBAR
inline constexpr int kStyleColorCount = int(scWindow) + 1;
inline constexpr int kStyleFontCount = int(sfWindowTextNormal) + 1;

// The colours of one element state; kNoColor where the style has none.
struct ElementColors {
  TColor fill = kNoColor;
  TColor border = kNoColor;
  TColor text = kNoColor;
  TColor glyph = kNoColor;
  TColor gradient1 = kNoColor;  // top (or left) end of the fill
  TColor gradient2 = kNoColor;  // bottom (or right) end
};

constexpr uint32_t ElementKey(TThemedElement element, int part, int state) {
  return (uint32_t(element) << 16) | (uint32_t(part & 0xFF) << 8) | uint32_t(state & 0xFF);
}
constexpr uint32_t ElementKey(const TThemedElementDetails& d) { return ElementKey(d.Element, d.Part, d.State); }

// One value of one element enumeration. Part 0 marks the "don't care" and
// "root" values, which name no drawable element.
struct ElementEntry {
  const char* name;
  TThemedElement element;
  int value;
  int part;
  int state;
};

// Every value of every element enumeration, family by family in value order.
const std::vector<ElementEntry>& ElementTable();
// nullptr when the value is outside the family's enumeration.
const ElementEntry* FindElementEntry(TThemedElement family, int value);
// By enumeration value name ("tgCellNormal"); nullptr when unknown.
const ElementEntry* FindElementEntryByName(const QString& name);
// The entry describing the details (first one with that part and state).
const ElementEntry* FindElementEntryByDetails(const TThemedElementDetails& details);

// Names used in definitions: "scEdit", "sfGridItemNormal", "clBtnFace".
QString StyleColorName(TStyleColor color);
QString StyleFontName(TStyleFont font);
QString SysColorName(int index);  // empty for the unnamed index 25

// Colour roles of a definition: the first nine are required, the others
// are derived when a definition leaves them out.
enum Role {
  rWindow,
  rWindowText,
  rContent,
  rContentText,
  rControl,
  rControlText,
  rBorder,
  rAccent,
  rAccentText,
  rControlHot,
  rControlHotText,
  rControlPressed,
  rControlPressedText,
  rDisabled,
  rDisabledText,
  rHeader,
  rHeaderText,
  rGridLine,
  rSelection,
  rSelectionText,
  rCaption,
  rCaptionText,
  rInactiveCaption,
  rInactiveCaptionText,
  rInfo,
  rInfoText,
  rLink,
  rFocus,
  kRoleCount
};
inline constexpr int kRequiredRoleCount = int(rAccentText) + 1;
QString RoleName(Role role);

struct StyleDefinition {
  QString name;
  QString description;
  QString author;
  QString authorEMail;
  QString authorURL;
  QString version;
  std::array<TColor, kRoleCount> roles{};  // kNoColor: derive
  QHash<int, TColor> systemColors;         // COLOR_* index -> colour
  QHash<int, TColor> styleColors;          // TStyleColor -> colour
  QHash<int, TColor> fontColors;           // TStyleFont -> colour
  QHash<uint32_t, ElementColors> elements; // kNotGiven: derived, kNoColor: none
};

// Parses and checks a definition. Faults raise EStyleEngineException with
// the origin (file or resource) and what is wrong.
StyleDefinition ParseStyleDefinition(const QByteArray& json, const QString& origin);

// The system style "Windows": roles and every system colour from the system
// colour table (GetSysColor).
StyleDefinition SystemStyleDefinition();

struct StyleTables {
  std::array<TColor, kSysColorCount> system{};
  std::array<TColor, kStyleColorCount> styleColors{};
  std::array<TColor, kStyleFontCount> fontColors{};
  std::unordered_map<uint32_t, ElementColors> elements;
  bool dark = false;
};

StyleTables BuildStyleTables(const StyleDefinition& definition);

// Colour arithmetic on RGB TColor values.
TColor MakeColor(int r, int g, int b);
// a at t = 0, b at t = 1.
TColor Blend(TColor a, TColor b, double t);
// Relative luminance (0 black .. 1 white) and the contrast ratio (1 .. 21).
double Luminance(TColor c);
double Contrast(TColor a, TColor b);
// preferred when it reaches the contrast on background; otherwise preferred
// moved towards black or white (whichever gets there) until it does.
TColor Readable(TColor preferred, TColor background, double minimum = 4.5);

}  // namespace vclstyles
