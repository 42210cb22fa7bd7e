// The subcommands of the vellora command. Each takes the arguments after its
// own name and returns the process exit status: 0 success, 1 failure, 2 usage.

#ifndef VELLORA_CLI_COMMANDS_H_
#define VELLORA_CLI_COMMANDS_H_

#include <string>
#include <vector>

#include "cli/steps.h"

namespace vellora::cli {

using Args = std::vector<std::string>;

int RunCommand(const Args& args);
// RunCommand with the steps that `find_step` finds, for tests with steps of
// their own.
int RunCommandWithSteps(const Args& args, StepLookup find_step);
int PresetsCommand(const Args& args);
int FetchCommand(const Args& args);
int RegexCommand(const Args& args);
int FieldsCommand(const Args& args);
int TextCommand(const Args& args);

// Prints "vellora: MESSAGE; see 'vellora COMMAND --help'" to stderr and
// returns 2.
int UsageError(const std::string& message);

}  // namespace vellora::cli

#endif  // VELLORA_CLI_COMMANDS_H_
