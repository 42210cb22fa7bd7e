// Fetches 500 pages over HTTPS, one by one, from a private nginx on
// 127.0.0.1 with a certificate of an authority the benchmark makes (trusted
// through SSL_CERT_FILE by the client and --cacert by curl): with THttpClient
// as the grabber uses it (HTTP/1.0, a new connection and TLS session for
// every page, sessions resumed) and kept alive (HTTP/1.1, one session), and
// with one curl process for all URLs, kept alive and with --http1.0. Prints
// pages per second and the ratios (best of ROUNDS).
// Usage:
//   https_fetch_bench [PAGES] [ROUNDS]
// Every body the client receives is compared with the file served.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../tests/http/nginx_server.h"
#include "base/file_io.h"
#include "base/poll_event_loop.h"
#include "bench_support.h"
#include "http/http_client.h"

namespace vellora::bench {
namespace {

constexpr const char kCurl[] = "/usr/bin/curl";

}  // namespace
}  // namespace vellora::bench

int main(int argc, char** argv) {
  using namespace vellora;
  using namespace vellora::bench;
  int pages = argc > 1 ? std::atoi(argv[1]) : 500;
  int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  if (pages <= 0 || rounds <= 0) {
    std::fprintf(stderr, "usage: https_fetch_bench [PAGES] [ROUNDS]\n");
    return 2;
  }

  ScratchFolder folder("vellora-https-bench");
  std::string root = folder.Path();
  root.pop_back();
  std::string make = "bash " VB_SOURCE_DIR "/scripts/tls-certs.sh " + root + "/certs";
  if (std::system(make.c_str()) != 0) {
    std::fprintf(stderr, "could not make the certificates\n");
    return 1;
  }
  const std::string ca = root + "/certs/ca.pem";
  setenv("SSL_CERT_FILE", ca.c_str(), 1);
  std::filesystem::create_directories(root + "/www");
  std::vector<std::string> contents;
  size_t total_bytes = 0;
  for (int i = 0; i < pages; ++i) {
    contents.push_back(MakeTextPage(i));
    total_bytes += contents.back().size();
    WriteWholeFile(root + "/www/page" + std::to_string(i) + ".html", contents.back());
  }
  testing::NginxOptions options;
  options.tls.push_back({root + "/certs/localhost.pem", root + "/certs/localhost.key"});
  options.server_lines = "    keepalive_requests 100000;\n";
  testing::NginxServer nginx(root, options);
  if (!nginx.running()) {
    std::fprintf(stderr, "nginx did not start (see %s/error.log)\n", root.c_str());
    return 1;
  }
  std::vector<std::string> urls;
  for (int i = 0; i < pages; ++i) urls.push_back(nginx.https_url("/page" + std::to_string(i) + ".html"));
  std::printf("%d pages over HTTPS, %.1f KB on average, nginx on localhost:%u, best of %d rounds\n",
              pages, total_bytes / 1024.0 / pages, nginx.tls_port(), rounds);

  auto run_client = [&](bool keep_alive, double& best, double& cpu) -> bool {
    PollEventLoop loop;
    THttpClient http(loop);
    std::string body;
    http.ReceiveStream = &body;
    http.AllowHttps = true;
    if (keep_alive) {
      http.SetRequestVer("1.1");
      http.Connection = "keep-alive";
    }
    for (int round = 0; round < rounds; ++round) {
      Stopwatch watch;
      for (int i = 0; i < pages; ++i) {
        body.clear();
        http.URL = urls[i];
        try {
          http.Get();
        } catch (const std::exception& e) {
          std::fprintf(stderr, "page %d: %s\n", i, e.what());
          return false;
        }
        if (body != contents[i]) {
          std::fprintf(stderr, "page %d differs (%zu bytes)\n", i, body.size());
          return false;
        }
      }
      if (watch.Seconds() < best) {
        best = watch.Seconds();
        cpu = watch.CpuSeconds();
      }
    }
    return true;
  };
  double client_best = 1e9, client_cpu = 0, kept_best = 1e9, kept_cpu = 0;
  if (!run_client(false, client_best, client_cpu) || !run_client(true, kept_best, kept_cpu)) {
    return 1;
  }

  std::string config = root + "/curl.conf";
  std::string lines;
  for (const std::string& url : urls) lines += "url = \"" + url + "\"\noutput = \"/dev/null\"\n";
  WriteWholeFile(config, lines);
  double curl_best = 1e9, curl10_best = 1e9;
  for (int round = 0; round < rounds; ++round) {
    Stopwatch watch;
    if (RunQuietly({kCurl, "-s", "-f", "--cacert", ca, "-K", config}) != 0) {
      std::fprintf(stderr, "curl failed\n");
      return 1;
    }
    curl_best = std::min(curl_best, watch.Seconds());
    Stopwatch watch10;
    if (RunQuietly({kCurl, "-s", "-f", "--http1.0", "--cacert", ca, "-K", config}) != 0) return 1;
    curl10_best = std::min(curl10_best, watch10.Seconds());
  }

  auto rate = [pages](double seconds) { return pages / seconds; };
  std::printf("%-46s %8.0f pages/s (CPU %.2f s)\n", "THttpClient, HTTP/1.0, a session per page",
              rate(client_best), client_cpu);
  std::printf("%-46s %8.0f pages/s (CPU %.2f s)\n", "THttpClient, HTTP/1.1 kept alive",
              rate(kept_best), kept_cpu);
  std::printf("%-46s %8.0f pages/s\n", "curl, one process (keep-alive)", rate(curl_best));
  std::printf("%-46s %8.0f pages/s\n", "curl, one process, --http1.0", rate(curl10_best));
  std::printf("ratio THttpClient 1.0 / curl one process:       %.2f\n", curl_best / client_best);
  std::printf("ratio THttpClient 1.0 / curl one process 1.0:   %.2f\n", curl10_best / client_best);
  std::printf("ratio THttpClient kept alive / curl one process: %.2f\n", curl_best / kept_best);
  return 0;
}
