#include "pipeline/piecewise_replace.h"

namespace vellora {
namespace {

bool IsVisibleAscii(char c) { return c > ' ' && c < 0x7F; }

// True when `text` may be cut just before offset `cut` (0 < cut < size).
bool MayCutAt(std::string_view text, size_t cut, CutRule rule) {
  switch (rule) {
    case CutRule::kAnywhere:
      return true;
    case CutRule::kAfterTagEnd:
      return text[cut - 1] == '>' && (cut < 2 || text[cut - 2] != '<');
    case CutRule::kAfterSpace:
      return text[cut - 1] == ' ';
    case CutRule::kBetweenVisible:
      return IsVisibleAscii(text[cut - 1]) && IsVisibleAscii(text[cut]);
  }
  return false;
}

}  // namespace

std::string ReplaceInPieces(PatternReplacer& replacer, std::string_view text,
                            std::string_view replacement, CutRule rule, size_t piece_size) {
  if (piece_size == 0) piece_size = 1;
  if (text.size() <= piece_size) return replacer.Replace(text, replacement);
  std::string out;
  out.reserve(text.size());
  size_t start = 0;
  while (start < text.size()) {
    size_t cut = start + piece_size;
    while (cut < text.size() && !MayCutAt(text, cut, rule)) ++cut;
    if (cut > text.size()) cut = text.size();
    out += replacer.Replace(text.substr(start, cut - start), replacement);
    start = cut;
  }
  return out;
}

}  // namespace vellora
