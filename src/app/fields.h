// Fields by name: how the vellora command sets and prints the main window
// state, by the rows of the field table. Names are the field names of
// MainState ("urls2grab", "minwordrate", "words", ...), plus "status" for the
// last status text.

#ifndef VELLORA_APP_FIELDS_H_
#define VELLORA_APP_FIELDS_H_

#include <optional>
#include <string>

#include "state/main_state.h"

namespace vellora {

enum class SetFieldResult { kSet, kUnknownField, kNotSettable, kBadValue, kLineBreak };

// Sets a settable field (one a preset keeps, or echarset, eresfolder). An
// integer field takes `value` as typed and is then clamped (a text that is
// not a number reads as the minimum); a text list takes `value` as its text;
// a check box takes 1, true, on, yes or 0, false, off, no (any letter case)
// and anything else is kBadValue. A single-line text holding CR or LF is
// kLineBreak and left as it was: settings.ini keeps one value a line, so the
// break would add keys at the next load. Switching `unicodetext` re-encodes
// the texts (app/preset_text_mode.h); in Unicode mode a text value that is
// not valid UTF-8 is read as Windows-1252.
SetFieldResult SetField(MainState& state, const std::string& name, const std::string& value);

// True when `name` is a text list field (for loading its value from a file).
bool IsTextListField(const std::string& name);

// The field's value as text: a text list as its text; a report list as one
// line per row, caption and sub-items separated by TAB, with backslash, TAB,
// CR and LF inside a value written as \\, \t, \r, \n; any other field as its
// text followed by a line break (a check box as 1 or 0). nullopt for an unknown name.
std::optional<std::string> DumpField(const MainState& state, const std::string& name);

}  // namespace vellora

#endif  // VELLORA_APP_FIELDS_H_
