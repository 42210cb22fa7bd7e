#include "pipeline/token_extractor.h"

#include <cstring>

#include "base/code_page.h"
#include "pipeline/piecewise_replace.h"
#include "pipeline/step_support.h"
#include "pipeline/unicode_extraction.h"
#include "text/utf8.h"

namespace vellora {
namespace {

// Every single space of `text` made a line break.
std::string SpacesToLineBreaks(std::string_view text) {
  std::string lines;
  lines.reserve(text.size() + text.size() / 4);
  for (char c : text) {
    if (c == ' ') {
      lines += "\r\n";
    } else {
      lines.push_back(c);
    }
  }
  return lines;
}

}  // namespace

std::string_view LineAsRead(std::string_view line, TextMode mode) {
  if (line.size() <= kLineReadLimit) return line;
  return line.substr(
      0, mode == TextMode::kUnicode ? PrefixOfCharacters(line, kLineReadLimit) : kLineReadLimit);
}

TokenExtractor::TokenExtractor(TextMode mode, ExtractMode extract)
    : mode_(mode),
      extract_(extract),
      tags_("<.+?>"),
      numbers_("\\b\\d*\\b"),
      spaces_("\\s{2,}"),
      punctuation_("[\\[\\];\"\\(\\).,!:]") {}

std::string TokenExtractor::JoinTrimmedLines(std::string_view bytes, TextMode mode) {
  const size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
  std::string text;
  text.reserve(bytes.size() + 1);
  const char* data = bytes.data();
  const size_t n = bytes.size();
  size_t i = 0;
  while (i < n) {
    size_t j = i;
    while (j < n && data[j] != '\r' && data[j] != '\n') ++j;
    std::string_view line = LineAsRead(std::string_view(data + i, j - i), mode);
    std::string_view trimmed = TrimControls(line);
    if (!trimmed.empty()) {
      text.append(trimmed);
      text.push_back(' ');
    }
    if (j == n) break;
    i = (data[j] == '\r' && j + 1 < n && data[j + 1] == '\n') ? j + 2 : j + 1;
  }
  return text;
}

std::string TokenExtractor::Extract(std::string bytes, std::string_view file_name) {
  if (extract_ != ExtractMode::kEveryText) return ExtractReadable(std::move(bytes), file_name);
  if (mode_ == TextMode::kUnicode) return ExtractUnicode(std::move(bytes));
  std::string text = JoinTrimmedLines(bytes);
  std::string().swap(bytes);  // at most two texts of the file's size at a time
  if (text.empty()) return text;
  text = ReplaceInPieces(tags_, text, "", CutRule::kAfterTagEnd);
  text = ReplaceInPieces(numbers_, text, "", CutRule::kAfterSpace);
  text = ReplaceInPieces(spaces_, text, " ", CutRule::kBetweenVisible);
  // The punctuation class holds neither a space nor a line break, so it may
  // go before the spaces become line breaks, on the shorter text.
  text = ReplaceInPieces(punctuation_, text, "", CutRule::kAnywhere);
  // Every single space becomes a line break.
  size_t spaces = 0;
  for (char c : text) spaces += c == ' ';
  std::string lines;
  lines.reserve(text.size() + spaces);
  const unsigned char* lower = LowerTable();
  for (char c : text) {
    if (c == ' ') {
      lines += "\r\n";
    } else {
      lines.push_back(static_cast<char>(lower[static_cast<unsigned char>(c)]));
    }
  }
  return lines;
}

std::string TokenExtractor::ExtractUnicode(std::string bytes) {
  std::string text;
  {
    // At most two texts of the file's size at a time: the bytes are let go
    // as soon as a decoded copy stands in for them.
    const DecodedFileText decoded(bytes);
    if (decoded.OwnsText()) std::string().swap(bytes);
    text = JoinTrimmedLines(decoded.Text(), TextMode::kUnicode);
  }
  std::string().swap(bytes);
  if (text.empty()) return text;
  text = ReplaceInPieces(tags_, text, "", CutRule::kAfterTagEnd);
  text = DecodeReferencesAndSpaces(text);
  text = ReplaceInPieces(numbers_, text, "", CutRule::kAfterSpace);
  text = ReplaceInPieces(spaces_, text, " ", CutRule::kBetweenVisible);
  text = ReplaceInPieces(punctuation_, text, "", CutRule::kAnywhere);
  // The text is let go before the lower-cased copy is made, so that at most
  // two texts of the file's size are held at a time here too.
  std::string lines = SpacesToLineBreaks(text);
  std::string().swap(text);
  return LowerCaseTokens(lines);
}

std::string TokenExtractor::ExtractReadable(std::string bytes, std::string_view file_name) {
  std::string text = ReadableText(std::move(bytes), file_name, mode_, extract_);
  if (text.empty()) return text;
  // The reader's blocks hold single spaces and no other white space, so the
  // run of white space that the number pattern may leave is all the
  // white-space rule has to fold: each run of spaces and block ends becomes
  // one line break below, and every block ends with one.
  text.push_back('\n');
  text = ReplaceInPieces(numbers_, text, "", CutRule::kAfterSpace);
  text = ReplaceInPieces(punctuation_, text, "", CutRule::kAnywhere);
  const unsigned char* lower = mode_ == TextMode::kAnsi ? LowerTable() : nullptr;
  std::string lines;
  lines.reserve(text.size() + text.size() / 4);
  bool in_space = false;
  for (char c : text) {
    if (c == ' ' || c == '\n') {
      if (!in_space) lines += "\r\n";
      in_space = true;
      continue;
    }
    in_space = false;
    lines.push_back(lower ? static_cast<char>(lower[static_cast<unsigned char>(c)]) : c);
  }
  std::string().swap(text);
  return lower ? lines : LowerCaseTokens(lines);
}

TokenFilter::TokenFilter(const TextList& prohibited, const TextList& dontcontain, TextMode mode)
    : mode_(mode) {
  const int prohibited_count = prohibited.Count();
  prohibited_words_.reserve(static_cast<size_t>(prohibited_count));
  for (int i = 0; i < prohibited_count; ++i) prohibited_words_.push_back(prohibited.Line(i));
  for (const std::string& word : prohibited_words_) prohibited_.insert(word);

  const int fragment_count = dontcontain.Count();
  for (int i = 0; i < fragment_count; ++i) {
    std::string fragment = dontcontain.Line(i);
    if (fragment.empty()) continue;
    const unsigned char first = static_cast<unsigned char>(fragment[0]);
    by_first_byte_[first].push_back(fragments_.size());
    first_bytes_.set(first);
    fragments_.push_back(std::move(fragment));
  }
}

bool TokenFilter::Keeps(std::string_view token) const {
  if (token.size() < 2) return false;
  // Four bytes may still be one character.
  if (mode_ == TextMode::kUnicode && token.size() <= 4 && CountCharacters(token) < 2) return false;
  if (prohibited_.count(token) != 0) return false;
  if (fragments_.empty()) return true;
  for (size_t i = 0; i < token.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(token[i]);
    if (!first_bytes_.test(c)) continue;
    for (size_t index : by_first_byte_[c]) {
      const std::string& fragment = fragments_[index];
      if (fragment.size() <= token.size() - i &&
          std::memcmp(token.data() + i, fragment.data(), fragment.size()) == 0) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace vellora
