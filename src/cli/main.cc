// Entry point of the vellora command: dispatches to the subcommands.

#include <cstdio>
#include <string>

#include "cli/commands.h"

namespace vellora::cli {

int UsageError(const std::string& message) {
  if (!message.empty()) std::fprintf(stderr, "vellora: %s\n", message.c_str());
  std::fputs(
      "usage:\n"
      "  vellora run [--presets DIR] --preset NAME [--create] [--seed N]\n"
      "              [--set FIELD=VALUE]... [--dump FIELD]... [--no-save] [--verbose] [STEP...]\n"
      "  vellora presets [--presets DIR]\n"
      "  vellora fetch [--verbose] URL [-o FILE]\n"
      "  vellora regex replace PATTERN TEMPLATE\n"
      "  vellora regex compile PATTERN\n"
      "steps: grab delete-grabbed delete-all extract phrases generate save\n",
      stderr);
  return 2;
}

}  // namespace vellora::cli

int main(int argc, char** argv) {
  using namespace vellora::cli;
  if (argc < 2) return UsageError("");
  std::string command = argv[1];
  Args args(argv + 2, argv + argc);
  if (command == "run") return RunCommand(args);
  if (command == "presets") return PresetsCommand(args);
  if (command == "fetch") return FetchCommand(args);
  if (command == "regex") return RegexCommand(args);
  if (command == "--help" || command == "-h") {
    UsageError("");
    return 0;
  }
  return UsageError("unknown command \"" + command + "\"");
}
