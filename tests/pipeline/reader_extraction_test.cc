// Extraction in the reader modes: the tokens of a page's visible or main
// text under the same token rules as every text between tags, in Unicode and
// in ANSI mode, and text files read as text.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pipeline/token_extractor.h"

namespace vellora {
namespace {

using Strings = std::vector<std::string>;

Strings Tokens(const std::string& bytes, TextMode mode, ExtractMode extract,
               const std::string& name = "page.htm") {
  TokenExtractor extractor(mode, extract);
  const std::string text = extractor.Extract(bytes, name);
  Strings tokens;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find("\r\n", pos);
    EXPECT_NE(end, std::string::npos) << "every token ends with CR LF";
    if (end == std::string::npos) break;
    if (end > pos) tokens.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return tokens;
}

TEST(ReaderExtractionTest, TagsNeverGlueWordsInEitherTextMode) {
  for (TextMode mode : {TextMode::kAnsi, TextMode::kUnicode}) {
    EXPECT_EQ(Tokens("<ul><li>Home</li><li>News</li></ul>", mode, ExtractMode::kVisibleText),
              (Strings{"home", "news"}));
    EXPECT_EQ(Tokens("<p>end.</p><p>Next", mode, ExtractMode::kVisibleText),
              (Strings{"end", "next"}));
    // Inline markup joins as in the text a browser shows.
    EXPECT_EQ(Tokens("<p><b>New</b>York</p>", mode, ExtractMode::kVisibleText),
              (Strings{"newyork"}));
  }
  // Every text between tags keeps gluing them, as it always has.
  EXPECT_EQ(Tokens("<li>Home</li><li>News</li>", TextMode::kAnsi, ExtractMode::kEveryText),
            (Strings{"homenews"}));
}

TEST(ReaderExtractionTest, TheTokenRulesOfEveryTextStillHold) {
  const std::string page =
      "<html><head><script>var x = 'scripted';</script></head><body>"
      "<p>The Cat, the cat! price 2010 and 3.5 [abc123] (123abc); &amp; &quot;q&quot;</p>"
      "<style>p { color: styled }</style></body></html>";
  EXPECT_EQ(Tokens(page, TextMode::kUnicode, ExtractMode::kVisibleText),
            (Strings{"the", "cat", "the", "cat", "price", "and", "abc123", "123abc", "&", "q"}));
  EXPECT_EQ(Tokens(page, TextMode::kAnsi, ExtractMode::kMainText),
            (Strings{"the", "cat", "the", "cat", "price", "and", "abc123", "123abc", "&", "q"}));
}

TEST(ReaderExtractionTest, UnicodeModeDecodesThePageCharsetAndLowerCasesByUnicode) {
  // "Москва" in KOI8-R.
  const std::string koi8 = "<meta charset=\"koi8-r\"><p>\xED\xCF\xD3\xCB\xD7\xC1!</p>";
  EXPECT_EQ(Tokens(koi8, TextMode::kUnicode, ExtractMode::kVisibleText),
            (Strings{"\xD0\xBC\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0"}));
  EXPECT_EQ(Tokens("<p>\xC3\x89LAN caf\xC3\xA9</p>", TextMode::kUnicode, ExtractMode::kVisibleText),
            (Strings{"\xC3\xA9lan", "caf\xC3\xA9"}));
}

TEST(ReaderExtractionTest, AnsiModeGivesWindows1252AndKeepsWhatItLacksAsUtf8) {
  // A UTF-8 page: É is a Windows-1252 letter, lower-cased by the code page;
  // Cyrillic keeps its UTF-8 bytes, and the code page lower-cases them as
  // ANSI mode does with such a page's bytes today ("Мир" as every text
  // between tags gives the same token).
  const std::string utf8_page = "<p>\xC3\x89LAN caf\xC3\xA9 \xD0\x9C\xD0\xB8\xD1\x80</p>";
  EXPECT_EQ(Tokens(utf8_page, TextMode::kAnsi, ExtractMode::kVisibleText),
            (Strings{"\xE9lan", "caf\xE9", "\xF0\x9C\xF0\xB8\xF1\x80"}));
  EXPECT_EQ(Tokens(utf8_page, TextMode::kAnsi, ExtractMode::kEveryText).back(),
            "\xF0\x9C\xF0\xB8\xF1\x80");
  // A Windows-1252 page stays in its bytes, references decoded into them
  // (the 5 after the euro sign stands as a number of its own).
  EXPECT_EQ(Tokens("<meta charset=windows-1252><p>na\xEFve &eacute;t&eacute; &euro;5</p>",
                   TextMode::kAnsi, ExtractMode::kVisibleText),
            (Strings{"na\xEFve", "\xE9t\xE9", "\x80"}));
}

TEST(ReaderExtractionTest, TextFilesAreReadAsText) {
  const std::string text = "A <b>bold</b> claim\r\nsecond line\n";
  EXPECT_EQ(Tokens(text, TextMode::kUnicode, ExtractMode::kVisibleText, "notes.TXT"),
            (Strings{"a", "<b>bold</b>", "claim", "second", "line"}));
  // Without markup at the start, a file of any name is text too.
  EXPECT_EQ(Tokens("plain words <i>here</i>", TextMode::kAnsi, ExtractMode::kMainText, "x.htm"),
            (Strings{"plain", "words", "<i>here</i>"}));
}

TEST(ReaderExtractionTest, ReadableTextShowsBlocksAsLines) {
  const std::string page = "<h1>Title</h1><p>One, two.</p><script>x()</script><p>Three</p>";
  EXPECT_EQ(ReadableText(page, "p.htm", TextMode::kUnicode, ExtractMode::kVisibleText),
            "Title\nOne, two.\nThree");
  // Every text between tags: the joined lines with their markup removed.
  EXPECT_EQ(ReadableText(page, "p.htm", TextMode::kAnsi, ExtractMode::kEveryText),
            "TitleOne, two.x()Three ");
  EXPECT_EQ(ReadableText("", "p.htm", TextMode::kUnicode, ExtractMode::kMainText), "");
}

}  // namespace
}  // namespace vellora
