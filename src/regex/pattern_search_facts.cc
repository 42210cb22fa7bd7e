// Computing the search facts of a byte program. Entry point:
// ComputeSearchFacts(settings, starts_with_repetition, error_position,
// compiled), which the compiler calls after emitting a program.
//
// The walks follow the program's links with work lists, never recursion on
// the program's length, and check every link against the program's size.

#include "regex/pattern_search_facts.h"

#include <cstring>
#include <vector>

#include "regex/pattern_errors.h"
#include "regex/pattern_modifiers.h"

namespace vellora::regex {
namespace {

class SearchFacts {
 public:
  SearchFacts(const CompileSettings& settings, int error_position, CompiledPattern* result)
      : settings_(settings),
        error_position_(error_position),
        result_(*result),
        code_(result->program.data()),
        size_(result->program.size()) {}

  void Run(bool starts_with_repetition) {
    CollectFirstChars();
    StartAndRequired(starts_with_repetition);
  }

 private:
  uint8_t Kind(size_t node) const { return code_[node]; }
  int32_t NextOffset(size_t node) const { return ReadInt32(code_ + node + 1); }
  [[noreturn]] void Error(int code) const { RaisePatternError(code, error_position_); }

  // The node after node in sequence, or kNoNode.
  size_t NextNode(size_t node) const {
    int32_t off = NextOffset(node);
    if (off == 0) return kNoNode;
    int64_t next = static_cast<int64_t>(node) + off;
    if (next < 1 || next + static_cast<int64_t>(kNodeHeader) > static_cast<int64_t>(size_)) {
      Error(kErrCorruptedPointers);
    }
    return static_cast<size_t>(next);
  }

  // Pushes the first node of every alternative of the branch chain that
  // begins at branch (one alternative: a branch whose next is no branch).
  void PushAlternatives(size_t branch, std::vector<size_t>* work) const {
    for (size_t b = branch; b != kNoNode && Kind(b) == opBranch; b = NextNode(b)) {
      work->push_back(b + kNodeHeader);
    }
  }

  void CollectFirstChars() {
    CharSet& fc = result_.first_chars;
    fc = CharSet();
    // A work list instead of recursion, and each node walked once: the set is
    // a union, so a second walk from the same node adds nothing (and a loop
    // whose body can be passed without a character cannot cycle).
    std::vector<bool> visited(size_, false);
    std::vector<size_t> work{1};
    while (!work.empty()) {
      size_t scan = work.back();
      work.pop_back();
      while (scan != kNoNode) {
        if (visited[scan]) break;
        visited[scan] = true;
        uint8_t kind = Kind(scan);
        const uint8_t* operand = code_ + scan + kNodeHeader;
        size_t next = kind == opEnd ? kNoNode : NextNode(scan);
        bool stop = true;
        switch (kind) {
          case opEnd:
          case opAnyChar:
          case opAnyNoBreak:
          case opBackRef:
          case opBackRefCI:
            fc.AddAll();
            return;
          case opInputEnd:
            fc.Add(0);
            if (settings_.modifiers & kModifierM) AddLineBreaks(&fc);
            break;
          case opLineEnd:
            // Emitted only where m was on, so a line break can follow.
            fc.Add(0);
            AddLineBreaks(&fc);
            if (settings_.pair_assigned) fc.Add(settings_.pair_head);
            break;
          case opDigit:
            for (int c = '0'; c <= '9'; ++c) fc.Add(static_cast<uint8_t>(c));
            break;
          case opNotDigit:
            for (int c = 0; c < 256; ++c) {
              if (c < '0' || c > '9') fc.Add(static_cast<uint8_t>(c));
            }
            break;
          case opLiteral:
            fc.Add(operand[0]);
            break;
          case opLiteralCI:
            fc.Add(operand[0]);
            fc.Add(settings_.case_inverse[operand[0]]);
            break;
          case opTinySet:
            fc.Add(operand[0]);
            fc.Add(operand[1]);
            fc.Add(operand[2]);
            break;
          case opNotTinySet:
            for (int c = 0; c < 256; ++c) {
              if (c != operand[0] && c != operand[1] && c != operand[2]) {
                fc.Add(static_cast<uint8_t>(c));
              }
            }
            break;
          case opFullSet:
            fc.AddSet(operand);
            break;
          case opLoopEntry:
            work.push_back(next);
            break;
          case opBranch:
            PushAlternatives(scan, &work);
            break;
          case opLoop:
          case opLoopLazy: {
            int64_t body = static_cast<int64_t>(scan) + ReadInt32(operand + 8);
            if (body < 1 || body >= static_cast<int64_t>(size_)) Error(kErrCorruptedPointers);
            work.push_back(static_cast<size_t>(body));
            // The continuation can come first when no iteration needs a
            // character: a minimum of 0, or a body that can match empty.
            if (next != kNoNode &&
                (ReadInt32(operand) == 0 || BodyCanBeEmpty(scan, static_cast<size_t>(body)))) {
              work.push_back(next);
            }
            break;
          }
          case opStar:
          case opStarLazy:
            work.push_back(scan + kNodeHeader);
            stop = false;
            break;
          case opPlus:
          case opPlusLazy:
            work.push_back(scan + kNodeHeader);
            break;
          case opBraces:
          case opBracesLazy:
            work.push_back(scan + kBracesHeader);
            stop = ReadInt32(operand) > 0;
            break;
          case opInputStart:
          case opBack:
          case opEmpty:
          case opComment:
          case opLineStart:
          case opWordBoundary:
          case opNotWordBoundary:
            stop = false;
            break;
          default:
            if (IsOpenKind(kind) || IsCloseKind(kind)) {
              work.push_back(next);
              break;
            }
            Error(kErrMemoryCorruption);
        }
        if (stop) break;
        scan = next;
      }
    }
  }

  // Whether the body of the counted loop at loop can reach the loop node
  // again without consuming a character.
  bool BodyCanBeEmpty(size_t loop, size_t body) const {
    std::vector<bool> seen(size_, false);
    std::vector<size_t> work{body};
    while (!work.empty()) {
      size_t scan = work.back();
      work.pop_back();
      if (scan == kNoNode || seen[scan]) continue;
      if (scan == loop) return true;
      seen[scan] = true;
      uint8_t kind = Kind(scan);
      const uint8_t* operand = code_ + scan + kNodeHeader;
      size_t next = kind == opEnd ? kNoNode : NextNode(scan);
      switch (kind) {
        case opBranch:
          PushAlternatives(scan, &work);
          break;
        case opLoop:
        case opLoopLazy: {
          int64_t inner = static_cast<int64_t>(scan) + ReadInt32(operand + 8);
          if (ReadInt32(operand) == 0 || (inner >= 1 && inner < static_cast<int64_t>(size_) &&
                                          BodyCanBeEmpty(scan, static_cast<size_t>(inner)))) {
            work.push_back(next);
          }
          break;
        }
        case opStar:
        case opStarLazy:
          work.push_back(next);
          break;
        case opBraces:
        case opBracesLazy: {
          uint8_t repeated = code_[scan + kBracesHeader];
          if (ReadInt32(operand) == 0 || repeated == opBackRef || repeated == opBackRefCI) {
            work.push_back(next);
          }
          break;
        }
        case opPlus:
        case opPlusLazy: {
          uint8_t repeated = code_[scan + kNodeHeader];
          if (repeated == opBackRef || repeated == opBackRefCI) work.push_back(next);
          break;
        }
        case opLiteral:
        case opLiteralCI:
          if (operand[0] == 0) work.push_back(next);  // an empty text
          break;
        case opEnd:
        case opAnyChar:
        case opAnyNoBreak:
        case opDigit:
        case opNotDigit:
        case opTinySet:
        case opNotTinySet:
        case opFullSet:
          break;
        default:  // zero-width nodes, groups, back-references
          work.push_back(next);
          break;
      }
    }
    return false;
  }

  void AddLineBreaks(CharSet* fc) const {
    for (char c : settings_.line_break_chars) fc->Add(static_cast<uint8_t>(c));
  }

  // StartChar and Anchored need a single top-level alternative: with two,
  // neither holds for every match. The required literal is looked for only
  // when the pattern begins with a repetition, where a failed search would
  // otherwise try every start position before finding that a literal
  // further on is missing.
  void StartAndRequired(bool starts_with_repetition) {
    size_t top_next = NextNode(1);
    if (top_next == kNoNode || Kind(top_next) != opEnd) return;
    size_t n = 1 + kNodeHeader;
    if (Kind(n) == opLiteral) {
      result_.start_char = code_[n + kNodeHeader];
    } else if (Kind(n) == opInputStart) {
      result_.anchored = 1;
    }
    if (!starts_with_repetition) return;
    size_t best_offset = 0;
    size_t best_length = 0;
    for (size_t scan = n, steps = 0; scan != kNoNode && steps <= size_;
         scan = NextNode(scan), ++steps) {
      if (Kind(scan) == opEnd) break;
      if (Kind(scan) != opLiteral) continue;
      const uint8_t* text = code_ + scan + kNodeHeader;
      size_t len = std::strlen(reinterpret_cast<const char*>(text));
      // An empty literal (from "\x00") is no required text.
      if (len > 0 && len >= best_length) {
        best_offset = scan + kNodeHeader;
        best_length = len;
      }
    }
    result_.required_offset = best_offset;
    result_.required_length = best_length;
  }

  const CompileSettings& settings_;
  const int error_position_;
  CompiledPattern& result_;
  const uint8_t* code_;
  size_t size_;
};

}  // namespace

void ComputeSearchFacts(const CompileSettings& settings, bool starts_with_repetition,
                        int error_position, CompiledPattern* compiled) {
  SearchFacts(settings, error_position, compiled).Run(starts_with_repetition);
}

}  // namespace vellora::regex
