// The "vellora fetch" subcommand.

#include "cli/commands.h"

namespace vellora::cli {

int FetchCommand(const Args&) { return UsageError("fetch is not built yet"); }

}  // namespace vellora::cli
