#include "cli/cli_notifier.h"

#include <unistd.h>

#include <cstdio>

#include "base/errors.h"
#include "cli/standard_output.h"

namespace vellora::cli {

CliNotifier::CliNotifier(bool verbose, std::FILE* out, std::FILE* err)
    : verbose_(verbose),
      out_(out),
      err_(err),
      progress_line_(!verbose && ::isatty(::fileno(err)) == 1) {}

void CliNotifier::Information(const std::string& message) {
  EndProgress();
  WriteStandardOutput(out_, message + "\n");
  FlushStandardOutput(out_);
}

void CliNotifier::Notice(const std::string& message) {
  EndProgress();
  std::fprintf(err_, "%s\n", message.c_str());
}

void CliNotifier::Error(const std::string& message) {
  EndProgress();
  had_error_ = true;
  std::fprintf(err_, "%s\n", TopLevelMessage(message).c_str());
}

void CliNotifier::Status(const std::string& text) {
  if (verbose_) {
    std::fprintf(err_, "%s\n", text.c_str());
    return;
  }
  if (!progress_line_) return;
  auto now = std::chrono::steady_clock::now();
  if (progress_shown_ && now - last_progress_ < std::chrono::milliseconds(100)) return;
  last_progress_ = now;
  progress_shown_ = true;
  std::fprintf(err_, "\r\033[K%.*s", 160, text.c_str());
  std::fflush(err_);
}

void CliNotifier::EndProgress() {
  if (!progress_shown_) return;
  std::fprintf(err_, "\r\033[K");
  std::fflush(err_);
  progress_shown_ = false;
}

}  // namespace vellora::cli
