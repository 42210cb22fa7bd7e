#include "html/block_text.h"

namespace vellora {
namespace {

// The length of the white-space character at `i` (0 when there is none):
// ASCII white space, U+00A0, U+1680, U+2000-U+200A, U+2028, U+2029,
// U+202F, U+205F and U+3000.
size_t SpaceLength(std::string_view s, size_t i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') return 1;
  if (c < 0xC2) return 0;
  auto at = [&](size_t k) -> unsigned char {
    return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0;
  };
  if (c == 0xC2) return at(1) == 0xA0 ? 2 : 0;
  if (c == 0xE1) return at(1) == 0x9A && at(2) == 0x80 ? 3 : 0;
  if (c == 0xE2) {
    if (at(1) == 0x80) {
      const unsigned char d = at(2);
      return (d >= 0x80 && d <= 0x8A) || d == 0xA8 || d == 0xA9 || d == 0xAF ? 3 : 0;
    }
    return at(1) == 0x81 && at(2) == 0x9F ? 3 : 0;
  }
  if (c == 0xE3) return at(1) == 0x80 && at(2) == 0x80 ? 3 : 0;
  return 0;
}

}  // namespace

void BlockText::Append(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const size_t space = SpaceLength(text, i);
    if (space > 0) {
      pending_space_ = out_.size() > block_start_;
      i += space;
      continue;
    }
    // Copy the run up to the next byte that may start white space.
    size_t j = i + 1;
    while (j < text.size()) {
      const unsigned char c = static_cast<unsigned char>(text[j]);
      if (c <= ' ' || c == 0xC2 || c == 0xE1 || c == 0xE2 || c == 0xE3) break;
      ++j;
    }
    if (pending_space_) out_.push_back(' ');
    pending_space_ = false;
    out_.append(text.substr(i, j - i));
    i = j;
  }
}

void BlockText::Break() {
  pending_space_ = false;
  if (out_.size() > block_start_) {
    out_.push_back('\n');
    block_start_ = out_.size();
  }
}

std::string BlockText::Take() {
  if (!out_.empty() && out_.back() == '\n') out_.pop_back();
  block_start_ = 0;
  pending_space_ = false;
  return std::move(out_);
}

size_t CountShownCharacters(std::string_view text) {
  size_t count = 0;
  bool in_space = true;
  size_t i = 0;
  while (i < text.size()) {
    const size_t space = SpaceLength(text, i);
    if (space > 0) {
      if (!in_space) ++count;
      in_space = true;
      i += space;
      continue;
    }
    in_space = false;
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++count;
    ++i;
  }
  return count;
}

}  // namespace vellora
