// The page writer: placeholders and their order, the link list, the index
// page, the sitemap's bytes and addresses, and the failures.

#include "pipeline/page_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "base/errors.h"
#include "base/file_io.h"
#include "pipeline/sitemap.h"
#include "pipeline/steps.h"
#include "pipeline_test_support.h"

namespace vellora {
namespace {

using ::vellora::testing::MakeState;
using ::vellora::testing::RecordingNotifier;
using ::vellora::testing::ScratchFolder;
using Strings = std::vector<std::string>;

class PageWriterTest : public ::testing::Test {
 protected:
  PageWriterTest() {
    state_.esitename = "Site";
    state_.esiteurl = "http://site/";
    state_.echarset = "cs";
    state_.indexpage.SetText("Welcome $links$");
    state_.htmltemplate.SetText("$content$\r\n");
    AddPage("a.htm", "A", "ka", "da", "\r\n<h1>A</h1>\r\n\r\nbody a\r\n");
    AddPage("b.htm", "B", "kb", "db", "body b");
  }

  void AddPage(const std::string& name, const std::string& title, const std::string& keywords,
               const std::string& description, const std::string& body) {
    state_.filelist.Add(ReportRow{name, {title, keywords, description, body}});
  }

  std::string Output(const std::string& name) const {
    return ReadWholeFile(state_.eresfolder + "/" + name);
  }

  ScratchFolder scratch_;
  MainState state_ = MakeState(scratch_);
  RecordingNotifier notifier_;
  const std::string links_ =
      "<a href=\"index.htm\">Index</a><br><br>\r\n<a href=\"a.htm\">A</a><br>\r\n"
      "<a href=\"b.htm\">B</a><br>\r\n";
};

TEST_F(PageWriterTest, ABodyOnlyTemplateGivesTheBodyAndALineBreak) {
  makefilesClick(state_, notifier_);
  EXPECT_EQ(Output("a.htm"), "\r\n<h1>A</h1>\r\n\r\nbody a\r\n\r\n");
  EXPECT_EQ(Output("b.htm"), "body b\r\n");
  // "$links$" inside the index text stays: "$content$" comes last.
  EXPECT_EQ(Output("index.htm"), "Welcome $links$\r\n");
  EXPECT_FALSE(FileExists(state_.eresfolder + "/sitemap.xml"));
  EXPECT_EQ(notifier_.statuses, (Strings{"Saving files, please wait...", "Done."}));
  EXPECT_TRUE(state_.makefiles_enabled);
}

TEST_F(PageWriterTest, ALongTemplateLineIsKeptWhole) {
  const std::string minified = std::string(5000, 'm') + "$content$";
  state_.htmltemplate.SetText(minified);
  makefilesClick(state_, notifier_);
  EXPECT_EQ(Output("b.htm"), std::string(5000, 'm') + "body b\r\n");
}

TEST_F(PageWriterTest, ReplacesTheSevenPlaceholdersInOrderIgnoringCase) {
  state_.htmltemplate.SetText(
      "<meta charset=\"$CHARSET$\"><title>$SiteName$</title><a href=\"$siteurl$\">\r\n"
      "k=$Keywords$ d=$DESCRIPTION$\r\n$links$$Content$");
  state_.esitename = "Site $links$";
  makefilesClick(state_, notifier_);
  const std::string head =
      "<meta charset=\"cs\"><title>Site " + links_ + "</title><a href=\"http://site/\">\r\n";
  EXPECT_EQ(Output("b.htm"), head + "k=kb d=db\r\n" + links_ + "body b\r\n");
  EXPECT_EQ(Output("index.htm"), head + "k=Site " + links_ + " d=Site " + links_ +
                                     " home page\r\n" + links_ + "Welcome $links$\r\n");
}

TEST_F(PageWriterTest, TextThatNamesAPlaceholderIsReplacedByLaterOnesOnly) {
  // Titles land in the link list, which "$content$" still runs over; a
  // keyword naming "$charset$" has missed its turn.
  state_.filelist.Clear();
  AddPage("p.htm", "see $CONTENT$ here", "$charset$ $description$", "desc", "BODY");
  state_.htmltemplate.SetText("$keywords$|$links$|$content$|$links$");
  makefilesClick(state_, notifier_);
  const std::string links =
      "<a href=\"index.htm\">Index</a><br><br>\r\n<a href=\"p.htm\">see BODY here</a><br>\r\n";
  EXPECT_EQ(Output("p.htm"), "$charset$ desc|" + links + "|BODY|" + links + "\r\n");
}

TEST_F(PageWriterTest, WritesTheSitemapWithTheDirectoryAddress) {
  state_.edataurl = "http://example.com/site";
  makefilesClick(state_, notifier_);
  EXPECT_EQ(state_.edataurl, "http://example.com/site/");
  const std::string expected =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
      "<urlset\r\n"
      "      xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\"\r\n"
      "      xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\r\n"
      "      xsi:schemaLocation=\"http://www.sitemaps.org/schemas/sitemap/0.9\r\n"
      "            http://www.sitemaps.org/schemas/sitemap/0.9/sitemap.xsd\">\r\n"
      "\r\n"
      "<url>\r\n  <loc>http://example.com/site/index.htm</loc>\r\n"
      "  <priority>0.5</priority>\r\n</url>\r\n\r\n"
      "<url>\r\n  <loc>http://example.com/site/a.htm</loc>\r\n"
      "  <priority>0.5</priority>\r\n</url>\r\n\r\n"
      "<url>\r\n  <loc>http://example.com/site/b.htm</loc>\r\n"
      "  <priority>0.5</priority>\r\n</url>\r\n\r\n"
      "</urlset>\r\n";
  EXPECT_EQ(Output("sitemap.xml"), expected);

  // A second run keeps the slash it has.
  makefilesClick(state_, notifier_);
  EXPECT_EQ(state_.edataurl, "http://example.com/site/");
}

TEST_F(PageWriterTest, NoSitemapForAShortAddress) {
  for (const char* address : {"", "x/y", "abcd"}) {
    state_.edataurl = address;
    makefilesClick(state_, notifier_);
    EXPECT_EQ(state_.edataurl, address);
    EXPECT_FALSE(FileExists(state_.eresfolder + "/sitemap.xml"));
  }
}

TEST_F(PageWriterTest, ASitemapUnderAnAddressWithoutASiteIsWrittenAndFlagged) {
  for (const char* address : {"http://", "https://", "HTTP:///", "/////"}) {
    SCOPED_TRACE(address);
    state_.edataurl = address;
    makefilesClick(state_, notifier_);
    EXPECT_TRUE(SitemapDirectoryUnset(state_));
    const std::string sitemap = Output("sitemap.xml");
    EXPECT_NE(sitemap.find("<loc>" + state_.edataurl + "index.htm</loc>"), std::string::npos);
  }
  for (const char* address :
       {"http://example.com/", "https://h", "x/yz/", "www.example.com", "", "abcd"}) {
    SCOPED_TRACE(address);
    state_.edataurl = address;
    EXPECT_FALSE(SitemapDirectoryUnset(state_));
  }
  // No sitemap without a template.
  state_.edataurl = "http://";
  state_.htmltemplate.Clear();
  EXPECT_FALSE(SitemapDirectoryUnset(state_));
}

TEST(SitemapTest, AddressesAreValidUrlsInsideWellFormedXml) {
  EXPECT_EQ(SitemapLocation("http://h/d/", "a.htm"), "http://h/d/a.htm");
  EXPECT_EQ(SitemapLocation("http://h/?a=1&b='2'/", "x.htm"),
            "http://h/?a=1&amp;b=&apos;2&apos;/x.htm");
  EXPECT_EQ(SitemapLocation("http://h/my%20dir/", "100%.htm"), "http://h/my%20dir/100%25.htm");
  EXPECT_EQ(SitemapLocation("http://h/", "caf\xE9 & <b>\"q\"#1?.htm"),
            "http://h/caf%E9%20&amp;%20%3Cb%3E%22q%22%231%3F.htm");
  EXPECT_EQ(SitemapLocation("http://h/\xC3\xA9/", "back\\slash{}.htm"),
            "http://h/%C3%A9/back%5Cslash%7B%7D.htm");
  EXPECT_EQ(SitemapLocation("http://h/bad%zz/", "a'b.htm"), "http://h/bad%25zz/a&apos;b.htm");
}

TEST_F(PageWriterTest, RowsWithTheSameNameAreAllListedAndTheLastOneWins) {
  state_.filelist.Clear();
  AddPage("same.htm", "One", "", "", "first");
  AddPage("same.htm", "Two", "", "", "second");
  state_.htmltemplate.SetText("$links$$content$");
  state_.edataurl = "http://h.example/";
  makefilesClick(state_, notifier_);
  EXPECT_EQ(Output("same.htm"),
            "<a href=\"index.htm\">Index</a><br><br>\r\n<a href=\"same.htm\">One</a><br>\r\n"
            "<a href=\"same.htm\">Two</a><br>\r\nsecond\r\n");
  const std::string sitemap = Output("sitemap.xml");
  size_t count = 0;
  for (size_t pos = 0; (pos = sitemap.find("/same.htm</loc>", pos)) != std::string::npos; ++pos) {
    ++count;
  }
  EXPECT_EQ(count, 2u);
}

TEST_F(PageWriterTest, CreatesTheOutputFolderWithItsParents) {
  state_.eresfolder = scratch_.Path() + "deep/er/out/";
  makefilesClick(state_, notifier_);
  EXPECT_TRUE(FileExists(scratch_.Path() + "deep/er/out/index.htm"));
  EXPECT_TRUE(FileExists(scratch_.Path() + "deep/er/out/a.htm"));
}

TEST_F(PageWriterTest, AnEmptyOutputFolderIsRefused) {
  state_.eresfolder.clear();
  try {
    makefilesClick(state_, notifier_);
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to create directory");
  }
  EXPECT_TRUE(state_.makefiles_enabled);
  EXPECT_EQ(state_.Status, "Saving files failed.");
}

// A failed save leaves the pages and the button for another try.
TEST_F(PageWriterTest, AFileThatCannotBeWrittenStopsTheRunKeepingEarlierFiles) {
  state_.edataurl = "http://example.com/";
  ForceDirectories(state_.eresfolder + "/b.htm");  // a folder where a page should go
  try {
    makefilesClick(state_, notifier_);
    FAIL() << "no error";
  } catch (const EFileError& e) {
    const std::string expected = "Cannot create file \"" + state_.eresfolder + "/b.htm\". ";
    EXPECT_EQ(std::string(e.what()).rfind(expected, 0), 0u) << e.what();
  }
  EXPECT_EQ(Output("index.htm"), "Welcome $links$\r\n");
  EXPECT_EQ(Output("a.htm"), "\r\n<h1>A</h1>\r\n\r\nbody a\r\n\r\n");
  EXPECT_FALSE(FileExists(state_.eresfolder + "/sitemap.xml"));
  EXPECT_EQ(state_.edataurl, "http://example.com/");
  EXPECT_TRUE(state_.makefiles_enabled);
  EXPECT_EQ(state_.Status, "Saving files failed.");
  EXPECT_EQ(notifier_.statuses, (Strings{"Saving files, please wait...", "Saving files failed."}));

  ASSERT_EQ(::rmdir((state_.eresfolder + "/b.htm").c_str()), 0);
  makefilesClick(state_, notifier_);
  EXPECT_EQ(Output("b.htm"), "body b\r\n");
  EXPECT_TRUE(FileExists(state_.eresfolder + "/sitemap.xml"));
  EXPECT_EQ(state_.Status, "Done.");
}

TEST_F(PageWriterTest, AFolderThatCannotBeMadeFailsAtTheFirstFile) {
  WriteWholeFile(scratch_.Path() + "plain-file", "x");
  state_.eresfolder = scratch_.Path() + "plain-file/out";
  try {
    makefilesClick(state_, notifier_);
    FAIL() << "no error";
  } catch (const EFileError& e) {
    const std::string expected = "Cannot create file \"" + state_.eresfolder + "/index.htm\". ";
    EXPECT_EQ(std::string(e.what()).rfind(expected, 0), 0u) << e.what();
  }
}

TEST_F(PageWriterTest, AnEmptyTemplateWritesNothing) {
  state_.htmltemplate.Clear();
  state_.edataurl = "http://example.com/";
  makefilesClick(state_, notifier_);
  EXPECT_FALSE(FileExists(state_.eresfolder + "/index.htm"));
  EXPECT_FALSE(FileExists(state_.eresfolder + "/sitemap.xml"));
  EXPECT_EQ(state_.Status, "Saving files, please wait...");
  EXPECT_FALSE(state_.makefiles_enabled);
}

// The file name that `href` reaches from a page in the output folder: the
// value percent-decoded, refused when it holds anything a browser would
// read as more than a relative path (a fragment, a query, a raw blank).
std::string ResolvedName(const std::string& href) {
  std::string name;
  for (size_t i = 0; i < href.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(href[i]);
    if (c <= 32 || c >= 127 || c == '#' || c == '?' || c == '"') return "<unsafe href>";
    if (c == '%') {
      if (i + 2 >= href.size()) return "<bad escape>";
      name += static_cast<char>(std::stoi(href.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      name += static_cast<char>(c);
    }
  }
  return name;
}

std::vector<std::string> Hrefs(const std::string& page) {
  std::vector<std::string> hrefs;
  const std::string open = "<a href=\"";
  for (size_t pos = page.find(open); pos != std::string::npos; pos = page.find(open, pos)) {
    pos += open.size();
    const size_t end = page.find('"', pos);
    hrefs.push_back(page.substr(pos, end - pos));
    pos = end;
  }
  return hrefs;
}

TEST_F(PageWriterTest, EveryLinkReachesItsFileWhateverBytesTheNameHolds) {
  state_.filelist.Clear();
  const Strings names = {"resumption#---.htm",  "why?.htm",   "100%25 sure.htm", "two words.htm",
                         "quote\"tab\t<b>.htm", "caf\xE9.htm"};
  for (const std::string& name : names) AddPage(name, "T", "k", "d", "body $links$");
  state_.indexfname = "home #1.htm";
  state_.htmltemplate.SetText("$links$\r\n$content$\r\n");
  makefilesClick(state_, notifier_);
  Strings pages = names;
  pages.push_back(state_.indexfname);
  Strings expected = {state_.indexfname};
  expected.insert(expected.end(), names.begin(), names.end());
  for (const std::string& page : pages) {
    SCOPED_TRACE(page);
    Strings reached;
    for (const std::string& href : Hrefs(Output(page))) {
      const std::string name = ResolvedName(href);
      EXPECT_TRUE(FileExists(state_.eresfolder + "/" + name)) << href;
      reached.push_back(name);
    }
    EXPECT_EQ(reached, expected);
  }
  EXPECT_EQ(PageHref("resumption#---.htm"), "resumption%23---.htm");
  EXPECT_EQ(PageHref("100%25 sure.htm"), "100%2525%20sure.htm");
  EXPECT_EQ(PageHref("caf\xE9.htm"), "caf%E9.htm");
}

TEST(PageHrefTest, ANameOfSafeBytesIsItsOwnHref) {
  const std::string safe = "Plain-name_1.2~!$&'()*+,;=:@[]{}|\\^`/x.htm";
  EXPECT_EQ(PageHref(safe), safe);
}

TEST_F(PageWriterTest, SitePagesGiveTheBytesThatAreWritten) {
  state_.htmltemplate.SetText("<title>$sitename$</title>\r\n$links$\r\n$content$\r\n");
  const SitePages pages(state_);
  ASSERT_FALSE(pages.Empty());
  const std::string index = pages.IndexPage();
  const std::string a = pages.Page(0);
  const std::string b = pages.Page(1);
  makefilesClick(state_, notifier_);
  EXPECT_EQ(index, Output("index.htm"));
  EXPECT_EQ(a, Output("a.htm"));
  EXPECT_EQ(b, Output("b.htm"));
  state_.htmltemplate.Clear();
  EXPECT_TRUE(SitePages(state_).Empty());
}

TEST_F(PageWriterTest, NamesThatLeaveTheOutputFolderAreRefusedBeforeAnyWrite) {
  const std::string outside = scratch_.Path() + "x";
  const std::string folder = state_.eresfolder;
  for (const std::string& bad : {std::string("../x"), std::string("."), std::string(".."),
                                 std::string("sub/page.htm"), std::string("a\0b", 3)}) {
    for (bool as_index : {true, false}) {
      MainState state = state_;
      if (as_index) {
        state.indexfname = bad;
      } else {
        state.filelist.Add(ReportRow{bad, {"T", "k", "d", "body"}});
      }
      try {
        makefilesClick(state, notifier_);
        FAIL() << "no error for " << bad;
      } catch (const EFileError& e) {
        // (what() ends at a NUL inside the name)
        const std::string expected = "Cannot create file \"" + folder + "/" + bad +
                                     "\". A file name cannot contain \"/\" or be \".\" or \"..\"";
        EXPECT_EQ(std::string(e.what()), expected.substr(0, expected.find('\0')));
      }
      EXPECT_FALSE(FileExists(folder + "/a.htm")) << bad;
      EXPECT_FALSE(FileExists(outside)) << bad;
    }
  }
  EXPECT_FALSE(DirectoryExists(folder));  // not even the folder was made
}

TEST_F(PageWriterTest, APlantedLinkInTheOutputFolderIsReplacedNotWrittenThrough) {
  const std::string victim = scratch_.Path() + "victim.txt";
  WriteWholeFile(victim, "precious");
  ForceDirectories(state_.eresfolder);
  ASSERT_EQ(::symlink(victim.c_str(), (state_.eresfolder + "/a.htm").c_str()), 0);
  makefilesClick(state_, notifier_);
  EXPECT_EQ(ReadWholeFile(victim), "precious");
  EXPECT_EQ(Output("a.htm"), "\r\n<h1>A</h1>\r\n\r\nbody a\r\n\r\n");
  struct stat st;
  ASSERT_EQ(::lstat((state_.eresfolder + "/a.htm").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
}

TEST_F(PageWriterTest, ALongestNameIsWrittenAndOldLeftoversAreCleaned) {
  const std::string long_name = std::string(251, 'p') + ".htm";
  state_.filelist.Add(ReportRow{long_name, {"Long", "k", "d", "long body"}});
  ForceDirectories(state_.eresfolder);
  const std::string leftover = state_.eresfolder + "/.vb-Kill3d";
  WriteWholeFile(leftover, "half a page");
  struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, leftover.c_str(), old, 0), 0);
  makefilesClick(state_, notifier_);
  EXPECT_EQ(Output(long_name), "long body\r\n");
  EXPECT_FALSE(FileExists(leftover));
}

}  // namespace
}  // namespace vellora
