// How close the words that extraction counts come to the words a reader
// reads, over a folder of real pages that each hold `source.html` (the page)
// and `expected.html` (its article text as a reader view keeps it).
//
//   reader_quality [PAGES_DIR] [--worst N]
//
// For each page and each extraction mode, the tokens of source.html (Unicode
// mode, the token rules and the one-character drop of the extraction step)
// are compared as a multiset with the tokens of expected.html read as
// visible text (tags separate words, references decoded, the same rules):
// precision = shared / ours, recall = shared / expected, summed over all
// pages. For the visible mode it also counts the tokens that come from
// script or style text: those the visible text of the page holds beyond the
// visible text of the same page with its script and style contents taken
// out.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/file_io.h"
#include "base/text_list.h"
#include "pipeline/token_extractor.h"

namespace fs = std::filesystem;
using namespace vellora;

namespace {

using Counts = std::unordered_map<std::string, long>;

Counts TokensOf(std::string bytes, ExtractMode mode, std::string_view name) {
  static const TextList empty;
  static const TokenFilter filter(empty, empty, TextMode::kUnicode);
  TokenExtractor extractor(TextMode::kUnicode, mode);
  const std::string lines = extractor.Extract(std::move(bytes), name);
  Counts counts;
  size_t pos = 0;
  while (pos < lines.size()) {
    size_t end = lines.find("\r\n", pos);
    if (end == std::string::npos) end = lines.size();
    const std::string_view token = std::string_view(lines).substr(pos, end - pos);
    if (!token.empty() && filter.Keeps(LineAsRead(token, TextMode::kUnicode))) {
      ++counts[std::string(token)];
    }
    pos = end + 2;
  }
  return counts;
}

long Total(const Counts& c) {
  long n = 0;
  for (const auto& [w, k] : c) n += k;
  return n;
}

long Shared(const Counts& a, const Counts& b) {
  long n = 0;
  for (const auto& [w, k] : a) {
    auto it = b.find(w);
    if (it != b.end()) n += std::min(k, it->second);
  }
  return n;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return s;
}

// The page split into the contents of its script and style elements and
// the rest, found by their tags as a browser's tokenizer ends them.
void SplitScripts(const std::string& page, std::string& scripts, std::string& rest) {
  const std::string lower = Lower(page);
  size_t pos = 0;
  while (pos < page.size()) {
    size_t s = lower.find("<script", pos), t = lower.find("<style", pos);
    size_t open = std::min(s, t);
    if (open == std::string::npos) break;
    const bool is_script = open == s;
    const size_t content = lower.find('>', open);
    if (content == std::string::npos) break;
    const size_t close = lower.find(is_script ? "</script" : "</style", content);
    rest.append(page, pos, content + 1 - pos);
    const size_t end = close == std::string::npos ? page.size() : close;
    scripts.append(page, content + 1, end - content - 1);
    scripts.push_back(' ');
    pos = end;
  }
  if (pos < page.size()) rest.append(page, pos, std::string::npos);
}

struct Sum {
  long ours = 0, expected = 0, shared = 0;
  double Precision() const { return ours ? double(shared) / ours : 0; }
  double Recall() const { return expected ? double(shared) / expected : 0; }
};

struct PageScore {
  std::string name;
  double precision, recall;
};

}  // namespace

int main(int argc, char** argv) {
  std::string dir = VB_SOURCE_DIR "/../shared/reader-pages";
  size_t worst = 5;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--worst" && i + 1 < argc) {
      worst = static_cast<size_t>(std::atoi(argv[++i]));
    } else {
      dir = arg;
    }
  }
  std::vector<fs::path> pages;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (fs::exists(entry.path() / "source.html") && fs::exists(entry.path() / "expected.html")) {
      pages.push_back(entry.path());
    }
  }
  std::sort(pages.begin(), pages.end());
  if (pages.empty()) {
    std::fprintf(stderr, "no pages with source.html and expected.html in %s\n", dir.c_str());
    return 2;
  }
  const ExtractMode modes[] = {ExtractMode::kEveryText, ExtractMode::kVisibleText,
                               ExtractMode::kMainText};
  const char* names[] = {"0 every text between tags", "1 visible text", "2 main text"};
  Sum sums[3];
  std::vector<PageScore> scores[3];
  long script_tokens[2] = {0, 0}, script_pages[2] = {0, 0};
  for (const fs::path& page : pages) {
    const std::string source = ReadWholeFile((page / "source.html").string());
    const Counts expected = TokensOf(ReadWholeFile((page / "expected.html").string()),
                                     ExtractMode::kVisibleText, "expected.html");
    for (int m = 0; m < 3; ++m) {
      const Counts ours = TokensOf(source, modes[m], "source.html");
      Sum s{Total(ours), Total(expected), Shared(ours, expected)};
      sums[m].ours += s.ours;
      sums[m].expected += s.expected;
      sums[m].shared += s.shared;
      scores[m].push_back({page.filename().string(), s.Precision(), s.Recall()});
      if (modes[m] != ExtractMode::kMainText) {
        // The same page with the contents of its script and style elements
        // taken out: what the visible text holds beyond that came from them.
        std::string scripts, rest;
        SplitScripts(source, scripts, rest);
        const Counts without = TokensOf(rest, modes[m], "source.html");
        long from_scripts = 0;
        for (const auto& [word, count] : ours) {
          auto it = without.find(word);
          const long extra = count - (it == without.end() ? 0 : it->second);
          if (extra > 0) {
            from_scripts += extra;
            if (m == 1 && std::getenv("VB_SHOW_SCRIPT_TOKENS"))
              std::fprintf(stderr, "%s: %s\n", page.filename().c_str(), word.c_str());
          }
        }
        script_tokens[m] += from_scripts;
        script_pages[m] += from_scripts > 0;
      }
    }
  }
  std::printf("%zu pages in %s\n\n", pages.size(), dir.c_str());
  std::printf("%-28s %10s %10s %10s %9s %9s %6s\n", "mode", "ours", "expected", "shared",
              "precision", "recall", "F1");
  for (int m = 0; m < 3; ++m) {
    const double p = sums[m].Precision(), r = sums[m].Recall();
    std::printf("%-28s %10ld %10ld %10ld %9.3f %9.3f %6.3f\n", names[m], sums[m].ours,
                sums[m].expected, sums[m].shared, p, r, p + r > 0 ? 2 * p * r / (p + r) : 0);
  }
  for (int m = 0; m < 2; ++m) {
    std::printf("\n%s: %ld tokens from script or style text, on %ld pages", names[m],
                script_tokens[m], script_pages[m]);
  }
  std::printf("\n");
  for (int m = 1; m < 3; ++m) {
    std::vector<PageScore>& list = scores[m];
    std::sort(list.begin(), list.end(), [](const PageScore& a, const PageScore& b) {
      return std::min(a.precision, a.recall) < std::min(b.precision, b.recall);
    });
    std::printf("\nworst pages, mode %s:\n", names[m]);
    for (size_t i = 0; i < std::min(worst, list.size()); ++i) {
      std::printf("  %-50s precision %.3f recall %.3f\n", list[i].name.c_str(), list[i].precision,
                  list[i].recall);
    }
  }
  return 0;
}
