// The small value types: integer spins, the random generator, the top-level
// message rule and file errors.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <new>

#include "base/errors.h"
#include "base/file_io.h"
#include "base/integer_spin.h"
#include "base/random.h"
#include "test_util.h"

namespace vellora {
namespace {

TEST(IntegerSpin, ReadsTextAsNumberOrMinimumAndClampsOnSet) {
  IntegerSpin spin(1, 10, 4);
  EXPECT_EQ(spin.Value(), 4);
  spin.SetText("50");
  EXPECT_EQ(spin.Value(), 50);  // typed text is not clamped until it is left
  spin.ClampText();
  EXPECT_EQ(spin.Text(), "10");
  spin.SetText("abc");
  EXPECT_EQ(spin.Value(), 1);
  spin.SetText("");
  EXPECT_EQ(spin.Value(), 1);
  spin.SetText("99999999999");
  EXPECT_EQ(spin.Value(), 1);
  spin.SetValue(-5);
  EXPECT_EQ(spin.Text(), "1");
  spin.SetValue(7);
  spin.Step(+1);
  EXPECT_EQ(spin.Value(), 8);
  spin.SetValue(10);
  spin.Step(+1);
  EXPECT_EQ(spin.Value(), 10);
}

TEST(RandomGenerator, FollowsTheLinearCongruentialSequence) {
  RandomGenerator random(0);
  // seed' = 1 -> (100 * 1) >> 32 = 0
  EXPECT_EQ(random.Random(100), 0u);
  EXPECT_EQ(random.Seed(), 1u);
  // seed' = 134775814 -> (100 * 134775814) >> 32 = 3
  EXPECT_EQ(random.Random(100), 3u);
  EXPECT_EQ(random.Seed(), 134775814u);
  uint32_t seed = 134775814u;
  for (int i = 0; i < 1000; ++i) {
    seed = seed * 134775813u + 1u;
    uint32_t expected = static_cast<uint32_t>((uint64_t{1000} * seed) >> 32);
    ASSERT_EQ(random.Random(1000), expected);
  }
  RandomGenerator between(42);
  for (int i = 0; i < 1000; ++i) {
    int64_t v = between.RandomBetween(3, 5);
    ASSERT_GE(v, 3);
    ASSERT_LE(v, 5);
  }
  EXPECT_EQ(RandomGenerator(7).RandomBetween(9, 9), 9);
}

TEST(TopLevelMessage, AddsAFullStopOnlyAfterCharactersAboveIt) {
  EXPECT_EQ(TopLevelMessage("Not Found"), "Not Found.");
  EXPECT_EQ(TopLevelMessage("code 7"), "code 7.");
  EXPECT_EQ(TopLevelMessage("Connection refused (Error #10061)"),
            "Connection refused (Error #10061)");
  EXPECT_EQ(TopLevelMessage("Such preset already exists!"), "Such preset already exists!");
  EXPECT_EQ(TopLevelMessage("Done."), "Done.");
  EXPECT_EQ(TopLevelMessage("path: \"x\""), "path: \"x\"");
  EXPECT_EQ(TopLevelMessage(""), "");
}

TEST(TopLevelMessage, TheRuleHoldsForTheMessageAndAHintFollowsAsItStands) {
  EXPECT_EQ(TopLevelMessage(WithHint("Protocol \"https\" not implemented", "Switch it on.")),
            "Protocol \"https\" not implemented.\nSwitch it on.");
  EXPECT_EQ(TopLevelMessage(WithHint("Not Found", "line 2: http://x/")),
            "Not Found.\nline 2: http://x/");
  EXPECT_EQ(TopLevelMessage(WithHint("Refused (Error #10061)", "hint")),
            "Refused (Error #10061)\nhint");
}

TEST(ErrorMessageOf, AFailedAllocationReadsOutOfMemory) {
  EXPECT_EQ(ErrorMessageOf(std::bad_alloc()), "Out of memory");
  EXPECT_EQ(ErrorMessageOf(std::bad_array_new_length()), "Out of memory");
  EXPECT_EQ(ErrorMessageOf(EFileError("Stream write error")), "Stream write error");
  EXPECT_EQ(TopLevelMessage(ErrorMessageOf(std::bad_alloc())), "Out of memory.");
}

TEST(FileIo, WriteErrorNamesThePathAndReasonAndKeepsTheOldFile) {
  TempDir dir;
  try {
    WriteWholeFile(dir.path() + "/missing/x.txt", "data");
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot create file \"" + dir.path() + "/missing/x.txt\". No such file or directory");
  }
  std::string path = dir.path() + "/keep.txt";
  WriteWholeFile(path, "old");
  // A folder where the target stands is refused, and nothing is left behind.
  ::mkdir((dir.path() + "/sub").c_str(), 0755);
  EXPECT_THROW(WriteWholeFile(dir.path() + "/sub", "new"), EFileError);
  // What stands at the temporary name of earlier versions no longer blocks
  // the save, and is left alone.
  ::mkdir((path + ".vb-tmp").c_str(), 0755);
  WriteWholeFile(path, "new");
  EXPECT_EQ(ReadFileForTest(path), "new");
  EXPECT_TRUE(DirectoryExists(path + ".vb-tmp"));
  EXPECT_EQ(ListDirectory(dir.path()).size(), 3u);
}

TEST(FileIo, AnIncompleteWriteIsAStreamWriteErrorAndKeepsTheOldFile) {
  TempDir dir;
  std::string path = dir.path() + "/big.txt";
  WriteWholeFile(path, "old");
  // A file size limit makes the write stop part-way, as a full disk does.
  struct rlimit saved;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 16;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string message;
  try {
    WriteWholeFile(path, std::string(100, 'x'));
  } catch (const EFileError& e) {
    message = e.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_EQ(message, "Stream write error");
  EXPECT_EQ(ReadFileForTest(path), "old");
  ASSERT_EQ(ListDirectory(dir.path()).size(), 1u);  // no temporary file is left
}

TEST(FileIo, ForceDirectoriesMakesEveryMissingParent) {
  TempDir dir;
  EXPECT_TRUE(ForceDirectories(dir.path() + "/a/b/c/"));
  EXPECT_TRUE(DirectoryExists(dir.path() + "/a/b/c"));
  EXPECT_FALSE(ForceDirectories(""));
}

}  // namespace
}  // namespace vellora
