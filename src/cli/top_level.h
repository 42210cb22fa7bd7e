// The command's one top-level handler: every exception that leaves a
// subcommand ends here, as a message on stderr and exit status 1.

#ifndef VELLORA_CLI_TOP_LEVEL_H_
#define VELLORA_CLI_TOP_LEVEL_H_

#include <cstdio>
#include <functional>

namespace vellora::cli {

// Runs `command` and returns its exit status. An exception that escapes it is
// printed on `err` and gives 1: the program's own errors (files, patterns,
// HTTP) with their text and the full-stop rule, a failed allocation as "Out
// of memory.", anything else as "Internal error: ...".
int RunCatchingAll(std::FILE* err, const std::function<int()>& command);

}  // namespace vellora::cli

#endif  // VELLORA_CLI_TOP_LEVEL_H_
