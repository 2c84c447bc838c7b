#pragma once
// Helpers shared by the implementation files of the Classes unit (lists,
// components, collections, string lists and streams). Not for other code.

#include <QString>
#include <algorithm>
#include <initializer_list>
#include <vector>

#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SysUtils.h"

namespace classes_detail {

// Fills the %s and %d placeholders of a message in order (%% is a percent
// sign). Only what the run-time's fixed messages use.
inline QString FormatMessage(const char* format, std::initializer_list<QString> args) {
  const QString text = QString::fromUtf8(format);
  QString result;
  result.reserve(text.size() + 32);
  auto arg = args.begin();
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c == u'%' && i + 1 < text.size()) {
      const QChar spec = text.at(i + 1);
      if (spec == u'%') {
        result += u'%';
        ++i;
        continue;
      }
      if ((spec == u's' || spec == u'd') && arg != args.end()) {
        result += *arg++;
        ++i;
        continue;
      }
    }
    result += c;
  }
  return result;
}

template <class E>
[[noreturn]] void RaiseIndexError(qsizetype index) {
  throw E(FormatMessage(RtlConsts::SListIndexError, {QString::number(index)}));
}

}  // namespace classes_detail

namespace classes_detail {

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
