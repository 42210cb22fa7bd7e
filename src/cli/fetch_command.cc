// The "vellora fetch" subcommand: one Get with the grabber's client settings.
//
//   vellora fetch [--verbose] [--https] [--timeout S] URL [-o FILE]
//
// --https allows https URLs and relocations between http and https;
// --timeout S ends the request with "Connection timed out" when the server
// sends nothing for S seconds (0 to 3600; 0, the default, waits without
// limit).
// The body goes to FILE (written whole, so a failure leaves no partial
// file; a device or FIFO such as /dev/stdout is written in place) or to
// stdout; a failed write is a failure. A failed request prints its message
// with the top-level full-stop rule and exits with 1, writing no FILE. Ctrl-C while
// the request waits aborts it (the abort error, IsAbortError). With
// --verbose the final "STATUS REASON" is the last line on stderr.

#include <cstdio>
#include <string>

#include "base/errors.h"
#include "base/file_io.h"
#include "base/numbers.h"
#include "base/poll_event_loop.h"
#include "cli/commands.h"
#include "cli/standard_output.h"
#include "http/http_client.h"

namespace vellora::cli {

namespace {

constexpr int kMaxTimeoutSeconds = 3600;

void PrintStatus(const Streams& io, const THttpClient& http) {
  std::fprintf(io.err, "%d %s\n", http.StatusCode(), http.ReasonPhrase().c_str());
}

// A whole decimal number of seconds within the time limit's range.
bool ParseSeconds(const std::string& text, int& seconds) {
  std::optional<int64_t> value = ParseDecimal(text, 0, kMaxTimeoutSeconds);
  if (!value) return false;
  seconds = static_cast<int>(*value);
  return true;
}

}  // namespace

int FetchCommand(const Args& args, const Streams& io) {
  bool verbose = false, allow_https = false;
  int timeout = 0;
  std::string url, output;
  bool have_url = false, have_output = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--verbose") {
      verbose = true;
    } else if (arg == "--https") {
      allow_https = true;
    } else if (arg == "--timeout") {
      if (i + 1 >= args.size())
        return UsageError(io, "fetch", "fetch: --timeout needs a number of seconds");
      if (!ParseSeconds(args[++i], timeout)) {
        return UsageError(
            io, "fetch",
            "fetch: --timeout needs a number of seconds from 0 to 3600, not \"" + args[i] + "\"");
      }
    } else if (arg == "-o") {
      if (i + 1 >= args.size()) return UsageError(io, "fetch", "fetch: -o needs a file name");
      if (have_output) return UsageError(io, "fetch", "fetch: -o given twice");
      output = args[++i];
      have_output = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError(io, "fetch", "fetch: unknown option \"" + arg + "\"");
    } else if (!have_url) {
      url = arg;
      have_url = true;
    } else {
      return UsageError(io, "fetch", "fetch: more than one URL");
    }
  }
  if (!have_url) return UsageError(io, "fetch", "fetch: no URL");

  PollEventLoop loop;
  THttpClient http(loop);
  std::string body;
  http.URL = url;
  http.ReceiveStream = &body;
  http.AllowHttps = allow_https;
  http.Timeout = timeout;
  TerminateLoopOnSignals(&loop);
  int status = 0;
  try {
    http.Get();
    if (have_output) {
      WriteWholeFileOrDevice(output, body);
    } else {
      WriteStandardOutput(io.out, body);
      FlushStandardOutput(io.out);
    }
  } catch (const VelloraError& e) {
    std::fprintf(io.err, "%s\n", TopLevelMessage(e.what()).c_str());
    status = 1;
  }
  TerminateLoopOnSignals(nullptr);
  if (verbose) PrintStatus(io, http);
  return status;
}

}  // namespace vellora::cli
