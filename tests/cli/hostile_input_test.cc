// The run and presets subcommands given input meant to break them: line
// breaks in single-line values and preset names, control characters in
// preset folder names, values read from a pipe, outputs that fill up, and a
// step that runs out of memory.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/command_runner.h"
#include "cli/in_process.h"
#include "test_util.h"

namespace vellora {
namespace {

namespace fs = std::filesystem;

const char kFullStdout[] = "Cannot write to standard output. No space left on device.\n";

CommandResult RunShell(const std::string& line, const std::string& input = "") {
  return RunProgram("/bin/sh", {"-c", "VB='" VELLORA_EXE "'; " + line}, input);
}

// A 64 KiB tmpfs, unmounted at the end; mounted() is false where mounting
// is not permitted (not root).
class SmallFileSystem {
 public:
  explicit SmallFileSystem(const std::string& path) : path_(path) {
    fs::create_directories(path_);
    mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=64k") == 0;
  }
  ~SmallFileSystem() {
    if (mounted_) ::umount(path_.c_str());
  }
  bool mounted() const { return mounted_; }

 private:
  std::string path_;
  bool mounted_ = false;
};

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

TEST(HostileSet, LineBreaksInASingleLineValueAreAUsageErrorAndNeverSaved) {
  TempDir dir;
  const std::string presets = dir.path() + "/P";
  for (const std::string& value : {std::string("Nice\r\nIndexName=../../x"),
                                   std::string("Nice\nIndexName=x"), std::string("a\rb")}) {
    CommandResult r = RunInProcess(
        {"run", "--presets", presets, "--preset", "p", "--create", "--set", "esitename=" + value});
    EXPECT_EQ(r.exit_code, 2) << r.err;
    EXPECT_EQ(r.err,
              "vellora: field 'esitename' is a single line and cannot hold a line break (CR or "
              "LF); see 'vellora run --help'\n");
  }
  EXPECT_FALSE(fs::exists(presets + "/p"));
  // Multi-line texts take line breaks as before.
  CommandResult r = RunInProcess({"run", "--presets", presets, "--preset", "p", "--create", "--set",
                                  "urls2grab=http://a/\r\nhttp://b/", "--dump", "esitename"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(ReadFileForTest(presets + "/p/urls2grab.txt"), "http://a/\r\nhttp://b/");
  EXPECT_EQ(ReadFileForTest(presets + "/p/settings.ini").find("IndexName=../"), std::string::npos);
}

TEST(HostileSet, AValueIsReadFromAPipe) {
  TempDir dir;
  const std::string presets = dir.path() + "/P";
  // The process's own standard input, named as a file: the built program.
  CommandResult r = RunVellora({"run", "--presets", presets, "--preset", "p", "--create", "--set",
                                "urls2grab=@/dev/stdin", "--dump", "urls2grab"},
                               "http://a/\nhttp://b/\n");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "http://a/\r\nhttp://b/\r\n");
  EXPECT_EQ(ReadFileForTest(presets + "/p/urls2grab.txt"), "http://a/\r\nhttp://b/\r\n");
  // What cannot be read still fails the run before anything is saved.
  r = RunInProcess(
      {"run", "--presets", presets, "--preset", "p", "--set", "urls2grab=@" + presets});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "Cannot open file \"" + presets + "\". Is a directory.\n");
}

TEST(HostilePresetNames, ControlCharactersAndNonUtf8AreRefusedAndNotListed) {
  TempDir dir;
  const std::string presets = dir.path() + "/P";
  for (const std::string& name :
       {std::string("two\nlines"), std::string("red\x1b[31m"), std::string("tab\tbed"),
        std::string("del\x7f"), std::string("latin\xe9"), std::string("c1\xc2\x9b")}) {
    CommandResult r = RunInProcess({"run", "--presets", presets, "--preset", name, "--create"});
    EXPECT_EQ(r.exit_code, 1) << testing::PrintToString(name);
    EXPECT_EQ(r.err,
              "A preset name cannot hold line breaks, control characters or bytes that are not "
              "UTF-8 text.\n");
  }
  EXPECT_TRUE(!fs::exists(presets) || Names(presets).empty());
  // Folders made by other means are left out of the listing.
  for (const char* name : {"caf\xc3\xa9", "plain", "two\nlines", "clear\x1b[2J", "bad\xff"}) {
    fs::create_directories(presets + "/" + name);
  }
  CommandResult r = RunInProcess({"presets", "--presets", presets});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "caf\xc3\xa9\nplain\n");
}

TEST(HostilePreset, AnIndexNameLeavingTheOutputFolderStopsTheSaveBeforeAnyPage) {
  TempDir dir;
  const std::string presets = dir.path() + "/P";
  const std::string out = dir.path() + "/out";
  fs::create_directories(out);
  WriteFileForTest(presets + "/p/settings.ini", "[GENERAL]\r\nIndexName=../evil.sh\r\n");
  std::string page;
  for (int i = 0; i < 3000; ++i) page += "word" + std::to_string(i % 50) + " ";
  WriteFileForTest(presets + "/p/Files/a.htm", page);
  CommandResult r =
      RunInProcess({"run", "--presets", presets, "--preset", "p", "--seed", "1", "--set",
                    "eresfolder=" + out, "extract", "phrases", "generate", "save"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "Cannot create file \"" + out +
                       "/../evil.sh\". A file name cannot contain \"/\" or be \".\" or \"..\"\n");
  EXPECT_FALSE(fs::exists(dir.path() + "/evil.sh"));
  EXPECT_TRUE(Names(out).empty());
}

TEST(HostilePreset, AFifoAsSettingsFailsTheLoadAtOnceAndNothingIsSavedOverThePreset) {
  TempDir dir;
  const std::string preset = dir.path() + "/P/p/";
  WriteFileForTest(preset + "urls.txt", "before");
  ASSERT_EQ(::mkfifo((preset + "settings.ini").c_str(), 0644), 0);
  CommandResult r = RunVelloraWithStdout(
      {"run", "--presets", dir.path() + "/P", "--preset", "p", "--set", "urlsurl=after"},
      dir.path() + "/stdout", dir.path());
  EXPECT_EQ(r.exit_code, 1);  // -1 would be a hang, killed after ten seconds
  EXPECT_EQ(r.err, "Cannot open file \"" + preset + "settings.ini\". Not a regular file.\n");
  EXPECT_EQ(ReadFileForTest(preset + "urls.txt"), "before");
  EXPECT_TRUE(fs::is_fifo(preset + "settings.ini"));
}

TEST(HostileOutput, DumpsAndListingsThatCannotBeWrittenFail) {
  TempDir dir;
  const std::string presets = dir.path() + "/P";
  CommandResult r = RunShell("exec \"$VB\" run --presets '" + presets +
                             "' --preset p --create --set esitename=Kept --dump esitename "
                             "> /dev/full");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, kFullStdout);
  EXPECT_NE(ReadFileForTest(presets + "/p/settings.ini").find("SiteName=Kept\r\n"),
            std::string::npos);  // the preset is saved all the same
  r = RunShell("exec \"$VB\" presets --presets '" + presets + "' > /dev/full");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, kFullStdout);
}

TEST(HostileOutput, AFullFileSystemFailsTheDumpAndTheSaveKeepsTheOldPreset) {
  TempDir dir;
  SmallFileSystem small(dir.path() + "/small");
  if (!small.mounted()) GTEST_SKIP() << "mounting a tmpfs needs root";
  const std::string big = dir.path() + "/big.txt";
  WriteFileForTest(big, std::string(256 * 1024, 'u') + "\r\n");

  // stdout on the full file system, the preset elsewhere.
  const std::string presets = dir.path() + "/P";
  CommandResult r = RunShell("exec \"$VB\" run --presets '" + presets +
                             "' --preset p --create --set urls2grab=@'" + big +
                             "' --dump urls2grab > '" + dir.path() + "/small/out'");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, kFullStdout);
  EXPECT_EQ(fs::file_size(presets + "/p/urls2grab.txt"), fs::file_size(big));
  fs::remove(dir.path() + "/small/out");

  // The preset on the full file system: the failing file and those after
  // it keep their old content, and no temporary file is left.
  const std::string small_presets = dir.path() + "/small/P";
  r = RunInProcess({"run", "--presets", small_presets, "--preset", "p", "--create", "--set",
                    "urls2grab=http://old/", "--set", "esitename=Old"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::string settings = ReadFileForTest(small_presets + "/p/settings.ini");
  r = RunInProcess({"run", "--presets", small_presets, "--preset", "p", "--set",
                    "urls2grab=@" + big, "--set", "esitename=New"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "Stream write error.\n");
  EXPECT_EQ(ReadFileForTest(small_presets + "/p/urls2grab.txt"), "http://old/");
  EXPECT_EQ(ReadFileForTest(small_presets + "/p/settings.ini"), settings);
  for (const std::string& name : Names(small_presets + "/p")) {
    EXPECT_NE(name.rfind(".vb-", 0), 0u) << name;
  }
}

TEST(HostileOutput, PagesThatDoNotFitFailTheSaveAndLeaveNoHalfPage) {
  TempDir dir;
  SmallFileSystem out(dir.path() + "/out");
  if (!out.mounted()) GTEST_SKIP() << "mounting a tmpfs needs root";
  const std::string presets = dir.path() + "/P";
  std::string page;
  for (int i = 0; i < 3000; ++i) page += "word" + std::to_string(i % 50) + " ";
  WriteFileForTest(presets + "/p/Files/a.htm", page);
  // A template of 40 KB: the 64 KB file system takes one page at most.
  const std::string template_file = dir.path() + "/template.htm";
  WriteFileForTest(template_file, "<!-- " + std::string(40000, 'x') +
                                      " -->\r\n<html><body>$content$</body></html>\r\n");
  WriteFileForTest(dir.path() + "/out/index.htm", "old");
  CommandResult r =
      RunInProcess({"run", "--presets", presets, "--preset", "p", "--seed", "2", "--set",
                    "eresfolder=" + dir.path() + "/out", "--set", "htmltemplate=@" + template_file,
                    "extract", "phrases", "generate", "save"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "Stream write error.\n");
  // Every file holds its old content or its whole new one.
  for (const std::string& name : Names(dir.path() + "/out")) {
    const std::string content = ReadFileForTest(dir.path() + "/out/" + name);
    EXPECT_TRUE(content == "old" || content.ends_with("</html>\r\n")) << name;
  }
}

TEST(HostileMemory, AStepOutOfMemoryFailsWithItsMessageAndThePresetIsSaved) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "an address-space limit leaves no room for the sanitizer's shadow memory";
#else
  TempDir dir;
  const std::string presets = dir.path() + "/P";
  // 50 MB of distinct words: the file and its word table do not fit in the
  // 100 MB of address space the command gets, of which it needs 40 to start.
  std::string page;
  page.reserve(52u << 20);
  for (unsigned i = 0; page.size() < (50u << 20); ++i)
    page += "w" + std::to_string(i % 400000) + " ";
  WriteFileForTest(presets + "/p/Files/big.htm", page);
  page.clear();
  page.shrink_to_fit();
  CommandResult r = RunShell("ulimit -v 100000 && exec \"$VB\" run --presets '" + presets +
                             "' --preset p --set esitename=Saved extract --dump words");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Out of memory.\n");
  EXPECT_NE(ReadFileForTest(presets + "/p/settings.ini").find("SiteName=Saved\r\n"),
            std::string::npos);
#endif
}

}  // namespace
}  // namespace vellora
