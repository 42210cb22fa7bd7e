#include "base/errors.h"

#include <cstring>
#include <new>

namespace vellora {

std::string TopLevelMessage(const std::string& message) {
  const size_t line_end = message.find('\n');
  const std::string first = message.substr(0, line_end);
  const std::string rest = line_end == std::string::npos ? "" : message.substr(line_end);
  if (!first.empty() && static_cast<unsigned char>(first.back()) > '.') return first + "." + rest;
  return message;
}

std::string WithHint(const std::string& message, const std::string& hint) {
  return message + "\n" + hint;
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
