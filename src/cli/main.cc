// Entry point of the vellora command: the command line with the process's
// standard streams.

#include "cli/commands.h"

int main(int argc, char** argv) {
  vellora::cli::Args arguments(argv + 1, argv + argc);
  return vellora::cli::RunCommandLine(arguments, vellora::cli::Streams());
}
