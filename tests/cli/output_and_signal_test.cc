// The command's outcome when its output cannot be written (a full device, a
// device node as the output file) and when it is told to end (SIGTERM and
// SIGHUP while a download waits).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/file_io.h"
#include "cli/command_runner.h"
#include "http/script_server.h"
#include "test_util.h"

namespace vellora {
namespace {

using testing::ScriptServer;
using testing::ServerStep;

// Sends `signal_number` once the server has seen the request.
std::function<void(pid_t)> SignalOnceRequested(ScriptServer& server, int signal_number) {
  return [&server, signal_number](pid_t pid) {
    for (int i = 0; i < 500 && server.requests().empty(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, signal_number);
  };
}

TEST(FetchOutput, ADeviceNodeAsOutputIsWrittenNotReplaced) {
  TempDir dir;
  const std::string node = dir.path() + "/null";
  if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
    GTEST_SKIP() << "mknod is not permitted here";
  }
  ScriptServer server({{"HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nbody"}});
  ASSERT_TRUE(server.ok());
  CommandResult run = RunVelloraWithStdout({"fetch", server.url("/p"), "-o", node},
                                           dir.path() + "/out", dir.path());
  EXPECT_EQ(run.exit_code, 0) << run.err;
  struct stat st;
  ASSERT_EQ(::lstat(node.c_str(), &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_EQ(ListDirectory(dir.path()).size(), 3u);  // null, out, stderr
}

TEST(FetchOutput, AFullDeviceIsAFailureWhetherNamedOrAsStdout) {
  TempDir dir;
  ScriptServer server({{"HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nbody"},
                       {"HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nbody"},
                       {"HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nbody"}});
  ASSERT_TRUE(server.ok());
  CommandResult run = RunVelloraWithStdout({"fetch", server.url("/p"), "-o", "/dev/full"},
                                           dir.path() + "/out", dir.path());
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "Stream write error.\n");
  run = RunVelloraWithStdout({"fetch", server.url("/p")}, "/dev/full", dir.path());
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "Cannot write to standard output. No space left on device.\n");
  // /dev/stdout names the command's own output, here a file.
  run = RunVelloraWithStdout({"fetch", server.url("/p"), "-o", "/dev/stdout"}, dir.path() + "/out",
                             dir.path());
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(ReadFileForTest(dir.path() + "/out"), "body");
}

TEST(FetchSignals, SigtermAndSighupAbortAWaitingRequest) {
  for (int signal_number : {SIGTERM, SIGHUP}) {
    TempDir dir;
    ServerStep silent;
    silent.silent = true;
    ScriptServer server({silent});
    ASSERT_TRUE(server.ok());
    const std::string file = dir.path() + "/never.htm";
    CommandResult run =
        RunVelloraWithStdout({"fetch", server.url("/slow"), "-o", file}, dir.path() + "/out",
                             dir.path(), SignalOnceRequested(server, signal_number));
    EXPECT_EQ(run.exit_code, 1) << signal_number;
    EXPECT_EQ(run.err, "Connection aborted on request.\n");
    EXPECT_FALSE(FileExists(file));
  }
}

TEST(RunSignals, SigtermDuringAWaitingGrabEndsTheRunAndSavesThePreset) {
  TempDir dir;
  ServerStep silent;
  silent.silent = true;
  ScriptServer server({silent});
  ASSERT_TRUE(server.ok());
  const std::string presets = dir.path() + "/Presets";
  CommandResult run =
      RunVelloraWithStdout({"run", "--presets", presets, "--preset", "p", "--create", "--set",
                            "urls2grab=" + server.url("/wait"), "grab", "extract"},
                           dir.path() + "/out", dir.path(), SignalOnceRequested(server, SIGTERM));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "Connection aborted on request.\n");
  EXPECT_EQ(ReadFileForTest(presets + "/p/urls2grab.txt"), server.url("/wait"));
  EXPECT_TRUE(FileExists(presets + "/p/settings.ini"));
  EXPECT_FALSE(FileExists(presets + "/p/Files/zarngrab#1.htm"));
}

TEST(RunOutput, AnInformationMessageThatCannotBeWrittenFailsTheStep) {
  TempDir dir;
  const std::string presets = dir.path() + "/Presets";
  CommandResult run = RunVelloraWithStdout(
      {"run", "--presets", presets, "--preset", "p", "--create", "delete-all", "extract"},
      "/dev/full", dir.path());
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "Cannot write to standard output. No space left on device.\n");
  EXPECT_TRUE(FileExists(presets + "/p/settings.ini"));  // still saved
}

}  // namespace
}  // namespace vellora
