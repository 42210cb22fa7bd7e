// Where the program finds its default texts and keeps its presets, for a
// program beside its texts, an installed one, and one in neither layout.

#include "base/program_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "test_util.h"

namespace vellora {
namespace {

const std::vector<std::string> kTexts = {"ini_excludeexact.txt", "ini_index.htm"};

class ProgramFoldersTest : public ::testing::Test {
 protected:
  std::string Folder(const std::string& relative) {
    std::string path = dir_.path() + "/" + relative;
    std::filesystem::create_directories(path);
    return path;
  }
  void Put(const std::string& relative) { WriteFileForTest(dir_.path() + "/" + relative, "x"); }

  TempDir dir_;
  FolderEnvironment environment_{"/data/home", "/home/u"};
};

TEST_F(ProgramFoldersTest, AProgramBesideItsTextsKeepsEverythingBesideIt) {
  // A build tree: the texts beside the program, even in a folder named bin.
  std::string bin = Folder("tree/bin/");
  Put("tree/bin/ini_index.htm");
  Put("tree/share/vellora-brindo/ini_index.htm");
  ProgramFolders folders = LocateProgramFolders(bin, kTexts, environment_);
  EXPECT_EQ(folders.application, bin);
  EXPECT_EQ(folders.default_texts, bin);
  EXPECT_EQ(folders.presets, bin + "Presets/");
  EXPECT_FALSE(folders.installed);
}

TEST_F(ProgramFoldersTest, AnInstalledProgramReadsShareAndKeepsPresetsInTheDataFolder) {
  std::string bin = Folder("usr/bin/");
  Put("usr/share/vellora-brindo/ini_excludeexact.txt");
  ProgramFolders folders = LocateProgramFolders(bin, kTexts, environment_);
  EXPECT_TRUE(folders.installed);
  EXPECT_EQ(folders.default_texts, dir_.path() + "/usr/share/vellora-brindo/");
  EXPECT_EQ(folders.presets, "/data/home/vellora-brindo/Presets/");

  // Without XDG_DATA_HOME, or with a relative one (invalid), the home's
  // ~/.local/share is the data folder.
  for (const char* data : {"", "relative/data"}) {
    FolderEnvironment environment{data, "/home/u"};
    EXPECT_EQ(LocateProgramFolders(bin, kTexts, environment).presets,
              "/home/u/.local/share/vellora-brindo/Presets/")
        << data;
  }
  FolderEnvironment slashed{"/data/home/", "/home/u"};
  EXPECT_EQ(LocateProgramFolders(bin, kTexts, slashed).presets,
            "/data/home/vellora-brindo/Presets/");
}

TEST_F(ProgramFoldersTest, AProgramInNeitherLayoutLooksBesideItself) {
  // No texts beside it, and none in ../share: a missing default text is then
  // reported with the path beside the program, as before.
  for (const char* relative : {"opt/tool/", "usr/bin/"}) {
    std::string folder = Folder(relative);
    ProgramFolders folders = LocateProgramFolders(folder, kTexts, environment_);
    EXPECT_FALSE(folders.installed) << relative;
    EXPECT_EQ(folders.default_texts, folder);
    EXPECT_EQ(folders.presets, folder + "Presets/");
  }
  // A folder that merely bears a text's name is not a text.
  Folder("usr/share/vellora-brindo/ini_index.htm/");
  EXPECT_FALSE(LocateProgramFolders(dir_.path() + "/usr/bin/", kTexts, environment_).installed);
}

TEST_F(ProgramFoldersTest, AReadOnlyFolderWithItsTextsKeepsPresetsInTheDataFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write to any folder";
  std::string folder = Folder("ro/");
  Put("ro/ini_index.htm");
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  ProgramFolders folders = LocateProgramFolders(folder, kTexts, environment_);
  ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(folders.default_texts, folder);
  EXPECT_EQ(folders.presets, "/data/home/vellora-brindo/Presets/");
}

}  // namespace
}  // namespace vellora
