// phrasegensheetShow and makewordphrasesClick: the word counts of `words`
// spent on random phrases.
//
// The row with the largest count is found through a CountMaxTree instead of
// a scan of every row per phrase, and bits per row tell whether it still has
// count left and whether it is in the phrase, so a draw that hits a spent
// row costs about a nanosecond. The draws themselves, redraws included, are
// those of the plain algorithm: they consume the generator and so decide
// every later phrase. Late in a run most draws hit spent rows, and the draws
// dominate the time.

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "base/text_list.h"
#include "pipeline/count_max_tree.h"
#include "pipeline/step_support.h"
#include "pipeline/steps.h"

namespace vellora {
namespace {

class RowBits {
 public:
  explicit RowBits(size_t size) : bits_((size + 63) / 64, 0) {}
  bool Test(size_t i) const { return (bits_[i / 64] >> (i % 64)) & 1u; }
  void Set(size_t i) { bits_[i / 64] |= uint64_t{1} << (i % 64); }
  void Reset(size_t i) { bits_[i / 64] &= ~(uint64_t{1} << (i % 64)); }

 private:
  std::vector<uint64_t> bits_;
};

// The generator k steps ahead: seed_k = Jump(k).mul * seed + Jump(k).add,
// for RandomGenerator's step seed' = seed * 134775813 + 1.
struct LcgJump {
  uint32_t mul;
  uint32_t add;
};
constexpr int kLanes = 8;
constexpr LcgJump Jump(int k) {
  LcgJump jump{1u, 0u};
  for (int i = 0; i < k; ++i) jump = LcgJump{jump.mul * 134775813u, jump.add * 134775813u + 1u};
  return jump;
}
constexpr LcgJump kJumps[kLanes] = {Jump(1), Jump(2), Jump(3), Jump(4),
                                    Jump(5), Jump(6), Jump(7), Jump(8)};

// Calls Random(rows) until a draw lands on a row whose bit is set in
// `wanted` and returns that row. The generator ends exactly where that many
// single draws leave it; kLanes draws are computed at once from one seed, so
// long runs of misses are not held up by the latency of each step.
uint32_t DrawUntil(RandomGenerator& random, uint32_t rows, const RowBits& wanted) {
  uint32_t seed = random.Seed();
  for (;;) {
    uint32_t next[kLanes];
    uint32_t row[kLanes];
    unsigned hits = 0;
#pragma GCC unroll 8
    for (int k = 0; k < kLanes; ++k) {
      next[k] = kJumps[k].mul * seed + kJumps[k].add;
      row[k] = static_cast<uint32_t>((static_cast<uint64_t>(rows) * next[k]) >> 32);
      hits |= static_cast<unsigned>(wanted.Test(row[k])) << k;
    }
    if (hits != 0) {
      const int first = __builtin_ctz(hits);
      random.SetSeed(next[first]);
      return row[first];
    }
    seed = next[kLanes - 1];
  }
}

// Appends `line` to `text` as TextList::Add does to a text that is empty or
// ends with a line break.
void AddLine(std::string& text, std::string_view line) {
  if (line.find_first_of("\r\n") != std::string_view::npos) {
    text += TextList::NormalizeLineBreaks(line);
  } else {
    text.append(line);
  }
  text += "\r\n";
}

}  // namespace

void phrasegensheetShow(MainState& state) { state.makewordphrases_enabled = !state.words.Empty(); }

void makewordphrasesClick(MainState& state, Notifier& notifier) {
  StatusReporter status(state, notifier);
  state.makewordphrases_enabled = false;
  state.samples.Clear();
  status.Set("Preparing phrases...");

  // Counts that are not whole numbers read as 0; counts of 0 or less add
  // nothing to the budget and are never drawn.
  const size_t row_count = static_cast<size_t>(state.words.Count());
  std::vector<int64_t> counts(row_count);
  // live: rows with count left; placed: rows in the phrase being built;
  // wanted = live or placed, the rows where a draw does more than redraw.
  RowBits live(row_count), placed_rows(row_count), wanted(row_count);
  int64_t total = 0;
  for (size_t i = 0; i < row_count; ++i) {
    const int64_t count = ParseCount(state.words.SubItem(static_cast<int>(i), 0));
    counts[i] = count;
    if (count > 0) {
      live.Set(i);
      wanted.Set(i);
      total = count > std::numeric_limits<int64_t>::max() - total
                  ? std::numeric_limits<int64_t>::max()
                  : total + count;
    }
  }
  CountMaxTree tree(std::move(counts));
  RandomGenerator& random = state.random;
  const uint32_t rows = static_cast<uint32_t>(row_count);
  const uint32_t max_length = static_cast<uint32_t>(ClampedValue(state.phraselength));

  std::string samples;
  std::string phrase;
  uint32_t placed[16];
  int64_t used = 0;
  while (used < total) {
    int64_t length = static_cast<int64_t>(random.Random(max_length)) + 1;
    if (total - used < length) length = total - used;
    const int64_t top = tree.Top();
    int placed_count = 0;
    const int64_t top_position =
        static_cast<int64_t>(random.Random(static_cast<uint32_t>(length))) + 1;
    phrase.clear();
    for (int64_t position = 1; position <= length; ++position) {
      uint32_t index;
      if (position == top_position && length > 1 && top >= 0 &&
          tree.Count(static_cast<size_t>(top)) > 0 && !placed_rows.Test(static_cast<size_t>(top))) {
        index = static_cast<uint32_t>(top);
      } else {
        // A draw on a spent row outside the phrase only starts the draw over.
        for (;;) {
          index = DrawUntil(random, rows, wanted);
          if (placed_rows.Test(index)) index = random.Random(rows);
          if (live.Test(index)) break;
        }
      }
      placed[placed_count++] = index;
      placed_rows.Set(index);
      wanted.Set(index);
      ++used;
      tree.Decrement(index);
      const int64_t left = tree.Count(index);
      if (left < 1) live.Reset(index);  // stays wanted while placed
      phrase += state.words.Row(static_cast<int>(index)).caption;
      phrase += ' ';
    }
    for (int k = 0; k < placed_count; ++k) {
      placed_rows.Reset(placed[k]);
      if (!live.Test(placed[k])) wanted.Reset(placed[k]);
    }
    AddLine(samples, TrimControls(phrase));
    if (used % 10 == 0) status.Progress("Preparing phrases, procssing words", used, total);
  }
  state.samples.SetText(std::move(samples));

  status.Set("Done.");
  state.words.Clear();
  state.wordcount = "Word count = 0";
  state.phrasescount = "Phrases count: " + std::to_string(state.samples.Count()) + ".";
}

}  // namespace vellora
