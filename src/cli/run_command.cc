// The "vellora run" and "vellora presets" subcommands.

#include "cli/commands.h"

namespace vellora::cli {

int RunCommand(const Args&) { return UsageError("run is not built yet"); }
int PresetsCommand(const Args&) { return UsageError("presets is not built yet"); }

}  // namespace vellora::cli
