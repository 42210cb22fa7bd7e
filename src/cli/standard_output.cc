#include "cli/standard_output.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include "base/errors.h"

namespace vellora::cli {
namespace {

[[noreturn]] void ThrowWriteError(int error_number) {
  std::clearerr(stdout);
  throw VelloraError("Cannot write to standard output. " + SystemReason(error_number));
}

}  // namespace

void WriteStandardOutput(std::string_view bytes) {
  if (bytes.empty()) return;
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
    ThrowWriteError(errno != 0 ? errno : EIO);
  }
}

void FlushStandardOutput() {
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) ThrowWriteError(errno != 0 ? errno : EIO);
}

}  // namespace vellora::cli
