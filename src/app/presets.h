// Preset storage: moves the main window state from and to a preset folder.
//
// A preset folder holds ten text files and settings.ini (section GENERAL,
// sixteen keys). Loading replaces a field only when its file exists; every
// setting takes its default when absent or unreadable. Saving writes every
// file in table order, each one atomically, then the settings.

#ifndef VELLORA_APP_PRESETS_H_
#define VELLORA_APP_PRESETS_H_

#include <string>
#include <vector>

#include "app/main_state.h"

namespace vellora {

inline constexpr const char kSettingsFile[] = "settings.ini";
inline constexpr const char kSettingsSection[] = "GENERAL";

// One text file of a preset and the field it keeps.
struct PresetTextFile {
  const char* file_name;
  TextList MainState::*field;
};

// The ten text files in load and save order.
const std::vector<PresetTextFile>& PresetTextFiles();

// Reads the preset folder into the fields. Raises EFileError
// "Cannot open file ..." when a present file cannot be read; the fields
// after it and all settings then keep their values.
// REQUIRES: state.preset_folder is set.
void loadpreset(MainState& state);

// Writes the fields into the preset folder. Raises EFileError: "Cannot
// create file ..." for a text file (earlier files hold the new texts, that
// one and later ones keep their old content) or "Unable to write to ..." for
// settings.ini.
void savepreset(MainState& state);

}  // namespace vellora

#endif  // VELLORA_APP_PRESETS_H_
