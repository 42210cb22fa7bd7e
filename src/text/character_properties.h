// Unicode character properties that the text rules ask about (ICU's
// character database). Thread-safe.

#ifndef VELLORA_TEXT_CHARACTER_PROPERTIES_H_
#define VELLORA_TEXT_CHARACTER_PROPERTIES_H_

namespace vellora {

// True for the characters of the White_Space property: the ASCII ones, the
// no-break space U+00A0, the other space separators (U+2000 to U+200A,
// U+3000, ...), U+0085, U+2028 and U+2029.
bool IsWhiteSpaceCharacter(char32_t code_point);

// True for characters of the Alphabetic property: letters of every script.
bool IsLetterCharacter(char32_t code_point);

}  // namespace vellora

#endif  // VELLORA_TEXT_CHARACTER_PROPERTIES_H_
