// Attribute values of the SVG engine: declarations, colours, lengths,
// transforms, angles and font families. None of these readers raises: a
// value that does not read gives the value stated at each reader.

#include <QtCore/qnumeric.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <vector>

#include "foundation/KitGraphics.h"
#include "foundation/KitGraphicsSVGEngine.h"

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }

QStringView Trimmed(QStringView s) {
  qsizetype b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.mid(b, e - b);
}

// The number of a colour component: a decimal number (a fraction allowed,
// rounded), else hexadecimal digits with an optional leading "#"; -1
// otherwise. With AFraction false only whole decimal numbers are read (the
// alpha of rgba, where a fraction such as 0.5 is no value).
int ParseColorComponent(QStringView AText, bool AFraction = true) {
  QStringView s = Trimmed(AText);
  bool percent = false;
  if (s.endsWith(u'%')) {
    percent = true;
    s.chop(1);
  }
  if (s.isEmpty()) return -1;
  bool decimal = true;
  int points = 0;
  for (QChar c : s) {
    if (c == u'.')
      ++points;
    else if (c < u'0' || c > u'9')
      decimal = false;
  }
  if (points > 1 || (points == 1 && !AFraction) || s == QLatin1String(".")) decimal = false;
  double value = 0;
  if (decimal) {
    if (!TKitGraphicsSVGImport::TryReadNumber(s, value)) return -1;
  } else {
    QStringView h = s.startsWith(u'#') ? s.mid(1) : s;
    if (h.isEmpty()) return -1;
    qint64 v = 0;
    for (QChar c : h) {
      int d;
      if (c >= u'0' && c <= u'9')
        d = c.unicode() - u'0';
      else if (c >= u'a' && c <= u'f')
        d = c.unicode() - u'a' + 10;
      else if (c >= u'A' && c <= u'F')
        d = c.unicode() - u'A' + 10;
      else
        return -1;
      v = std::min<qint64>(v * 16 + d, 100000);  // far above 255 without overflowing
    }
    value = double(v);
  }
  if (percent) return int(Round(std::min(value, 100.0) * 255 / 100));
  return int(Round(std::min(value, 255.0)));
}

// "text" with each of the words removed.
QString RemoveWord(const QString& AText, const QString& AWord, bool& AFound) {
  QString s = AText;
  const qsizetype i = s.indexOf(AWord);
  AFound = i >= 0;
  if (AFound) s.remove(AWord);
  return s;
}

// A trailing "-", then a trailing "MT" that has a "-" before it.
QString TrimFontSuffixes(QString s) {
  if (s.endsWith(u'-')) s.chop(1);
  if (s.endsWith(QLatin1String("-MT"))) s.chop(3);
  if (s.endsWith(u'-')) s.chop(1);
  return s;
}

}  // namespace

bool TKitGraphicsSVGImport::TryReadNumber(QStringView AText, double& AValue) {
  if (AText.size() > 64) return false;
  char buffer[64];
  for (qsizetype i = 0; i < AText.size(); ++i) {
    const char16_t c = AText[i].unicode();
    if (c > 0x7F) return false;
    buffer[i] = char(c);
  }
  return TryReadNumber(std::string_view(buffer, size_t(AText.size())), AValue);
}

bool TKitGraphicsSVGImport::TryReadNumber(std::string_view AText, double& AValue) {
  std::string_view s = AText;
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty() || s.size() > 64) return false;
  // Digits, a point, signs and exponent letters only: from_chars would
  // take "inf" and "nan" as numbers too.
  for (char c : s)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return false;
  double value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) return false;
  // Numbers beyond single precision would become infinite in the model.
  if (std::fabs(value) > 1e37) return false;
  AValue = value;
  return true;
}

float TKitGraphicsSVGImport::ParseLength(QStringView AText) {
  QStringView s = Trimmed(AText);
  if (s.isEmpty()) return 0;
  double factor = 1;
  if (s.size() >= 2) {
    const QStringView unit = s.right(2);
    static const struct {
      const char16_t* Unit;
      double Factor;
    } units[] = {{u"px", 1},           {u"pt", 96.0 / 72}, {u"pc", 16}, {u"mm", 96.0 / 25.4},
                 {u"cm", 96.0 / 2.54}, {u"in", 96},        {u"em", 1},  {u"ex", 1}};
    bool found = false;
    for (const auto& u : units)
      if (unit == QStringView(u.Unit)) {
        factor = u.Factor;
        s.chop(2);
        found = true;
        break;
      }
    if (!found && s.endsWith(u'%')) s.chop(1);
  } else if (s.endsWith(u'%')) {
    s.chop(1);
  }
  double value = 0;
  if (!TryReadNumber(Trimmed(s), value)) return 0;
  return float(value * factor);
}

float TKitGraphicsSVGImport::ParseAngle(QStringView AText) {
  QStringView s = Trimmed(AText);
  double factor = std::numbers::pi / 180;
  if (s.contains(QLatin1String("deg"))) {
    s = s.left(s.indexOf(QLatin1String("deg")));
  } else if (s.contains(QLatin1String("grad"))) {
    factor = std::numbers::pi / 200;
    s = s.left(s.indexOf(QLatin1String("grad")));
  } else if (s.contains(QLatin1String("rad"))) {
    factor = 1;
    s = s.left(s.indexOf(QLatin1String("rad")));
  }
  double value = 0;
  if (!TryReadNumber(Trimmed(s), value)) return 0;
  return float(value * factor);
}

namespace {

// The arguments of a functional colour: split at commas, or at blanks and
// a "/" before the alpha.
std::vector<QStringView> ColorArguments(QStringView AInner) {
  std::vector<QStringView> parts;
  if (AInner.contains(u',')) {
    qsizetype from = 0;
    while (true) {
      const qsizetype comma = AInner.indexOf(u',', from);
      parts.push_back(Trimmed(AInner.mid(from, comma < 0 ? -1 : comma - from)));
      if (comma < 0) break;
      from = comma + 1;
    }
    return parts;
  }
  qsizetype i = 0;
  const qsizetype n = AInner.size();
  while (i < n) {
    while (i < n && (IsBlank(AInner[i]) || AInner[i] == u'/')) ++i;
    qsizetype j = i;
    while (j < n && !IsBlank(AInner[j]) && AInner[j] != u'/') ++j;
    if (j > i) parts.push_back(AInner.mid(i, j - i));
    i = j;
  }
  return parts;
}

// An alpha value: a number (0..1) or a percentage; -1 when it does not read.
int ParseAlphaComponent(QStringView AText) {
  QStringView s = Trimmed(AText);
  double scale = 1;
  if (s.endsWith(u'%')) {
    s.chop(1);
    scale = 0.01;
  }
  double v = 0;
  if (!TKitGraphicsSVGImport::TryReadNumber(s, v)) return -1;
  return int(Round(std::clamp(v * scale, 0.0, 1.0) * 255));
}

// A number with an optional "%": the fraction 0..1 of a percentage.
bool ParsePercentage(QStringView AText, double& AValue) {
  QStringView s = Trimmed(AText);
  if (!s.endsWith(u'%')) return false;
  s.chop(1);
  double v = 0;
  if (!TKitGraphicsSVGImport::TryReadNumber(Trimmed(s), v)) return false;
  AValue = std::clamp(v / 100, 0.0, 1.0);
  return true;
}

// Hue in degrees (a unit deg, grad, rad or turn allowed).
bool ParseHue(QStringView AText, double& ADegrees) {
  QStringView s = Trimmed(AText);
  double factor = 1;
  if (s.endsWith(QLatin1String("deg"))) {
    s.chop(3);
  } else if (s.endsWith(QLatin1String("grad"))) {
    s.chop(4);
    factor = 0.9;
  } else if (s.endsWith(QLatin1String("rad"))) {
    s.chop(3);
    factor = 180 / std::numbers::pi;
  } else if (s.endsWith(QLatin1String("turn"))) {
    s.chop(4);
    factor = 360;
  }
  double v = 0;
  if (!TKitGraphicsSVGImport::TryReadNumber(Trimmed(s), v)) return false;
  ADegrees = v * factor;
  return true;
}

int HexDigit(QChar c) {
  if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
  if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
  return -1;
}

}  // namespace

TColor TKitGraphicsSVGImport::ParseRGBColor(const QString& AText, int& AAlpha) {
  AAlpha = -1;
  const QStringView s = Trimmed(AText);
  const qsizetype open = s.indexOf(u'(');
  if (open < 0 || !s.endsWith(u')')) return -1;
  const QString name = Trimmed(s.left(open)).toString().toLower();
  const bool rgb = name == QLatin1String("rgb") || name == QLatin1String("rgba");
  const bool hsl = name == QLatin1String("hsl") || name == QLatin1String("hsla");
  if (!rgb && !hsl) return -1;
  const std::vector<QStringView> parts = ColorArguments(Trimmed(s.mid(open + 1, s.size() - open - 2)));
  if (parts.size() < 3) {
    if (name == QLatin1String("rgb")) AAlpha = 255;
    return -1;
  }
  int alpha = 255;
  if (parts.size() >= 4) alpha = ParseAlphaComponent(parts[3]);
  if (parts.size() > 4) alpha = -1;
  TColor color = -1;
  if (rgb) {
    const int r = ParseColorComponent(parts[0]);
    const int g = ParseColorComponent(parts[1]);
    const int b = ParseColorComponent(parts[2]);
    if (r >= 0 && g >= 0 && b >= 0) color = MakeRgb(Byte(r), Byte(g), Byte(b));
  } else {
    double h = 0, sat = 0, light = 0;
    if (ParseHue(parts[0], h) && ParsePercentage(parts[1], sat) && ParsePercentage(parts[2], light)) {
      h = std::fmod(h, 360.0);
      if (h < 0) h += 360;
      // CSS Color: hue to RGB.
      const double c = (1 - std::fabs(2 * light - 1)) * sat;
      const double x = c * (1 - std::fabs(std::fmod(h / 60, 2.0) - 1));
      const double m = light - c / 2;
      double r = 0, g = 0, b = 0;
      if (h < 60) r = c, g = x;
      else if (h < 120) r = x, g = c;
      else if (h < 180) g = c, b = x;
      else if (h < 240) g = x, b = c;
      else if (h < 300) r = x, b = c;
      else r = c, b = x;
      auto byte = [](double v) { return Byte(std::clamp(int(Round((v)*255)), 0, 255)); };
      color = MakeRgb(byte(r + m), byte(g + m), byte(b + m));
    }
  }
  if (color == -1) {
    AAlpha = alpha;
    return -1;
  }
  AAlpha = alpha;
  return color;
}

TColor TKitGraphicsSVGImport::ParseColor(QStringView AText, float& AAlpha) {
  AAlpha = 1;
  const QStringView s = Trimmed(AText);
  if (s.isEmpty()) return -1;
  if (s.startsWith(u'#')) {
    const QStringView h = s.mid(1);
    int d[8];
    if (h.size() != 3 && h.size() != 4 && h.size() != 6 && h.size() != 8) return -1;
    for (qsizetype i = 0; i < h.size(); ++i)
      if ((d[i] = HexDigit(h[i])) < 0) return -1;
    int r, g, b, a = 255;
    if (h.size() <= 4) {
      r = d[0] * 17, g = d[1] * 17, b = d[2] * 17;
      if (h.size() == 4) a = d[3] * 17;
    } else {
      r = d[0] * 16 + d[1], g = d[2] * 16 + d[3], b = d[4] * 16 + d[5];
      if (h.size() == 8) a = d[6] * 16 + d[7];
    }
    AAlpha = float(a) / 255;
    return MakeRgb(Byte(r), Byte(g), Byte(b));
  }
  if (s.contains(u'(')) {
    int alpha = -1;
    const TColor c = ParseRGBColor(s.toString(), alpha);
    if (c == -1 || alpha < 0) return -1;
    AAlpha = float(alpha) / 255;
    return c;
  }
  return TKitGraphics::TextToColor(s.toString());
}

TKitGraphicsMatrix TKitGraphicsSVGImport::ParseTransform(const QString& AText, bool APresent) {
  if (!APresent) return MatrixEmpty();
  TKitGraphicsMatrix result = MatrixIdentity();
  QStringView text = Trimmed(AText);
  while (true) {
    const qsizetype open = text.indexOf(u'(');
    const qsizetype close = text.indexOf(u')');
    if (open < 0 || close < 0) break;
    if (close < open) {
      // A ")" before the "(": nothing readable up to it.
      text = Trimmed(text.mid(close + 1));
      continue;
    }
    QStringView name = Trimmed(text.left(open));
    // A separating comma between functions is allowed.
    if (name.startsWith(u',')) name = Trimmed(name.mid(1));
    const QStringView arguments = text.mid(open + 1, close - open - 1);
    // The arguments as number texts: blanks and commas separate them, and
    // as in path data a sign (not after an exponent) or a second point
    // starts the next one ("-384.57-515.8" holds two numbers).
    std::vector<QStringView> texts;
    {
      qsizetype from = -1;
      bool point = false, exponent = false;
      auto finish = [&](qsizetype at) {
        if (from >= 0 && at > from) texts.push_back(arguments.mid(from, at - from));
        from = -1;
        point = exponent = false;
      };
      for (qsizetype k = 0; k < arguments.size(); ++k) {
        const QChar c = arguments[k];
        if (IsBlank(c) || c == u',') {
          finish(k);
          continue;
        }
        const bool afterExponent = from >= 0 && k > from && (arguments[k - 1] == u'e' || arguments[k - 1] == u'E');
        if ((c == u'+' || c == u'-') && from >= 0 && !afterExponent) finish(k);
        if (c == u'.' && point && !exponent) finish(k);
        if (from < 0) from = k;
        if (c == u'.') point = true;
        if ((c == u'e' || c == u'E') && k + 1 < arguments.size() &&
            (arguments[k + 1].isDigit() || arguments[k + 1] == u'+' || arguments[k + 1] == u'-'))
          exponent = true;
      }
      finish(arguments.size());
    }
    std::vector<double> args;
    const bool angles =
        name == QLatin1String("rotate") || name == QLatin1String("skewX") || name == QLatin1String("skewY");
    for (const QStringView part : texts) {
      double v = 0;
      // Angles keep their unit for ParseAngle; a placeholder here.
      if (!angles && !TryReadNumber(part, v)) v = 0;
      args.push_back(v);
    }
    auto argumentText = [&](int index) { return index < int(texts.size()) ? texts[size_t(index)] : QStringView(); };
    TKitGraphicsMatrix m = MatrixIdentity();
    const size_t count = args.size();
    if (name == QLatin1String("matrix")) {
      if (count == 6) {
        m.m11 = float(args[0]);
        m.m12 = float(args[1]);
        m.m21 = float(args[2]);
        m.m22 = float(args[3]);
        m.m31 = float(args[4]);
        m.m32 = float(args[5]);
      }
    } else if (name == QLatin1String("translate")) {
      if (count == 1 || count == 2) m = MatrixCreateTranslation(float(args[0]), count == 2 ? float(args[1]) : 0.0f);
    } else if (name == QLatin1String("scale")) {
      if (count == 1 || count == 2) m = MatrixCreateScaling(float(args[0]), count == 2 ? float(args[1]) : float(args[0]));
    } else if (name == QLatin1String("rotate")) {
      if (count >= 1) {
        const float angle = ParseAngle(argumentText(0));
        TPointF centre;
        if (count == 3) {
          double cx = 0, cy = 0;
          TryReadNumber(argumentText(1), cx);
          TryReadNumber(argumentText(2), cy);
          centre = TPointF(float(cx), float(cy));
        }
        m = MatrixCreateTranslation(-centre.X, -centre.Y) * MatrixCreateRotation(angle) *
            MatrixCreateTranslation(centre.X, centre.Y);
      }
    } else if (name == QLatin1String("skewX") || name == QLatin1String("skewY")) {
      if (count == 1) {
        // Degrees; a unit is read as ParseAngle reads it.
        const float angle = ParseAngle(argumentText(0));
        const float t = std::tan(angle);
        if (std::isfinite(t)) {
          if (name == QLatin1String("skewX"))
            m.m21 = t;
          else
            m.m12 = t;
        }
      }
    }
    // SVG order: the function written later acts on the coordinates first.
    result = m * result;
    text = Trimmed(text.mid(close + 1));
  }
  return result;
}

void TKitGraphicsSVGImport::ParseFontFamily(const QString& AText, QString& AName, TFontStyles& AStyles) {
  bool bold = false, italic = false;
  QString name = RemoveWord(AText, QStringLiteral("Bold"), bold);
  name = RemoveWord(name, QStringLiteral("Italic"), italic);
  if (bold) AStyles.Include(fsBold);
  if (italic) AStyles.Include(fsItalic);
  name = TrimFontSuffixes(name.trimmed());
  if (name.contains(u',')) {
    const QStringList entries = name.split(u',');
    name = entries.size() > 1 ? entries[1].trimmed() : name;
  }
  AName = TrimFontSuffixes(name.trimmed());
}

bool TKitGraphicsSVGElement::HasFillColor() const {
  return FFillColorValue != QLatin1String("none") && FFillColorValue != QLatin1String("transparent") &&
         FFillColorValue != DefaultValue();
}
bool TKitGraphicsSVGElement::HasStrokeColor() const {
  return FStrokeColorValue != QLatin1String("none") && FStrokeColorValue != QLatin1String("transparent") &&
         FStrokeColorValue != DefaultValue();
}
bool TKitGraphicsSVGElement::HasStopColor() const {
  return FStopColorValue != QLatin1String("none") && FStopColorValue != QLatin1String("transparent") &&
         FStopColorValue != DefaultValue();
}

namespace {

bool IsInherit(QStringView AValue) { return AValue.compare(QLatin1String("inherit"), Qt::CaseInsensitive) == 0; }
bool IsCurrentColor(QStringView AValue) {
  return AValue.compare(QLatin1String("currentColor"), Qt::CaseInsensitive) == 0;
}

// An opacity: a number or a percentage, kept within 0..1; false when it
// does not read.
bool ParseOpacity(QStringView AText, float& AValue) {
  QStringView s = Trimmed(AText);
  double scale = 1;
  if (s.endsWith(u'%')) {
    s.chop(1);
    scale = 0.01;
  }
  double v = 0;
  if (!TKitGraphicsSVGImport::TryReadNumber(Trimmed(s), v)) return false;
  AValue = float(std::clamp(v * scale, 0.0, 1.0));
  return true;
}

}  // namespace

float TKitGraphicsSVGImport::ParseGeometryLength(QStringView AText, int AAxis) const {
  const QStringView s = Trimmed(AText);
  if (!s.endsWith(u'%')) return ParseLength(s);
  double v = 0;
  if (!TryReadNumber(Trimmed(s.left(s.size() - 1)), v)) return 0;
  const double w = FViewport.cx, h = FViewport.cy;
  const double base = AAxis == 0 ? w : AAxis == 1 ? h : std::sqrt((w * w + h * h) / 2);
  return float(v / 100 * base);
}

TKitGraphicsSVGLength TKitGraphicsSVGImport::ParseGradientLength(QStringView AText) {
  TKitGraphicsSVGLength result;
  result.Present = true;
  const QStringView s = Trimmed(AText);
  if (s.endsWith(u'%')) {
    double v = 0;
    if (TryReadNumber(Trimmed(s.left(s.size() - 1)), v)) result.Value = float(v / 100);
    result.Percent = true;
    return result;
  }
  result.Value = ParseLength(s);
  return result;
}

void TKitGraphicsSVGImport::ApplyColor(TKitGraphicsSVGElement* AElement, QString& AValueText, TColor& AColor,
                                       float& AAlpha, QString* AURLRefID) {
  AAlpha = 1;
  if (IsInherit(AValueText)) AValueText = TKitGraphicsSVGElement::DefaultValue();
  if (AValueText == QLatin1String("none") || AValueText == QLatin1String("transparent") ||
      AValueText == TKitGraphicsSVGElement::DefaultValue()) {
    AColor = -1;
    if (AValueText == QLatin1String("transparent")) AAlpha = 0;
    return;
  }
  if (IsCurrentColor(AValueText)) {
    // Resolved when drawn, from the color property of the element or its
    // ancestors.
    AValueText = QStringLiteral("currentColor");
    AColor = -1;
    return;
  }
  if (AURLRefID && AValueText.startsWith(QLatin1String("url("))) {
    const qsizetype hash = AValueText.indexOf(u'#');
    qsizetype end = AValueText.indexOf(u')');
    if (hash >= 0 && (end < 0 || hash < end)) {
      QString id = end < 0 ? AValueText.mid(hash + 1) : AValueText.mid(hash + 1, end - hash - 1);
      id = id.trimmed();
      if (id.endsWith(u'\'') || id.endsWith(u'"')) id.chop(1);
      *AURLRefID = id.trimmed();
    }
    // A fallback colour after the reference serves when it names no
    // gradient; without one such a paint is none.
    AColor = -1;
    if (end >= 0) {
      const QString fallback = AValueText.mid(end + 1).trimmed();
      if (!fallback.isEmpty() && fallback != QLatin1String("none")) AColor = ParseColor(fallback, AAlpha);
    }
    (void)AElement;
    return;
  }
  if (AValueText.startsWith(u'#')) {
    AColor = ParseColor(AValueText, AAlpha);
    return;
  }
  if (AValueText.contains(u'(')) {
    AColor = ParseColor(AValueText, AAlpha);
    if (AColor != -1 && AAlpha == 0) {
      // Fully transparent: no paint.
      AValueText = QStringLiteral("none");
      AColor = -1;
    }
    return;
  }
  AColor = TKitGraphics::TextToColor(AValueText);
}

void TKitGraphicsSVGImport::ParseStyle(TKitGraphicsSVGElement* AElement, QStringView AText) {
  const QStringView text = Trimmed(AText);
  qsizetype start = 0;
  while (start <= text.size()) {
    qsizetype end = text.indexOf(u';', start);
    if (end < 0) end = text.size();
    const QStringView piece = text.mid(start, end - start);
    start = end + 1;
    // The name ends at the first ":" (after "xlink:href" at the one that
    // follows it).
    qsizetype colon;
    const qsizetype href = piece.indexOf(QLatin1String("xlink:href"));
    if (href >= 0)
      colon = piece.indexOf(u':', href + 10);
    else
      colon = piece.indexOf(u':');
    if (colon < 0) continue;
    const QStringView name = Trimmed(piece.left(colon));
    QStringView value = Trimmed(piece.mid(colon + 1));
    // "!important" gives no weight here; the value is read without it.
    if (value.endsWith(QLatin1String("!important"))) value = Trimmed(value.left(value.size() - 10));
    TKitGraphicsSVGElement* e = AElement;
    if (name == QLatin1String("fill")) {
      e->FFillColorValue = value.toString();
      e->FURLRefID.clear();
      ApplyColor(e, e->FFillColorValue, e->FFillColor, e->FFillColorAlpha, &e->FURLRefID);
    } else if (name == QLatin1String("stroke")) {
      e->FStrokeColorValue = value.toString();
      e->FStrokeURLRefID.clear();
      ApplyColor(e, e->FStrokeColorValue, e->FStrokeColor, e->FStrokeColorAlpha, &e->FStrokeURLRefID);
    } else if (name == QLatin1String("color")) {
      e->FColorValue = value.toString();
      float alpha = 1;
      if (IsInherit(value) || IsCurrentColor(value)) {
        e->FColorValue = TKitGraphicsSVGElement::DefaultValue();
        e->FColor = 0;
      } else {
        e->FColor = ParseColor(value, alpha);
        if (e->FColor == -1) e->FColorValue = TKitGraphicsSVGElement::DefaultValue();
      }
    } else if (name == QLatin1String("stroke-width")) {
      if (IsInherit(value)) {
        e->FStrokeWidthValue = TKitGraphicsSVGElement::DefaultValue();
        continue;
      }
      const QStringView number = Trimmed(value);
      double v = 0;
      // A length: any unit, "%" of the viewport's diagonal.
      bool ok = false;
      if (number.endsWith(u'%')) {
        ok = TryReadNumber(Trimmed(number.left(number.size() - 1)), v);
        if (ok) v = ParseGeometryLength(number, 2);
      } else {
        ok = TryReadNumber(number, v);
        if (!ok) {
          v = ParseLength(number);
          ok = v != 0 || number.startsWith(u'0');
        }
      }
      if (ok && v >= 0) {
        e->FStrokeWidthValue = value.toString();
        e->FStrokeWidth = float(v);
      }
    } else if (name == QLatin1String("display")) {
      e->FDisplayValue = value.toString().toLower();
    } else if (name == QLatin1String("font-family")) {
      QString family;
      TFontStyles styles;
      ParseFontFamily(value.toString(), family, styles);
      e->FFontFamily = family;
      if (e->FFontStyle.Empty()) e->FFontStyle = styles;
    } else if (name == QLatin1String("font-style")) {
      if (value == QLatin1String("italic") && e->FFontStyle.Empty()) e->FFontStyle.Include(fsItalic);
    } else if (name == QLatin1String("font-size")) {
      e->FFontSizeValue = value.toString();
      e->FFontSize = ParseLength(value);
    } else if (name == QLatin1String("preserveAspectRatio")) {
      e->FPreserveAspectRatioValue = value.toString();
      e->FPreserveAspectRatio = value == QLatin1String("none") ? parNone : parOther;
    } else if (name == QLatin1String("offset")) {
      e->FOffsetValue = value.toString();
      e->FOffset = ParseLength(value);
      if (value.endsWith(u'%')) e->FOffset /= 100;
      if (!std::isfinite(e->FOffset)) e->FOffset = 0;
      e->FOffset = std::clamp(e->FOffset, 0.0f, 1.0f);
    } else if (name == QLatin1String("stop-opacity")) {
      e->FStopOpacityValue = value.toString();
      if (!ParseOpacity(value, e->FStopOpacity)) e->FStopOpacity = 1;
    } else if (name == QLatin1String("stop-color")) {
      e->FStopColorValue = value.toString();
      ApplyColor(e, e->FStopColorValue, e->FStopColor, e->FStopColorAlpha, nullptr);
    } else if (name == QLatin1String("opacity") || name == QLatin1String("fill-opacity") ||
               name == QLatin1String("stroke-opacity")) {
      QString& text = name == QLatin1String("opacity")        ? e->FOpacityValue
                      : name == QLatin1String("fill-opacity") ? e->FFillOpacityValue
                                                              : e->FStrokeOpacityValue;
      float& number = name == QLatin1String("opacity")        ? e->FOpacity
                      : name == QLatin1String("fill-opacity") ? e->FFillOpacity
                                                              : e->FStrokeOpacity;
      if (IsInherit(value)) {
        text = TKitGraphicsSVGElement::DefaultValue();
        continue;
      }
      if (ParseOpacity(value, number)) text = value.toString();
    } else if (name == QLatin1String("fill-rule") || name == QLatin1String("clip-rule")) {
      QString& rule = name == QLatin1String("fill-rule") ? e->FFillRuleValue : e->FClipRuleValue;
      const QString v = value.toString().toLower();
      if (v == QLatin1String("nonzero") || v == QLatin1String("evenodd")) rule = v;
      else if (v == QLatin1String("inherit")) rule = TKitGraphicsSVGElement::DefaultValue();
    } else if (name == QLatin1String("gradientUnits")) {
      e->FGradientUnitsValue = value.toString();
    } else if (name == QLatin1String("xlink:href") || name == QLatin1String("href")) {
      const qsizetype hash = value.indexOf(u'#');
      e->FHRefID = hash < 0 ? QString() : value.mid(hash + 1).toString();
    } else if (name == QLatin1String("class")) {
      e->FClassRefID = value.toString();
      const TKitGraphicsSVGElement* parent = e->FParent;
      const bool inPaint = parent != nullptr && (parent->FType == etLinearGradient ||
                                                 parent->FType == etRadialGradient || parent->FType == etPattern);
      if (!inPaint && !e->FInClassList) {
        e->FInClassList = true;
        FElementClassList.push_back(e);
      }
    } else if (name == QLatin1String("id")) {
      e->FID = value.toString();
    } else if (name == QLatin1String("clip-path")) {
      const qsizetype hash = value.indexOf(u'#');
      const qsizetype close = value.indexOf(u')');
      if (hash >= 0 && close > hash)
        e->FClipPathRefID = value.mid(hash + 1, close - hash - 1).toString();
      else if (hash >= 0)
        e->FClipPathRefID = value.mid(hash + 1).toString();
      else
        e->FClipPathRefID.clear();
    }
  }
}
