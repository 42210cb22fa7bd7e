// Unicode-mode word extraction against its plain transcription
// (reference_unicode_steps.h) over generated pages of mixed scripts, in
// every encoding the decoding finds: UTF-8 with and without a byte-order
// mark, with invalid bytes, UTF-16, Windows-1251 and ISO-8859-15 declared by
// <meta>, and undeclared Windows-1252.

#include <unicode/unistr.h>

#include <string>
#include <vector>

#include "base/errors.h"
#include "base/file_io.h"
#include "pipeline/steps.h"
#include "pipeline_test_support.h"
#include "reference_unicode_steps.h"
#include "text/utf8.h"

namespace vellora {
namespace {

using ::vellora::testing::MakeState;
using ::vellora::testing::RecordingNotifier;
using ::vellora::testing::ScratchFolder;

// Words by the encodings that can hold them.
const std::vector<std::string> kLatinWords = {"\xC3\x89l\xC3\xA9phant",
                                              "\xC3\x89L\xC3\x89PHANT",
                                              "caf\xC3\xA9",
                                              "CAF\xC3\x89",
                                              "GR\xC3\x96SSE",
                                              "gr\xC3\xB6sse",
                                              "Stra\xC3\x9F"
                                              "e",
                                              "na\xC3\xAFve",
                                              "l\xE2\x80\x99"
                                              "amour",
                                              "don\xE2\x80\x99t",
                                              "abc123",
                                              "\xC3\xA9"
                                              "123",
                                              "the",
                                              "The",
                                              "a",
                                              "\xC3\xA9"};
const std::vector<std::string> kCyrillicWords = {"\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0",
                                                 "\xD0\x9C\xD0\x9E\xD0\xA1\xD0\x9A\xD0\x92\xD0\x90",
                                                 "\xD1\x9A\xD0\xB0",
                                                 "\xD1\x8A\xD0\xB0",
                                                 "\xD0\x81\xD0\xBB\xD0\xBA\xD0\xB0",
                                                 "\xD0\xB6"};
const std::vector<std::string> kOtherWords = {
    "\xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3",
    "\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82",  // ΟΔΟΣ λόγος
    "\xE6\x9D\xB1\xE4\xBA\xAC",
    "\xE6\x97\xA5",  // 東京 日
    "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85",
    "\xF0\x9F\x98\x80\xF0\x9F\x98\x81",  // سلام 😀😁
    "\xE1\xBA\x9E"
    "X",
    "\xC4\xB0stanbul"};  // ẞX İstanbul
// Markup, numbers, punctuation, references and white space, ASCII only.
const std::vector<std::string> kAsciiPieces = {" ",
                                               "  ",
                                               "\t",
                                               "\r\n",
                                               "\n",
                                               "\r",
                                               "<b>",
                                               "</b>",
                                               "<a href=\"x\">",
                                               "<>",
                                               ">",
                                               "<",
                                               "2010",
                                               "3.5",
                                               ",",
                                               ".",
                                               "!",
                                               ":",
                                               ";",
                                               "(",
                                               ")",
                                               "[",
                                               "]",
                                               "\"",
                                               "'",
                                               "?",
                                               "\x01",
                                               "&eacute;",
                                               "&Eacute;T&Eacute;",
                                               "&nbsp;",
                                               "&#1052;&#x43E;",
                                               "&#65;",
                                               "&amp;",
                                               "&lt;b&gt;",
                                               "&hellip;",
                                               "&laquo;",
                                               "&copy2024",
                                               "&notit;",
                                               "&bogus;",
                                               "&#0;",
                                               "&#150;",
                                               "&#10;",
                                               "&",
                                               "&#x1F600;",
                                               "&#50;&#48;"};
// Typographic punctuation and Unicode white space in UTF-8.
const std::vector<std::string> kUnicodePieces = {
    "\xE2\x80\x9C", "\xE2\x80\x9D", "\xE2\x80\x98", "\xE2\x80\x99", "\xC2\xAB",     "\xC2\xBB",
    "\xE2\x80\xA6", "\xC2\xBF",     "\xC2\xA1",     "\xE3\x80\x82", "\xE3\x80\x8C", "\xE3\x80\x8D",
    "\xEF\xBC\x81", "\xEF\xBC\x88", "\xC2\xA0",     "\xE3\x80\x80", "\xE2\x80\x83", "\xE2\x80\xA8"};
// The same marks that Windows-1252 and ISO-8859-15 hold.
const std::vector<std::string> kLatinPieces = {"\xC2\xAB", "\xC2\xBB", "\xC2\xBF", "\xC2\xA1",
                                               "\xC2\xA0"};

class Pages {
 public:
  explicit Pages(uint32_t seed) : random_(seed) {}

  uint32_t Below(uint32_t n) { return random_.Random(n); }
  bool OneIn(uint32_t n) { return Below(n) == 0; }

  // A UTF-8 page of words from `words` and pieces from `pieces` and ASCII.
  std::string Page(const std::vector<const std::vector<std::string>*>& words,
                   const std::vector<std::string>& pieces) {
    std::string page;
    for (int n = static_cast<int>(Below(150)); n > 0; --n) {
      if (OneIn(2)) {
        const std::vector<std::string>& list = *words[Below(static_cast<uint32_t>(words.size()))];
        page += list[Below(static_cast<uint32_t>(list.size()))];
      } else if (OneIn(3) && !pieces.empty()) {
        page += pieces[Below(static_cast<uint32_t>(pieces.size()))];
      } else {
        page += kAsciiPieces[Below(static_cast<uint32_t>(kAsciiPieces.size()))];
      }
    }
    if (OneIn(12)) {
      for (int i = 0; i < 2100; ++i)
        page +=
            "\xD0\xB6"
            "q";  // a line of 4,200 characters
      page += " tail";
    }
    return page;
  }

  // A page in one of the encodings, and what it was made from.
  std::string EncodedPage() {
    const std::vector<std::string> all_pieces = kUnicodePieces;
    switch (Below(7)) {
      case 0:
        return Page({&kLatinWords, &kCyrillicWords, &kOtherWords}, all_pieces);
      case 1:
        return "\xEF\xBB\xBF" + Page({&kLatinWords, &kOtherWords}, all_pieces);
      case 2: {  // declared UTF-8 with stray bytes
        std::string page = Page({&kLatinWords, &kCyrillicWords}, all_pieces);
        for (int n = 0; n < 4 && !page.empty(); ++n) {
          page.insert(Below(static_cast<uint32_t>(page.size())), OneIn(2) ? "\xFF" : "\xE2\x82");
        }
        return "<meta charset=\"utf-8\">" + page;
      }
      case 3:
        return Encode("<meta charset=\"windows-1251\">" + Page({&kCyrillicWords}, {"\xC2\xAB"}),
                      "windows-1251");
      case 4:
        return Encode(
            "<meta http-equiv=\"content-type\" content=\"text/html; "
            "charset=iso-8859-15\">" +
                Page({&kLatinWords}, kLatinPieces) + "\xE2\x82\xAC",
            "ISO-8859-15");
      case 5:
        return Encode(Page({&kLatinWords}, kLatinPieces) + "\xC3\xA9", "windows-1252");
      default:
        return "\xFF\xFE" + Encode(Page({&kLatinWords, &kOtherWords}, all_pieces), "UTF-16LE");
    }
  }

 private:
  static std::string Encode(const std::string& utf8, const char* encoding) {
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(utf8);
    std::string out(static_cast<size_t>(text.length()) * 4 + 4, '\0');
    const int32_t length =
        text.extract(0, text.length(), out.data(), static_cast<uint32_t>(out.size()), encoding);
    out.resize(static_cast<size_t>(length));
    return out;
  }

  RandomGenerator random_;
};

TEST(UnicodeDifferentialTest, WordExtractionOverPagesOfMixedScripts) {
  // The pages must give words beyond ASCII, in every script, for the
  // comparison to mean anything.
  size_t words_beyond_ascii = 0;
  for (uint32_t seed = 1; seed <= 120; ++seed) {
    SCOPED_TRACE(seed);
    Pages pages(seed);
    ScratchFolder scratch;
    MainState state = MakeState(scratch, seed);
    for (int n = static_cast<int>(pages.Below(6)); n > 0; --n) {
      WriteWholeFile(state.eworkingfolder + "page" + std::to_string(n) + ".htm",
                     pages.EncodedPage());
    }
    state.prohibited.SetText(pages.OneIn(2) ? "the\r\n\xC3\xA9l\xC3\xA9phant\r\n" : "");
    state.dontcontain.SetText(pages.OneIn(3) ? "\xD0\xBA\r\n\r\nss\r\n" : "");
    state.minwordrate.SetValue(1 + pages.Below(2));
    state.ratemultiplier.SetValue(1 + pages.Below(3));

    MainState fast = state, plain = state;
    RecordingNotifier fast_notifier, plain_notifier;
    ExtractWords(fast, fast_notifier, TextMode::kUnicode);
    reference::unicode::bprocessClick(plain, plain_notifier);
    EXPECT_EQ(fast.mytext.Text(), plain.mytext.Text());
    ASSERT_EQ(fast.words.Count(), plain.words.Count());
    for (int i = 0; i < fast.words.Count(); ++i) {
      EXPECT_EQ(fast.words.Row(i).caption, plain.words.Row(i).caption) << "row " << i;
      EXPECT_EQ(fast.words.SubItem(i, 0), plain.words.SubItem(i, 0)) << "row " << i;
      EXPECT_TRUE(IsValidUtf8(fast.words.Row(i).caption)) << fast.words.Row(i).caption;
      words_beyond_ascii += IsAscii(fast.words.Row(i).caption) ? 0 : 1;
    }
    EXPECT_EQ(fast.wordcount, plain.wordcount);
    EXPECT_EQ(fast_notifier.Distinct(), plain_notifier.Distinct());
  }
  EXPECT_GT(words_beyond_ascii, 300u);
}

}  // namespace
}  // namespace vellora
