// The "vellora regex" subcommand: tools for the pattern engine.
//
//   vellora regex replace PATTERN TEMPLATE   ReplacePattern(PATTERN, stdin, TEMPLATE, true)
//   vellora regex compile PATTERN            the program and search facts, in hex

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "cli/commands.h"
#include "regex/pattern_engine.h"

namespace vellora::cli {
namespace {

std::string ReadAllStdin() {
  std::string data;
  char buffer[1 << 16];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) data.append(buffer, n);
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

int Replace(const std::string& pattern, const std::string& templ) {
  std::string input = ReadAllStdin();
  std::string result;
  try {
    result = ReplacePattern(pattern, input, templ, true);
  } catch (const EPatternError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  std::fwrite(result.data(), 1, result.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

int Compile(const std::string& pattern) {
  TPatternEngine engine;
  try {
    engine.SetExpression(pattern);
    engine.Compile();
  } catch (const EPatternError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  const std::vector<uint8_t>& program = engine.Program();
  std::string required = engine.RequiredLiteral();
  std::array<uint8_t, 32> first = engine.FirstChars();
  std::string first_hex;
  for (uint8_t b : first) first_hex += HexByte(b);
  std::printf("%s\n", HexPairs(program.data(), program.size()).c_str());
  std::printf("StartChar=%s\n",
              engine.StartChar() ? HexByte(engine.StartChar()).c_str() : "none");
  std::printf("Anchored=%d\n", engine.Anchored());
  std::printf("RequiredLiteral=%s\n",
              required.empty()
                  ? "none"
                  : HexPairs(reinterpret_cast<const unsigned char*>(required.data()),
                             required.size())
                        .c_str());
  std::printf("FirstChars=%s\n", first_hex.c_str());
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int RegexCommand(const Args& args) {
  if (args.empty()) return UsageError("regex needs \"replace\" or \"compile\"");
  const std::string& tool = args[0];
  if (tool == "replace") {
    if (args.size() != 3) return UsageError("regex replace needs PATTERN and TEMPLATE");
    return Replace(args[1], args[2]);
  }
  if (tool == "compile") {
    if (args.size() != 2) return UsageError("regex compile needs PATTERN");
    return Compile(args[1]);
  }
  return UsageError("unknown regex tool \"" + tool + "\"");
}

}  // namespace vellora::cli
