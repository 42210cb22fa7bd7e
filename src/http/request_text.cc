#include "http/request_text.h"

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

}  // namespace vellora
