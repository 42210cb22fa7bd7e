#include "base/program_folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "base/paths.h"

namespace vellora {
namespace {

bool IsFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool HoldsAnyOf(const std::string& folder, const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    if (IsFile(folder + name)) return true;
  }
  return false;
}

bool IsWritableFolder(const std::string& folder) {
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

// PREFIX/share/vellora-brindo/ for a program in PREFIX/bin/, or empty.
std::string SharedDataFolder(const std::string& application_folder) {
  const std::string bin = "/bin/";
  if (application_folder.size() < bin.size() ||
      application_folder.compare(application_folder.size() - bin.size(), bin.size(), bin) != 0) {
    return "";
  }
  std::string prefix = application_folder.substr(0, application_folder.size() - bin.size() + 1);
  return prefix + "share/" + kDataFolderName + "/";
}

std::string UserPresetsFolder(const FolderEnvironment& environment) {
  // A relative $XDG_DATA_HOME is invalid and ignored, as the base directory
  // rules say.
  std::string data = environment.xdg_data_home;
  if (data.empty() || data[0] != '/') data = environment.home + "/.local/share";
  return WithTrailingSlash(data) + kDataFolderName + "/Presets/";
}

}  // namespace

ProgramFolders LocateProgramFolders(const std::string& application_folder,
                                    const std::vector<std::string>& default_texts,
                                    const FolderEnvironment& environment) {
  ProgramFolders folders;
  folders.application = application_folder;
  folders.default_texts = application_folder;
  folders.presets = application_folder + "Presets/";
  if (HoldsAnyOf(application_folder, default_texts)) {
    if (!IsWritableFolder(application_folder)) folders.presets = UserPresetsFolder(environment);
    return folders;
  }
  std::string shared = SharedDataFolder(application_folder);
  if (!shared.empty() && HoldsAnyOf(shared, default_texts)) {
    folders.default_texts = shared;
    folders.presets = UserPresetsFolder(environment);
    folders.installed = true;
  }
  return folders;
}

ProgramFolders LocateProgramFolders(const std::vector<std::string>& default_texts) {
  FolderEnvironment environment;
  if (const char* data = std::getenv("XDG_DATA_HOME")) environment.xdg_data_home = data;
  environment.home = HomeFolder();
  return LocateProgramFolders(ApplicationFolder(), default_texts, environment);
}

}  // namespace vellora
