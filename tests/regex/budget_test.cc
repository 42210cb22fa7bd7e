// The backtracking budget: catastrophic patterns stop with error 1016, the
// budget covers one search or one replace-all, and the word extraction's
// patterns stay within one resumption per input byte on adversarial inputs
// (a sixteenth of the default budget's allowance per byte, without its base).

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "regex_test_util.h"

namespace vellora {
namespace {

constexpr char kBudgetText[] =
    "TPatternEngine(exec): Backtracking Limit Exceeded (the pattern backtracks too much on this "
    "input)";

// The code of the error a replace-all raises, or 0.
int ReplaceError(TPatternEngine& engine, const std::string& input) {
  try {
    engine.ReplaceAll(input, "", true);
  } catch (const EPatternError& e) {
    return e.ErrorCode();
  }
  return 0;
}

TEST(PatternBudget, CatastrophicPatternsStopWithTheBudgetError) {
  struct Case {
    const char* pattern;
    std::string input;  // exponential work
    const char* match;  // little work
  };
  const Case cases[] = {
      {"(\\w+\\s?)*$", std::string(30, 'a') + "!", "ab aab"},  // 31 characters
      {"(a+)+b", std::string(40, 'a') + "cb", "aab"},
      {"(a|aa)+$", std::string(60, 'a') + "!", "xaaa"},
      {"(x+x+)+y", std::string(40, 'x') + "!y", "xxy"},
      {"(\\d+|\\w)*\\.", std::string(40, '1') + "!.", "12a."},
  };
  for (const Case& c : cases) {
    TPatternEngine e;
    e.SetExpression(c.pattern);
    try {
      e.Exec(c.input);
      ADD_FAILURE() << c.pattern << " ended without the budget error";
    } catch (const EPatternError& err) {
      EXPECT_EQ(err.ErrorCode(), 1016) << c.pattern;
      EXPECT_STREQ(err.what(), kBudgetText) << c.pattern;
      EXPECT_EQ(err.Position(), 0) << c.pattern;
      EXPECT_EQ(e.LastErrorCode(), 1016) << c.pattern;
    }
    // The engine stays usable, and a short input needs little backtracking.
    EXPECT_TRUE(e.Exec(c.match)) << c.pattern;
  }
  // ReplacePattern (a fresh engine and one budget for the replace-all) too.
  for (const Case& c : {cases[0], cases[1]}) {
    EXPECT_THROW(ReplacePattern(c.pattern, c.input, "-", true), EPatternError) << c.pattern;
  }
}

// A counted loop whose body matches nothing meets its minimum at once: a
// huge minimum costs no time or memory, and matches as a small one does.
// (Found by fuzz/pattern_fuzzer.cc: 58 s and 4.7 GB for a 4-byte input.)
TEST(PatternBudget, EmptyIterationsOfACountedLoopMeetItsMinimumAtOnce) {
  const std::string input = "Xaab aaaa b";
  const std::pair<const char*, const char*> same[] = {
      {"(a{0,3}){99999999}", "(a{0,3}){3}"},
      {"(a{0,3}){99999999}?", "(a{0,3}){3}?"},
      {"((a{0,3}){99999999}){99999999}", "((a{0,3}){3}){3}"},
      {"(x|a{0,3}){99999999}b", "(x|a{0,3}){3}b"},
      {"(a{0,3}b{0,1}){99999999}", "(a{0,3}b{0,1}){3}"},
      {"(a{0,2}|b){99999999}", "(a{0,2}|b){3}"},
      // Past the minimum, an empty iteration fails and its next choice is tried.
      {"(a{0,2}|b){99999990,99999999}", "(a{0,2}|b){3,99999999}"},
  };
  for (const auto& [huge, small] : same) {
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReplacePattern(huge, input, "<$&>", true), ReplacePattern(small, input, "<$&>", true))
        << huge;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << huge;
  }
  EXPECT_EQ(ReplacePattern("(a{0,2}|b){99999990,99999999}", input, "<$&>", true),
            "<>X<aab><> <aaaa><> <b><>");
}

// The smallest base (with nothing per byte) with which f succeeds: the
// number of resumptions it needs.
template <typename F>
uint64_t SmallestBase(TPatternEngine& engine, F f) {
  uint64_t lo = 0;
  uint64_t hi = 1u << 24;
  while (lo < hi) {
    uint64_t mid = (lo + hi) / 2;
    engine.SetBacktrackLimit(mid, 0);
    bool ok = true;
    try {
      f();
    } catch (const EPatternError& e) {
      EXPECT_EQ(e.ErrorCode(), 1016);
      ok = false;
    }
    if (ok) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  return lo;
}

TEST(PatternBudget, OneBudgetPerSearchAndPerReplaceAll) {
  // The try at "x" backs out of a loop over 400 characters before the "d"
  // matches the other alternative.
  std::string unit = "x" + std::string(200, 'a') + std::string(200, 'b') + "d";
  TPatternEngine e;
  e.SetExpression("x(a|b)*c|d");
  uint64_t one = SmallestBase(e, [&] { e.ReplaceAll(unit, "", true); });
  EXPECT_GT(one, 400u);  // at least a resumption per character of the loop
  // Exec gets a budget of its own on every call: a reused engine never runs
  // out over many searches.
  e.SetBacktrackLimit(one, 0);
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(e.Exec(unit));
  e.SetBacktrackLimit(one - 1, 0);
  EXPECT_EQ(ReplaceError(e, unit), 1016);
  // The two searches of one replace-all share one budget.
  std::string twice = unit + unit;
  e.SetBacktrackLimit(one, 0);
  EXPECT_EQ(ReplaceError(e, twice), 1016);
  e.SetBacktrackLimit(2 * one, 0);
  EXPECT_EQ(ReplaceError(e, twice), 0);
  // The allowance per byte counts the input and its end.
  e.SetBacktrackLimit(0, (one + unit.size()) / (unit.size() + 1));
  EXPECT_EQ(ReplaceError(e, unit), 0);
  // No budget at all: the first resumption fails; a huge one saturates.
  e.SetBacktrackLimit(0, 0);
  EXPECT_EQ(ReplaceError(e, unit), 1016);
  e.SetBacktrackLimit(UINT64_MAX, UINT64_MAX);
  EXPECT_EQ(ReplaceError(e, twice), 0);
}

std::string Repeat(std::string_view unit, size_t total) {
  std::string s;
  s.reserve(total + unit.size());
  while (s.size() < total) s.append(unit);
  return s;
}

std::string RandomText(uint32_t seed, std::string_view alphabet, size_t total) {
  std::mt19937 rng(seed);
  std::string s(total, ' ');
  for (char& c : s) c = alphabet[rng() % alphabet.size()];
  return s;
}

// Inputs of a few MB built to make each of the word extraction's patterns
// backtrack as much as it can: long runs of what a pattern repeats, ended
// by what makes its continuation fail, and random mixtures of the
// characters the patterns test.
std::vector<std::string> AdversarialInputs(size_t size) {
  return {
      std::string(size, '1') + "a",  // one digit run that \b cannot end
      Repeat("1a", size),
      Repeat(std::string(999, '7') + "x ", size),
      Repeat("a1", size),
      std::string(size, '<'),
      Repeat("<a", size),
      "<" + std::string(size, 'x') + ">",
      Repeat("<>", size),
      std::string(size, ' ') + "x",
      Repeat(" x", size),
      Repeat("\r\n", size),
      RandomText(7, "0123456789 \t\r\n<>ab_.,;:!\"()[]/?*|\xE9", size),
      RandomText(8, "01 <>", size),
  };
}

const char* const kExtractionPatterns[] = {"<.+?>", "\\b\\d*\\b", "\\s{2,}",
                                           "[\\[\\];\\\"\\(\\).,!:]", "[\\/?:*\\\"><| ]"};

TEST(PatternBudget, WordExtractionPatternsResumeAtMostOncePerByte) {
  for (const std::string& input : AdversarialInputs(3 << 20)) {
    for (const char* pattern : kExtractionPatterns) {
      TPatternEngine e;
      e.SetExpression(pattern);
      e.SetBacktrackLimit(0, 1);
      EXPECT_EQ(ReplaceError(e, input), 0) << pattern << " on " << input.substr(0, 40);
    }
  }
}

TEST(PatternBudget, WordExtractionPatternsInTheGeneralMatcherToo) {
  // A group around a pattern keeps the search from its shortcuts, so these
  // run every try through the backtracking matcher. (Smaller inputs: a
  // failed try of "<.+?>" scans the rest of the input for a ">".)
  for (const std::string& input : AdversarialInputs(32 << 10)) {
    for (const char* pattern : kExtractionPatterns) {
      TPatternEngine e;
      e.SetExpression(std::string("(") + pattern + ")");
      e.SetBacktrackLimit(0, 1);
      EXPECT_EQ(ReplaceError(e, input), 0) << pattern << " on " << input.substr(0, 40);
    }
  }
}

}  // namespace
}  // namespace vellora
