// Folder paths of the program. Folder paths end with "/" and are joined by
// plain concatenation.

#ifndef VELLORA_BASE_PATHS_H_
#define VELLORA_BASE_PATHS_H_

#include <string>

namespace vellora {

// The folder of the running executable, ending with "/".
std::string ApplicationFolder();

// The user's home folder, without a final "/".
std::string HomeFolder();

// `path` with a final "/" added when it lacks one (an empty path stays empty).
std::string WithTrailingSlash(std::string path);

}  // namespace vellora

#endif  // VELLORA_BASE_PATHS_H_
