// HTML character references (named, decimal and hexadecimal) decoded as a
// browser decodes them in text: the named table is the HTML standard's (it
// is generated at build time from Python's html.entities), the longest
// known name wins, and the legacy names that may stand without ";" (&copy,
// &eacute) are decoded without it too. Numbers that name no character (0,
// surrogates, beyond U+10FFFF) give U+FFFD; 128 to 159 give the characters
// that Windows-1252 has there. Thread-safe: the table is constant.

#ifndef VELLORA_TEXT_HTML_ENTITIES_H_
#define VELLORA_TEXT_HTML_ENTITIES_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace vellora {

// One named reference: its name, with the ";" where it has one, and the
// UTF-8 bytes of its characters.
struct HtmlEntity {
  const char* name;
  const char* value;
  int value_length;
};

// The UTF-8 value of the named reference `name` (with or without its ";"
// as the table holds it), or nullptr.
const HtmlEntity* FindHtmlEntity(std::string_view name);

// When a character reference starts at `pos` of `text` (REQUIRES:
// text[pos] == '&'), appends its characters in UTF-8 to `out` and returns
// the number of bytes it took; otherwise appends nothing and returns 0.
size_t DecodeCharacterReference(std::string_view text, size_t pos, std::string& out);

// `text` with every character reference decoded, left to right; the
// characters a reference gives are not decoded again ("&amp;lt;" gives
// "&lt;").
std::string DecodeCharacterReferences(std::string_view text);

}  // namespace vellora

#endif  // VELLORA_TEXT_HTML_ENTITIES_H_
