// Fetches files from a real nginx and compares them byte for byte.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "base/file_io.h"
#include "base/poll_event_loop.h"
#include "http/http_client.h"
#include "http/http_test_util.h"
#include "http/nginx_server.h"

namespace vellora {
namespace {

class NginxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vellora-nginx-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    std::filesystem::create_directories(folder_ + "/www/sub");
  }
  void TearDown() override {
    server_.reset();
    std::filesystem::remove_all(folder_);
  }
  void Serve(const std::string& name, const std::string& content) {
    WriteWholeFile(folder_ + "/www/" + name, content);
    files_.emplace_back(name, content);
  }

  std::string folder_;
  std::unique_ptr<testing::NginxServer> server_;
  std::vector<std::pair<std::string, std::string>> files_;
};

TEST_F(NginxTest, FetchesFilesByteIdentical) {
  if (access(testing::kNginxPath, X_OK) != 0) GTEST_SKIP() << "nginx is not installed";
  std::string binary;
  uint32_t state = 12345;
  for (int i = 0; i < 300000; ++i) {
    state = state * 1103515245u + 12345u;
    binary += static_cast<char>(state >> 24);
  }
  Serve("index.html", "<html><body>Hello</body></html>\n");
  Serve("data.bin", binary);
  Serve("empty.txt", "");
  Serve("lines.txt", std::string(9000, 'x') + "\r\n\n\r" + std::string(100, 'y'));
  Serve("sub/index.html", "<p>sub</p>");
  server_ = std::make_unique<testing::NginxServer>(folder_);
  ASSERT_TRUE(server_->running()) << "nginx did not start; see " << folder_ << "/error.log";

  PollEventLoop loop;
  THttpClient http(loop);
  std::string body;
  http.ReceiveStream = &body;
  for (const auto& [name, content] : files_) {
    body.clear();
    http.URL = server_->url("/" + name);
    testing::GetOutcome outcome = testing::GetWithWatchdog(http, loop);
    EXPECT_FALSE(outcome.raised) << name << ": " << outcome.message;
    EXPECT_FALSE(outcome.timed_out) << name;
    EXPECT_EQ(http.StatusCode(), 200) << name;
    EXPECT_TRUE(body == content) << name << ": " << body.size() << " bytes, want "
                                 << content.size();
  }

  // nginx answers a folder without its slash by a relocation.
  body.clear();
  http.URL = server_->url("/sub");
  testing::GetOutcome outcome = testing::GetWithWatchdog(http, loop);
  EXPECT_FALSE(outcome.raised) << outcome.message;
  EXPECT_EQ(body, "<p>sub</p>");
  EXPECT_EQ(http.LocationChangeCurCount(), 2);

  body.clear();
  http.URL = server_->url("/missing.html");
  outcome = testing::GetWithWatchdog(http, loop);
  EXPECT_TRUE(outcome.raised);
  EXPECT_EQ(outcome.message, "Not Found");
  EXPECT_EQ(outcome.error_number, 404);
}

}  // namespace
}  // namespace vellora
