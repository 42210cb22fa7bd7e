// The vellora command and its subcommands. Each subcommand takes the
// arguments after its own name and the streams to use, and returns the
// process exit status: 0 success, 1 failure, 2 usage. main only passes the
// command line and its standard streams to RunCommandLine, so a test can run
// any of it in its own process; only what concerns the process itself
// (signals, the real standard streams) needs the built program.

#ifndef VELLORA_CLI_COMMANDS_H_
#define VELLORA_CLI_COMMANDS_H_

#include <string>
#include <vector>

#include "cli/steps.h"
#include "cli/streams.h"

namespace vellora::cli {

using Args = std::vector<std::string>;

// The whole command line (the arguments after the program name): help and
// version requests, the subcommand it names, and the top-level handler that
// turns an escaping exception into a message and status 1 (top_level.h).
int RunCommandLine(const Args& arguments, const Streams& io);

int RunCommand(const Args& args, const Streams& io);
// RunCommand with the steps that `find_step` finds, for tests with steps of
// their own.
int RunCommandWithSteps(const Args& args, StepLookup find_step, const Streams& io = Streams());
int PresetsCommand(const Args& args, const Streams& io);
int FetchCommand(const Args& args, const Streams& io);
int RegexCommand(const Args& args, const Streams& io);
int FieldsCommand(const Args& args, const Streams& io);
int TextCommand(const Args& args, const Streams& io);

// Prints "vellora: MESSAGE; see 'vellora COMMAND --help'" (or "see 'vellora
// --help'" when `command` is empty) to io.err and returns 2.
int UsageError(const Streams& io, const std::string& command, const std::string& message);

}  // namespace vellora::cli

#endif  // VELLORA_CLI_COMMANDS_H_
