// The plan: a compiled byte program decoded for the matcher. Built once per
// compile by Plan::Build (pattern_plan.cc); the matcher then reads only the
// plan.
//
// A plan is an array of execution nodes with resolved links, per-node
// 256-entry character tables and the loops of the program identified, plus
// the search facts as tables and the shape of programs simple enough to be
// matched without backtracking.
//
// Lifetime: the plan owns its nodes and tables but not the literal texts.
// XNode::text and required() point into the program it was built from:
// REQUIRES that CompiledPattern to stay alive and unchanged for as long as
// the plan, or a matcher bound to it, searches. Once the program is dropped
// or compiled again, the plan must be built again before the next search.
// (EngineCore in pattern_core.h keeps program, plan and matcher together and
// does so after every compile.)

#ifndef VELLORA_REGEX_PATTERN_PLAN_H_
#define VELLORA_REGEX_PATTERN_PLAN_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "regex/pattern_compiler.h"
#include "regex/pattern_program.h"

namespace vellora::regex {

// Execution node kinds.
enum XOp : uint8_t {
  xEnd,
  xChar,       // one character in table
  xLiteral,    // several characters, case-sensitive
  xLiteralCI,  // several characters, each also matching its inverse
  xAnyNoBreak,
  xInputStart,
  xInputEnd,
  xLineStart,
  xLineEnd,
  xWordBoundary,
  xNotWordBoundary,
  xBackRef,
  xBackRefCI,
  xBranch,    // alternatives alts[first .. first+count)
  xStarHead,  // greedy complex "*": alternative 1 is an iteration, 2 the exit
  xStarBack,  // end of a greedy complex "*" iteration: back to the head
  xPlusHead,  // after a greedy complex "+" iteration: again, or exit
  xOpen,
  xClose,
  xRep,  // simple repetition
  xLoopEntry,
  xLoop,     // counted loop node (greedy or lazy)
  xMissing,  // a chain that ends without opEnd (error 1002)
  xBadKind,  // an unknown node kind (error 1001)
};

// How a simple repetition counts.
enum RepKind : uint8_t { kRepAny, kRepTable, kRepBackRef, kRepBackRefCI, kRepBad };

struct XNode {
  uint8_t op = xMissing;
  uint8_t group = 0;       // xOpen, xClose, xBackRef*, kRepBackRef*
  uint8_t rep_kind = 0;    // xRep
  uint8_t lazy = 0;        // xRep, xLoop
  uint8_t has_filter = 0;  // xRep: the continuation begins with filter1/filter2
  uint8_t filter1 = 0;
  uint8_t filter2 = 0;
  int32_t next = -1;  // the node that follows (index), -1: none
  int32_t alt = -1;   // xBranch: first alternative in alts; heads: iteration; xLoop: body
  int32_t alt2 = -1;  // heads: the exit
  int32_t count = 0;  // xBranch: number of alternatives
  int32_t min = 0;
  int32_t max = 0;
  uint32_t loop = 0;               // heads and xStarBack: loop number
  const uint8_t* table = nullptr;  // xChar, kRepTable: 256 entries, [0] always 0
  const uint8_t* text = nullptr;   // xLiteral, xLiteralCI
  uint32_t len = 0;
};

// Programs simple enough for the search to match without the matcher; each
// shape gives exactly the matcher's result.
enum Shape : uint8_t {
  kShapeNone,
  kShapeChar,       // one character of table, then the end
  kShapeRun,        // a greedy run of min..max characters of table, then the end
  kShapeDelimited,  // a character of table, a lazy run of any min..max characters,
                    // the character close, then the end
};

class Plan {
 public:
  // Decodes compiled.program and its search facts; inverse (256 entries,
  // the engine's other-case table) is read during the call only. A plan
  // built again for another program drops everything of the last one.
  void Build(const CompiledPattern& compiled, const uint8_t* inverse);

  const std::vector<XNode>& nodes() const { return nodes_; }
  const std::vector<int32_t>& alts() const { return alts_; }
  int32_t entry() const { return entry_; }
  uint32_t loop_count() const { return loop_count_; }
  int group_count() const { return group_count_; }

  // Search facts.
  const uint8_t* first_table() const { return first_table_.data(); }
  // first_table with the input's final 0 added: a scan stops at the end.
  const uint8_t* stop_table() const { return stop_table_.data(); }
  uint8_t start_char() const { return start_char_; }
  bool anchored() const { return anchored_; }
  const uint8_t* required() const { return required_; }
  size_t required_length() const { return required_length_; }
  // A table the character after a start position must be in (when the
  // first node is a repetition of at least two characters), or null.
  const uint8_t* second_table() const { return second_table_; }
  bool entry_is_word_boundary() const { return entry_boundary_; }
  Shape shape() const { return shape_; }
  const uint8_t* shape_table() const { return shape_table_; }
  size_t shape_min() const { return shape_min_; }
  size_t shape_max() const { return shape_max_; }
  uint8_t shape_close() const { return shape_close_; }

 private:
  int32_t NodeFor(size_t offset);
  int32_t Resolve(size_t offset);
  const uint8_t* NewTable(const std::array<uint8_t, 256>& table);
  bool CharTable(size_t offset, std::array<uint8_t, 256>* table, bool repeated);

  const uint8_t* prog_ = nullptr;
  size_t size_ = 0;
  const uint8_t* inverse_ = nullptr;
  std::vector<XNode> nodes_;
  std::vector<int32_t> alts_;
  std::deque<std::array<uint8_t, 256>> tables_;  // stable addresses
  std::vector<int32_t> index_of_;                // program offset -> node index (-1: not yet)
  std::vector<size_t> offset_of_;                // node index -> program offset
  std::vector<uint8_t> reachable_;               // program offset -> node start reached
  std::vector<int32_t> back_kind_;               // program offset of an opBack -> loop role
  int32_t entry_ = -1;
  uint32_t loop_count_ = 0;
  int group_count_ = 0;
  std::array<uint8_t, 256> first_table_{};
  std::array<uint8_t, 256> stop_table_{};
  uint8_t start_char_ = 0;
  bool anchored_ = false;
  const uint8_t* required_ = nullptr;
  size_t required_length_ = 0;
  const uint8_t* second_table_ = nullptr;
  bool entry_boundary_ = false;
  Shape shape_ = kShapeNone;
  const uint8_t* shape_table_ = nullptr;
  size_t shape_min_ = 0;
  size_t shape_max_ = 0;
  uint8_t shape_close_ = 0;
};

}  // namespace vellora::regex

#endif  // VELLORA_REGEX_PATTERN_PLAN_H_
