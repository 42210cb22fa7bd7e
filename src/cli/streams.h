// The streams a subcommand reads and writes. The program passes its own
// standard streams; a test passes memory streams and runs the command in
// its own process. A subcommand writes nowhere else (a step's output goes
// through the notifier, which writes to these streams too).

#ifndef VELLORA_CLI_STREAMS_H_
#define VELLORA_CLI_STREAMS_H_

#include <cstdio>

namespace vellora::cli {

struct Streams {
  std::FILE* in = stdin;    // "regex replace" reads its input here
  std::FILE* out = stdout;  // results, help
  std::FILE* err = stderr;  // errors, notices, progress
};

}  // namespace vellora::cli

#endif  // VELLORA_CLI_STREAMS_H_
