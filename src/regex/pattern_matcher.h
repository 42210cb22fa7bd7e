// The matcher: runs a compiled byte program over an input.
//
// The byte program is decoded once per compile into a plan, an array of
// execution nodes with resolved links, per-node 256-entry character tables
// and the loops of the program identified. The matcher walks the plan with an
// explicit backtracking stack on the heap: each choice point and each undo
// record is one 16-byte entry, so the depth of a match is bounded by memory,
// never by the machine stack. A failure pops entries, undoing every change
// made since the choice point it reaches (groups, counted-loop levels and
// counters, loop iteration starts), then resumes at that choice.

#ifndef VELLORA_REGEX_PATTERN_MATCHER_H_
#define VELLORA_REGEX_PATTERN_MATCHER_H_

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

struct MatchContext {
  const uint8_t* word = nullptr;        // 256 entries: WordCharacters (0 never)
  const uint8_t* line_break = nullptr;  // 256 entries: LineBreakSet
  const uint8_t* inverse = nullptr;     // 256 entries: CaseInverter
  bool pair_assigned = false;
  uint8_t pair_head = 0;
  uint8_t pair_tail = 0;
};

class Plan {
 public:
  // Decodes program (compiled with the given facts).
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

// The first position from p whose character is in stop; stop[0] must be set,
// and the text must end with a 0 byte.
inline const uint8_t* SkipTo(const uint8_t* p, const uint8_t* stop) {
  for (;;) {
    if (stop[p[0]]) return p;
    if (stop[p[1]]) return p + 1;
    if (stop[p[2]]) return p + 2;
    if (stop[p[3]]) return p + 3;
    p += 4;
  }
}

// One backtracking entry: a choice point or an undo record.
struct StackEntry {
  uint32_t tag;  // kind (low 4 bits) and a node, slot, level or loop number
  uint32_t aux;
  const uint8_t* pos;
};

// The backtracking stack: a first small chunk, then chunks of 2 MiB (backed by
// huge pages where the system offers them). Entries never move, chunks are
// kept for the next search, and an entry is found by its index.
class BacktrackStack {
 public:
  BacktrackStack();
  ~BacktrackStack();
  BacktrackStack(const BacktrackStack&) = delete;
  BacktrackStack& operator=(const BacktrackStack&) = delete;

  bool empty() const { return top_ == base_ && chunk_ == 0; }
  uint32_t size() const {
    return static_cast<uint32_t>(ChunkStart(chunk_) + static_cast<size_t>(top_ - base_));
  }
  void push(const StackEntry& e) {
    if (top_ == limit_) NextChunk();
    *top_++ = e;
  }
  // The top entry (the stack must not be empty).
  StackEntry& back() { return top_[-1]; }
  void pop() {
    --top_;
    if (top_ == base_ && chunk_ != 0) PreviousChunk();
  }
  StackEntry& at(uint32_t index) {
    if (index < kFirstChunk) return chunks_[0][index];
    size_t j = index - kFirstChunk;
    return chunks_[1 + (j >> kChunkShift)][j & (kChunkEntries - 1)];
  }
  void clear() {
    chunk_ = 0;
    base_ = top_ = chunks_[0];
    limit_ = base_ + kFirstChunk;
  }
  // Frees all but a few chunks.
  void Trim();

 private:
  static constexpr size_t kFirstChunk = 1024;
  static constexpr size_t kChunkShift = 17;  // 2^17 entries of 16 bytes: 2 MiB
  static constexpr size_t kChunkEntries = size_t{1} << kChunkShift;
  static size_t ChunkStart(size_t chunk) {
    return chunk == 0 ? 0 : kFirstChunk + (chunk - 1) * kChunkEntries;
  }
  void NextChunk();
  void PreviousChunk();

  std::vector<StackEntry*> chunks_;
  size_t chunk_ = 0;
  StackEntry* base_ = nullptr;
  StackEntry* top_ = nullptr;
  StackEntry* limit_ = nullptr;
};

// The backtracking budget: how many times a match may go back to a choice
// point (a resumption: the next alternative, the next count of a repetition,
// the exit of a loop) before the search gives up with error 1016. A budget
// covers the searches that follow Matcher::StartBudget: one search of Exec,
// ExecAt or ExecNext, or a whole replace-all. It grows with the input, so
// that a pattern whose backtracking is linear in the input never reaches it
// however long the input is: kBacktrackBase + kBacktrackPerByte per byte of
// the input searched. The word extraction's patterns resume at most once per
// byte (docs/pattern-engine.md), sixteen times less than the budget allows.
inline constexpr uint64_t kBacktrackBase = 10000000;
inline constexpr uint64_t kBacktrackPerByte = 16;

struct BacktrackLimit {
  uint64_t base = kBacktrackBase;
  uint64_t per_byte = kBacktrackPerByte;
};

class Matcher {
 public:
  // Binds the plan (kept alive by the caller) and the settings.
  void Bind(const Plan* plan, const MatchContext& context);
  // Binds an input: [begin, end) with a 0 byte at *end.
  void SetInput(const uint8_t* begin, const uint8_t* end);

  // Searches from position from (begin..end). On success the slots hold the
  // match (slot 0 the whole match). Errors raise EPatternError; the matcher
  // is then reset and usable. Each resumption takes one unit of the budget
  // that StartBudget gave; when none is left the search raises 1016.
  bool Search(const uint8_t* from);

  // Gives the searches that follow, together, the budget of limit for an
  // input of the given length: that many resumptions (the sum saturates).
  void StartBudget(const BacktrackLimit& limit, size_t bytes) {
    uint64_t units = static_cast<uint64_t>(bytes) + 1;
    uint64_t room = UINT64_MAX - limit.base;
    budget_ = limit.per_byte > room / units ? UINT64_MAX : limit.base + limit.per_byte * units;
  }

  // Clears every slot, the loop state and the stack.
  void Reset();
  void ClearSlots();
  // Clears slot 0 and the slots of groups 1..groups.
  void ClearSlots(int groups) {
    for (int i = 0; i <= groups; ++i) {
      group_start_[i] = nullptr;
      group_end_[i] = nullptr;
    }
  }

  const uint8_t* group_start(int n) const { return group_start_[n]; }
  const uint8_t* group_end(int n) const { return group_end_[n]; }
  const uint8_t* begin() const { return begin_; }
  const uint8_t* end() const { return end_; }

  // Releases an unusually large stack.
  void TrimStack();

 private:
  // A try at p: the shape's direct match, or the matcher.
  bool TryAt(const uint8_t* p, int32_t first_node);
  // Matches from start, beginning at node first_node.
  bool MatchAt(const uint8_t* start, int32_t first_node);
  size_t CountBackRef(const XNode& node, const uint8_t* p, size_t max, size_t* step) const;
  bool RequiredLiteralFrom(const uint8_t* from);

  const Plan* plan_ = nullptr;
  const XNode* nodes_ = nullptr;
  const int32_t* alts_ = nullptr;
  MatchContext ctx_;
  const uint8_t* begin_ = nullptr;
  const uint8_t* end_ = nullptr;

  const uint8_t* group_start_[kGroupSlots] = {};
  const uint8_t* group_end_[kGroupSlots] = {};
  int32_t loop_counter_[kMaxLoopDepth + 1] = {};
  const uint8_t* loop_iter_start_[kMaxLoopDepth + 1] = {};
  int32_t loop_depth_ = 0;
  uint64_t budget_ = kBacktrackBase;  // resumptions left
  std::vector<uint32_t> loop_reg_;    // per complex loop: stack index of its iteration's choice
  BacktrackStack stack_;

  // Where the required literal was last found (valid for this input).
  bool required_valid_ = false;
  const uint8_t* required_found_ = nullptr;
  const uint8_t* required_searched_from_ = nullptr;
};

}  // namespace vellora::regex

#endif  // VELLORA_REGEX_PATTERN_MATCHER_H_
