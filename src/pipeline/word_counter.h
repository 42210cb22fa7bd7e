// WordCounter: counts tokens by word, two tokens being the same word when
// they are equal ignoring case: by the code page's upper-case mapping in
// ANSI mode; in Unicode mode, where every token is already lower-cased by
// Unicode, by ASCII letters only, so that no two different UTF-8 characters
// are taken for one (the code page would take the continuation bytes 8A and
// 9A for one letter, and "ъ" for "њ"). A word keeps the spelling of its
// first token. Lookups go through a hash index on
// the upper-cased bytes, so counting n tokens costs O(n) on average, however
// many distinct words there are. Not thread-safe.

#ifndef VELLORA_PIPELINE_WORD_COUNTER_H_
#define VELLORA_PIPELINE_WORD_COUNTER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/text_mode.h"

namespace vellora {

class WordCounter {
 public:
  struct Word {
    std::string text;
    int64_t count;
  };

  explicit WordCounter(TextMode mode = TextMode::kAnsi);

  // Adds one occurrence of `token`: its word's count grows by one, or a new
  // word with count 1 is added.
  void Add(std::string_view token);

  size_t Size() const { return words_.size(); }
  // The words in order of their first occurrence.
  const std::vector<Word>& Words() const { return words_; }
  // Moves the words out; the counter is left empty.
  std::vector<Word> TakeWords();

 private:
  uint64_t HashIgnoringCase(std::string_view text) const;
  bool EqualIgnoringCase(std::string_view a, std::string_view b) const;
  void Grow();

  const unsigned char* upper_;  // the case mapping of the text mode

  std::vector<Word> words_;
  std::vector<uint64_t> hashes_;  // parallel to words_
  std::vector<uint32_t> slots_;   // word index + 1, 0 for an empty slot
  size_t mask_ = 0;
};

}  // namespace vellora

#endif  // VELLORA_PIPELINE_WORD_COUNTER_H_
