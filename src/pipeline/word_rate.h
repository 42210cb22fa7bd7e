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

// The same for a list that the extraction made with `multiplier` (its
// counts are the occurrences times the multiplier when it is above 1):
// the words whose occurrences reach the rate, and the sum of their counts
// as the list holds them. A rate below the one the list was made with
// cannot bring back the words that run dropped; the figures then count
// only the words the list still holds.
KeptWords KeptAtRate(const std::vector<int64_t>& counts, int64_t min_rate, int64_t multiplier);

// The occurrences behind a count of a list made with `multiplier`.
int64_t Occurrences(int64_t count, int64_t multiplier);

}  // namespace vellora

#endif  // VELLORA_PIPELINE_WORD_RATE_H_
