#include "pipeline/word_counter.h"

#include <array>

#include "base/code_page.h"

namespace vellora {
namespace {

const unsigned char* AsciiUpperTable() {
  static const std::array<unsigned char, 256> table = [] {
    std::array<unsigned char, 256> t;
    for (int c = 0; c < 256; ++c) {
      t[c] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return t;
  }();
  return table.data();
}

}  // namespace

WordCounter::WordCounter(TextMode mode)
    : upper_(mode == TextMode::kUnicode ? AsciiUpperTable() : UpperTable()),
      slots_(1024, 0),
      mask_(1023) {}

bool WordCounter::EqualIgnoringCase(std::string_view a, std::string_view b) const {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (upper_[static_cast<unsigned char>(a[i])] != upper_[static_cast<unsigned char>(b[i])]) {
      return false;
    }
  }
  return true;
}

uint64_t WordCounter::HashIgnoringCase(std::string_view text) const {
  const unsigned char* upper = upper_;
  uint64_t hash = 14695981039346656037ull;
  for (char c : text) {
    hash ^= upper[static_cast<unsigned char>(c)];
    hash *= 1099511628211ull;
  }
  // Mix the high bits down: the table index takes the low bits.
  return hash ^ (hash >> 29);
}

void WordCounter::Add(std::string_view token) {
  const uint64_t hash = HashIgnoringCase(token);
  size_t slot = hash & mask_;
  while (uint32_t entry = slots_[slot]) {
    size_t index = entry - 1;
    if (hashes_[index] == hash && EqualIgnoringCase(words_[index].text, token)) {
      ++words_[index].count;
      return;
    }
    slot = (slot + 1) & mask_;
  }
  slots_[slot] = static_cast<uint32_t>(words_.size() + 1);
  words_.push_back(Word{std::string(token), 1});
  hashes_.push_back(hash);
  if (words_.size() * 2 > slots_.size()) Grow();
}

void WordCounter::Grow() {
  std::vector<uint32_t> slots(slots_.size() * 2, 0);
  const size_t mask = slots.size() - 1;
  for (size_t i = 0; i < words_.size(); ++i) {
    size_t slot = hashes_[i] & mask;
    while (slots[slot] != 0) slot = (slot + 1) & mask;
    slots[slot] = static_cast<uint32_t>(i + 1);
  }
  slots_ = std::move(slots);
  mask_ = mask;
}

std::vector<WordCounter::Word> WordCounter::TakeWords() {
  std::vector<Word> words = std::move(words_);
  words_.clear();
  hashes_.clear();
  slots_.assign(1024, 0);
  mask_ = 1023;
  return words;
}

}  // namespace vellora
