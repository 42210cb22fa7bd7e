// The matcher and the search: every node kind, repetitions, loops, groups,
// back-references, anchors, modifiers, positions, and the sound-behaviour
// cases (deep loops, empty iterations, loop-state restoration).

#include <gtest/gtest.h>

#include <string>

#include "regex/pattern_engine.h"
#include "regex_test_util.h"

namespace vellora {
namespace {

using testing_regex::AllMatches;
using testing_regex::Find;
using testing_regex::FirstMatch;

std::string Groups(std::string_view pattern, std::string_view input,
                   uint32_t mods = kDefaultModifiers) {
  TPatternEngine e;
  e.SetModifiers(mods);
  e.SetExpression(pattern);
  if (!e.Exec(input)) return "<none>";
  std::string out;
  for (int n = 0; n <= e.GroupCount(); ++n) {
    if (n) out += '|';
    out += e.MatchOffset(n) < 0 ? std::string("-") : "[" + e.Match(n) + "]";
  }
  return out;
}

TEST(PatternMatch, LiteralsAndSingleCharacters) {
  EXPECT_EQ(FirstMatch("abc", "xxabcx"), "abc");
  EXPECT_EQ(FirstMatch("abc", "xxabx"), "<none>");
  EXPECT_EQ(FirstMatch("a.c", "a\nc"), "a\nc");
  EXPECT_EQ(FirstMatch("\\d\\D", "a1b"), "1b");
  EXPECT_EQ(FirstMatch("\\d\\D", "a12"), "<none>");
  EXPECT_EQ(FirstMatch("[^ab]", "abc"), "c");
  EXPECT_EQ(FirstMatch("[b-d]+", "abcde"), "bcd");
  EXPECT_EQ(FirstMatch("\\w+", "  foo_1 "), "foo_1");
  EXPECT_EQ(FirstMatch("\\W", "ab-"), "-");
  EXPECT_EQ(FirstMatch("\\s\\S", "a b"), " b");
  // The input's final 0 never matches a character.
  EXPECT_EQ(FirstMatch("a.", "a"), "<none>");
  EXPECT_EQ(FirstMatch("a[^x]", "a"), "<none>");
  EXPECT_EQ(FirstMatch("a\\D", "a"), "<none>");
  EXPECT_EQ(FirstMatch("ab", "a"), "<none>");
}

TEST(PatternMatch, CaseInsensitive) {
  EXPECT_EQ(FirstMatch("(?i)abc", "xABCx"), "ABC");
  EXPECT_EQ(FirstMatch("abc", "xAbCx", kDefaultModifiers | kModifierI), "AbC");
  EXPECT_EQ(FirstMatch("(a(?i)b)c", "aBc"), "aBc");
  EXPECT_EQ(FirstMatch("(a(?i)b)c", "aBC"), "<none>");
  EXPECT_EQ(FirstMatch("(a(?i)b)c", "ABc"), "<none>");
  EXPECT_EQ(FirstMatch("(?i)[a-c]+", "xAbCd"), "AbC");
  EXPECT_EQ(FirstMatch("(?i)\xE9t\xE9", "\xC9T\xC9"), "\xC9T\xC9");  // Windows-1252
  EXPECT_EQ(FirstMatch("(?i)x*y", "XxXY"), "XxXY");
  EXPECT_EQ(FirstMatch("(?i)(a)\\1", "aA"), "aA");
  EXPECT_EQ(FirstMatch("(a)\\1", "aA"), "<none>");
}

TEST(PatternMatch, AlternationIsLeftmostFirst) {
  EXPECT_EQ(FirstMatch("a|ab", "ab"), "a");
  EXPECT_EQ(FirstMatch("ab|a", "ab"), "ab");
  EXPECT_EQ(FirstMatch("x(a|ab)c", "xabc"), "xabc");
  EXPECT_EQ(FirstMatch("b|a", "ab"), "a");  // the earliest start wins
  EXPECT_EQ(FirstMatch("a|", "b"), "");
  EXPECT_EQ(Find("a|", "b"), std::make_pair(1, 0));
}

TEST(PatternMatch, SimpleRepetitions) {
  EXPECT_EQ(FirstMatch("a*", "aaab"), "aaa");
  EXPECT_EQ(FirstMatch("a*?", "aaab"), "");
  EXPECT_EQ(FirstMatch("a+", "baaab"), "aaa");
  EXPECT_EQ(FirstMatch("a+?", "baaab"), "a");
  EXPECT_EQ(FirstMatch("a?", "aa"), "a");
  EXPECT_EQ(FirstMatch("a??", "aa"), "");
  EXPECT_EQ(FirstMatch("a??b", "ab"), "ab");
  EXPECT_EQ(FirstMatch("a{2,3}", "aaaa"), "aaa");
  EXPECT_EQ(FirstMatch("a{2,3}?", "aaaa"), "aa");
  EXPECT_EQ(FirstMatch("a{0}b", "ab"), "b");
  EXPECT_EQ(FirstMatch("a*a", "aaa"), "aaa");
  EXPECT_EQ(FirstMatch("a*ab", "aaab"), "aaab");
  EXPECT_EQ(FirstMatch("a*?b", "aaab"), "aaab");
  EXPECT_EQ(FirstMatch(".*b", "abcbd"), "abcb");
  EXPECT_EQ(FirstMatch(".*?b", "abcbd"), "ab");
  EXPECT_EQ(FirstMatch(".*(?i)B", "abcbd"), "abcb");
  EXPECT_EQ(FirstMatch(".+?(?i)B", "bAbd"), "bAb");
  EXPECT_EQ(FirstMatch("\\d+\\.", "12.5."), "12.");
  EXPECT_EQ(FirstMatch("[ab]*c", "ababac"), "ababac");
  EXPECT_EQ(FirstMatch("x\\s{2,}y", "x \t\r\ny"), "x \t\r\ny");
  // A following literal's first character filters the tries.
  EXPECT_EQ(FirstMatch("a*aab", "aaaaab"), "aaaaab");
  EXPECT_EQ(FirstMatch("<.+?>", "<a>b>"), "<a>");
  EXPECT_EQ(FirstMatch("<.+>", "<a>b>"), "<a>b>");
  EXPECT_EQ(FirstMatch("<.+?>", "<>>"), "<>>");
  // g off: every quantifier lazy.
  EXPECT_EQ(FirstMatch("a+", "aaa", kDefaultModifiers & ~kModifierG), "a");
  EXPECT_EQ(FirstMatch("(?-g)a+", "aaa"), "a");
  EXPECT_EQ(FirstMatch("(?-g)(ab)+", "ababab"), "ab");
  EXPECT_EQ(FirstMatch("(?-g)a?", "a"), "");
}

TEST(PatternMatch, ComplexRepetitions) {
  EXPECT_EQ(FirstMatch("(ab)*", "ababa"), "abab");
  EXPECT_EQ(FirstMatch("(ab)+", "xababa"), "abab");
  EXPECT_EQ(FirstMatch("(ab)+", "xa"), "<none>");
  EXPECT_EQ(FirstMatch("(ab)?c", "abc"), "abc");
  EXPECT_EQ(FirstMatch("(ab)?c", "ac"), "c");
  EXPECT_EQ(FirstMatch("(ab)*?c", "ababc"), "ababc");
  EXPECT_EQ(FirstMatch("(ab)+?", "ababab"), "ab");
  EXPECT_EQ(FirstMatch("(ab)??", "ab"), "");
  EXPECT_EQ(FirstMatch("(a|b)*c", "abbac"), "abbac");
  EXPECT_EQ(FirstMatch("(a|b)*?b", "aabab"), "aab");
  EXPECT_EQ(FirstMatch("(a|bc)+d", "abcad"), "abcad");
  EXPECT_EQ(FirstMatch("(a*b)+", "aababb"), "aababb");
  // "." without s is not simple: a complex loop.
  EXPECT_EQ(FirstMatch("(?-s)a.*", "abc\r\nd"), "abc");
  EXPECT_EQ(FirstMatch("(?-s).+", "\r\nxy\nz"), "xy");
  EXPECT_EQ(FirstMatch("(?-s).*?y", "axy"), "axy");
  EXPECT_EQ(Groups("(a|b)*", "ab"), "[ab]|[b]");
  EXPECT_EQ(Groups("(a|b)+c", "abac"), "[abac]|[a]");
  EXPECT_EQ(Groups("((a)|b)*", "ab"), "[ab]|[b]|[a]");  // a group keeps its last capture
  EXPECT_EQ(Groups("(a)|b", "b"), "[b]|-");
}

TEST(PatternMatch, CountedLoops) {
  EXPECT_EQ(FirstMatch("(ab){2}", "abababab"), "abab");
  EXPECT_EQ(FirstMatch("(ab){2,3}", "abababab"), "ababab");
  EXPECT_EQ(FirstMatch("(ab){2,3}?", "abababab"), "abab");
  EXPECT_EQ(FirstMatch("(ab){2,}", "abababab"), "abababab");
  EXPECT_EQ(FirstMatch("(ab){3}", "abab"), "<none>");
  EXPECT_EQ(FirstMatch("(ab){0,1}c", "c"), "c");
  EXPECT_EQ(FirstMatch("(a(b){2}){2}", "abbabbab"), "abbabb");
  EXPECT_EQ(FirstMatch("((ab){1,2}c){2}", "abcababc"), "abcababc");
  EXPECT_EQ(FirstMatch("(a|b){2,3}?c", "ababc"), "babc");
  EXPECT_EQ(FirstMatch("(a|b){2,3}?c", "abac"), "abac");
  EXPECT_EQ(Groups("(a|ab)(c|bcd){1,2}(d*)", "abcd"), "[abcd]|[a]|[bcd]|[]");
  // Lazy counted loop whose continuation meets an enclosing counted loop.
  EXPECT_EQ(FirstMatch("((a){1,3}?b){2}", "aabab"), "aabab");
  EXPECT_EQ(FirstMatch("((a){1,3}?b){2}c", "abaabc"), "abaabc");
}

TEST(PatternMatch, LoopStateIsRestoredOnEveryFailurePath) {
  // A later alternative in a counted loop after the continuation failed.
  EXPECT_EQ(FirstMatch("(a|ab){2}c", "aabc"), "aabc");
  EXPECT_EQ(FirstMatch("(a|ab){2,3}c", "aababc"), "aababc");
  EXPECT_EQ(FirstMatch("(ab|a){1,2}?bc", "abc"), "abc");
  // Lazy counted loops inside a repetition do not pile up levels.
  std::string many;
  for (int i = 0; i < 50; ++i) many += "ab";
  EXPECT_EQ(FirstMatch("((a)+?b)*c", many + "c"), many + "c");
  EXPECT_EQ(FirstMatch("((a){1,5}?b){1,100}c", many + "c"), many + "c");
  EXPECT_EQ(FirstMatch("((ab)+?)+?c", "ababc"), "ababc");
}

std::string Nested(int depth) {
  std::string p;
  for (int i = 0; i < depth; ++i) p += "(";
  p += "a";
  for (int i = 0; i < depth; ++i) p += "){1,2}";
  return p;
}

TEST(PatternMatch, ElevenNestedCountedLoopsExceedTheLoopStack) {
  // Groups are limited to 14, so nest with the "(x)" form up to 11.
  TPatternEngine ten;
  ten.SetExpression(Nested(10));
  EXPECT_TRUE(ten.Exec("a"));
  EXPECT_EQ(ten.MatchLength(0), 1);
  TPatternEngine eleven;
  eleven.SetExpression(Nested(11));
  try {
    eleven.Exec("a");
    ADD_FAILURE();
  } catch (const EPatternError& e) {
    EXPECT_EQ(e.ErrorCode(), 1014);
    EXPECT_STREQ(e.what(), "TPatternEngine(exec): Loop Stack Exceeded");
    EXPECT_EQ(eleven.LastErrorCode(), 1014);
  }
  // The engine stays usable after a run-time error.
  eleven.SetExpression(Nested(3));
  EXPECT_TRUE(eleven.Exec("xa"));
  EXPECT_EQ(eleven.MatchOffset(0), 2);
}

TEST(PatternMatch, EmptyIterationsEndTheLoop) {
  EXPECT_EQ(FirstMatch("(a{0,3})*", "aaaaab"), "aaaaa");
  EXPECT_EQ(FirstMatch("(a{0,3})*b", "b"), "b");
  EXPECT_EQ(FirstMatch("(a{0,3})*", "xyz"), "");
  EXPECT_EQ(FirstMatch("(a{0,3})+", "xyz"), "");
  EXPECT_EQ(FirstMatch("(a{0,3})+b", "aaaab"), "aaaab");
  EXPECT_EQ(FirstMatch("(a{0,3}){2,}", "xyz"), "");
  EXPECT_EQ(FirstMatch("(a{0,3}){2,}?c", "aaaac"), "aaaac");
  EXPECT_EQ(FirstMatch("(a{0,3})*?c", "aaaac"), "aaaac");
  EXPECT_EQ(FirstMatch("((a{0,2}){0,2})*b", "aaaaab"), "aaaaab");
  EXPECT_EQ(AllMatches("(a{0,3})*", "aab"), "1:2 3:0 4:0");
  // The loop stops where an iteration consumed nothing; earlier captures stay.
  EXPECT_EQ(Groups("(a{0,3})*", "aaaa"), "[aaaa]|[a]");
  EXPECT_EQ(Groups("(a{0,1}|b)*", "ab"), "[ab]|[b]");
}

TEST(PatternMatch, BackReferences) {
  EXPECT_EQ(FirstMatch("(a+)b\\1", "aaabaa"), "aabaa");
  EXPECT_EQ(FirstMatch("(\\w+) \\1", "the the"), "the the");
  EXPECT_EQ(FirstMatch("(a)|\\1", "b"), "<none>");  // an unset group never matches
  EXPECT_EQ(FirstMatch("(a)(b)?\\2", "ab"), "<none>");
  EXPECT_EQ(FirstMatch("(a*)b\\1", "b"), "b");       // an empty capture matches empty
  EXPECT_EQ(FirstMatch("(a)\\1*", "aaaa"), "aaaa");  // a repeated back-reference
  // Repetitions of a longer capture back off one whole capture at a time.
  EXPECT_EQ(FirstMatch("(ab)\\1*", "abababx"), "ababab");
  EXPECT_EQ(FirstMatch("(ab)\\1*ab", "ababab"), "ababab");
  EXPECT_EQ(FirstMatch("(ab)\\1{1,2}", "abababab"), "ababab");
  EXPECT_EQ(FirstMatch("(ab)\\1{1,2}?", "abababab"), "abab");
  EXPECT_EQ(FirstMatch("(ab)\\1*?x", "abababx"), "abababx");
  EXPECT_EQ(FirstMatch("(ab)\\1+c", "abababc"), "abababc");
  EXPECT_EQ(FirstMatch("(?i)(ab)\\1+", "abABaB"), "abABaB");
  EXPECT_EQ(FirstMatch("(a*)\\1*c", "c"), "c");  // empty capture under "*": one try
  EXPECT_EQ(FirstMatch("(a*)\\1{3,5}c", "c"), "c");
  EXPECT_EQ(FirstMatch("(x)?\\1*y", "y"), "y");
}

TEST(PatternMatch, InputAnchors) {
  EXPECT_EQ(Find("^ab", "abab"), std::make_pair(1, 2));
  EXPECT_EQ(AllMatches("^ab", "abab"), "1:2");
  EXPECT_EQ(Find("ab$", "abab"), std::make_pair(3, 2));
  EXPECT_EQ(Find("\\Aab", "xab"), std::make_pair(-1, -1));
  EXPECT_EQ(Find("ab\\Z", "abx"), std::make_pair(-1, -1));
  EXPECT_EQ(Find("$", "abc"), std::make_pair(4, 0));
  EXPECT_EQ(Find("^", ""), std::make_pair(1, 0));
  EXPECT_EQ(Find("a$", "a\r\nb"), std::make_pair(-1, -1));
}

TEST(PatternMatch, MultiLineAnchorsAndLineBreakPairs) {
  const std::string crlf = "a\r\nb";
  EXPECT_EQ(Find("(?m)^b", crlf), std::make_pair(4, 1));
  EXPECT_EQ(Find("(?m)a$", crlf), std::make_pair(1, 1));
  EXPECT_EQ(Find("^b", crlf, kDefaultModifiers | kModifierM), std::make_pair(4, 1));
  // Never between the CR and the LF of a pair.
  EXPECT_EQ(AllMatches("(?m)^", crlf), "1:0 4:0");
  EXPECT_EQ(AllMatches("(?m)$", crlf), "2:0 5:0");
  EXPECT_EQ(AllMatches("$", crlf, kDefaultModifiers | kModifierM), "2:0 5:0");
  // Lone CR and LF end lines too.
  EXPECT_EQ(AllMatches("(?m)^.", "a\rb\nc"), "1:1 3:1 5:1");
  EXPECT_EQ(AllMatches("(?m).$", "a\rb\nc"), "1:1 3:1 5:1");
  // Without the pair, CR LF is two line breaks.
  TPatternEngine e;
  e.SetLinePairedSeparator("");
  e.SetModifiers(kDefaultModifiers | kModifierM);
  e.SetExpression("^");
  std::string out;
  for (bool f = e.Exec(crlf); f; f = e.ExecNext()) out += std::to_string(e.MatchOffset(0)) + " ";
  EXPECT_EQ(out, "1 3 4 ");
}

TEST(PatternMatch, DotWithoutS) {
  EXPECT_EQ(FirstMatch("a.b", "a\r\nb"), "<none>");  // "." is any char but not the pair
  EXPECT_EQ(FirstMatch("a..b", "a\r\nb"), "a\r\nb");
  EXPECT_EQ(FirstMatch("(?-s)a.b", "a\nb"), "<none>");
  EXPECT_EQ(FirstMatch("(?-s)a.b", "a\rb"), "<none>");
  EXPECT_EQ(FirstMatch("(?-s)a.b", "axb"), "axb");
  EXPECT_EQ(FirstMatch("(?-s)a..b", "a\r\nb"), "<none>");
  EXPECT_EQ(FirstMatch("a.b", "a\nb", kDefaultModifiers & ~kModifierS), "<none>");
  // Under the defaults "a.b" matches across a line break.
  EXPECT_EQ(FirstMatch("a.b", "a\nb"), "a\nb");
  // A custom pair that is not in LineBreakCharacters.
  TPatternEngine e;
  e.SetLinePairedSeparator("xy");
  e.SetExpression("(?-s)a.");
  EXPECT_FALSE(e.Exec("axy"));
  EXPECT_TRUE(e.Exec("ax"));
}

TEST(PatternMatch, WordBoundaries) {
  EXPECT_EQ(AllMatches("\\b", "ab cd"), "1:0 3:0 4:0 6:0");
  EXPECT_EQ(AllMatches("\\B", "ab cd"), "2:0 5:0");
  EXPECT_EQ(AllMatches("\\b", ""), "");
  EXPECT_EQ(AllMatches("\\B", ""), "1:0");
  EXPECT_EQ(FirstMatch("\\bfoo\\b", "afoo foo"), "foo");
  EXPECT_EQ(Find("\\bfoo\\b", "afoo foo"), std::make_pair(6, 3));
  // Only the 63 default word characters are word characters.
  EXPECT_EQ(AllMatches("\\b",
                       "\xE9"
                       "2"),
            "2:0 3:0");
  TPatternEngine e;
  e.SetWordCharacters("ab");
  e.SetExpression("\\b\\w+\\b");
  EXPECT_TRUE(e.Exec("cabc"));
  EXPECT_EQ(e.Match(0), "ab");
}

TEST(PatternMatch, SpaceCharactersSetting) {
  TPatternEngine e;
  e.SetSpaceCharacters("_");
  e.SetExpression("a\\sb");
  EXPECT_TRUE(e.Exec("a_b"));
  EXPECT_FALSE(e.Exec("a b"));
  EXPECT_EQ(e.SpaceCharacters(), "_");
}

TEST(PatternMatch, CaseInverterSetting) {
  TPatternEngine e;
  e.SetCaseInverter([](unsigned char c) -> unsigned char { return c == 'a' ? 'z' : c; });
  e.SetExpression("(?i)a+");
  EXPECT_TRUE(e.Exec("xzaz"));
  EXPECT_EQ(e.Match(0), "zaz");
  EXPECT_EQ(e.CaseInvert('a'), 'z');
}

TEST(PatternMatch, PositionsAndOffsets) {
  TPatternEngine e;
  e.SetExpression("(a)|b");
  ASSERT_TRUE(e.Exec("xb"));
  EXPECT_EQ(e.MatchOffset(0), 2);
  EXPECT_EQ(e.MatchLength(0), 1);
  EXPECT_EQ(e.MatchOffset(1), -1);
  EXPECT_EQ(e.MatchLength(1), -1);
  EXPECT_EQ(e.MatchOffset(15), -1);
  EXPECT_EQ(e.MatchOffset(-1), -1);
  // ExecAt: len + 1 can find an empty match at the end; len + 2 is false.
  e.SetExpression("x*");
  ASSERT_TRUE(e.Exec("abc"));
  EXPECT_TRUE(e.ExecAt(4));
  EXPECT_EQ(e.MatchOffset(0), 4);
  EXPECT_EQ(e.MatchLength(0), 0);
  EXPECT_FALSE(e.ExecAt(5));
  EXPECT_EQ(e.MatchOffset(0), -1);
  EXPECT_THROW(e.ExecAt(0), EPatternError);
  // ExecNext after a non-empty match starts where it ended.
  e.SetExpression("a*");
  EXPECT_EQ(AllMatches("a*", "aab"), "1:2 3:0 4:0");
  EXPECT_EQ(AllMatches("x*", "abc"), "1:0 2:0 3:0 4:0");
}

TEST(PatternMatch, ZeroByteEndsTheInput) {
  std::string input("ab\0ab", 5);
  EXPECT_EQ(AllMatches("b", input), "2:1");
  EXPECT_EQ(AllMatches("x*", input), "1:0 2:0 3:0");
  EXPECT_EQ(Find("b$", input), std::make_pair(2, 1));
}

TEST(PatternMatch, EmptyLiteralMatchesOnlyAtTheEnd) {
  EXPECT_EQ(AllMatches("\\x00", "ab"), "3:0");
  EXPECT_EQ(AllMatches("a\\x{}", "aa"), "2:1");
}

TEST(PatternMatch, ReusedEngineGivesTheSameResults) {
  TPatternEngine e;
  e.SetExpression("(a|b)+c");
  EXPECT_TRUE(e.Exec("xxababc"));
  EXPECT_EQ(e.Match(0), "ababc");
  EXPECT_FALSE(e.Exec("abab"));
  EXPECT_TRUE(e.Exec("bc"));
  EXPECT_EQ(e.Match(1), "b");
}

// --- Long inputs: no recursion on the input length ---------------------------

// 50 MB; 2 MB in the sanitizer build, whose unoptimised code is slow.
#if defined(__SANITIZE_ADDRESS__)
constexpr size_t kBig = size_t{2} << 20;
#else
constexpr size_t kBig = size_t{50} << 20;
#endif

std::string Repeat(std::string_view unit, size_t total) {
  std::string s;
  s.reserve(total + unit.size());
  while (s.size() < total) s.append(unit);
  return s;
}

TEST(PatternLong, GreedyComplexStarOverFiftyMegabytes) {
  std::string input = Repeat("ab", kBig);
  TPatternEngine e;
  e.SetExpression("(ab)*");
  ASSERT_TRUE(e.Exec(input));
  EXPECT_EQ(e.MatchOffset(0), 1);
  EXPECT_EQ(static_cast<size_t>(e.MatchLength(0)), input.size());
  EXPECT_EQ(e.MatchOffset(1), static_cast<int>(input.size()) - 1);
}

TEST(PatternLong, AlternationLoopWithFinalLiteral) {
  std::string input = Repeat("ab", kBig) + "c";
  TPatternEngine e;
  e.SetExpression("(a|b)*c");
  ASSERT_TRUE(e.Exec(input));
  EXPECT_EQ(static_cast<size_t>(e.MatchLength(0)), input.size());
  // Backing all the way out of the loop.
  input.back() = 'a';
  e.SetExpression("x(a|b)*c");
  EXPECT_FALSE(e.Exec("x" + input));
}

TEST(PatternLong, OtherLoopsOverLongInputs) {
  std::string input = Repeat("ab", kBig / 4);
  EXPECT_EQ(Find("(?-s).*", input).second, static_cast<int>(input.size()));
  EXPECT_EQ(Find("(ab)+", input).second, static_cast<int>(input.size()));
  EXPECT_EQ(Find("(ab)*?$", input).second, static_cast<int>(input.size()));
  EXPECT_EQ(Find("(ab){1,}", input).second, static_cast<int>(input.size()));
  EXPECT_EQ(Find("(a|b)+?$", input).second, static_cast<int>(input.size()));
  EXPECT_EQ(Find(".*?$", input).second, static_cast<int>(input.size()));
}

TEST(PatternLong, ReplaceAllOverALongLoop) {
  std::string input = Repeat("ab", kBig / 4);
  EXPECT_EQ(ReplacePattern("(ab)*", input, "-", true), "--");
}

}  // namespace
}  // namespace vellora
