// The run and presets subcommands, driven as a user drives them.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/command_runner.h"
#include "cli/in_process.h"
#include "test_util.h"

namespace vellora {
namespace {

namespace fs = std::filesystem;

TEST(RunCommand, CreateMakesThePresetAndSavesItOnExit) {
  TempDir dir;
  std::string presets = dir.path() + "/T";
  CommandResult r = RunInProcess({"run", "--presets", presets, "--preset", "alpha", "--create"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_TRUE(fs::is_directory(presets + "/alpha/Files"));
  int files = 0;
  for (const auto& entry : fs::directory_iterator(presets + "/alpha")) {
    if (entry.is_regular_file()) ++files;
  }
  EXPECT_EQ(files, 11);
  std::string ini = ReadFileForTest(presets + "/alpha/settings.ini");
  EXPECT_EQ(ini.rfind("[GENERAL]\r\nMinWordRate=1\r\n", 0), 0u);
  EXPECT_NE(ini.find("\r\nDataURL=http://\r\n"), std::string::npos);
  EXPECT_EQ(ini.find("Charset"), std::string::npos);
}

TEST(RunCommand, SetAndDumpWorkOnFieldsAndPersist) {
  TempDir dir;
  std::string presets = dir.path() + "/T";
  WriteFileForTest(dir.path() + "/urls.txt", "http://a/\nhttp://b/\n");
  CommandResult r = RunInProcess({"run",    "--presets",
                                  presets,  "--preset",
                                  "p",      "--create",
                                  "--set",  "phraselength=50",
                                  "--set",  "urls2grab=@" + dir.path() + "/urls.txt",
                                  "--set",  "esitename=Site",
                                  "--dump", "phraselength",
                                  "--dump", "urls2grab",
                                  "--dump", "esitename",
                                  "--dump", "words"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "10\nhttp://a/\r\nhttp://b/\r\nSite\n");
  CommandResult again =
      RunInProcess({"run", "--presets", presets, "--preset", "p", "--dump", "phraselength",
                    "--dump", "echarset", "--no-save", "--set", "echarset=utf-8"});
  ASSERT_EQ(again.exit_code, 0) << again.err;
  EXPECT_EQ(again.out, "10\nutf-8\n");
}

TEST(RunCommand, UsageAndPresetErrorsHaveTheirExitCodes) {
  TempDir dir;
  std::string presets = dir.path() + "/T";
  EXPECT_EQ(RunInProcess({"run", "--presets", presets}).exit_code, 2);
  EXPECT_EQ(RunInProcess({"run", "--presets", presets, "--preset", "a", "fly"}).exit_code, 2);
  EXPECT_EQ(
      RunInProcess({"run", "--presets", presets, "--preset", "a", "--set", "nope=1"}).exit_code, 2);
  EXPECT_EQ(
      RunInProcess({"run", "--presets", presets, "--preset", "a", "--dump", "nope"}).exit_code, 2);
  CommandResult missing = RunInProcess({"run", "--presets", presets, "--preset", "absent"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.err.find("absent"), std::string::npos);
  CommandResult bad = RunInProcess({"run", "--presets", presets, "--preset", "../x", "--create"});
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_NE(bad.err.find("cannot contain"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir.path() + "/x"));
}

TEST(PresetsCommand, ListsFoldersOnlySortedIgnoringCase) {
  TempDir dir;
  for (const char* name : {"beta", "Alpha", ".cache"})
    fs::create_directories(dir.path() + "/" + name);
  WriteFileForTest(dir.path() + "/notes.txt", "");
  CommandResult r = RunInProcess({"presets", "--presets", dir.path()});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "Alpha\nbeta\n");
}

TEST(RunCommand, AMissingDefaultTextStopsStartUpAndSavesNothing) {
  TempDir dir;
  // A copy of the program with only some of its default texts beside it.
  fs::copy_file(VELLORA_EXE, dir.path() + "/vellora");
  fs::permissions(dir.path() + "/vellora", fs::perms::owner_all);
  fs::copy_file(std::string(VB_BIN_DIR) + "/ini_excludeexact.txt",
                dir.path() + "/ini_excludeexact.txt");
  std::string presets = dir.path() + "/T";
  CommandResult r = RunProgram(dir.path() + "/vellora",
                               {"run", "--presets", presets, "--preset", "a", "--create"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "Cannot open file \"" + dir.path() +
                       "/ini_excludecontain.txt\". No such file or directory.\n");
  EXPECT_FALSE(fs::exists(presets + "/a"));
}

}  // namespace
}  // namespace vellora
