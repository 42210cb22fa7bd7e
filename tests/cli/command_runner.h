// Runs the vellora command in a child process and captures what it prints.

#ifndef VELLORA_TESTS_CLI_COMMAND_RUNNER_H_
#define VELLORA_TESTS_CLI_COMMAND_RUNNER_H_

#include <sys/types.h>

#include <functional>
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

// Runs the built vellora command with stdout going to the file or device
// `out_path` and stderr to a file in `scratch`; `while_running` gets the
// child's pid while it runs. A run that lasts over ten seconds is killed
// (exit_code -1). `out` holds what `out_path` holds afterwards, when it is a
// regular file.
CommandResult RunVelloraWithStdout(std::vector<std::string> args, const std::string& out_path,
                                   const std::string& scratch,
                                   const std::function<void(pid_t)>& while_running = nullptr);

}  // namespace vellora

#endif  // VELLORA_TESTS_CLI_COMMAND_RUNNER_H_
