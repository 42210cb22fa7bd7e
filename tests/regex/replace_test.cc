// ExpandTemplate, ReplaceAll and ReplacePattern, with the program's own five
// patterns and the empty-match rules.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "regex/pattern_engine.h"
#include "regex_test_util.h"

namespace vellora {
namespace {

using testing_regex::Rp;

const char kTags[] = "<.+?>";
const char kNumbers[] = "\\b\\d*\\b";
const char kSpaces[] = "\\s{2,}";
const char kPunctuation[] = "[\\[\\];\\\"\\(\\).,!:]";
const char kFileName[] = "[\\/?:*\\\"><| ]";

TEST(PatternReplace, MarkupTags) {
  EXPECT_EQ(Rp(kTags, "a<b>c", ""), "ac");
  EXPECT_EQ(Rp(kTags, "x<a\r\nhref='y'>z", ""), "xz");
  EXPECT_EQ(Rp(kTags, "a<>b", ""), "a<>b");
  EXPECT_EQ(Rp(kTags, "1 < 2 and 3 > 2", ""), "1  2");
  EXPECT_EQ(Rp(kTags, "<<b>>", ""), ">");
  EXPECT_EQ(Rp(kTags, "a < b", ""), "a < b");
  EXPECT_EQ(Rp(kTags, "<p class=\"x\">Hello</p> <br/>", ""), "Hello ");
}

TEST(PatternReplace, WholeNumbers) {
  EXPECT_EQ(Rp(kNumbers, "abc 123 def", ""), "abc  def");
  for (const char* same : {"abc123", "123abc", "x1 2x", "a_1"}) {
    EXPECT_EQ(Rp(kNumbers, same, ""), same);
  }
  EXPECT_EQ(Rp(kNumbers, "3.14", ""), ".");
  EXPECT_EQ(Rp(kNumbers, "-5", ""), "-");
  EXPECT_EQ(Rp(kNumbers,
               "\xE9"
               "2000",
               ""),
            "\xE9");
  EXPECT_EQ(Rp(kNumbers, "", ""), "");
  EXPECT_EQ(Rp(kNumbers, "42", ""), "");
  EXPECT_EQ(Rp(kNumbers, "1 22 333 x4", ""), "   x4");
}

TEST(PatternReplace, WhiteSpaceRuns) {
  EXPECT_EQ(Rp(kSpaces, "a  b", " "), "a b");
  EXPECT_EQ(Rp(kSpaces, "a \t\r\n b", " "), "a b");
  EXPECT_EQ(Rp(kSpaces, "a\r\nb", " "), "a b");
  EXPECT_EQ(Rp(kSpaces, "a\tb", " "), "a\tb");
  EXPECT_EQ(Rp(kSpaces, "a\nb", " "), "a\nb");
  EXPECT_EQ(Rp(kSpaces, "a\f\fb", " "), "a b");
  EXPECT_EQ(Rp(kSpaces, "  a  ", " "), " a ");
}

TEST(PatternReplace, Punctuation) {
  EXPECT_EQ(Rp(kPunctuation, "Hi! (see [1]; end.", ""), "Hi see 1 end");
  EXPECT_EQ(Rp(kPunctuation, "\"quoted\", ok:", ""), "quoted ok");
  EXPECT_EQ(Rp(kPunctuation, "it's a well-known fact?", ""), "it's a well-known fact?");
}

TEST(PatternReplace, FileNames) {
  EXPECT_EQ(Rp(kFileName, "What is it? A: b", "-"), "What-is-it--A--b");
  EXPECT_EQ(Rp(kFileName, "x<y>|z", "-"), "x-y--z");
  EXPECT_EQ(Rp(kFileName, "x/y\\z", "-"), "x-y\\z");
  EXPECT_EQ(Rp(kFileName, "a*b\"c", "-"), "a-b-c");
}

TEST(PatternReplace, EmptyMatches) {
  EXPECT_EQ(Rp("x*", "abc", "-"), "-a-b-c-");
  EXPECT_EQ(Rp("x*", "", "-"), "-");
  EXPECT_EQ(Rp("a*", "baaac", "-"), "-b--c-");
  EXPECT_EQ(Rp("\\b", "ab cd", "|"), "|ab| |cd|");
  EXPECT_EQ(Rp("a|ab", "ab", "X"), "Xb");
  EXPECT_EQ(Rp("$", "abc", "!"), "abc!");
  EXPECT_EQ(Rp("^", "abc", "!"), "!abc");
}

TEST(PatternReplace, ZeroByteInTheInput) {
  std::string input("a1\0b2", 5);
  // Searched only up to the 0 byte; the rest is copied unchanged.
  EXPECT_EQ(Rp("\\d", input, "#"), std::string("a#\0b2", 5));
  EXPECT_EQ(Rp("x*", input, "-"), std::string("-a-1-\0b2", 8));
}

TEST(PatternTemplate, References) {
  TPatternEngine e;
  e.SetExpression("(a)(b)");
  ASSERT_TRUE(e.Exec("ab"));
  EXPECT_EQ(e.ExpandTemplate("$2$1"), "ba");
  EXPECT_EQ(e.ExpandTemplate("${1}0"), "a0");
  EXPECT_EQ(e.ExpandTemplate("$10"), "");
  EXPECT_EQ(e.ExpandTemplate("\\$1"), "$1");
  EXPECT_EQ(e.ExpandTemplate("$&!"), "ab!");
  EXPECT_EQ(e.ExpandTemplate("${&}"), "ab");
  EXPECT_EQ(e.ExpandTemplate("$0"), "ab");
  EXPECT_EQ(e.ExpandTemplate("$x"), "$x");
  EXPECT_EQ(e.ExpandTemplate("a\\"), "a\\");
  EXPECT_EQ(e.ExpandTemplate("\\\\"), "\\");
  EXPECT_EQ(e.ExpandTemplate("\\n"), "n");
  EXPECT_EQ(e.ExpandTemplate("$"), "$");
  EXPECT_EQ(e.ExpandTemplate("${1"), "${1");
  EXPECT_EQ(e.ExpandTemplate("${}"), "${}");
  EXPECT_EQ(e.ExpandTemplate("${x}"), "${x}");
  EXPECT_EQ(e.ExpandTemplate("$99999999999999"), "");
  EXPECT_EQ(e.ExpandTemplate("$14$15"), "");
  EXPECT_EQ(e.ExpandTemplate(""), "");
  e.SetExpression("(a)|b");
  ASSERT_TRUE(e.Exec("b"));
  EXPECT_EQ(e.MatchOffset(1), -1);
  EXPECT_EQ(e.MatchLength(1), -1);
  EXPECT_EQ(e.ExpandTemplate("[$1]"), "[]");
}

TEST(PatternTemplate, ReplaceAllWithAndWithoutSubstitution) {
  TPatternEngine e;
  e.SetExpression("(\\w+)@(\\w+)");
  EXPECT_EQ(e.ReplaceAll("mail bob@host now", "$2 at $1", true), "mail host at bob now");
  EXPECT_EQ(e.ReplaceAll("mail bob@host now", "$2 at $1", false), "mail $2 at $1 now");
  EXPECT_EQ(e.ReplaceAll("a@b c@d", "[$&]", true), "[a@b] [c@d]");
  EXPECT_EQ(e.ReplaceAll("none", "x", true), "none");
  // After ReplaceAll the slots are clear and the input stays stored.
  EXPECT_EQ(e.MatchOffset(0), -1);
  EXPECT_TRUE(e.ExecAt(1) == false);
  std::string out = "prefix:";
  e.ReplaceAllTo("a@b", "$1", true, &out);
  EXPECT_EQ(out, "prefix:a");
}

TEST(PatternTemplate, ErrorsPropagate) {
  TPatternEngine e;
  e.SetExpression("(a");
  EXPECT_THROW(e.ReplaceAll("a", "", true), EPatternError);
  EXPECT_EQ(e.LastErrorCode(), 103);
  EXPECT_THROW(ReplacePattern("[", "x", "", true), EPatternError);
  try {
    ReplacePattern("a**", "x", "", true);
    ADD_FAILURE();
  } catch (const EPatternError& err) {
    EXPECT_EQ(err.ErrorCode(), 107);
  }
}

// A compiled engine reused over many inputs gives what a fresh engine per
// input gives.
TEST(PatternReplace, ReusedEngineEqualsFreshEngines) {
  const char* patterns[] = {kTags,     kNumbers,   kSpaces, kPunctuation, kFileName,
                            "(a|b)+c", "(\\w)\\1", "x*",    "(?m)^\\w",   "\\d{2,3}?"};
  const char* templates[] = {"", "", " ", "", "-", "<$&>", "[$1]", "-", "#", "$0$0"};
  std::mt19937 rng(12345);
  const std::string alphabet = "ab c1 2<>x\r\n\t.;!\"(a)[b]:?*|/\\";
  for (size_t i = 0; i < std::size(patterns); ++i) {
    TPatternEngine reused;
    reused.SetExpression(patterns[i]);
    reused.Compile();
    for (int round = 0; round < 200; ++round) {
      std::string input;
      size_t len = rng() % 40;
      for (size_t k = 0; k < len; ++k) input += alphabet[rng() % alphabet.size()];
      EXPECT_EQ(reused.ReplaceAll(input, templates[i], true),
                ReplacePattern(patterns[i], input, templates[i], true))
          << patterns[i] << " on " << input;
    }
  }
}

// ReplaceAll against a plain loop over Exec / ExecNext / ExpandTemplate.
TEST(PatternReplace, ReplaceAllEqualsTheSearchLoop) {
  const char* patterns[] = {"a*", "\\b\\d*\\b", "(a)|b", "<.+?>", "(x)(y)?", "\\s{2,}"};
  std::mt19937 rng(777);
  const std::string alphabet = "aab1 2<>xy\t";
  for (const char* pattern : patterns) {
    for (int round = 0; round < 300; ++round) {
      std::string input;
      size_t len = rng() % 30;
      for (size_t k = 0; k < len; ++k) input += alphabet[rng() % alphabet.size()];
      TPatternEngine e;
      e.SetExpression(pattern);
      std::string expected;
      int from = 1;
      for (bool found = e.Exec(input); found; found = e.ExecNext()) {
        expected += input.substr(from - 1, e.MatchOffset(0) - from);
        expected += e.ExpandTemplate("{$&|$1|$2}");
        from = e.MatchOffset(0) + e.MatchLength(0);
      }
      expected += input.substr(from - 1);
      EXPECT_EQ(ReplacePattern(pattern, input, "{$&|$1|$2}", true), expected)
          << pattern << " on " << input;
    }
  }
}

// The search and replace-all take shortcuts for the simplest programs (one
// character class; a greedy run; a character, a lazy run of any characters
// and a closing character). Wrapping a pattern in a group defeats every
// shortcut, so the general matcher gives the reference.
TEST(PatternReplace, ShortcutsEqualTheGeneralMatcher) {
  const char* patterns[] = {"[ab]",      "a",      "(?i)a",     "\\d",
                            ".",         "[^a]",   "\\s{2,}",   "\\s+",
                            "a{2,}",     "a{1,3}", "\\d{2,5}",  "<.+?>",
                            "a.{2,5}?b", "<.*?>",  "x.+?x",     "\\W+",
                            "[ \t]{2,}", "b{2}",   "(?i)<.+?>", "[\\[\\];\\\"\\(\\).,!:]"};
  const char* templates[] = {"", "-", "--", "$&", "<$0>"};
  std::mt19937 rng(4242);
  const std::string alphabet = "aab  b<x>1\t\r\n.;AB";
  for (const char* pattern : patterns) {
    std::string wrapped = std::string("(") + pattern + ")";
    TPatternEngine shortcut;
    shortcut.SetExpression(pattern);
    TPatternEngine general;
    general.SetExpression(wrapped);
    for (int round = 0; round < 300; ++round) {
      std::string input;
      size_t len = rng() % (round % 2 ? 40 : 160);
      for (size_t k = 0; k < len; ++k) {
        input += rng() % 50 == 0 ? '\0' : alphabet[rng() % alphabet.size()];
      }
      for (const char* templ : templates) {
        ASSERT_EQ(shortcut.ReplaceAll(input, templ, true), general.ReplaceAll(input, templ, true))
            << pattern << " with " << templ << " on " << input;
      }
      std::string a;
      std::string b;
      for (bool f = shortcut.Exec(input); f; f = shortcut.ExecNext()) {
        a += std::to_string(shortcut.MatchOffset(0)) + ":" +
             std::to_string(shortcut.MatchLength(0)) + " ";
      }
      for (bool f = general.Exec(input); f; f = general.ExecNext()) {
        b += std::to_string(general.MatchOffset(0)) + ":" + std::to_string(general.MatchLength(0)) +
             " ";
      }
      ASSERT_EQ(a, b) << pattern << " on " << input;
    }
  }
}

}  // namespace
}  // namespace vellora
