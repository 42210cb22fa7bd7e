// The program listing: escapes in texts and classes, damaged programs, and
// that a listing tells programs apart.

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "regex/pattern_dump.h"
#include "regex_test_util.h"

namespace vellora {
namespace {

using regex::Dump;
using testing_regex::DumpOf;
using testing_regex::NodeAt;
using testing_regex::ProgramOf;

TEST(PatternDump, TextsAndClassesEscapeWhatWouldBeAmbiguous) {
  EXPECT_EQ(NodeAt("a\"b\x01\xE9", 6), "6 Literal \"a\\\"b\\x01\\xE9\" -> 17");
  EXPECT_EQ(NodeAt("\\\\", 6), "6 Literal \"\\\\\" -> 13");
  EXPECT_EQ(NodeAt("[\\]\\\\^]", 6), "6 TinySet \"\\\\]^\" -> 14");
  EXPECT_EQ(NodeAt("[\\-\\]^\\\\ab]", 6), "6 FullSet [\\-\\\\-\\^ab] -> 43");
  // A set of more than 128 members lists what is not a member; with 0 not a
  // member that shows as \x00 in the list.
  EXPECT_EQ(NodeAt("[\\x01-\\xFF]", 6), "6 FullSet [^\\x00] -> 43");
  EXPECT_EQ(NodeAt("[^\\x01-\\xFF]", 6), "6 FullSet [\\x00] -> 43");
}

TEST(PatternDump, DamagedProgramsEndWithTheirFault) {
  EXPECT_EQ(Dump({}), "");
  EXPECT_EQ(Dump({0x41, 0, 0, 0, 0, 0}), "0 bad magic byte 41\n");
  std::vector<uint8_t> p = ProgramOf("abc");
  std::vector<uint8_t> cut(p.begin(), p.begin() + 12);  // inside "abc"
  EXPECT_EQ(Dump(cut), "1 Branch -> 15\n6 Literal truncated operand\n");
  cut.assign(p.begin(), p.begin() + 3);
  EXPECT_EQ(Dump(cut), "1 truncated node\n");
  std::vector<uint8_t> set = ProgramOf("[abcd]");
  set.resize(20);
  EXPECT_EQ(Dump(set), "1 Branch -> 43\n6 FullSet truncated operand\n");
  std::vector<uint8_t> bad = ProgramOf("a");
  bad[6] = 4;  // a compile-time marker, never in a program
  EXPECT_EQ(Dump(bad), "1 Branch -> 13\n6 unknown node kind 4\n");
}

TEST(PatternDump, EqualListingsMeanEqualPrograms) {
  // Over many generated patterns no two different programs share a listing,
  // so a test comparing listings compares programs.
  static const char* const kPieces[] = {"a",    "b",     "ab",  "(",     ")",      "|",    "*",
                                        "+",    "?",     "{2}", "{1,3}", "[ab]",   "[^a]", "\\d",
                                        "\\w",  "\\s",   "\\b", "^",     "$",      ".",    "\\1",
                                        "(?i)", "(?#c)", "*?",  "+?",    "\\x{FF}"};
  std::mt19937 rng(99);
  std::map<std::string, std::vector<uint8_t>> seen;
  int compiled = 0;
  for (int i = 0; i < 4000; ++i) {
    std::string pattern;
    int pieces = 1 + static_cast<int>(rng() % 8);
    for (int k = 0; k < pieces; ++k) pattern += kPieces[rng() % std::size(kPieces)];
    uint32_t modifiers =
        rng() % 2 ? kDefaultModifiers : kDefaultModifiers | kModifierI | kModifierM;
    std::vector<uint8_t> program;
    try {
      program = ProgramOf(pattern, modifiers);
    } catch (const EPatternError&) {
      continue;
    }
    ++compiled;
    std::string listing = Dump(program);
    auto [it, inserted] = seen.emplace(listing, program);
    if (!inserted) {
      EXPECT_EQ(it->second, program) << pattern << "\n" << listing;
    }
  }
  EXPECT_GT(compiled, 1000);
}

}  // namespace
}  // namespace vellora
