// CliNotifier: the vellora command's front end for messages and progress.
// Information goes to the output stream (a failed write raises VelloraError,
// so the step that showed it fails), notices and errors to the error stream
// (errors with the top-level full stop rule on their first line). Status
// texts go to the error stream one per line with --verbose; otherwise, when
// that stream is a terminal, they show as one progress line that is
// rewritten in place, at most ten times a second.

#ifndef VELLORA_CLI_CLI_NOTIFIER_H_
#define VELLORA_CLI_CLI_NOTIFIER_H_

#include <chrono>
#include <cstdio>
#include <string>

#include "base/notifier.h"

namespace vellora::cli {

class CliNotifier : public Notifier {
 public:
  // out and err stay the notifier's for its life (the command's streams).
  CliNotifier(bool verbose, std::FILE* out, std::FILE* err);
  ~CliNotifier() override { EndProgress(); }

  void Information(const std::string& message) override;
  void Notice(const std::string& message) override;
  void Error(const std::string& message) override;
  void Status(const std::string& text) override;

  // Clears the progress line, if one is shown.
  void EndProgress();
  // True once an error was shown.
  bool HadError() const { return had_error_; }

 private:
  bool verbose_;
  std::FILE* out_;
  std::FILE* err_;
  bool progress_line_;
  bool progress_shown_ = false;
  bool had_error_ = false;
  std::chrono::steady_clock::time_point last_progress_{};
};

}  // namespace vellora::cli

#endif  // VELLORA_CLI_CLI_NOTIFIER_H_
