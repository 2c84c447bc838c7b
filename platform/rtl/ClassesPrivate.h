#pragma once
// Helpers shared by the implementation files of the Classes unit (lists,
// components, collections, string lists and streams). Not for other code.

#include <QString>
#include <algorithm>
#include <vector>

#include "platform/rtl/MessageText.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SysUtils.h"

namespace classes_detail {

template <class E>
[[noreturn]] void RaiseIndexError(qsizetype index) {
  throw E(MessageText(RtlConsts::SListIndexError, {QString::number(index)}));
}


// Stable merge sort of Items. Compare(a, b) answers negative, zero or
// positive; an inconsistent comparison gives some order, never an access
// outside the buffer.
template <class Container, class Compare>
void MergeSort(Container& Items, Compare&& compare) {
  const size_t n = static_cast<size_t>(Items.size());
  if (n < 2) return;
  Container buffer(static_cast<typename Container::size_type>(n));
  for (size_t width = 1; width < n; width *= 2) {
    for (size_t lo = 0; lo < n; lo += 2 * width) {
      const size_t mid = std::min(lo + width, n);
      const size_t hi = std::min(lo + 2 * width, n);
      size_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) {
        if (compare(Items[j], Items[i]) < 0)
          buffer[k++] = std::move(Items[j++]);
        else
          buffer[k++] = std::move(Items[i++]);
      }
      while (i < mid) buffer[k++] = std::move(Items[i++]);
      while (j < hi) buffer[k++] = std::move(Items[j++]);
    }
    Items.swap(buffer);
  }
}

}  // namespace classes_detail
