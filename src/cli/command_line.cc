// The vellora command line: dispatches to the subcommands, under the one
// handler that turns any escaping exception into a message.

#include <string>

#include "cli/commands.h"
#include "cli/top_level.h"
#include "cli/usage.h"

namespace vellora::cli {
namespace {

int Dispatch(const Args& arguments, const Streams& io) {
  if (std::optional<int> status = AnswerHelpRequest(arguments, io)) return *status;
  const std::string& command = arguments[0];
  Args args(arguments.begin() + 1, arguments.end());
  if (command == "run") return RunCommand(args, io);
  if (command == "presets") return PresetsCommand(args, io);
  if (command == "fields") return FieldsCommand(args, io);
  if (command == "fetch") return FetchCommand(args, io);
  if (command == "regex") return RegexCommand(args, io);
  if (command == "text") return TextCommand(args, io);
  if (command[0] == '-') return UsageError(io, "", "unknown option '" + command + "'");
  return UsageError(io, "", "unknown command '" + command + "'");
}

}  // namespace

int RunCommandLine(const Args& arguments, const Streams& io) {
  return RunCatchingAll(io.err, [&] { return Dispatch(arguments, io); });
}

}  // namespace vellora::cli
