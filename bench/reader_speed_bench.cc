// The speed of the three extraction modes over one HTML corpus (32 MB by
// default), in one run: every text between tags, the visible text and the
// main text, each a whole extraction step in Unicode mode (and the first two
// in ANSI mode too); and readability-lxml (Debian's python3-readability, a
// reader-view extractor over lxml) over the same files in a child process,
// which times only its own work, not Python's start or the file reads.
//
//   reader_speed_bench [MEGABYTES]
//
// Goals: the visible text at least half the speed of every text between
// tags, the main text at least ten times the speed of readability-lxml.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_corpus.h"
#include "bench_support.h"
#include "pipeline/steps.h"

namespace vellora::bench {
namespace {

struct Timing {
  double seconds;
  double cpu;
  std::string wordcount;
};

Timing Extract(const std::string& folder, TextMode text_mode, int extract_mode) {
  MainState state = ExtractionState(folder);
  state.extractmode.SetValue(extract_mode);
  CountingNotifier notifier;
  Stopwatch clock;
  ExtractWords(state, notifier, text_mode);
  return {clock.Seconds(), clock.CpuSeconds(), state.wordcount};
}

// Seconds readability-lxml takes for every file of `folder`, or a negative
// number when it cannot run.
double ReadabilitySeconds(const std::string& folder, const std::string& scratch) {
  const std::string script = scratch + "readability_run.py";
  WriteWholeFile(script,
                 "import os, sys, time\n"
                 "from readability import Document\n"
                 "folder = sys.argv[1]\n"
                 "total = 0.0\n"
                 "for name in sorted(os.listdir(folder)):\n"
                 "    with open(os.path.join(folder, name), 'rb') as f:\n"
                 "        html = f.read()\n"
                 "    start = time.perf_counter()\n"
                 "    try:\n"
                 "        Document(html).summary()\n"
                 "    except Exception:\n"
                 "        pass\n"
                 "    total += time.perf_counter() - start\n"
                 "print('%.6f' % total)\n");
  // Debian's Python, which python3-readability installs into.
  const std::string command = "/usr/bin/python3 '" + script + "' '" + folder + "' 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  char line[64] = {0};
  const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
  const int status = ::pclose(pipe);
  if (!read || status != 0) return -1;
  return std::atof(line);
}

int Main(int argc, char** argv) {
  const size_t megabytes = argc > 1 ? static_cast<size_t>(std::atol(argv[1])) : 32;
  ScratchFolder scratch("vb-reader-bench");
  const std::string folder = scratch.Path() + "Files/";
  ForceDirectories(folder);
  bool generated = false;
  const size_t bytes = BuildCorpus(folder, megabytes << 20, &generated);
  const double mb = static_cast<double>(bytes) / (1 << 20);
  std::printf("corpus: %.1f MB in %zu files (%s)\n", mb, ListDirectory(folder).size(),
              generated ? "generated pages" : "HTML pages of /usr/share/doc");

  const char* const kNames[] = {"every text between tags", "visible text", "main text"};
  Timing unicode[3];
  for (int mode = 0; mode < 3; ++mode) {
    unicode[mode] = Extract(folder, TextMode::kUnicode, mode);
    std::printf("Unicode mode, %-24s %7.3f s (CPU %7.3f s) %6.1f MB/s  %s\n", kNames[mode],
                unicode[mode].seconds, unicode[mode].cpu, mb / unicode[mode].seconds,
                unicode[mode].wordcount.c_str());
  }
  Timing ansi[2];
  for (int mode = 0; mode < 2; ++mode) {
    ansi[mode] = Extract(folder, TextMode::kAnsi, mode);
    std::printf("ANSI mode,    %-24s %7.3f s (CPU %7.3f s) %6.1f MB/s  %s\n", kNames[mode],
                ansi[mode].seconds, ansi[mode].cpu, mb / ansi[mode].seconds,
                ansi[mode].wordcount.c_str());
  }
  std::printf(
      "visible text vs every text between tags: %.2fx (Unicode), %.2fx (ANSI) of its "
      "speed (goal: at least 0.5x)\n",
      unicode[0].seconds / unicode[1].seconds, ansi[0].seconds / ansi[1].seconds);

  const double readability = ReadabilitySeconds(folder, scratch.Path());
  if (readability < 0) {
    std::printf("readability-lxml: cannot run (is python3-readability installed?)\n");
    return 1;
  }
  std::printf("readability-lxml (Document.summary) %7.3f s %6.1f MB/s\n", readability,
              mb / readability);
  std::printf("main text vs readability-lxml: %.1fx its speed (goal: at least 10x)\n",
              readability / unicode[2].seconds);
  return 0;
}

}  // namespace
}  // namespace vellora::bench

int main(int argc, char** argv) { return vellora::bench::Main(argc, argv); }
