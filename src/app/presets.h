// Preset storage: moves the main window state from and to a preset folder.
//
// A preset folder holds a text file for each row of the field table that
// names one, and settings.ini (section GENERAL) with a key for each row that
// names one. Loading replaces a field only when its file exists; every
// setting takes its default when absent or unreadable. Saving writes every
// file in table order, each one atomically, then the settings; a key marked
// as written only when changed is left out (removed) while it holds its
// default.

#ifndef VELLORA_APP_PRESETS_H_
#define VELLORA_APP_PRESETS_H_

#include <string>
#include <vector>

#include "state/field_table.h"
#include "state/main_state.h"

namespace vellora {

inline constexpr const char kSettingsFile[] = "settings.ini";
inline constexpr const char kSettingsSection[] = "GENERAL";

// The rows kept in a text file of the preset, in load and save order.
std::vector<const FieldRow*> PresetFileRows();

// Reads the preset folder into the fields. Raises EFileError
// "Cannot open file ..." when a present file cannot be read; the fields
// after it and all settings then keep their values.
// REQUIRES: state.preset_folder is set.
void loadpreset(MainState& state);

// Writes the fields into the preset folder. Raises EFileError: "Cannot
// create file ..." for a text file (earlier files hold the new texts, that
// one and later ones keep their old content) or "Unable to write to ..." for
// settings.ini. After a complete save, the temporary files of ours over a
// minute old are deleted from the preset folder and the working folder.
void savepreset(MainState& state);

}  // namespace vellora

#endif  // VELLORA_APP_PRESETS_H_
