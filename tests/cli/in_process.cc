#include "cli/in_process.h"

#include <cstdlib>

#include "cli/commands.h"

namespace vellora {

CapturedStreams::CapturedStreams(const std::string& input) : input_(input) {
  // fmemopen refuses an empty buffer on older C libraries; /dev/null reads
  // as empty everywhere.
  streams_.in =
      input_.empty() ? std::fopen("/dev/null", "r") : fmemopen(input_.data(), input_.size(), "r");
  streams_.out = open_memstream(&out_buffer_, &out_size_);
  streams_.err = open_memstream(&err_buffer_, &err_size_);
}

CapturedStreams::~CapturedStreams() {
  for (std::FILE* stream : {streams_.in, streams_.out, streams_.err}) {
    if (stream != nullptr) std::fclose(stream);
  }
  std::free(out_buffer_);
  std::free(err_buffer_);
}

std::string CapturedStreams::Out() {
  std::fflush(streams_.out);
  return std::string(out_buffer_, out_size_);
}

std::string CapturedStreams::Err() {
  std::fflush(streams_.err);
  return std::string(err_buffer_, err_size_);
}

CommandResult RunInProcess(const std::vector<std::string>& args, const std::string& input) {
  CapturedStreams captured(input);
  CommandResult result;
  result.exit_code = cli::RunCommandLine(args, captured.streams());
  result.out = captured.Out();
  result.err = captured.Err();
  return result;
}

}  // namespace vellora
