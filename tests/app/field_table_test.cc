// The field table against the window's layout, and every row through the
// paths that read it: preset save and load, --set and --dump.

#include "state/field_table.h"

#include <gtest/gtest.h>

#include "app/fields.h"
#include "app/presets.h"
#include "base/paths.h"
#include "test_util.h"

namespace vellora {
namespace {

// A field as the layout gives it: kind, initial value (a spin's range too),
// the preset file or key with the key's default, the default text, and
// whether the command may set it.
struct LayoutField {
  const char* name;
  FieldKind kind;
  std::string initial;
  int64_t minimum = 0, maximum = 0;
  const char* preset = nullptr;
  std::string key_default = "";
  const char* default_text = nullptr;
  bool settable = false;
};

std::vector<LayoutField> Layout() {
  using K = FieldKind;
  const std::string site = "http://www.example.com/";
  return {
      {"Status", K::kLabel, ""},
      {"urls2grab", K::kTextList, "", 0, 0, "urls2grab.txt", "", nullptr, true},
      {"eworkingfolder", K::kText, ""},
      {"prohibited", K::kTextList, "", 0, 0, "wfilter_excludeexact.txt", "", "ini_excludeexact.txt",
       true},
      {"dontcontain", K::kTextList, "", 0, 0, "wfilter_excludecontain.txt", "",
       "ini_excludecontain.txt", true},
      {"minwordrate", K::kIntegerSpin, "1", 1, 9999999, "MinWordRate", "1", nullptr, true},
      {"ratemultiplier", K::kIntegerSpin, "1", 1, 999, "RateMultiplier", "1", nullptr, true},
      {"words", K::kReportList, ""},
      {"wordcount", K::kLabel, "Word count = 0"},
      {"myfile", K::kTextList, ""},
      {"mytext", K::kTextList, ""},
      {"samples", K::kTextList, "", 0, 0, "phrases.txt", "", nullptr, true},
      {"phraselength", K::kIntegerSpin, "4", 1, 10, "PhraseLength", "4", nullptr, true},
      {"phrasescount", K::kLabel, "Phrases count = 0"},
      {"usersamples", K::kTextList, "", 0, 0, "phrases_user.txt", "", nullptr, true},
      {"esitename", K::kText, "Vellora Software", 0, 0, "SiteName", "Vellora Software", nullptr,
       true},
      {"esiteurl", K::kText, site, 0, 0, "SiteURL", site, nullptr, true},
      {"echarset", K::kText, "iso-8859-1", 0, 0, nullptr, "", nullptr, true},
      {"efileext", K::kText, "htm", 0, 0, "PageExt", "htm", nullptr, true},
      {"urlmin", K::kIntegerSpin, "35", 1, 999999999, "UrlMin", "35", nullptr, true},
      {"urlmax", K::kIntegerSpin, "70", 1, 999999999, "UrlMax", "70", nullptr, true},
      {"urlsurl", K::kTextList, "", 0, 0, "urls.txt", "", nullptr, true},
      {"imagemin", K::kIntegerSpin, "35", 1, 999999999, "ImageMin", "35", nullptr, true},
      {"imagemax", K::kIntegerSpin, "70", 1, 999999999, "ImageMax", "70", nullptr, true},
      {"imagesurl", K::kTextList, "", 0, 0, "images.txt", "", nullptr, true},
      {"indexpage", K::kTextList, "", 0, 0, "indexpage.txt", "", "ini_index.htm", true},
      {"indexfname", K::kText, "index.htm", 0, 0, "IndexName", "index.htm", nullptr, true},
      {"sentmin", K::kIntegerSpin, "3", 1, 999999, "SentMin", "3", nullptr, true},
      {"sentmax", K::kIntegerSpin, "15", 1, 999999, "SentMax", "15", nullptr, true},
      {"parmin", K::kIntegerSpin, "3", 1, 999999, "ParMin", "3", nullptr, true},
      {"parmax", K::kIntegerSpin, "15", 1, 999999, "ParMax", "15", nullptr, true},
      {"templates", K::kTextList, "", 0, 0, "templates.txt", "", "ini_templates.txt", true},
      {"pars", K::kReportList, ""},
      {"filelist", K::kReportList, ""},
      {"htmltemplate", K::kTextList, "", 0, 0, "template.htm", "", "ini_template.htm", true},
      {"edataurl", K::kText, "", 0, 0, "DataURL", "http://", nullptr, true},
      {"eresfolder", K::kText, HomeFolder() + "/res", 0, 0, nullptr, "", nullptr, true},
      {"savememo", K::kTextList, ""},
      {"vercaption", K::kLabel, "Version: "},
      {"allowhttps", K::kCheckBox, "0", 0, 0, "AllowHttps", "0", nullptr, true},
      {"grabconnections", K::kIntegerSpin, "1", 1, 16, "GrabConnections", "1", nullptr, true},
      {"grabtimeout", K::kIntegerSpin, "0", 0, 3600, "GrabTimeout", "0", nullptr, true},
      {"grabgoon", K::kCheckBox, "0", 0, 0, "GrabGoOn", "0", nullptr, true},
      {"unicodetext", K::kCheckBox, "0", 0, 0, "UnicodeText", "0", nullptr, true},
      {"extractmode", K::kIntegerSpin, "0", 0, 2, "ExtractMode", "0", nullptr, true},
  };
}

// The field's value as one text, whatever its kind.
std::string ValueOf(const MainState& state, const FieldRow& row) {
  switch (row.kind) {
    case FieldKind::kText:
    case FieldKind::kLabel:
      return state.*row.As<std::string>();
    case FieldKind::kTextList:
      return (state.*row.As<TextList>()).Text();
    case FieldKind::kIntegerSpin:
      return (state.*row.As<IntegerSpin>()).Text();
    case FieldKind::kCheckBox:
      return state.*row.As<bool>() ? "1" : "0";
    case FieldKind::kReportList:
      return std::to_string((state.*row.As<ReportList>()).Count());
  }
  return "";
}

TEST(FieldTable, EveryFieldHasItsLayoutKindValueRangeAndStorage) {
  std::vector<LayoutField> layout = Layout();
  EXPECT_EQ(FieldTable().size(), layout.size());
  const MainState fresh;
  for (const LayoutField& want : layout) {
    SCOPED_TRACE(want.name);
    const FieldRow* row = FindField(want.name);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->kind, want.kind);
    EXPECT_EQ(ValueOf(fresh, *row), want.kind == FieldKind::kReportList ? "0" : want.initial);
    EXPECT_EQ(row->settable, want.settable);
    if (want.kind == FieldKind::kIntegerSpin) {
      const IntegerSpin& spin = fresh.*row->As<IntegerSpin>();
      EXPECT_EQ(spin.Minimum(), want.minimum);
      EXPECT_EQ(spin.Maximum(), want.maximum);
      EXPECT_EQ(std::to_string(spin.Initial()), want.initial);
    }
    const char* preset = row->preset_file != nullptr ? row->preset_file : row->preset_key;
    EXPECT_STREQ(preset, want.preset);
    if (row->preset_key != nullptr) {
      std::string key_default = row->kind == FieldKind::kText
                                    ? TextKeyDefault(*row)
                                    : std::to_string(IntegerKeyDefault(*row));
      EXPECT_EQ(key_default, want.key_default);
    }
    EXPECT_STREQ(row->default_text, want.default_text);
  }
}

TEST(FieldTable, StorageFollowsTheOrderOfThePresetAndOfStartUp) {
  std::vector<std::string> files, keys, texts, extensions;
  for (const FieldRow& row : FieldTable()) {
    if (row.preset_file != nullptr) files.push_back(row.preset_file);
    if (row.preset_key != nullptr && !row.key_only_when_changed) keys.push_back(row.preset_key);
    if (row.key_only_when_changed) extensions.push_back(row.preset_key);
  }
  for (const FieldRow* row : DefaultTextRows()) texts.push_back(row->default_text);
  EXPECT_EQ(files, (std::vector<std::string>{"urls2grab.txt", "wfilter_excludeexact.txt",
                                             "wfilter_excludecontain.txt", "phrases.txt",
                                             "phrases_user.txt", "templates.txt", "indexpage.txt",
                                             "urls.txt", "images.txt", "template.htm"}));
  EXPECT_EQ(keys, (std::vector<std::string>{"MinWordRate", "RateMultiplier", "PhraseLength",
                                            "UrlMin", "UrlMax", "ImageMin", "ImageMax", "SentMin",
                                            "SentMax", "ParMin", "ParMax", "SiteName", "SiteURL",
                                            "PageExt", "IndexName", "DataURL"}));
  EXPECT_EQ(extensions, (std::vector<std::string>{"AllowHttps", "GrabConnections", "GrabTimeout",
                                                  "GrabGoOn", "UnicodeText", "ExtractMode"}));
  EXPECT_EQ(texts,
            (std::vector<std::string>{"ini_excludeexact.txt", "ini_excludecontain.txt",
                                      "ini_templates.txt", "ini_template.htm", "ini_index.htm"}));
}

// A value for `row` that differs from its initial value and its key default.
std::string OtherValue(const FieldRow& row) {
  switch (row.kind) {
    case FieldKind::kIntegerSpin: {
      const IntegerSpin& spin = InitialState().*row.As<IntegerSpin>();
      return std::to_string(spin.Initial() == spin.Maximum() ? spin.Minimum() : spin.Maximum());
    }
    case FieldKind::kCheckBox:
      return "1";
    case FieldKind::kTextList:
      return std::string(row.name) + " one\r\ntwo\r\n";
    default:
      return std::string("value of ") + row.name;
  }
}

class FieldStorageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_.preset_folder = dir_.path() + "/";
    loaded_.preset_folder = saved_.preset_folder;
  }
  TempDir dir_;
  MainState saved_;
  MainState loaded_;
};

TEST_F(FieldStorageTest, EveryPresetFileAndKeyRoundTripsThroughSaveAndLoad) {
  for (const FieldRow& row : FieldTable()) {
    if (row.preset_file != nullptr || row.preset_key != nullptr) {
      ASSERT_EQ(SetField(saved_, row.name, OtherValue(row)), SetFieldResult::kSet) << row.name;
    }
  }
  savepreset(saved_);
  loadpreset(loaded_);
  std::string settings = ReadFileForTest(saved_.preset_folder + kSettingsFile);
  for (const FieldRow& row : FieldTable()) {
    if (row.preset_file == nullptr && row.preset_key == nullptr) continue;
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ValueOf(loaded_, row), ValueOf(saved_, row));
    EXPECT_NE(ValueOf(loaded_, row), ValueOf(InitialState(), row));
    if (row.preset_file != nullptr) {
      EXPECT_EQ(ReadFileForTest(saved_.preset_folder + row.preset_file), ValueOf(saved_, row));
    } else {
      EXPECT_NE(
          settings.find(std::string("\r\n") + row.preset_key + "=" + ValueOf(saved_, row) + "\r\n"),
          std::string::npos);
    }
  }
}

TEST_F(FieldStorageTest, AKeyWrittenOnlyWhenChangedLeavesTheFileWhenItIsBackAtItsDefault) {
  saved_.allowhttps = true;
  saved_.grabconnections.SetValue(8);
  savepreset(saved_);
  std::string changed = ReadFileForTest(saved_.preset_folder + kSettingsFile);
  EXPECT_NE(changed.find("\r\nDataURL=\r\nAllowHttps=1\r\nGrabConnections=8\r\n"),
            std::string::npos);
  EXPECT_EQ(changed.find("GrabTimeout"), std::string::npos);

  saved_.allowhttps = false;
  saved_.grabconnections.SetValue(1);
  savepreset(saved_);
  std::string restored = ReadFileForTest(saved_.preset_folder + kSettingsFile);
  EXPECT_TRUE(restored.ends_with("\r\nDataURL=\r\n")) << restored;
  loadpreset(loaded_);
  EXPECT_FALSE(loaded_.allowhttps);
  EXPECT_EQ(loaded_.grabconnections.Value(), 1);
}

TEST_F(FieldStorageTest, StoredExtensionValuesAreClampedOrReadAsOnOff) {
  WriteFileForTest(saved_.preset_folder + kSettingsFile,
                   "[GENERAL]\r\nGrabConnections=99\r\nGrabTimeout=-5\r\nUnicodeText=2\r\n"
                   "AllowHttps=junk\r\nExtractMode=9\r\n");
  loadpreset(loaded_);
  EXPECT_EQ(loaded_.grabconnections.Value(), 16);
  EXPECT_EQ(loaded_.grabtimeout.Value(), 0);
  EXPECT_TRUE(loaded_.unicodetext);
  EXPECT_FALSE(loaded_.allowhttps);  // not a number: the default
  EXPECT_EQ(loaded_.extractmode.Value(), 2);
}

TEST(FieldByName, EverySettableFieldSetsAndDumpsTheOthersRefuse) {
  for (const FieldRow& row : FieldTable()) {
    SCOPED_TRACE(row.name);
    MainState state;
    std::string value = OtherValue(row);
    ASSERT_TRUE(DumpField(state, row.name).has_value());
    if (!row.settable) {
      EXPECT_EQ(SetField(state, row.name, value), SetFieldResult::kNotSettable);
      continue;
    }
    ASSERT_EQ(SetField(state, row.name, value), SetFieldResult::kSet);
    std::string dumped = *DumpField(state, row.name);
    EXPECT_EQ(dumped, row.kind == FieldKind::kTextList ? value : value + "\n");
  }
  MainState state;
  EXPECT_EQ(SetField(state, "nosuchfield", "1"), SetFieldResult::kUnknownField);
  EXPECT_FALSE(DumpField(state, "nosuchfield").has_value());
}

TEST(FieldByName, SingleLineTextsRefuseLineBreaksAndKeepTheirValue) {
  for (const FieldRow& row : FieldTable()) {
    if (!row.settable || row.kind != FieldKind::kText) continue;
    SCOPED_TRACE(row.name);
    MainState state;
    const std::string before = *DumpField(state, row.name);
    for (const char* value : {"Nice\r\nIndexName=../../x", "a\nb", "a\r", "\n"}) {
      EXPECT_EQ(SetField(state, row.name, value), SetFieldResult::kLineBreak);
    }
    EXPECT_EQ(*DumpField(state, row.name), before);
  }
}

TEST(FieldByName, SpinsClampAndCheckBoxesTakeOnlyOnOffWords) {
  MainState state;
  EXPECT_EQ(SetField(state, "grabconnections", "40"), SetFieldResult::kSet);
  EXPECT_EQ(*DumpField(state, "grabconnections"), "16\n");
  EXPECT_EQ(SetField(state, "grabtimeout", "abc"), SetFieldResult::kSet);
  EXPECT_EQ(*DumpField(state, "grabtimeout"), "0\n");
  for (const char* on : {"1", "TRUE", "on", "Yes"}) {
    state.allowhttps = false;
    EXPECT_EQ(SetField(state, "allowhttps", on), SetFieldResult::kSet) << on;
    EXPECT_TRUE(state.allowhttps) << on;
  }
  for (const char* off : {"0", "false", "OFF", "no"}) {
    state.unicodetext = true;
    EXPECT_EQ(SetField(state, "unicodetext", off), SetFieldResult::kSet) << off;
    EXPECT_FALSE(state.unicodetext) << off;
  }
  state.allowhttps = true;
  EXPECT_EQ(SetField(state, "allowhttps", "2"), SetFieldResult::kBadValue);
  EXPECT_EQ(SetField(state, "allowhttps", ""), SetFieldResult::kBadValue);
  EXPECT_TRUE(state.allowhttps);
  EXPECT_EQ(*DumpField(state, "status"), *DumpField(state, "Status"));
}

}  // namespace
}  // namespace vellora
