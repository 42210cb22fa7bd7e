// Windows-1252 to UTF-8 and back.

#include <gtest/gtest.h>

#include <string>

#include "text/utf8.h"
#include "text/windows1252.h"

namespace vellora {
namespace {

TEST(Windows1252Test, EveryByteStringSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = Utf8FromWindows1252(all);
  EXPECT_TRUE(IsValidUtf8(utf8));
  EXPECT_EQ(CountCharacters(utf8), 256u);
  EXPECT_EQ(Windows1252FromUtf8(utf8), all);
}

TEST(Windows1252Test, MapsTheCodePagesOwnCharacters) {
  EXPECT_EQ(Utf8FromWindows1252("caf\xE9 \x80 \x93x\x94 \x9F"),
            "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D \xC5\xB8");
  EXPECT_EQ(Utf8FromWindows1252("\x81\x8D"), "\xC2\x81\xC2\x8D");  // undefined: C1 controls
  EXPECT_EQ(Windows1252FromUtf8("\xC3\x89l\xC3\xA9phant \xE2\x80\xA6"), "\xC9l\xE9phant \x85");
}

TEST(Windows1252Test, RefusesTextTheCodePageCannotHold) {
  EXPECT_EQ(Windows1252FromUtf8("\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0"), std::nullopt);
  EXPECT_EQ(Windows1252FromUtf8("ok \xE2\x80\x8B"), std::nullopt);  // U+200B
  EXPECT_EQ(Windows1252FromUtf8("caf\xE9"), std::nullopt);          // not UTF-8 at all
  EXPECT_EQ(Windows1252FromUtf8(""), "");
}

}  // namespace
}  // namespace vellora
