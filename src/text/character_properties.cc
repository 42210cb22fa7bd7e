#include "text/character_properties.h"

#include <unicode/uchar.h>

namespace vellora {

bool IsWhiteSpaceCharacter(char32_t code_point) {
  return u_hasBinaryProperty(static_cast<UChar32>(code_point), UCHAR_WHITE_SPACE) != 0;
}

bool IsLetterCharacter(char32_t code_point) {
  return u_hasBinaryProperty(static_cast<UChar32>(code_point), UCHAR_ALPHABETIC) != 0;
}

}  // namespace vellora
