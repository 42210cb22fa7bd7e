#include "base/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vellora {
namespace {

[[noreturn]] void ThrowOpenError(const std::string& path, int error_number) {
  throw EFileError("Cannot open file \"" + path + "\". " + SystemReason(error_number));
}

[[noreturn]] void ThrowCreateError(const std::string& path, int error_number) {
  throw EFileError("Cannot create file \"" + path + "\". " + SystemReason(error_number));
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

}  // namespace

std::string ReadWholeFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) ThrowOpenError(path, errno);
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    ThrowOpenError(path, EISDIR);
  }
  std::string content;
  if (st.st_size > 0) content.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      int saved = errno;
      ::close(fd);
      ThrowOpenError(path, saved);
    }
    if (n == 0) break;
    content.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return content;
}

void WriteWholeFile(const std::string& path, const std::string& content) {
  // A directory in the way is reported as the file that cannot be created.
  if (DirectoryExists(path)) ThrowCreateError(path, EISDIR);
  std::string temp = path + ".vb-tmp";
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) ThrowCreateError(path, errno);
  int error = WriteAll(fd, content.data(), content.size());
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    throw EFileError(kStreamWriteError);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    error = errno;
    ::unlink(temp.c_str());
    ThrowCreateError(path, error);
  }
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
