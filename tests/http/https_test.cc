// HTTPS against a private nginx (certificates of a test authority, trusted
// through SSL_CERT_FILE) and against servers that break the handshake or
// the session's end.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "base/file_io.h"
#include "base/poll_event_loop.h"
#include "http/http_client.h"
#include "http/http_test_util.h"
#include "http/nginx_server.h"
#include "http/script_server.h"
#include "http/tls_script_server.h"

namespace vellora {
namespace {

using testing::GetOutcome;
using testing::GetWithWatchdog;
using testing::ScriptServer;
using testing::ServerStep;

// TLS listeners of the suite's nginx.
enum Listener : size_t { kGood, kOtherHost, kExpired, kSelfSigned };

class HttpsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/vellora-https-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = new std::string(pattern);
    const std::string& d = *folder_;
    std::string make = "bash " VB_SOURCE_DIR "/scripts/tls-certs.sh " + d + "/certs";
    ASSERT_EQ(std::system(make.c_str()), 0) << make;
    setenv("SSL_CERT_FILE", (d + "/certs/ca.pem").c_str(), 1);
    std::filesystem::create_directories(d + "/www/sub");
    if (access(testing::kNginxPath, X_OK) != 0) return;
    testing::NginxOptions options;
    for (const char* name : {"localhost", "other", "expired", "selfsigned"}) {
      options.tls.push_back({d + "/certs/" + name + ".pem", d + "/certs/" + name + ".key"});
    }
    options.server_lines =
        "    location = /to-https { return 301 https://localhost:{tls0}/page.htm; }\n"
        "    location = /to-http { return 302 http://127.0.0.1:{http}/page.htm; }\n";
    nginx_ = new testing::NginxServer(d, options);
  }
  static void TearDownTestSuite() {
    delete nginx_;
    nginx_ = nullptr;
    std::filesystem::remove_all(*folder_);
    delete folder_;
    unsetenv("SSL_CERT_FILE");
  }
  void SetUp() override {
    http_.ReceiveStream = &body_;
    http_.AllowHttps = true;
  }
  void NeedNginx() {
    if (access(testing::kNginxPath, X_OK) != 0) GTEST_SKIP() << "nginx is not installed";
    ASSERT_TRUE(nginx_ != nullptr && nginx_->running())
        << "nginx did not start; see " << *folder_ << "/error.log";
  }
  static void Serve(const std::string& name, const std::string& content) {
    WriteWholeFile(*folder_ + "/www/" + name, content);
  }
  GetOutcome Get(const std::string& url, int limit_ms = 10000) {
    http_.URL = url;
    body_.clear();
    return GetWithWatchdog(http_, loop_, limit_ms);
  }

  static std::string* folder_;
  static testing::NginxServer* nginx_;
  PollEventLoop loop_;
  THttpClient http_{loop_};
  std::string body_;
};

std::string* HttpsTest::folder_ = nullptr;
testing::NginxServer* HttpsTest::nginx_ = nullptr;

TEST_F(HttpsTest, FetchesPagesByteIdenticalByNameAndByAddress) {
  NeedNginx();
  std::string binary;
  uint32_t state = 777;
  for (int i = 0; i < 400000; ++i) {
    state = state * 1103515245u + 12345u;
    binary += static_cast<char>(state >> 24);
  }
  const std::vector<std::pair<std::string, std::string>> files = {
      {"page.htm", "<html><body>over TLS</body></html>\n"},
      {"data.bin", binary},
      {"empty.txt", ""},
      {"lines.txt", std::string(9000, 'x') + "\r\n\n\r" + std::string(100, 'y')},
      {"sub/index.html", "<p>sub</p>"}};
  for (const auto& [name, content] : files) Serve(name, content);
  for (const std::string host : {"localhost", "127.0.0.1"}) {
    for (const auto& [name, content] : files) {
      GetOutcome outcome = Get(nginx_->https_url("/" + name, kGood, host));
      EXPECT_FALSE(outcome.raised) << host << " " << name << ": " << outcome.message;
      EXPECT_EQ(http_.StatusCode(), 200);
      EXPECT_TRUE(body_ == content) << name << ": " << body_.size() << " bytes, want "
                                    << content.size();
    }
  }
  // A folder without its slash: nginx relocates within https.
  GetOutcome outcome = Get(nginx_->https_url("/sub"));
  EXPECT_FALSE(outcome.raised) << outcome.message;
  EXPECT_EQ(body_, "<p>sub</p>");

  // Kept alive under HTTP/1.1: the second page goes over the same session.
  http_.SetRequestVer("1.1");
  http_.Connection = "keep-alive";
  EXPECT_FALSE(Get(nginx_->https_url("/page.htm")).raised);
  uint64_t first_reads = http_.CtrlSocket().ReadCount();
  EXPECT_FALSE(Get(nginx_->https_url("/data.bin")).raised);
  EXPECT_TRUE(body_ == binary);
  EXPECT_GT(http_.CtrlSocket().ReadCount(), first_reads);  // the count runs on: same connection

  // Off, https stays refused as before, also where a session is still open.
  http_.AllowHttps = false;
  outcome = Get(nginx_->https_url("/page.htm"));
  EXPECT_EQ(outcome.error_number, 501);
  EXPECT_EQ(outcome.message, "Protocol \"https\" not implemented");
}

TEST_F(HttpsTest, FollowsRelocationsBetweenHttpAndHttps) {
  NeedNginx();
  Serve("page.htm", "<html><body>over TLS</body></html>\n");
  GetOutcome outcome = Get(nginx_->url("/to-https"));
  EXPECT_FALSE(outcome.raised) << outcome.message;
  EXPECT_EQ(body_, "<html><body>over TLS</body></html>\n");
  EXPECT_EQ(http_.LocationChangeCurCount(), 2);
  outcome = Get(nginx_->https_url("/to-http"));
  EXPECT_FALSE(outcome.raised) << outcome.message;
  EXPECT_EQ(body_, "<html><body>over TLS</body></html>\n");

  http_.AllowHttps = false;
  outcome = Get(nginx_->url("/to-https"));
  EXPECT_EQ(outcome.error_number, 501);
  EXPECT_EQ(outcome.message, "Protocol \"https\" not implemented");
}

TEST_F(HttpsTest, CertificatesThatDoNotProveTheServerEndTheRequest) {
  NeedNginx();
  Serve("page.htm", "secret");
  struct Case {
    size_t listener;
    std::string host, reason;
  } cases[] = {
      {kOtherHost, "localhost", "TLS: certificate is not valid for localhost"},
      {kOtherHost, "127.0.0.1", "TLS: certificate is not valid for 127.0.0.1"},
      {kExpired, "localhost", "TLS handshake failed: certificate verify failed (certificate has expired)"},
      {kSelfSigned, "localhost",
       "TLS handshake failed: certificate verify failed (self-signed certificate)"},
  };
  for (const Case& test : cases) {
    GetOutcome outcome = Get(nginx_->https_url("/page.htm", test.listener, test.host));
    EXPECT_TRUE(outcome.raised);
    EXPECT_EQ(outcome.error_number, 404);
    EXPECT_EQ(outcome.message, test.reason);
    EXPECT_EQ(body_, "");
    EXPECT_EQ(http_.State(), httpReady);
  }
  // The authority is what made the good certificate acceptable.
  setenv("SSL_CERT_FILE", (*folder_ + "/certs/localhost.pem").c_str(), 1);
  GetOutcome outcome = Get(nginx_->https_url("/page.htm"));
  setenv("SSL_CERT_FILE", (*folder_ + "/certs/ca.pem").c_str(), 1);
  EXPECT_EQ(outcome.message,
            "TLS handshake failed: certificate verify failed (unable to get local issuer "
            "certificate)");
  EXPECT_FALSE(Get(nginx_->https_url("/page.htm")).raised);
  EXPECT_EQ(body_, "secret");
}

TEST_F(HttpsTest, APlainHttpServerOnTheTlsPortIsAClearFailure) {
  NeedNginx();
  GetOutcome outcome = Get("https://127.0.0.1:" + std::to_string(nginx_->port()) + "/page.htm");
  EXPECT_EQ(outcome.error_number, 404);
  EXPECT_EQ(outcome.message.rfind("TLS handshake failed: ", 0), 0u) << outcome.message;
  EXPECT_EQ(body_, "");

  ServerStep plain{"HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello"};
  plain.read_request = false;
  ScriptServer server({plain});
  ASSERT_TRUE(server.ok());
  outcome = Get("https://127.0.0.1:" + std::to_string(server.port()) + "/");
  EXPECT_EQ(outcome.message, "TLS handshake failed: wrong version number");
  EXPECT_EQ(body_, "");
}

TEST_F(HttpsTest, AServerThatStopsOrStallsInTheHandshakeEndsTheRequest) {
  ServerStep closes{""};
  closes.read_request = false;
  closes.delay_ms = 50;
  ServerStep half = closes;  // a record header that promises 64 bytes, then the close
  half.answer = std::string("\x16\x03\x03\x00\x40\x02", 6);
  ServerStep resets = closes;
  resets.reset = true;
  ServerStep silent;
  silent.read_request = false;
  silent.silent = true;
  ScriptServer server({closes, half, resets, silent, silent});
  ASSERT_TRUE(server.ok());
  const std::string url = "https://127.0.0.1:" + std::to_string(server.port()) + "/";
  GetOutcome outcome = Get(url);
  EXPECT_EQ(outcome.message, "TLS handshake failed: the server closed the connection");
  outcome = Get(url);
  EXPECT_EQ(outcome.message, "TLS handshake failed: the server closed the connection");
  outcome = Get(url);
  EXPECT_EQ(outcome.message,
            "TLS handshake failed: the server closed the connection (Connection reset by peer "
            "(Error #10054))");
  EXPECT_EQ(outcome.error_number, 404);

  // Never answered: the time limit ends the wait, or the loop's terminate request.
  http_.Timeout = 1;
  auto start = std::chrono::steady_clock::now();
  outcome = Get(url);
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(outcome.message, "Connection timed out");
  EXPECT_FALSE(outcome.timed_out);
  EXPECT_GE(waited, std::chrono::milliseconds(900));
  EXPECT_LT(waited, std::chrono::milliseconds(3000));
  http_.Timeout = 0;
  outcome = Get(url, 500);
  EXPECT_TRUE(outcome.timed_out);  // the terminate request (as Ctrl-C) ended it
  EXPECT_EQ(outcome.message, "Connection aborted on request");
  EXPECT_EQ(http_.State(), httpReady);
}

TEST_F(HttpsTest, ABodyEndingAtTheCloseNeedsTheServersCloseNotify) {
  const std::string certs = *folder_ + "/certs/";
  testing::TlsScriptServer server(
      certs + "localhost.pem", certs + "localhost.key",
      {{"HTTP/1.0 200 OK\r\n\r\nwhole body", true},
       {"HTTP/1.0 200 OK\r\n\r\ncut bo", false},
       {"HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nfull", false},
       {"HTTP/1.0 200 OK\r\nContent-Length: 40\r\n\r\nshort", true}});
  ASSERT_TRUE(server.ok());
  GetOutcome outcome = Get(server.url("/1"));
  EXPECT_FALSE(outcome.raised) << outcome.message;
  EXPECT_EQ(body_, "whole body");
  outcome = Get(server.url("/2"));
  EXPECT_EQ(outcome.error_number, 404);
  EXPECT_EQ(outcome.message, "TLS: the connection closed without close_notify (the body may be cut)");
  // With a length the end is known, and a short body fails as over plain HTTP.
  outcome = Get(server.url("/3"));
  EXPECT_FALSE(outcome.raised) << outcome.message;
  EXPECT_EQ(body_, "full");
  outcome = Get(server.url("/4"));
  EXPECT_EQ(outcome.message, "Connection closed before the end of the body (5 of 40 bytes came)");
}

TEST_F(HttpsTest, ConnectionsToTheSameServerResumeTheSession) {
  const std::string certs = *folder_ + "/certs/";
  testing::TlsScriptServer server(certs + "localhost.pem", certs + "localhost.key",
                                  {{"HTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\na"},
                                   {"HTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\nb"},
                                   {"HTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\nc"}});
  ASSERT_TRUE(server.ok());
  for (const char* body : {"a", "b", "c"}) {
    GetOutcome outcome = Get(server.url("/"));
    EXPECT_FALSE(outcome.raised) << outcome.message;
    EXPECT_EQ(body_, body);
  }
  EXPECT_EQ(server.resumed(), 2);
}

}  // namespace
}  // namespace vellora
