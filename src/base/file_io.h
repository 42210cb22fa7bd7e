// Whole-file reading and writing, and the folder operations the program uses.
//
// Failures raise EFileError with the program's fixed texts:
//   reading: Cannot open file "<path>". <reason>
//   writing: Cannot create file "<path>". <reason>
//            Stream write error  (created, but not all bytes could be written)
// where <reason> is the system's text without trailing blanks and full stops.

#ifndef VELLORA_BASE_FILE_IO_H_
#define VELLORA_BASE_FILE_IO_H_

#include <string>
#include <vector>

#include "base/errors.h"

namespace vellora {

inline constexpr const char kStreamWriteError[] = "Stream write error";

// Returns the whole content of the file at `path`.
std::string ReadWholeFile(const std::string& path);

// Replaces the file at `path` with `content`. The bytes go to a temporary
// file beside it which is then renamed over the old file, so a failure
// leaves the old content untouched and never a half-written file.
void WriteWholeFile(const std::string& path, const std::string& content);

bool FileExists(const std::string& path);       // a regular file
bool DirectoryExists(const std::string& path);  // a folder

// Creates `path` and every missing parent; true when the folder exists after.
bool ForceDirectories(const std::string& path);

// Deletes one file; false when it could not be deleted.
bool DeleteFileAt(const std::string& path);

// One entry of a folder listing.
struct DirEntry {
  std::string name;
  bool is_directory = false;
  bool is_hidden = false;  // the name begins with "."
};

// The entries of a folder ("." and ".." left out), in the order the system
// gives them; an unreadable folder gives none.
std::vector<DirEntry> ListDirectory(const std::string& folder);

}  // namespace vellora

#endif  // VELLORA_BASE_FILE_IO_H_
