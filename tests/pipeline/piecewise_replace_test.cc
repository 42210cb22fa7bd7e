// Replacing piece by piece gives what replacing over the whole text gives,
// for each of extraction's patterns with its cut rule, at every piece size;
// and extraction of a file larger than a piece matches the plain rules.

#include "pipeline/piecewise_replace.h"

#include <gtest/gtest.h>

#include <string>

#include "base/random.h"
#include "pipeline/token_extractor.h"
#include "reference_steps.h"
#include "test_util.h"

namespace vellora {
namespace {

struct PatternCase {
  const char* pattern;
  const char* replacement;
  CutRule rule;
};

const PatternCase kCases[] = {
    {"<.+?>", "", CutRule::kAfterTagEnd},
    {"\\b\\d*\\b", "", CutRule::kAfterSpace},
    {"\\s{2,}", " ", CutRule::kBetweenVisible},
    {"[\\[\\];\"\\(\\).,!:]", "", CutRule::kAnywhere},
};

// Texts of the characters that decide where these patterns match.
std::string RandomText(RandomGenerator& random, int length) {
  static const char kAlphabet[] = "<>< >a1 2\t_.;b9<<>>\xE9\xA0\x0B  x";
  std::string text;
  for (int i = 0; i < length; ++i) {
    text.push_back(kAlphabet[random.Random(static_cast<int>(sizeof kAlphabet - 1))]);
  }
  return text;
}

TEST(ReplaceInPieces, EqualsTheWholeReplaceForEveryPatternAndPieceSize) {
  RandomGenerator random(20261209);
  for (const PatternCase& c : kCases) {
    PatternReplacer replacer(c.pattern);
    for (int round = 0; round < 400; ++round) {
      const std::string text = RandomText(random, random.RandomBetween(0, 60));
      const std::string whole = ReplacePattern(c.pattern, text, c.replacement, true);
      for (size_t piece = 1; piece <= 9; ++piece) {
        ASSERT_EQ(ReplaceInPieces(replacer, text, c.replacement, c.rule, piece), whole)
            << c.pattern << " over \"" << text << "\" in pieces of " << piece;
      }
    }
  }
}

TEST(ReplaceInPieces, AFileLargerThanAPieceGivesTheTokensOfThePlainRules) {
  RandomGenerator random(7);
  std::string page;
  const char* words[] = {"Alpha",  "beta",           "2010", "<b>",    "</b>", "x", "3.5",
                         "(one),", "<a href=\"x\">", "\t",   "gamma!", "<",    ">", "12ab"};
  while (page.size() < kReplacePieceSize * 2 + 12345) {
    page += words[random.Random(14)];
    page += random.Random(9) == 0 ? "\r\n" : " ";
  }
  TempDir dir;
  const std::string path = dir.path() + "/page.htm";
  WriteFileForTest(path, page);
  MainState state;
  reference::AddFileWords(state, path);
  TokenExtractor extractor;
  // (adding the text to the list ends it with one more line break)
  const std::string tokens = extractor.Extract(page) + "\r\n";
  const std::string& expected = state.mytext.Text();
  ASSERT_GT(expected.size(), 1000000u);
  size_t same = 0;
  while (same < tokens.size() && same < expected.size() && tokens[same] == expected[same]) ++same;
  EXPECT_EQ(same, expected.size()) << "first difference at " << same;
  EXPECT_EQ(tokens.size(), expected.size());
}

}  // namespace
}  // namespace vellora
