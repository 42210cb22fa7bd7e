#include "text/utf8.h"

#include <cstdint>
#include <cstring>

namespace vellora {
namespace {

constexpr uint64_t kHighBits = 0x8080808080808080ull;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

size_t AsciiPrefixLength(std::string_view text) {
  const char* data = text.data();
  const size_t n = text.size();
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t word;
    std::memcpy(&word, data + i, 8);
    if ((word & kHighBits) != 0) break;
  }
  while (i < n && static_cast<unsigned char>(data[i]) < 0x80) ++i;
  return i;
}

Utf8Char DecodeUtf8(std::string_view text, size_t pos) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data()) + pos;
  const size_t left = text.size() - pos;
  const unsigned char c = s[0];
  if (c < 0x80) return {c, 1};
  constexpr Utf8Char kInvalid{kReplacementCharacter, 1};
  if (c < 0xC2) return kInvalid;  // a continuation byte, or an overlong lead
  if (c < 0xE0) {
    if (left < 2 || !IsContinuation(s[1])) return kInvalid;
    return {static_cast<char32_t>(((c & 0x1F) << 6) | (s[1] & 0x3F)), 2};
  }
  if (c < 0xF0) {
    if (left < 3 || !IsContinuation(s[1]) || !IsContinuation(s[2])) return kInvalid;
    const char32_t cp = ((c & 0x0F) << 12) | ((s[1] & 0x3F) << 6) | (s[2] & 0x3F);
    if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) return kInvalid;
    return {cp, 3};
  }
  if (c < 0xF5) {
    if (left < 4 || !IsContinuation(s[1]) || !IsContinuation(s[2]) || !IsContinuation(s[3])) {
      return kInvalid;
    }
    const char32_t cp =
        ((c & 0x07) << 18) | ((s[1] & 0x3F) << 12) | ((s[2] & 0x3F) << 6) | (s[3] & 0x3F);
    if (cp < 0x10000 || cp > 0x10FFFF) return kInvalid;
    return {cp, 4};
  }
  return kInvalid;
}

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    i += AsciiPrefixLength(text.substr(i));
    if (i == text.size()) break;
    const Utf8Char ch = DecodeUtf8(text, i);
    // U+FFFD itself is three bytes long; length 1 means an invalid byte.
    if (ch.length == 1) return false;
    i += ch.length;
  }
  return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacementCharacter;
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

size_t CountCharacters(std::string_view text) {
  size_t count = 0;
  for (char c : text) count += IsContinuation(static_cast<unsigned char>(c)) ? 0 : 1;
  return count;
}

size_t PrefixOfCharacters(std::string_view text, size_t count) {
  if (text.size() <= count) return text.size();  // never more characters than bytes
  size_t i = 0;
  for (size_t seen = 0; i < text.size(); ++i) {
    if (!IsContinuation(static_cast<unsigned char>(text[i]))) {
      if (seen == count) return i;
      ++seen;
    }
  }
  return i;
}

}  // namespace vellora
