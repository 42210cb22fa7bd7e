// TPatternEngine: the byte-oriented backtracking pattern engine.
//
// A pattern compiles into a byte program of linked nodes (see
// regex/pattern_program.h and docs/pattern-engine.md); a backtracking matcher
// with an explicit heap stack runs it, so no pattern and no input can
// overflow the machine stack. Characters are single bytes; the pattern and the
// input end at their first 0 byte.
//
// An engine object is used by one thread at a time. A compiled engine can be
// reused for any number of searches and ReplaceAll calls over different
// inputs; each call gives the same result as a fresh engine would
// (ReplacePattern).

#ifndef VELLORA_REGEX_PATTERN_ENGINE_H_
#define VELLORA_REGEX_PATTERN_ENGINE_H_

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"
#include "regex/pattern_modifiers.h"

namespace vellora {

// Every failure of the engine: a compile error (codes below 1000, with the
// 0-based pattern position in the message) or a run-time error (1000 and up).
class EPatternError : public VelloraError {
 public:
  EPatternError(const std::string& message, int code, int position)
      : VelloraError(message), code_(code), position_(position) {}
  int ErrorCode() const { return code_; }
  // The 0-based offset of the parse cursor in the pattern; 0 when no compile
  // was running.
  int Position() const { return position_; }

 private:
  int code_;
  int position_;
};

namespace regex {
struct EngineCore;
}

class TPatternEngine {
 public:
  TPatternEngine();
  ~TPatternEngine();
  TPatternEngine(TPatternEngine&&) noexcept;
  TPatternEngine& operator=(TPatternEngine&&) noexcept;
  TPatternEngine(const TPatternEngine&) = delete;
  TPatternEngine& operator=(const TPatternEngine&) = delete;

  // --- Compile side ---------------------------------------------------------

  // The pattern text (up to its first 0 byte); empty when none is assigned.
  const std::string& Expression() const;
  // Assigning a different text (or any text while not compiled) discards the
  // program; the next search compiles it again.
  void SetExpression(std::string_view pattern);

  // The modifier bits (kModifier*); the defaults are kDefaultModifiers.
  uint32_t Modifiers() const;
  void SetModifiers(uint32_t modifiers);
  // By index 1..6 (i r s g m x); any other index raises 1013 "Unknown error".
  bool GetModifier(int index) const;
  void SetModifier(int index, bool on);
  // By letter ("i", "r", "s", "g", "m", "x", either case); any other letter
  // raises 1013.
  bool GetModifierLetter(char letter) const;
  void SetModifierLetter(char letter, bool on);
  // Modifier text as in "(?is-mx)": returns false (changing nothing) when the
  // text holds a character that is not a modifier letter or "-".
  bool SetModifierText(std::string_view text);
  // The modifiers as text, e.g. "rsg-imx".
  std::string ModifierText() const;

  // Characters of \s \S (default space, TAB, LF, CR, FF), of \w \W \b \B (the
  // 63 ASCII letters, digits and "_"), and those that end a line (CR LF).
  // Assigning a different text discards the program.
  const std::string& SpaceCharacters() const;
  void SetSpaceCharacters(std::string_view chars);
  const std::string& WordCharacters() const;
  void SetWordCharacters(std::string_view chars);
  const std::string& LineBreakCharacters() const;
  void SetLineBreakCharacters(std::string_view chars);

  // A two-character line break that counts as one (default CR LF). Assigning
  // two different characters sets it, "" clears it, anything else raises 128.
  std::string LinePairedSeparator() const;
  void SetLinePairedSeparator(std::string_view pair);

  // The other-case form of a character (default: CharUpper, or CharLower when
  // that leaves it unchanged). Assigning discards the program.
  unsigned char CaseInvert(unsigned char c) const;
  void SetCaseInverter(const std::function<unsigned char(unsigned char)>& inverter);

  // Compiles now if needed (otherwise the first search does it). Raises 1003
  // without an expression, or the compile error.
  void Compile();
  // The compiled program and the search facts; empty / zero before Compile.
  const std::vector<uint8_t>& Program() const;
  std::array<uint8_t, 32> FirstChars() const;  // bit k%8 of byte k/8: char k
  unsigned char StartChar() const;             // 0: none
  int Anchored() const;
  std::string RequiredLiteral() const;  // empty: none
  // The number of groups the pattern opens (0..14).
  int GroupCount() const;

  int LastErrorCode() const;
  static std::string ErrorText(int code);

  // The backtracking budget (like PCRE2's match limit): a search may go
  // back to a choice point base + per_byte * (bytes searched + 1) times
  // before it raises 1016; one budget covers one Exec, ExecAt or ExecNext,
  // or a whole ReplaceAll. Defaults 10000000 and 16, far above what the
  // word extraction's patterns can use on any input.
  void SetBacktrackLimit(uint64_t base, uint64_t per_byte);

  // --- Match side -----------------------------------------------------------

  // Stores the input (up to its first 0 byte) and searches from offset 1.
  bool Exec(std::string_view input);
  // Searches the stored input from a 1-based offset (1..length+1).
  bool ExecAt(int offset);
  // Searches again after the current match (one further after an empty one).
  bool ExecNext();
  // 1-based offset and length of slot n (0: the whole match, 1..14: groups),
  // or -1 when the slot did not take part or n is out of range.
  int MatchOffset(int n) const;
  int MatchLength(int n) const;
  // The text of slot n, or "" when it did not take part.
  std::string Match(int n) const;

  // The template with "$n", "${n}", "$&" and "\c" expanded for the current
  // match.
  std::string ExpandTemplate(std::string_view templ);

  // Replaces every match in input by the expanded template (or the template
  // as it stands when use_template is false). Reusable for any input.
  std::string ReplaceAll(std::string_view input, std::string_view templ, bool use_template);
  // The same, appending the result to *out.
  void ReplaceAllTo(std::string_view input, std::string_view templ, bool use_template,
                    std::string* out);

 private:
  std::unique_ptr<regex::EngineCore> core_;
};

// Compiles pattern with the default settings and replaces every match in
// input (TPatternEngine::ReplaceAll). Pattern errors raise EPatternError.
std::string ReplacePattern(std::string_view pattern, std::string_view input,
                           std::string_view replacement, bool use_template);

}  // namespace vellora

#endif  // VELLORA_REGEX_PATTERN_ENGINE_H_
