#include "app/start_up.h"

#include "app/presets.h"
#include "base/errors.h"
#include "base/file_io.h"
#include "base/paths.h"
#include "base/program_folders.h"
#include "state/field_table.h"

namespace vellora {

ProgramFolders LocateFolders() {
  std::vector<std::string> names;
  for (const FieldRow* row : DefaultTextRows()) names.push_back(row->default_text);
  return LocateProgramFolders(names);
}

std::string ErrorSettingPath(const std::string& folder) {
  return "Error setting path: \"" + folder + "\"";
}

StartUpResult FormCreate(MainState& state, StartUpHost& host, Notifier& notifier,
                         const std::string& presets_folder, bool seed_from_clock) {
  state.grab_stream.clear();
  state.vercaption += kVersionText;
  state.caption = kMainCaption;
  if (seed_from_clock) state.random.SeedFromClock();
  try {
    ProgramFolders folders = LocateFolders();
    state.application_folder = folders.application;
    state.presets_folder =
        presets_folder.empty() ? folders.presets : WithTrailingSlash(presets_folder);
    ForceDirectories(state.presets_folder);  // a failure shows later
    for (const FieldRow* row : DefaultTextRows()) {
      (state.*row->As<TextList>()).LoadFromFile(folders.default_texts + row->default_text);
    }
    host.RunPresetDialog(state);
    if (state.preset_name.empty()) return StartUpResult::kTerminate;
    state.preset_folder = state.presets_folder + state.preset_name + "/";
    state.eworkingfolder = state.preset_folder + "Files/";
    loadpreset(state);
    state.preset_loaded = true;
    host.RootFileList(state.eworkingfolder);
  } catch (const std::exception& e) {
    notifier.Error(ErrorMessageOf(e));
    return state.preset_folder.empty() ? StartUpResult::kStoppedEarly : StartUpResult::kReady;
  }
  return StartUpResult::kReady;
}

void FormClose(MainState& state) {
  if (!state.preset_loaded) return;
  savepreset(state);
  state.grab_stream.clear();
  state.grab_stream.shrink_to_fit();
}

}  // namespace vellora
