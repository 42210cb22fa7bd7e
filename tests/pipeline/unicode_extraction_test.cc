// Word extraction in Unicode mode: pages in every encoding a browser would
// find, character references, typographic punctuation, Unicode case and
// character counts; and the ANSI-mode notice about files of UTF-8 text.

#include "pipeline/unicode_extraction.h"

#include <string>
#include <vector>

#include "base/file_io.h"
#include "pipeline/steps.h"
#include "pipeline/token_extractor.h"
#include "pipeline_test_support.h"
#include "text/utf8.h"

namespace vellora {
namespace {

using ::vellora::testing::MakeState;
using ::vellora::testing::RecordingNotifier;
using ::vellora::testing::ScratchFolder;
using ::vellora::testing::WordRows;
using Strings = std::vector<std::string>;

// The non-empty tokens of one file's bytes in Unicode mode; each one must
// be valid UTF-8.
Strings Tokens(const std::string& bytes) {
  TokenExtractor extractor(TextMode::kUnicode);
  const std::string text = extractor.Extract(bytes);
  Strings tokens;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find("\r\n", pos);
    EXPECT_NE(end, std::string::npos) << "every token ends with CR LF";
    if (end == std::string::npos) break;
    const std::string token = text.substr(pos, end - pos);
    EXPECT_TRUE(IsValidUtf8(token)) << token;
    if (!token.empty()) tokens.push_back(token);
    pos = end + 2;
  }
  return tokens;
}

// "Éléphant café, l’éléphant: «GRÖSSE» Москва!" in UTF-8.
const std::string kMixedUtf8 =
    "\xC3\x89l\xC3\xA9phant caf\xC3\xA9, l\xE2\x80\x99\xC3\xA9l\xC3\xA9phant: "
    "\xC2\xAB"
    "GR\xC3\x96SSE\xC2\xBB \xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0!";
const Strings kMixedTokens = {"\xC3\xA9l\xC3\xA9phant", "caf\xC3\xA9",
                              "l\xE2\x80\x99\xC3\xA9l\xC3\xA9phant", "gr\xC3\xB6sse",
                              "\xD0\xBC\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0"};

TEST(UnicodeTokensTest, Utf8PagesWithAndWithoutAByteOrderMark) {
  EXPECT_EQ(Tokens(kMixedUtf8), kMixedTokens);
  EXPECT_EQ(Tokens("\xEF\xBB\xBF" + kMixedUtf8), kMixedTokens);
  // UTF-16 with its byte-order mark.
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("Hi <b>THERE</b>")) utf16 += std::string{c, '\0'};
  EXPECT_EQ(Tokens(utf16), (Strings{"hi", "there"}));
}

TEST(UnicodeTokensTest, PagesDeclaringTheirEncodingByMeta) {
  // МОСКВА Москва in Windows-1251.
  EXPECT_EQ(Tokens("<html><head><meta charset=\"windows-1251\"></head>"
                   "<body>\xCC\xCE\xD1\xCA\xC2\xC0 \xCC\xEE\xF1\xEA\xE2\xE0</body>"),
            (Strings{"\xD0\xBC\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0",
                     "\xD0\xBC\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0"}));
  // ISO-8859-15: BD is "œ", A4 the euro sign (not "½" and "¤" as in Latin-1).
  // "\b" knows ASCII letters only, so "10" stands as a number before "€".
  EXPECT_EQ(Tokens("<meta http-equiv=\"Content-Type\" content=\"text/html; "
                   "charset=ISO-8859-15\">C\xBDUR 10\xA4"),
            (Strings{"c\xC5\x93ur", "\xE2\x82\xAC"}));
  // "iso-8859-1" means Windows-1252, where 93 and 94 are curly quotes.
  EXPECT_EQ(Tokens("<meta charset=iso-8859-1>\x93Na\xEFve\x94"), (Strings{"na\xC3\xAFve"}));
}

TEST(UnicodeTokensTest, UndeclaredBytesThatAreNotUtf8AreWindows1252) {
  EXPECT_EQ(Tokens("CAF\xC9 cr\xE8me \x8A"
                   "ARKA"),
            (Strings{"caf\xC3\xA9", "cr\xC3\xA8me",
                     "\xC5\xA1"
                     "arka"}));
}

TEST(UnicodeTokensTest, InvalidUtf8BecomesReplacementCharacters) {
  // Declared UTF-8 with a stray byte and a cut sequence: never a dropped
  // word or an invalid token.
  EXPECT_EQ(Tokens("<meta charset=utf-8>ab\xFF"
                   "cd ef\xE2\x82"),
            (Strings{"ab\xEF\xBF\xBD"
                     "cd",
                     "ef\xEF\xBF\xBD"}));
  EXPECT_EQ(Tokens("\xEF\xBB\xBF\xC0\xAFz"), (Strings{"\xEF\xBF\xBD\xEF\xBF\xBDz"}));
}

TEST(UnicodeTokensTest, CharacterReferencesAreDecodedAfterTheTags) {
  EXPECT_EQ(Tokens("caf&eacute; &Eacute;T&Eacute; &#1052;&#x43E;&#x441;&#1082;&#1074;&#1072;"),
            (Strings{"caf\xC3\xA9", "\xC3\xA9t\xC3\xA9",
                     "\xD0\xBC\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0"}));
  // A decoded "<" is text, not a tag; "&amp;" gives a one-character token.
  EXPECT_EQ(Tokens("&lt;b&gt;bold&lt;/b&gt; fish &amp; chips"),
            (Strings{"<b>bold</b>", "fish", "&", "chips"}));
  // &nbsp;, a raw no-break space and other Unicode spaces split words.
  EXPECT_EQ(Tokens("one&nbsp;two\xC2\xA0three\xE3\x80\x80"
                   "four&#10;five"),
            (Strings{"one", "two", "three", "four", "five"}));
  // Numbers written as references are numbers.
  EXPECT_EQ(Tokens("year &#50;&#48;&#49;&#48; ok"), (Strings{"year", "ok"}));
}

TEST(UnicodeTokensTest, TypographicPunctuationGoesButTheApostropheStays) {
  EXPECT_EQ(Tokens("\xE2\x80\x9CQuoted\xE2\x80\x9D \xE2\x80\x98single\xE2\x80\x99 "
                   "\xE2\x80\x9E"
                   "deutsch\xE2\x80\x9C \xE2\x80\xB9"
                   "fr\xE2\x80\xBA "
                   "wait\xE2\x80\xA6 \xC2\xBF"
                   "qu\xC3\xA9? \xC2\xA1s\xC3\xAD!"),
            (Strings{"quoted", "single", "deutsch", "fr", "wait", "qu\xC3\xA9?", "s\xC3\xAD"}));
  // 「東京」。 and full-width （ａｂ）！
  EXPECT_EQ(Tokens("\xE3\x80\x8C\xE6\x9D\xB1\xE4\xBA\xAC\xE3\x80\x8D\xE3\x80\x82 "
                   "\xEF\xBC\x88\xEF\xBD\x81\xEF\xBD\x82\xEF\xBC\x89\xEF\xBC\x81"),
            (Strings{"\xE6\x9D\xB1\xE4\xBA\xAC", "\xEF\xBD\x81\xEF\xBD\x82"}));
  // The apostrophe inside a word stays, one at its edges goes.
  EXPECT_EQ(
      Tokens("don\xE2\x80\x99t rock\xE2\x80\x99n\xE2\x80\x99roll \xE2\x80\x99tis dogs\xE2\x80\x99"),
      (Strings{"don\xE2\x80\x99t", "rock\xE2\x80\x99n\xE2\x80\x99roll", "tis", "dogs"}));
  // &laquo; and &hellip; are removed once decoded.
  EXPECT_EQ(Tokens("&laquo;oui&raquo;&hellip;"), (Strings{"oui"}));
}

TEST(UnicodeTokensTest, GreekAndCyrillicCapitalsAreLowerCased) {
  // ΟΔΥΣΣΕΥΣ with its final sigma, ПРИВЕТ, ÇA, and the German sharp s.
  EXPECT_EQ(Tokens("\xCE\x9F\xCE\x94\xCE\xA5\xCE\xA3\xCE\xA3\xCE\x95\xCE\xA5\xCE\xA3 "
                   "\xD0\x9F\xD0\xA0\xD0\x98\xD0\x92\xD0\x95\xD0\xA2 \xC3\x87"
                   "A Stra\xC3\x9F"
                   "e"),
            (Strings{"\xCE\xBF\xCE\xB4\xCF\x85\xCF\x83\xCF\x83\xCE\xB5\xCF\x85\xCF\x82",
                     "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
                     "\xC3\xA7"
                     "a",
                     "stra\xC3\x9F"
                     "e"}));
}

TEST(UnicodeTokensTest, LinesAreCutByCharactersNeverInsideOne) {
  // 4,095 letters and an "é": 4,096 characters in 4,097 bytes, then more.
  const std::string line = std::string(4095, 'q') + "\xC3\xA9" + "zzz";
  EXPECT_EQ(Tokens(line + "\r\nnext"), (Strings{std::string(4095, 'q') + "\xC3\xA9", "next"}));
  // Two-byte letters only: the cut comes after 4,096 of them.
  std::string cyrillic;
  for (int i = 0; i < 4100; ++i) cyrillic += "\xD0\xB6";
  const Strings tokens = Tokens(cyrillic);
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(CountCharacters(tokens[0]), 4096u);
}

TEST(UnicodeTokensTest, OnlyTokensOfOneCharacterAreShort) {
  TextList none;
  TokenFilter unicode(none, none, TextMode::kUnicode);
  EXPECT_FALSE(unicode.Keeps("\xC3\xA9"));          // é
  EXPECT_FALSE(unicode.Keeps("\xE6\x9D\xB1"));      // 東
  EXPECT_FALSE(unicode.Keeps("\xF0\x9F\x98\x80"));  // one emoji
  EXPECT_TRUE(unicode.Keeps("\xE6\x9D\xB1\xE4\xBA\xAC"));
  EXPECT_TRUE(unicode.Keeps("\xC3\xA9t"));
  EXPECT_TRUE(unicode.Keeps("ab"));
  TokenFilter ansi(none, none, TextMode::kAnsi);
  EXPECT_TRUE(ansi.Keeps("\xC3\xA9"));  // two bytes are two characters of the code page
}

TEST(UnicodeStagesTest, LowerCaseTokensLeavesAsciiStretchesAlone) {
  EXPECT_EQ(LowerCaseTokens("ABC\r\nD\xC3\x89"
                            "F\r\nGHI\r\n\xC3\x89\r\n"),
            "abc\r\nd\xC3\xA9"
            "f\r\nghi\r\n\xC3\xA9\r\n");
  EXPECT_EQ(LowerCaseTokens("\xE2\x80\x9C\r\n"), "\r\n");
  EXPECT_EQ(DecodeReferencesAndSpaces("a&amp;b\xC2\xA0"
                                      "c&#8195;d\xE2\x80\xA8"
                                      "e"),
            "a&b c d e");
}

class UnicodeWordExtractionTest : public ::testing::Test {
 protected:
  void WriteFile(const std::string& name, const std::string& content) {
    WriteWholeFile(state_.eworkingfolder + name, content);
  }

  ScratchFolder scratch_;
  MainState state_ = MakeState(scratch_);
  RecordingNotifier notifier_;
};

TEST_F(UnicodeWordExtractionTest, CountsWordsOfEveryEncodingAsOneList) {
  WriteFile("utf8.htm",
            "\xEF\xBB\xBF<p>\xC3\x89L\xC3\x89PHANT \xC3\xA9l\xC3\xA9phant caf\xC3\xA9</p>");
  WriteFile("latin.htm", "<meta charset=iso-8859-15>\xC9l\xE9phant caf\xE9 \xE9 ok");
  WriteFile("refs.htm", "<p>&Eacute;l&eacute;phant</p> caf&#233;");
  ExtractWords(state_, notifier_, TextMode::kUnicode);
  // The one-character "é" is dropped by characters.
  EXPECT_EQ(WordRows(state_.words), (Strings{"\xC3\xA9l\xC3\xA9phant=4", "caf\xC3\xA9=3", "ok=1"}));
  EXPECT_EQ(state_.wordcount, "Unique words: 3, total: 8.");
  EXPECT_TRUE(notifier_.information.empty());
}

TEST_F(UnicodeWordExtractionTest, KeepsLettersApartThatTheCodePageWouldConfuse) {
  // "ња" and "ъа" differ only in a continuation byte, 9A against 8A, which
  // the code page takes for a small and a capital letter.
  WriteFile("sr.htm", "\xD1\x9A\xD0\xB0 \xD1\x8A\xD0\xB0 \xD1\x9A\xD0\xB0");
  ExtractWords(state_, notifier_, TextMode::kUnicode);
  EXPECT_EQ(WordRows(state_.words), (Strings{"\xD1\x9A\xD0\xB0=2", "\xD1\x8A\xD0\xB0=1"}));
}

TEST_F(UnicodeWordExtractionTest, AnsiModeTellsOnceHowManyFilesWereUtf8) {
  WriteFile("a.htm", "caf\xC3\xA9 one");
  WriteFile("b.htm", "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0 two");
  WriteFile("ascii.htm", "plain words");
  WriteFile("latin.htm", "caf\xE9");
  ExtractWords(state_, notifier_, TextMode::kAnsi);
  EXPECT_EQ(state_.Status, "Done.");
  ASSERT_EQ(notifier_.information.size(), 1u);
  EXPECT_EQ(notifier_.information[0].rfind("2 files read hold UTF-8 text", 0), 0u)
      << notifier_.information[0];
  EXPECT_NE(notifier_.information[0].find("Unicode mode"), std::string::npos);

  // ASCII and Windows-1252 files alone give no notice, nor does Unicode mode.
  RecordingNotifier quiet;
  ExtractWords(state_, quiet, TextMode::kUnicode);
  EXPECT_TRUE(quiet.information.empty());
  ::unlink((state_.eworkingfolder + "a.htm").c_str());
  ::unlink((state_.eworkingfolder + "b.htm").c_str());
  bprocessClick(state_, quiet);
  EXPECT_TRUE(quiet.information.empty());
}

}  // namespace
}  // namespace vellora
