#include "app/fields.h"

#include "app/preset_text_mode.h"
#include "base/code_page.h"
#include "state/field_table.h"

namespace vellora {
namespace {

void AppendEscaped(std::string& out, const std::string& value) {
  for (char c : value) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += c;
    }
  }
}

std::optional<bool> ParseCheck(const std::string& value) {
  for (const char* on : {"1", "true", "on", "yes"}) {
    if (EqualIgnoringCase(value, on)) return true;
  }
  for (const char* off : {"0", "false", "off", "no"}) {
    if (EqualIgnoringCase(value, off)) return false;
  }
  return std::nullopt;
}

}  // namespace

SetFieldResult SetField(MainState& state, const std::string& name, const std::string& value) {
  const FieldRow* row = FindField(name);
  if (row == nullptr) return SetFieldResult::kUnknownField;
  if (!row->settable) return SetFieldResult::kNotSettable;
  switch (row->kind) {
    case FieldKind::kText:
    case FieldKind::kLabel:
      if (value.find_first_of("\r\n") != std::string::npos) return SetFieldResult::kLineBreak;
      state.*row->As<std::string>() =
          state.unicodetext && !row->path ? UnicodeModeText(value) : value;
      break;
    case FieldKind::kTextList:
      (state.*row->As<TextList>()).SetText(state.unicodetext ? UnicodeModeText(value) : value);
      break;
    case FieldKind::kIntegerSpin:
      (state.*row->As<IntegerSpin>()).SetText(value);
      (state.*row->As<IntegerSpin>()).ClampText();
      break;
    case FieldKind::kCheckBox: {
      std::optional<bool> on = ParseCheck(value);
      if (!on) return SetFieldResult::kBadValue;
      if (row->As<bool>() == &MainState::unicodetext) {
        SetTextMode(state, *on);  // the texts follow the mode
      } else {
        state.*row->As<bool>() = *on;
      }
      break;
    }
    case FieldKind::kReportList:
      return SetFieldResult::kNotSettable;
  }
  return SetFieldResult::kSet;
}

bool IsTextListField(const std::string& name) {
  const FieldRow* row = FindField(name);
  return row != nullptr && row->kind == FieldKind::kTextList;
}

std::optional<std::string> DumpField(const MainState& state, const std::string& name) {
  const FieldRow* row = FindField(name);
  if (row == nullptr) return std::nullopt;
  switch (row->kind) {
    case FieldKind::kText:
    case FieldKind::kLabel:
      return state.*row->As<std::string>() + "\n";
    case FieldKind::kTextList:
      return (state.*row->As<TextList>()).Text();
    case FieldKind::kIntegerSpin:
      return (state.*row->As<IntegerSpin>()).Text() + "\n";
    case FieldKind::kCheckBox:
      return state.*row->As<bool>() ? "1\n" : "0\n";
    case FieldKind::kReportList:
      break;
  }
  std::string out;
  for (const ReportRow& report_row : (state.*row->As<ReportList>()).Rows()) {
    AppendEscaped(out, report_row.caption);
    for (const std::string& item : report_row.sub_items) {
      out += '\t';
      AppendEscaped(out, item);
    }
    out += '\n';
  }
  return out;
}

}  // namespace vellora
