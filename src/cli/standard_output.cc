#include "cli/standard_output.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include "base/errors.h"

namespace vellora::cli {
namespace {

[[noreturn]] void ThrowWriteError(std::FILE* out, int error_number) {
  std::clearerr(out);
  throw VelloraError("Cannot write to standard output. " + SystemReason(error_number));
}

}  // namespace

void WriteStandardOutput(std::FILE* out, std::string_view bytes) {
  if (bytes.empty()) return;
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
    ThrowWriteError(out, errno != 0 ? errno : EIO);
  }
}

void FlushStandardOutput(std::FILE* out) {
  errno = 0;
  if (std::fflush(out) != 0 || std::ferror(out)) ThrowWriteError(out, errno != 0 ? errno : EIO);
}

}  // namespace vellora::cli
