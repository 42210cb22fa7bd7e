// Helpers shared by the benchmarks: a wall clock, a quiet child process, the
// pages the fetch benchmarks serve, a scratch folder, a notifier that only
// counts, and the default texts of the source tree.

#ifndef VELLORA_BENCH_BENCH_SUPPORT_H_
#define VELLORA_BENCH_BENCH_SUPPORT_H_

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/notifier.h"

namespace vellora::bench {

// Wall-clock time, and the CPU time of this process over the same span:
// on a shared machine the CPU time shows what the wall clock hides.
class Stopwatch {
 public:
  Stopwatch() : start_(std::chrono::steady_clock::now()), cpu_start_(CpuNow()) {}
  double Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }
  double CpuSeconds() const { return CpuNow() - cpu_start_; }

 private:
  static double CpuNow() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
  }

  std::chrono::steady_clock::time_point start_;
  double cpu_start_;
};

// Runs a program with its output thrown away; returns its exit status.
inline int RunQuietly(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A page of 2 to 30 KB of text, different for every n.
inline std::string MakeTextPage(int n) {
  std::string page = "<html><head><title>Page " + std::to_string(n) + "</title></head><body>\n";
  uint32_t state = static_cast<uint32_t>(n) * 2654435761u + 1;
  size_t size = 2000 + (state % 28000);
  static const char* const kWords[] = {"alpha",   "bravo", "charlie", "delta", "echo",
                                       "foxtrot", "golf",  "hotel",   "india", "juliet"};
  while (page.size() < size) {
    state = state * 1664525u + 1013904223u;
    page += kWords[state >> 28 & 7];
    page += (state & 15) == 0 ? ".\n" : " ";
  }
  return page + "</body></html>\n";
}

// Counts status texts and drops them, as a throttled front end would.
class CountingNotifier : public Notifier {
 public:
  void Information(const std::string&) override {}
  void Error(const std::string&) override {}
  void Status(const std::string&) override { ++statuses; }
  long statuses = 0;
};

// A fresh folder under $TMPDIR (or /tmp), removed on destruction; its path
// ends with "/".
class ScratchFolder {
 public:
  explicit ScratchFolder(const char* name) {
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr ? tmp : "/tmp") + "/" + name + "-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::exit(1);
    }
    path_ = pattern + "/";
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The folder of the default texts in the source tree.
inline std::string DataFolder() {
  return std::filesystem::path(__FILE__).parent_path().parent_path().string() + "/data/";
}

inline std::string DataText(const char* name) { return ReadWholeFile(DataFolder() + name); }

}  // namespace vellora::bench

#endif  // VELLORA_BENCH_BENCH_SUPPORT_H_
