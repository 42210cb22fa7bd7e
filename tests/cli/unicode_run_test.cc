// Unicode mode from the command line: a run over UTF-8 pages gives words,
// pages, index and sitemap in UTF-8 that declare it; an ANSI run over the
// same pages tells once that Unicode mode would count them.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/in_process.h"
#include "test_util.h"
#include "text/charset.h"
#include "text/utf8.h"

namespace vellora {
namespace {

namespace fs = std::filesystem;

// ÉLÉPHANT éléphant café Москва москва, and a named reference.
constexpr char kPage[] =
    "<html><body><p>\xC3\x89L\xC3\x89PHANT \xC3\xA9l\xC3\xA9phant caf\xC3\xA9 "
    "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0 "
    "\xD0\xBC\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0 caf&eacute;</p></body></html>";
constexpr char kUserPhrase[] = "\xC3\xA9l\xC3\xA9phant caf\xC3\xA9";  // éléphant café

class UnicodeRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    presets_ = dir_.path() + "/T";
    WriteFileForTest(presets_ + "/p/Files/page.htm", kPage);
    WriteFileForTest(dir_.path() + "/user.txt", kUserPhrase);
  }

  // A run of `steps` in the mode `unicode`; with `dump_words` only the
  // extraction, printing the word list. An empty `data_url` leaves the
  // directory URL as a new preset has it.
  CommandResult Run(bool unicode, bool dump_words = false,
                    const std::string& data_url = "http://example.org/s/") {
    std::vector<std::string> args = {
        "run", "--presets", presets_, "--preset", "p", "--seed", "1",
        "--set", std::string("unicodetext=") + (unicode ? "1" : "0"),
        "--set", "usersamples=@" + dir_.path() + "/user.txt",
        "--set", "eresfolder=" + dir_.path() + "/res"};
    if (!data_url.empty()) args.insert(args.end(), {"--set", "edataurl=" + data_url});
    args.push_back("extract");
    if (dump_words) {
      args.insert(args.end(), {"--dump", "words"});
    } else {
      args.insert(args.end(), {"phrases", "generate", "save"});
    }
    return RunInProcess(args);
  }

  TempDir dir_;
  std::string presets_;
};

TEST_F(UnicodeRunTest, PagesHoldAndDeclareUtf8) {
  CommandResult words = Run(true, true);
  ASSERT_EQ(words.exit_code, 0) << words.err;
  // Equal counts in byte order of the words; no notice about UTF-8 files.
  EXPECT_EQ(words.out,
            "caf\xC3\xA9\t2\n\xC3\xA9l\xC3\xA9phant\t2\n"
            "\xD0\xBC\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0\t2\n");
  CommandResult r = Run(true);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "");

  const std::string res = dir_.path() + "/res/";
  int pages = 0;
  for (const auto& entry : fs::directory_iterator(res)) {
    const std::string name = entry.path().filename().string();
    if (name == "sitemap.xml") continue;
    SCOPED_TRACE(name);
    ++pages;
    const std::string text = ReadFileForTest(entry.path().string());
    EXPECT_TRUE(IsValidUtf8(text));
    EXPECT_NE(text.find("<meta charset=\"utf-8\">"), std::string::npos);
    const DetectedCharset found = DetectCharset(text);
    EXPECT_EQ(found.source, DetectedCharset::Source::kMeta);
    EXPECT_EQ(found.encoding, "UTF-8");
  }
  EXPECT_GE(pages, 2);
  // The user phrase names and titles the first page: "Éléphant café".
  const std::string first = ReadFileForTest(res + "\xC3\xA9l\xC3\xA9phant-caf\xC3\xA9.htm");
  EXPECT_NE(first.find("<h1>\xC3\x89l\xC3\xA9phant caf\xC3\xA9</h1>"), std::string::npos);
  const std::string sitemap = ReadFileForTest(res + "sitemap.xml");
  EXPECT_TRUE(IsAscii(sitemap));
  EXPECT_NE(sitemap.find("<loc>http://example.org/s/%C3%A9l%C3%A9phant-caf%C3%A9.htm</loc>"),
            std::string::npos);
  // The preset keeps its texts as UTF-8.
  EXPECT_EQ(ReadFileForTest(presets_ + "/p/phrases_user.txt"), kUserPhrase);
  EXPECT_NE(ReadFileForTest(presets_ + "/p/settings.ini").find("\r\nUnicodeText=1\r\n"),
            std::string::npos);
}

TEST_F(UnicodeRunTest, AnsiModeTellsOnceThatUnicodeModeCountsTheFiles) {
  CommandResult r = Run(false);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  // A notice of the program's own: on stderr, never in the output.
  const std::string notice = "1 file read holds UTF-8 text";
  const size_t at = r.err.find(notice);
  ASSERT_NE(at, std::string::npos) << r.err;
  EXPECT_EQ(r.err.find(notice, at + 1), std::string::npos);
  EXPECT_NE(r.err.find("Unicode mode (the \"unicodetext\" setting)"), std::string::npos);
  EXPECT_EQ(r.out.find(notice), std::string::npos) << r.out;
  // ANSI mode declares its own charset.
  EXPECT_NE(ReadFileForTest(dir_.path() + "/res/index.htm").find("<meta charset=\"iso-8859-1\">"),
            std::string::npos);
}

TEST_F(UnicodeRunTest, AWordListDumpHoldsOnlyItsRows) {
  CommandResult ansi = Run(false, true);
  ASSERT_EQ(ansi.exit_code, 0) << ansi.err;
  ASSERT_FALSE(ansi.out.empty());
  // Every line of stdout is a row: a word, a TAB and its count.
  size_t pos = 0;
  while (pos < ansi.out.size()) {
    const size_t end = ansi.out.find('\n', pos);
    ASSERT_NE(end, std::string::npos);
    const std::string line = ansi.out.substr(pos, end - pos);
    const size_t tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos) << line;
    EXPECT_EQ(line.find_first_not_of("0123456789", tab + 1), std::string::npos) << line;
    pos = end + 1;
  }
  EXPECT_NE(ansi.err.find("1 file read holds UTF-8 text"), std::string::npos) << ansi.err;
}

// Words that the page wrote as references are written back as references;
// a sitemap under the directory URL a new preset starts with ("http://") is
// written and a notice on stderr names the field to set.
TEST_F(UnicodeRunTest, ReferencesStayTextAndAnUnsetDirectoryUrlIsTold) {
  WriteFileForTest(presets_ + "/p/Files/refs.htm",
                   "<p>&lt;test&gt; &lt;/test&gt; &lt;&gt; tom&amp;jerry &quot;q&quot;</p>");
  CommandResult r = Run(true, false, "");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "sitemap.xml: the directory URL is not set (edataurl)\n");
  const std::string res = dir_.path() + "/res/";
  EXPECT_NE(ReadFileForTest(res + "sitemap.xml").find("<loc>http://index.htm</loc>"),
            std::string::npos);
  std::string pages;
  for (const auto& entry : fs::directory_iterator(res)) {
    pages += ReadFileForTest(entry.path().string());
  }
  for (const char* word : {"&lt;test&gt;", "&lt;/test&gt;", "&lt;&gt;", "tom&amp;jerry"}) {
    EXPECT_NE(pages.find(word), std::string::npos) << word;
  }
  for (const char* markup : {"<test>", "</test>", "<>", "tom&jerry"}) {
    EXPECT_EQ(pages.find(markup), std::string::npos) << markup;
  }

  CommandResult set = Run(true, false, "http://example.org/s/");
  ASSERT_EQ(set.exit_code, 0) << set.err;
  EXPECT_EQ(set.err, "");
}

}  // namespace
}  // namespace vellora
