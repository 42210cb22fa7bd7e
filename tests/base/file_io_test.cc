#include "base/file_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>

#include "base/errors.h"
#include "test_util.h"

namespace vellora {
namespace {

std::string CreateError(const std::string& path, const std::string& reason) {
  return "Cannot create file \"" + path + "\". " + reason;
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EFileError& e) {
    return e.what();
  }
  return "no error";
}

mode_t ModeOf(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

// The names in `folder`, so a test sees every file a write left behind.
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const DirEntry& entry : ListDirectory(folder)) names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  return names;
}

// Sets a file's modification time `seconds` into the past.
void Age(const std::string& path, int seconds) {
  struct timespec times[2];
  ::clock_gettime(CLOCK_REALTIME, &times[0]);
  times[0].tv_sec -= seconds;
  times[1] = times[0];
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

TEST(SafeWrite, PlantedLinksAndFifosAtTemporaryNamesAreNeverTouched) {
  TempDir dir;
  const std::string victim = dir.path() + "/victim";
  const std::string page = dir.path() + "/index.htm";
  WriteFileForTest(victim, "precious");
  WriteFileForTest(page, "old page");
  ASSERT_EQ(::symlink(victim.c_str(), (page + ".vb-tmp").c_str()), 0);
  ASSERT_EQ(::mkfifo((dir.path() + "/.vb-AAAAAA").c_str(), 0644), 0);
  ASSERT_EQ(::symlink(victim.c_str(), (dir.path() + "/.vb-BBBBBB").c_str()), 0);
  for (int i = 0; i < 20; ++i) WriteWholeFile(page, "new page " + std::to_string(i));
  EXPECT_EQ(ReadFileForTest(page), "new page 19");
  EXPECT_TRUE(S_ISREG(ModeOf(page)));
  EXPECT_EQ(ReadFileForTest(victim), "precious");
  EXPECT_TRUE(S_ISLNK(ModeOf(page + ".vb-tmp")));
  EXPECT_TRUE(S_ISFIFO(ModeOf(dir.path() + "/.vb-AAAAAA")));
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{".vb-AAAAAA", ".vb-BBBBBB", "index.htm",
                                                         "index.htm.vb-tmp", "victim"}));
}

TEST(SafeWrite, RefusesAFifoASocketOrADeviceAtTheTargetAndLeavesItStanding) {
  TempDir dir;
  const std::string fifo = dir.path() + "/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_EQ(ErrorOf([&] { WriteWholeFile(fifo, "x"); }), CreateError(fifo, kNotRegularFileReason));
  EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));

  const std::string socket_path = dir.path() + "/sock";
  int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  struct sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socket_path.c_str());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  EXPECT_EQ(ErrorOf([&] { WriteWholeFile(socket_path, "x"); }),
            CreateError(socket_path, kNotRegularFileReason));
  EXPECT_TRUE(S_ISSOCK(ModeOf(socket_path)));
  ::close(sock);

  // Through a link, under either rule, a device is not replaced either.
  const std::string link = dir.path() + "/null-link";
  ASSERT_EQ(::symlink("/dev/null", link.c_str()), 0);
  EXPECT_EQ(ErrorOf([&] { WriteWholeFile(link, "x", LinkRule::kWriteThrough); }),
            CreateError(link, kNotRegularFileReason));
  EXPECT_TRUE(S_ISCHR(ModeOf("/dev/null")));
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"fifo", "null-link", "sock"}));
}

TEST(SafeWrite, DeviceNodeIsRefusedByTheSafeWriteAndWrittenInPlaceByTheDeviceWrite) {
  TempDir dir;
  const std::string node = dir.path() + "/null";
  if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
    GTEST_SKIP() << "mknod is not permitted here";
  }
  EXPECT_EQ(ErrorOf([&] { WriteWholeFile(node, "x"); }), CreateError(node, kNotRegularFileReason));
  WriteWholeFileOrDevice(node, "body");
  EXPECT_TRUE(S_ISCHR(ModeOf(node)));
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"null"});
}

TEST(SafeWrite, KeepsTheModeOfTheFileItReplaces) {
  TempDir dir;
  const std::string secret = dir.path() + "/secret";
  WriteFileForTest(secret, "old");
  ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
  WriteWholeFile(secret, "new");
  EXPECT_EQ(ModeOf(secret) & 07777, 0600u);
  EXPECT_EQ(ReadFileForTest(secret), "new");
  // A new file gets the usual mode, not the temporary file's.
  mode_t mask = ::umask(022);
  WriteWholeFile(dir.path() + "/fresh", "x");
  ::umask(mask);
  EXPECT_EQ(ModeOf(dir.path() + "/fresh") & 07777, 0644u);
}

TEST(SafeWrite, LinkRuleDecidesBetweenReplacingTheLinkAndWritingThroughIt) {
  TempDir dir;
  const std::string real = dir.path() + "/dotfiles/settings.ini";
  WriteFileForTest(real, "kept in the dotfiles");
  const std::string link = dir.path() + "/settings.ini";
  ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);

  WriteWholeFile(link, "through", LinkRule::kWriteThrough);
  EXPECT_TRUE(S_ISLNK(ModeOf(link)));
  EXPECT_EQ(ReadFileForTest(real), "through");
  EXPECT_EQ(Names(dir.path() + "/dotfiles"), std::vector<std::string>{"settings.ini"});

  WriteWholeFile(link, "replaced", LinkRule::kReplaceLink);
  EXPECT_TRUE(S_ISREG(ModeOf(link)));
  EXPECT_EQ(ReadFileForTest(link), "replaced");
  EXPECT_EQ(ReadFileForTest(real), "through");

  // A link that names nothing is not followed into creating a file elsewhere.
  const std::string dangling = dir.path() + "/dangling";
  ASSERT_EQ(::symlink((dir.path() + "/elsewhere/x").c_str(), dangling.c_str()), 0);
  EXPECT_EQ(ErrorOf([&] { WriteWholeFile(dangling, "x", LinkRule::kWriteThrough); }),
            CreateError(dangling, "No such file or directory"));
  EXPECT_FALSE(DirectoryExists(dir.path() + "/elsewhere"));
}

TEST(SafeWrite, AHardLinkedNameKeepsTheOldContent) {
  TempDir dir;
  const std::string a = dir.path() + "/a";
  WriteFileForTest(a, "old");
  ASSERT_EQ(::link(a.c_str(), (dir.path() + "/b").c_str()), 0);
  WriteWholeFile(a, "new");
  EXPECT_EQ(ReadFileForTest(a), "new");
  EXPECT_EQ(ReadFileForTest(dir.path() + "/b"), "old");
}

TEST(SafeWrite, ANameOfTheLongestLengthIsWritten) {
  TempDir dir;
  const std::string path = dir.path() + "/" + std::string(251, 'n') + ".htm";
  WriteWholeFile(path, "page");
  WriteWholeFile(path, "page again");
  EXPECT_EQ(ReadFileForTest(path), "page again");
  EXPECT_EQ(Names(dir.path()).size(), 1u);
}

TEST(SafeWrite, AFullFileSystemKeepsTheOldContentAndLeavesNoTemporaryFile) {
  TempDir dir;
  const std::string mount_point = dir.path() + "/small";
  ASSERT_EQ(::mkdir(mount_point.c_str(), 0755), 0);
  if (::mount("tmpfs", mount_point.c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount a small tmpfs here";
  }
  const std::string path = mount_point + "/settings.ini";
  WriteWholeFile(path, "old");
  EXPECT_EQ(ErrorOf([&] { WriteWholeFile(path, std::string(1 << 20, 'x')); }), kStreamWriteError);
  EXPECT_EQ(ReadFileForTest(path), "old");
  EXPECT_EQ(Names(mount_point), std::vector<std::string>{"settings.ini"});
  ::umount(mount_point.c_str());
}

TEST(DeviceWrite, WritesToAFifoAndReportsAFullDevice) {
  TempDir dir;
  const std::string fifo = dir.path() + "/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  auto reader = std::async(std::launch::async, [&] { return ReadFileForTest(fifo); });
  WriteWholeFileOrDevice(fifo, "through the pipe");
  EXPECT_EQ(reader.get(), "through the pipe");
  EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));

  EXPECT_EQ(ErrorOf([] { WriteWholeFileOrDevice("/dev/full", "x"); }), kStreamWriteError);
  // A regular file is replaced as a whole, through a link.
  const std::string real = dir.path() + "/real";
  WriteFileForTest(real, "old old old");
  ASSERT_EQ(::symlink(real.c_str(), (dir.path() + "/link").c_str()), 0);
  WriteWholeFileOrDevice(dir.path() + "/link", "new");
  EXPECT_EQ(ReadFileForTest(real), "new");
  EXPECT_TRUE(S_ISLNK(ModeOf(dir.path() + "/link")));
}

TEST(Read, RefusesFifosAndDevicesAtOnceAndFollowsLinksToFiles) {
  TempDir dir;
  const std::string fifo = dir.path() + "/settings.ini";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ErrorOf([&] { ReadWholeFile(fifo); }),
            "Cannot open file \"" + fifo + "\". " + kNotRegularFileReason);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

  const std::string zero = dir.path() + "/urls2grab.txt";
  ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0);
  EXPECT_EQ(ErrorOf([&] { ReadWholeFile(zero); }),
            "Cannot open file \"" + zero + "\". " + kNotRegularFileReason);
  EXPECT_EQ(ErrorOf([&] { ReadWholeFile(dir.path()); }),
            "Cannot open file \"" + dir.path() + "\". Is a directory");

  const std::string real = dir.path() + "/real.txt";
  WriteFileForTest(real, std::string(200000, 'r'));
  ASSERT_EQ(::symlink(real.c_str(), (dir.path() + "/link.txt").c_str()), 0);
  EXPECT_EQ(ReadWholeFile(dir.path() + "/link.txt"), std::string(200000, 'r'));
  EXPECT_FALSE(ReadWholeFile("/proc/self/status").empty());  // no size, read on
}

TEST(Read, AStreamTheUserNamesIsReadToItsEnd) {
  TempDir dir;
  const std::string fifo = dir.path() + "/urls";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  auto writer =
      std::async(std::launch::async, [&] { WriteWholeFileOrDevice(fifo, "http://a/\n"); });
  EXPECT_EQ(ReadWholeFileOrStream(fifo), "http://a/\n");
  writer.get();
  EXPECT_EQ(ReadWholeFileOrStream("/dev/null"), "");
  WriteFileForTest(dir.path() + "/plain", "plain");
  EXPECT_EQ(ReadWholeFileOrStream(dir.path() + "/plain"), "plain");
  EXPECT_EQ(ErrorOf([&] { ReadWholeFileOrStream(dir.path()); }),
            "Cannot open file \"" + dir.path() + "\". Is a directory");
  EXPECT_EQ(ErrorOf([&] { ReadWholeFileOrStream(dir.path() + "/none"); }),
            "Cannot open file \"" + dir.path() + "/none\". No such file or directory");
}

TEST(Leftovers, OnlyOldTemporaryFilesOfOursAreRemoved) {
  EXPECT_TRUE(IsTemporaryFileName(".vb-a1B2c3"));
  EXPECT_TRUE(IsTemporaryFileName("index.htm.vb-tmp"));
  EXPECT_FALSE(IsTemporaryFileName(".vb-a1B2c"));
  EXPECT_FALSE(IsTemporaryFileName(".vb-a1B2c3x"));
  EXPECT_FALSE(IsTemporaryFileName(".vb-a1-2c3"));
  EXPECT_FALSE(IsTemporaryFileName(".vb-tmp"));
  EXPECT_FALSE(IsTemporaryFileName("zarngrab#1.htm"));

  TempDir dir;
  const std::string& d = dir.path();
  for (const char* name : {".vb-Old123", "page.htm.vb-tmp", ".vb-New123", "keep.txt"}) {
    WriteFileForTest(d + "/" + name, "x");
  }
  Age(d + "/.vb-Old123", 120);
  Age(d + "/page.htm.vb-tmp", 120);
  Age(d + "/keep.txt", 120);
  ASSERT_EQ(::symlink("keep.txt", (d + "/.vb-Lnk123").c_str()), 0);
  Age(d + "/.vb-Lnk123", 120);
  ASSERT_EQ(::mkdir((d + "/.vb-Dir123").c_str(), 0755), 0);
  EXPECT_EQ(RemoveLeftoverTemporaryFiles(d), 2);
  EXPECT_EQ(Names(d),
            (std::vector<std::string>{".vb-Dir123", ".vb-Lnk123", ".vb-New123", "keep.txt"}));
  EXPECT_EQ(RemoveLeftoverTemporaryFiles(d + "/missing"), 0);
}

}  // namespace
}  // namespace vellora
