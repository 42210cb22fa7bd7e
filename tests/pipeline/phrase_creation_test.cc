// Phrase creation: the budget of counts, phrase lengths, the top word, bad
// counts, labels and status texts; and the tree that finds the top row.

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "pipeline/count_max_tree.h"
#include "pipeline/steps.h"
#include "pipeline_test_support.h"

namespace vellora {
namespace {

using ::vellora::testing::RecordingNotifier;
using ::vellora::testing::Word;
using Strings = std::vector<std::string>;

Strings SplitWords(const std::string& phrase) {
  Strings words;
  std::istringstream in(phrase);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

class PhraseCreationTest : public ::testing::Test {
 protected:
  PhraseCreationTest() { state_.random.SetSeed(7); }

  // Every word of every phrase, counted.
  std::map<std::string, int> WordUses() const {
    std::map<std::string, int> uses;
    for (const std::string& line : state_.samples.Lines()) {
      for (const std::string& word : SplitWords(line)) ++uses[word];
    }
    return uses;
  }

  MainState state_;
  RecordingNotifier notifier_;
};

TEST_F(PhraseCreationTest, SpendsEveryUnitOfEveryCount) {
  for (uint32_t seed : {1u, 2u, 3u, 99u, 123456u}) {
    state_.random.SetSeed(seed);
    state_.words.Clear();
    state_.words.Add(Word("alpha", "3"));
    state_.words.Add(Word("beta", "1"));
    makewordphrasesClick(state_, notifier_);
    EXPECT_EQ(WordUses(), (std::map<std::string, int>{{"alpha", 3}, {"beta", 1}}));
    const int lines = state_.samples.Count();
    EXPECT_GE(lines, 1);
    EXPECT_EQ(state_.phrasescount, "Phrases count: " + std::to_string(lines) + ".");
    EXPECT_TRUE(state_.words.Empty());
    EXPECT_EQ(state_.wordcount, "Word count = 0");
    EXPECT_FALSE(state_.makewordphrases_enabled);
    EXPECT_EQ(state_.Status, "Done.");
  }
}

TEST_F(PhraseCreationTest, PhrasesHoldOneToPhraseLengthWords) {
  for (int i = 0; i < 30; ++i) state_.words.Add(Word("w" + std::to_string(i), "7"));
  state_.phraselength.SetValue(3);
  makewordphrasesClick(state_, notifier_);
  int total = 0;
  for (const std::string& line : state_.samples.Lines()) {
    const size_t length = SplitWords(line).size();
    EXPECT_GE(length, 1u);
    EXPECT_LE(length, 3u);
    EXPECT_EQ(line, line.substr(0, line.find_last_not_of(' ') + 1)) << "no trailing space";
    total += static_cast<int>(length);
  }
  EXPECT_EQ(total, 210);
}

TEST_F(PhraseCreationTest, PhraseLengthOneMakesOnePhrasePerUnit) {
  state_.words.Add(Word("alpha", "4"));
  state_.words.Add(Word("beta", "2"));
  state_.phraselength.SetValue(1);
  makewordphrasesClick(state_, notifier_);
  EXPECT_EQ(state_.samples.Count(), 6);
  EXPECT_EQ(state_.phrasescount, "Phrases count: 6.");
}

TEST_F(PhraseCreationTest, ALoneWordRepeatsInEveryPhrase) {
  state_.words.Add(Word("word", "12"));
  state_.phraselength.SetValue(10);
  makewordphrasesClick(state_, notifier_);
  int total = 0;
  for (const std::string& line : state_.samples.Lines()) {
    for (const std::string& word : SplitWords(line)) EXPECT_EQ(word, "word");
    total += static_cast<int>(SplitWords(line).size());
  }
  EXPECT_EQ(total, 12);
}

TEST_F(PhraseCreationTest, TheTopWordIsInEveryPhraseOfTwoWordsOrMore) {
  state_.words.Add(Word("top", "500"));
  for (int i = 0; i < 40; ++i) state_.words.Add(Word("w" + std::to_string(i), "2"));
  state_.phraselength.SetValue(4);
  makewordphrasesClick(state_, notifier_);
  // While "top" keeps the largest count it joins every longer phrase.
  int checked = 0;
  for (const std::string& line : state_.samples.Lines()) {
    Strings words = SplitWords(line);
    if (words.size() < 2 || checked >= 60) continue;
    EXPECT_NE(std::find(words.begin(), words.end(), "top"), words.end()) << line;
    ++checked;
  }
  EXPECT_EQ(checked, 60);
}

TEST_F(PhraseCreationTest, CountsThatAreNotPositiveNumbersAreNeverDrawn) {
  state_.words.Add(Word("zero", "0"));
  state_.words.Add(Word("negative", "-3"));
  state_.words.Add(Word("text", "many"));
  state_.words.Add(Word("blank", ""));
  state_.words.Add(Word("half", "2.5"));
  state_.words.Add(Word("good", "5"));
  makewordphrasesClick(state_, notifier_);
  EXPECT_EQ(WordUses(), (std::map<std::string, int>{{"good", 5}}));
}

TEST_F(PhraseCreationTest, NoBudgetMakesNoPhrase) {
  state_.samples.SetText("old phrase\r\n");
  state_.words.Add(Word("zero", "0"));
  state_.words.Add(Word("minus", "-1"));
  makewordphrasesClick(state_, notifier_);
  EXPECT_TRUE(state_.samples.Empty());
  EXPECT_EQ(state_.phrasescount, "Phrases count: 0.");
  EXPECT_TRUE(state_.words.Empty());
  EXPECT_EQ(notifier_.statuses, (Strings{"Preparing phrases...", "Done."}));
  EXPECT_EQ(state_.random.Seed(), 7u) << "no number drawn";
}

TEST_F(PhraseCreationTest, ProgressOnlyWhenAPhraseEndsOnAMultipleOfTen) {
  state_.words.Add(Word("only", "30"));
  state_.phraselength.SetValue(1);
  makewordphrasesClick(state_, notifier_);
  EXPECT_EQ(notifier_.statuses,
            (Strings{"Preparing phrases...", "Preparing phrases, procssing words [10/30]",
                     "Preparing phrases, procssing words [20/30]",
                     "Preparing phrases, procssing words [30/30]", "Done."}));
}

TEST_F(PhraseCreationTest, TabShowEnablesTheButtonOnlyWithRows) {
  phrasegensheetShow(state_);
  EXPECT_FALSE(state_.makewordphrases_enabled);
  state_.words.Add(Word("a", "1"));
  phrasegensheetShow(state_);
  EXPECT_TRUE(state_.makewordphrases_enabled);
}

TEST(CountMaxTreeTest, FindsTheFirstLargestCountAfterEveryChange) {
  RandomGenerator random(42);
  for (size_t size : {1u, 2u, 3u, 7u, 64u, 100u}) {
    std::vector<int64_t> counts(size);
    for (int64_t& count : counts) count = random.Random(6);
    CountMaxTree tree(counts);
    for (int step = 0; step < 400; ++step) {
      int64_t best = 0, expected = -1;
      for (size_t i = 0; i < size; ++i) {
        if (counts[i] > best) {
          best = counts[i];
          expected = static_cast<int64_t>(i);
        }
      }
      ASSERT_EQ(tree.Top(), expected) << "size " << size << " step " << step;
      const size_t index = random.Random(static_cast<uint32_t>(size));
      counts[index] = static_cast<int64_t>(random.Random(8)) - 2;
      tree.Set(index, counts[index]);
      ASSERT_EQ(tree.Count(index), counts[index]);
    }
  }
  EXPECT_EQ(CountMaxTree({}).Top(), -1);
}

}  // namespace
}  // namespace vellora
