#include "base/text_list.h"

#include <cstring>

#include "base/file_io.h"

namespace vellora {

void TextList::SetText(std::string text) {
  text_ = std::move(text);
  index_valid_ = false;
}

std::string TextList::NormalizeLineBreaks(std::string_view bytes) {
  size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 32);
  size_t i = 0;
  const size_t n = bytes.size();
  while (i < n) {
    // Copy the run up to the next CR or LF in one go.
    size_t j = i;
    while (j < n && bytes[j] != '\r' && bytes[j] != '\n') ++j;
    out.append(bytes.data() + i, j - i);
    if (j == n) break;
    out.append("\r\n");
    if (bytes[j] == '\r' && j + 1 < n && bytes[j + 1] == '\n') {
      i = j + 2;
    } else {
      i = j + 1;
    }
  }
  return out;
}

void TextList::LoadFromBytes(std::string_view bytes) { SetText(NormalizeLineBreaks(bytes)); }

void TextList::LoadFromFile(const std::string& path) { LoadFromBytes(ReadWholeFile(path)); }

void TextList::SaveToFile(const std::string& path) const {
  WriteWholeFile(path, text_, LinkRule::kWriteThrough);
}

void TextList::EnsureIndex() const {
  if (index_valid_) return;
  line_starts_.clear();
  line_starts_.push_back(0);
  const char* data = text_.data();
  const size_t n = text_.size();
  size_t pos = 0;
  while (pos + 1 < n) {
    const void* cr = std::memchr(data + pos, '\r', n - pos - 1);
    if (cr == nullptr) break;
    size_t at = static_cast<size_t>(static_cast<const char*>(cr) - data);
    if (data[at + 1] == '\n') {
      line_starts_.push_back(at + 2);
      pos = at + 2;
    } else {
      pos = at + 1;
    }
  }
  index_valid_ = true;
}

int TextList::Count() const {
  EnsureIndex();
  size_t count = line_starts_.size();
  // A final empty line (the text ends with a line break, or is empty) is not
  // counted.
  if (line_starts_.back() == text_.size()) --count;
  return static_cast<int>(count);
}

std::string_view TextList::FullLine(int index) const {
  EnsureIndex();
  size_t start = line_starts_[static_cast<size_t>(index)];
  size_t end = static_cast<size_t>(index) + 1 < line_starts_.size()
                   ? line_starts_[static_cast<size_t>(index) + 1] - 2
                   : text_.size();
  return std::string_view(text_).substr(start, end - start);
}

std::string TextList::Line(int index) const {
  std::string_view line = FullLine(index);
  if (line.size() > kMaxLineRead) line = line.substr(0, kMaxLineRead);
  return std::string(line);
}

std::vector<std::string> TextList::Lines() const {
  int count = Count();
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) lines.emplace_back(FullLine(i));
  return lines;
}

void TextList::Add(std::string_view line) {
  std::string piece = NormalizeLineBreaks(line);
  bool ends_with_break =
      text_.size() >= 2 && text_[text_.size() - 2] == '\r' && text_.back() == '\n';
  if (text_.empty() || ends_with_break) {
    text_ += piece;
    text_ += "\r\n";
  } else {
    text_ += "\r\n";
    text_ += piece;
  }
  index_valid_ = false;
}

void TextList::Delete(int index) {
  EnsureIndex();
  size_t i = static_cast<size_t>(index);
  size_t start = line_starts_[i];
  size_t end = i + 1 < line_starts_.size() ? line_starts_[i + 1] : text_.size();
  text_.erase(start, end - start);
  index_valid_ = false;
}

std::string TextList::JoinLines(const std::vector<std::string>& lines) {
  size_t total = 0;
  for (const std::string& line : lines) total += line.size() + 2;
  std::string text;
  text.reserve(total);
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace vellora
