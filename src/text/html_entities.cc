#include "text/html_entities.h"

#include <algorithm>

#include "text/utf8.h"

namespace vellora {
namespace {

#include "text/html_entity_table.inc"

// The longest name in the table, ";" included.
constexpr size_t kLongestName = 32;

// What the references &#128; to &#159; stand for: the characters of
// Windows-1252 at those bytes; 0 where the code page has none (the number
// then stands for itself).
// clang-format off
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
// clang-format on

bool IsAlphanumeric(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char32_t CharacterOfNumber(uint64_t number) {
  if (number == 0 || number > 0x10FFFF || (number >= 0xD800 && number <= 0xDFFF)) {
    return kReplacementCharacter;
  }
  if (number >= 0x80 && number <= 0x9F && kWindows1252High[number - 0x80] != 0) {
    return kWindows1252High[number - 0x80];
  }
  return static_cast<char32_t>(number);
}

size_t DecodeNumeric(std::string_view text, size_t pos, std::string& out) {
  size_t i = pos + 2;  // after "&#"
  const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
  if (hex) ++i;
  const size_t digits_start = i;
  uint64_t number = 0;
  for (; i < text.size(); ++i) {
    const int digit =
        hex ? HexValue(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) break;
    // Past the largest code point the value only needs to stay too large.
    if (number <= 0x10FFFF) number = number * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
  }
  if (i == digits_start) return 0;
  if (i < text.size() && text[i] == ';') ++i;
  AppendUtf8(out, CharacterOfNumber(number));
  return i - pos;
}

void AppendValue(std::string& out, const HtmlEntity& entity) {
  out.append(entity.value, static_cast<size_t>(entity.value_length));
}

}  // namespace

const HtmlEntity* FindHtmlEntity(std::string_view name) {
  const HtmlEntity* begin = std::begin(kHtmlEntities);
  const HtmlEntity* end = std::end(kHtmlEntities);
  const HtmlEntity* found =
      std::lower_bound(begin, end, name, [](const HtmlEntity& entity, std::string_view key) {
        return std::string_view(entity.name) < key;
      });
  return found != end && std::string_view(found->name) == name ? found : nullptr;
}

size_t DecodeCharacterReference(std::string_view text, size_t pos, std::string& out) {
  if (pos + 1 >= text.size()) return 0;
  if (text[pos + 1] == '#') return DecodeNumeric(text, pos, out);
  size_t end = pos + 1;
  while (end < text.size() && end - pos <= kLongestName && IsAlphanumeric(text[end])) ++end;
  if (end == pos + 1) return 0;
  if (end < text.size() && text[end] == ';') {
    if (const HtmlEntity* entity = FindHtmlEntity(text.substr(pos + 1, end - pos))) {
      AppendValue(out, *entity);
      return end + 1 - pos;
    }
  }
  // The longest legacy name (one without ";") that the letters begin with.
  for (size_t length = end - pos - 1; length >= 2; --length) {
    if (const HtmlEntity* entity = FindHtmlEntity(text.substr(pos + 1, length))) {
      AppendValue(out, *entity);
      return length + 1;
    }
  }
  return 0;
}

std::string DecodeCharacterReferences(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  for (;;) {
    const size_t amp = text.find('&', pos);
    if (amp == std::string_view::npos) break;
    out.append(text.substr(pos, amp - pos));
    const size_t taken = DecodeCharacterReference(text, amp, out);
    if (taken == 0) out.push_back('&');
    pos = amp + std::max<size_t>(taken, 1);
  }
  out.append(text.substr(pos));
  return out;
}

}  // namespace vellora
