// Start-up and close of the program: the creation handler of the main
// window (FormCreate) and its close handler (FormClose), shared by both
// front ends.

#ifndef VELLORA_APP_START_UP_H_
#define VELLORA_APP_START_UP_H_

#include <string>

#include "base/notifier.h"
#include "base/program_folders.h"
#include "state/main_state.h"

namespace vellora {

// Where this program reads its default texts and keeps its presets.
ProgramFolders LocateFolders();

// What start-up needs from its front end.
class StartUpHost {
 public:
  virtual ~StartUpHost() = default;
  // Runs the preset dialog over `state` (state.presets_folder is set). On
  // return state.preset_name holds the chosen preset, or is empty when the
  // dialog closed without one.
  virtual void RunPresetDialog(MainState& state) = 0;
  // Roots the folder file list at `folder`; raises VelloraError
  // "Error setting path: \"<folder>\"" when it does not exist.
  virtual void RootFileList(const std::string& folder) = 0;
};

enum class StartUpResult {
  kReady,         // a preset is loaded: the window is usable
  kStoppedEarly,  // an error ended start-up: the window opens without a preset
  kTerminate,     // the dialog closed without a preset: the program ends
};

// FormCreate. `presets_folder` overrides the presets folder of
// LocateFolders when not empty; `seed_from_clock` is false when the caller has seeded the
// generator itself. Errors are shown through notifier.Error and end
// start-up at that step.
StartUpResult FormCreate(MainState& state, StartUpHost& host, Notifier& notifier,
                         const std::string& presets_folder = "", bool seed_from_clock = true);

// FormClose: saves the preset. Raises the save's error (the window must then
// stay open). Without a preset (start-up stopped early), or when the preset
// failed to load, nothing is saved, so no preset file is overwritten with
// values it never held.
void FormClose(MainState& state);

// The text of the error raised when the file list cannot be rooted.
std::string ErrorSettingPath(const std::string& folder);

}  // namespace vellora

#endif  // VELLORA_APP_START_UP_H_
