// Entry point of the vellora command: dispatches to the subcommands, under
// the one handler that turns any escaping exception into a message.

#include <string>

#include "cli/commands.h"
#include "cli/top_level.h"
#include "cli/usage.h"

namespace {

int Dispatch(const vellora::cli::Args& arguments) {
  using namespace vellora::cli;
  if (std::optional<int> status = AnswerHelpRequest(arguments)) return *status;
  std::string command = arguments[0];
  Args args(arguments.begin() + 1, arguments.end());
  if (HelpText(command)) SetUsageCommand(command);
  if (command == "run") return RunCommand(args);
  if (command == "presets") return PresetsCommand(args);
  if (command == "fields") return FieldsCommand(args);
  if (command == "fetch") return FetchCommand(args);
  if (command == "regex") return RegexCommand(args);
  if (command == "text") return TextCommand(args);
  if (command[0] == '-') return UsageError("unknown option '" + command + "'");
  return UsageError("unknown command '" + command + "'");
}

}  // namespace

int main(int argc, char** argv) {
  vellora::cli::Args arguments(argv + 1, argv + argc);
  return vellora::cli::RunCatchingAll([&] { return Dispatch(arguments); });
}
