// Start-up, the preset dialog's logic and close, over a copy of the default
// texts in a temporary folder.

#include "app/start_up.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/preset_dialog.h"
#include "base/errors.h"
#include "base/paths.h"
#include "test_util.h"

namespace vellora {
namespace {

// Records what start-up shows.
class RecordingNotifier : public Notifier {
 public:
  void Information(const std::string& m) override { information.push_back(m); }
  void Error(const std::string& m) override { errors.push_back(m); }
  void Status(const std::string&) override {}
  std::vector<std::string> information;
  std::vector<std::string> errors;
};

// A dialog that loads or creates one name, or closes without a preset.
class ScriptedHost : public StartUpHost {
 public:
  std::string load;
  std::string create;
  bool dialog_shown = false;
  std::string rooted;

  void RunPresetDialog(MainState& state) override {
    dialog_shown = true;
    PresetDialog dialog(state);
    if (!create.empty()) {
      dialog.Button2Click(create);
    } else if (!load.empty()) {
      for (size_t i = 0; i < dialog.Items().size(); ++i) {
        if (dialog.Items()[i] == load) dialog.Select(static_cast<int>(i));
      }
      dialog.Button1Click();
    }
  }
  void RootFileList(const std::string& folder) override {
    if (!std::filesystem::is_directory(folder)) throw VelloraError(ErrorSettingPath(folder));
    rooted = folder;
  }
};

TEST(PresetDialog, ListsFoldersOnlySortedIgnoringCaseWithoutHiddenOnes) {
  TempDir dir;
  for (const char* name : {"beta", "Alpha", ".cache", "gamma"}) {
    std::filesystem::create_directories(dir.path() + "/" + name);
  }
  WriteFileForTest(dir.path() + "/notes.txt", "x");
  MainState state;
  state.presets_folder = dir.path() + "/";
  PresetDialog dialog(state);
  EXPECT_EQ(dialog.Items(), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
  EXPECT_EQ(dialog.Selected(), 0);
}

TEST(PresetDialog, RefusesLoadWithoutSelectionAndEmptyExistingOrUnsafeNames) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() + "/alpha");
  MainState state;
  state.presets_folder = dir.path() + "/";
  PresetDialog empty_list(state);
  empty_list.Select(-1);
  EXPECT_EQ(empty_list.Button1Click().information, kSelectPresetMessage);
  EXPECT_EQ(empty_list.Button2Click("").information, kEmptyPresetNameMessage);
  EXPECT_EQ(empty_list.Button2Click("alpha").information, kPresetExistsMessage);
  for (const char* bad : {"a/b", "..", ".", ".hidden", "../escape"}) {
    DialogOutcome outcome = empty_list.Button2Click(bad);
    EXPECT_FALSE(outcome.closed) << bad;
    EXPECT_EQ(outcome.information, kBadPresetNameMessage) << bad;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/a"));
  EXPECT_TRUE(empty_list.FormCloseQuery());  // closing now ends the program
}

TEST(PresetDialog, NamesThatAreNotPrintableTextAreRefusedAndNotListed) {
  TempDir dir;
  for (const char* name : {"plain", "caf\xc3\xa9", "two\nlines", "esc\x1b[2J", "bad\xff"}) {
    std::filesystem::create_directories(dir.path() + "/" + name);
  }
  MainState state;
  state.presets_folder = dir.path() + "/";
  PresetDialog dialog(state);
  EXPECT_EQ(dialog.Items(), (std::vector<std::string>{"caf\xc3\xa9", "plain"}));
  for (const std::string& bad :
       {std::string("new\nline"), std::string("cr\r"), std::string("nul\0x", 5),
        std::string("del\x7f"), std::string("latin\xe9"), std::string("over\xc0\xaflong")}) {
    DialogOutcome outcome = dialog.Button2Click(bad);
    EXPECT_FALSE(outcome.closed) << testing::PrintToString(bad);
    EXPECT_EQ(outcome.information, kUnprintablePresetNameMessage) << testing::PrintToString(bad);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            5);
  EXPECT_TRUE(dialog.Button2Click("\xe6\x97\xa5 Nice").closed);
}

TEST(PresetDialog, APresetWhoseFolderCannotBeMadeIsRefused) {
  TempDir dir;
  MainState state;
  state.presets_folder = dir.path() + "/";
  PresetDialog dialog(state);
  const std::string long_name(300, 'n');
  DialogOutcome outcome = dialog.Button2Click(long_name);
  EXPECT_FALSE(outcome.closed);
  EXPECT_EQ(outcome.information,
            "Cannot create folder \"" + dir.path() + "/" + long_name + "\". File name too long");
  EXPECT_TRUE(state.preset_name.empty());
  EXPECT_TRUE(dialog.FormCloseQuery());
  // A presets folder that is a file.
  WriteFileForTest(dir.path() + "/plainfile", "");
  state.presets_folder = dir.path() + "/plainfile/";
  outcome = PresetDialog(state).Button2Click("p");
  EXPECT_FALSE(outcome.closed);
  EXPECT_EQ(outcome.information,
            "Cannot create folder \"" + dir.path() + "/plainfile/p\". Not a directory");
}

TEST(PresetDialog, CreateMakesTheFoldersAndSetsTheCaption) {
  TempDir dir;
  MainState state;
  state.presets_folder = dir.path() + "/";
  PresetDialog dialog(state);
  DialogOutcome outcome = dialog.Button2Click("gamma");
  EXPECT_TRUE(outcome.closed);
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() + "/gamma/Files"));
  EXPECT_EQ(state.preset_name, "gamma");
  EXPECT_EQ(state.caption, "Vellora Brindo - gamma");
  EXPECT_FALSE(dialog.FormCloseQuery());
}

TEST(ChoosePreset, EachModeLoadsCreatesOrRefusesWithoutSideEffects) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() + "/alpha");
  MainState state;
  state.presets_folder = dir.path() + "/";

  EXPECT_EQ(ChoosePreset(state, "beta", PresetMode::kLoad),
            "Preset \"beta\" does not exist in " + state.presets_folder);
  EXPECT_EQ(ChoosePreset(state, "alpha", PresetMode::kCreate), kPresetExistsMessage);
  EXPECT_EQ(ChoosePreset(state, "../alpha", PresetMode::kLoadOrCreate), kBadPresetNameMessage);
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/beta"));
  EXPECT_EQ(state.preset_name, "");

  EXPECT_EQ(ChoosePreset(state, "alpha", PresetMode::kLoadOrCreate), std::nullopt);
  EXPECT_EQ(state.caption, "Vellora Brindo - alpha");
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/alpha/Files"));  // loaded, not made

  EXPECT_EQ(ChoosePreset(state, "beta", PresetMode::kLoadOrCreate), std::nullopt);
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() + "/beta/Files"));
  EXPECT_EQ(state.preset_name, "beta");
}

// FormCreate reads its default texts beside the running program; the test
// program's folder holds copies of them (the build puts them there).
class StartUpTest : public ::testing::Test {
 protected:
  std::string DefaultTextPath(const char* name) { return ApplicationFolder() + name; }
  TempDir presets_;
  MainState state_;
  ScriptedHost host_;
  RecordingNotifier notifier_;
};

TEST_F(StartUpTest, CreatingAPresetLoadsDefaultsAndLayersThePresetOverThem) {
  host_.create = "alpha";
  ASSERT_EQ(FormCreate(state_, host_, notifier_, presets_.path()), StartUpResult::kReady);
  EXPECT_TRUE(notifier_.errors.empty());
  EXPECT_EQ(state_.vercaption, "Version: 1.00 (080517)");
  EXPECT_EQ(state_.caption, "Vellora Brindo - alpha");
  EXPECT_EQ(state_.eworkingfolder, presets_.path() + "/alpha/Files/");
  EXPECT_EQ(host_.rooted, state_.eworkingfolder);
  EXPECT_EQ(state_.edataurl, "http://");
  EXPECT_FALSE(state_.templates.Empty());
  EXPECT_EQ(state_.templates.Text(), ReadFileForTest(DefaultTextPath("ini_templates.txt")));
  EXPECT_TRUE(state_.urls2grab.Empty());

  state_.templates.SetText("mine $\r\n");
  state_.echarset = "utf-8";
  FormClose(state_);

  MainState next;
  ScriptedHost again;
  again.load = "alpha";
  ASSERT_EQ(FormCreate(next, again, notifier_, presets_.path()), StartUpResult::kReady);
  EXPECT_EQ(next.templates.Text(), "mine $\r\n");
  EXPECT_EQ(next.echarset, "iso-8859-1");
}

TEST_F(StartUpTest, ClosingTheDialogWithoutAPresetTerminatesAndSavesNothing) {
  EXPECT_EQ(FormCreate(state_, host_, notifier_, presets_.path()), StartUpResult::kTerminate);
  EXPECT_TRUE(host_.dialog_shown);
  FormClose(state_);
  EXPECT_TRUE(std::filesystem::is_empty(presets_.path()));
}

TEST_F(StartUpTest, AMissingWorkingFolderIsReportedAfterTheLoad) {
  std::filesystem::create_directories(presets_.path() + "/beta");
  WriteFileForTest(presets_.path() + "/beta/urls2grab.txt", "http://x/\r\n");
  host_.load = "beta";
  EXPECT_EQ(FormCreate(state_, host_, notifier_, presets_.path()), StartUpResult::kReady);
  ASSERT_EQ(notifier_.errors.size(), 1u);
  EXPECT_EQ(notifier_.errors[0], "Error setting path: \"" + presets_.path() + "/beta/Files/\"");
  EXPECT_EQ(state_.urls2grab.Text(), "http://x/\r\n");
}

TEST_F(StartUpTest, AFolderInPlaceOfATextFileLeavesTheFieldAlone) {
  std::filesystem::create_directories(presets_.path() + "/gamma/Files");
  std::filesystem::create_directories(presets_.path() + "/gamma/urls2grab.txt");
  WriteFileForTest(presets_.path() + "/gamma/phrases.txt", "keep me");
  host_.load = "gamma";
  EXPECT_EQ(FormCreate(state_, host_, notifier_, presets_.path()), StartUpResult::kReady);
  EXPECT_TRUE(notifier_.errors.empty());
  EXPECT_TRUE(state_.urls2grab.Empty());
  EXPECT_EQ(state_.samples.Text(), "keep me");
}

TEST(FormClose, APresetThatFailedToLoadIsNotSavedOver) {
  TempDir dir;
  MainState state;
  state.preset_folder = dir.path() + "/";
  state.preset_loaded = false;
  FormClose(state);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  state.preset_loaded = true;
  FormClose(state);
  EXPECT_TRUE(std::filesystem::exists(dir.path() + "/settings.ini"));
}

}  // namespace
}  // namespace vellora
