#include "http/request_text.h"

#include "text/idna.h"
#include "text/utf8.h"

namespace vellora {

bool IsControlByte(char byte) {
  unsigned char value = static_cast<unsigned char>(byte);
  return value < 0x20 || value == 0x7F;
}

std::string ControlByteProblem(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  for (char byte : text) {
    if (!IsControlByte(byte)) continue;
    unsigned char value = static_cast<unsigned char>(byte);
    return std::string("a control character (0x") + kHex[value >> 4] + kHex[value & 15] + ")";
  }
  return "";
}

std::string EncodeSpaces(std::string_view target) {
  std::string encoded;
  encoded.reserve(target.size());
  for (char byte : target) {
    if (byte == ' ') {
      encoded += "%20";
    } else {
      encoded += byte;
    }
  }
  return encoded;
}

std::string TrimBlanks(std::string_view url) {
  const size_t begin = url.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return std::string();
  return std::string(url.substr(begin, url.find_last_not_of(" \t") + 1 - begin));
}

bool AsciiHostName(std::string& host) {
  if (IsAscii(host)) return true;
  std::optional<std::string> ascii = HostNameToAscii(host);
  if (!ascii) return false;
  host = std::move(*ascii);
  return true;
}

}  // namespace vellora
