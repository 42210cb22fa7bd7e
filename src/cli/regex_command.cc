// The "vellora regex" subcommand.

#include "cli/commands.h"

namespace vellora::cli {

int RegexCommand(const Args&) { return UsageError("regex is not built yet"); }

}  // namespace vellora::cli
