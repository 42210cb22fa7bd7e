// The grab over HTTPS from a private nginx (a test authority trusted through
// SSL_CERT_FILE): several connections give the files of the one-by-one
// grab, http lines relocated to https included, and a line whose
// certificate does not prove its server fails as any unreachable line.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <map>

#include "base/file_io.h"
#include "base/poll_event_loop.h"
#include "http/nginx_server.h"
#include "pipeline/grab_test_support.h"
#include "pipeline/http_page_fetcher.h"
#include "test_util.h"

namespace vellora {
namespace {

namespace fs = std::filesystem;
using testing::GrabOutcome;

TEST(GrabberHttpsTest, SeveralConnectionsGiveTheOneByOneFilesOverHttps) {
  if (access(testing::kNginxPath, X_OK) != 0) GTEST_SKIP() << "nginx is not installed";
  TempDir dir;
  const std::string site = dir.path() + "/site";
  std::string make = "bash " VB_SOURCE_DIR "/scripts/tls-certs.sh " + site + "/certs";
  ASSERT_EQ(std::system(make.c_str()), 0);
  setenv("SSL_CERT_FILE", (site + "/certs/ca.pem").c_str(), 1);
  fs::create_directories(site + "/www");
  const int kPages = 12;
  for (int i = 1; i <= kPages; ++i) {
    std::string page = "<html><body>page " + std::to_string(i) + "</body></html>\n";
    WriteWholeFile(site + "/www/p" + std::to_string(i) + ".htm", page + std::string(i * 3000, 'x'));
  }
  testing::NginxOptions options;
  options.tls.push_back({site + "/certs/localhost.pem", site + "/certs/localhost.key"});
  options.tls.push_back({site + "/certs/other.pem", site + "/certs/other.key"});
  options.server_lines = "    location = /moved { return 301 https://localhost:{tls0}/p2.htm; }\n";
  testing::NginxServer nginx(site, options);
  ASSERT_TRUE(nginx.running()) << "nginx did not start";

  MainState state;
  state.eworkingfolder = dir.path() + "/Files/";
  state.allowhttps = true;
  std::string list;
  for (int i = 1; i <= kPages; ++i) {
    // Every third line is http and relocated to https.
    list += (i % 3 == 0 ? nginx.url("/moved") : nginx.https_url("/p" + std::to_string(i) + ".htm"));
    list += "\r\n";
  }
  state.urls2grab.SetText(list);
  PollEventLoop loop;
  HttpPageFetcher fetcher(loop);
  state.grabconnections.SetValue(1);
  const GrabOutcome one_by_one = testing::GrabAndLook(state, fetcher);
  ASSERT_EQ(one_by_one.error, "");
  ASSERT_EQ(one_by_one.files.size(), static_cast<size_t>(kPages));
  for (int i = 1; i <= kPages; ++i) {
    int page = i % 3 == 0 ? 2 : i;
    EXPECT_EQ(one_by_one.files.at("zarngrab#" + std::to_string(i) + ".htm"),
              ReadWholeFile(site + "/www/p" + std::to_string(page) + ".htm"))
        << i;
  }
  for (int connections : {4, 16}) {
    state.grabconnections.SetValue(connections);
    EXPECT_EQ(testing::GrabAndLook(state, fetcher), one_by_one) << connections;
    EXPECT_TRUE(fetcher.Idle());
  }

  // Line 5 has a certificate for another name: lines 1-4 are written.
  std::string bad_list;
  for (int i = 1; i <= 8; ++i) {
    bad_list += nginx.https_url("/p" + std::to_string(i) + ".htm", i == 5 ? 1 : 0) + "\r\n";
  }
  state.urls2grab.SetText(bad_list);
  for (int connections : {1, 4}) {
    state.grabconnections.SetValue(connections);
    GrabOutcome outcome = testing::GrabAndLook(state, fetcher);
    EXPECT_EQ(outcome.error,
              "TLS: certificate is not valid for localhost\nAt line 5 of the list: " +
                  nginx.https_url("/p5.htm", 1))
        << connections;
    EXPECT_EQ(outcome.files.size(), 4u);
    EXPECT_TRUE(fetcher.Idle());
  }
  unsetenv("SSL_CERT_FILE");
}

}  // namespace
}  // namespace vellora
