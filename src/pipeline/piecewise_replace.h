// Replace-all over a large text, one piece at a time.
//
// The pattern engine copies the text it searches, and a replace builds its
// result beside it, so replacing over a whole file holds the file three
// times over. ReplaceInPieces cuts the text only where the cut cannot change
// the result for the pattern in use (CutRule), replaces each piece and joins
// the results: the output is exactly the replace over the whole text, and
// the engine holds one piece at a time. A text without a place that the rule
// allows is replaced whole.

#ifndef VELLORA_PIPELINE_PIECEWISE_REPLACE_H_
#define VELLORA_PIPELINE_PIECEWISE_REPLACE_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "pipeline/pattern_replacer.h"

namespace vellora {

// Where a text may be cut for a pattern. REQUIRES: the text holds no NUL.
enum class CutRule {
  // A pattern that matches single characters ("[...]"): anywhere.
  kAnywhere,
  // "<.+?>": after a ">" that does not follow a "<". Every "<" before such
  // a ">" has its match end there at the latest, so no match crosses it.
  kAfterTagEnd,
  // "\b\d*\b" replaced by nothing: after a space. A match is a run of digits,
  // which holds no space, and a word boundary just after the space reads the
  // same at the start of a piece.
  kAfterSpace,
  // "\s{2,}": between two visible ASCII characters (which no white-space run
  // holds), so no run is split.
  kBetweenVisible,
};

inline constexpr size_t kReplacePieceSize = size_t{4} << 20;

// ReplacerFor(pattern).Replace(text, replacement) over the whole `text`,
// computed piece by piece; pieces are about `piece_size` bytes long.
std::string ReplaceInPieces(PatternReplacer& replacer, std::string_view text,
                            std::string_view replacement, CutRule rule,
                            size_t piece_size = kReplacePieceSize);

}  // namespace vellora

#endif  // VELLORA_PIPELINE_PIECEWISE_REPLACE_H_
