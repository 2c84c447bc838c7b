#include "tests/support/PixelProbes.h"

#include <QSet>
#include <map>

namespace probe {

int DistinctColors(const QImage& Image, const QRect& Area) {
  const QRect area = Within(Image, Area);
  QSet<QRgb> seen;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) seen.insert(Image.pixel(x, y));
  return int(seen.size());
}

TLegibility Legibility(const QImage& Image, const QRect& Area, int MinContrast) {
  std::map<QRgb, int> counts;
  const QRect area = Within(Image, Area);
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) ++counts[Image.pixel(x, y) & 0xFFFFFF];
  TLegibility result;
  int best = -1;
  for (const auto& [colour, n] : counts)
    if (n > best) {
      best = n;
      result.Ground = colour;
    }
  const int ground = Luminance(result.Ground);
  for (const auto& [colour, n] : counts)
    if (std::abs(Luminance(colour) - ground) >= MinContrast) result.Ink += n;
  return result;
}

}  // namespace probe
