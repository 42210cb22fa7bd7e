// What a minimal word rate keeps of a counted word list.

#include "pipeline/word_rate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pipeline/steps.h"
#include "pipeline_test_support.h"

namespace vellora {
namespace {

ReportList Words(const std::vector<std::pair<std::string, std::string>>& rows) {
  ReportList list;
  for (const auto& [word, count] : rows) list.Add(ReportRow{word, {count}});
  return list;
}

TEST(WordRateTest, CountsComeLargestFirstAndOddTextsReadAsZero) {
  const ReportList words = Words({{"a", "3"}, {"b", "12"}, {"c", "x"}, {"d", "7"}, {"e", "-2"}});
  EXPECT_EQ(CountsByRank(words), (std::vector<int64_t>{12, 7, 3, 0, 0}));
  EXPECT_TRUE(CountsByRank(ReportList()).empty());
}

TEST(WordRateTest, ARateKeepsTheWordsThatReachItAndTheirTotal) {
  const std::vector<int64_t> counts = {9, 5, 5, 2, 1, 1};
  struct {
    int64_t rate, words, total;
  } cases[] = {{0, 6, 23}, {1, 6, 23}, {2, 4, 21}, {5, 3, 19}, {6, 1, 9}, {9, 1, 9}, {10, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rate);
    const KeptWords kept = KeptAtRate(counts, c.rate);
    EXPECT_EQ(kept.words, c.words);
    EXPECT_EQ(kept.total, c.total);
  }
}

// The figures agree with what a run of the extraction at that rate keeps.
TEST(WordRateTest, TheFiguresAreWhatARunAtThatRateKeeps) {
  testing::ScratchFolder scratch;
  MainState state = testing::MakeState(scratch);
  WriteWholeFile(state.eworkingfolder + "t.txt",
                 "apple apple apple apple pear pear pear plum plum fig kiwi kiwi kiwi kiwi kiwi");
  state.prohibited.Clear();
  state.dontcontain.Clear();
  testing::RecordingNotifier notifier;
  bprocessClick(state, notifier);
  const std::vector<int64_t> counts = CountsByRank(state.words);
  for (int rate : {1, 2, 3, 4, 5, 6}) {
    SCOPED_TRACE(rate);
    MainState rerun = state;
    rerun.minwordrate.SetValue(rate);
    bprocessClick(rerun, notifier);
    const KeptWords kept = KeptAtRate(counts, rate);
    EXPECT_EQ(kept.words, rerun.words.Count());
    EXPECT_EQ(rerun.wordcount, "Unique words: " + std::to_string(kept.words) +
                                   ", total: " + std::to_string(kept.total) + ".");
  }
}

// A list made with a multiplier: the rate compares occurrences, the total
// sums the multiplied counts, as a run at that rate with the same
// multiplier does.
TEST(WordRateTest, AMultipliedListIsJudgedByOccurrences) {
  testing::ScratchFolder scratch;
  MainState state = testing::MakeState(scratch);
  WriteWholeFile(state.eworkingfolder + "t.txt",
                 "apple apple apple apple pear pear pear plum plum fig kiwi kiwi kiwi kiwi kiwi");
  state.prohibited.Clear();
  state.dontcontain.Clear();
  state.ratemultiplier.SetValue(3);
  testing::RecordingNotifier notifier;
  bprocessClick(state, notifier);
  const std::vector<int64_t> counts = CountsByRank(state.words);
  EXPECT_EQ(counts, (std::vector<int64_t>{15, 12, 9, 6, 3}));
  EXPECT_EQ(Occurrences(15, 3), 5);
  for (int rate : {1, 2, 3, 5, 6}) {
    SCOPED_TRACE(rate);
    MainState rerun = state;
    rerun.minwordrate.SetValue(rate);
    bprocessClick(rerun, notifier);
    const KeptWords kept = KeptAtRate(counts, rate, 3);
    EXPECT_EQ(kept.words, rerun.words.Count());
    EXPECT_EQ(rerun.wordcount, "Unique words: " + std::to_string(kept.words) +
                                   ", total: " + std::to_string(kept.total) + ".");
  }
}

}  // namespace
}  // namespace vellora
