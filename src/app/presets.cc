#include "app/presets.h"

#include "app/preset_text_mode.h"
#include "base/file_io.h"
#include "base/profile_file.h"
#include "state/field_table.h"

namespace vellora {
namespace {

void LoadKey(const FieldRow& row, const ProfileFile& settings, MainState& state) {
  switch (row.kind) {
    case FieldKind::kIntegerSpin:
      (state.*row.As<IntegerSpin>())
          .SetValue(settings.ReadInteger(kSettingsSection, row.preset_key, IntegerKeyDefault(row)));
      break;
    case FieldKind::kCheckBox:
      state.*row.As<bool>() =
          settings.ReadInteger(kSettingsSection, row.preset_key, IntegerKeyDefault(row)) != 0;
      break;
    default:
      state.*row.As<std::string>() =
          settings.ReadString(kSettingsSection, row.preset_key, TextKeyDefault(row));
  }
}

void SaveKey(const FieldRow& row, const MainState& state, ProfileFile& settings) {
  if (row.kind == FieldKind::kIntegerSpin || row.kind == FieldKind::kCheckBox) {
    int64_t value = row.kind == FieldKind::kCheckBox ? (state.*row.As<bool>() ? 1 : 0)
                                                     : (state.*row.As<IntegerSpin>()).Value();
    if (row.key_only_when_changed && value == IntegerKeyDefault(row)) {
      settings.DeleteKey(kSettingsSection, row.preset_key);
    } else {
      settings.WriteInteger(kSettingsSection, row.preset_key, value);
    }
    return;
  }
  const std::string& text = state.*row.As<std::string>();
  if (row.key_only_when_changed && text == TextKeyDefault(row)) {
    settings.DeleteKey(kSettingsSection, row.preset_key);
  } else {
    settings.WriteString(kSettingsSection, row.preset_key, text);
  }
}

}  // namespace

std::vector<const FieldRow*> PresetFileRows() {
  std::vector<const FieldRow*> rows;
  for (const FieldRow& row : FieldTable()) {
    if (row.preset_file != nullptr) rows.push_back(&row);
  }
  return rows;
}

void loadpreset(MainState& state) {
  for (const FieldRow* row : PresetFileRows()) {
    std::string path = state.preset_folder + row->preset_file;
    if (FileExists(path)) (state.*row->As<TextList>()).LoadFromFile(path);
  }
  ProfileFile settings(state.preset_folder + kSettingsFile);
  for (const FieldRow& row : FieldTable()) {
    if (row.preset_key != nullptr) LoadKey(row, settings, state);
  }
  if (state.unicodetext) NormaliseUnicodeTexts(state);
}

void savepreset(MainState& state) {
  for (const FieldRow* row : PresetFileRows()) {
    (state.*row->As<TextList>()).SaveToFile(state.preset_folder + row->preset_file);
  }
  ProfileFile settings(state.preset_folder + kSettingsFile);
  for (const FieldRow& row : FieldTable()) {
    if (row.preset_key != nullptr) SaveKey(row, state, settings);
  }
  settings.Flush();
  // Temporary files that an interrupted save or grab left behind.
  RemoveLeftoverTemporaryFiles(state.preset_folder);
  if (!state.eworkingfolder.empty()) RemoveLeftoverTemporaryFiles(state.eworkingfolder);
}

}  // namespace vellora
