// The state behind TPatternEngine, shared by the engine's source files.

#ifndef VELLORA_REGEX_PATTERN_CORE_H_
#define VELLORA_REGEX_PATTERN_CORE_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "regex/pattern_compiler.h"
#include "regex/pattern_matcher.h"

namespace vellora::regex {

struct EngineCore {
  EngineCore();

  // Compile side.
  std::string expression;
  bool compiled = false;
  uint32_t modifiers = 0;
  std::string space_chars;
  std::string word_chars;
  std::string line_break_chars;
  bool pair_assigned = false;
  uint8_t pair_head = 0;
  uint8_t pair_tail = 0;
  std::array<uint8_t, 256> inverse{};
  std::array<uint8_t, 256> word_table{};
  std::array<uint8_t, 256> line_break_table{};
  int last_error = 0;

  BacktrackLimit backtrack_limit;

  bool has_program = false;
  uint32_t modifiers_at_compile = 0;
  CompiledPattern program;
  Plan plan;
  Matcher matcher;

  // Match side.
  bool has_input = false;
  std::string input;  // the stored copy, up to the first 0 byte of the text given

  [[noreturn]] void Raise(int code);

  void DropProgram();
  void EnsureProgram();
  void StoreInput(std::string_view text);
  bool ExecAt(int64_t offset);
  void ReplaceAllTo(std::string_view text, std::string_view templ, bool use_template,
                    std::string* out);
  std::string ExpandTemplate(std::string_view templ);
};

// A template split into literal text and group references.
struct ParsedTemplate {
  struct Piece {
    int group;      // -1: literal text
    size_t offset;  // literal: offset into text
    size_t length;
  };
  std::string text;
  std::vector<Piece> pieces;
  bool has_refs = false;
};

ParsedTemplate ParseTemplate(std::string_view templ);
void AppendExpansion(const ParsedTemplate& parsed, const Matcher& matcher, std::string* out);

}  // namespace vellora::regex

#endif  // VELLORA_REGEX_PATTERN_CORE_H_
