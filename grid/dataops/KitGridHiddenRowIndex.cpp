// The sorted lookup over hidden rows.

#include "grid/dataops/KitGridHiddenRowIndex.h"

#include <algorithm>

void THiddenRowIndex::Build(std::vector<std::pair<int, TGridItem*>> Entries) {
  std::stable_sort(Entries.begin(), Entries.end(),
                   [](const auto& A, const auto& B) { return A.first < B.first; });
  Entries.erase(std::unique(Entries.begin(), Entries.end(),
                            [](const auto& A, const auto& B) { return A.first == B.first; }),
                Entries.end());
  FEntries = std::move(Entries);
}

TGridItem* THiddenRowIndex::Find(int RealRow) const {
  auto it = std::lower_bound(FEntries.begin(), FEntries.end(), RealRow,
                             [](const auto& E, int V) { return E.first < V; });
  return it != FEntries.end() && it->first == RealRow ? it->second : nullptr;
}

bool THiddenRowIndex::IsHidden(int RealRow) const {
  const int i = CountBelow(RealRow);
  return i < Count() && FEntries[size_t(i)].first == RealRow;
}

int THiddenRowIndex::CountBelow(int RealRow) const {
  auto it = std::lower_bound(FEntries.begin(), FEntries.end(), RealRow,
                             [](const auto& E, int V) { return E.first < V; });
  return int(it - FEntries.begin());
}

int THiddenRowIndex::DisplToReal(int DisplRow) const {
  if (DisplRow < 0 || FEntries.empty()) return DisplRow;
  // The first k whose hidden row lies after the wanted row: H[k] - k > d.
  int lo = 0, hi = int(FEntries.size());
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (FEntries[size_t(mid)].first - mid > DisplRow) hi = mid;
    else lo = mid + 1;
  }
  return DisplRow + lo;
}
