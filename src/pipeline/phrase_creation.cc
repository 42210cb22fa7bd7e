// phrasegensheetShow and makewordphrasesClick: the word counts of `words`
// spent on random phrases.
//
// The row with the largest count is found through a CountMaxTree instead of
// a scan of every row per phrase, and a bit per row tells whether it still
// has count left, so a draw that hits a spent row costs a few nanoseconds.
// The draws themselves, redraws included, are those of the plain algorithm:
// they consume the generator and so decide every later phrase.

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

class LiveRows {
 public:
  explicit LiveRows(size_t size) : bits_((size + 63) / 64, 0) {}
  bool Test(size_t i) const { return (bits_[i / 64] >> (i % 64)) & 1u; }
  void Set(size_t i) { bits_[i / 64] |= uint64_t{1} << (i % 64); }
  void Reset(size_t i) { bits_[i / 64] &= ~(uint64_t{1} << (i % 64)); }

 private:
  std::vector<uint64_t> bits_;
};

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
  LiveRows live(row_count);
  int64_t total = 0;
  for (size_t i = 0; i < row_count; ++i) {
    const int64_t count = ParseCount(state.words.SubItem(static_cast<int>(i), 0));
    counts[i] = count;
    if (count > 0) {
      live.Set(i);
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
    auto is_placed = [&placed, &placed_count](uint32_t index) {
      for (int k = 0; k < placed_count; ++k) {
        if (placed[k] == index) return true;
      }
      return false;
    };
    const int64_t top_position = static_cast<int64_t>(random.Random(static_cast<uint32_t>(length))) + 1;
    phrase.clear();
    for (int64_t position = 1; position <= length; ++position) {
      uint32_t index;
      if (position == top_position && length > 1 && top >= 0 &&
          tree.Count(static_cast<size_t>(top)) > 0 && !is_placed(static_cast<uint32_t>(top))) {
        index = static_cast<uint32_t>(top);
      } else {
        for (;;) {
          index = random.Random(rows);
          if (is_placed(index)) index = random.Random(rows);
          if (live.Test(index)) break;
        }
      }
      placed[placed_count++] = index;
      ++used;
      const int64_t left = tree.Count(index) - 1;
      tree.Set(index, left);
      if (left < 1) live.Reset(index);
      phrase += state.words.Row(static_cast<int>(index)).caption;
      phrase += ' ';
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
