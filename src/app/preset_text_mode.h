// The text mode of a preset (`unicodetext`): what happens to the state's
// texts when a preset goes into Unicode mode or back into ANSI mode, and
// when a Unicode preset is loaded.
//
// In ANSI mode the texts are 8-bit Windows-1252; in Unicode mode they are
// UTF-8. The texts are every text field, text list and report list of the
// field table, the work buffers included. Paths (the working and output
// folders) are the file system's bytes in both modes and never change, nor
// do the labels, which the steps write.
//
//  - Into Unicode mode: a text that is valid UTF-8 stays as it is (a
//    leading byte-order mark dropped); any other text is read as
//    Windows-1252 and converted. ASCII text never changes.
//  - Back into ANSI mode: a text whose characters all exist in
//    Windows-1252 is converted to it; a text holding any other character
//    ("Москва") keeps its UTF-8 bytes, so nothing is lost, and going into
//    Unicode mode again gives it back as it was.
//  - `echarset` holding one mode's default charset ("iso-8859-1" or
//    "utf-8", any letter case) takes the other mode's default; a charset
//    the user typed stays.
//
// Not thread-safe: works on the one MainState.

#ifndef VELLORA_APP_PRESET_TEXT_MODE_H_
#define VELLORA_APP_PRESET_TEXT_MODE_H_

#include <string>
#include <string_view>

#include "state/main_state.h"

namespace vellora {

// The charset that pages declare by default in Unicode mode.
inline constexpr const char kUnicodeCharset[] = "utf-8";

// `text` as a text of Unicode mode: valid UTF-8 without a leading
// byte-order mark; read as Windows-1252 when it is not valid UTF-8.
std::string UnicodeModeText(std::string_view text);

// Puts the state into Unicode mode (`unicode`) or ANSI mode, re-encoding
// its texts and `echarset` as above, and sets `unicodetext`. Nothing
// changes when the state is in that mode already.
void SetTextMode(MainState& state, bool unicode);

// For a state in Unicode mode: makes every text a text of Unicode mode
// (texts of preset files written by other programs, the default texts
// beside the program, which are Windows-1252) and gives a default
// `echarset` the Unicode default. Loading a Unicode preset ends with it.
void NormaliseUnicodeTexts(MainState& state);

}  // namespace vellora

#endif  // VELLORA_APP_PRESET_TEXT_MODE_H_
