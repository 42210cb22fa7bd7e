// Unicode presets: every field through save and load as UTF-8, texts of
// other encodings read on load, and the texts re-encoded when a preset
// changes mode.

#include "app/preset_text_mode.h"

#include <gtest/gtest.h>

#include "app/fields.h"
#include "app/presets.h"
#include "state/field_table.h"
#include "test_util.h"

namespace vellora {
namespace {

// Éléphant café, Москва, 日本
constexpr char kMixed[] =
    "\xC3\x89l\xC3\xA9phant caf\xC3\xA9 \xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0 "
    "\xE6\x97\xA5\xE6\x9C\xAC";

std::string StoredValue(const MainState& state, const FieldRow& row) {
  switch (row.kind) {
    case FieldKind::kTextList:
      return (state.*row.As<TextList>()).Text();
    case FieldKind::kIntegerSpin:
      return (state.*row.As<IntegerSpin>()).Text();
    case FieldKind::kCheckBox:
      return state.*row.As<bool>() ? "1" : "0";
    default:
      return state.*row.As<std::string>();
  }
}

class UnicodePresetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_.preset_folder = dir_.path() + "/p/";
    loaded_.preset_folder = saved_.preset_folder;
    std::filesystem::create_directories(saved_.preset_folder);
  }
  std::string File(const std::string& name) { return saved_.preset_folder + name; }

  TempDir dir_;
  MainState saved_;
  MainState loaded_;
};

TEST_F(UnicodePresetTest, EveryFieldRoundTripsAsUtf8ThroughSaveAndLoad) {
  ASSERT_EQ(SetField(saved_, "unicodetext", "1"), SetFieldResult::kSet);
  for (const FieldRow& row : FieldTable()) {
    if (row.preset_file == nullptr && row.preset_key == nullptr) continue;
    if (row.kind == FieldKind::kTextList) {
      (saved_.*row.As<TextList>())
          .SetText(std::string(row.name) + " " + kMixed + "\r\n\xC2\xA0\r\n");
    } else if (row.kind == FieldKind::kText) {
      saved_.*row.As<std::string>() = std::string(kMixed) + " " + row.name;
    }
  }
  saved_.grabconnections.SetValue(4);
  savepreset(saved_);
  loadpreset(loaded_);
  EXPECT_TRUE(loaded_.unicodetext);
  EXPECT_EQ(loaded_.echarset, "utf-8");
  const std::string settings = ReadFileForTest(File(kSettingsFile));
  EXPECT_NE(settings.find("\r\nUnicodeText=1\r\n"), std::string::npos);
  for (const FieldRow& row : FieldTable()) {
    if (row.preset_file == nullptr && row.preset_key == nullptr) continue;
    SCOPED_TRACE(row.name);
    EXPECT_EQ(StoredValue(loaded_, row), StoredValue(saved_, row));
    if (row.preset_file != nullptr) {
      EXPECT_EQ(ReadFileForTest(File(row.preset_file)), StoredValue(saved_, row));
    } else if (row.kind == FieldKind::kText) {
      EXPECT_NE(settings.find(std::string(row.preset_key) + "=" + kMixed), std::string::npos);
    }
  }
}

TEST_F(UnicodePresetTest, LoadingReadsTextsThatAreNotUtf8AsWindows1252) {
  WriteFileForTest(File(kSettingsFile), "[GENERAL]\r\nUnicodeText=1\r\nSiteName=Caf\xE9\r\n");
  WriteFileForTest(File("templates.txt"), "na\xEFve $\r\n");                   // an old editor's
  WriteFileForTest(File("urls.txt"), "\xEF\xBB\xBFhttp://h/caf\xC3\xA9\r\n");  // a BOM
  // What start-up loaded from the default texts beside the program.
  loaded_.indexpage.SetText("\x93Welcome\x94 $links$\r\n");
  loaded_.echarset = "ISO-8859-1";
  loadpreset(loaded_);
  EXPECT_EQ(loaded_.esitename, "Caf\xC3\xA9");
  EXPECT_EQ(loaded_.templates.Text(), "na\xC3\xAFve $\r\n");
  EXPECT_EQ(loaded_.urlsurl.Text(), "http://h/caf\xC3\xA9\r\n");
  EXPECT_EQ(loaded_.indexpage.Text(), "\xE2\x80\x9CWelcome\xE2\x80\x9D $links$\r\n");
  EXPECT_EQ(loaded_.echarset, "utf-8");

  // The same files in an ANSI preset are read byte for byte, as always.
  WriteFileForTest(File(kSettingsFile), "[GENERAL]\r\nSiteName=Caf\xE9\r\n");
  MainState ansi;
  ansi.preset_folder = saved_.preset_folder;
  loadpreset(ansi);
  EXPECT_FALSE(ansi.unicodetext);
  EXPECT_EQ(ansi.esitename, "Caf\xE9");
  EXPECT_EQ(ansi.urlsurl.Text(), "\xEF\xBB\xBFhttp://h/caf\xC3\xA9\r\n");
  EXPECT_EQ(ansi.echarset, "iso-8859-1");
}

TEST_F(UnicodePresetTest, SwitchingModesReencodesTextsAndLosesNothing) {
  MainState state;
  state.esitename = "Caf\xE9";
  state.samples.SetText("na\xEFve\r\n\x80 5\r\n");
  state.words.Add(ReportRow{"\xE9t\xE9", {"3"}});
  state.eresfolder = "/tmp/caf\xC3\xA9/";  // a path: the file system's bytes
  state.wordcount = "Unique words: 1, total: 3.";

  SetTextMode(state, true);
  EXPECT_TRUE(state.unicodetext);
  EXPECT_EQ(state.esitename, "Caf\xC3\xA9");
  EXPECT_EQ(state.samples.Text(), "na\xC3\xAFve\r\n\xE2\x82\xAC 5\r\n");
  EXPECT_EQ(state.words.Row(0).caption, "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(state.eresfolder, "/tmp/caf\xC3\xA9/");
  EXPECT_EQ(state.echarset, "utf-8");
  SetTextMode(state, true);  // already there: nothing changes
  EXPECT_EQ(state.esitename, "Caf\xC3\xA9");

  // Text the code page cannot hold keeps its UTF-8 bytes in ANSI mode.
  ASSERT_EQ(SetField(state, "usersamples", kMixed), SetFieldResult::kSet);
  ASSERT_EQ(SetField(state, "unicodetext", "0"), SetFieldResult::kSet);
  EXPECT_FALSE(state.unicodetext);
  EXPECT_EQ(state.esitename, "Caf\xE9");
  EXPECT_EQ(state.samples.Text(), "na\xEFve\r\n\x80 5\r\n");
  EXPECT_EQ(state.words.Row(0).caption, "\xE9t\xE9");
  EXPECT_EQ(state.usersamples.Text(), kMixed);
  EXPECT_EQ(state.eresfolder, "/tmp/caf\xC3\xA9/");
  EXPECT_EQ(state.echarset, "iso-8859-1");
  SetTextMode(state, true);
  EXPECT_EQ(state.usersamples.Text(), kMixed);

  // A charset the user chose stays in both modes.
  state.echarset = "windows-1251";
  SetTextMode(state, false);
  SetTextMode(state, true);
  EXPECT_EQ(state.echarset, "windows-1251");
}

// Found by fuzz/case_mapping_fuzzer.cc: the Windows-1252 form of "ï»¿ð" begins
// with the bytes of a byte-order mark, which going back into Unicode mode
// dropped.
TEST(UnicodeModeText, OnlyAByteOrderMarkBeforeUtf8IsDropped) {
  const char kText[] = "\xC3\xAF\xC2\xBB\xC2\xBF\xC3\xB0 caf\xC3\xA9";  // "ï»¿ð café"
  MainState state;
  SetTextMode(state, true);
  state.esitename = kText;
  SetTextMode(state, false);
  EXPECT_EQ(state.esitename, "\xEF\xBB\xBF\xF0 caf\xE9");
  SetTextMode(state, true);
  EXPECT_EQ(state.esitename, kText);
  EXPECT_EQ(UnicodeModeText("\xEF\xBB\xBF"
                            "caf\xC3\xA9"),
            "caf\xC3\xA9");
  EXPECT_EQ(UnicodeModeText("\xEF\xBB\xBF"), "");
}

TEST(UnicodeModeSetField, ATextThatIsNotUtf8IsReadAsWindows1252) {
  MainState state;
  ASSERT_EQ(SetField(state, "unicodetext", "1"), SetFieldResult::kSet);
  ASSERT_EQ(SetField(state, "prohibited", "caf\xE9\r\n"), SetFieldResult::kSet);
  EXPECT_EQ(state.prohibited.Text(), "caf\xC3\xA9\r\n");
  ASSERT_EQ(SetField(state, "esitename", kMixed), SetFieldResult::kSet);
  EXPECT_EQ(state.esitename, kMixed);
  ASSERT_EQ(SetField(state, "eresfolder", "/tmp/r\xE9s"), SetFieldResult::kSet);
  EXPECT_EQ(state.eresfolder, "/tmp/r\xE9s");  // a path stays as given
}

}  // namespace
}  // namespace vellora
