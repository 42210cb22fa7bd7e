// Unicode case mapping of UTF-8 texts (ICU's full mappings of the root
// locale, so the result does not depend on the user's locale). Texts of
// ASCII letters only are mapped without ICU. Input that is not valid UTF-8
// has its invalid bytes replaced by U+FFFD. Thread-safe.

#ifndef VELLORA_TEXT_CASE_MAPPING_H_
#define VELLORA_TEXT_CASE_MAPPING_H_

#include <string>
#include <string_view>

namespace vellora {

// Full lower-case mapping: "ÉLÉPHANT" gives "éléphant", "ΟΔΟΣ" gives "οδος"
// with a final sigma.
std::string LowerCaseUtf8(std::string_view text);
// Appends LowerCaseUtf8(text) to `out`.
void AppendLowerCaseUtf8(std::string& out, std::string_view text);

// `text` with its first character in title case ("élan" gives "Élan",
// "ǆemal" gives "ǅemal") when the text has at least two characters and the
// first one changes in title case; otherwise unchanged.
std::string CapitaliseFirstUtf8(std::string_view text);

}  // namespace vellora

#endif  // VELLORA_TEXT_CASE_MAPPING_H_
