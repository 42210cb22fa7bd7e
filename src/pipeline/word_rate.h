// What a "Minimal word rate" keeps of a counted word list: the words whose
// count reaches the rate, and the sum of their counts. The word extraction
// keeps exactly these words when it runs with that rate (and a multiplier
// of 1) over the same text.

#ifndef VELLORA_PIPELINE_WORD_RATE_H_
#define VELLORA_PIPELINE_WORD_RATE_H_

#include <cstdint>
#include <vector>

#include "base/report_list.h"

namespace vellora {

// The counts of a word list (sub-item 0 of each row), largest first. A
// count that is not a whole number reads as 0.
std::vector<int64_t> CountsByRank(const ReportList& words);

struct KeptWords {
  int64_t words = 0;  // rows whose count is at least the rate
  int64_t total = 0;  // the sum of their counts
};

// REQUIRES: `counts` sorted largest first (as CountsByRank gives them).
KeptWords KeptAtRate(const std::vector<int64_t>& counts, int64_t min_rate);

}  // namespace vellora

#endif  // VELLORA_PIPELINE_WORD_RATE_H_
