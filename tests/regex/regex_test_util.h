// Helpers shared by the pattern engine tests.

#ifndef VELLORA_TESTS_REGEX_REGEX_TEST_UTIL_H_
#define VELLORA_TESTS_REGEX_REGEX_TEST_UTIL_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "regex/pattern_dump.h"
#include "regex/pattern_engine.h"

namespace vellora::testing_regex {

inline std::string Hex(const std::vector<uint8_t>& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i) out += ' ';
    out += kHex[bytes[i] >> 4];
    out += kHex[bytes[i] & 15];
  }
  return out;
}

inline std::vector<uint8_t> ProgramOf(std::string_view pattern,
                                      uint32_t modifiers = kDefaultModifiers) {
  TPatternEngine engine;
  engine.SetModifiers(modifiers);
  engine.SetExpression(pattern);
  engine.Compile();
  return engine.Program();
}

// The listing of pattern's program (regex::Dump).
inline std::string DumpOf(std::string_view pattern, uint32_t modifiers = kDefaultModifiers) {
  return regex::Dump(ProgramOf(pattern, modifiers));
}

// The listing's line for the node at offset (without the indentation of a
// repeated node), or "" when no node starts there.
inline std::string NodeAt(std::string_view pattern, size_t offset,
                          uint32_t modifiers = kDefaultModifiers) {
  std::string dump = DumpOf(pattern, modifiers);
  std::string prefix = std::to_string(offset) + " ";
  size_t at = 0;
  while (at < dump.size()) {
    size_t end = dump.find('\n', at);
    std::string line = dump.substr(at, end - at);
    size_t text = line.find_first_not_of(' ');
    if (line.compare(text, prefix.size(), prefix) == 0) return line.substr(text);
    at = end + 1;
  }
  return "";
}

// The code of the error that compiling pattern raises, or 0.
inline int CompileError(std::string_view pattern, uint32_t modifiers = kDefaultModifiers) {
  TPatternEngine engine;
  engine.SetModifiers(modifiers);
  engine.SetExpression(pattern);
  try {
    engine.Compile();
  } catch (const EPatternError& e) {
    return e.ErrorCode();
  }
  return 0;
}

inline std::string CompileMessage(std::string_view pattern,
                                  uint32_t modifiers = kDefaultModifiers) {
  TPatternEngine engine;
  engine.SetModifiers(modifiers);
  engine.SetExpression(pattern);
  try {
    engine.Compile();
  } catch (const EPatternError& e) {
    return e.what();
  }
  return "";
}

// Characters of the 256-bit FirstChars set.
inline std::string FirstCharsOf(TPatternEngine& engine) {
  std::array<uint8_t, 32> bits = engine.FirstChars();
  std::string out;
  for (int c = 0; c < 256; ++c) {
    if ((bits[c >> 3] >> (c & 7)) & 1) out += static_cast<char>(c);
  }
  return out;
}

// The whole first match as (offset, length), or (-1, -1).
inline std::pair<int, int> Find(std::string_view pattern, std::string_view input,
                                uint32_t modifiers = kDefaultModifiers) {
  TPatternEngine engine;
  engine.SetModifiers(modifiers);
  engine.SetExpression(pattern);
  if (!engine.Exec(input)) return {-1, -1};
  return {engine.MatchOffset(0), engine.MatchLength(0)};
}

// The text of the first match, or "<none>".
inline std::string FirstMatch(std::string_view pattern, std::string_view input,
                              uint32_t modifiers = kDefaultModifiers) {
  TPatternEngine engine;
  engine.SetModifiers(modifiers);
  engine.SetExpression(pattern);
  if (!engine.Exec(input)) return "<none>";
  return engine.Match(0);
}

// Every match, as "offset:length" separated by spaces.
inline std::string AllMatches(std::string_view pattern, std::string_view input,
                              uint32_t modifiers = kDefaultModifiers) {
  TPatternEngine engine;
  engine.SetModifiers(modifiers);
  engine.SetExpression(pattern);
  std::string out;
  for (bool found = engine.Exec(input); found; found = engine.ExecNext()) {
    if (!out.empty()) out += ' ';
    out += std::to_string(engine.MatchOffset(0)) + ":" + std::to_string(engine.MatchLength(0));
  }
  return out;
}

inline std::string Rp(std::string_view pattern, std::string_view input, std::string_view templ) {
  return ReplacePattern(pattern, input, templ, true);
}

}  // namespace vellora::testing_regex

#endif  // VELLORA_TESTS_REGEX_REGEX_TEST_UTIL_H_
