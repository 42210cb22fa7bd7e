#include "text/windows1252.h"

#include "text/utf8.h"

namespace vellora {
namespace {

// Characters of the bytes 80..9F; the rest of the page is Latin-1.
// clang-format off
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,   // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,   // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,   // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};  // 98..9F
// clang-format on

std::optional<char> ByteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

}  // namespace

char32_t Windows1252Character(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte;
}

std::string Utf8FromWindows1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (size_t i = 0; i < bytes.size();) {
    const size_t ascii = AsciiPrefixLength(bytes.substr(i));
    out.append(bytes.substr(i, ascii));
    i += ascii;
    if (i == bytes.size()) break;
    AppendUtf8(out, Windows1252Character(static_cast<unsigned char>(bytes[i])));
    ++i;
  }
  return out;
}

std::optional<std::string> Windows1252FromUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t ascii = AsciiPrefixLength(text.substr(i));
    out.append(text.substr(i, ascii));
    i += ascii;
    if (i == text.size()) break;
    const Utf8Char ch = DecodeUtf8(text, i);
    if (ch.length == 1) return std::nullopt;  // not valid UTF-8
    const std::optional<char> byte = ByteOf(ch.code_point);
    if (!byte) return std::nullopt;
    out.push_back(*byte);
    i += ch.length;
  }
  return out;
}

}  // namespace vellora
