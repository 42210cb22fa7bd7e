#include "app/presets.h"

#include "base/file_io.h"
#include "base/profile_file.h"

namespace vellora {
namespace {

struct IntegerSetting {
  const char* key;
  IntegerSpin MainState::*field;
  int64_t default_value;
};

struct TextSetting {
  const char* key;
  std::string MainState::*field;
  const char* default_value;
};

const IntegerSetting kIntegerSettings[] = {
    {"MinWordRate", &MainState::minwordrate, 1},
    {"RateMultiplier", &MainState::ratemultiplier, 1},
    {"PhraseLength", &MainState::phraselength, 4},
    {"UrlMin", &MainState::urlmin, 35},
    {"UrlMax", &MainState::urlmax, 70},
    {"ImageMin", &MainState::imagemin, 35},
    {"ImageMax", &MainState::imagemax, 70},
    {"SentMin", &MainState::sentmin, 3},
    {"SentMax", &MainState::sentmax, 15},
    {"ParMin", &MainState::parmin, 3},
    {"ParMax", &MainState::parmax, 15},
};

const TextSetting kTextSettings[] = {
    {"SiteName", &MainState::esitename, "Vellora Software"},
    {"SiteURL", &MainState::esiteurl, kDefaultSiteUrl},
    {"PageExt", &MainState::efileext, "htm"},
    {"IndexName", &MainState::indexfname, "index.htm"},
    {"DataURL", &MainState::edataurl, "http://"},
};

}  // namespace

const std::vector<PresetTextFile>& PresetTextFiles() {
  static const std::vector<PresetTextFile> files = {
      {"urls2grab.txt", &MainState::urls2grab},
      {"wfilter_excludeexact.txt", &MainState::prohibited},
      {"wfilter_excludecontain.txt", &MainState::dontcontain},
      {"phrases.txt", &MainState::samples},
      {"phrases_user.txt", &MainState::usersamples},
      {"templates.txt", &MainState::templates},
      {"indexpage.txt", &MainState::indexpage},
      {"urls.txt", &MainState::urlsurl},
      {"images.txt", &MainState::imagesurl},
      {"template.htm", &MainState::htmltemplate},
  };
  return files;
}

void loadpreset(MainState& state) {
  for (const PresetTextFile& file : PresetTextFiles()) {
    std::string path = state.preset_folder + file.file_name;
    if (FileExists(path)) (state.*file.field).LoadFromFile(path);
  }
  ProfileFile settings(state.preset_folder + kSettingsFile);
  for (const IntegerSetting& s : kIntegerSettings) {
    (state.*s.field).SetValue(settings.ReadInteger(kSettingsSection, s.key, s.default_value));
  }
  for (const TextSetting& s : kTextSettings) {
    state.*s.field = settings.ReadString(kSettingsSection, s.key, s.default_value);
  }
}

void savepreset(MainState& state) {
  for (const PresetTextFile& file : PresetTextFiles()) {
    (state.*file.field).SaveToFile(state.preset_folder + file.file_name);
  }
  ProfileFile settings(state.preset_folder + kSettingsFile);
  for (const IntegerSetting& s : kIntegerSettings) {
    settings.WriteInteger(kSettingsSection, s.key, (state.*s.field).Value());
  }
  for (const TextSetting& s : kTextSettings) {
    settings.WriteString(kSettingsSection, s.key, state.*s.field);
  }
  settings.Flush();
}

}  // namespace vellora
