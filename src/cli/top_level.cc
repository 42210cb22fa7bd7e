#include "cli/top_level.h"

#include <cstdio>
#include <exception>
#include <new>
#include <string>

#include "base/errors.h"

namespace vellora::cli {
namespace {

std::string MessageOf(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const VelloraError& e) {
    return e.what();
  } catch (const std::bad_alloc&) {
    return kOutOfMemoryMessage;
  } catch (const std::exception& e) {
    return std::string("Internal error: ") + e.what();
  } catch (...) {
    return "Internal error: an exception of unknown type";
  }
}

}  // namespace

int RunCatchingAll(std::FILE* err, const std::function<int()>& command) {
  try {
    return command();
  } catch (...) {
    // Reading the message may allocate; a second failed allocation must
    // still end with the message rather than in std::terminate.
    std::string message;
    try {
      message = TopLevelMessage(MessageOf(std::current_exception()));
    } catch (...) {
      std::fputs("Out of memory.\n", err);
      return 1;
    }
    std::fprintf(err, "%s\n", message.c_str());
    return 1;
  }
}

}  // namespace vellora::cli
