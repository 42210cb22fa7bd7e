// TPatternEngine, the engine's public face: its settings, the lazy compile
// (EngineCore::EnsureProgram), the searches (Exec, ExecAt, ExecNext) and the
// match positions; ReplacePattern at the end is the entry point the rest of
// the program uses. The work itself is done by the compiler
// (pattern_compiler.cc), the plan and the matcher (pattern_plan.cc,
// pattern_matcher.cc) and replace-all (pattern_replace.cc).
//
// Every public call that can fail runs under Guard, so LastErrorCode() names
// the code of the last error whichever part raised it.

#include "regex/pattern_engine.h"

#include <cstring>

#include "base/code_page.h"
#include "regex/pattern_core.h"
#include "regex/pattern_errors.h"

namespace vellora {
namespace regex {
namespace {

constexpr char kDefaultSpaceChars[] = " \t\n\r\f";
constexpr char kDefaultWordChars[] =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_";
constexpr char kDefaultLineBreakChars[] = "\r\n";

// A text as the engine keeps it: up to its first 0 byte.
std::string_view UpToNul(std::string_view text) {
  size_t nul = text.find('\0');
  return nul == std::string_view::npos ? text : text.substr(0, nul);
}

void FillTable(std::array<uint8_t, 256>* table, std::string_view chars) {
  table->fill(0);
  for (char c : chars) (*table)[static_cast<uint8_t>(c)] = 1;
  (*table)[0] = 0;
}

}  // namespace

// The defaults of a new engine: modifiers r, s and g; the ASCII space and
// word characters; CR LF as line breaks and as the paired separator; the
// code page's case mapping as the case inverter.
EngineCore::EngineCore() {
  modifiers = kDefaultModifiers;
  space_chars = kDefaultSpaceChars;
  word_chars = kDefaultWordChars;
  line_break_chars = kDefaultLineBreakChars;
  for (int c = 0; c < 256; ++c) {
    unsigned char u = CharUpper(static_cast<unsigned char>(c));
    inverse[c] = u != c ? u : CharLower(static_cast<unsigned char>(c));
  }
  FillTable(&word_table, word_chars);
  FillTable(&line_break_table, line_break_chars);
  pair_assigned = true;
  pair_head = '\r';
  pair_tail = '\n';
}

void EngineCore::Raise(int code) {
  last_error = code;
  RaisePatternError(code, 0);
}

void EngineCore::DropProgram() {
  has_program = false;
  program = CompiledPattern();
}

// Compiles when there is no program, or when Modifiers changed since the
// last compile (a program bakes the modifiers in). The plan and the matcher
// hold pointers into the program and the tables (pattern_plan.h), so they
// are rebuilt and re-bound after every compile, and a stored input is bound
// again.
void EngineCore::EnsureProgram() {
  if (has_program && modifiers != modifiers_at_compile) DropProgram();
  if (has_program) return;
  if (expression.empty()) Raise(kErrNoExpression);
  CompileSettings settings;
  settings.modifiers = modifiers;
  settings.space_chars = space_chars;
  settings.word_chars = word_chars;
  settings.line_break_chars = line_break_chars;
  settings.pair_assigned = pair_assigned;
  settings.pair_head = pair_head;
  settings.case_inverse = inverse.data();
  // Cleared first so that a compile error leaves the engine without a
  // program, as a fresh one would be.
  compiled = false;
  program = CompilePattern(expression, settings);
  modifiers_at_compile = modifiers;
  plan.Build(program, inverse.data());
  MatchContext context;
  context.word = word_table.data();
  context.line_break = line_break_table.data();
  context.inverse = inverse.data();
  context.pair_assigned = pair_assigned;
  context.pair_head = pair_head;
  context.pair_tail = pair_tail;
  matcher.Bind(&plan, context);
  if (has_input) {
    const uint8_t* b = reinterpret_cast<const uint8_t*>(input.data());
    matcher.SetInput(b, b + input.size());
  }
  has_program = true;
  compiled = true;
}

void EngineCore::StoreInput(std::string_view text) {
  input.assign(UpToNul(text));
  has_input = true;
  const uint8_t* b = reinterpret_cast<const uint8_t*>(input.data());
  matcher.SetInput(b, b + input.size());
}

// The slots are cleared before anything can fail, so a failed search never
// leaves the previous match visible. Offset len + 1 is allowed: an empty
// match at the very end of the input can be found there.
bool EngineCore::ExecAt(int64_t offset) {
  matcher.ClearSlots();
  EnsureProgram();
  if (!has_input) Raise(kErrNoInput);
  int64_t len = static_cast<int64_t>(input.size());
  if (offset < 1) Raise(kErrOffsetBelowOne);
  if (offset > len + 1) return false;
  matcher.StartBudget(backtrack_limit, static_cast<size_t>(len - (offset - 1)));
  return matcher.Search(matcher.begin() + (offset - 1));
}

}  // namespace regex

using regex::EngineCore;

namespace {

// Runs f, noting the code of a pattern error that passes.
template <typename F>
auto Guard(EngineCore* core, F f) -> decltype(f()) {
  try {
    return f();
  } catch (const EPatternError& e) {
    core->last_error = e.ErrorCode();
    throw;
  }
}

uint32_t ModifierBitOfIndex(EngineCore* core, int index) {
  if (index < 1 || index > 6) core->Raise(regex::kErrUnknown);
  return 1u << (index - 1);
}

uint32_t ModifierBitOfLetter(EngineCore* core, char letter) {
  const char* found = letter ? std::strchr(kModifierLetters, letter | 0x20) : nullptr;
  if (found == nullptr) core->Raise(regex::kErrUnknown);
  return 1u << (found - kModifierLetters);
}

}  // namespace

TPatternEngine::TPatternEngine() : core_(std::make_unique<EngineCore>()) {}
TPatternEngine::~TPatternEngine() = default;
TPatternEngine::TPatternEngine(TPatternEngine&&) noexcept = default;
TPatternEngine& TPatternEngine::operator=(TPatternEngine&&) noexcept = default;

const std::string& TPatternEngine::Expression() const { return core_->expression; }

void TPatternEngine::SetExpression(std::string_view pattern) {
  pattern = regex::UpToNul(pattern);
  if (pattern != core_->expression || !core_->compiled) {
    core_->compiled = false;
    core_->expression.assign(pattern);
    core_->DropProgram();
  }
}

uint32_t TPatternEngine::Modifiers() const { return core_->modifiers; }
void TPatternEngine::SetModifiers(uint32_t modifiers) { core_->modifiers = modifiers; }

bool TPatternEngine::GetModifier(int index) const {
  return Guard(core_.get(),
               [&] { return (core_->modifiers & ModifierBitOfIndex(core_.get(), index)) != 0; });
}

void TPatternEngine::SetModifier(int index, bool on) {
  Guard(core_.get(), [&] {
    uint32_t bit = ModifierBitOfIndex(core_.get(), index);
    core_->modifiers = on ? (core_->modifiers | bit) : (core_->modifiers & ~bit);
  });
}

bool TPatternEngine::GetModifierLetter(char letter) const {
  return Guard(core_.get(),
               [&] { return (core_->modifiers & ModifierBitOfLetter(core_.get(), letter)) != 0; });
}

void TPatternEngine::SetModifierLetter(char letter, bool on) {
  Guard(core_.get(), [&] {
    uint32_t bit = ModifierBitOfLetter(core_.get(), letter);
    core_->modifiers = on ? (core_->modifiers | bit) : (core_->modifiers & ~bit);
  });
}

// Unlike the index and letter forms this reports a bad text by its result,
// as a "(?...)" group in a pattern does.
bool TPatternEngine::SetModifierText(std::string_view text) {
  return regex::ParseModifierLetters(text, &core_->modifiers);
}

std::string TPatternEngine::ModifierText() const {
  std::string on;
  std::string off;
  for (int i = 0; i < 6; ++i) {
    ((core_->modifiers >> i) & 1 ? on : off) += kModifierLetters[i];
  }
  return off.empty() ? on : on + "-" + off;
}

const std::string& TPatternEngine::SpaceCharacters() const { return core_->space_chars; }

void TPatternEngine::SetSpaceCharacters(std::string_view chars) {
  chars = regex::UpToNul(chars);
  if (chars == core_->space_chars) return;
  core_->space_chars.assign(chars);
  core_->DropProgram();
}

const std::string& TPatternEngine::WordCharacters() const { return core_->word_chars; }

void TPatternEngine::SetWordCharacters(std::string_view chars) {
  chars = regex::UpToNul(chars);
  if (chars == core_->word_chars) return;
  core_->word_chars.assign(chars);
  regex::FillTable(&core_->word_table, core_->word_chars);
  core_->DropProgram();
}

const std::string& TPatternEngine::LineBreakCharacters() const { return core_->line_break_chars; }

void TPatternEngine::SetLineBreakCharacters(std::string_view chars) {
  chars = regex::UpToNul(chars);
  if (chars == core_->line_break_chars) return;
  core_->line_break_chars.assign(chars);
  regex::FillTable(&core_->line_break_table, core_->line_break_chars);
  core_->DropProgram();
}

std::string TPatternEngine::LinePairedSeparator() const {
  if (!core_->pair_assigned) return "";
  return std::string{static_cast<char>(core_->pair_head), static_cast<char>(core_->pair_tail)};
}

void TPatternEngine::SetLinePairedSeparator(std::string_view pair) {
  Guard(core_.get(), [&] {
    pair = regex::UpToNul(pair);
    if (pair.size() == 2 && pair[0] != pair[1]) {
      uint8_t head = static_cast<uint8_t>(pair[0]);
      uint8_t tail = static_cast<uint8_t>(pair[1]);
      if (core_->pair_assigned && core_->pair_head == head && core_->pair_tail == tail) return;
      core_->pair_assigned = true;
      core_->pair_head = head;
      core_->pair_tail = tail;
      core_->DropProgram();
    } else if (pair.empty()) {
      if (core_->pair_assigned) {
        core_->pair_assigned = false;
        core_->DropProgram();
      }
    } else {
      core_->Raise(regex::kErrBadPairedSeparator);
    }
  });
}

unsigned char TPatternEngine::CaseInvert(unsigned char c) const { return core_->inverse[c]; }

// The inverter is sampled once into a table: the compiler and the matcher
// only ever look characters up, and the callback need not outlive the call.
void TPatternEngine::SetCaseInverter(const std::function<unsigned char(unsigned char)>& inverter) {
  for (int c = 0; c < 256; ++c) core_->inverse[c] = inverter(static_cast<unsigned char>(c));
  core_->DropProgram();
}

void TPatternEngine::Compile() {
  Guard(core_.get(), [&] { core_->EnsureProgram(); });
}

const std::vector<uint8_t>& TPatternEngine::Program() const { return core_->program.program; }

std::array<uint8_t, 32> TPatternEngine::FirstChars() const {
  std::array<uint8_t, 32> bits{};
  std::memcpy(bits.data(), core_->program.first_chars.bits, bits.size());
  return bits;
}

unsigned char TPatternEngine::StartChar() const { return core_->program.start_char; }
int TPatternEngine::Anchored() const { return core_->program.anchored; }

std::string TPatternEngine::RequiredLiteral() const {
  const regex::CompiledPattern& p = core_->program;
  if (p.required_length == 0) return "";
  return std::string(reinterpret_cast<const char*>(p.program.data() + p.required_offset),
                     p.required_length);
}

void TPatternEngine::SetBacktrackLimit(uint64_t base, uint64_t per_byte) {
  core_->backtrack_limit.base = base;
  core_->backtrack_limit.per_byte = per_byte;
}

int TPatternEngine::GroupCount() const { return core_->program.group_count; }
int TPatternEngine::LastErrorCode() const { return core_->last_error; }
std::string TPatternEngine::ErrorText(int code) { return regex::PatternErrorText(code); }

bool TPatternEngine::Exec(std::string_view input) {
  return Guard(core_.get(), [&] {
    core_->StoreInput(input);
    return core_->ExecAt(1);
  });
}

bool TPatternEngine::ExecAt(int offset) {
  return Guard(core_.get(), [&] { return core_->ExecAt(offset); });
}

// After an empty match the next search starts one character further on, so
// a loop of ExecNext calls always ends.
bool TPatternEngine::ExecNext() {
  return Guard(core_.get(), [&] {
    const regex::Matcher& m = core_->matcher;
    const uint8_t* s = m.group_start(0);
    const uint8_t* e = m.group_end(0);
    if (s == nullptr || e == nullptr) core_->Raise(regex::kErrExecNextWithoutExec);
    int64_t offset = (e - m.begin()) + 1 + (e == s ? 1 : 0);
    return core_->ExecAt(offset);
  });
}

int TPatternEngine::MatchOffset(int n) const {
  if (n < 0 || n >= regex::kGroupSlots || !core_->has_input) return -1;
  const regex::Matcher& m = core_->matcher;
  if (m.group_start(n) == nullptr || m.group_end(n) == nullptr) return -1;
  return static_cast<int>(m.group_start(n) - m.begin()) + 1;
}

int TPatternEngine::MatchLength(int n) const {
  if (n < 0 || n >= regex::kGroupSlots || !core_->has_input) return -1;
  const regex::Matcher& m = core_->matcher;
  if (m.group_start(n) == nullptr || m.group_end(n) == nullptr) return -1;
  return static_cast<int>(m.group_end(n) - m.group_start(n));
}

std::string TPatternEngine::Match(int n) const {
  int offset = MatchOffset(n);
  int length = MatchLength(n);
  if (offset < 0 || length <= 0) return "";
  return core_->input.substr(static_cast<size_t>(offset - 1), static_cast<size_t>(length));
}

std::string TPatternEngine::ExpandTemplate(std::string_view templ) {
  return Guard(core_.get(), [&] { return core_->ExpandTemplate(templ); });
}

std::string TPatternEngine::ReplaceAll(std::string_view input, std::string_view templ,
                                       bool use_template) {
  std::string out;
  ReplaceAllTo(input, templ, use_template, &out);
  return out;
}

void TPatternEngine::ReplaceAllTo(std::string_view input, std::string_view templ, bool use_template,
                                  std::string* out) {
  Guard(core_.get(), [&] { core_->ReplaceAllTo(input, templ, use_template, out); });
}

// A fresh engine per call: nothing is cached between calls, so the result
// depends only on the arguments.
std::string ReplacePattern(std::string_view pattern, std::string_view input,
                           std::string_view replacement, bool use_template) {
  TPatternEngine engine;
  engine.SetExpression(pattern);
  return engine.ReplaceAll(input, replacement, use_template);
}

}  // namespace vellora
