// Where the program's files live: the folder its default texts are read
// from and the folder its presets are kept in. Decided once, here, for both
// front ends.
//
// Two layouts are known:
//  - beside the program (the build tree, or any folder that holds the
//    default texts next to the program and is writable): the texts are read
//    from the program's folder and presets live in its "Presets/" subfolder;
//  - installed (the program in PREFIX/bin/, its texts in
//    PREFIX/share/vellora-brindo/): the texts are read from there and presets
//    live in $XDG_DATA_HOME/vellora-brindo/Presets/, or
//    ~/.local/share/vellora-brindo/Presets/ when the variable is unset, empty
//    or not an absolute path.
// A folder that holds its texts but cannot be written keeps its texts and
// puts presets in the per-user folder. A program found in neither layout is
// treated as beside the program, so that a missing default text is reported
// with the path beside it.
//
// Every folder path ends with "/". Nothing is created here: the presets
// folder is created by start-up when it is first used.

#ifndef VELLORA_BASE_PROGRAM_FOLDERS_H_
#define VELLORA_BASE_PROGRAM_FOLDERS_H_

#include <string>
#include <vector>

namespace vellora {

struct ProgramFolders {
  std::string application;    // the running program's folder
  std::string default_texts;  // the folder the default texts are read from
  std::string presets;        // the presets folder when none is given
  bool installed = false;     // the texts come from PREFIX/share/vellora-brindo/
};

// What the decision reads from the environment.
struct FolderEnvironment {
  std::string xdg_data_home;  // $XDG_DATA_HOME, empty when unset
  std::string home;           // the user's home folder
};

// The subfolder of PREFIX/share/ and of the per-user data folder that holds
// the program's files.
inline constexpr const char* kDataFolderName = "vellora-brindo";

// Decides the folders for a program whose folder is `application_folder`
// (ending with "/"). `default_texts` are the file names of the default
// texts; a folder holds them when any one of them is there.
ProgramFolders LocateProgramFolders(const std::string& application_folder,
                                    const std::vector<std::string>& default_texts,
                                    const FolderEnvironment& environment);

// LocateProgramFolders for the running program and the current environment.
ProgramFolders LocateProgramFolders(const std::vector<std::string>& default_texts);

}  // namespace vellora

#endif  // VELLORA_BASE_PROGRAM_FOLDERS_H_
