// The grab with several connections against a server that answers every
// request after 100 ms, as a distant server would: 200 URLs (by default)
// grabbed into a scratch working folder with 1, 4 and 8 connections, and
// the same list fetched by curl with --parallel --parallel-max 8. Every file
// is compared with the page served. Prints the times and the ratios; the
// goals are 8 connections at least 6 times faster than 1, and not slower
// than curl.
// Usage:
//   grab_bench [URLS] [DELAY_MS]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../tests/pipeline/delay_server.h"
#include "base/file_io.h"
#include "base/poll_event_loop.h"
#include "bench_support.h"
#include "pipeline/grabber.h"
#include "pipeline/http_page_fetcher.h"

namespace vellora::bench {
namespace {

// A page of 4 to 20 KB, different for every n.
std::string MakePage(int n) {
  uint32_t state = static_cast<uint32_t>(n) * 2654435761u + 7;
  std::string page = "<html><body><h1>Page " + std::to_string(n) + "</h1>\n";
  size_t size = 4000 + state % 16000;
  while (page.size() < size) {
    state = state * 1664525u + 1013904223u;
    page += static_cast<char>('a' + (state >> 27) % 26);
    if ((state & 7) == 0) page += ' ';
  }
  return page + "\n</body></html>\n";
}

bool SameFiles(const std::string& folder, const std::vector<std::string>& pages,
               const std::string& prefix, const std::string& suffix) {
  for (size_t i = 0; i < pages.size(); ++i) {
    std::string path = folder + prefix + std::to_string(i + 1) + suffix;
    if (ReadWholeFile(path) != pages[i]) {
      std::fprintf(stderr, "%s differs from the page served\n", path.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace
}  // namespace vellora::bench

int main(int argc, char** argv) {
  using namespace vellora;
  using namespace vellora::bench;
  const int count = argc > 1 ? std::atoi(argv[1]) : 200;
  const int delay_ms = argc > 2 ? std::atoi(argv[2]) : 100;
  if (count <= 0 || delay_ms < 0) {
    std::fprintf(stderr, "usage: grab_bench [URLS] [DELAY_MS]\n");
    return 2;
  }
  // The server stops by itself once the longest run could be over.
  testing::DelayServer server(60 + count * delay_ms / 1000 * 3);
  std::vector<std::string> pages;
  std::string list;
  for (int i = 1; i <= count; ++i) {
    pages.push_back(MakePage(i));
    server.SetPage("/page" + std::to_string(i) + ".htm", {pages.back(), delay_ms});
    list += server.Url("/page" + std::to_string(i) + ".htm") + "\r\n";
  }
  std::printf("%d URLs, each answered after %d ms, from 127.0.0.1\n", count, delay_ms);

  ScratchFolder scratch("vellora-grab-bench");
  PollEventLoop loop;
  HttpPageFetcher fetcher(loop);
  CountingNotifier notifier;
  MainState state;
  state.eworkingfolder = scratch.Path() + "Files/";
  state.urls2grab.SetText(list);
  std::vector<std::pair<int, double>> grabs;
  for (int connections : {1, 4, 8}) {
    std::filesystem::remove_all(state.eworkingfolder);
    std::filesystem::create_directories(state.eworkingfolder);
    state.grabconnections.SetValue(connections);
    Stopwatch watch;
    bgraburlsClick(state, notifier, fetcher);
    double seconds = watch.Seconds();
    if (!SameFiles(state.eworkingfolder, pages, "zarngrab#", ".htm")) return 1;
    grabs.emplace_back(connections, seconds);
    std::printf("grab, %d connection%s  %7.2f s  %6.1f URLs/s  (CPU %.2f s)\n", connections,
                connections == 1 ? " " : "s", seconds, count / seconds, watch.CpuSeconds());
  }

  std::string curl_folder = scratch.Path() + "curl/";
  std::string config;
  for (int i = 1; i <= count; ++i) {
    config += "url = \"" + server.Url("/page" + std::to_string(i) + ".htm") + "\"\noutput = \"" +
              curl_folder + "page" + std::to_string(i) + ".htm\"\n";
  }
  WriteWholeFile(scratch.Path() + "curl.conf", config);
  // Plain --parallel waits to see whether a connection can carry several
  // transfers before it opens another, which with these HTTP/1.0 answers
  // makes it fetch one URL at a time; --parallel-immediate opens the eight
  // connections at once. Both are timed; the faster is the baseline.
  double curl_seconds = 1e9;
  for (const char* extra : {"", " --parallel-immediate"}) {
    std::filesystem::remove_all(curl_folder);
    std::filesystem::create_directories(curl_folder);
    std::string command = std::string("curl -s --fail --parallel --parallel-max 8") + extra +
                          " -K '" + scratch.Path() + "curl.conf' >/dev/null 2>&1";
    Stopwatch curl_watch;
    if (std::system(command.c_str()) != 0) {
      std::fprintf(stderr, "curl failed: %s\n", command.c_str());
      return 1;
    }
    double seconds = curl_watch.Seconds();
    if (!SameFiles(curl_folder, pages, "page", ".htm")) return 1;
    std::printf("curl --parallel --parallel-max 8%s  %7.2f s  %6.1f URLs/s\n", extra, seconds,
                count / seconds);
    curl_seconds = std::min(curl_seconds, seconds);
  }

  double one = grabs[0].second, four = grabs[1].second, eight = grabs[2].second;
  std::printf("ratio 1 connection / 4 connections:   %.2f\n", one / four);
  std::printf("ratio 1 connection / 8 connections:   %.2f  (goal: at least 6)\n", one / eight);
  std::printf("ratio faster curl / 8 connections:    %.2f  (goal: at least 1)\n",
              curl_seconds / eight);
  return 0;
}
