// The pattern compiler. Entry point: CompilePattern(pattern, settings), which
// parses by recursive descent in two passes (measure, then emit into a buffer
// of exactly the measured size) and then has the search facts computed
// (FirstChars, StartChar, Anchored, RequiredLiteral: pattern_search_facts.cc).
//
// Both passes run the same parser; while measuring, every emit only adds its
// size and every link is skipped. The parse never depends on emitted bytes,
// so both passes take the same path and the sizes agree. Repetitions are
// built by inserting a header before an already emitted atom, which is why
// nodes are addressed by offset, never by pointer.
//
// The recursion follows the nesting of groups only (at most 15 levels), so no
// pattern can exhaust the machine stack here. The pattern is read through At(),
// which yields 0 at and past its end, and the cursor never moves past the end,
// so no pattern byte sequence reads or writes out of bounds.

#include "regex/pattern_compiler.h"

#include <cstring>
#include <string>

#include "regex/pattern_errors.h"
#include "regex/pattern_modifiers.h"
#include "regex/pattern_search_facts.h"

namespace vellora::regex {
namespace {

// Compile properties of a piece.
constexpr int kHasWidth = 1;   // never matches the empty string
constexpr int kSimple = 2;     // one node matching exactly one character
constexpr int kLoopStart = 4;  // begins with a repetition

const char kMetaChars[] = "^$.[()|?+*\\{";

bool IsMeta(uint8_t c) {
  for (const char* m = kMetaChars; *m; ++m) {
    if (static_cast<uint8_t>(*m) == c) return true;
  }
  return false;
}

bool IsQuantifierChar(uint8_t c) { return c == '*' || c == '+' || c == '?' || c == '{'; }

// Characters ignored by the extended syntax (modifier x).
bool IsIgnoredChar(uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool IsLineSeparator(uint8_t c) { return c == '\n' || c == '\r'; }

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// Windows-1251 Cyrillic letters added by the r ranges "а-я", "А-Я", "а-Я".
const uint8_t kCyrillicLowerExtra = 0xB8;  // ё
const uint8_t kCyrillicUpperExtra = 0xA8;  // Ё

class Compiler {
 public:
  Compiler(std::string_view pattern, const CompileSettings& settings)
      : pattern_(pattern), settings_(settings) {}

  CompiledPattern Run() {
    // Measuring pass.
    measuring_ = true;
    size_ = 0;
    StartPass();
    EmitByte(kMagic);
    int flags = 0;
    ParseReg(false, &flags);

    // Emitting pass into a buffer of exactly the measured size.
    result_.program.assign(size_, 0);
    code_ = result_.program.data();
    measuring_ = false;
    emit_ = 0;
    StartPass();
    EmitByte(kMagic);
    ParseReg(false, &flags);
    if (emit_ != size_) Error(kErrTooBig);  // the passes disagree: never happens
    result_.group_count = next_group_ - 1;

    ComputeSearchFacts(settings_, (flags & kLoopStart) != 0, static_cast<int>(cur_), &result_);
    return std::move(result_);
  }

 private:
  // --- Reading the pattern --------------------------------------------------

  uint8_t At(size_t i) const { return i < pattern_.size() ? static_cast<uint8_t>(pattern_[i]) : 0; }
  bool AtEnd() const { return cur_ >= pattern_.size(); }
  void Advance() {
    if (cur_ < pattern_.size()) ++cur_;
  }
  [[noreturn]] void Error(int code) const { RaisePatternError(code, static_cast<int>(cur_)); }

  void StartPass() {
    parse_mods_ = settings_.modifiers;
    cur_ = 0;
    next_group_ = 1;
  }

  bool Mod(uint32_t bit) const { return (parse_mods_ & bit) != 0; }

  // --- Emitting -------------------------------------------------------------

  void Reserve(size_t n) {
    if (emit_ + n > size_) Error(kErrTooBig);  // the passes disagree: never happens
  }

  void EmitByte(uint8_t b) {
    if (measuring_) {
      ++size_;
      return;
    }
    Reserve(1);
    code_[emit_++] = b;
  }

  void EmitInt32(int32_t v) {
    if (measuring_) {
      size_ += 4;
      return;
    }
    Reserve(4);
    WriteInt32(code_ + emit_, v);
    emit_ += 4;
  }

  // Emits a node header (kind, next 0); returns its offset (kNoNode while
  // measuring).
  size_t EmitNode(uint8_t kind) {
    if (measuring_) {
      size_ += kNodeHeader;
      return kNoNode;
    }
    Reserve(kNodeHeader);
    size_t node = emit_;
    code_[emit_] = kind;
    WriteInt32(code_ + emit_ + 1, 0);
    emit_ += kNodeHeader;
    return node;
  }

  // Inserts a node of n bytes before the node at offset at. Links inside the
  // moved bytes stay right, as they are relative; a link from before `at`
  // into the moved part would break, and none exists: the atom being wrapped
  // is always the last thing emitted and nothing links into it yet.
  void InsertNode(uint8_t kind, size_t at, size_t n) {
    if (measuring_) {
      size_ += n;
      return;
    }
    Reserve(n);
    std::memmove(code_ + at + n, code_ + at, emit_ - at);
    emit_ += n;
    code_[at] = kind;
    std::memset(code_ + at + 1, 0, n - 1);
  }

  int32_t NextOffset(size_t node) const { return ReadInt32(code_ + node + 1); }

  // Follows next offsets from p to the last node of its chain and links that
  // node to t.
  void Tail(size_t p, size_t t) {
    if (measuring_ || p == kNoNode) return;
    size_t scan = p;
    for (size_t steps = 0; steps <= emit_; ++steps) {
      int32_t off = NextOffset(scan);
      if (off == 0) {
        WriteInt32(code_ + scan + 1,
                   static_cast<int32_t>(static_cast<int64_t>(t) - static_cast<int64_t>(scan)));
        return;
      }
      int64_t next = static_cast<int64_t>(scan) + off;
      if (next < 1 || next >= static_cast<int64_t>(emit_)) break;
      scan = static_cast<size_t>(next);
    }
    Error(kErrCorruptedPointers);  // a cyclic or broken chain: never happens
  }

  // A tail link from the operand of p when p is a branch.
  void BranchTail(size_t p, size_t t) {
    if (measuring_ || p == kNoNode || code_[p] != opBranch) return;
    Tail(p + kNodeHeader, t);
  }

  // --- Parsing --------------------------------------------------------------

  // A group (paren) or the top level. The modifiers are saved and restored
  // here, so a "(?i)" inside a group acts up to the group's end only.
  size_t ParseReg(bool paren, int* flagp) {
    *flagp = kHasWidth;
    uint32_t saved_mods = parse_mods_;
    int parno = 0;
    size_t ret = kNoNode;
    if (paren) {
      if (next_group_ >= kGroupSlots) Error(kErrTooManyGroups);
      parno = next_group_++;
      ret = EmitNode(static_cast<uint8_t>(opOpen + parno));
    }
    std::vector<size_t> branches;
    int flags = 0;
    size_t br = ParseSequence(&flags);
    branches.push_back(br);
    if (paren) {
      Tail(ret, br);
    } else {
      ret = br;
    }
    if (!(flags & kHasWidth)) *flagp &= ~kHasWidth;
    *flagp |= flags & kLoopStart;
    while (At(cur_) == '|') {
      Advance();
      br = ParseSequence(&flags);
      // The chain of alternatives ends at the last branch: link it directly.
      Tail(branches.back(), br);
      branches.push_back(br);
      if (!(flags & kHasWidth)) *flagp &= ~kHasWidth;
      *flagp |= flags & kLoopStart;
    }
    size_t ender =
        EmitNode(paren ? static_cast<uint8_t>(opClose + parno) : static_cast<uint8_t>(opEnd));
    Tail(branches.back(), ender);
    for (size_t b : branches) BranchTail(b, ender);
    if (paren) {
      if (At(cur_) != ')') Error(kErrUnmatchedOpen);
      Advance();
    } else if (!AtEnd()) {
      if (At(cur_) == ')') Error(kErrUnmatchedClose);
      Error(kErrJunkOnEnd);
    }
    parse_mods_ = saved_mods;
    return ret;
  }

  // One alternative.
  size_t ParseSequence(int* flagp) {
    *flagp = 0;
    size_t ret = EmitNode(opBranch);
    bool first = true;
    size_t chain = kNoNode;
    while (!AtEnd() && At(cur_) != '|' && At(cur_) != ')') {
      int flags = 0;
      size_t latest = ParseQuantified(&flags);
      *flagp |= flags & kHasWidth;
      if (first) {
        *flagp |= flags & kLoopStart;
        first = false;
      } else {
        Tail(chain, latest);
      }
      chain = latest;
    }
    if (first) EmitNode(opEmpty);
    return ret;
  }

  // Counted loop around the complex atom at ret: opLoopEntry before it, the
  // atom as the body, then opLoop pointing back at the body. The matcher
  // counts the iterations in its loop levels; the program stores only the
  // limits.
  void EmitCountedLoop(size_t ret, int32_t min, int32_t max, bool lazy) {
    InsertNode(opLoopEntry, ret, kNodeHeader);
    size_t loop = EmitNode(lazy ? opLoopLazy : opLoop);
    EmitInt32(min);
    EmitInt32(max);
    if (measuring_) {
      EmitInt32(0);
      return;
    }
    EmitInt32(
        static_cast<int32_t>(static_cast<int64_t>(ret + kNodeHeader) - static_cast<int64_t>(loop)));
    Tail(ret, loop);                // loop entry -> loop
    Tail(ret + kNodeHeader, loop);  // body -> loop
  }

  // Reads a run of at most 8 decimal digits [from, to).
  int32_t ParseNumber(size_t from, size_t to) {
    if (to - from > 8) Error(kErrBracesTooBig);
    int32_t n = 0;
    for (size_t i = from; i < to; ++i) n = n * 10 + (At(i) - '0');
    return n;
  }

  // An atom and its quantifier. A simple atom (one node, one character) gets
  // a repetition header inserted before it, which the matcher runs as a
  // count without backtracking per repetition. A complex atom under a greedy
  // "*", "+" or "?" becomes branches and an opBack; a lazy one, or braces,
  // a counted loop.
  size_t ParseQuantified(int* flagp) {
    int flags = 0;
    size_t ret = ParseAtom(&flags);
    uint8_t op = At(cur_);
    if (!IsQuantifierChar(op)) {
      *flagp = flags;
      return ret;
    }
    if (!(flags & kHasWidth) && op != '?') Error(kErrOperandCouldBeEmpty);
    bool simple = (flags & kSimple) != 0;

    int32_t bmin = 0;
    int32_t bmax = 0;
    if (op == '{') {
      // Braces that are not a well-formed quantifier are plain text: the
      // cursor goes back and the "{" starts the next literal run.
      size_t brace = cur_;
      size_t p = cur_ + 1;
      size_t digits = p;
      while (IsDigit(At(p))) ++p;
      if ((At(p) != '}' && At(p) != ',') || p == digits) {
        *flagp = flags;  // not a quantifier: "{" begins a literal
        return ret;
      }
      cur_ = p;
      bmin = ParseNumber(digits, p);
      if (At(p) == ',') {
        ++p;
        size_t digits2 = p;
        while (IsDigit(At(p))) ++p;
        if (At(p) != '}') {
          cur_ = brace;
          *flagp = flags;
          return ret;
        }
        cur_ = p;
        bmax = (p == digits2) ? kBraceOpenMax : ParseNumber(digits2, p);
      } else {
        bmax = bmin;
      }
      if (bmin > bmax) Error(kErrBracesMinAboveMax);
    }

    bool has_lazy_mark = At(cur_ + 1) == '?';
    bool lazy = has_lazy_mark || !Mod(kModifierG);

    switch (op) {
      case '*':
        *flagp = kLoopStart;
        if (simple) {
          InsertNode(lazy ? opStarLazy : opStar, ret, kNodeHeader);
        } else if (lazy) {
          EmitCountedLoop(ret, 0, kBraceOpenMax, true);
        } else {
          // x* as (x&|): the atom then a jump back to the branch, or nothing.
          InsertNode(opBranch, ret, kNodeHeader);
          BranchTail(ret, EmitNode(opBack));
          BranchTail(ret, ret);
          Tail(ret, EmitNode(opBranch));
          Tail(ret, EmitNode(opEmpty));
        }
        break;
      case '+':
        *flagp = kHasWidth | kLoopStart;
        if (simple) {
          InsertNode(lazy ? opPlusLazy : opPlus, ret, kNodeHeader);
        } else if (lazy) {
          EmitCountedLoop(ret, 1, kBraceOpenMax, true);
        } else {
          // x+ as x(&|): the atom, then a jump back to it, or nothing.
          size_t next = EmitNode(opBranch);
          Tail(ret, next);
          Tail(EmitNode(opBack), ret);
          Tail(next, EmitNode(opBranch));
          Tail(ret, EmitNode(opEmpty));
        }
        break;
      case '?':
        *flagp = 0;
        if (lazy) {
          if (simple) {
            InsertNode(opBracesLazy, ret, kBracesHeader);
            if (!measuring_) {
              WriteInt32(code_ + ret + 5, 0);
              WriteInt32(code_ + ret + 9, 1);
            }
          } else {
            EmitCountedLoop(ret, 0, 1, true);
          }
        } else {
          // x? as (x|): the atom or nothing.
          InsertNode(opBranch, ret, kNodeHeader);
          Tail(ret, EmitNode(opBranch));
          size_t next = EmitNode(opEmpty);
          Tail(ret, next);
          BranchTail(ret, next);
        }
        break;
      case '{':
        *flagp = bmax > 0 ? (kHasWidth | kLoopStart) : 0;
        if (simple) {
          InsertNode(lazy ? opBracesLazy : opBraces, ret, kBracesHeader);
          if (!measuring_) {
            WriteInt32(code_ + ret + 5, bmin);
            WriteInt32(code_ + ret + 9, bmax);
          }
        } else {
          EmitCountedLoop(ret, bmin, bmax, lazy);
        }
        break;
    }

    Advance();
    if (has_lazy_mark) Advance();
    if (IsQuantifierChar(At(cur_))) Error(kErrNestedQuantifier);
    return ret;
  }

  int HexDigit(uint8_t c) const {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    Error(kErrBadHexDigit);
  }

  // The character of an escape; the cursor is at the character after "\" and
  // is left at the last character of the escape.
  uint8_t ParseEscapeChar() {
    switch (At(cur_)) {
      case 't':
        return 9;
      case 'n':
        return 10;
      case 'r':
        return 13;
      case 'f':
        return 12;
      case 'a':
        return 7;
      case 'e':
        return 27;
      case 'x': {
        unsigned result = 0;
        Advance();
        if (AtEnd()) Error(kErrNoHexCode);
        if (At(cur_) == '{') {
          for (;;) {
            Advance();
            if (AtEnd()) Error(kErrNoHexCode);
            if (At(cur_) == '}') break;
            if ((result >> 4) != 0) Error(kErrHexCodeTooBig);
            result = (result << 4) | static_cast<unsigned>(HexDigit(At(cur_)));
          }
        } else {
          result = static_cast<unsigned>(HexDigit(At(cur_)));
          Advance();
          if (AtEnd()) Error(kErrNoHexCode);
          result = (result << 4) | static_cast<unsigned>(HexDigit(At(cur_)));
        }
        return static_cast<uint8_t>(result);
      }
      default:
        return At(cur_);
    }
  }

  // --- Classes --------------------------------------------------------------

  // Members are collected into a bitmap first; only at the end is the node
  // fixed as a tiny set (up to three members, three comparisons) or a full
  // set (a 32-byte bitmap), which is why the node is emitted as a tiny set
  // and its kind may change in FinishClass.

  struct ClassBuilder {
    CharSet members;
    int count = 0;
    uint8_t range_min = 255;
    uint8_t range_max = 0;
    bool case_insensitive = false;
    const uint8_t* inverse = nullptr;

    void AddOne(uint8_t c) {
      // The character 0 ends every text, so it is never a member.
      if (c == 0 || members.Has(c)) return;
      ++count;
      if (c < range_min) range_min = c;
      if (c > range_max) range_max = c;
      members.Add(c);
    }
    void Add(uint8_t c) {
      AddOne(c);
      if (case_insensitive) AddOne(inverse[c]);
    }
    void AddString(std::string_view s) {
      for (char c : s) Add(static_cast<uint8_t>(c));
    }
  };

  // Emits the class node's operand and fixes its kind.
  void FinishClass(size_t node, const ClassBuilder& cls, bool negated) {
    if (cls.count > 3) {
      if (!measuring_) code_[node] = opFullSet;
      for (int i = 0; i < 32; ++i) {
        uint8_t b = cls.members.bits[i];
        EmitByte(negated ? static_cast<uint8_t>(~b) : b);
      }
      return;
    }
    uint8_t out[3];
    int n = 0;
    for (int c = 1; c < 256 && n < 3; ++c) {
      if (cls.members.Has(static_cast<uint8_t>(c))) out[n++] = static_cast<uint8_t>(c);
    }
    while (n < 3) out[n++] = cls.range_max;
    for (uint8_t b : out) EmitByte(b);
  }

  // "\s" "\S" "\w" "\W" outside a class.
  size_t EmitNamedClass(std::string_view chars, bool negated) {
    size_t node = EmitNode(negated ? opNotTinySet : opTinySet);
    ClassBuilder cls;
    cls.AddString(chars);
    FinishClass(node, cls, negated);
    return node;
  }

  // A class; the cursor is after "[".
  size_t ParseClass() {
    bool negated = false;
    if (At(cur_) == '^') {
      negated = true;
      Advance();
    }
    size_t node = EmitNode(negated ? opNotTinySet : opTinySet);
    ClassBuilder cls;
    cls.case_insensitive = Mod(kModifierI);
    cls.inverse = settings_.case_inverse;
    bool range_possible = false;
    uint8_t range_start = 0;
    auto add_single = [&](uint8_t c) {
      range_start = c;
      cls.Add(c);
      range_possible = true;
    };
    if (At(cur_) == ']') {
      add_single(']');
      Advance();
    }
    // A single member may start a range and a range end may not, so
    // "[a-c-e]" is a range, then "-" and "e" as members.
    while (!AtEnd() && At(cur_) != ']') {
      if (At(cur_) == '-' && cur_ + 1 < pattern_.size() && At(cur_ + 1) != ']' && range_possible) {
        Advance();
        uint8_t e = At(cur_);
        if (e == '\\') {
          uint8_t n = At(cur_ + 1);
          if (n == 'd' || n == 'D' || n == 's' || n == 'S' || n == 'w' || n == 'W') {
            cls.Add('-');
            range_possible = false;
            continue;
          }
          Advance();
          e = ParseEscapeChar();
        }
        // In Windows-1251 "ё" and "Ё" lie outside the alphabet's block, so
        // with r the three Cyrillic ranges add them.
        bool r = Mod(kModifierR);
        if (r && range_start == 0xE0 && e == 0xFF) {
          AddCyrillicLower(&cls);
        } else if (r && range_start == 0xC0 && e == 0xDF) {
          AddCyrillicUpper(&cls);
        } else if (r && range_start == 0xE0 && e == 0xDF) {
          AddCyrillicLower(&cls);
          AddCyrillicUpper(&cls);
        } else {
          if (e < range_start) Error(kErrInvalidRange);
          for (unsigned c = range_start + 1u; c <= e; ++c) cls.Add(static_cast<uint8_t>(c));
        }
        range_possible = false;
        Advance();
      } else if (At(cur_) == '\\') {
        Advance();
        if (AtEnd()) Error(kErrClassTrailingBackslash);
        switch (At(cur_)) {
          case 'd':
            cls.AddString("0123456789");
            range_possible = false;
            break;
          case 's':
            cls.AddString(settings_.space_chars);
            range_possible = false;
            break;
          case 'w':
            cls.AddString(settings_.word_chars);
            range_possible = false;
            break;
          default:
            add_single(ParseEscapeChar());
            break;
        }
        Advance();
      } else {
        add_single(At(cur_));
        Advance();
      }
    }
    FinishClass(node, cls, negated);
    if (At(cur_) != ']') Error(kErrUnmatchedBracket);
    Advance();
    return node;
  }

  static void AddCyrillicLower(ClassBuilder* cls) {
    for (unsigned c = 0xE0; c <= 0xFF; ++c) cls->Add(static_cast<uint8_t>(c));
    cls->Add(kCyrillicLowerExtra);
  }
  static void AddCyrillicUpper(ClassBuilder* cls) {
    for (unsigned c = 0xC0; c <= 0xDF; ++c) cls->Add(static_cast<uint8_t>(c));
    cls->Add(kCyrillicUpperExtra);
  }

  // --- Atoms ----------------------------------------------------------------

  bool MultiLineAnchors() const {
    return Mod(kModifierM) && (!settings_.line_break_chars.empty() || settings_.pair_assigned);
  }

  size_t ParseAtom(int* flagp) {
    *flagp = 0;
    uint8_t ch = At(cur_);
    bool at_end = AtEnd();
    Advance();
    if (at_end) Error(kErrInternalUrp);
    size_t ret = kNoNode;
    switch (ch) {
      case '^':
        ret = EmitNode(MultiLineAnchors() ? opLineStart : opInputStart);
        break;
      case '$':
        ret = EmitNode(MultiLineAnchors() ? opLineEnd : opInputEnd);
        break;
      case '.':
        if (Mod(kModifierS)) {
          ret = EmitNode(opAnyChar);
          *flagp = kHasWidth | kSimple;
        } else {
          ret = EmitNode(opAnyNoBreak);
          *flagp = kHasWidth;
        }
        break;
      case '[':
        ret = ParseClass();
        *flagp = kHasWidth | kSimple;
        break;
      case '(':
        if (At(cur_) == '?') {
          if (At(cur_ + 1) == '#') {
            Advance();
            Advance();
            while (!AtEnd() && At(cur_) != ')') Advance();
            if (At(cur_) != ')') Error(kErrUnclosedComment);
            Advance();
          } else {
            Advance();
            size_t begin = cur_;
            while (!AtEnd() && At(cur_) != ')') Advance();
            if (At(cur_) != ')' ||
                !ParseModifierLetters(pattern_.substr(begin, cur_ - begin), &parse_mods_)) {
              Error(kErrUnknownModifier);
            }
            Advance();
          }
          ret = EmitNode(opComment);
        } else {
          int flags = 0;
          ret = ParseReg(true, &flags);
          *flagp = flags & (kHasWidth | kLoopStart);
        }
        break;
      case '|':
      case ')':
        Error(kErrInternalUrp);
      case '*':
      case '+':
      case '?':
        Error(kErrQuantifierFollowsNothing);
      case '\\':
        ret = ParseEscape(flagp);
        break;
      default:
        ret = ParseLiteralRun(flagp);
        break;
    }
    return ret;
  }

  // An escape outside a class; the cursor is after "\".
  size_t ParseEscape(int* flagp) {
    if (AtEnd()) Error(kErrTrailingBackslash);
    size_t ret = kNoNode;
    uint8_t e = At(cur_);
    switch (e) {
      case 'b':
        ret = EmitNode(opWordBoundary);
        break;
      case 'B':
        ret = EmitNode(opNotWordBoundary);
        break;
      case 'A':
        ret = EmitNode(opInputStart);
        break;
      case 'Z':
        ret = EmitNode(opInputEnd);
        break;
      case 'd':
        ret = EmitNode(opDigit);
        *flagp = kHasWidth | kSimple;
        break;
      case 'D':
        ret = EmitNode(opNotDigit);
        *flagp = kHasWidth | kSimple;
        break;
      case 's':
      case 'S':
        ret = EmitNamedClass(settings_.space_chars, e == 'S');
        *flagp = kHasWidth | kSimple;
        break;
      case 'w':
      case 'W':
        ret = EmitNamedClass(settings_.word_chars, e == 'W');
        *flagp = kHasWidth | kSimple;
        break;
      default:
        if (e >= '1' && e <= '9') {
          ret = EmitNode(Mod(kModifierI) ? opBackRefCI : opBackRef);
          EmitByte(static_cast<uint8_t>(e - '0'));
        } else {
          ret = EmitNode(Mod(kModifierI) ? opLiteralCI : opLiteral);
          EmitByte(ParseEscapeChar());
          EmitByte(0);
        }
        *flagp = kHasWidth | kSimple;
        break;
    }
    Advance();
    return ret;
  }

  // A run of plain characters (or, with x, blanks and a comment). A run is
  // one node however long; only a quantifier after it splits off its last
  // character, so "abc*" repeats the "c" alone.
  size_t ParseLiteralRun(int* flagp) {
    --cur_;  // back to ch
    uint8_t ch = At(cur_);
    bool x = Mod(kModifierX);
    if (x && (ch == '#' || IsIgnoredChar(ch))) {
      if (ch == '#') {
        while (!AtEnd() && !IsLineSeparator(At(cur_))) Advance();
        while (!AtEnd() && IsLineSeparator(At(cur_))) Advance();
      } else {
        while (!AtEnd() && IsIgnoredChar(At(cur_))) Advance();
      }
      return EmitNode(opComment);
    }
    auto span = [this](size_t from) {
      size_t n = 0;
      while (from + n < pattern_.size() && !IsMeta(At(from + n))) ++n;
      return n;
    };
    size_t len = span(cur_);
    if (len == 0) {
      if (At(cur_) != '{') Error(kErrInternalDisaster);
      len = 1 + span(cur_ + 1);
    }
    if (len > 1 && IsQuantifierChar(At(cur_ + len))) --len;
    *flagp = kHasWidth | (len == 1 ? kSimple : 0);
    size_t ret = EmitNode(Mod(kModifierI) ? opLiteralCI : opLiteral);
    while (len > 0 && (!x || At(cur_) != '#')) {
      if (!x || !IsIgnoredChar(At(cur_))) EmitByte(At(cur_));
      Advance();
      --len;
    }
    EmitByte(0);
    return ret;
  }

  std::string_view pattern_;
  const CompileSettings& settings_;
  CompiledPattern result_;

  bool measuring_ = true;
  size_t size_ = 0;
  uint8_t* code_ = nullptr;
  size_t emit_ = 0;
  size_t cur_ = 0;
  uint32_t parse_mods_ = 0;
  int next_group_ = 1;
};

}  // namespace

bool ParseModifierLetters(std::string_view text, uint32_t* modifiers) {
  uint32_t mods = *modifiers;
  bool on = true;
  for (char c : text) {
    if (c == '-') {
      on = false;
      continue;
    }
    const char* found = c != 0 ? std::strchr(kModifierLetters, c | 0x20) : nullptr;
    if (found == nullptr) return false;
    uint32_t bit = 1u << (found - kModifierLetters);
    if (on) {
      mods |= bit;
    } else {
      mods &= ~bit;
    }
  }
  *modifiers = mods;
  return true;
}

CompiledPattern CompilePattern(std::string_view pattern, const CompileSettings& settings) {
  return Compiler(pattern, settings).Run();
}

}  // namespace vellora::regex
