#include "pipeline/word_rate.h"

#include "base/numbers.h"

#include <algorithm>
#include <functional>
#include <string>

namespace vellora {

std::vector<int64_t> CountsByRank(const ReportList& words) {
  std::vector<int64_t> counts;
  counts.reserve(static_cast<size_t>(words.Count()));
  for (int row = 0; row < words.Count(); ++row) {
    counts.push_back(ParseDecimal(words.SubItem(row, 0), 0, INT64_MAX).value_or(0));
  }
  // The extraction leaves the list sorted; a list edited since may not be.
  std::sort(counts.begin(), counts.end(), std::greater<int64_t>());
  return counts;
}

KeptWords KeptAtRate(const std::vector<int64_t>& counts, int64_t min_rate) {
  return KeptAtRate(counts, min_rate, 1);
}

KeptWords KeptAtRate(const std::vector<int64_t>& counts, int64_t min_rate, int64_t multiplier) {
  KeptWords kept;
  for (int64_t count : counts) {
    if (Occurrences(count, multiplier) < min_rate) break;
    ++kept.words;
    kept.total += count;
  }
  return kept;
}

int64_t Occurrences(int64_t count, int64_t multiplier) {
  return multiplier > 1 ? count / multiplier : count;
}

}  // namespace vellora
