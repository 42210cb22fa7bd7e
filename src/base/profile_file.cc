#include "base/profile_file.h"

#include <sys/stat.h>

#include "base/code_page.h"
#include "base/errors.h"
#include "base/file_io.h"
#include "base/integer_spin.h"
#include "base/numbers.h"

namespace vellora {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The section name of a "[name]" line, or nullopt for other lines.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

}  // namespace

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)) {
  // A device, FIFO or socket in its place is refused (reading one could
  // wait or run on forever); an absent or unreadable file reads as empty.
  struct stat st;
  const bool refused =
      ::stat(path_.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
  std::string content;
  try {
    content = ReadWholeFile(path_);
  } catch (const EFileError&) {
    if (refused) throw;
    return;
  }
  size_t pos = 0;
  while (pos < content.size()) {
    size_t end = content.find('\n', pos);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(std::move(line));
    pos = end + 1;
  }
}

int ProfileFile::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    std::optional<std::string_view> name = SectionName(lines_[i]);
    if (name && EqualIgnoringCase(*name, Trim(section))) return static_cast<int>(i);
  }
  return -1;
}

int ProfileFile::FindKey(int header, std::string_view key) const {
  for (size_t i = static_cast<size_t>(header) + 1; i < lines_.size(); ++i) {
    const std::string& line = lines_[i];
    if (SectionName(line)) break;
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    if (EqualIgnoringCase(Trim(std::string_view(line).substr(0, eq)), Trim(key))) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view default_value) const {
  int header = FindSection(section);
  int index = header < 0 ? -1 : FindKey(header, key);
  if (index < 0) return std::string(default_value);
  const std::string& line = lines_[static_cast<size_t>(index)];
  std::string_view value = Trim(std::string_view(line).substr(line.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  if (value.size() > kMaxValueLength) value = value.substr(0, kMaxValueLength);
  return std::string(value);
}

namespace {

std::optional<int32_t> ParseHex32(std::string_view digits) {
  std::optional<int64_t> value = ParseHexadecimal(digits, INT32_MAX);
  if (!value) return std::nullopt;
  return static_cast<int32_t>(*value);
}

}  // namespace

std::optional<int32_t> ProfileFile::ParseInteger(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return ParseHex32(text.substr(2));
  }
  if (!text.empty() && text[0] == '$') return ParseHex32(text.substr(1));
  return IntegerSpin::ParseDecimal(text);
}

int64_t ProfileFile::ReadInteger(std::string_view section, std::string_view key,
                                 int64_t default_value) const {
  std::optional<int32_t> value = ParseInteger(ReadString(section, key, ""));
  return value ? *value : default_value;
}

void ProfileFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
  // A line break would end the line early and make the rest a line of its
  // own: another key, or another section, at the next read.
  for (std::string_view part : {section, key, value}) {
    if (part.find_first_of("\r\n") != std::string_view::npos) {
      throw EFileError("Unable to write to " + path_ + " (\"" + std::string(key) +
                       "\" holds a line break)");
    }
  }
  std::string line = std::string(key) + "=" + std::string(value);
  int header = FindSection(section);
  if (header < 0) {
    std::string header(1, '[');
    header.append(section);
    header.push_back(']');
    lines_.push_back(std::move(header));
    lines_.push_back(std::move(line));
  } else if (int index = FindKey(header, key); index >= 0) {
    lines_[static_cast<size_t>(index)] = std::move(line);
  } else {
    // After the section's last non-blank line.
    size_t insert_at = static_cast<size_t>(header) + 1;
    for (size_t i = insert_at; i < lines_.size() && !SectionName(lines_[i]); ++i) {
      if (!Trim(lines_[i]).empty()) insert_at = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert_at), std::move(line));
  }
  dirty_ = true;
}

void ProfileFile::WriteInteger(std::string_view section, std::string_view key, int64_t value) {
  WriteString(section, key, std::to_string(value));
}

void ProfileFile::DeleteKey(std::string_view section, std::string_view key) {
  int header = FindSection(section);
  if (header < 0) return;
  // Every line of the key goes, so that no second copy reads back.
  for (int index = FindKey(header, key); index >= 0; index = FindKey(header, key)) {
    lines_.erase(lines_.begin() + index);
    dirty_ = true;
  }
}

void ProfileFile::Flush() {
  if (!dirty_) return;
  std::string content;
  for (const std::string& line : lines_) {
    content += line;
    content += "\r\n";
  }
  try {
    WriteWholeFile(path_, content, LinkRule::kWriteThrough);
  } catch (const EFileError&) {
    throw EFileError("Unable to write to " + path_);
  }
  dirty_ = false;
}

}  // namespace vellora
