#include "base/errors.h"

#include <cstring>
#include <new>

namespace vellora {

std::string TopLevelMessage(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
    return message + ".";
  }
  return message;
}

std::string ErrorMessageOf(const std::exception& error) {
  if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) return kOutOfMemoryMessage;
  return error.what();
}

std::string SystemReason(int error_number) {
  std::string reason = std::strerror(error_number);
  while (!reason.empty() && (reason.back() == ' ' || reason.back() == '.')) reason.pop_back();
  return reason;
}

}  // namespace vellora
