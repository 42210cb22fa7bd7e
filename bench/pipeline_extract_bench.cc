// Word extraction over an HTML corpus of at least 32 MB, in ANSI mode and in
// Unicode mode, side by side with the same step written over PCRE2 (JIT) and
// a hash map, and against the plain transcription on a slice small enough
// for it.
//
// The corpus is made of the HTML pages under /usr/share/doc, copied round
// and round into one working folder until it holds 32 MB; where fewer than
// 20 such pages exist, generated pages stand in. Usage:
//   pipeline_extract_bench [MEGABYTES] [--keep DIR]
// With --keep the corpus is built in DIR and left there (for a whole
// "vellora run" over it).

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "../tests/pipeline/reference_steps.h"
#include "state/main_state.h"
#include "base/code_page.h"
#include "bench_corpus.h"
#include "bench_support.h"
#include "pipeline/steps.h"

namespace vellora::bench {
namespace {

namespace fs = std::filesystem;

// The peer: the same step over PCRE2 with JIT and std::unordered_map.
class PcrePeer {
 public:
  PcrePeer() {
    tags_ = Compile("<.+?>");
    numbers_ = Compile("\\b\\d*\\b");
    spaces_ = Compile("\\s{2,}");
    punctuation_ = Compile("[\\[\\];\"\\(\\).,!:]");
    match_ = pcre2_match_data_create(16, nullptr);
  }
  ~PcrePeer() {
    for (pcre2_code* code : {tags_, numbers_, spaces_, punctuation_}) pcre2_code_free(code);
    pcre2_match_data_free(match_);
  }

  struct Row {
    std::string word;
    int64_t count;
  };

  std::vector<Row> Run(const std::string& folder, const std::vector<std::string>& prohibited,
                       const std::vector<std::string>& fragments) {
    std::string tokens;
    for (const DirEntry& entry : ListDirectory(folder)) {
      if (entry.is_directory || entry.is_hidden) continue;
      std::string text = JoinLines(ReadWholeFile(folder + entry.name));
      text = Substitute(tags_, text, "");
      text = Substitute(numbers_, text, "");
      text = Substitute(spaces_, text, " ");
      std::string lines;
      lines.reserve(text.size() * 5 / 4);
      for (char c : text) {
        if (c == ' ') {
          lines += "\r\n";
        } else {
          lines += c;
        }
      }
      text = Substitute(punctuation_, lines, "");
      const unsigned char* lower = LowerTable();
      for (char& c : text) c = static_cast<char>(lower[static_cast<unsigned char>(c)]);
      tokens += text;
      tokens += "\r\n";
    }
    std::unordered_set<std::string> banned(prohibited.begin(), prohibited.end());
    std::unordered_map<std::string, int64_t> counts;
    size_t pos = 0;
    std::string token;
    while (pos < tokens.size()) {
      size_t end = tokens.find("\r\n", pos);
      token.assign(tokens, pos, end - pos);
      pos = end + 2;
      if (token.size() < 2 || banned.count(token) != 0) continue;
      bool drop = false;
      for (const std::string& fragment : fragments) {
        if (!fragment.empty() && token.find(fragment) != std::string::npos) {
          drop = true;
          break;
        }
      }
      if (!drop) ++counts[token];
    }
    std::vector<Row> rows;
    rows.reserve(counts.size());
    for (auto& [word, count] : counts) rows.push_back(Row{word, count});
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.word < b.word; });
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.count > b.count; });
    return rows;
  }

 private:
  static pcre2_code* Compile(const char* pattern) {
    int error;
    PCRE2_SIZE offset;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), PCRE2_ZERO_TERMINATED,
                                     PCRE2_DOTALL, &error, &offset, nullptr);
    if (code == nullptr || pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) != 0) {
      std::fprintf(stderr, "PCRE2 cannot compile or JIT %s\n", pattern);
      std::exit(1);
    }
    return code;
  }

  std::string Substitute(pcre2_code* code, const std::string& subject, const char* replacement) {
    std::string out(subject.size() + 16, '\0');
    for (;;) {
      PCRE2_SIZE length = out.size();
      int rc = pcre2_substitute(code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(),
                                0, PCRE2_SUBSTITUTE_GLOBAL | PCRE2_SUBSTITUTE_OVERFLOW_LENGTH,
                                match_, nullptr, reinterpret_cast<PCRE2_SPTR>(replacement),
                                PCRE2_ZERO_TERMINATED, reinterpret_cast<PCRE2_UCHAR*>(out.data()),
                                &length);
      if (rc == PCRE2_ERROR_NOMEMORY) {
        out.resize(length);
        continue;
      }
      if (rc < 0) {
        std::fprintf(stderr, "pcre2_substitute failed: %d\n", rc);
        std::exit(1);
      }
      out.resize(length);
      return out;
    }
  }

  static std::string JoinLines(std::string_view bytes) {
    size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
    std::string text;
    size_t i = 0;
    while (i < bytes.size()) {
      size_t j = bytes.find_first_of("\r\n", i);
      if (j == std::string_view::npos) j = bytes.size();
      std::string_view line = bytes.substr(i, std::min<size_t>(j - i, 4096));
      size_t b = 0, e = line.size();
      while (b < e && static_cast<unsigned char>(line[b]) <= 32) ++b;
      while (e > b && static_cast<unsigned char>(line[e - 1]) <= 32) --e;
      if (e > b) {
        text.append(line.substr(b, e - b));
        text += ' ';
      }
      if (j == bytes.size()) break;
      i = (bytes[j] == '\r' && j + 1 < bytes.size() && bytes[j + 1] == '\n') ? j + 2 : j + 1;
    }
    return text;
  }

  pcre2_code* tags_;
  pcre2_code* numbers_;
  pcre2_code* spaces_;
  pcre2_code* punctuation_;
  pcre2_match_data* match_;
};

int Main(int argc, char** argv) {
  size_t megabytes = 32;
  std::string keep;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--keep") == 0 && i + 1 < argc) {
      keep = argv[++i];
    } else {
      megabytes = static_cast<size_t>(std::atol(argv[i]));
    }
  }
  ScratchFolder scratch("vb-extract-bench");
  std::string folder = keep.empty() ? scratch.Path() + "Files/" : keep;
  if (folder.back() != '/') folder += '/';
  ForceDirectories(folder);
  bool generated = false;
  const size_t bytes = BuildCorpus(folder, megabytes << 20, &generated);
  const double mb = static_cast<double>(bytes) / (1 << 20);
  std::printf("corpus: %.1f MB in %zu files (%s)\n", mb, ListDirectory(folder).size(),
              generated ? "generated pages" : "HTML pages of /usr/share/doc");

  MainState state = ExtractionState(folder);
  CountingNotifier notifier;
  Stopwatch fast_clock;
  bprocessClick(state, notifier);
  const double fast_seconds = fast_clock.Seconds();
  const double fast_cpu = fast_clock.CpuSeconds();
  std::printf(
      "vellora extract, ANSI mode: %.3f s (CPU %.3f s), %.1f MB/s (%.1f MB/s of CPU), %s, "
      "%ld status texts\n",
      fast_seconds, fast_cpu, mb / fast_seconds, mb / fast_cpu, state.wordcount.c_str(),
      notifier.statuses);

  MainState unicode_state = ExtractionState(folder);
  Stopwatch unicode_clock;
  ExtractWords(unicode_state, notifier, TextMode::kUnicode);
  const double unicode_seconds = unicode_clock.Seconds();
  const double unicode_cpu = unicode_clock.CpuSeconds();
  std::printf(
      "vellora extract, Unicode mode: %.3f s (CPU %.3f s), %.1f MB/s (%.1f MB/s of CPU), %s\n",
      unicode_seconds, unicode_cpu, mb / unicode_seconds, mb / unicode_cpu,
      unicode_state.wordcount.c_str());
  std::printf("Unicode mode vs ANSI mode: %.2fx wall, %.2fx CPU (goal: at least 0.80x)\n",
              fast_seconds / unicode_seconds, fast_cpu / unicode_cpu);

  PcrePeer peer;
  Stopwatch peer_clock;
  std::vector<PcrePeer::Row> rows =
      peer.Run(folder, state.prohibited.Lines(), state.dontcontain.Lines());
  const double peer_seconds = peer_clock.Seconds();
  const double peer_cpu = peer_clock.CpuSeconds();
  int64_t peer_total = 0;
  for (const PcrePeer::Row& row : rows) peer_total += row.count;
  std::printf(
      "PCRE2-JIT + hash map peer: %.3f s (CPU %.3f s), %.1f MB/s (%.1f MB/s of CPU), "
      "%zu words, total %lld\n",
      peer_seconds, peer_cpu, mb / peer_seconds, mb / peer_cpu, rows.size(),
      static_cast<long long>(peer_total));
  std::printf("ANSI mode vs peer: %.2fx wall, %.2fx CPU\n", peer_seconds / fast_seconds,
              peer_cpu / fast_cpu);
  std::printf("Unicode mode vs peer: %.2fx wall, %.2fx CPU\n", peer_seconds / unicode_seconds,
              peer_cpu / unicode_cpu);

  // The plain transcription on a slice of the corpus.
  const std::string slice = scratch.Path() + "Slice/";
  ForceDirectories(slice);
  size_t slice_bytes = 0;
  for (const DirEntry& entry : ListDirectory(folder)) {
    if (slice_bytes >= (256u << 10)) break;
    std::string content = ReadWholeFile(folder + entry.name);
    if (content.size() > (128u << 10)) continue;
    slice_bytes += content.size();
    WriteWholeFile(slice + entry.name, content);
  }
  MainState plain_state = ExtractionState(slice);
  MainState fast_state = ExtractionState(slice);
  Stopwatch plain_clock;
  reference::bprocessClick(plain_state, notifier);
  const double plain_seconds = plain_clock.CpuSeconds();
  Stopwatch slice_clock;
  bprocessClick(fast_state, notifier);
  const double slice_seconds = slice_clock.CpuSeconds();
  const bool same = plain_state.words.Rows().size() == fast_state.words.Rows().size() &&
                    plain_state.wordcount == fast_state.wordcount;
  std::printf(
      "slice of %.0f KB: plain transcription CPU %.3f s, vellora CPU %.4f s, ratio %.0fx (%s)\n",
      static_cast<double>(slice_bytes) / 1024, plain_seconds, slice_seconds,
      plain_seconds / slice_seconds, same ? "same words" : "WORDS DIFFER");
  return same ? 0 : 1;
}

}  // namespace
}  // namespace vellora::bench

int main(int argc, char** argv) { return vellora::bench::Main(argc, argv); }
