// TextList: the content of a multi-line text field, seen as lines separated
// by CR LF.
//
// The whole text is the value; lines are a view of it. Loading a file cuts
// the text at its first NUL and turns every lone CR and lone LF into CR LF;
// saving writes the text byte for byte. The line count leaves out a final
// empty line, and reading a line yields at most its first 4,096 characters.
// Line reads are O(1) after the first one: an index of line starts is built
// lazily and kept up to date by Add. Not thread-safe.

#ifndef VELLORA_BASE_TEXT_LIST_H_
#define VELLORA_BASE_TEXT_LIST_H_

#include <string>
#include <string_view>
#include <vector>

namespace vellora {

class TextList {
 public:
  static constexpr size_t kMaxLineRead = 4096;

  TextList() = default;
  explicit TextList(std::string text) : text_(std::move(text)) {}

  const std::string& Text() const { return text_; }
  // Replaces the whole text as it stands (no line-break conversion).
  void SetText(std::string text);
  void Clear() { SetText(std::string()); }
  bool Empty() const { return text_.empty(); }

  // Replaces the whole text with `bytes` cut at the first NUL, every lone CR
  // and lone LF turned into CR LF.
  void LoadFromBytes(std::string_view bytes);
  // LoadFromBytes of a file's content; raises EFileError when it cannot be read.
  void LoadFromFile(const std::string& path);
  // Writes the text byte for byte (through a symbolic link, to the file it
  // names); raises EFileError when it cannot be written.
  void SaveToFile(const std::string& path) const;

  // The number of lines, without a final empty line.
  int Count() const;
  // Line `index` (0-based, REQUIRES: 0 <= index < Count()), at most
  // kMaxLineRead characters of it.
  std::string Line(int index) const;
  // The whole of line `index`, without the read limit.
  std::string_view FullLine(int index) const;
  // All lines (each whole), in order.
  std::vector<std::string> Lines() const;

  // Appends a line: `line` + CR LF when the text is empty or ends with a line
  // break, CR LF + `line` otherwise. Line breaks inside `line` (CR LF, lone CR
  // or lone LF) split it into several lines.
  void Add(std::string_view line);
  // Removes line `index` together with its line break; the last line of a
  // text without a final line break loses only its characters.
  void Delete(int index);

  // Joins `lines` with CR LF after each one (the text a run of Add gives).
  static std::string JoinLines(const std::vector<std::string>& lines);
  // `bytes` cut at the first NUL with lone CR and LF turned into CR LF.
  static std::string NormalizeLineBreaks(std::string_view bytes);

 private:
  void EnsureIndex() const;

  std::string text_;
  // Start offsets of every line, including a final empty line; valid when
  // index_valid_ is set.
  mutable std::vector<size_t> line_starts_;
  mutable bool index_valid_ = false;
};

}  // namespace vellora

#endif  // VELLORA_BASE_TEXT_LIST_H_
