// Fetches 500 pages, one by one, from a private nginx on 127.0.0.1: with
// THttpClient (the client of "vellora fetch" and the grabber), with one curl
// process per URL, and with one curl process for all URLs. Prints pages per
// second and the ratios (best of ROUNDS; curl per URL runs one round).
// Usage:
//   fetch_bench [PAGES] [ROUNDS]
// Every body the client receives is compared with the file served.

#include <fcntl.h>
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
    std::fprintf(stderr, "usage: fetch_bench [PAGES] [ROUNDS]\n");
    return 2;
  }

  ScratchFolder folder("vellora-fetch-bench");
  std::filesystem::create_directories(folder.Path() + "www");
  std::vector<std::string> contents;
  size_t total_bytes = 0;
  for (int i = 0; i < pages; ++i) {
    contents.push_back(MakeTextPage(i));
    total_bytes += contents.back().size();
    WriteWholeFile(folder.Path() + "www/page" + std::to_string(i) + ".html", contents.back());
  }
  std::string root = folder.Path();
  root.pop_back();
  testing::NginxServer nginx(root);
  if (!nginx.running()) {
    std::fprintf(stderr, "nginx did not start (see %serror.log)\n", folder.Path().c_str());
    return 1;
  }
  std::vector<std::string> urls;
  for (int i = 0; i < pages; ++i) urls.push_back(nginx.url("/page" + std::to_string(i) + ".html"));
  std::printf("%d pages, %.1f KB on average, nginx on 127.0.0.1:%u, best of %d rounds\n", pages,
              total_bytes / 1024.0 / pages, nginx.port(), rounds);

  // THttpClient: one client, one Get per page, as the grabber does.
  double client_best = 1e9;
  {
    PollEventLoop loop;
    THttpClient http(loop);
    std::string body;
    http.ReceiveStream = &body;
    for (int round = 0; round < rounds; ++round) {
      Stopwatch watch;
      for (int i = 0; i < pages; ++i) {
        body.clear();
        http.URL = urls[i];
        http.Get();
        if (body != contents[i]) {
          std::fprintf(stderr, "page %d differs (%zu bytes)\n", i, body.size());
          return 1;
        }
      }
      client_best = std::min(client_best, watch.Seconds());
    }
  }

  // curl, one process per URL: one round only, it is slow enough.
  double per_url_best = 1e9;
  for (int round = 0; round < 1; ++round) {
    Stopwatch watch;
    for (const std::string& url : urls) {
      if (RunQuietly({kCurl, "-s", "-o", "/dev/null", url}) != 0) {
        std::fprintf(stderr, "curl failed on %s\n", url.c_str());
        return 1;
      }
    }
    per_url_best = std::min(per_url_best, watch.Seconds());
  }

  // curl, one process for all URLs (it keeps the connection open between
  // them), once with its defaults and once limited to HTTP/1.0.
  std::string config = folder.Path() + "curl.conf";
  std::string lines;
  for (const std::string& url : urls) lines += "url = \"" + url + "\"\noutput = \"/dev/null\"\n";
  WriteWholeFile(config, lines);
  double single_best = 1e9, single10_best = 1e9;
  for (int round = 0; round < rounds; ++round) {
    Stopwatch watch;
    if (RunQuietly({kCurl, "-s", "-K", config}) != 0) return 1;
    single_best = std::min(single_best, watch.Seconds());
    Stopwatch watch10;
    if (RunQuietly({kCurl, "-s", "--http1.0", "-K", config}) != 0) return 1;
    single10_best = std::min(single10_best, watch10.Seconds());
  }

  auto rate = [pages](double seconds) { return pages / seconds; };
  std::printf("%-40s %10.0f pages/s\n", "THttpClient (Get per page, HTTP/1.0)", rate(client_best));
  std::printf("%-40s %10.0f pages/s\n", "curl, one process per URL", rate(per_url_best));
  std::printf("%-40s %10.0f pages/s\n", "curl, one process (keep-alive)", rate(single_best));
  std::printf("%-40s %10.0f pages/s\n", "curl, one process, --http1.0", rate(single10_best));
  std::printf("ratio THttpClient / curl per URL:          %.2f\n", per_url_best / client_best);
  std::printf("ratio THttpClient / curl one process:      %.2f\n", single_best / client_best);
  std::printf("ratio THttpClient / curl one process 1.0:  %.2f\n", single10_best / client_best);
  return 0;
}
