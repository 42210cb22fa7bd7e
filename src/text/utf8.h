// UTF-8 primitives for texts held as bytes: validation, reading and writing
// one character, counting and cutting by characters. Every function takes
// any bytes; a byte that does not start a valid sequence reads as one
// character U+FFFD of length 1, so nothing here can run past its input.
// Thread-safe: no state.

#ifndef VELLORA_TEXT_UTF8_H_
#define VELLORA_TEXT_UTF8_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace vellora {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// One character read from UTF-8 bytes: its code point and how many bytes
// it took (1 to 4).
struct Utf8Char {
  char32_t code_point;
  size_t length;
};

// The number of leading bytes of `text` below 128.
size_t AsciiPrefixLength(std::string_view text);
inline bool IsAscii(std::string_view text) { return AsciiPrefixLength(text) == text.size(); }

// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or
// code points above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// The character that starts at `pos` (REQUIRES: pos < text.size()).
Utf8Char DecodeUtf8(std::string_view text, size_t pos);

// Appends the UTF-8 form of `code_point`; a surrogate or a value above
// U+10FFFF is appended as U+FFFD.
void AppendUtf8(std::string& out, char32_t code_point);

// The number of characters of valid UTF-8 `text` (bytes that are not
// continuation bytes).
size_t CountCharacters(std::string_view text);

// The byte length of the first `count` characters of valid UTF-8 `text`
// (all of it when it is shorter): a cut there never splits a character.
size_t PrefixOfCharacters(std::string_view text, size_t count);

}  // namespace vellora

#endif  // VELLORA_TEXT_UTF8_H_
