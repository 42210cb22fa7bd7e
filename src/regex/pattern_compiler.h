// The pattern compiler: parses a pattern twice (measure, then emit) into the
// byte program of pattern_program.h, then has the search facts computed
// (pattern_search_facts.h).

#ifndef VELLORA_REGEX_PATTERN_COMPILER_H_
#define VELLORA_REGEX_PATTERN_COMPILER_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "regex/pattern_program.h"

namespace vellora::regex {

struct CompileSettings {
  uint32_t modifiers = 0;
  std::string_view space_chars;
  std::string_view word_chars;
  std::string_view line_break_chars;
  bool pair_assigned = false;
  uint8_t pair_head = 0;
  const uint8_t* case_inverse = nullptr;  // 256 entries
};

struct CompiledPattern {
  std::vector<uint8_t> program;
  CharSet first_chars;
  uint8_t start_char = 0;  // 0: none
  int anchored = 0;
  size_t required_offset = 0;  // offset of the literal's text in program
  size_t required_length = 0;  // 0: none
  int group_count = 0;
};

// Compiles pattern (which must hold no 0 byte). Raises EPatternError with the
// code and the cursor position on failure.
CompiledPattern CompilePattern(std::string_view pattern, const CompileSettings& settings);

// Applies a modifier text such as "is-mx" to *modifiers; false (leaving
// *modifiers unchanged) when a character is neither a modifier letter nor "-".
bool ParseModifierLetters(std::string_view text, uint32_t* modifiers);

}  // namespace vellora::regex

#endif  // VELLORA_REGEX_PATTERN_COMPILER_H_
