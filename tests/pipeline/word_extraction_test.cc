// Word extraction: the tokens a file yields, the cleaning filters, counting,
// the rate filter, labels and status texts, failures, and row removal.

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "base/errors.h"
#include "base/file_io.h"
#include "pipeline/steps.h"
#include "pipeline/token_extractor.h"
#include "pipeline_test_support.h"

namespace vellora {
namespace {

using ::vellora::testing::MakeState;
using ::vellora::testing::RecordingNotifier;
using ::vellora::testing::ScratchFolder;
using ::vellora::testing::Word;
using ::vellora::testing::WordRows;
using Strings = std::vector<std::string>;

// The tokens of one file's bytes, one per element (empty tokens included).
Strings Tokens(const std::string& bytes) {
  TokenExtractor extractor;
  std::string text = extractor.Extract(bytes);
  Strings tokens;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find("\r\n", pos);
    EXPECT_NE(end, std::string::npos) << "every token ends with CR LF";
    if (end == std::string::npos) break;
    tokens.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return tokens;
}

TEST(TokenExtractorTest, TransformsTextIntoLowerCaseTokens) {
  EXPECT_EQ(Tokens("The Cat, the cat!"), (Strings{"the", "cat", "the", "cat"}));
  EXPECT_EQ(Tokens("<b>New</b>York"), (Strings{"newyork"}));
  EXPECT_EQ(Tokens("price 2010 and 3.5"), (Strings{"price", "and", ""}));
  EXPECT_EQ(Tokens("abc123 123abc"), (Strings{"abc123", "123abc"}));
  EXPECT_EQ(Tokens("one\ttwo"), (Strings{"one\ttwo"}));
  EXPECT_EQ(Tokens("one \ttwo"), (Strings{"one", "two"}));
  EXPECT_EQ(Tokens("&amp; [x]; (y) \"z\""), (Strings{"&amp", "x", "y", "z"}));
  // Markup alone leaves one empty token, which cleaning drops.
  EXPECT_EQ(Tokens("<html><head></head></html>"), Strings{""});
  EXPECT_EQ(Tokens(""), Strings{});
  // Windows-1252 capitals are lowered too.
  EXPECT_EQ(Tokens("\xC9"
                   "COLE \x8A"
                   "A"),
            (Strings{"\xE9"
                     "cole",
                     "\x9A"
                     "a"}));
}

TEST(TokenExtractorTest, JoinsTrimmedLinesAcrossEveryKindOfLineBreak) {
  EXPECT_EQ(Tokens("  Hello \t\r\n\r\n\x01world\rsea\nsky\r\n"),
            (Strings{"hello", "world", "sea", "sky"}));
  // A tag may run across lines; the lines are joined before it is removed,
  // which joins the words around it.
  EXPECT_EQ(Tokens("before<a\r\nhref=x>after"), (Strings{"beforeafter"}));
  EXPECT_EQ(Tokens("abc<\r\n>def"), (Strings{"abcdef"}));
  // The text ends at the first NUL byte.
  EXPECT_EQ(Tokens(std::string("alpha\0beta", 10)), (Strings{"alpha"}));
}

TEST(TokenExtractorTest, ReadsAtMost4096CharactersOfALine) {
  std::string line(4100, 'q');
  EXPECT_EQ(Tokens(line + "\r\nnext"), (Strings{std::string(4096, 'q'), "next"}));
}

TEST(TokenFilterTest, DropsShortProhibitedAndFragmentTokens) {
  TextList prohibited("The\r\nand\r\n");
  TextList dontcontain("ing\r\n\r\nwww.\r\n");
  TokenFilter filter(prohibited, dontcontain);
  EXPECT_FALSE(filter.Keeps("a"));
  EXPECT_FALSE(filter.Keeps(""));
  EXPECT_TRUE(filter.Keeps("the"));  // "The" with a capital never matches
  EXPECT_FALSE(filter.Keeps("and"));
  EXPECT_TRUE(filter.Keeps("android"));
  EXPECT_FALSE(filter.Keeps("thing"));
  EXPECT_FALSE(filter.Keeps("singer"));
  EXPECT_FALSE(filter.Keeps("www.x"));
  EXPECT_FALSE(filter.Keeps("ingot-free"));
  EXPECT_TRUE(filter.Keeps("in"));  // the empty fragment line matches nothing
}

class WordExtractionTest : public ::testing::Test {
 protected:
  void WriteFile(const std::string& name, const std::string& content) {
    WriteWholeFile(state_.eworkingfolder + name, content);
  }

  ScratchFolder scratch_;
  MainState state_ = MakeState(scratch_);
  RecordingNotifier notifier_;
};

TEST_F(WordExtractionTest, CountsWordsLargestCountFirstThenByWord) {
  WriteFile("page.htm", "The Cat, the cat!\r\nzebra apple zebra");
  bprocessClick(state_, notifier_);
  EXPECT_EQ(WordRows(state_.words), (Strings{"cat=2", "the=2", "zebra=2", "apple=1"}));
  EXPECT_EQ(state_.wordcount, "Unique words: 4, total: 7.");
  EXPECT_EQ(state_.mytext.Text(), "the\r\ncat\r\nthe\r\ncat\r\nzebra\r\napple\r\nzebra\r\n");
  EXPECT_TRUE(state_.myfile.Empty());
  EXPECT_TRUE(state_.bprocess_enabled);
  const std::string path = state_.eworkingfolder + "page.htm";
  EXPECT_EQ(notifier_.statuses, (Strings{"Processing file " + path, "Cleaning up the word list...",
                                         "Generating final word list table...",
                                         "Generating final word list table [0/7]", "Done."}));
  EXPECT_EQ(state_.Status, "Done.");
}

TEST_F(WordExtractionTest, AppliesFiltersRateAndMultiplier) {
  WriteFile("a.txt", "thing singer keep keep keep pair pair The the x i");
  state_.prohibited.SetText("The\r\n");
  state_.dontcontain.SetText("ing\r\n");
  state_.minwordrate.SetValue(2);
  state_.ratemultiplier.SetValue(3);
  bprocessClick(state_, notifier_);
  // "The" in the list does not stop "the", which every token is lowered to.
  EXPECT_EQ(WordRows(state_.words), (Strings{"keep=9", "pair=6", "the=6"}));
  EXPECT_EQ(state_.wordcount, "Unique words: 3, total: 21.");

  state_.minwordrate.SetValue(3);
  state_.ratemultiplier.SetValue(2);
  bprocessClick(state_, notifier_);
  EXPECT_EQ(WordRows(state_.words), (Strings{"keep=6"}));
  EXPECT_EQ(state_.wordcount, "Unique words: 1, total: 6.");
}

TEST_F(WordExtractionTest, ReadsEveryVisibleFileButNoFoldersOrHiddenFiles) {
  WriteFile("one.htm", "<p>alpha</p>");
  WriteFile("two.txt", "beta alpha");
  WriteFile(".hidden", "gamma");
  ForceDirectories(state_.eworkingfolder + "sub");
  WriteWholeFile(state_.eworkingfolder + "sub/three.txt", "delta");
  bprocessClick(state_, notifier_);
  EXPECT_EQ(WordRows(state_.words), (Strings{"alpha=2", "beta=1"}));
  int processing = 0;
  for (const std::string& text : notifier_.statuses) {
    processing += text.rfind("Processing file ", 0) == 0;
  }
  EXPECT_EQ(processing, 2);
}

TEST_F(WordExtractionTest, LeftoverTemporaryFilesFifosAndDeviceLinksAreSkipped) {
  WriteFile("page.htm", "alpha");
  WriteFile(".vb-Ab12Cd", "leftover words");
  WriteFile("page.htm.vb-tmp", "older leftover words");
  ASSERT_EQ(::mkfifo((state_.eworkingfolder + "pipe").c_str(), 0644), 0);
  ASSERT_EQ(::symlink("/dev/zero", (state_.eworkingfolder + "zero").c_str()), 0);
  bprocessClick(state_, notifier_);
  EXPECT_EQ(WordRows(state_.words), (Strings{"alpha=1"}));
}

TEST_F(WordExtractionTest, ShowsProgressOnEveryTenthLineAndRow) {
  std::string text;
  for (int i = 0; i < 25; ++i) text += "w" + std::string(1, static_cast<char>('a' + i)) + " ";
  WriteFile("f.txt", text);
  bprocessClick(state_, notifier_);
  const std::string path = state_.eworkingfolder + "f.txt";
  // 25 tokens and the file's empty line; 25 rows.
  EXPECT_EQ(
      notifier_.statuses,
      (Strings{"Processing file " + path, "Cleaning up the word list...",
               "Cleaning up the word list [10/26]", "Cleaning up the word list [20/26]",
               "Generating final word list table...", "Generating final word list table [0/25]",
               "Generating final word list table [10/25]",
               "Generating final word list table [20/25]", "Processing word rate [10/25]",
               "Processing word rate [20/25]", "Done."}));
}

TEST_F(WordExtractionTest, AFileOfMarkupOnlyGivesNoWord) {
  WriteFile("tags.htm", "<html>\r\n<head></head>\r\n<body></body></html>\r\n");
  bprocessClick(state_, notifier_);
  EXPECT_TRUE(state_.words.Empty());
  EXPECT_EQ(state_.mytext.Text(), "");
  EXPECT_EQ(state_.wordcount, "Unique words: 0, total: 0.");
}

TEST_F(WordExtractionTest, NoWorkingFolderGivesAnEmptyList) {
  state_.words.Add(Word("old", "4"));
  state_.eworkingfolder = scratch_.Path() + "missing/";
  bprocessClick(state_, notifier_);
  EXPECT_TRUE(state_.words.Empty());
  EXPECT_EQ(state_.wordcount, "Unique words: 0, total: 0.");
  EXPECT_EQ(state_.Status, "Done.");

  state_.eworkingfolder.clear();
  bprocessClick(state_, notifier_);
  EXPECT_EQ(state_.wordcount, "Unique words: 0, total: 0.");
}

TEST_F(WordExtractionTest, UnreadableFileEndsTheRunKeepingTheOldRows) {
  WriteFile("good.txt", "good words");
  // Reading /proc/self/mem from offset 0 fails, whoever runs the test.
  const std::string bad = state_.eworkingfolder + "bad.htm";
  ASSERT_EQ(::symlink("/proc/self/mem", bad.c_str()), 0);
  state_.words.Add(Word("old", "4"));
  state_.wordcount = "Unique words: 1, total: 4.";
  try {
    bprocessClick(state_, notifier_);
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + bad + "\". ", 0), 0u) << e.what();
  }
  // The button is ready for another run once the file is dealt with.
  EXPECT_TRUE(state_.bprocess_enabled);
  EXPECT_EQ(WordRows(state_.words), (Strings{"old=4"}));
  EXPECT_EQ(state_.wordcount, "Unique words: 1, total: 4.");
  EXPECT_EQ(state_.Status, "Processing files failed.");
  EXPECT_EQ(notifier_.statuses.back(), "Processing files failed.");
  EXPECT_EQ(notifier_.statuses[notifier_.statuses.size() - 2], "Processing file " + bad);
  const bool good_first = notifier_.statuses.front() != "Processing file " + bad;
  EXPECT_EQ(state_.mytext.Text(), good_first ? "good\r\nwords\r\n\r\n" : "");
}

TEST_F(WordExtractionTest, DeleteKeyRemovesTheSelectedRow) {
  for (const char* word : {"a1", "b2", "c3"}) state_.words.Add(Word(word, "1"));
  wordsKeyDown(state_, 1);
  EXPECT_EQ(WordRows(state_.words), (Strings{"a1=1", "c3=1"}));
  wordsKeyDown(state_, 1);  // the last row
  EXPECT_EQ(WordRows(state_.words), (Strings{"a1=1"}));
  wordsKeyDown(state_, -1);  // nothing selected
  wordsKeyDown(state_, 5);
  EXPECT_EQ(WordRows(state_.words), (Strings{"a1=1"}));
  EXPECT_EQ(state_.wordcount, "Word count = 0");  // the label is not updated
}

}  // namespace
}  // namespace vellora
