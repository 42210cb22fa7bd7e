// The fields as the vellora command describes them, made from the field
// table: the field list of "vellora run --help" and the rows of "vellora
// fields" (which the manual page and the shell completion read).

#ifndef VELLORA_CLI_FIELD_HELP_H_
#define VELLORA_CLI_FIELD_HELP_H_

#include <string>
#include <vector>

namespace vellora::cli {

struct FieldHelpRow {
  std::string name;
  std::string kind;    // "text list", "integer", "check box", ...
  std::string values;  // range and default, "" when the kind has none
  bool settable = false;
  std::string kept;  // the preset file or settings.ini key, "" for none
};

// One row per field of the field table, in its order.
std::vector<FieldHelpRow> FieldHelpRows();

// The rows as aligned columns with a heading line, each line indented by two
// blanks and ending with "\n".
std::string FieldHelpTable();

// The rows as lines of five TAB-separated columns: name, kind, values, "yes"
// or "no" for --set, and the preset file or key or "-".
std::string FieldHelpLines();

}  // namespace vellora::cli

#endif  // VELLORA_CLI_FIELD_HELP_H_
