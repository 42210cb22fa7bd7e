// A preset whose working folder is missing, run by the command.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/in_process.h"
#include "http/script_server.h"
#include "test_util.h"

namespace vellora {
namespace {

namespace fs = std::filesystem;

// A preset whose working folder was deleted: the command has no folder list
// to root, so only a step that needs the folder reports it.
class MissingWorkingFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunInProcess({"run", "--presets", presets_, "--preset", "p", "--create"}).exit_code,
              0);
    fs::remove_all(presets_ + "/p/Files");
  }
  CommandResult Run(std::vector<std::string> steps) {
    std::vector<std::string> args = {"run", "--presets", presets_, "--preset", "p"};
    args.insert(args.end(), steps.begin(), steps.end());
    return RunInProcess(args);
  }
  TempDir dir_;
  std::string presets_ = dir_.path() + "/P";
};

TEST_F(MissingWorkingFolderTest, StepsThatSucceedExitWithZero) {
  CommandResult r = Run({"delete-all", "delete-grabbed", "extract", "--dump", "words"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "0 files deleted.\n0 files deleted.\n");  // and no words
  EXPECT_TRUE(fs::exists(presets_ + "/p/settings.ini"));
}

TEST_F(MissingWorkingFolderTest, AGrabReportsItsOwnErrorAboutTheFolder) {
  testing::ScriptServer server({{"HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello"}});
  std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/a.htm";
  CommandResult r = Run({"--set", "urls2grab=" + url, "grab"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err.find("Error setting path"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(presets_ + "/p/Files/zarngrab#1.htm"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace vellora
