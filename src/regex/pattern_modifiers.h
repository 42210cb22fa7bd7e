// The modifier bits of TPatternEngine::Modifiers, shared by the engine's
// facade and the compiler. Bit 1 << n stands for the letter
// kModifierLetters[n] and for the index n + 1 of GetModifier/SetModifier.
// A compiled program bakes the modifiers in; changing them recompiles.

#ifndef VELLORA_REGEX_PATTERN_MODIFIERS_H_
#define VELLORA_REGEX_PATTERN_MODIFIERS_H_

#include <cstdint>

namespace vellora {

inline constexpr uint32_t kModifierI = 1;   // index 1: case-insensitive
inline constexpr uint32_t kModifierR = 2;   // index 2: Cyrillic class ranges
inline constexpr uint32_t kModifierS = 4;   // index 3: "." matches line breaks
inline constexpr uint32_t kModifierG = 8;   // index 4: greedy quantifiers
inline constexpr uint32_t kModifierM = 16;  // index 5: multi-line "^" "$"
inline constexpr uint32_t kModifierX = 32;  // index 6: extended syntax

// A new engine's modifiers: r, s and g.
inline constexpr uint32_t kDefaultModifiers = kModifierR | kModifierS | kModifierG;

// The letters in bit order, in lower case; either case names a modifier.
inline constexpr char kModifierLetters[] = "irsgmx";

}  // namespace vellora

#endif  // VELLORA_REGEX_PATTERN_MODIFIERS_H_
