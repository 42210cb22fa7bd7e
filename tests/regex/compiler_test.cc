// The compiler: exact program bytes, classes, escapes, quantifier forms,
// search facts and every compile error with its text and position.

#include <gtest/gtest.h>

#include "regex/pattern_engine.h"
#include "regex_test_util.h"

namespace vellora {
namespace {

using testing_regex::CompileError;
using testing_regex::CompileMessage;
using testing_regex::DumpOf;
using testing_regex::FirstCharsOf;
using testing_regex::Hex;
using testing_regex::NodeAt;
using testing_regex::ProgramOf;

// --- Exact programs ---------------------------------------------------------
//
// Programs are compared as listings (regex::Dump: offset, node kind,
// operands, "-> next"); a listing accounts for every byte of a program. The
// two programs of the word extraction are also pinned as bytes, as
// "vellora regex compile" prints them.

TEST(PatternProgram, LazyTagPatternIs35Bytes) {
  std::vector<uint8_t> p = ProgramOf("<.+?>");
  ASSERT_EQ(p.size(), 35u);
  EXPECT_EQ(Hex(p),
            "D8 06 1D 00 00 00 08 07 00 00 00 3C 00 1F 0A 00 00 00 03 00 00 00 00 "
            "08 07 00 00 00 3E 00 00 00 00 00 00");
  EXPECT_EQ(DumpOf("<.+?>"),
            "1 Branch -> 30\n"
            "6 Literal \"<\" -> 13\n"
            "13 PlusLazy -> 23\n"
            "  18 AnyChar\n"
            "23 Literal \">\" -> 30\n"
            "30 End\n");
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
  EXPECT_EQ(DumpOf("\\s{2,}"),
            "1 Branch -> 56\n"
            "6 Braces {2,} -> 56\n"
            "  19 FullSet [\\t\\n\\f\\r ]\n"
            "56 End\n");
  TPatternEngine e;
  e.SetExpression("\\s{2,}");
  e.Compile();
  EXPECT_EQ(FirstCharsOf(e), "\t\n\f\r ");
  EXPECT_EQ(e.StartChar(), 0);
  EXPECT_EQ(e.RequiredLiteral(), "");
}

TEST(PatternProgram, AlternativesChainBranches) {
  EXPECT_EQ(DumpOf("a|b"),
            "1 Branch -> 13\n"
            "6 Literal \"a\" -> 25\n"
            "13 Branch -> 25\n"
            "18 Literal \"b\" -> 25\n"
            "25 End\n");
}

TEST(PatternProgram, GreedyComplexStarLoopsBackToItsBranch) {
  // (x&|): the group, then a jump back to the first branch; or nothing.
  EXPECT_EQ(DumpOf("(ab)*"),
            "1 Branch -> 49\n"
            "6 Branch -> 39\n"
            "11 Open 1 -> 16\n"
            "16 Branch -> 29\n"
            "21 Literal \"ab\" -> 29\n"
            "29 Close 1 -> 34\n"
            "34 Back -> 6\n"
            "39 Branch -> 44\n"
            "44 Empty -> 49\n"
            "49 End\n");
}

TEST(PatternProgram, GreedyComplexPlusLoopsBackToItsAtom) {
  // x(&|): the group, then a jump back to it, or nothing.
  EXPECT_EQ(DumpOf("(ab)+"),
            "1 Branch -> 49\n"
            "6 Open 1 -> 11\n"
            "11 Branch -> 24\n"
            "16 Literal \"ab\" -> 24\n"
            "24 Close 1 -> 29\n"
            "29 Branch -> 39\n"
            "34 Back -> 6\n"
            "39 Branch -> 44\n"
            "44 Empty -> 49\n"
            "49 End\n");
}

TEST(PatternProgram, BracesOnComplexAtomMakeACountedLoop) {
  const std::string body =
      "1 Branch -> 51\n"
      "6 LoopEntry -> 34\n"
      "11 Open 1 -> 16\n"
      "16 Branch -> 29\n"
      "21 Literal \"ab\" -> 29\n"
      "29 Close 1 -> 34\n";
  EXPECT_EQ(DumpOf("(ab){2,3}"), body + "34 Loop {2,3} body 11 -> 51\n51 End\n");
  EXPECT_EQ(DumpOf("(ab){2,3}?"), body + "34 LoopLazy {2,3} body 11 -> 51\n51 End\n");
  // Lazy "*", "+" and "?" on a complex atom are lazy counted loops too.
  EXPECT_EQ(DumpOf("(ab)*?"), body + "34 LoopLazy {0,} body 11 -> 51\n51 End\n");
  EXPECT_EQ(DumpOf("(ab)+?"), body + "34 LoopLazy {1,} body 11 -> 51\n51 End\n");
  EXPECT_EQ(DumpOf("(ab)??"), body + "34 LoopLazy {0,1} body 11 -> 51\n51 End\n");
  // The open maximum is 2147483646.
  std::vector<uint8_t> star = ProgramOf("(ab)*?");
  EXPECT_EQ(Hex({star.begin() + 39, star.begin() + 47}), "00 00 00 00 FE FF FF 7F");
}

TEST(PatternProgram, GreedyOptionalIsTwoBranches) {
  EXPECT_EQ(DumpOf("a?"),
            "1 Branch -> 28\n"
            "6 Branch -> 18\n"
            "11 Literal \"a\" -> 23\n"
            "18 Branch -> 23\n"
            "23 Empty -> 28\n"
            "28 End\n");
}

TEST(PatternProgram, SimpleRepetitionsWrapTheirNode) {
  EXPECT_EQ(DumpOf("a*?"),
            "1 Branch -> 18\n"
            "6 StarLazy -> 18\n"
            "  11 Literal \"a\"\n"
            "18 End\n");
  EXPECT_EQ(DumpOf("a{2,5}?"),
            "1 Branch -> 26\n"
            "6 BracesLazy {2,5} -> 26\n"
            "  19 Literal \"a\"\n"
            "26 End\n");
  EXPECT_EQ(NodeAt("a*", 6), "6 Star -> 18");
  EXPECT_EQ(NodeAt("a+", 6), "6 Plus -> 18");
  EXPECT_EQ(NodeAt("a+?", 6), "6 PlusLazy -> 18");
  EXPECT_EQ(NodeAt("a{3}", 6), "6 Braces {3,3} -> 26");
  EXPECT_EQ(NodeAt("a??", 6), "6 BracesLazy {0,1} -> 26");
  // After (?-g) every quantifier is lazy, with or without "?".
  EXPECT_EQ(NodeAt("(?-g)a+", 11), "11 PlusLazy -> 23");
  EXPECT_EQ(NodeAt("(?-g)a+?", 11), "11 PlusLazy -> 23");
  // g off through Modifiers.
  EXPECT_EQ(NodeAt("a*", 6, kDefaultModifiers & ~kModifierG), "6 StarLazy -> 18");
}

TEST(PatternProgram, LiteralRunsLeaveTheQuantifiedCharacterAlone) {
  // "abc*": the literal "ab", then "c*".
  EXPECT_EQ(DumpOf("abc*"),
            "1 Branch -> 26\n"
            "6 Literal \"ab\" -> 14\n"
            "14 Star -> 26\n"
            "  19 Literal \"c\"\n"
            "26 End\n");
}

TEST(PatternProgram, CommentsAndModifierGroupsAreCommentNodes) {
  EXPECT_EQ(DumpOf("(?#note)abc"),
            "1 Branch -> 20\n"
            "6 Comment -> 11\n"
            "11 Literal \"abc\" -> 20\n"
            "20 End\n");
  EXPECT_EQ(DumpOf("(?i)a"),
            "1 Branch -> 18\n"
            "6 Comment -> 11\n"
            "11 LiteralCI \"a\" -> 18\n"
            "18 End\n");
  // In (a(?i)b)c only b is case-insensitive.
  EXPECT_EQ(DumpOf("(a(?i)b)c"),
            "1 Branch -> 47\n"
            "6 Open 1 -> 11\n"
            "11 Branch -> 35\n"
            "16 Literal \"a\" -> 23\n"
            "23 Comment -> 28\n"
            "28 LiteralCI \"b\" -> 35\n"
            "35 Close 1 -> 40\n"
            "40 Literal \"c\" -> 47\n"
            "47 End\n");
}

TEST(PatternProgram, ExtendedSyntaxSkipsBlanksAndComments) {
  uint32_t x = kDefaultModifiers | kModifierX;
  // The literal "ab" (blanks not copied, "#" ends it), the comment, the
  // blanks, then "c".
  EXPECT_EQ(DumpOf("a b # note\n c", x),
            "1 Branch -> 31\n"
            "6 Literal \"ab\" -> 14\n"
            "14 Comment -> 19\n"
            "19 Comment -> 24\n"
            "24 Literal \"c\" -> 31\n"
            "31 End\n");
  TPatternEngine e;
  e.SetModifiers(x);
  e.SetExpression("a b # note\r\n c");
  EXPECT_TRUE(e.Exec("xabcx"));
  EXPECT_EQ(e.MatchOffset(0), 2);
  EXPECT_EQ(e.MatchLength(0), 3);
  EXPECT_FALSE(e.Exec("a b c"));
}

// --- Classes ------------------------------------------------------------------

// The listing line of a pattern's class node (a one-node pattern).
std::string ClassNode(std::string_view pattern, uint32_t modifiers = kDefaultModifiers) {
  return NodeAt(pattern, 6, modifiers);
}

int FullSetCount(std::string_view pattern, uint32_t modifiers = kDefaultModifiers) {
  std::vector<uint8_t> p = ProgramOf(pattern, modifiers);
  EXPECT_EQ(p[6], 27) << pattern;
  int n = 0;
  for (int i = 11; i < 43; ++i) n += __builtin_popcount(p[i]);
  return n;
}

bool FullSetHas(std::string_view pattern, unsigned char c, uint32_t modifiers = kDefaultModifiers) {
  std::vector<uint8_t> p = ProgramOf(pattern, modifiers);
  return (p[11 + (c >> 3)] >> (c & 7)) & 1;
}

TEST(PatternClass, TinySetsHoldUpToThreeSortedMembers) {
  EXPECT_EQ(ClassNode("[ab]"), "6 TinySet \"abb\" -> 14");
  EXPECT_EQ(ClassNode("[ba]"), "6 TinySet \"abb\" -> 14");
  EXPECT_EQ(ClassNode("[x]"), "6 TinySet \"xxx\" -> 14");
  EXPECT_EQ(ClassNode("[^abc]"), "6 NotTinySet \"abc\" -> 14");
  EXPECT_EQ(ClassNode("[]a]"), "6 TinySet \"]aa\" -> 14");
  EXPECT_EQ(ClassNode("[a-]"), "6 TinySet \"-aa\" -> 14");
  EXPECT_EQ(ClassNode("[-a]"), "6 TinySet \"-aa\" -> 14");
  EXPECT_EQ(ClassNode("[a-c]"), "6 TinySet \"abc\" -> 14");
}

TEST(PatternClass, LargerClassesAreBitmaps) {
  EXPECT_EQ(ClassNode("[abcd]"), "6 FullSet [a-d] -> 43");
  EXPECT_EQ(ClassNode("[\\d-z]"), "6 FullSet [\\-0-9z] -> 43");
  EXPECT_EQ(ClassNode("[a-c-e]"), "6 FullSet [\\-a-ce] -> 43");
  EXPECT_EQ(ClassNode("[^abc]", kDefaultModifiers | kModifierI),
            "6 FullSet [^A-Ca-c] -> 43");  // 0 is a member
  EXPECT_EQ(ClassNode("\\W"), "6 FullSet [^0-9A-Z_a-z] -> 43");
  EXPECT_EQ(FullSetCount("[abcd]"), 4);
  EXPECT_EQ(FullSetCount("[\\d-z]"), 12);
  EXPECT_TRUE(FullSetHas("[\\d-z]", '-'));
  EXPECT_TRUE(FullSetHas("[\\d-z]", 'z'));
  EXPECT_FALSE(FullSetHas("[\\d-z]", 'y'));
  EXPECT_EQ(FullSetCount("[a-c-e]"), 5);
  EXPECT_TRUE(FullSetHas("[a-c-e]", '-'));
  EXPECT_FALSE(FullSetHas("[a-c-e]", 'd'));
  // Negated with i: six members, complemented (the complement holds 0).
  EXPECT_EQ(FullSetCount("[^abc]", kDefaultModifiers | kModifierI), 250);
  EXPECT_TRUE(FullSetHas("[^abc]", 0, kDefaultModifiers | kModifierI));
  EXPECT_FALSE(FullSetHas("[^abc]", 'B', kDefaultModifiers | kModifierI));
  // \s, \w inside a class add their strings; \D \S \W are plain letters.
  EXPECT_EQ(FullSetCount("[\\s]"), 5);
  EXPECT_EQ(FullSetCount("[\\w]"), 63);
  EXPECT_EQ(ClassNode("[\\D\\S\\W]"), "6 TinySet \"DSW\" -> 14");
  // Escapes inside a class.
  EXPECT_EQ(ClassNode("[\\t\\n\\x41]"), "6 TinySet \"\\t\\nA\" -> 14");
  EXPECT_EQ(ClassNode("[\\]\\\\]"), "6 TinySet \"\\\\]]\" -> 14");
  // A "-" before an escaped class letter is a member.
  EXPECT_EQ(FullSetCount("[a-\\d]"), 12);
  // Outside a class: \s \S \w \W.
  EXPECT_EQ(FullSetCount("\\s"), 5);
  EXPECT_EQ(FullSetCount("\\S"), 251);
  EXPECT_EQ(FullSetCount("\\w"), 63);
  EXPECT_EQ(FullSetCount("\\W"), 193);
  // \s and \w ignore modifier i.
  EXPECT_EQ(FullSetCount("\\w", kDefaultModifiers | kModifierI), 63);
}

TEST(PatternClass, CaseInsensitiveClassesAddTheOtherCase) {
  EXPECT_EQ(ClassNode("[a]", kDefaultModifiers | kModifierI), "6 TinySet \"Aaa\" -> 14");
  EXPECT_EQ(FullSetCount("[a-c]", kDefaultModifiers | kModifierI), 6);
  EXPECT_EQ(ClassNode("[\xE9]", kDefaultModifiers | kModifierI),
            "6 TinySet \"\\xC9\\xE9\\xE9\" -> 14");
}

TEST(PatternClass, CyrillicRangesWithModifierR) {
  // "а-я" (E0-FF) with r: 33 members including "ё" (B8); without r: 32.
  EXPECT_EQ(FullSetCount("[\xE0-\xFF]"), 33);
  EXPECT_TRUE(FullSetHas("[\xE0-\xFF]", 0xB8));
  EXPECT_EQ(FullSetCount("[\xE0-\xFF]", kDefaultModifiers & ~kModifierR), 32);
  // "А-Я" (C0-DF) adds "Ё" (A8).
  EXPECT_EQ(FullSetCount("[\xC0-\xDF]"), 33);
  EXPECT_TRUE(FullSetHas("[\xC0-\xDF]", 0xA8));
  // "а-Я" (E0-DF) is both with r, an invalid range without.
  EXPECT_EQ(FullSetCount("[\xE0-\xDF]"), 66);
  EXPECT_EQ(CompileError("[\xE0-\xDF]", kDefaultModifiers & ~kModifierR), 109);
}

TEST(PatternClass, ZeroIsNeverAMember) {
  // "[\x00]" has no member: it matches nothing; "[^\x00]" any character.
  EXPECT_EQ(ClassNode("[\\x00]"), "6 TinySet \"\\x00\\x00\\x00\" -> 14");
  EXPECT_EQ(testing_regex::Find("[\\x00]", "ab"), std::make_pair(-1, -1));
  EXPECT_EQ(testing_regex::Find("[^\\x00]", "ab"), std::make_pair(1, 1));
}

// --- Escapes and literals -------------------------------------------------------

TEST(PatternEscape, HexCodes) {
  EXPECT_EQ(ProgramOf("\\x41"), ProgramOf("A"));
  EXPECT_EQ(ProgramOf("\\x{41}"), ProgramOf("A"));
  EXPECT_EQ(ProgramOf("\\x{0041}"), ProgramOf("A"));
  EXPECT_EQ(NodeAt("\\x{ff}", 6), "6 Literal \"\\xFF\" -> 13");
  EXPECT_EQ(NodeAt("\\t", 6), "6 Literal \"\\t\" -> 13");
  EXPECT_EQ(NodeAt("\\n", 6), "6 Literal \"\\n\" -> 13");
  EXPECT_EQ(NodeAt("\\r", 6), "6 Literal \"\\r\" -> 13");
  EXPECT_EQ(NodeAt("\\f", 6), "6 Literal \"\\f\" -> 13");
  EXPECT_EQ(NodeAt("\\a", 6), "6 Literal \"\\x07\" -> 13");
  EXPECT_EQ(NodeAt("\\e", 6), "6 Literal \"\\x1B\" -> 13");
  EXPECT_EQ(NodeAt("\\.", 6), "6 Literal \".\" -> 13");
  EXPECT_EQ(NodeAt("\\/", 6), "6 Literal \"/\" -> 13");
  EXPECT_EQ(NodeAt("\\0", 6), "6 Literal \"0\" -> 13");
}

TEST(PatternEscape, NodeKinds) {
  EXPECT_EQ(NodeAt("\\b", 6), "6 WordBoundary -> 11");
  EXPECT_EQ(NodeAt("\\B", 6), "6 NotWordBoundary -> 11");
  EXPECT_EQ(NodeAt("\\A", 6), "6 InputStart -> 11");
  EXPECT_EQ(NodeAt("\\Z", 6), "6 InputEnd -> 11");
  EXPECT_EQ(NodeAt("\\d", 6), "6 Digit -> 11");
  EXPECT_EQ(NodeAt("\\D", 6), "6 NotDigit -> 11");
  EXPECT_EQ(NodeAt("\\3", 6), "6 BackRef 3 -> 12");
  EXPECT_EQ(NodeAt("\\3", 6, kDefaultModifiers | kModifierI), "6 BackRefCI 3 -> 12");
  EXPECT_EQ(NodeAt("^", 6), "6 InputStart -> 11");
  EXPECT_EQ(NodeAt("$", 6), "6 InputEnd -> 11");
  EXPECT_EQ(NodeAt("^", 6, kDefaultModifiers | kModifierM), "6 LineStart -> 11");
  EXPECT_EQ(NodeAt("$", 6, kDefaultModifiers | kModifierM), "6 LineEnd -> 11");
  EXPECT_EQ(NodeAt(".", 6), "6 AnyChar -> 11");
  EXPECT_EQ(NodeAt(".", 6, kDefaultModifiers & ~kModifierS), "6 AnyNoBreak -> 11");
  EXPECT_EQ(NodeAt("a", 6, kDefaultModifiers | kModifierI), "6 LiteralCI \"a\" -> 13");
  EXPECT_EQ(DumpOf("(a)\\1"),
            "1 Branch -> 34\n"
            "6 Open 1 -> 11\n"
            "11 Branch -> 23\n"
            "16 Literal \"a\" -> 23\n"
            "23 Close 1 -> 28\n"
            "28 BackRef 1 -> 34\n"
            "34 End\n");
}

TEST(PatternEscape, MultiLineAnchorsNeedLineBreaks) {
  TPatternEngine e;
  e.SetModifiers(kDefaultModifiers | kModifierM);
  e.SetLineBreakCharacters("");
  e.SetLinePairedSeparator("");
  e.SetExpression("^");
  e.Compile();
  EXPECT_EQ(regex::Dump(e.Program()), "1 Branch -> 11\n6 InputStart -> 11\n11 End\n");
  e.SetLinePairedSeparator("\r\n");
  e.Compile();
  EXPECT_EQ(regex::Dump(e.Program()), "1 Branch -> 11\n6 LineStart -> 11\n11 End\n");
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
  e.SetModifiers(kDefaultModifiers | kModifierM);
  e.Compile();
  EXPECT_EQ(FirstCharsOf(e), std::string(1, '\0') + "\n\rx");
  e.SetModifiers(kDefaultModifiers);
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
      {1016,
       "TPatternEngine(exec): Backtracking Limit Exceeded (the pattern backtracks too much on "
       "this input)"},
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
  EXPECT_EQ(e.Modifiers(), kModifierR | kModifierS | kModifierG);
  EXPECT_FALSE(e.GetModifier(1));
  EXPECT_TRUE(e.GetModifier(2));
  EXPECT_TRUE(e.GetModifier(3));
  EXPECT_TRUE(e.GetModifier(4));
  EXPECT_FALSE(e.GetModifier(5));
  EXPECT_FALSE(e.GetModifier(6));
  e.SetModifier(1, true);
  EXPECT_EQ(e.Modifiers(), kModifierI | kModifierR | kModifierS | kModifierG);
  EXPECT_TRUE(e.GetModifierLetter('I'));
  e.SetModifierLetter('m', true);
  EXPECT_EQ(e.Modifiers(), kModifierI | kModifierR | kModifierS | kModifierG | kModifierM);
  EXPECT_EQ(e.ModifierText(), "irsgm-x");
  EXPECT_TRUE(e.SetModifierText("x-ig"));
  EXPECT_EQ(e.Modifiers(), kModifierR | kModifierS | kModifierM | kModifierX);
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
