// ProfileFile: a profile (INI) file read and written key by key.
//
// Reading looks a key up in its section ignoring letter case, takes the text
// after the first "=", trims blanks, removes one pair of enclosing single or
// double quotes and yields at most 2,047 characters; an absent file, section
// or key yields the caller's default. Writing replaces the key's value or
// adds the key to its section (creating the section when missing) and leaves
// other sections, keys and their order alone; deleting a key removes its
// lines. Changes are kept in memory until Flush(), which replaces the file
// atomically; a new file is the section line followed by Key=Value lines,
// every line ending with CR LF.

#ifndef VELLORA_BASE_PROFILE_FILE_H_
#define VELLORA_BASE_PROFILE_FILE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellora {

class ProfileFile {
 public:
  static constexpr size_t kMaxValueLength = 2047;

  // Reads `path`; an absent or unreadable file (or a folder) reads as empty.
  // A device, FIFO or socket at `path` raises the open error of EFileError.
  explicit ProfileFile(std::string path);

  const std::string& Path() const { return path_; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view default_value) const;
  // The key's text read as an integer (0x/0X or $ for hexadecimal, otherwise
  // decimal with an optional sign); `default_value` when it is empty, not a
  // whole number or outside the signed 32-bit range.
  int64_t ReadInteger(std::string_view section, std::string_view key, int64_t default_value) const;

  // Raises EFileError "Unable to write to <path> (...)" when the section, the
  // key or the value holds a CR or LF; the file is then left unchanged.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int64_t value);
  // Removes the key's lines from its section; nothing changes when the key
  // is absent.
  void DeleteKey(std::string_view section, std::string_view key);

  // Writes the file when it was changed, through a symbolic link to the file
  // it names; raises EFileError "Unable to write to <path>" on failure.
  void Flush();

  // The integer rule of ReadInteger applied to a text.
  static std::optional<int32_t> ParseInteger(std::string_view text);

 private:
  // Index of the section's header line, or -1.
  int FindSection(std::string_view section) const;
  // Index of the key's line within the section starting at header `header`, or -1.
  int FindKey(int header, std::string_view key) const;

  std::string path_;
  std::vector<std::string> lines_;
  bool dirty_ = false;
};

}  // namespace vellora

#endif  // VELLORA_BASE_PROFILE_FILE_H_
