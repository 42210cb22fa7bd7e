// The search facts of a compiled program: what a search can learn from the
// program before trying a position. The compiler computes them once per
// compile; the matcher's plan turns them into tables.
//
//   first_chars      the characters a match can begin with (all 256 when a
//                    match can be empty or begin with any character);
//   start_char       the first character of every match, when the only
//                    alternative begins with a literal;
//   anchored         every match begins at the start of the input;
//   required_offset/ a literal every match holds (the longest one of the
//   required_length  top-level sequence), looked for only when the pattern
//                    begins with a repetition.

#ifndef VELLORA_REGEX_PATTERN_SEARCH_FACTS_H_
#define VELLORA_REGEX_PATTERN_SEARCH_FACTS_H_

#include "regex/pattern_compiler.h"

namespace vellora::regex {

// Fills the facts of compiled->program (emitted with settings) into
// *compiled. starts_with_repetition is what the parse found out about the
// pattern's first piece. A program whose links lead nowhere or that holds
// an unknown node kind raises EPatternError 1002 or 1001 at error_position
// (never for a program the compiler emitted).
void ComputeSearchFacts(const CompileSettings& settings, bool starts_with_repetition,
                        int error_position, CompiledPattern* compiled);

}  // namespace vellora::regex

#endif  // VELLORA_REGEX_PATTERN_SEARCH_FACTS_H_
