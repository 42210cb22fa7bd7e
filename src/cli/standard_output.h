// Checked writes to the command's standard output (the stream a subcommand
// was given as its output: stdout in the program).
//
// A result the command prints is part of its outcome: when stdout cannot
// take it (a full disk, a closed descriptor, /dev/full) the command must fail
// rather than exit 0 with the output lost. Both functions raise VelloraError
// "Cannot write to standard output. <reason>" on failure; call
// FlushStandardOutput before reporting success, since stdio may hold the
// bytes until then.

#ifndef VELLORA_CLI_STANDARD_OUTPUT_H_
#define VELLORA_CLI_STANDARD_OUTPUT_H_

#include <cstdio>
#include <string_view>

namespace vellora::cli {

void WriteStandardOutput(std::FILE* out, std::string_view bytes);
void FlushStandardOutput(std::FILE* out);

}  // namespace vellora::cli

#endif  // VELLORA_CLI_STANDARD_OUTPUT_H_
