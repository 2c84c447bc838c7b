// Attribute values of the SVG engine: declarations, colours, lengths,
// transforms, angles and font families. None of these readers raises: a
// value that does not read gives the value stated at each reader.

#include <QtCore/qnumeric.h>

#include <charconv>
#include <cmath>
#include <numbers>

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
    } units[] = {{u"px", 1}, {u"pt", 1.25}, {u"pc", 15}, {u"mm", 10}, {u"cm", 100},
                 {u"in", 25.4}, {u"em", 1}, {u"ex", 1}};
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

TColor TKitGraphicsSVGImport::ParseRGBColor(const QString& AText, int& AAlpha) {
  AAlpha = -1;
  const QStringView s = Trimmed(AText);
  bool alpha;
  QStringView inner;
  if (s.startsWith(QLatin1String("rgba(")) && s.endsWith(u')')) {
    alpha = true;
    inner = s.mid(5, s.size() - 6);
  } else if (s.startsWith(QLatin1String("rgb(")) && s.endsWith(u')')) {
    alpha = false;
    inner = s.mid(4, s.size() - 5);
  } else {
    return -1;
  }
  inner = Trimmed(inner);
  // Red, green, then blue (the rest for rgb) and alpha (the rest for rgba).
  QStringView parts[4];
  const int wanted = alpha ? 4 : 3;
  QStringView rest = inner;
  for (int i = 0; i < wanted - 1; ++i) {
    const qsizetype comma = rest.indexOf(u',');
    if (comma < 0) {
      parts[i] = rest;
      rest = QStringView();
      for (int j = i + 1; j < wanted; ++j) parts[j] = QStringView();
      break;
    }
    parts[i] = rest.left(comma);
    rest = rest.mid(comma + 1);
    if (i == wanted - 2) parts[wanted - 1] = rest;
  }
  const int r = ParseColorComponent(parts[0]);
  const int g = ParseColorComponent(parts[1]);
  const int b = ParseColorComponent(parts[2]);
  AAlpha = alpha ? ParseColorComponent(parts[3], false) : 255;
  if (r < 0 || g < 0 || b < 0) return -1;
  return MakeRgb(Byte(r), Byte(g), Byte(b));
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
    std::vector<double> args;
    qsizetype i = 0;
    while (i < arguments.size()) {
      while (i < arguments.size() && (IsBlank(arguments[i]) || arguments[i] == u',')) ++i;
      qsizetype j = i;
      while (j < arguments.size() && !IsBlank(arguments[j]) && arguments[j] != u',') ++j;
      if (j > i) {
        const QStringView part = arguments.mid(i, j - i);
        double v = 0;
        if (name == QLatin1String("rotate") || name == QLatin1String("skewX") || name == QLatin1String("skewY")) {
          // Angles keep their unit for ParseAngle; a placeholder here.
          v = 0;
        } else if (!TryReadNumber(part, v)) {
          v = 0;
        }
        args.push_back(v);
      }
      i = j;
    }
    // Argument texts again, for the angle readers.
    auto argumentText = [&](int index) {
      int n = 0;
      qsizetype k = 0;
      while (k < arguments.size()) {
        while (k < arguments.size() && (IsBlank(arguments[k]) || arguments[k] == u',')) ++k;
        qsizetype j = k;
        while (j < arguments.size() && !IsBlank(arguments[j]) && arguments[j] != u',') ++j;
        if (j > k) {
          if (n == index) return arguments.mid(k, j - k);
          ++n;
        }
        k = j;
      }
      return QStringView();
    };
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

void TKitGraphicsSVGImport::ApplyColor(TKitGraphicsSVGElement* AElement, QString& AValueText, TColor& AColor,
                                       bool AURLForms) {
  if (AValueText == QLatin1String("none") || AValueText == QLatin1String("transparent") ||
      AValueText == TKitGraphicsSVGElement::DefaultValue()) {
    AColor = -1;
    return;
  }
  if (AValueText.startsWith(u'#')) {
    try {
      AColor = TKitGraphics::HTMLToColor(AValueText);
    } catch (const EConvertError&) {
      // Not a colour: no paint.
      AColor = -1;
    }
    return;
  }
  if (AURLForms && (AValueText.startsWith(QLatin1String("url(#")) || AValueText.startsWith(QLatin1String("url('#")))) {
    const qsizetype hash = AValueText.indexOf(u'#');
    qsizetype end = AValueText.indexOf(QLatin1String("')"), hash);
    if (end < 0) end = AValueText.indexOf(u')', hash);
    AElement->FURLRefID = end < 0 ? AValueText.mid(hash + 1) : AValueText.mid(hash + 1, end - hash - 1);
    return;
  }
  if (AValueText.startsWith(QLatin1String("rgb"))) {
    int alpha = -1;
    AColor = ParseRGBColor(AValueText, alpha);
    if (alpha == 0) {
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
    const QStringView value = Trimmed(piece.mid(colon + 1));
    TKitGraphicsSVGElement* e = AElement;
    if (name == QLatin1String("fill")) {
      e->FFillColorValue = value.toString();
      ApplyColor(e, e->FFillColorValue, e->FFillColor, true);
    } else if (name == QLatin1String("stroke")) {
      e->FStrokeColorValue = value.toString();
      ApplyColor(e, e->FStrokeColorValue, e->FStrokeColor, true);
    } else if (name == QLatin1String("stroke-width")) {
      e->FStrokeWidthValue = value.toString();
      double v;
      if (TryReadNumber(value, v)) e->FStrokeWidth = float(v);
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
    } else if (name == QLatin1String("stop-opacity")) {
      e->FStopOpacityValue = value.toString();
      e->FStopOpacity = ParseLength(value);
    } else if (name == QLatin1String("stop-color")) {
      e->FStopColorValue = value.toString();
      ApplyColor(e, e->FStopColorValue, e->FStopColor, false);
    } else if (name == QLatin1String("opacity")) {
      e->FOpacityValue = value.toString();
      double v;
      if (TryReadNumber(value, v)) e->FOpacity = float(v);
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
