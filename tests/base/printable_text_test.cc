#include "base/printable_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vellora {
namespace {

TEST(PrintableUtf8, AcceptsTextOfAnyScript) {
  EXPECT_TRUE(IsPrintableUtf8(""));
  EXPECT_TRUE(IsPrintableUtf8("alpha beta-2"));
  EXPECT_TRUE(IsPrintableUtf8("caf\xc3\xa9 \xc2\xa0 \xe2\x82\xac \xe6\x97\xa5 \xf0\x9f\x98\x80"));
  EXPECT_TRUE(IsPrintableUtf8("\xf4\x8f\xbf\xbf"));  // U+10FFFF
}

TEST(PrintableUtf8, RefusesControlsAndBytesThatAreNotText) {
  for (const std::string& bad : {
           std::string("a\nb"),
           std::string("\r"),
           std::string("\t"),
           std::string("\x1b[2J"),
           std::string("\x7f"),
           std::string(1, '\0'),
           std::string("\xc2\x80"),
           std::string("\xc2\x9b"),  // C1 controls
           std::string("\xe9"),      // a lone Latin-1 byte
           std::string("\x80"),
           std::string("\xc3"),  // a stray and a cut sequence
           std::string("\xc0\xaf"),
           std::string("\xe0\x80\xaf"),  // overlong "/"
           std::string("\xed\xa0\x80"),  // a surrogate
           std::string("\xf4\x90\x80\x80"),
           std::string("\xf8\x88\x80\x80\x80"),
       }) {
    EXPECT_FALSE(IsPrintableUtf8(bad)) << testing::PrintToString(bad);
    EXPECT_FALSE(IsPrintableUtf8("ok" + bad + "ok")) << testing::PrintToString(bad);
  }
}

}  // namespace
}  // namespace vellora
