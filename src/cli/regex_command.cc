// The "vellora regex" subcommand: tools for the pattern engine.
//
//   vellora regex replace PATTERN TEMPLATE   ReplacePattern(PATTERN, stdin, TEMPLATE, true)
//   vellora regex compile PATTERN            the program and search facts, in hex
//
// A pattern error (a compile error, or a search that exceeds the engine's
// backtracking budget) prints the engine's message to stderr. Running out of
// memory (the matcher's stack grows with the input for some patterns) prints
// "Out of memory.", and a failed read of stdin or write of stdout prints what
// failed and why; each is exit status 1, and nothing is reported as written
// unless all of it reached stdout.

#include <cerrno>
#include <cstdio>
#include <new>
#include <string>

#include "base/errors.h"
#include "cli/commands.h"
#include "cli/standard_output.h"
#include "regex/pattern_engine.h"

namespace vellora::cli {
namespace {

std::string ReadAllInput(std::FILE* in) {
  errno = 0;
  std::string data;
  char buffer[1 << 16];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) data.append(buffer, n);
  if (std::ferror(in)) {
    throw VelloraError("Cannot read standard input. " + SystemReason(errno != 0 ? errno : EIO));
  }
  return data;
}

std::string HexPairs(const unsigned char* bytes, size_t count) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) out += ' ';
    out += kHex[bytes[i] >> 4];
    out += kHex[bytes[i] & 15];
  }
  return out;
}

std::string HexByte(unsigned char b) { return HexPairs(&b, 1); }

void Replace(const Streams& io, const std::string& pattern, const std::string& templ) {
  std::string input = ReadAllInput(io.in);
  std::string result = ReplacePattern(pattern, input, templ, true);
  input = std::string();  // the memory may be needed for the output
  WriteStandardOutput(io.out, result);
  FlushStandardOutput(io.out);
}

void Compile(const Streams& io, const std::string& pattern) {
  TPatternEngine engine;
  engine.SetExpression(pattern);
  engine.Compile();
  const std::vector<uint8_t>& program = engine.Program();
  std::string required = engine.RequiredLiteral();
  std::string first_hex;
  for (uint8_t b : engine.FirstChars()) first_hex += HexByte(b);
  std::string out = HexPairs(program.data(), program.size()) + "\n";
  out += "StartChar=" + (engine.StartChar() ? HexByte(engine.StartChar()) : "none") + "\n";
  out += "Anchored=" + std::to_string(engine.Anchored()) + "\n";
  out += "RequiredLiteral=" +
         (required.empty() ? "none"
                           : HexPairs(reinterpret_cast<const unsigned char*>(required.data()),
                                      required.size())) +
         "\n";
  out += "FirstChars=" + first_hex + "\n";
  WriteStandardOutput(io.out, out);
  FlushStandardOutput(io.out);
}

// Runs a tool, turning its failures into a message on io.err and status 1.
template <typename Tool>
int RunTool(const Streams& io, Tool tool) {
  try {
    tool();
    return 0;
  } catch (const EPatternError& e) {
    std::fprintf(io.err, "%s\n", e.what());
  } catch (const std::bad_alloc&) {
    std::fprintf(io.err, "%s\n", TopLevelMessage(kOutOfMemoryMessage).c_str());
  } catch (const VelloraError& e) {
    std::fprintf(io.err, "%s\n", TopLevelMessage(e.what()).c_str());
  }
  return 1;
}

}  // namespace

int RegexCommand(const Args& args, const Streams& io) {
  if (args.empty()) return UsageError(io, "regex", "regex needs \"replace\" or \"compile\"");
  const std::string& tool = args[0];
  if (tool == "replace") {
    if (args.size() != 3)
      return UsageError(io, "regex", "regex replace needs PATTERN and TEMPLATE");
    return RunTool(io, [&] { Replace(io, args[1], args[2]); });
  }
  if (tool == "compile") {
    if (args.size() != 2) return UsageError(io, "regex", "regex compile needs PATTERN");
    return RunTool(io, [&] { Compile(io, args[1]); });
  }
  return UsageError(io, "regex", "unknown regex tool \"" + tool + "\"");
}

}  // namespace vellora::cli
