// A bounded-time random driver for compile and match (the sanitizer build
// runs it too): random pattern bytes (every byte value, meta characters
// weighted up), random modifiers and settings, random inputs. Each case must
// end in a result or an EPatternError, never a crash, a hang or a sanitizer
// report, and must keep these invariants:
//  - every match lies inside the input;
//  - ReplaceAll with "$&" gives the input back;
//  - a reused engine gives the same result again.
// VB_FUZZ_SECONDS sets the time (default 5 s, 20 s under the sanitizers);
// VB_FUZZ_SEED the first seed. A failure names its seed.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>

#include "regex/pattern_engine.h"

namespace vellora {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr double kDefaultSeconds = 20;
#else
constexpr double kDefaultSeconds = 5;
#endif

double EnvNumber(const char* name, double fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::atof(value) : fallback;
}

std::string RandomPattern(std::mt19937& rng) {
  static const std::string kPieces[] = {
      "(",   ")",   "|",     "*",     "+",     "?",    "{",    "}",     "[",    "]",    "^",
      "$",   ".",   "\\",    "-",     ",",     "a",    "b",    "ab",    "x",    "0",    "1",
      "2",   "{2}", "{1,3}", "{0,2}", "{2,}",  "*?",   "+?",   "??",    "\\d",  "\\w",  "\\s",
      "\\b", "\\B", "\\1",   "\\2",   "\\x41", "\\x{", "(?i)", "(?-s)", "(?m)", "(?x)", "(?#c)",
      "(?",  "[^",  "a-",    "\\A",   "\\Z",   " ",    "#",    "\r\n",  "\xE0", "\xFF"};
  std::string p;
  int pieces = static_cast<int>(rng() % 12);
  for (int i = 0; i < pieces; ++i) {
    if (rng() % 8 == 0) {
      p += static_cast<char>(rng() % 256);  // any byte, 0 included
    } else {
      p += kPieces[rng() % std::size(kPieces)];
    }
  }
  return p;
}

std::string RandomInput(std::mt19937& rng) {
  static const char kAlphabet[] = "aabbx01 \r\n_A\xE0";
  std::string s;
  int n = static_cast<int>(rng() % 17);
  for (int i = 0; i < n; ++i) {
    if (rng() % 16 == 0) {
      s += static_cast<char>(rng() % 256);
    } else {
      s += kAlphabet[rng() % (sizeof kAlphabet - 1)];
    }
  }
  return s;
}

TEST(PatternFuzz, RandomPatternsAndInputsForABoundedTime) {
  double seconds = EnvNumber("VB_FUZZ_SECONDS", kDefaultSeconds);
  uint32_t first_seed = static_cast<uint32_t>(EnvNumber("VB_FUZZ_SEED", 1));
  auto start = std::chrono::steady_clock::now();
  long cases = 0;
  long compiled = 0;
  long matched = 0;
  for (uint32_t seed = first_seed;; ++seed) {
    if ((cases & 63) == 0) {
      std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
      if (elapsed.count() > seconds) break;
    }
    ++cases;
    std::mt19937 rng(seed);
    std::string pattern = RandomPattern(rng);
    TPatternEngine engine;
    engine.SetModifiers(rng() % 64);
    if (rng() % 8 == 0) engine.SetLinePairedSeparator("");
    if (rng() % 8 == 0) engine.SetLineBreakCharacters(rng() % 2 ? "" : "\n");
    if (rng() % 8 == 0) engine.SetWordCharacters("ab");
    if (rng() % 8 == 0) engine.SetSpaceCharacters("");
    engine.SetExpression(pattern);
    try {
      engine.Compile();
    } catch (const EPatternError& e) {
      if (engine.Expression().empty()) {
        ASSERT_EQ(e.ErrorCode(), 1003) << "seed " << seed;
      } else {
        ASSERT_LT(e.ErrorCode(), 1000) << "seed " << seed;
      }
      continue;
    }
    ++compiled;
    for (int round = 0; round < 4; ++round) {
      std::string input = RandomInput(rng);
      size_t len = input.find('\0');
      if (len == std::string::npos) len = input.size();
      try {
        int count = 0;
        for (bool found = engine.Exec(input); found && count < 40; found = engine.ExecNext()) {
          ++count;
          int offset = engine.MatchOffset(0);
          int length = engine.MatchLength(0);
          ASSERT_GE(offset, 1) << "seed " << seed;
          ASSERT_GE(length, 0) << "seed " << seed;
          ASSERT_LE(static_cast<size_t>(offset - 1 + length), len) << "seed " << seed;
          for (int g = 1; g < 15; ++g) {
            if (engine.MatchOffset(g) < 0) continue;
            ASSERT_LE(static_cast<size_t>(engine.MatchOffset(g) - 1 + engine.MatchLength(g)), len)
                << "seed " << seed;
          }
          matched += length > 0;
        }
        ASSERT_EQ(engine.ReplaceAll(input, "$&", true), input) << "seed " << seed;
        std::string once = engine.ReplaceAll(input, "<$1\\$>", true);
        ASSERT_EQ(engine.ReplaceAll(input, "<$1\\$>", true), once) << "seed " << seed;
      } catch (const EPatternError& e) {
        // Only the loop-stack limit and the backtracking budget can stop a
        // search of a compiled program.
        ASSERT_TRUE(e.ErrorCode() == 1014 || e.ErrorCode() == 1016)
            << "seed " << seed << " " << e.what();
      }
    }
  }
  std::printf("fuzz: %ld cases, %ld compiled, %ld non-empty matches\n", cases, compiled, matched);
  EXPECT_GT(compiled, 0);
}

}  // namespace
}  // namespace vellora
