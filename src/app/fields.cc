#include "app/fields.h"

#include <map>
#include <variant>

namespace vellora {
namespace {

using TextField = std::string MainState::*;
using ListField = TextList MainState::*;
using SpinField = IntegerSpin MainState::*;
using ReportField = ReportList MainState::*;

struct Field {
  std::variant<TextField, ListField, SpinField, ReportField> member;
  bool settable;
};

const std::map<std::string, Field>& Fields() {
  static const std::map<std::string, Field> fields = {
      {"urls2grab", {&MainState::urls2grab, true}},
      {"eworkingfolder", {&MainState::eworkingfolder, false}},
      {"prohibited", {&MainState::prohibited, true}},
      {"dontcontain", {&MainState::dontcontain, true}},
      {"minwordrate", {&MainState::minwordrate, true}},
      {"ratemultiplier", {&MainState::ratemultiplier, true}},
      {"words", {&MainState::words, false}},
      {"wordcount", {&MainState::wordcount, false}},
      {"myfile", {&MainState::myfile, false}},
      {"mytext", {&MainState::mytext, false}},
      {"samples", {&MainState::samples, true}},
      {"phraselength", {&MainState::phraselength, true}},
      {"phrasescount", {&MainState::phrasescount, false}},
      {"usersamples", {&MainState::usersamples, true}},
      {"esitename", {&MainState::esitename, true}},
      {"esiteurl", {&MainState::esiteurl, true}},
      {"echarset", {&MainState::echarset, true}},
      {"efileext", {&MainState::efileext, true}},
      {"urlmin", {&MainState::urlmin, true}},
      {"urlmax", {&MainState::urlmax, true}},
      {"urlsurl", {&MainState::urlsurl, true}},
      {"imagemin", {&MainState::imagemin, true}},
      {"imagemax", {&MainState::imagemax, true}},
      {"imagesurl", {&MainState::imagesurl, true}},
      {"indexpage", {&MainState::indexpage, true}},
      {"indexfname", {&MainState::indexfname, true}},
      {"sentmin", {&MainState::sentmin, true}},
      {"sentmax", {&MainState::sentmax, true}},
      {"parmin", {&MainState::parmin, true}},
      {"parmax", {&MainState::parmax, true}},
      {"templates", {&MainState::templates, true}},
      {"pars", {&MainState::pars, false}},
      {"filelist", {&MainState::filelist, false}},
      {"htmltemplate", {&MainState::htmltemplate, true}},
      {"edataurl", {&MainState::edataurl, true}},
      {"eresfolder", {&MainState::eresfolder, true}},
      {"savememo", {&MainState::savememo, false}},
      {"vercaption", {&MainState::vercaption, false}},
      {"status", {&MainState::Status, false}},
      {"Status", {&MainState::Status, false}},
  };
  return fields;
}

void AppendEscaped(std::string& out, const std::string& value) {
  for (char c : value) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
}

}  // namespace

SetFieldResult SetField(MainState& state, const std::string& name, const std::string& value) {
  auto it = Fields().find(name);
  if (it == Fields().end()) return SetFieldResult::kUnknownField;
  if (!it->second.settable) return SetFieldResult::kNotSettable;
  const auto& member = it->second.member;
  if (auto* text = std::get_if<TextField>(&member)) {
    state.**text = value;
  } else if (auto* list = std::get_if<ListField>(&member)) {
    (state.**list).SetText(value);
  } else if (auto* spin = std::get_if<SpinField>(&member)) {
    (state.**spin).SetText(value);
    (state.**spin).ClampText();
  }
  return SetFieldResult::kSet;
}

bool IsTextListField(const std::string& name) {
  auto it = Fields().find(name);
  return it != Fields().end() && std::holds_alternative<ListField>(it->second.member);
}

std::optional<std::string> DumpField(const MainState& state, const std::string& name) {
  auto it = Fields().find(name);
  if (it == Fields().end()) return std::nullopt;
  const auto& member = it->second.member;
  if (auto* text = std::get_if<TextField>(&member)) return state.**text + "\n";
  if (auto* list = std::get_if<ListField>(&member)) return (state.**list).Text();
  if (auto* spin = std::get_if<SpinField>(&member)) return (state.**spin).Text() + "\n";
  const ReportList& report = state.*std::get<ReportField>(member);
  std::string out;
  for (const ReportRow& row : report.Rows()) {
    AppendEscaped(out, row.caption);
    for (const std::string& item : row.sub_items) {
      out += '\t';
      AppendEscaped(out, item);
    }
    out += '\n';
  }
  return out;
}

}  // namespace vellora
