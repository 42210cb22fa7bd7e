// Whether a name is text that can be shown on one line as it stands.
//
// Names the program lists and prints (preset names, which are folder names)
// must not hold a line break (the listing would become ambiguous), escape
// sequences or other control characters (they would reach the terminal),
// or bytes that are not text at all.

#ifndef VELLORA_BASE_PRINTABLE_TEXT_H_
#define VELLORA_BASE_PRINTABLE_TEXT_H_

#include <string_view>

namespace vellora {

// True when `text` is valid UTF-8 (no overlong forms, no surrogates, nothing
// above U+10FFFF) and holds no control character: none below U+0020, no
// U+007F and none of the C1 controls U+0080..U+009F.
bool IsPrintableUtf8(std::string_view text);

}  // namespace vellora

#endif  // VELLORA_BASE_PRINTABLE_TEXT_H_
