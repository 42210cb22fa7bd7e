// The HTML corpus of the extraction benchmarks: the pages under
// /usr/share/doc copied round and round into one folder until it holds the
// size asked for (generated pages where fewer than 20 exist), and a state
// that extracts from it with the default word filters.

#ifndef VELLORA_BENCH_BENCH_CORPUS_H_
#define VELLORA_BENCH_BENCH_CORPUS_H_

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/random.h"
#include "bench_support.h"
#include "state/main_state.h"

namespace vellora::bench {

inline std::vector<std::string> DocPages() {
  std::vector<std::string> pages;
  std::error_code error;
  namespace fs = std::filesystem;
  for (auto it = fs::recursive_directory_iterator(
           "/usr/share/doc", fs::directory_options::skip_permission_denied, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    const std::string ext = it->path().extension().string();
    if ((ext == ".html" || ext == ".htm") && it->is_regular_file(error)) {
      pages.push_back(it->path().string());
    }
  }
  std::sort(pages.begin(), pages.end());
  return pages;
}

inline std::string GeneratedPage(RandomGenerator& random) {
  static const char* const kWords[] = {
      "install", "package", "server",  "the",    "and",   "of",      "configuration", "file",
      "user",    "system",  "network", "option", "value", "default", "example",       "command"};
  std::string page = "<html><head><title>Generated page</title></head><body>\n";
  for (int p = 0; p < 400; ++p) {
    page += "<p class=\"x\">";
    for (int w = 0; w < 40; ++w) {
      page += kWords[random.Random(16)];
      page += random.Random(9) == 0 ? ", " : " ";
      if (random.Random(30) == 0) page += std::to_string(random.Random(3000)) + " ";
    }
    page += "</p>\n";
  }
  return page + "</body></html>\n";
}

// Fills `folder` with pages until it holds `bytes`; returns the byte count.
inline size_t BuildCorpus(const std::string& folder, size_t bytes, bool* generated) {
  std::vector<std::string> sources = DocPages();
  *generated = sources.size() < 20;
  size_t total = 0;
  RandomGenerator random(1);
  for (size_t n = 0; total < bytes; ++n) {
    std::string content =
        *generated ? GeneratedPage(random) : ReadWholeFile(sources[n % sources.size()]);
    total += content.size();
    WriteWholeFile(folder + "page" + std::to_string(n) + ".htm", content);
  }
  return total;
}

inline MainState ExtractionState(const std::string& folder) {
  MainState state;
  state.eworkingfolder = folder;
  state.prohibited.LoadFromBytes(DataText("ini_excludeexact.txt"));
  state.dontcontain.LoadFromBytes(DataText("ini_excludecontain.txt"));
  return state;
}

}  // namespace vellora::bench

#endif  // VELLORA_BENCH_BENCH_CORPUS_H_
