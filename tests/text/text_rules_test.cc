// UTF-8 reading and cutting, Unicode case mapping and HTML character
// references.

#include <gtest/gtest.h>

#include <string>

#include "text/case_mapping.h"
#include "text/html_entities.h"
#include "text/utf8.h"

namespace vellora {
namespace {

TEST(Utf8Test, ValidatesWellFormedTextOnly) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("plain ascii text, longer than eight bytes"));
  EXPECT_TRUE(IsValidUtf8("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsValidUtf8("caf\xE9"));
  EXPECT_FALSE(IsValidUtf8("0123456789\x80"));    // a lone continuation after a fast stretch
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));          // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // cut at the end
  EXPECT_TRUE(IsAscii("abcdefghijklmnop"));
  EXPECT_FALSE(IsAscii("abcdefghijklmno\xC3\xA9"));
}

TEST(Utf8Test, CountsAndCutsByCharacters) {
  const std::string text = "\xC3\xA9t\xC3\xA9\xF0\x9F\x98\x80!";  // été😀!
  EXPECT_EQ(CountCharacters(text), 5u);
  EXPECT_EQ(PrefixOfCharacters(text, 0), 0u);
  EXPECT_EQ(PrefixOfCharacters(text, 1), 2u);
  EXPECT_EQ(PrefixOfCharacters(text, 4), 9u);
  EXPECT_EQ(PrefixOfCharacters(text, 5), text.size());
  EXPECT_EQ(PrefixOfCharacters(text, 50), text.size());
  std::string appended;
  for (char32_t c : {U'A', U'\u00E9', U'\u20AC', U'\U0001F600', char32_t{0xD800}}) {
    AppendUtf8(appended, c);
  }
  EXPECT_EQ(appended, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD");
  EXPECT_EQ(DecodeUtf8(appended, 1).code_point, U'\u00E9');
  EXPECT_EQ(DecodeUtf8(appended, 6).length, 4u);
  EXPECT_EQ(DecodeUtf8("\xF0\x9F", 0).code_point, kReplacementCharacter);
}

TEST(CaseMappingTest, LowersByUnicodeFullMapping) {
  EXPECT_EQ(LowerCaseUtf8("\xC3\x89L\xC3\x89PHANT"), "\xC3\xA9l\xC3\xA9phant");  // ÉLÉPHANT
  EXPECT_EQ(LowerCaseUtf8("GR\xC3\x96SSE"), "gr\xC3\xB6sse");                    // GRÖSSE
  EXPECT_EQ(LowerCaseUtf8("\xD0\x9C\xD0\x9E\xD0\xA1\xD0\x9A\xD0\x92\xD0\x90"),   // МОСКВА
            "\xD0\xBC\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0");
  // ΟΔΟΣ: a capital sigma at the end of a word becomes the final sigma.
  EXPECT_EQ(LowerCaseUtf8("\xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3"), "\xCE\xBF\xCE\xB4\xCE\xBF\xCF\x82");
  // The root locale: a capital I stays a dotted i whatever the user's locale.
  EXPECT_EQ(LowerCaseUtf8("ISTANBUL"), "istanbul");
  EXPECT_EQ(LowerCaseUtf8("A\xFF"
                          "B"),
            "a\xEF\xBF\xBD"
            "b");
}

TEST(CaseMappingTest, CapitalisesTheFirstLetterOfAnyScript) {
  EXPECT_EQ(CapitaliseFirstUtf8("\xC3\xA9lan"), "\xC3\x89lan");                            // élan
  EXPECT_EQ(CapitaliseFirstUtf8("\xD0\xBC\xD0\xB8\xD1\x80"), "\xD0\x9C\xD0\xB8\xD1\x80");  // мир
  EXPECT_EQ(CapitaliseFirstUtf8("\xC7\x86"
                                "emal"),
            "\xC7\x85"
            "emal");  // title case ǅ, not Ǆ
  EXPECT_EQ(CapitaliseFirstUtf8("cheap flights"), "Cheap flights");
  EXPECT_EQ(CapitaliseFirstUtf8("\xC3\xA9"), "\xC3\xA9");  // one character stays
  EXPECT_EQ(CapitaliseFirstUtf8("2nd"), "2nd");
  EXPECT_EQ(CapitaliseFirstUtf8("\xE6\x97\xA5\xE6\x9C\xAC"), "\xE6\x97\xA5\xE6\x9C\xAC");  // 日本
  EXPECT_EQ(CapitaliseFirstUtf8(""), "");
}

TEST(HtmlEntitiesTest, DecodesNamedDecimalAndHexadecimalReferences) {
  EXPECT_EQ(DecodeCharacterReferences("caf&eacute; &amp; &lt;b&gt;"), "caf\xC3\xA9 & <b>");
  EXPECT_EQ(DecodeCharacterReferences("&#233;&#xE9;&#XE9;&#169"),
            "\xC3\xA9\xC3\xA9\xC3\xA9\xC2\xA9");
  EXPECT_EQ(DecodeCharacterReferences("&nbsp;&NotNestedGreaterGreater;"),
            "\xC2\xA0\xE2\xAA\xA2\xCC\xB8");
  // Not decoded again, and not references at all.
  EXPECT_EQ(DecodeCharacterReferences("&amp;lt; & &; &#; &#x; &bogus; a&b"),
            "&lt; & &; &#; &#x; &bogus; a&b");
  // Legacy names stand without ";" and as prefixes; others need it.
  EXPECT_EQ(DecodeCharacterReferences("&copy2024 &notit; &hellip"),
            "\xC2\xA9"
            "2024 \xC2\xAC"
            "it; &hellip");
  // Numbers that name no character, and the Windows-1252 range.
  EXPECT_EQ(DecodeCharacterReferences("&#0;&#xD800;&#1114112;&#99999999999999999999;"),
            "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(DecodeCharacterReferences("&#150;&#x80;&#129;"), "\xE2\x80\x93\xE2\x82\xAC\xC2\x81");
}

TEST(HtmlEntitiesTest, TableIsTheStandardsWholeTableInOrder) {
  ASSERT_NE(FindHtmlEntity("amp;"), nullptr);
  ASSERT_NE(FindHtmlEntity("amp"), nullptr);
  EXPECT_EQ(FindHtmlEntity("hellip"), nullptr);
  ASSERT_NE(FindHtmlEntity("zwnj;"), nullptr);  // the last name
  ASSERT_NE(FindHtmlEntity("AElig"), nullptr);  // the first name
  EXPECT_EQ(std::string(FindHtmlEntity("Aacute;")->value), "\xC3\x81");
  EXPECT_EQ(FindHtmlEntity("AMP;")->value_length, 1);
}

}  // namespace
}  // namespace vellora
