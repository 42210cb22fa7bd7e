// The vellora command's help, version and usage errors.
//
// Help goes to stdout with exit status 0: "vellora --help", "vellora help
// [COMMAND]" and "vellora COMMAND --help". A usage error is one line on
// stderr saying what is wrong and where the help is, with exit status 2.

#ifndef VELLORA_CLI_USAGE_H_
#define VELLORA_CLI_USAGE_H_

#include <optional>
#include <string>
#include <string_view>

#include "cli/commands.h"

namespace vellora::cli {

// Answers a request for help or for the version among the command line's
// arguments (those after the program name): prints the answer and returns
// the exit status. nullopt when the arguments ask for neither.
std::optional<int> AnswerHelpRequest(const Args& arguments, const Streams& io);

// The help of `command` ("" for the whole command), or nullopt when there is
// no such command.
std::optional<std::string> HelpText(const std::string& command);

// "vellora 1.00 (080517)".
std::string VersionLine();

// Prints `text` to io.out whole and returns 0, or prints why it could not
// to io.err and returns 1.
int PrintResult(const Streams& io, std::string_view text);

}  // namespace vellora::cli

#endif  // VELLORA_CLI_USAGE_H_
