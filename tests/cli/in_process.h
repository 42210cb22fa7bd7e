// Runs the vellora command inside the test's own process, as main does, on
// memory streams. For every case where the process itself does not matter;
// RunVellora and RunVelloraWithStdout (command_runner.h) run the built
// program for those where it does: signals, a real descriptor or terminal as
// output, a path such as /dev/stdin, limits set on the process.

#ifndef VELLORA_TESTS_CLI_IN_PROCESS_H_
#define VELLORA_TESTS_CLI_IN_PROCESS_H_

#include <cstdio>
#include <string>
#include <vector>

#include "cli/command_runner.h"
#include "cli/streams.h"

namespace vellora {

// Memory streams for a subcommand: `in` holds `input`; what is written to
// `out` and `err` is read back with Out() and Err().
class CapturedStreams {
 public:
  explicit CapturedStreams(const std::string& input = "");
  ~CapturedStreams();
  CapturedStreams(const CapturedStreams&) = delete;
  CapturedStreams& operator=(const CapturedStreams&) = delete;

  const cli::Streams& streams() const { return streams_; }
  std::string Out();
  std::string Err();

 private:
  std::string input_;
  char* out_buffer_ = nullptr;
  size_t out_size_ = 0;
  char* err_buffer_ = nullptr;
  size_t err_size_ = 0;
  cli::Streams streams_;
};

// The command line `args` (those after the program name) with `input` as
// its standard input, as RunVellora returns it.
CommandResult RunInProcess(const std::vector<std::string>& args, const std::string& input = "");

}  // namespace vellora

#endif  // VELLORA_TESTS_CLI_IN_PROCESS_H_
