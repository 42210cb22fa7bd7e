// "vellora text" and the extractmode setting from the command: what each
// mode reads, several files, text files, errors; the setting's storage and
// its effect on "extract".

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/in_process.h"
#include "test_util.h"

namespace vellora {
namespace {

namespace fs = std::filesystem;

constexpr char kPage[] =
    "<!DOCTYPE html><html><head><title>Kites</title><style>p { color: red }</style></head>"
    "<body><nav><a href=/>Home</a> <a href=/n>News</a></nav>"
    "<article><h1>Lantern kites</h1><p>The first lantern kites rose over the harbour at dusk, "
    "carried by a steady wind, and the crowd on the pier fell silent.</p></article>"
    "<footer>Copyright, all rights reserved, terms, privacy.</footer></body></html>";

class TextCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFileForTest(page_, kPage);
    WriteFileForTest(notes_, "A <b>bold</b> line\r\nand caf\xC3\xA9\r\n");
  }
  TempDir dir_;
  std::string page_ = dir_.path() + "/page.html";
  std::string notes_ = dir_.path() + "/notes.txt";
};

TEST_F(TextCommandTest, EachModePrintsWhatExtractionReads) {
  CommandResult every = RunInProcess({"text", page_});
  EXPECT_EQ(every.exit_code, 0) << every.err;
  EXPECT_EQ(every.out,
            "Kitesp { color: red }Home NewsLantern kitesThe first lantern kites rose over the "
            "harbour at dusk, carried by a steady wind, and the crowd on the pier fell silent."
            "Copyright, all rights reserved, terms, privacy. \n");

  CommandResult visible = RunInProcess({"text", "--mode", "visible", page_});
  EXPECT_EQ(visible.exit_code, 0) << visible.err;
  EXPECT_EQ(visible.out,
            "Kites\nHome News\nLantern kites\nThe first lantern kites rose over the harbour at "
            "dusk, carried by a steady wind, and the crowd on the pier fell silent.\n"
            "Copyright, all rights reserved, terms, privacy.\n");

  CommandResult main = RunInProcess({"text", "--mode", "main", "--unicode", page_});
  EXPECT_EQ(main.exit_code, 0) << main.err;
  EXPECT_EQ(main.out,
            "Lantern kites\nThe first lantern kites rose over the harbour at dusk, carried by a "
            "steady wind, and the crowd on the pier fell silent.\n");
}

TEST_F(TextCommandTest, SeveralFilesTextFilesAndTheTextMode) {
  CommandResult r = RunInProcess({"text", "--mode", "main", "--unicode", notes_, notes_});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  const std::string notes = "A <b>bold</b> line\nand caf\xC3\xA9\n";
  EXPECT_EQ(r.out, "==> " + notes_ + " <==\n" + notes + "\n==> " + notes_ + " <==\n" + notes);
  // ANSI mode prints Windows-1252.
  r = RunInProcess({"text", "--mode", "visible", notes_});
  EXPECT_EQ(r.out, "A <b>bold</b> line\nand caf\xE9\n");
}

TEST_F(TextCommandTest, ErrorsAndUsage) {
  const std::string missing = dir_.path() + "/missing.html";
  CommandResult r = RunInProcess({"text", "--mode", "visible", missing, notes_});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "Cannot open file \"" + missing + "\". No such file or directory.\n");
  EXPECT_NE(r.out.find("A <b>bold</b> line"), std::string::npos) << "the other file is printed";

  EXPECT_EQ(RunInProcess({"text"}).exit_code, 2);
  r = RunInProcess({"text", "--mode", "reader", page_});
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_EQ(r.err,
            "vellora: --mode takes \"visible\" or \"main\", not \"reader\"; see 'vellora text "
            "--help'\n");
  EXPECT_EQ(RunInProcess({"text", "--bogus", page_}).exit_code, 2);
  r = RunInProcess({"text", "--help"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out.rfind("usage: vellora text [--mode visible|main] [--unicode] FILE...", 0), 0u);
}

TEST(ExtractModeSettingTest, StoredOnlyWhenSetAndReadByExtraction) {
  TempDir dir;
  const std::string presets = dir.path() + "/P";
  ASSERT_EQ(RunInProcess({"run", "--presets", presets, "--preset", "p", "--create"}).exit_code, 0);
  const std::string settings = presets + "/p/settings.ini";
  EXPECT_EQ(ReadFileForTest(settings).find("ExtractMode"), std::string::npos);
  WriteFileForTest(presets + "/p/Files/zarngrab#1.htm", kPage);

  CommandResult every = RunInProcess(
      {"run", "--presets", presets, "--preset", "p", "--no-save", "extract", "--dump", "words"});
  EXPECT_NE(every.out.find("kitesp\t1"), std::string::npos) << every.out;

  CommandResult main = RunInProcess({"run", "--presets", presets, "--preset", "p", "--set",
                                     "extractmode=2", "extract", "--dump", "words"});
  EXPECT_EQ(main.exit_code, 0) << main.err;
  EXPECT_EQ(main.out.find("home"), std::string::npos) << main.out;
  EXPECT_EQ(main.out.find("copyright"), std::string::npos) << main.out;
  EXPECT_NE(main.out.find("lantern\t2\n"), std::string::npos) << main.out;
  EXPECT_NE(ReadFileForTest(settings).find("ExtractMode=2\r\n"), std::string::npos);

  // Back to 0: the key goes again; a value beyond the range is clamped.
  RunInProcess({"run", "--presets", presets, "--preset", "p", "--set", "extractmode=0"});
  EXPECT_EQ(ReadFileForTest(settings).find("ExtractMode"), std::string::npos);
  CommandResult clamped = RunInProcess({"run", "--presets", presets, "--preset", "p", "--no-save",
                                        "--set", "extractmode=7", "--dump", "extractmode"});
  EXPECT_EQ(clamped.out, "2\n");
}

}  // namespace
}  // namespace vellora
