// Whole-file reading and writing, and the folder operations the program uses.
//
// Failures raise EFileError with the program's fixed texts:
//   reading: Cannot open file "<path>". <reason>
//   writing: Cannot create file "<path>". <reason>
//            Stream write error  (created, but not all bytes could be written)
// where <reason> is the system's text without trailing blanks and full stops,
// or kNotRegularFileReason for a device, FIFO or socket.
//
// Reading and replacing work on regular files only: a device, a FIFO or a
// socket standing at the path is refused at once (never read forever, never
// waited on, never destroyed by a rename).

#ifndef VELLORA_BASE_FILE_IO_H_
#define VELLORA_BASE_FILE_IO_H_

#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"

namespace vellora {

inline constexpr const char kStreamWriteError[] = "Stream write error";
inline constexpr const char kNotRegularFileReason[] = "Not a regular file";

// Returns the whole content of the regular file at `path` (a symbolic link is
// followed). Anything else at the path raises the open error.
std::string ReadWholeFile(const std::string& path);

// ReadWholeFile for a path the user named on the command line, which may
// also be a FIFO or a character device (/dev/stdin, a pipe): that one is read
// until its end, waiting for its writer. A folder or a socket raises the
// open error.
std::string ReadWholeFileOrStream(const std::string& path);

// What a whole-file write does with a symbolic link standing at its path.
enum class LinkRule {
  // The link itself is replaced by the new file; what it named is untouched.
  // For files in folders the program fills (pages, grabbed files), so that a
  // link planted there cannot redirect a write outside the folder.
  kReplaceLink,
  // The regular file the link names is replaced and the link stays. For
  // files the user keeps (a preset's files linked into a dotfiles folder).
  // A link that names no regular file raises the create error.
  kWriteThrough,
};

// Whether a whole-file write waits for the disk.
enum class Flush {
  // The file and its folder entry are on disk when the write returns, so a
  // power loss leaves the old or the new content. Costs a disk round trip
  // (several milliseconds on a journalled file system) per file.
  kToDisk,
  // The system writes the file back when it sees fit; a power loss soon
  // after may leave an empty file on some file systems. For output that is
  // written by the thousand and can be made again (the pages).
  kLeaveToSystem,
};

// Replaces the regular file at `path` with `content`, or creates it. The
// bytes go to a new temporary file beside it (kTemporaryPrefix and six
// random characters, created exclusively and never through a link), which is
// flushed (by `flush`), given the old file's mode, renamed over the old file,
// and the folder flushed; so a failure at any point leaves the old content
// and never a half-written file. A hard link to the old file keeps the old
// content. Anything but a regular file (or, by `links`, a symbolic link) at
// `path` is refused.
void WriteWholeFile(const std::string& path, const std::string& content,
                    LinkRule links = LinkRule::kReplaceLink, Flush flush = Flush::kToDisk);

// A write to a path the user named on the command line: a device, FIFO or
// open descriptor (such as /dev/stdout, /dev/null, anything beneath /dev/ or
// /proc/, or what a link there names) is written in place and never
// replaced; any other path is written as WriteWholeFile does with
// LinkRule::kWriteThrough. May wait for a FIFO's reader.
void WriteWholeFileOrDevice(const std::string& path, const std::string& content);

// The names of WriteWholeFile's temporary files begin with this (hidden, so
// the folder's readers skip them).
inline constexpr const char kTemporaryPrefix[] = ".vb-";

// True for the name of a temporary file of ours: the current ones, and the
// "<name>.vb-tmp" of earlier versions.
bool IsTemporaryFileName(std::string_view name);

// Deletes the temporary files of ours that an interrupted write left in
// `folder`: regular files with a temporary name, unchanged for over a minute
// (a younger one may belong to a write that is still going on). Returns how
// many were deleted; an unreadable folder gives 0.
int RemoveLeftoverTemporaryFiles(const std::string& folder);

bool FileExists(const std::string& path);       // anything but a folder
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
