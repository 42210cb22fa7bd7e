#include "cli/field_help.h"

#include <algorithm>

#include "base/paths.h"
#include "cli/commands.h"
#include "cli/usage.h"
#include "state/field_table.h"

namespace vellora::cli {
namespace {

const char* KindName(FieldKind kind) {
  switch (kind) {
    case FieldKind::kText:
      return "text";
    case FieldKind::kTextList:
      return "text list";
    case FieldKind::kIntegerSpin:
      return "integer";
    case FieldKind::kReportList:
      return "report list";
    case FieldKind::kLabel:
      return "label";
    case FieldKind::kCheckBox:
      return "check box";
  }
  return "";
}

// A path under the user's home reads "~/..." so that the help does not
// depend on who built or runs the program.
std::string ShownText(const FieldRow& row, const std::string& text) {
  std::string home = HomeFolder();
  if (row.path && !home.empty() && text.compare(0, home.size() + 1, home + "/") == 0) {
    return "~" + text.substr(home.size());
  }
  return text;
}

std::string Values(const FieldRow& row) {
  const MainState& initial = InitialState();
  switch (row.kind) {
    case FieldKind::kIntegerSpin: {
      const IntegerSpin& spin = initial.*row.As<IntegerSpin>();
      return std::to_string(spin.Minimum()) + ".." + std::to_string(spin.Maximum()) + ", default " +
             std::to_string(spin.Initial());
    }
    case FieldKind::kCheckBox:
      return initial.*row.As<bool>() ? "default on" : "default off";
    case FieldKind::kText: {
      std::string value =
          row.preset_key != nullptr ? TextKeyDefault(row) : initial.*row.As<std::string>();
      return value.empty() ? "default empty" : "default \"" + ShownText(row, value) + "\"";
    }
    case FieldKind::kTextList:
      if (row.default_text != nullptr) return std::string("default text ") + row.default_text;
      return "default empty";
    case FieldKind::kReportList:
    case FieldKind::kLabel:
      return "";
  }
  return "";
}

}  // namespace

std::vector<FieldHelpRow> FieldHelpRows() {
  std::vector<FieldHelpRow> rows;
  for (const FieldRow& row : FieldTable()) {
    FieldHelpRow help;
    help.name = row.name;
    help.kind = KindName(row.kind);
    help.values = Values(row);
    help.settable = row.settable;
    if (row.preset_file != nullptr) help.kept = row.preset_file;
    if (row.preset_key != nullptr) help.kept = row.preset_key;
    rows.push_back(help);
  }
  return rows;
}

std::string FieldHelpTable() {
  std::vector<FieldHelpRow> rows = FieldHelpRows();
  FieldHelpRow heading{"name", "kind", "range and default", false, "kept"};
  size_t name = heading.name.size(), kind = heading.kind.size(), values = heading.values.size();
  for (const FieldHelpRow& row : rows) {
    name = std::max(name, row.name.size());
    kind = std::max(kind, row.kind.size());
    values = std::max(values, row.values.size());
  }
  auto pad = [](const std::string& text, size_t width) {
    return text + std::string(width - text.size() + 2, ' ');
  };
  auto line = [&](const FieldHelpRow& row, const std::string& set) {
    std::string text = "  " + pad(row.name, name) + pad(row.kind, kind) + pad(row.values, values) +
                       pad(set, 5) + row.kept;
    text.erase(text.find_last_not_of(' ') + 1);
    return text + "\n";
  };
  std::string out = line(heading, "--set");
  for (const FieldHelpRow& row : rows) out += line(row, row.settable ? "yes" : "no");
  return out;
}

std::string FieldHelpLines() {
  std::string out;
  for (const FieldHelpRow& row : FieldHelpRows()) {
    out += row.name + "\t" + row.kind + "\t" + row.values + "\t" + (row.settable ? "yes" : "no") +
           "\t" + (row.kept.empty() ? "-" : row.kept) + "\n";
  }
  return out;
}

int FieldsCommand(const Args& args, const Streams& io) {
  if (!args.empty()) return UsageError(io, "fields", "unknown argument '" + args[0] + "'");
  return PrintResult(io, FieldHelpLines());
}

}  // namespace vellora::cli
