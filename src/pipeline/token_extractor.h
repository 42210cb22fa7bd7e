// The per-token work of word extraction: turning one file's bytes into
// lower-case tokens, and the cleaning filter that drops unwanted tokens.
//
// TokenExtractor compiles its four patterns once, so one extractor serves
// every file of a run. TokenFilter keeps its word set and fragment buckets
// for a run; both are read-only after construction. Both work in one text
// mode: in ANSI mode on Windows-1252 bytes, in Unicode mode on characters
// of UTF-8 text (pipeline/unicode_extraction.h). Not thread-safe.

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
#include "text/text_mode.h"

namespace vellora {

// The longest token (or line) that the steps read: a text list line read
// yields at most this many characters.
inline constexpr size_t kLineReadLimit = TextList::kMaxLineRead;

// `line` as a line read yields it: at most kLineReadLimit bytes in ANSI
// mode, kLineReadLimit characters (never a part of one) in Unicode mode.
std::string_view LineAsRead(std::string_view line, TextMode mode);

// What extraction reads from each file.
enum class ExtractMode {
  kEveryText = 0,    // every text between tags, markup removed by pattern
  kVisibleText = 1,  // what a browser shows of the page
  kMainText = 2,     // the page's main article only
};

// What extraction in `extract` mode reads from a file named `file_name`
// whose content is `bytes`, before it is cut into tokens: blocks of text,
// one a line ('\n'-separated), UTF-8 in Unicode mode and Windows-1252 in
// ANSI mode (a character the code page lacks keeps its UTF-8 bytes, as
// ANSI mode reads such a page's bytes). In kEveryText mode: the file's lines
// joined with their markup removed, one line. In the reader modes the page
// is decoded from the charset a browser finds; a ".txt" file, or one that
// does not start with markup, is read as text, a line a block.
std::string ReadableText(std::string bytes, std::string_view file_name, TextMode mode,
                         ExtractMode extract);

class TokenExtractor {
 public:
  explicit TokenExtractor(TextMode mode = TextMode::kAnsi,
                          ExtractMode extract = ExtractMode::kEveryText);

  // The tokens of a file whose content is `bytes`: the file's lines (cut at
  // the first NUL, each read up to kLineReadLimit characters) trimmed of
  // control characters and spaces and joined by single spaces; markup tags,
  // numbers standing as words and the punctuation [ ] ; " ( ) . , ! : removed;
  // runs of white space made one space, and every space a line break; then
  // lower-cased. The result holds one token per CR LF-terminated line and is
  // empty when the file has no visible text. Takes the bytes so that it can
  // let them go early: the work holds at most about 2.25 times their size.
  //
  // In Unicode mode the bytes are first decoded to UTF-8 as a browser
  // would decode them, lines are cut by characters, character references
  // are decoded after the tags are removed (Unicode white space and &nbsp;
  // count as a space), typographic punctuation goes with the ASCII
  // punctuation, and case follows Unicode. Every token is valid UTF-8.
  //
  // In the reader modes (kVisibleText, kMainText) the tokens come from
  // ReadableText instead, with the same rules from the white-space split on:
  // numbers standing as words and the punctuation removed, blocks and
  // spaces made line breaks, lower case. `file_name` only tells a ".txt"
  // file.
  std::string Extract(std::string bytes, std::string_view file_name = {});

  // The lines of `bytes` trimmed and joined, each followed by one space.
  static std::string JoinTrimmedLines(std::string_view bytes, TextMode mode = TextMode::kAnsi);

 private:
  std::string ExtractUnicode(std::string bytes);
  std::string ExtractReadable(std::string bytes, std::string_view file_name);

  TextMode mode_;
  ExtractMode extract_;
  PatternReplacer tags_;
  PatternReplacer numbers_;
  PatternReplacer spaces_;
  PatternReplacer punctuation_;
};

class TokenFilter {
 public:
  // `prohibited`: whole tokens to drop; `dontcontain`: fragments whose
  // presence drops a token (empty lines match nothing). Both compare
  // case-sensitively. Tokens are as long as their characters in `mode`.
  TokenFilter(const TextList& prohibited, const TextList& dontcontain,
              TextMode mode = TextMode::kAnsi);
  TokenFilter(const TokenFilter&) = delete;
  TokenFilter& operator=(const TokenFilter&) = delete;

  // True when `token` stays: two characters or more, not a prohibited
  // word, holding no fragment.
  bool Keeps(std::string_view token) const;

 private:
  TextMode mode_;
  std::vector<std::string> prohibited_words_;
  std::unordered_set<std::string_view> prohibited_;
  std::vector<std::string> fragments_;
  // Fragment indices by their first byte, and the set of those bytes.
  std::array<std::vector<size_t>, 256> by_first_byte_;
  std::bitset<256> first_bytes_;
};

}  // namespace vellora

#endif  // VELLORA_PIPELINE_TOKEN_EXTRACTOR_H_
