// PresetDialog: the logic of the preset selection dialog, without a window.
//
// At every start the user loads an existing preset or creates a new one. The
// list holds the sub-folders of the presets folder whose names do not begin
// with "." and are printable text (no control characters, valid UTF-8),
// sorted ignoring case. Load and Create set the preset name and the
// main window caption and close the dialog; a refusal is an information
// message and the dialog stays open. Closing the dialog without a preset
// asks the application to end.

#ifndef VELLORA_APP_PRESET_DIALOG_H_
#define VELLORA_APP_PRESET_DIALOG_H_

#include <optional>
#include <string>
#include <vector>

#include "state/main_state.h"

namespace vellora {

inline constexpr const char kDialogCaption[] = "Vellora Brindo - select preset";
inline constexpr const char kSelectPresetMessage[] = "Select a preset or create a new one";
inline constexpr const char kPresetExistsMessage[] = "Such preset already exists!";
inline constexpr const char kEmptyPresetNameMessage[] = "Type a name for the new preset.";
inline constexpr const char kBadPresetNameMessage[] =
    "A preset name cannot contain \"/\" or begin with \".\"";
inline constexpr const char kUnprintablePresetNameMessage[] =
    "A preset name cannot hold line breaks, control characters or bytes that are not UTF-8 text";

// The names the dialog lists for `presets_folder`, in the list's order.
std::vector<std::string> ListPresets(const std::string& presets_folder);

// Why a typed name cannot be a preset name, or nullopt when it can. The
// empty name asks for a name (it would be the presets folder itself); a name that
// is not printable text (IsPrintableUtf8) would make the list ambiguous or
// send control characters to a terminal.
std::optional<std::string> CheckPresetName(const std::string& name);

// How ChoosePreset treats the preset's folder.
enum class PresetMode {
  kLoad,          // the preset must exist
  kCreate,        // the preset must not exist; its folders are made
  kLoadOrCreate,  // either
};

// Chooses the preset `name` of state.presets_folder, as the dialog's buttons
// and the command do: sets the preset name and the main window caption, and
// for a new preset makes its folder and working folder. Returns nullopt when
// the preset is chosen, or why it is not (a refused name, an existing preset
// for kCreate, a missing one for kLoad, "Cannot create folder "PATH". REASON"
// when a new preset's folders cannot be made); the state is not changed then.
std::optional<std::string> ChoosePreset(MainState& state, const std::string& name, PresetMode mode);

// What a button press did.
struct DialogOutcome {
  bool closed = false;      // the dialog closes (a preset was chosen)
  std::string information;  // an information message to show, or empty
};

class PresetDialog {
 public:
  // The dialog over state.presets_folder; fills the list.
  explicit PresetDialog(MainState& state);

  const std::vector<std::string>& Items() const { return items_; }
  // The index of the selected item, or -1 (the first item after filling).
  int Selected() const { return selected_; }
  void Select(int index) { selected_ = index; }

  // Load: the selected preset.
  DialogOutcome Button1Click();
  // Create: a new preset named exactly `typed_name`; creates its folder and
  // working folder.
  DialogOutcome Button2Click(const std::string& typed_name);
  // The dialog is about to close; true when the application must end
  // because no preset was chosen. Never refuses the close.
  bool FormCloseQuery() const { return state_.preset_name.empty(); }

 private:
  DialogOutcome Outcome(const std::string& name, PresetMode mode);

  MainState& state_;
  std::vector<std::string> items_;
  int selected_ = -1;
};

}  // namespace vellora

#endif  // VELLORA_APP_PRESET_DIALOG_H_
