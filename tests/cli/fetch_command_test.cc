// Runs "vellora fetch" against scripted servers: in-process, and the built
// program where a signal reaches it while it runs.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "base/file_io.h"
#include "cli/command_runner.h"
#include "cli/in_process.h"
#include "http/script_server.h"

namespace vellora {
namespace {

using testing::ScriptServer;
using testing::ServerStep;

struct CommandRun {
  int status = -1;  // exit status; -1 when killed by the time limit
  std::string out, err;
};

class FetchCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vellora-fetch-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  // Runs vellora with `args`; with `while_running`, the built program, whose
  // pid it gets while the program runs.
  CommandRun Vellora(std::vector<std::string> args,
                     const std::function<void(pid_t)>& while_running = nullptr) {
    CommandResult result =
        while_running
            ? RunVelloraWithStdout(std::move(args), folder_ + "/stdout", folder_, while_running)
            : RunInProcess(args);
    return CommandRun{result.exit_code, result.out, result.err};
  }

  std::string folder_;
};

TEST_F(FetchCommandTest, WritesTheBodyToAFileOrToStdout) {
  ScriptServer server(
      {{"HTTP/1.0 200 OK\r\nContent-Length: 6\r\n\r\nbody\r\n"},
       {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n"},
       {"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n"}});
  ASSERT_TRUE(server.ok());
  std::string file = folder_ + "/page.htm";
  CommandRun run = Vellora({"fetch", server.url("/p"), "-o", file});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadWholeFile(file), "body\r\n");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");

  run = Vellora({"fetch", "--verbose", server.url("/p")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "abc");
  EXPECT_EQ(run.err, "200 OK\n");

  std::string empty = folder_ + "/empty.htm";
  run = Vellora({"fetch", server.url("/e"), "-o", empty});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(FileExists(empty));
  EXPECT_EQ(ReadWholeFile(empty), "");
}

TEST_F(FetchCommandTest, AFailedRequestPrintsItsMessageAndWritesNoFile) {
  ScriptServer server({{"HTTP/1.0 404 Not Found\r\nContent-Length: 4\r\n\r\ngone"},
                       {"HTTP/1.0 404 Not Found\r\nContent-Length: 4\r\n\r\ngone"}});
  ASSERT_TRUE(server.ok());
  std::string file = folder_ + "/missing.htm";
  CommandRun run = Vellora({"fetch", server.url("/m"), "-o", file});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Not Found.\n");
  EXPECT_FALSE(FileExists(file));

  run = Vellora({"fetch", "--verbose", server.url("/m"), "-o", file});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Not Found.\n404 Not Found\n");

  run = Vellora({"fetch", "http://127.0.0.1:" + std::to_string(testing::UnusedPort()) + "/"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Connection refused (Error #10061)\n");
}

TEST_F(FetchCommandTest, AShortBodyOrAnUnsafeUrlFailsAndWritesNoFile) {
  ScriptServer server({{"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nabc"}});
  ASSERT_TRUE(server.ok());
  std::string file = folder_ + "/page.htm";
  CommandRun run = Vellora({"fetch", server.url("/p"), "-o", file});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Connection closed before the end of the body (3 of 10 bytes came)\n");
  EXPECT_FALSE(FileExists(file));

  run = Vellora({"fetch", server.url("/p\r\nX-Injected: 1"), "-o", file});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Invalid URL: it holds a control character (0x0D)\n");
  EXPECT_FALSE(FileExists(file));
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(FetchCommandTest, CtrlCAbortsAWaitingRequest) {
  ServerStep silent;
  silent.silent = true;
  ScriptServer server({silent});
  ASSERT_TRUE(server.ok());
  std::string file = folder_ + "/never.htm";
  CommandRun run = Vellora({"fetch", server.url("/slow"), "-o", file}, [&](pid_t pid) {
    for (int i = 0; i < 500 && server.requests().empty(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGINT);
  });
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Connection aborted on request.\n");
  EXPECT_FALSE(FileExists(file));
}

TEST_F(FetchCommandTest, CtrlCAndTheTimeLimitEndAStalledTlsHandshake) {
  // The server accepts and never answers the client's hello.
  ServerStep silent;
  silent.read_request = false;
  silent.silent = true;
  ScriptServer server({silent, silent});
  ASSERT_TRUE(server.ok());
  std::string url = "https://127.0.0.1:" + std::to_string(server.port()) + "/";
  std::string file = folder_ + "/never.htm";
  CommandRun run = Vellora({"fetch", "--https", url, "-o", file}, [&](pid_t pid) {
    for (int i = 0; i < 500 && server.connections() == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kill(pid, SIGINT);
  });
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Connection aborted on request.\n");
  EXPECT_FALSE(FileExists(file));

  run = Vellora({"fetch", "--https", "--timeout", "1", url, "-o", file});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Connection timed out.\n");
  EXPECT_FALSE(FileExists(file));
}

TEST_F(FetchCommandTest, TimeoutEndsAWaitOnASilentServer) {
  ServerStep silent;
  silent.silent = true;
  ScriptServer server({silent});
  ASSERT_TRUE(server.ok());
  std::string file = folder_ + "/never.htm";
  auto start = std::chrono::steady_clock::now();
  CommandRun run = Vellora({"fetch", "--timeout", "1", server.url("/slow"), "-o", file});
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Connection timed out.\n");
  EXPECT_FALSE(FileExists(file));
}

TEST_F(FetchCommandTest, RejectsBadUsage) {
  EXPECT_EQ(Vellora({"fetch", "--timeout", "3601", "http://a/"}).status, 2);
  EXPECT_EQ(Vellora({"fetch", "--timeout", "-1", "http://a/"}).status, 2);
  EXPECT_EQ(Vellora({"fetch", "--timeout", "1s", "http://a/"}).status, 2);
  EXPECT_EQ(Vellora({"fetch", "http://a/", "--timeout"}).status, 2);
  EXPECT_EQ(Vellora({"fetch"}).status, 2);
  EXPECT_EQ(Vellora({"fetch", "http://a/", "http://b/"}).status, 2);
  EXPECT_EQ(Vellora({"fetch", "http://a/", "-o"}).status, 2);
  EXPECT_EQ(Vellora({"fetch", "--bogus", "http://a/"}).status, 2);
}

}  // namespace
}  // namespace vellora
