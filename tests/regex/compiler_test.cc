// The compiler: exact program bytes, classes, escapes, quantifier forms,
// search facts and every compile error with its text and position.

#include <gtest/gtest.h>

#include "regex/pattern_engine.h"
#include "regex_test_util.h"

namespace vellora {
namespace {

using testing_regex::CompileError;
using testing_regex::CompileMessage;
using testing_regex::FirstCharsOf;
using testing_regex::Hex;
using testing_regex::ProgramOf;

// --- Exact programs ---------------------------------------------------------

TEST(PatternProgram, LazyTagPatternIs35Bytes) {
  std::vector<uint8_t> p = ProgramOf("<.+?>");
  ASSERT_EQ(p.size(), 35u);
  EXPECT_EQ(Hex(p),
            "D8 06 1D 00 00 00 08 07 00 00 00 3C 00 1F 0A 00 00 00 03 00 00 00 00 "
            "08 07 00 00 00 3E 00 00 00 00 00 00");
  TPatternEngine e;
  e.SetExpression("<.+?>");
  e.Compile();
  EXPECT_EQ(e.StartChar(), '<');
  EXPECT_EQ(e.Anchored(), 0);
  EXPECT_EQ(e.RequiredLiteral(), "");
  EXPECT_EQ(FirstCharsOf(e), "<");
}

TEST(PatternProgram, WhiteSpaceRunPatternIs61Bytes) {
  std::vector<uint8_t> p = ProgramOf("\\s{2,}");
  ASSERT_EQ(p.size(), 61u);
  std::string expected =
      "D8 06 37 00 00 00 12 32 00 00 00 02 00 00 00 FE FF FF 7F 1B 00 00 00 00 "
      "00 36 00 00 01";
  for (int i = 0; i < 27; ++i) expected += " 00";
  expected += " 00 00 00 00 00";
  EXPECT_EQ(Hex(p), expected);
  TPatternEngine e;
  e.SetExpression("\\s{2,}");
  e.Compile();
  EXPECT_EQ(FirstCharsOf(e), "\t\n\f\r ");
  EXPECT_EQ(e.StartChar(), 0);
  EXPECT_EQ(e.RequiredLiteral(), "");
}

TEST(PatternProgram, AlternativesChainBranches) {
  EXPECT_EQ(Hex(ProgramOf("a|b")),
            "D8 06 0C 00 00 00 08 13 00 00 00 61 00 06 0C 00 00 00 08 07 00 00 00 62 00 "
            "00 00 00 00 00");
}

TEST(PatternProgram, GreedyComplexStarLoopsBackToItsBranch) {
  EXPECT_EQ(Hex(ProgramOf("(ab)*")),
            "D8 06 30 00 00 00 06 21 00 00 00 28 05 00 00 00 06 0D 00 00 00 "
            "08 08 00 00 00 61 62 00 37 05 00 00 00 07 E4 FF FF FF 06 05 00 00 00 "
            "09 05 00 00 00 00 00 00 00 00");
}

TEST(PatternProgram, GreedyComplexPlusLoopsBackToItsAtom) {
  EXPECT_EQ(Hex(ProgramOf("(ab)+")),
            "D8 06 30 00 00 00 28 05 00 00 00 06 0D 00 00 00 08 08 00 00 00 61 62 00 "
            "37 05 00 00 00 06 0A 00 00 00 07 E4 FF FF FF 06 05 00 00 00 "
            "09 05 00 00 00 00 00 00 00 00");
}

TEST(PatternProgram, BracesOnComplexAtomMakeACountedLoop) {
  EXPECT_EQ(Hex(ProgramOf("(ab){2,3}")),
            "D8 06 32 00 00 00 17 1C 00 00 00 28 05 00 00 00 06 0D 00 00 00 "
            "08 08 00 00 00 61 62 00 37 05 00 00 00 "
            "18 11 00 00 00 02 00 00 00 03 00 00 00 E9 FF FF FF 00 00 00 00 00");
  // Lazy: opLoopLazy (33).
  std::vector<uint8_t> lazy = ProgramOf("(ab){2,3}?");
  EXPECT_EQ(lazy[34], 33);
  // Lazy "*" and "+" on a complex atom: counted loops 0.. and 1..2147483646.
  std::vector<uint8_t> star = ProgramOf("(ab)*?");
  EXPECT_EQ(star[6], 23);
  EXPECT_EQ(star[34], 33);
  EXPECT_EQ(Hex({star.begin() + 39, star.begin() + 47}), "00 00 00 00 FE FF FF 7F");
  std::vector<uint8_t> plus = ProgramOf("(ab)+?");
  EXPECT_EQ(Hex({plus.begin() + 39, plus.begin() + 47}), "01 00 00 00 FE FF FF 7F");
  // Lazy "?" on a complex atom: 0..1.
  std::vector<uint8_t> opt = ProgramOf("(ab)??");
  EXPECT_EQ(Hex({opt.begin() + 34, opt.begin() + 47}), "21 11 00 00 00 00 00 00 00 01 00 00 00");
}

TEST(PatternProgram, GreedyOptionalIsTwoBranches) {
  EXPECT_EQ(Hex(ProgramOf("a?")),
            "D8 06 1B 00 00 00 06 0C 00 00 00 08 0C 00 00 00 61 00 06 05 00 00 00 "
            "09 05 00 00 00 00 00 00 00 00");
}

TEST(PatternProgram, SimpleRepetitionsWrapTheirNode) {
  EXPECT_EQ(Hex(ProgramOf("a*?")),
            "D8 06 11 00 00 00 1E 0C 00 00 00 08 00 00 00 00 61 00 00 00 00 00 00");
  EXPECT_EQ(Hex(ProgramOf("a{2,5}?")),
            "D8 06 19 00 00 00 20 14 00 00 00 02 00 00 00 05 00 00 00 08 00 00 00 00 61 00 "
            "00 00 00 00 00");
  EXPECT_EQ(ProgramOf("a*")[6], 10);
  EXPECT_EQ(ProgramOf("a+")[6], 11);
  EXPECT_EQ(ProgramOf("a+?")[6], 31);
  EXPECT_EQ(ProgramOf("a{3}")[6], 18);
  EXPECT_EQ(ProgramOf("a??")[6], 32);
  // After (?-g) every quantifier is lazy, with or without "?".
  EXPECT_EQ(ProgramOf("(?-g)a+")[11], 31);
  EXPECT_EQ(ProgramOf("(?-g)a+?")[11], 31);
  // g off through Modifiers.
  EXPECT_EQ(ProgramOf("a*", 14 & ~8u)[6], 30);
}

TEST(PatternProgram, LiteralRunsLeaveTheQuantifiedCharacterAlone) {
  // "abc*": the literal "ab", then "c*".
  EXPECT_EQ(Hex(ProgramOf("abc*")),
            "D8 06 19 00 00 00 08 08 00 00 00 61 62 00 0A 0C 00 00 00 08 00 00 00 00 63 00 "
            "00 00 00 00 00");
}

TEST(PatternProgram, CommentsAndModifierGroupsAreCommentNodes) {
  EXPECT_EQ(Hex(ProgramOf("(?#note)abc")),
            "D8 06 13 00 00 00 13 05 00 00 00 08 09 00 00 00 61 62 63 00 00 00 00 00 00");
  EXPECT_EQ(ProgramOf("(?i)a")[6], 19);
  EXPECT_EQ(ProgramOf("(?i)a")[11], 20);  // opLiteralCI
  // In (a(?i)b)c only b is case-insensitive.
  std::vector<uint8_t> p = ProgramOf("(a(?i)b)c");
  std::string hex = Hex(p);
  EXPECT_NE(hex.find("08 07 00 00 00 61 00"), std::string::npos);
  EXPECT_NE(hex.find("14 07 00 00 00 62 00"), std::string::npos);
  EXPECT_NE(hex.find("08 07 00 00 00 63 00"), std::string::npos);
}

TEST(PatternProgram, ExtendedSyntaxSkipsBlanksAndComments) {
  uint32_t x = 14 | 32;
  // The literal "ab" (blanks not copied, "#" ends it), a comment, blanks, "c".
  std::vector<uint8_t> p = ProgramOf("a b # note\n c", x);
  EXPECT_EQ(p[6], 8);
  EXPECT_EQ(p[11], 'a');
  EXPECT_EQ(p[12], 'b');
  EXPECT_EQ(p[13], 0);
  EXPECT_EQ(p[14], 19);
  EXPECT_EQ(p[19], 19);
  EXPECT_EQ(p[24], 8);
  TPatternEngine e;
  e.SetModifiers(x);
  e.SetExpression("a b # note\r\n c");
  EXPECT_TRUE(e.Exec("xabcx"));
  EXPECT_EQ(e.MatchOffset(0), 2);
  EXPECT_EQ(e.MatchLength(0), 3);
  EXPECT_FALSE(e.Exec("a b c"));
}

// --- Classes ------------------------------------------------------------------

std::string ClassOperand(std::string_view pattern, uint32_t modifiers = 14) {
  std::vector<uint8_t> p = ProgramOf(pattern, modifiers);
  return Hex({p.begin() + 6, p.end() - 5});
}

int FullSetCount(std::string_view pattern, uint32_t modifiers = 14) {
  std::vector<uint8_t> p = ProgramOf(pattern, modifiers);
  EXPECT_EQ(p[6], 27) << pattern;
  int n = 0;
  for (int i = 11; i < 43; ++i) n += __builtin_popcount(p[i]);
  return n;
}

bool FullSetHas(std::string_view pattern, unsigned char c, uint32_t modifiers = 14) {
  std::vector<uint8_t> p = ProgramOf(pattern, modifiers);
  return (p[11 + (c >> 3)] >> (c & 7)) & 1;
}

TEST(PatternClass, TinySetsHoldUpToThreeSortedMembers) {
  EXPECT_EQ(ClassOperand("[ab]"), "19 08 00 00 00 61 62 62");
  EXPECT_EQ(ClassOperand("[ba]"), "19 08 00 00 00 61 62 62");
  EXPECT_EQ(ClassOperand("[x]"), "19 08 00 00 00 78 78 78");
  EXPECT_EQ(ClassOperand("[^abc]"), "1A 08 00 00 00 61 62 63");
  EXPECT_EQ(ClassOperand("[]a]"), "19 08 00 00 00 5D 61 61");
  EXPECT_EQ(ClassOperand("[a-]"), "19 08 00 00 00 2D 61 61");
  EXPECT_EQ(ClassOperand("[-a]"), "19 08 00 00 00 2D 61 61");
  EXPECT_EQ(ClassOperand("[a-c]"), "19 08 00 00 00 61 62 63");
}

TEST(PatternClass, LargerClassesAreBitmaps) {
  EXPECT_EQ(FullSetCount("[abcd]"), 4);
  EXPECT_EQ(FullSetCount("[\\d-z]"), 12);
  EXPECT_TRUE(FullSetHas("[\\d-z]", '-'));
  EXPECT_TRUE(FullSetHas("[\\d-z]", 'z'));
  EXPECT_FALSE(FullSetHas("[\\d-z]", 'y'));
  EXPECT_EQ(FullSetCount("[a-c-e]"), 5);
  EXPECT_TRUE(FullSetHas("[a-c-e]", '-'));
  EXPECT_FALSE(FullSetHas("[a-c-e]", 'd'));
  // Negated with i: six members, complemented (the complement holds 0).
  EXPECT_EQ(FullSetCount("[^abc]", 14 | 1), 250);
  EXPECT_TRUE(FullSetHas("[^abc]", 0, 14 | 1));
  EXPECT_FALSE(FullSetHas("[^abc]", 'B', 14 | 1));
  // \s, \w inside a class add their strings; \D \S \W are plain letters.
  EXPECT_EQ(FullSetCount("[\\s]"), 5);
  EXPECT_EQ(FullSetCount("[\\w]"), 63);
  EXPECT_EQ(ClassOperand("[\\D\\S\\W]"), "19 08 00 00 00 44 53 57");
  // Escapes inside a class.
  EXPECT_EQ(ClassOperand("[\\t\\n\\x41]"), "19 08 00 00 00 09 0A 41");
  EXPECT_EQ(ClassOperand("[\\]\\\\]"), "19 08 00 00 00 5C 5D 5D");
  // A "-" before an escaped class letter is a member.
  EXPECT_EQ(FullSetCount("[a-\\d]"), 12);
  // Outside a class: \s \S \w \W.
  EXPECT_EQ(FullSetCount("\\s"), 5);
  EXPECT_EQ(FullSetCount("\\S"), 251);
  EXPECT_EQ(FullSetCount("\\w"), 63);
  EXPECT_EQ(FullSetCount("\\W"), 193);
  // \s and \w ignore modifier i.
  EXPECT_EQ(FullSetCount("\\w", 15), 63);
}

TEST(PatternClass, CaseInsensitiveClassesAddTheOtherCase) {
  EXPECT_EQ(ClassOperand("[a]", 15), "19 08 00 00 00 41 61 61");
  EXPECT_EQ(FullSetCount("[a-c]", 15), 6);
  EXPECT_EQ(ClassOperand("[\xE9]", 15), "19 08 00 00 00 C9 E9 E9");
}

TEST(PatternClass, CyrillicRangesWithModifierR) {
  // "а-я" (E0-FF) with r: 33 members including "ё" (B8); without r: 32.
  EXPECT_EQ(FullSetCount("[\xE0-\xFF]"), 33);
  EXPECT_TRUE(FullSetHas("[\xE0-\xFF]", 0xB8));
  EXPECT_EQ(FullSetCount("[\xE0-\xFF]", 14 & ~2u), 32);
  // "А-Я" (C0-DF) adds "Ё" (A8).
  EXPECT_EQ(FullSetCount("[\xC0-\xDF]"), 33);
  EXPECT_TRUE(FullSetHas("[\xC0-\xDF]", 0xA8));
  // "а-Я" (E0-DF) is both with r, an invalid range without.
  EXPECT_EQ(FullSetCount("[\xE0-\xDF]"), 66);
  EXPECT_EQ(CompileError("[\xE0-\xDF]", 14 & ~2u), 109);
}

TEST(PatternClass, ZeroIsNeverAMember) {
  // "[\x00]" has no member: it matches nothing; "[^\x00]" any character.
  EXPECT_EQ(ClassOperand("[\\x00]"), "19 08 00 00 00 00 00 00");
  EXPECT_EQ(testing_regex::Find("[\\x00]", "ab"), std::make_pair(-1, -1));
  EXPECT_EQ(testing_regex::Find("[^\\x00]", "ab"), std::make_pair(1, 1));
}

// --- Escapes and literals -------------------------------------------------------

TEST(PatternEscape, HexCodes) {
  EXPECT_EQ(ProgramOf("\\x41"), ProgramOf("A"));
  EXPECT_EQ(ProgramOf("\\x{41}"), ProgramOf("A"));
  EXPECT_EQ(ProgramOf("\\x{0041}"), ProgramOf("A"));
  EXPECT_EQ(ProgramOf("\\x{ff}")[11], 0xFF);
  EXPECT_EQ(ProgramOf("\\t")[11], 9);
  EXPECT_EQ(ProgramOf("\\n")[11], 10);
  EXPECT_EQ(ProgramOf("\\r")[11], 13);
  EXPECT_EQ(ProgramOf("\\f")[11], 12);
  EXPECT_EQ(ProgramOf("\\a")[11], 7);
  EXPECT_EQ(ProgramOf("\\e")[11], 27);
  EXPECT_EQ(ProgramOf("\\.")[11], '.');
  EXPECT_EQ(ProgramOf("\\/")[11], '/');
  EXPECT_EQ(ProgramOf("\\0")[11], '0');
}

TEST(PatternEscape, NodeKinds) {
  EXPECT_EQ(ProgramOf("\\b")[6], 37);
  EXPECT_EQ(ProgramOf("\\B")[6], 38);
  EXPECT_EQ(ProgramOf("\\A")[6], 1);
  EXPECT_EQ(ProgramOf("\\Z")[6], 2);
  EXPECT_EQ(ProgramOf("\\d")[6], 12);
  EXPECT_EQ(ProgramOf("\\D")[6], 13);
  EXPECT_EQ(Hex(ProgramOf("(a)\\1")).substr(0, 2), "D8");
  std::vector<uint8_t> p = ProgramOf("\\3");
  EXPECT_EQ(p[6], 28);
  EXPECT_EQ(p[11], 3);
  EXPECT_EQ(ProgramOf("\\3", 15)[6], 29);
  EXPECT_EQ(ProgramOf("^")[6], 1);
  EXPECT_EQ(ProgramOf("$")[6], 2);
  EXPECT_EQ(ProgramOf("^", 14 | 16)[6], 34);
  EXPECT_EQ(ProgramOf("$", 14 | 16)[6], 35);
  EXPECT_EQ(ProgramOf(".")[6], 3);
  EXPECT_EQ(ProgramOf(".", 14 & ~4u)[6], 36);
  EXPECT_EQ(ProgramOf("a", 15)[6], 20);
}

TEST(PatternEscape, MultiLineAnchorsNeedLineBreaks) {
  TPatternEngine e;
  e.SetModifiers(14 | 16);
  e.SetLineBreakCharacters("");
  e.SetLinePairedSeparator("");
  e.SetExpression("^");
  e.Compile();
  EXPECT_EQ(e.Program()[6], 1);
  e.SetLinePairedSeparator("\r\n");
  e.Compile();
  EXPECT_EQ(e.Program()[6], 34);
}

TEST(PatternBraces, NonQuantifierBracesAreLiterals) {
  EXPECT_EQ(testing_regex::FirstMatch("x{}", "ax{}b"), "x{}");
  EXPECT_EQ(testing_regex::FirstMatch("a{,3}", "a{,3}"), "a{,3}");
  EXPECT_EQ(testing_regex::FirstMatch("a{1,x}", "aa{1,x}"), "a{1,x}");
  EXPECT_EQ(testing_regex::FirstMatch("{2}", "a{2}"), "{2}");
  EXPECT_EQ(testing_regex::FirstMatch("a{3}", "aaaa"), "aaa");
  EXPECT_EQ(testing_regex::FirstMatch("a{3}", "aa"), "<none>");
  EXPECT_EQ(testing_regex::FirstMatch("a{2,}", "aaaaa"), "aaaaa");
  EXPECT_EQ(testing_regex::FirstMatch("a{2,}", "a"), "<none>");
  EXPECT_EQ(CompileError("a{12345678}"), 0);
  EXPECT_EQ(CompileError("a{123456789}"), 122);
  EXPECT_EQ(CompileError("a{1,123456789}"), 122);
}

TEST(PatternQuantifier, WidthRules) {
  EXPECT_EQ(CompileError("\\b*"), 106);
  EXPECT_EQ(CompileError("^*"), 106);
  EXPECT_EQ(CompileError("\\b+"), 106);
  EXPECT_EQ(CompileError("\\b{2}"), 106);
  EXPECT_EQ(CompileError("(a?)*"), 106);
  EXPECT_EQ(CompileError("(a|)+"), 106);
  EXPECT_EQ(CompileError("\\s*"), 0);
  EXPECT_EQ(CompileError("\\b?"), 0);
  EXPECT_EQ(CompileError("a?"), 0);
  EXPECT_EQ(CompileError("(a{0,3})*"), 0);
  EXPECT_EQ(CompileError("a{0}"), 0);
}

// --- Search facts -------------------------------------------------------------

TEST(PatternFacts, StartCharAnchorAndRequiredLiteral) {
  TPatternEngine e;
  e.SetExpression("^abc");
  e.Compile();
  EXPECT_EQ(e.Anchored(), 1);
  EXPECT_EQ(e.StartChar(), 0);
  e.SetExpression("abc|abd");
  e.Compile();
  EXPECT_EQ(e.StartChar(), 0);  // two alternatives
  e.SetExpression("x*abc");
  e.Compile();
  EXPECT_EQ(e.RequiredLiteral(), "abc");
  e.SetExpression("(a|b)*cd");
  e.Compile();
  EXPECT_EQ(e.RequiredLiteral(), "cd");
  e.SetExpression("\\d+ab\\d+cd");
  e.Compile();
  EXPECT_EQ(e.RequiredLiteral(), "cd");  // a later literal wins a tie
  e.SetExpression("abc\\d*");
  e.Compile();
  EXPECT_EQ(e.RequiredLiteral(), "");  // no LoopStart
  EXPECT_EQ(e.StartChar(), 'a');
  e.SetExpression("a*b*");
  e.Compile();
  EXPECT_EQ(e.RequiredLiteral(), "");
}

TEST(PatternFacts, FirstChars) {
  TPatternEngine e;
  e.SetExpression("\\b\\d*\\b");
  e.Compile();
  EXPECT_EQ(FirstCharsOf(e).size(), 256u);
  e.SetExpression("[\\[\\];\\\"\\(\\).,!:]");
  e.Compile();
  EXPECT_EQ(FirstCharsOf(e), "!\"(),.:;[]");
  e.SetExpression("[\\/?:*\\\"><| ]");
  e.Compile();
  EXPECT_EQ(FirstCharsOf(e), " \"*/:<>?|");
  e.SetExpression("a*b");
  e.Compile();
  EXPECT_EQ(FirstCharsOf(e), "ab");
  e.SetExpression("a{2}b|\\d");
  e.Compile();
  EXPECT_EQ(FirstCharsOf(e), "0123456789a");
  e.SetExpression("x?$");
  e.Compile();
  EXPECT_EQ(FirstCharsOf(e), std::string(1, '\0') + "x");
  e.SetModifiers(14 | 16);
  e.Compile();
  EXPECT_EQ(FirstCharsOf(e), std::string(1, '\0') + "\n\rx");
  e.SetModifiers(14);
  e.SetExpression("(?i)k");
  e.Compile();
  EXPECT_EQ(FirstCharsOf(e), "Kk");
  e.SetExpression("(a{0,3})*b");
  e.Compile();  // the loop body can be passed without a character: no endless walk
  EXPECT_EQ(FirstCharsOf(e), "ab");
}

// --- Errors -------------------------------------------------------------------

TEST(PatternError, EveryCompileErrorWithTextAndPosition) {
  struct Case {
    const char* pattern;
    int code;
    const char* message;
  };
  const Case cases[] = {
      {"(a", 103, "TPatternEngine(comp): ParseReg Unmatched () (pos 2)"},
      {"a)", 104, "TPatternEngine(comp): ParseReg Unmatched () (pos 1)"},
      {"*a", 115, "TPatternEngine(comp): ?+*{ Follows Nothing (pos 1)"},
      {"a|+", 115, "TPatternEngine(comp): ?+*{ Follows Nothing (pos 3)"},
      {"a**", 107, "TPatternEngine(comp): Nested *?+ (pos 2)"},
      {"a{2}{3}", 107, "TPatternEngine(comp): Nested *?+ (pos 4)"},
      {"a+?+", 107, "TPatternEngine(comp): Nested *?+ (pos 3)"},
      {"a{2,1}", 124, "TPatternEngine(comp): BRACE Min Param Greater then Max (pos 5)"},
      {"[b-a]", 109, "TPatternEngine(comp): Invalid [] Range (pos 3)"},
      {"(?:x)", 127, "TPatternEngine(comp): Urecognized Modifier (pos 4)"},
      {"(?=x)", 127, "TPatternEngine(comp): Urecognized Modifier (pos 4)"},
      {"(?i", 127, "TPatternEngine(comp): Urecognized Modifier (pos 3)"},
      {"(?#note", 125, "TPatternEngine(comp): Unclosed (?#Comment) (pos 7)"},
      {"\\b*", 106, "TPatternEngine(comp): *+ Operand Could Be Empty (pos 2)"},
      {"\\xG1", 108, "TPatternEngine(comp): Bad Hex Digit (pos 2)"},
      {"\\x{4G}", 108, "TPatternEngine(comp): Bad Hex Digit (pos 4)"},
      {"[\\", 110, "TPatternEngine(comp): Parse Atom Trailing \\ (pos 2)"},
      {"\\x4", 111, "TPatternEngine(comp): No Hex Code After \\x (pos 3)"},
      {"\\x", 111, "TPatternEngine(comp): No Hex Code After \\x (pos 2)"},
      {"\\x{41", 111, "TPatternEngine(comp): No Hex Code After \\x (pos 5)"},
      {"\\x{100}", 112, "TPatternEngine(comp): Hex Code After \\x Is Too Big (pos 5)"},
      {"[abc", 113, "TPatternEngine(comp): Unmatched [] (pos 4)"},
      {"a\\", 116, "TPatternEngine(comp): Trailing \\ (pos 2)"},
      {"a{123456789}", 122, "TPatternEngine(comp): BRACES Argument Too Big (pos 11)"},
      {"(((((((((((((((a)))))))))))))))", 102,
       "TPatternEngine(comp): ParseReg Too Many () (pos 15)"},
  };
  for (const Case& c : cases) {
    TPatternEngine e;
    e.SetExpression(c.pattern);
    try {
      e.Compile();
      ADD_FAILURE() << c.pattern << " compiled";
    } catch (const EPatternError& err) {
      EXPECT_EQ(err.ErrorCode(), c.code) << c.pattern;
      EXPECT_STREQ(err.what(), c.message) << c.pattern;
      EXPECT_EQ(e.LastErrorCode(), c.code) << c.pattern;
      std::string m = err.what();
      int pos = std::stoi(m.substr(m.rfind("(pos ") + 5));
      EXPECT_EQ(err.Position(), pos) << c.pattern;
    }
  }
  // Fourteen groups compile.
  EXPECT_EQ(CompileError("((((((((((((((a))))))))))))))"), 0);
  EXPECT_EQ(CompileError("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)"), 0);
  EXPECT_EQ(CompileError("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)(o)"), 102);
}

TEST(PatternError, CompileErrorLeavesTheEngineUsable) {
  TPatternEngine e;
  e.SetExpression("(a");
  EXPECT_THROW(e.Exec("a"), EPatternError);
  EXPECT_THROW(e.Exec("a"), EPatternError);  // compiles again, fails again
  EXPECT_TRUE(e.Program().empty());
  e.SetExpression("a");
  EXPECT_TRUE(e.Exec("xa"));
  EXPECT_EQ(e.MatchOffset(0), 2);
}

TEST(PatternError, RunTimeErrorsCarryNoPosition) {
  TPatternEngine e;
  try {
    e.Exec("abc");
    ADD_FAILURE();
  } catch (const EPatternError& err) {
    EXPECT_EQ(err.ErrorCode(), 1003);
    EXPECT_STREQ(err.what(), "TPatternEngine(exec): Not Assigned Expression Property");
    EXPECT_EQ(err.Position(), 0);
  }
  // The input was stored before the search failed.
  e.SetExpression("b");
  EXPECT_TRUE(e.ExecAt(2));
  e = TPatternEngine();
  e.SetExpression("b");
  try {
    e.ExecAt(1);
    ADD_FAILURE();
  } catch (const EPatternError& err) {
    EXPECT_EQ(err.ErrorCode(), 1005);
    EXPECT_STREQ(err.what(), "TPatternEngine(exec): No Input String Specified");
  }
  try {
    e.ExpandTemplate("x");
    ADD_FAILURE();
  } catch (const EPatternError& err) {
    EXPECT_EQ(err.ErrorCode(), 1005);
  }
  EXPECT_TRUE(e.Exec("abc"));
  try {
    e.ExecAt(0);
    ADD_FAILURE();
  } catch (const EPatternError& err) {
    EXPECT_EQ(err.ErrorCode(), 1006);
    EXPECT_STREQ(err.what(), "TPatternEngine(exec): Offset Must Be Greater Then 0");
  }
  EXPECT_FALSE(e.Exec("xyz"));
  try {
    e.ExecNext();
    ADD_FAILURE();
  } catch (const EPatternError& err) {
    EXPECT_EQ(err.ErrorCode(), 1007);
    EXPECT_STREQ(err.what(), "TPatternEngine(exec): ExecNext Without Exec[Pos]");
    EXPECT_EQ(e.LastErrorCode(), 1007);
  }
}

TEST(PatternError, ModifierIndexOutsideOneToSix) {
  TPatternEngine e;
  for (int index : {0, 7, -1}) {
    try {
      e.GetModifier(index);
      ADD_FAILURE();
    } catch (const EPatternError& err) {
      EXPECT_EQ(err.ErrorCode(), 1013);
      EXPECT_STREQ(err.what(), "Unknown error");
    }
    EXPECT_THROW(e.SetModifier(index, true), EPatternError);
  }
  EXPECT_THROW(e.GetModifierLetter('q'), EPatternError);
}

TEST(PatternError, PairedSeparatorNeedsTwoDifferentCharacters) {
  TPatternEngine e;
  try {
    e.SetLinePairedSeparator("aa");
    ADD_FAILURE();
  } catch (const EPatternError& err) {
    EXPECT_EQ(err.ErrorCode(), 128);
    EXPECT_STREQ(err.what(),
                 "TPatternEngine(comp): LinePairedSeparator must countain two different chars "
                 "or no chars at all (pos 0)");
  }
  EXPECT_THROW(e.SetLinePairedSeparator("abc"), EPatternError);
  EXPECT_THROW(e.SetLinePairedSeparator("a"), EPatternError);
  EXPECT_EQ(e.LinePairedSeparator(), "\r\n");
  e.SetLinePairedSeparator("");
  EXPECT_EQ(e.LinePairedSeparator(), "");
  e.SetLinePairedSeparator("ab");
  EXPECT_EQ(e.LinePairedSeparator(), "ab");
}

TEST(PatternError, EveryErrorText) {
  const std::pair<int, const char*> texts[] = {
      {0, "No errors"},
      {100, "TPatternEngine(comp): Null Argument"},
      {101, "TPatternEngine(comp): Regexp Too Big"},
      {102, "TPatternEngine(comp): ParseReg Too Many ()"},
      {103, "TPatternEngine(comp): ParseReg Unmatched ()"},
      {104, "TPatternEngine(comp): ParseReg Unmatched ()"},
      {105, "TPatternEngine(comp): ParseReg Junk On End"},
      {106, "TPatternEngine(comp): *+ Operand Could Be Empty"},
      {107, "TPatternEngine(comp): Nested *?+"},
      {108, "TPatternEngine(comp): Bad Hex Digit"},
      {109, "TPatternEngine(comp): Invalid [] Range"},
      {110, "TPatternEngine(comp): Parse Atom Trailing \\"},
      {111, "TPatternEngine(comp): No Hex Code After \\x"},
      {112, "TPatternEngine(comp): Hex Code After \\x Is Too Big"},
      {113, "TPatternEngine(comp): Unmatched []"},
      {114, "TPatternEngine(comp): Internal Urp"},
      {115, "TPatternEngine(comp): ?+*{ Follows Nothing"},
      {116, "TPatternEngine(comp): Trailing \\"},
      {119, "TPatternEngine(comp): RarseAtom Internal Disaster"},
      {122, "TPatternEngine(comp): BRACES Argument Too Big"},
      {124, "TPatternEngine(comp): BRACE Min Param Greater then Max"},
      {125, "TPatternEngine(comp): Unclosed (?#Comment)"},
      {126,
       "TPatternEngine(comp): Braces and non-greedy operators on complex atoms are not "
       "available"},
      {127, "TPatternEngine(comp): Urecognized Modifier"},
      {128,
       "TPatternEngine(comp): LinePairedSeparator must countain two different chars or no "
       "chars at all"},
      {1000, "TPatternEngine(exec): RegRepeat Called Inappropriately"},
      {1001, "TPatternEngine(exec): MatchPrim Memory Corruption"},
      {1002, "TPatternEngine(exec): MatchPrim Corrupted Pointers"},
      {1003, "TPatternEngine(exec): Not Assigned Expression Property"},
      {1004, "TPatternEngine(exec): Corrupted Program"},
      {1005, "TPatternEngine(exec): No Input String Specified"},
      {1006, "TPatternEngine(exec): Offset Must Be Greater Then 0"},
      {1007, "TPatternEngine(exec): ExecNext Without Exec[Pos]"},
      {1008, "TPatternEngine(exec): GetInputString Without InputString"},
      {1011, "TPatternEngine(dump): Corrupted Opcode"},
      {1014, "TPatternEngine(exec): Loop Stack Exceeded"},
      {1015, "TPatternEngine(exec): Loop Without LoopEntry !"},
      {2000, "TPatternEngine(misc): Bad p-code imported"},
      {1013, "Unknown error"},
      {117, "Unknown error"},
      {-5, "Unknown error"},
  };
  for (const auto& [code, text] : texts) EXPECT_EQ(TPatternEngine::ErrorText(code), text) << code;
}

TEST(PatternError, EmptyExpressionMeansNone) {
  TPatternEngine e;
  e.SetExpression("a");
  e.Compile();
  e.SetExpression("");
  EXPECT_TRUE(e.Program().empty());
  EXPECT_THROW(e.Compile(), EPatternError);
  EXPECT_EQ(e.LastErrorCode(), 1003);
}

TEST(PatternCompile, AnyByteValueIsSafe) {
  // Every single byte and every pair of bytes, as pattern text: compiles or
  // raises a pattern error, never anything else.
  for (int a = 0; a < 256; ++a) {
    std::string one(1, static_cast<char>(a));
    try {
      ProgramOf(one);
    } catch (const EPatternError&) {
    }
    for (int b = 0; b < 256; b += 7) {
      std::string two = one + static_cast<char>(b);
      try {
        ProgramOf(two);
      } catch (const EPatternError&) {
      }
    }
  }
  // A 0 byte ends the pattern.
  EXPECT_EQ(ProgramOf(std::string("ab\0(", 4)), ProgramOf("ab"));
}

TEST(PatternModifiers, ByIndexLetterAndText) {
  TPatternEngine e;
  EXPECT_EQ(e.Modifiers(), 14u);
  EXPECT_FALSE(e.GetModifier(1));
  EXPECT_TRUE(e.GetModifier(2));
  EXPECT_TRUE(e.GetModifier(3));
  EXPECT_TRUE(e.GetModifier(4));
  EXPECT_FALSE(e.GetModifier(5));
  EXPECT_FALSE(e.GetModifier(6));
  e.SetModifier(1, true);
  EXPECT_EQ(e.Modifiers(), 15u);
  EXPECT_TRUE(e.GetModifierLetter('I'));
  e.SetModifierLetter('m', true);
  EXPECT_EQ(e.Modifiers(), 31u);
  EXPECT_EQ(e.ModifierText(), "irsgm-x");
  EXPECT_TRUE(e.SetModifierText("x-ig"));
  EXPECT_EQ(e.Modifiers(), 2u | 4u | 16u | 32u);
  EXPECT_FALSE(e.SetModifierText("q"));
  EXPECT_TRUE(e.SetModifierText(""));
  // A search with changed modifiers recompiles.
  TPatternEngine f;
  f.SetExpression("abc");
  EXPECT_FALSE(f.Exec("ABC"));
  f.SetModifier(1, true);
  EXPECT_TRUE(f.Exec("ABC"));
}

}  // namespace
}  // namespace vellora
