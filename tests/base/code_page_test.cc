#include "base/code_page.h"

#include <gtest/gtest.h>

namespace vellora {
namespace {

TEST(CodePage, MapsAsciiAndLatinLettersButNotSigns) {
  EXPECT_EQ(CharUpper('a'), 'A');
  EXPECT_EQ(CharLower('Z'), 'z');
  EXPECT_EQ(CharUpper(0xE9), 0xC9);  // e acute
  EXPECT_EQ(CharLower(0xC0), 0xE0);
  EXPECT_EQ(CharUpper(0xF7), 0xF7);  // division sign has no partner
  EXPECT_EQ(CharLower(0xD7), 0xD7);  // multiplication sign neither
  EXPECT_EQ(CharUpper(0xFF), 0x9F);  // y diaeresis
  EXPECT_EQ(CharUpper(0x9A), 0x8A);
  EXPECT_EQ(CharUpper(0xDF), 0xDF);  // sharp s stays
  EXPECT_EQ(CharUpper('1'), '1');
}

TEST(CodePage, ComparesIgnoringCaseOverWholeTexts) {
  EXPECT_TRUE(EqualIgnoringCase("Alpha\xE9", "aLPHA\xC9"));
  EXPECT_FALSE(EqualIgnoringCase("alpha", "alphab"));
  EXPECT_LT(CompareIgnoringCase("abc", "ABD"), 0);
  EXPECT_LT(CompareIgnoringCase("ab", "abc"), 0);
  EXPECT_EQ(LowerCase("HeLLo \xC0"), "hello \xE0");
}

}  // namespace
}  // namespace vellora
