// Conversion between the 8-bit texts of ANSI mode (Windows-1252) and UTF-8,
// by the code page's own table. Every byte maps to one character, the five
// bytes that Windows-1252 leaves undefined (81, 8D, 8F, 90, 9D) to the C1
// control characters of the same number, so any byte string survives a
// round trip. Thread-safe: no state.

#ifndef VELLORA_TEXT_WINDOWS1252_H_
#define VELLORA_TEXT_WINDOWS1252_H_

#include <optional>
#include <string>
#include <string_view>

namespace vellora {

// The character that byte `byte` stands for in Windows-1252.
char32_t Windows1252Character(unsigned char byte);

// `bytes` read as Windows-1252, as UTF-8.
std::string Utf8FromWindows1252(std::string_view bytes);

// Valid UTF-8 `text` as Windows-1252 bytes; nullopt when it holds a
// character that the code page lacks (or bytes that are not valid UTF-8).
std::optional<std::string> Windows1252FromUtf8(std::string_view text);

}  // namespace vellora

#endif  // VELLORA_TEXT_WINDOWS1252_H_
