// The field table: one row for every field of MainState that is known by
// name, saying what the field is and where it lives.
//
// A row gives the field's name (the control's name), its member, its kind,
// whether `vellora run --set` may set it, the preset file or settings.ini key
// that keeps it (with the key's default), and the default text beside the
// program that start-up loads into it. Preset load and save, start-up's
// default texts, --set/--dump and the desktop program's control binding all
// read this table, so a new field is one row here plus its member in
// MainState (and its control).
//
// Defaults are not written here: a field's range, initial value and the
// default of its key are those of a MainState as constructed (InitialState),
// except where a row names a different key default.
//
// Rows run in the order a preset stores them: the rows with a preset file in
// file order, the rows with a key in key order. The table is built once and
// never changes; reading it from several threads is safe.

#ifndef VELLORA_STATE_FIELD_TABLE_H_
#define VELLORA_STATE_FIELD_TABLE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "state/main_state.h"

namespace vellora {

enum class FieldKind {
  kText,         // single-line text (an edit box)
  kTextList,     // multi-line text (a memo)
  kIntegerSpin,  // whole number with a range and a default (a spin box)
  kReportList,   // rows of caption and sub-items (a list view)
  kLabel,        // read-only text that a step sets
  kCheckBox,     // on or off
};

using FieldMember =
    std::variant<std::string MainState::*, TextList MainState::*, IntegerSpin MainState::*,
                 ReportList MainState::*, bool MainState::*>;

struct FieldRow {
  const char* name;
  FieldKind kind;
  FieldMember member;
  bool settable = false;              // vellora run --set may set it
  bool path = false;                  // a text that holds a file-system path
  const char* preset_file = nullptr;  // text list kept in this file of the preset
  const char* preset_key = nullptr;   // value kept under this settings.ini key
  // The key's default when it is not the field's initial value (text only).
  const char* key_default = nullptr;
  // The key is written only when the value differs from its default, so a
  // preset that leaves the setting alone is stored as it was before it.
  bool key_only_when_changed = false;
  const char* default_text = nullptr;  // start-up loads this file beside the program
  int default_text_order = 0;          // position among the default texts, from 1

  // Row builders, so that each row of the table reads as one line.
  FieldRow Settable() const;
  FieldRow Path() const;
  FieldRow File(const char* file_name) const;
  FieldRow Key(const char* key, const char* default_value = nullptr) const;
  FieldRow KeyWhenChanged(const char* key) const;
  FieldRow DefaultText(const char* file_name, int order) const;

  template <typename T>
  T MainState::*As() const {
    return std::get<T MainState::*>(member);
  }
};

// The whole table in storage order.
const std::vector<FieldRow>& FieldTable();

// The row named `name`, or nullptr. "status" names the status text as well
// as "Status".
const FieldRow* FindField(std::string_view name);

// The rows with a default text, in the order start-up loads them.
std::vector<const FieldRow*> DefaultTextRows();

// A MainState as constructed: the fields' layout values, ranges and defaults.
const MainState& InitialState();

// The default of a row's settings.ini key: for a spin its initial value, for
// a check box 1 or 0 (IntegerKeyDefault); for a text the row's key default
// or else the initial text (TextKeyDefault).
int64_t IntegerKeyDefault(const FieldRow& row);
std::string TextKeyDefault(const FieldRow& row);

}  // namespace vellora

#endif  // VELLORA_STATE_FIELD_TABLE_H_
