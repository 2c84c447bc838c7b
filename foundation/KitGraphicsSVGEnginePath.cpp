// Path data and point lists of the SVG engine.

#include <cmath>
#include <numbers>
#include <string>

#include "foundation/KitGraphicsSVGEngine.h"
#include "platform/rtl/RtlConsts.h"

namespace {

constexpr double Pi = std::numbers::pi;

// The group size of each command letter; -1 for other characters.
int GroupSize(char16_t c) {
  switch (c) {
    case u'A': case u'a': return 7;
    case u'C': case u'c': return 6;
    case u'H': case u'h': case u'V': case u'v': return 1;
    case u'L': case u'l': case u'M': case u'm': case u'T': case u't': return 2;
    case u'Q': case u'q': case u'S': case u's': return 4;
    case u'Z': case u'z': return 0;
    default: return -1;
  }
}

bool IsCommand(char16_t c) { return GroupSize(c) >= 0; }

// S reflects the control point of a previous C or S, T that of a previous
// Q or T; after any other command the control point is the current point.
bool ReflectsAfter(char16_t ACommand, char16_t APrevious) {
  switch (ACommand) {
    case u'S':
    case u's': return APrevious == u'C' || APrevious == u'c' || APrevious == u'S' || APrevious == u's';
    case u'T':
    case u't': return APrevious == u'Q' || APrevious == u'q' || APrevious == u'T' || APrevious == u't';
    default: return false;
  }
}

// Path data in error: the path is drawn up to the command in error.
struct TPathDataEnd {};

// The numbers of one command's argument text, by the character rules of
// path data: blanks end a number, a sign starts one (unless it follows an
// exponent letter), a second point or exponent letter starts a new one,
// every character that is none of these is dropped.
class TNumberScanner {
 public:
  TNumberScanner(TKitGraphicsSVGPathTokens& ATokens, QStringList* ATexts) : FTokens(ATokens), FTexts(ATexts) {}

  // AArc: the text belongs to an arc command, whose fourth and fifth
  // numbers of every seven are flags of one character each ("a7 7 0 100 14"
  // holds the flags 1 and 0 before the 0 of the end point).
  void Scan(QStringView AText, bool AArc) {
    const size_t first = FTokens.size();
    for (QChar qc : AText) {
      const char16_t c = qc.unicode();
      if (AArc && FBuffer.empty() && (c == u'0' || c == u'1')) {
        const size_t index = (FTokens.size() - first) % 7;
        if (index == 3 || index == 4) {
          FBuffer.push_back(char(c));
          End();
          continue;
        }
      }
      switch (c) {
        case u' ': case u'\t': case u'\n': case u'\r': case u',':
          End();
          break;
        case u'+': case u'-':
          if (!FExponent) End();
          FBuffer.push_back(char(c));
          break;
        case u'.':
          if (FPoint) End();
          FBuffer.push_back('.');
          FPoint = true;
          break;
        case u'e': case u'E':
          if (FExponent) End();
          FBuffer.push_back(char(c));
          FExponent = true;
          break;
        default:
          if (c >= u'0' && c <= u'9') FBuffer.push_back(char(c));
          break;
      }
    }
    End();
  }

 private:
  void End() {
    if (!FBuffer.empty()) {
      TKitGraphicsSVGPathToken token;
      double value = 0;
      if (TKitGraphicsSVGImport::TryReadNumber(std::string_view(FBuffer), value))
        token.Value = value;
      FTokens.push_back(token);
      if (FTexts) FTexts->append(QString::fromLatin1(FBuffer.data(), qsizetype(FBuffer.size())));
      FBuffer.clear();
    }
    FPoint = false;
    FExponent = false;
  }

  TKitGraphicsSVGPathTokens& FTokens;
  QStringList* FTexts;
  std::string FBuffer;
  bool FPoint = false;
  bool FExponent = false;
};

}  // namespace

TKitGraphicsSVGPathTokens TKitGraphicsSVGImport::SplitPathData(QStringView AText, QStringList* ATexts) {
  TKitGraphicsSVGPathTokens tokens;
  tokens.reserve(size_t(AText.size() / 3 + 4));
  qsizetype i = 0;
  const qsizetype n = AText.size();
  // Text before the first command letter belongs to no command.
  while (i < n && !IsCommand(AText[i].unicode())) ++i;
  TNumberScanner scanner(tokens, ATexts);
  while (i < n) {
    const char16_t command = AText[i].unicode();
    qsizetype j = i + 1;
    while (j < n && !IsCommand(AText[j].unicode())) ++j;
    const size_t first = tokens.size();
    tokens.push_back({command, 0});
    const qsizetype firstText = ATexts ? ATexts->size() : 0;
    if (ATexts) ATexts->append(QString(QChar(command)));
    scanner.Scan(AText.mid(i + 1, j - i - 1), command == u'A' || command == u'a');
    const int g = GroupSize(command);
    const size_t count = tokens.size() - first - 1;
    if (g == 0) {
      tokens.resize(first + 1);
      if (ATexts) {
        while (ATexts->size() > firstText + 1) ATexts->removeLast();
      }
    } else if (count != size_t(g) && count % size_t(g) != 1 && count > size_t(g)) {
      // The letter again before every further complete group; after a
      // moveto the repeated pairs are lines.
      const char16_t repeat = command == u'M' ? u'L' : command == u'm' ? u'l' : command;
      TKitGraphicsSVGPathTokens grouped;
      grouped.reserve(count + count / size_t(g) + 1);
      QStringList groupedTexts;
      for (size_t k = 0; k < count; ++k) {
        if (k > 0 && k % size_t(g) == 0 && k + size_t(g) <= count) {
          grouped.push_back({repeat, 0});
          if (ATexts) groupedTexts.append(QString(QChar(repeat)));
        }
        grouped.push_back(tokens[first + 1 + k]);
        if (ATexts) groupedTexts.append(ATexts->at(firstText + 1 + qsizetype(k)));
      }
      tokens.resize(first + 1);
      tokens.insert(tokens.end(), grouped.begin(), grouped.end());
      if (ATexts) {
        while (ATexts->size() > firstText + 1) ATexts->removeLast();
        ATexts->append(groupedTexts);
      }
    }
    i = j;
  }
  return tokens;
}

double TKitGraphicsSVGImport::VectorAngle(double UX, double UY, double VX, double VY) {
  const double a = std::atan2(UY, UX);
  const double b = std::atan2(VY, VX);
  return a <= b ? b - a : 2 * Pi - (a - b);
}

void TKitGraphicsSVGImport::ArcToBeziers(TKitGraphicsPath* APath, double X1, double X2, double Y1, double Y2,
                                         double RX, double RY, double Angle, int LargeArc, int Sweep) {
  if (APath == nullptr) return;
  if (X1 == X2 && Y1 == Y2) return;
  auto line = [&] { APath->AddLine(TPointF(float(X1), float(Y1)), TPointF(float(X2), float(Y2))); };
  if (RX == 0 || RY == 0) {
    line();
    return;
  }
  const double phi = Angle * Pi / 180;
  const double cosPhi = std::cos(phi), sinPhi = std::sin(phi);
  const double x1p = cosPhi * (X1 - X2) / 2 + sinPhi * (Y1 - Y2) / 2;
  const double y1p = -sinPhi * (X1 - X2) / 2 + cosPhi * (Y1 - Y2) / 2;
  double rx2 = RX * RX, ry2 = RY * RY;
  const double d = rx2 * ry2 - rx2 * y1p * y1p - ry2 * x1p * x1p;
  double factor = 0;
  if (d >= 0) {
    const double denominator = rx2 * y1p * y1p + ry2 * x1p * x1p;
    const double sign = (LargeArc != Sweep) ? 1.0 : -1.0;
    factor = denominator > 0 ? sign * std::sqrt(d / denominator) : 0;
  } else {
    // Radii too small to reach: grown until the arc just fits.
    const double grow = std::sqrt(1 - d / (rx2 * ry2));
    RX *= grow;
    RY *= grow;
  }
  const double cxp = factor * RX * y1p / RY;
  const double cyp = -factor * RY * x1p / RX;
  const double cx = cosPhi * cxp - sinPhi * cyp + (X1 + X2) / 2;
  const double cy = sinPhi * cxp + cosPhi * cyp + (Y1 + Y2) / 2;
  const double ux = (x1p - cxp) / RX, uy = (y1p - cyp) / RY;
  const double vx = (-x1p - cxp) / RX, vy = (-y1p - cyp) / RY;
  const double theta1 = VectorAngle(1, 0, ux, uy);
  double delta = VectorAngle(ux, uy, vx, vy);
  if (Sweep == 0 && delta > 0) delta -= 2 * Pi;
  if (Sweep == 1 && delta < 0) delta += 2 * Pi;
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(theta1) || !std::isfinite(delta)) {
    // Numbers beyond what the arc formulas can carry: the chord.
    line();
    return;
  }
  const int n = int(std::ceil(std::fabs(delta) / (Pi / 2) - 1e-9));
  if (n <= 0) {
    line();
    return;
  }
  const double step = delta / n;
  const double t = (8.0 / 3.0) * std::sin(step / 4) * std::sin(step / 4) / std::sin(step / 2);
  auto point = [&](double a) {
    return TPointF(float(cx + cosPhi * RX * std::cos(a) - sinPhi * RY * std::sin(a)),
                   float(cy + sinPhi * RX * std::cos(a) + cosPhi * RY * std::sin(a)));
  };
  auto derivative = [&](double a) {
    return TPointF(float(-cosPhi * RX * std::sin(a) - sinPhi * RY * std::cos(a)),
                   float(-sinPhi * RX * std::sin(a) + cosPhi * RY * std::cos(a)));
  };
  double a1 = theta1;
  for (int k = 0; k < n; ++k) {
    const double a2 = a1 + step;
    const TPointF start = point(a1), end = point(a2);
    const TPointF d1 = derivative(a1), d2 = derivative(a2);
    if (APath->Count() > 0)
      APath->LineTo(start);
    else
      APath->MoveTo(start);
    APath->CurveTo(TPointF(float(start.X + t * d1.X), float(start.Y + t * d1.Y)),
                   TPointF(float(end.X - t * d2.X), float(end.Y - t * d2.Y)), end);
    a1 = a2;
  }
}

void TKitGraphicsSVGImport::ParsePathData(TKitGraphicsSVGElement* AElement, QStringView AText) {
  const TKitGraphicsSVGPathTokens tokens = SplitPathData(AText);
  const size_t count = tokens.size();
  size_t index = 0;
  char16_t command = 0, previous = 0;
  // A command whose arguments run out (or meet the next command letter)
  // ends the path data there: what was built before it stays.
  auto next = [&]() -> double {
    if (index >= count || tokens[index].Command != 0) throw TPathDataEnd{};
    return tokens[index++].Value;
  };
  auto flag = [&]() -> int {
    const double v = next();
    if (v != 0 && v != 1) throw TPathDataEnd{};
    return int(v);
  };
  double x = 0, y = 0;    // current point
  double lx = 0, ly = 0;  // last second control point
  TKitGraphicsPath* path = nullptr;
  auto pt = [](double px, double py) { return TPointF(float(px), float(py)); };
  double sx = 0, sy = 0;  // start of the current subpath
  try {
    while (index < count) {
      const TKitGraphicsSVGPathToken& token = tokens[index++];
      if (token.Command == 0) continue;
      command = token.Command;
      const bool relative = command >= u'a';
      const double ox = relative ? x : 0, oy = relative ? y : 0;
      switch (command) {
        case u'M':
        case u'm': {
          const double nx = next() + ox, ny = next() + oy;
          path = AElement->AddPath();
          x = sx = nx;
          y = sy = ny;
          path->MoveTo(pt(x, y));
          break;
        }
        case u'L':
        case u'l': {
          const double nx = next() + ox, ny = next() + oy;
          x = nx;
          y = ny;
          if (path) path->LineTo(pt(x, y));
          break;
        }
        case u'H':
        case u'h':
          x = next() + ox;
          if (path) path->LineTo(pt(x, y));
          break;
        case u'V':
        case u'v':
          y = next() + oy;
          if (path) path->LineTo(pt(x, y));
          break;
        case u'C':
        case u'c': {
          const double c1x = next() + ox, c1y = next() + oy;
          const double c2x = next() + ox, c2y = next() + oy;
          const double ex = next() + ox, ey = next() + oy;
          if (path) path->CurveTo(pt(c1x, c1y), pt(c2x, c2y), pt(ex, ey));
          lx = c2x;
          ly = c2y;
          x = ex;
          y = ey;
          break;
        }
        case u'S':
        case u's': {
          double c1x = x, c1y = y;
          if (ReflectsAfter(command, previous)) {
            c1x = 2 * x - lx;
            c1y = 2 * y - ly;
          }
          const double c2x = next() + ox, c2y = next() + oy;
          const double ex = next() + ox, ey = next() + oy;
          if (path) path->CurveTo(pt(c1x, c1y), pt(c2x, c2y), pt(ex, ey));
          lx = c2x;
          ly = c2y;
          x = ex;
          y = ey;
          break;
        }
        case u'Q':
        case u'q':
        case u'T':
        case u't': {
          double qx = x, qy = y;
          if (command == u'Q' || command == u'q') {
            qx = next() + ox;
            qy = next() + oy;
          } else if (ReflectsAfter(command, previous)) {
            qx = 2 * x - lx;
            qy = 2 * y - ly;
          }
          const double ex = next() + ox, ey = next() + oy;
          // The quadratic curve as the cubic that traces it exactly.
          if (path)
            path->CurveTo(pt(x + 2.0 / 3.0 * (qx - x), y + 2.0 / 3.0 * (qy - y)),
                          pt(ex + 2.0 / 3.0 * (qx - ex), ey + 2.0 / 3.0 * (qy - ey)), pt(ex, ey));
          lx = qx;
          ly = qy;
          x = ex;
          y = ey;
          break;
        }
        case u'A':
        case u'a': {
          const double rx = std::fabs(next()), ry = std::fabs(next());
          const double angle = next();
          const int largeArc = flag();
          const int sweep = flag();
          const double ex = next() + ox, ey = next() + oy;
          if (path) ArcToBeziers(path, x, ex, y, ey, rx, ry, angle, largeArc, sweep);
          x = ex;
          y = ey;
          break;
        }
        case u'Z':
        case u'z':
          if (path) path->ClosePath();
          // The current point is the subpath's start again; a command other
          // than a moveto after it starts a new subpath there.
          x = sx;
          y = sy;
          if (path && index < count && tokens[index].Command != 0 && tokens[index].Command != u'M' &&
              tokens[index].Command != u'm' && tokens[index].Command != u'Z' && tokens[index].Command != u'z') {
            path = AElement->AddPath();
            path->MoveTo(pt(x, y));
          }
          break;
        default: break;
      }
      previous = command;
    }
  } catch (const TPathDataEnd&) {
    // Drawn up to the error.
  }
}

void TKitGraphicsSVGImport::ParsePoints(TKitGraphicsSVGElement* AElement, QStringView AText, bool AClose) {
  // Commas are blanks, and a minus sign starts a new number.
  std::vector<double> numbers;
  qsizetype i = 0;
  const qsizetype n = AText.size();
  auto blank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u','; };
  while (i < n) {
    while (i < n && blank(AText[i])) ++i;
    if (i >= n) break;
    qsizetype j = i + 1;
    while (j < n && !blank(AText[j]) && AText[j] != u'-') ++j;
    double v = 0;
    if (!TryReadNumber(AText.mid(i, j - i), v)) v = 0;
    numbers.push_back(v);
    i = j;
  }
  if (numbers.size() % 2 != 0) return;
  TKitGraphicsPath* path = AElement->AddPath();
  for (size_t k = 2; k + 1 < numbers.size(); k += 2)
    path->AddLine(TPointF(float(numbers[k - 2]), float(numbers[k - 1])),
                  TPointF(float(numbers[k]), float(numbers[k + 1])));
  if (AClose) path->ClosePath();
}
