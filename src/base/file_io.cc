#include "base/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace vellora {
namespace {

[[noreturn]] void ThrowOpenError(const std::string& path, const std::string& reason) {
  throw EFileError("Cannot open file \"" + path + "\". " + reason);
}
[[noreturn]] void ThrowOpenError(const std::string& path, int error_number) {
  ThrowOpenError(path, SystemReason(error_number));
}

[[noreturn]] void ThrowCreateError(const std::string& path, const std::string& reason) {
  throw EFileError("Cannot create file \"" + path + "\". " + reason);
}
[[noreturn]] void ThrowCreateError(const std::string& path, int error_number) {
  ThrowCreateError(path, SystemReason(error_number));
}

// The reason a non-regular file cannot be read or replaced.
std::string NotRegularReason(const struct stat& st) {
  return S_ISDIR(st.st_mode) ? SystemReason(EISDIR) : std::string(kNotRegularFileReason);
}

// Writes all of `data`, retrying on EINTR; returns 0 or the errno value.
int WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return 0;
}

// Reads into `buffer` until it is full or the file ends; returns the bytes
// read, or -1 with errno set.
ssize_t ReadFull(int fd, char* buffer, size_t size) {
  size_t have = 0;
  while (have < size) {
    ssize_t n = ::read(fd, buffer + have, size - have);
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    have += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(have);
}

// The part of `path` up to and including its last "/", or "" for a bare name.
std::string FolderPrefix(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Six characters for a temporary name, from the kernel's random source (or,
// should it fail, from the clock, the process id and a counter).
std::string RandomNameCharacters() {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char bytes[6];
  if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
    static uint64_t counter = 0;
    struct timespec now;
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t x = static_cast<uint64_t>(now.tv_nsec) ^ (static_cast<uint64_t>(::getpid()) << 32) ^
                 (++counter * 0x9E3779B97F4A7C15ull);
    for (unsigned char& b : bytes) {
      x ^= x >> 31;
      x *= 0xBF58476D1CE4E5B9ull;
      b = static_cast<unsigned char>(x >> 56);
    }
  }
  std::string chars;
  for (unsigned char b : bytes) chars.push_back(kAlphabet[b % (sizeof kAlphabet - 1)]);
  return chars;
}

// Where a replacing write goes: the file to replace, and its status when it
// exists.
struct WriteTarget {
  std::string path;
  bool exists = false;
  struct stat st = {};
};

WriteTarget ResolveTarget(const std::string& path, LinkRule links) {
  WriteTarget target;
  target.path = path;
  if (::lstat(path.c_str(), &target.st) != 0) {
    if (errno != ENOENT) ThrowCreateError(path, errno);
    return target;  // a new file (a missing folder shows when it is created)
  }
  if (S_ISLNK(target.st.st_mode)) {
    if (links == LinkRule::kReplaceLink) return target;  // the link goes, a new file stands
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) ThrowCreateError(path, errno);
    target.path = real;
    std::free(real);
    if (::stat(target.path.c_str(), &target.st) != 0) ThrowCreateError(path, errno);
  }
  if (!S_ISREG(target.st.st_mode)) ThrowCreateError(path, NotRegularReason(target.st));
  target.exists = true;
  return target;
}

// Creates a new temporary file in the folder of `target`; returns its
// descriptor and sets `temp`. Never opens an existing file or a link.
int CreateTemporaryBeside(const std::string& target, const std::string& reported,
                          std::string* temp) {
  const std::string prefix = FolderPrefix(target) + kTemporaryPrefix;
  for (int attempt = 0; attempt < 100; ++attempt) {
    *temp = prefix + RandomNameCharacters();
    int fd = ::open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST && errno != EINTR) ThrowCreateError(reported, errno);
  }
  ThrowCreateError(reported, EEXIST);
}

// Flushes the folder entry of a rename to disk. The rename has happened, so
// a failure here is not reported: the new content is in place.
void SyncFolderOf(const std::string& path) {
  std::string folder = FolderPrefix(path);
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

bool BeginsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// True when a path the user named must be written in place: a device, FIFO
// or socket, or one of the system's names for open descriptors (which may
// stand for a terminal, a pipe or a file the shell opened).
bool WritesInPlace(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return true;
  return S_ISREG(st.st_mode) && (BeginsWith(path, "/dev/std") || BeginsWith(path, "/dev/fd/") ||
                                 BeginsWith(path, "/proc/"));
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) ThrowOpenError(path, errno);
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    int saved = errno;
    ::close(fd);
    ThrowOpenError(path, saved);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    ThrowOpenError(path, NotRegularReason(st));
  }
  // One allocation of the size the file has; a file that grows meanwhile
  // (or reports no size, as /proc does) is read on in blocks.
  std::string content(static_cast<size_t>(st.st_size > 0 ? st.st_size : 0), '\0');
  ssize_t n = ReadFull(fd, content.data(), content.size());
  if (n >= 0 && static_cast<size_t>(n) == content.size()) {
    char block[65536];
    while ((n = ReadFull(fd, block, sizeof block)) > 0)
      content.append(block, static_cast<size_t>(n));
    if (n == 0) n = static_cast<ssize_t>(content.size());
  } else if (n >= 0) {
    content.resize(static_cast<size_t>(n));
  }
  if (n < 0) {
    int saved = errno;
    ::close(fd);
    ThrowOpenError(path, saved);
  }
  ::close(fd);
  return content;
}

std::string ReadWholeFileOrStream(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return ReadWholeFile(path);
  if (!S_ISFIFO(st.st_mode) && !S_ISCHR(st.st_mode)) ThrowOpenError(path, NotRegularReason(st));
  int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) ThrowOpenError(path, errno);
  std::string content;
  char block[65536];
  ssize_t n;
  while ((n = ReadFull(fd, block, sizeof block)) > 0) content.append(block, static_cast<size_t>(n));
  const int saved = errno;
  ::close(fd);
  if (n < 0) ThrowOpenError(path, saved);
  return content;
}

void WriteWholeFile(const std::string& path, const std::string& content, LinkRule links,
                    Flush flush) {
  const WriteTarget target = ResolveTarget(path, links);
  std::string temp;
  const int fd = CreateTemporaryBeside(target.path, path, &temp);
  if (target.exists) {
    // The new file takes the place of the old one: same owner where we may
    // set it (we run as root, say), same permissions.
    if (target.st.st_uid != ::geteuid() || target.st.st_gid != ::getegid()) {
      (void)::fchown(fd, target.st.st_uid, target.st.st_gid);
    }
    (void)::fchmod(fd, target.st.st_mode & 07777);
  }
  int error = WriteAll(fd, content.data(), content.size());
  if (error == 0 && flush == Flush::kToDisk && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    throw EFileError(kStreamWriteError);
  }
  if (::rename(temp.c_str(), target.path.c_str()) != 0) {
    error = errno;
    ::unlink(temp.c_str());
    ThrowCreateError(path, error);
  }
  if (flush == Flush::kToDisk) SyncFolderOf(target.path);
}

void WriteWholeFileOrDevice(const std::string& path, const std::string& content) {
  if (!WritesInPlace(path)) {
    WriteWholeFile(path, content, LinkRule::kWriteThrough);
    return;
  }
  // O_APPEND: a file the shell opened for ">>" keeps what it held.
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) ThrowCreateError(path, errno);
  int error = WriteAll(fd, content.data(), content.size());
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) throw EFileError(kStreamWriteError);
}

bool IsTemporaryFileName(std::string_view name) {
  constexpr std::string_view kPrefix = kTemporaryPrefix;
  constexpr std::string_view kOldSuffix = ".vb-tmp";
  if (name.size() == kPrefix.size() + 6 && BeginsWith(name, kPrefix)) {
    bool random_part = true;
    for (char c : name.substr(kPrefix.size())) {
      random_part = random_part &&
                    ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'));
    }
    if (random_part) return true;
  }
  return name.size() > kOldSuffix.size() &&
         name.substr(name.size() - kOldSuffix.size()) == kOldSuffix;
}

int RemoveLeftoverTemporaryFiles(const std::string& folder) {
  if (folder.empty()) return 0;
  const std::string prefix = folder.back() == '/' ? folder : folder + "/";
  const time_t now = ::time(nullptr);
  int removed = 0;
  for (const DirEntry& entry : ListDirectory(folder)) {
    if (entry.is_directory || !IsTemporaryFileName(entry.name)) continue;
    const std::string path = prefix + entry.name;
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (now - st.st_mtime <= 60) continue;
    if (::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& path) {
  if (path.empty()) return false;
  std::string partial;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t slash = path.find('/', pos);
    if (slash == std::string::npos) slash = path.size();
    partial = path.substr(0, slash);
    if (!partial.empty() && !DirectoryExists(partial)) {
      if (::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    pos = slash + 1;
  }
  return DirectoryExists(path);
}

bool DeleteFileAt(const std::string& path) { return ::unlink(path.c_str()) == 0; }

std::vector<DirEntry> ListDirectory(const std::string& folder) {
  std::vector<DirEntry> entries;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return entries;
  while (struct dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    DirEntry entry;
    entry.name = name;
    entry.is_hidden = name[0] == '.';
    if (e->d_type == DT_DIR) {
      entry.is_directory = true;
    } else if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      std::string full = folder;
      if (!full.empty() && full.back() != '/') full += '/';
      entry.is_directory = DirectoryExists(full + name);
    }
    entries.push_back(std::move(entry));
  }
  ::closedir(dir);
  return entries;
}

}  // namespace vellora
