// Runs the vellora command in a child process and captures what it prints.

#ifndef VELLORA_TESTS_CLI_COMMAND_RUNNER_H_
#define VELLORA_TESTS_CLI_COMMAND_RUNNER_H_

#include <string>
#include <vector>

namespace vellora {

struct CommandResult {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// Runs `program` with `args`, feeding `input` on stdin, with `cwd` as the
// working folder when not empty.
CommandResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = "", const std::string& cwd = "");

// RunProgram of the built vellora command.
CommandResult RunVellora(const std::vector<std::string>& args, const std::string& input = "");

}  // namespace vellora

#endif  // VELLORA_TESTS_CLI_COMMAND_RUNNER_H_
