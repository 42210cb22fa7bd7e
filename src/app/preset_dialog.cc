#include "app/preset_dialog.h"

#include <algorithm>
#include <cerrno>

#include "base/code_page.h"
#include "base/errors.h"
#include "base/file_io.h"
#include "base/printable_text.h"

namespace vellora {

std::vector<std::string> ListPresets(const std::string& presets_folder) {
  std::vector<std::string> names;
  for (const DirEntry& entry : ListDirectory(presets_folder)) {
    // A folder whose name is not printable text cannot be named safely in
    // the list (nor with --preset): it is left out like a hidden one.
    if (entry.is_directory && !entry.is_hidden && IsPrintableUtf8(entry.name)) {
      names.push_back(entry.name);
    }
  }
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return CompareIgnoringCase(a, b) < 0;
  });
  return names;
}

std::optional<std::string> CheckPresetName(const std::string& name) {
  if (name.empty()) return std::string(kEmptyPresetNameMessage);
  if (name.find('/') != std::string::npos || name.front() == '.') {
    return std::string(kBadPresetNameMessage);
  }
  if (!IsPrintableUtf8(name)) return std::string(kUnprintablePresetNameMessage);
  return std::nullopt;
}

PresetDialog::PresetDialog(MainState& state) : state_(state) {
  items_ = ListPresets(state_.presets_folder);
  selected_ = items_.empty() ? -1 : 0;
}

std::optional<std::string> ChoosePreset(MainState& state, const std::string& name,
                                        PresetMode mode) {
  if (std::optional<std::string> refusal = CheckPresetName(name)) return refusal;
  const std::string folder = state.presets_folder + name;
  const bool exists = DirectoryExists(folder);
  if (exists && mode == PresetMode::kCreate) return std::string(kPresetExistsMessage);
  if (!exists && mode == PresetMode::kLoad) {
    return "Preset \"" + name + "\" does not exist in " + state.presets_folder;
  }
  // A preset whose folders cannot be made (a name too long for the file
  // system, a presets folder that is not writable) is refused here: chosen,
  // it could never be saved, and the window could never close with its save.
  for (const std::string& made : {folder, folder + "/Files"}) {
    if (!exists && !ForceDirectories(made)) {
      return "Cannot create folder \"" + made + "\". " + SystemReason(errno);
    }
  }
  state.preset_name = name;
  state.caption = std::string(kMainCaption) + " - " + name;
  return std::nullopt;
}

DialogOutcome PresetDialog::Outcome(const std::string& name, PresetMode mode) {
  DialogOutcome outcome;
  if (std::optional<std::string> refusal = ChoosePreset(state_, name, mode)) {
    outcome.information = *refusal;
  } else {
    outcome.closed = true;
  }
  return outcome;
}

DialogOutcome PresetDialog::Button1Click() {
  DialogOutcome outcome;
  if (selected_ < 0 || selected_ >= static_cast<int>(items_.size()) ||
      items_[static_cast<size_t>(selected_)].empty()) {
    outcome.information = kSelectPresetMessage;
    return outcome;
  }
  return Outcome(items_[static_cast<size_t>(selected_)], PresetMode::kLoad);
}

DialogOutcome PresetDialog::Button2Click(const std::string& typed_name) {
  return Outcome(typed_name, PresetMode::kCreate);
}

}  // namespace vellora
