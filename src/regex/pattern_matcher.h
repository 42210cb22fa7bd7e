// The matcher: runs a compiled program's plan (pattern_plan.h) over an input.
//
// The matcher walks the plan with an explicit backtracking stack on the
// heap: each choice point and each undo record is one 16-byte entry, so the
// depth of a match is bounded by memory, never by the machine stack. A
// failure pops entries, undoing every change made since the choice point it
// reaches (groups, counted-loop levels and counters, loop iteration starts),
// then resumes at that choice.

#ifndef VELLORA_REGEX_PATTERN_MATCHER_H_
#define VELLORA_REGEX_PATTERN_MATCHER_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "regex/pattern_plan.h"
#include "regex/pattern_program.h"

namespace vellora::regex {

struct MatchContext {
  const uint8_t* word = nullptr;        // 256 entries: WordCharacters (0 never)
  const uint8_t* line_break = nullptr;  // 256 entries: LineBreakSet
  const uint8_t* inverse = nullptr;     // 256 entries: CaseInverter
  bool pair_assigned = false;
  uint8_t pair_head = 0;
  uint8_t pair_tail = 0;
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
  // Binds the plan, which must outlive the binding (and so must what the
  // plan points into), and the settings, whose tables must too.
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
