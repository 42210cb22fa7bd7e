// The per-token work of word extraction: turning one file's bytes into
// lower-case tokens, and the cleaning filter that drops unwanted tokens.
//
// TokenExtractor compiles its four patterns once, so one extractor serves
// every file of a run. TokenFilter keeps its word set and fragment buckets
// for a run; both are read-only after construction. Not thread-safe.

#ifndef VELLORA_PIPELINE_TOKEN_EXTRACTOR_H_
#define VELLORA_PIPELINE_TOKEN_EXTRACTOR_H_

#include <array>
#include <bitset>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "base/text_list.h"
#include "pipeline/pattern_replacer.h"

namespace vellora {

// The longest token (or line) that the steps read: a text list line read
// yields at most this many characters.
inline constexpr size_t kLineReadLimit = TextList::kMaxLineRead;

class TokenExtractor {
 public:
  TokenExtractor();

  // The tokens of a file whose content is `bytes`: the file's lines (cut at
  // the first NUL, each read up to kLineReadLimit characters) trimmed of
  // control characters and spaces and joined by single spaces; markup tags,
  // numbers standing as words and the punctuation [ ] ; " ( ) . , ! : removed;
  // runs of white space made one space, and every space a line break; then
  // lower-cased. The result holds one token per CR LF-terminated line and is
  // empty when the file has no visible text. Takes the bytes so that it can
  // let them go early: the work holds at most about 2.25 times their size.
  std::string Extract(std::string bytes);

  // The lines of `bytes` trimmed and joined, each followed by one space.
  static std::string JoinTrimmedLines(std::string_view bytes);

 private:
  PatternReplacer tags_;
  PatternReplacer numbers_;
  PatternReplacer spaces_;
  PatternReplacer punctuation_;
};

class TokenFilter {
 public:
  // `prohibited`: whole tokens to drop; `dontcontain`: fragments whose
  // presence drops a token (empty lines match nothing). Both compare
  // case-sensitively.
  TokenFilter(const TextList& prohibited, const TextList& dontcontain);
  TokenFilter(const TokenFilter&) = delete;
  TokenFilter& operator=(const TokenFilter&) = delete;

  // True when `token` stays: two characters or more, not a prohibited
  // word, holding no fragment.
  bool Keeps(std::string_view token) const;

 private:
  std::vector<std::string> prohibited_words_;
  std::unordered_set<std::string_view> prohibited_;
  std::vector<std::string> fragments_;
  // Fragment indices by their first byte, and the set of those bytes.
  std::array<std::vector<size_t>, 256> by_first_byte_;
  std::bitset<256> first_bytes_;
};

}  // namespace vellora

#endif  // VELLORA_PIPELINE_TOKEN_EXTRACTOR_H_
