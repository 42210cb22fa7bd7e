#include "state/field_table.h"

#include <algorithm>

namespace vellora {
namespace {

FieldRow Text(const char* name, std::string MainState::*member) {
  return {name, FieldKind::kText, member};
}
FieldRow Label(const char* name, std::string MainState::*member) {
  return {name, FieldKind::kLabel, member};
}
FieldRow List(const char* name, TextList MainState::*member) {
  return {name, FieldKind::kTextList, member};
}
FieldRow Spin(const char* name, IntegerSpin MainState::*member) {
  return {name, FieldKind::kIntegerSpin, member};
}
FieldRow Report(const char* name, ReportList MainState::*member) {
  return {name, FieldKind::kReportList, member};
}
FieldRow Check(const char* name, bool MainState::*member) {
  return {name, FieldKind::kCheckBox, member};
}

using S = MainState;

// clang-format off
const std::vector<FieldRow>& Rows() {
  static const std::vector<FieldRow> rows = {
      // The preset's text files, in the order they are loaded and saved.
      List("urls2grab", &S::urls2grab).Settable().File("urls2grab.txt"),
      List("prohibited", &S::prohibited).Settable().File("wfilter_excludeexact.txt")
          .DefaultText("ini_excludeexact.txt", 1),
      List("dontcontain", &S::dontcontain).Settable().File("wfilter_excludecontain.txt")
          .DefaultText("ini_excludecontain.txt", 2),
      List("samples", &S::samples).Settable().File("phrases.txt"),
      List("usersamples", &S::usersamples).Settable().File("phrases_user.txt"),
      List("templates", &S::templates).Settable().File("templates.txt")
          .DefaultText("ini_templates.txt", 3),
      List("indexpage", &S::indexpage).Settable().File("indexpage.txt")
          .DefaultText("ini_index.htm", 5),
      List("urlsurl", &S::urlsurl).Settable().File("urls.txt"),
      List("imagesurl", &S::imagesurl).Settable().File("images.txt"),
      List("htmltemplate", &S::htmltemplate).Settable().File("template.htm")
          .DefaultText("ini_template.htm", 4),
      // The settings.ini keys, in the order they are read and written.
      Spin("minwordrate", &S::minwordrate).Settable().Key("MinWordRate"),
      Spin("ratemultiplier", &S::ratemultiplier).Settable().Key("RateMultiplier"),
      Spin("phraselength", &S::phraselength).Settable().Key("PhraseLength"),
      Spin("urlmin", &S::urlmin).Settable().Key("UrlMin"),
      Spin("urlmax", &S::urlmax).Settable().Key("UrlMax"),
      Spin("imagemin", &S::imagemin).Settable().Key("ImageMin"),
      Spin("imagemax", &S::imagemax).Settable().Key("ImageMax"),
      Spin("sentmin", &S::sentmin).Settable().Key("SentMin"),
      Spin("sentmax", &S::sentmax).Settable().Key("SentMax"),
      Spin("parmin", &S::parmin).Settable().Key("ParMin"),
      Spin("parmax", &S::parmax).Settable().Key("ParMax"),
      Text("esitename", &S::esitename).Settable().Key("SiteName"),
      Text("esiteurl", &S::esiteurl).Settable().Key("SiteURL"),
      Text("efileext", &S::efileext).Settable().Key("PageExt"),
      Text("indexfname", &S::indexfname).Settable().Key("IndexName"),
      Text("edataurl", &S::edataurl).Settable().Key("DataURL", "http://"),
      Check("allowhttps", &S::allowhttps).Settable().KeyWhenChanged("AllowHttps"),
      Spin("grabconnections", &S::grabconnections).Settable().KeyWhenChanged("GrabConnections"),
      Spin("grabtimeout", &S::grabtimeout).Settable().KeyWhenChanged("GrabTimeout"),
      Check("grabgoon", &S::grabgoon).Settable().KeyWhenChanged("GrabGoOn"),
      Check("unicodetext", &S::unicodetext).Settable().KeyWhenChanged("UnicodeText"),
      Spin("extractmode", &S::extractmode).Settable().KeyWhenChanged("ExtractMode"),
      // Fields that no preset keeps.
      Text("echarset", &S::echarset).Settable(),
      Text("eresfolder", &S::eresfolder).Settable().Path(),
      Text("eworkingfolder", &S::eworkingfolder).Path(),
      Label("Status", &S::Status),
      Report("words", &S::words),
      Label("wordcount", &S::wordcount),
      List("myfile", &S::myfile),
      List("mytext", &S::mytext),
      Label("phrasescount", &S::phrasescount),
      Report("pars", &S::pars),
      Report("filelist", &S::filelist),
      List("savememo", &S::savememo),
      Label("vercaption", &S::vercaption),
  };
  return rows;
}
// clang-format on

}  // namespace

FieldRow FieldRow::Settable() const {
  FieldRow row = *this;
  row.settable = true;
  return row;
}

FieldRow FieldRow::Path() const {
  FieldRow row = *this;
  row.path = true;
  return row;
}

FieldRow FieldRow::File(const char* file_name) const {
  FieldRow row = *this;
  row.preset_file = file_name;
  return row;
}

FieldRow FieldRow::Key(const char* key, const char* default_value) const {
  FieldRow row = *this;
  row.preset_key = key;
  row.key_default = default_value;
  return row;
}

FieldRow FieldRow::KeyWhenChanged(const char* key) const {
  FieldRow row = Key(key);
  row.key_only_when_changed = true;
  return row;
}

FieldRow FieldRow::DefaultText(const char* file_name, int order) const {
  FieldRow row = *this;
  row.default_text = file_name;
  row.default_text_order = order;
  return row;
}

const std::vector<FieldRow>& FieldTable() { return Rows(); }

const FieldRow* FindField(std::string_view name) {
  if (name == "status") name = "Status";
  for (const FieldRow& row : Rows()) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

std::vector<const FieldRow*> DefaultTextRows() {
  std::vector<const FieldRow*> rows;
  for (const FieldRow& row : Rows()) {
    if (row.default_text != nullptr) rows.push_back(&row);
  }
  std::sort(rows.begin(), rows.end(), [](const FieldRow* a, const FieldRow* b) {
    return a->default_text_order < b->default_text_order;
  });
  return rows;
}

const MainState& InitialState() {
  static const MainState initial;
  return initial;
}

int64_t IntegerKeyDefault(const FieldRow& row) {
  if (row.kind == FieldKind::kCheckBox) return InitialState().*row.As<bool>() ? 1 : 0;
  return (InitialState().*row.As<IntegerSpin>()).Initial();
}

std::string TextKeyDefault(const FieldRow& row) {
  if (row.key_default != nullptr) return row.key_default;
  return InitialState().*row.As<std::string>();
}

}  // namespace vellora
