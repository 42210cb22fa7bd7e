#include "app/presets.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <vector>

#include "base/errors.h"
#include "test_util.h"

namespace vellora {
namespace {

class PresetsTest : public ::testing::Test {
 protected:
  void SetUp() override { state_.preset_folder = dir_.path() + "/alpha/"; }
  std::string File(const std::string& name) { return state_.preset_folder + name; }

  TempDir dir_;
  MainState state_;
};

TEST_F(PresetsTest, ANewPresetKeepsTheFieldsAndGetsTheDefaults) {
  std::filesystem::create_directories(state_.preset_folder);
  state_.prohibited.SetText("the\r\n");
  state_.edataurl = "";
  loadpreset(state_);
  EXPECT_EQ(state_.prohibited.Text(), "the\r\n");
  EXPECT_EQ(state_.edataurl, "http://");
  EXPECT_EQ(state_.phraselength.Value(), 4);
  EXPECT_EQ(state_.esiteurl, kDefaultSiteUrl);
}

TEST_F(PresetsTest, SavingWritesTenFilesAndSixteenKeysInOrder) {
  std::filesystem::create_directories(state_.preset_folder);
  state_.urls2grab.SetText("http://a/\r\nhttp://b/");
  state_.echarset = "utf-8";
  state_.eresfolder = "/elsewhere";
  state_.sentmax.SetText("junk");  // a spin that is not a number saves its minimum
  state_.edataurl = "http://";
  savepreset(state_);
  ASSERT_EQ(PresetFileRows().size(), 10u);
  for (const FieldRow* row : PresetFileRows()) {
    EXPECT_TRUE(std::filesystem::is_regular_file(File(row->preset_file))) << row->preset_file;
  }
  EXPECT_EQ(ReadFileForTest(File("urls2grab.txt")), "http://a/\r\nhttp://b/");
  EXPECT_EQ(ReadFileForTest(File("settings.ini")),
            "[GENERAL]\r\nMinWordRate=1\r\nRateMultiplier=1\r\nPhraseLength=4\r\nUrlMin=35\r\n"
            "UrlMax=70\r\nImageMin=35\r\nImageMax=70\r\nSentMin=3\r\nSentMax=1\r\nParMin=3\r\n"
            "ParMax=15\r\nSiteName=Vellora Software\r\nSiteURL=http://www.example.com/\r\n"
            "PageExt=htm\r\nIndexName=index.htm\r\nDataURL=http://\r\n");
}

TEST_F(PresetsTest, StoredValuesAreReadLeniently) {
  WriteFileForTest(File("settings.ini"),
                   "[GENERAL]\r\nSentMax=0x1F\r\nParMax=$1F\r\nSentMin=abc\r\nUrlMin=\r\n"
                   "MinWordRate=0\r\nPhraseLength=50\r\nSiteName=  \"My site\"  \r\n");
  WriteFileForTest(File("templates.txt"), "one $\ntwo $\n");
  loadpreset(state_);
  EXPECT_EQ(state_.sentmax.Value(), 31);
  EXPECT_EQ(state_.parmax.Value(), 31);
  EXPECT_EQ(state_.sentmin.Value(), 3);
  EXPECT_EQ(state_.urlmin.Value(), 35);
  EXPECT_EQ(state_.minwordrate.Value(), 1);
  EXPECT_EQ(state_.phraselength.Value(), 10);
  EXPECT_EQ(state_.esitename, "My site");
  EXPECT_EQ(state_.templates.Text(), "one $\r\ntwo $\r\n");
  savepreset(state_);
  EXPECT_EQ(ReadFileForTest(File("templates.txt")), "one $\r\ntwo $\r\n");
}

TEST_F(PresetsTest, AnEmptiedFieldStaysEmptyAtTheNextStart) {
  std::filesystem::create_directories(state_.preset_folder);
  state_.prohibited.SetText("");
  savepreset(state_);
  MainState next;
  next.preset_folder = state_.preset_folder;
  next.prohibited.SetText("default\r\n");
  loadpreset(next);
  EXPECT_EQ(next.prohibited.Text(), "");
}

TEST_F(PresetsTest, AFailedSaveKeepsLaterFilesAndNamesTheFile) {
  std::filesystem::create_directories(state_.preset_folder);
  WriteFileForTest(File("urls.txt"), "old urls");
  ASSERT_EQ(::mkfifo(File("phrases.txt").c_str(), 0644), 0);  // cannot be replaced
  state_.urls2grab.SetText("new urls2grab");
  state_.samples.SetText("new phrases");
  state_.urlsurl.SetText("new urls");
  try {
    savepreset(state_);
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + File("phrases.txt") + "\".", 0),
              0u)
        << e.what();
  }
  EXPECT_EQ(ReadFileForTest(File("urls2grab.txt")), "new urls2grab");
  EXPECT_EQ(std::filesystem::status(File("phrases.txt")).type(), std::filesystem::file_type::fifo);
  EXPECT_EQ(ReadFileForTest(File("urls.txt")), "old urls");
  EXPECT_FALSE(std::filesystem::exists(File("settings.ini")));
}

TEST_F(PresetsTest, ASaveCleansOldLeftoverTemporaryFilesOfOursOnly) {
  state_.eworkingfolder = state_.preset_folder + "Files/";
  const std::vector<std::string> old = {File(".vb-Old123"), File("Files/.vb-Old456"),
                                        File("urls.txt.vb-tmp")};
  const std::vector<std::string> kept = {File(".vb-New123"), File("Files/page.htm"),
                                         File("Files/.vb-Fresh1")};
  for (const std::string& path : old) WriteFileForTest(path, "half");
  for (const std::string& path : kept) WriteFileForTest(path, "x");
  auto two_minutes_ago = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(2);
  for (const std::string& path : old) std::filesystem::last_write_time(path, two_minutes_ago);
  std::filesystem::last_write_time(File("Files/page.htm"), two_minutes_ago);
  savepreset(state_);
  for (const std::string& path : old) EXPECT_FALSE(std::filesystem::exists(path)) << path;
  for (const std::string& path : kept) EXPECT_TRUE(std::filesystem::exists(path)) << path;
}

TEST_F(PresetsTest, AMissingPresetFolderFailsAtTheFirstFile) {
  try {
    savepreset(state_);
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find(File("urls2grab.txt")), std::string::npos);
  }
}

TEST_F(PresetsTest, FifosAndDeviceLinksAmongThePresetFilesFailTheLoadAtOnce) {
  for (const char* name : {"urls2grab.txt", "template.htm", "settings.ini"}) {
    std::filesystem::remove_all(state_.preset_folder);
    std::filesystem::create_directories(state_.preset_folder);
    if (std::string(name) == "template.htm") {
      std::filesystem::create_symlink("/dev/zero", File(name));
    } else {
      ASSERT_EQ(::mkfifo(File(name).c_str(), 0644), 0);
    }
    try {
      loadpreset(state_);
      FAIL() << "no error for " << name;
    } catch (const EFileError& e) {
      EXPECT_EQ(std::string(e.what()),
                "Cannot open file \"" + File(name) + "\". Not a regular file");
    }
  }
}

TEST_F(PresetsTest, PresetFilesLinkedElsewhereAreWrittenThroughTheLink) {
  std::filesystem::create_directories(state_.preset_folder);
  const std::string kept = dir_.path() + "/dotfiles/";
  WriteFileForTest(kept + "settings.ini", "[GENERAL]\r\nSentMax=7\r\n");
  WriteFileForTest(kept + "urls2grab.txt", "http://old/\r\n");
  std::filesystem::create_symlink(kept + "settings.ini", File("settings.ini"));
  std::filesystem::create_symlink(kept + "urls2grab.txt", File("urls2grab.txt"));
  loadpreset(state_);
  EXPECT_EQ(state_.sentmax.Value(), 7);
  state_.urls2grab.SetText("http://new/\r\n");
  savepreset(state_);
  EXPECT_TRUE(std::filesystem::is_symlink(File("settings.ini")));
  EXPECT_TRUE(std::filesystem::is_symlink(File("urls2grab.txt")));
  EXPECT_EQ(ReadFileForTest(kept + "urls2grab.txt"), "http://new/\r\n");
  EXPECT_NE(ReadFileForTest(kept + "settings.ini").find("SentMax=7\r\n"), std::string::npos);
}

}  // namespace
}  // namespace vellora
