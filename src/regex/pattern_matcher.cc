// The backtracking matcher and the search over start positions.

#include "regex/pattern_matcher.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "regex/pattern_errors.h"

namespace vellora::regex {
namespace {

// Stack entry kinds (low 4 bits of the tag; the rest holds a node index, a
// group slot, a loop level or a loop number).
enum EntryKind : uint32_t {
  kBranchAlt,       // node; aux: the alternative to try next
  kStarAlt,         // node; aux: the loop's previous iteration entry
  kPlusAlt,         // node; aux: the loop's previous iteration entry
  kRepGreedy,       // node; pos: the position last tried (a kRepBound lies below)
  kRepLazy,         // node; pos: the position last tried (a kRepBound lies below)
  kRepBound,        // pos: the lowest (greedy) or highest (lazy) position to try
  kLoopExit,        // node: a greedy counted loop leaves after its body failed
  kLoopBody,        // node: a lazy counted loop runs its body after the rest failed
  kUndoGroupStart,  // slot; pos: the old start
  kUndoGroupEnd,    // slot; pos: the old end
  kUndoLoopEnter,   // level; aux: old counter; pos: old iteration start
  kUndoCounter,     // level; aux: old counter; pos: old iteration start
  kUndoDepth,       // aux: old depth
  kUndoReg,         // loop; aux: old iteration entry
};

constexpr uint32_t kNoEntry = 0xFFFFFFFFu;

inline uint32_t Tag(EntryKind kind, uint32_t payload) { return kind | (payload << 4); }

// Finds the highest position in [lo, hi] holding c1 or c2, or null.
inline const uint8_t* FindDown(const uint8_t* lo, const uint8_t* hi, uint8_t c1, uint8_t c2) {
  if (c1 == c2) {
    return static_cast<const uint8_t*>(memrchr(lo, c1, static_cast<size_t>(hi - lo) + 1));
  }
  for (const uint8_t* p = hi;; --p) {
    if (*p == c1 || *p == c2) return p;
    if (p == lo) return nullptr;
  }
}

// Finds the lowest position in [lo, hi] holding c1 or c2, or null.
inline const uint8_t* FindUp(const uint8_t* lo, const uint8_t* hi, uint8_t c1, uint8_t c2) {
  if (c1 == c2) {
    return static_cast<const uint8_t*>(std::memchr(lo, c1, static_cast<size_t>(hi - lo) + 1));
  }
  for (const uint8_t* p = lo;; ++p) {
    if (*p == c1 || *p == c2) return p;
    if (p == hi) return nullptr;
  }
}

}  // namespace

BacktrackStack::BacktrackStack() {
  chunks_.push_back(new StackEntry[kFirstChunk]);
  clear();
}

BacktrackStack::~BacktrackStack() {
  delete[] chunks_[0];
  for (size_t i = 1; i < chunks_.size(); ++i) std::free(chunks_[i]);
}

void BacktrackStack::NextChunk() {
  ++chunk_;
  if (chunk_ == chunks_.size()) {
    // Entries are named by 32-bit indices (loop registers, choice points):
    // the stack stops short of their range.
    if (ChunkStart(chunk_) + kChunkEntries >= 0xFFFFFFF0u) throw std::bad_alloc();
    constexpr size_t kBytes = kChunkEntries * sizeof(StackEntry);
    void* memory = nullptr;
    // Aligned to its size, so that the kernel can back it with huge pages.
    if (posix_memalign(&memory, kBytes, kBytes) != 0) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    madvise(memory, kBytes, MADV_HUGEPAGE);
#endif
    chunks_.push_back(static_cast<StackEntry*>(memory));
  }
  base_ = top_ = chunks_[chunk_];
  limit_ = base_ + kChunkEntries;
}

void BacktrackStack::PreviousChunk() {
  --chunk_;
  base_ = chunks_[chunk_];
  limit_ = base_ + (chunk_ == 0 ? kFirstChunk : kChunkEntries);
  top_ = limit_;
}

// A deep match's memory goes back; a few chunks stay for the next search.
void BacktrackStack::Trim() {
  constexpr size_t kKeep = 4;
  while (chunks_.size() > kKeep && chunks_.size() - 1 > chunk_) {
    std::free(chunks_.back());
    chunks_.pop_back();
  }
}

void Matcher::Bind(const Plan* plan, const MatchContext& context) {
  plan_ = plan;
  nodes_ = plan->nodes().data();
  alts_ = plan->alts().data();
  ctx_ = context;
  loop_reg_.assign(plan->loop_count(), kNoEntry);
  Reset();
}

void Matcher::SetInput(const uint8_t* begin, const uint8_t* end) {
  begin_ = begin;
  end_ = end;
  required_valid_ = false;
  Reset();
}

void Matcher::ClearSlots() {
  for (int i = 0; i < kGroupSlots; ++i) {
    group_start_[i] = nullptr;
    group_end_[i] = nullptr;
  }
}

void Matcher::Reset() {
  ClearSlots();
  stack_.clear();
  loop_depth_ = 0;
  for (uint32_t& r : loop_reg_) r = kNoEntry;
}

void Matcher::TrimStack() { stack_.Trim(); }

// The first occurrence of the required literal at or after from; cached, as
// successive searches of one input move forward.
bool Matcher::RequiredLiteralFrom(const uint8_t* from) {
  if (required_valid_ && from >= required_searched_from_) {
    if (required_found_ == nullptr) return false;
    if (required_found_ >= from) return true;
  }
  const uint8_t* lit = plan_->required();
  size_t len = plan_->required_length();
  const uint8_t* p = from;
  required_valid_ = true;
  required_searched_from_ = from;
  while (p < end_) {
    p = static_cast<const uint8_t*>(std::memchr(p, lit[0], static_cast<size_t>(end_ - p)));
    if (p == nullptr) break;
    if (static_cast<size_t>(end_ - p) >= len && std::memcmp(p, lit, len) == 0) {
      required_found_ = p;
      return true;
    }
    ++p;
  }
  required_found_ = nullptr;
  return false;
}

bool Matcher::Search(const uint8_t* from) {
  try {
    loop_depth_ = 0;
    for (uint32_t& r : loop_reg_) r = kNoEntry;
    // Without the literal every match needs, no position can match: one scan
    // for it spares trying them all.
    if (plan_->required_length() > 0 && !RequiredLiteralFrom(from)) return false;
    const int32_t entry = plan_->entry();
    if (plan_->anchored()) return TryAt(from, entry);
    const uint8_t* p = from;
    if (uint8_t sc = plan_->start_char()) {
      while (p < end_) {
        p = static_cast<const uint8_t*>(std::memchr(p, sc, static_cast<size_t>(end_ - p)));
        if (p == nullptr) return false;
        if (TryAt(p, entry)) return true;
        ++p;
      }
      return false;
    }
    const uint8_t* first = plan_->first_table();
    if (plan_->entry_is_word_boundary()) {
      // Only a word boundary can begin a match; the match starts after the
      // boundary test, which holds there.
      const int32_t after = nodes_[entry].next;
      const uint8_t* word = ctx_.word;
      bool before = p > begin_ && word[p[-1]];
      for (;;) {
        bool here = word[*p] != 0;
        if (here != before && first[*p] && MatchAt(p, after)) return true;
        if (p == end_) return false;
        before = here;
        ++p;
      }
    }
    const uint8_t* second = plan_->second_table();
    const uint8_t* stop = plan_->stop_table();
    for (;;) {
      p = SkipTo(p, stop);
      // The end is a start position too, for a pattern that can match there
      // (then the final 0 is in first).
      if (p == end_) return first[0] && TryAt(p, entry);
      if ((second == nullptr || second[p[1]]) && TryAt(p, entry)) return true;
      ++p;
    }
  } catch (...) {
    // An error (the budget, a broken plan) leaves half a match on the stack
    // and in the groups; the next search must find them clean.
    Reset();
    throw;
  }
}

bool Matcher::TryAt(const uint8_t* p, int32_t first_node) {
  const Plan& plan = *plan_;
  switch (plan.shape()) {
    case kShapeChar:
      if (!plan.shape_table()[*p]) return false;
      group_start_[0] = p;
      group_end_[0] = p + 1;
      return true;
    case kShapeRun: {
      const uint8_t* t = plan.shape_table();
      size_t room = static_cast<size_t>(end_ - p);
      size_t max = plan.shape_max();
      const uint8_t* q = p;
      if (max >= room) {
        while (t[*q]) ++q;  // the final 0 is never in a table
      } else {
        const uint8_t* lim = p + max;
        while (q < lim && t[*q]) ++q;
      }
      if (static_cast<size_t>(q - p) < plan.shape_min()) return false;
      group_start_[0] = p;
      group_end_[0] = q;
      return true;
    }
    case kShapeDelimited: {
      if (!plan.shape_table()[*p]) return false;
      const uint8_t* body = p + 1;
      size_t room = static_cast<size_t>(end_ - body);
      size_t count = plan.shape_max() < room ? plan.shape_max() : room;
      if (count < plan.shape_min()) return false;
      const uint8_t* lo = body + plan.shape_min();
      const void* q = std::memchr(lo, plan.shape_close(), count - plan.shape_min() + 1);
      if (q == nullptr) return false;
      group_start_[0] = p;
      group_end_[0] = static_cast<const uint8_t*>(q) + 1;
      return true;
    }
    default:
      return MatchAt(p, first_node);
  }
}

size_t Matcher::CountBackRef(const XNode& node, const uint8_t* p, size_t max, size_t* step) const {
  const uint8_t* s = group_start_[node.group];
  const uint8_t* e = group_end_[node.group];
  *step = 1;
  if (s == nullptr || e == nullptr) return 0;
  size_t len = e > s ? static_cast<size_t>(e - s) : 0;
  if (len == 0) {
    // Every count matches at the same place: one try is enough.
    *step = 0;
    return static_cast<size_t>(node.min) < max ? static_cast<size_t>(node.min) : max;
  }
  *step = len;
  size_t count = 0;
  const uint8_t* inv = ctx_.inverse;
  while (count < max && static_cast<size_t>(end_ - p) >= len) {
    bool same = true;
    if (node.rep_kind == kRepBackRef) {
      same = std::memcmp(p, s, len) == 0;
    } else {
      for (size_t i = 0; i < len; ++i) {
        if (p[i] != s[i] && p[i] != inv[s[i]]) {
          same = false;
          break;
        }
      }
    }
    if (!same) break;
    p += len;
    ++count;
  }
  return count;
}

bool Matcher::MatchAt(const uint8_t* start, int32_t first_node) {
  // Direct threading: each handler ends in its own indirect jump, which
  // predicts far better than one shared switch.
  // One handler per XOp, in the order of the enum.
  static const void* const kHandlers[] = {
      &&h_end,            // xEnd
      &&h_char,           // xChar
      &&h_literal,        // xLiteral
      &&h_literal_ci,     // xLiteralCI
      &&h_any_no_break,   // xAnyNoBreak
      &&h_input_start,    // xInputStart
      &&h_input_end,      // xInputEnd
      &&h_line_start,     // xLineStart
      &&h_line_end,       // xLineEnd
      &&h_word_boundary,  // xWordBoundary
      &&h_word_boundary,  // xNotWordBoundary
      &&h_back_ref,       // xBackRef
      &&h_back_ref,       // xBackRefCI
      &&h_branch,         // xBranch
      &&h_star_head,      // xStarHead
      &&h_star_back,      // xStarBack
      &&h_plus_head,      // xPlusHead
      &&h_open,           // xOpen
      &&h_close,          // xClose
      &&h_rep,            // xRep
      &&h_loop_entry,     // xLoopEntry
      &&h_loop,           // xLoop
      &&h_missing,        // xMissing
      &&h_bad_kind,       // xBadKind
  };
  static_assert(sizeof kHandlers / sizeof kHandlers[0] == xBadKind + 1);
#define VB_DISPATCH() goto* kHandlers[n->op]

  const XNode* const nodes = nodes_;
  const uint8_t* pos = start;
  const XNode* n = nodes + first_node;
  BacktrackStack& st = stack_;
  // A local copy, so that the count stays in a register; written back
  // wherever the match ends.
  uint64_t budget = budget_;

  VB_DISPATCH();

h_end:
  // What is left on the stack are choices this match no longer needs.
  group_start_[0] = start;
  group_end_[0] = pos;
  st.clear();
  budget_ = budget;
  return true;

h_char:
  if (!n->table[*pos]) goto fail;
  ++pos;
  n = nodes + n->next;
  VB_DISPATCH();

h_literal:
  // The first character decides most tries; the length check keeps memcmp
  // inside the input (the final 0 never equals a text character).
  if (*pos != n->text[0] || static_cast<size_t>(end_ - pos) < n->len ||
      std::memcmp(pos, n->text, n->len) != 0) {
    goto fail;
  }
  pos += n->len;
  n = nodes + n->next;
  VB_DISPATCH();

  {
  h_literal_ci:
    if (static_cast<size_t>(end_ - pos) < n->len) goto fail;
    const uint8_t* inv = ctx_.inverse;
    for (uint32_t i = 0; i < n->len; ++i) {
      uint8_t t = n->text[i];
      if (pos[i] != t && pos[i] != inv[t]) goto fail;
    }
    pos += n->len;
    n = nodes + n->next;
    VB_DISPATCH();
  }

  {
  h_any_no_break:
    uint8_t c = *pos;
    if (c == 0) goto fail;
    // The head of a paired line break ends a line even when it is no line
    // break character on its own.
    if (ctx_.pair_assigned && c == ctx_.pair_head && pos[1] == ctx_.pair_tail) goto fail;
    if (ctx_.line_break[c]) goto fail;
    ++pos;
    n = nodes + n->next;
    VB_DISPATCH();
  }

h_input_start:
  if (pos != begin_) goto fail;
  n = nodes + n->next;
  VB_DISPATCH();

h_input_end:
  if (*pos != 0) goto fail;
  n = nodes + n->next;
  VB_DISPATCH();

h_line_start:
  // After a paired line break a line starts; between its two characters
  // none does.
  if (pos != begin_) {
    uint8_t prev = pos[-1];
    bool ok;
    if (ctx_.pair_assigned && prev == ctx_.pair_tail && pos - 1 > begin_ &&
        pos[-2] == ctx_.pair_head) {
      ok = true;
    } else if (ctx_.pair_assigned && prev == ctx_.pair_head && *pos == ctx_.pair_tail) {
      ok = false;
    } else {
      ok = ctx_.line_break[prev] != 0;
    }
    if (!ok) goto fail;
  }
  n = nodes + n->next;
  VB_DISPATCH();

  {
  h_line_end:
    uint8_t c = *pos;
    if (c != 0) {
      bool ok;
      if (ctx_.pair_assigned && c == ctx_.pair_head && pos[1] == ctx_.pair_tail) {
        ok = true;
      } else if (ctx_.pair_assigned && c == ctx_.pair_tail && pos > begin_ &&
                 pos[-1] == ctx_.pair_head) {
        ok = false;
      } else {
        ok = ctx_.line_break[c] != 0;
      }
      if (!ok) goto fail;
    }
    n = nodes + n->next;
    VB_DISPATCH();
  }

  {
  h_word_boundary:
    bool before = pos > begin_ && ctx_.word[pos[-1]];
    bool here = ctx_.word[*pos] != 0;
    if ((before != here) != (n->op == xWordBoundary)) goto fail;
    n = nodes + n->next;
    VB_DISPATCH();
  }

  {
  h_back_ref:
    const uint8_t* s = group_start_[n->group];
    const uint8_t* e = group_end_[n->group];
    if (s == nullptr || e == nullptr) goto fail;
    size_t len = e > s ? static_cast<size_t>(e - s) : 0;
    if (static_cast<size_t>(end_ - pos) < len) goto fail;
    if (n->op == xBackRef) {
      if (std::memcmp(pos, s, len) != 0) goto fail;
    } else {
      const uint8_t* inv = ctx_.inverse;
      for (size_t i = 0; i < len; ++i) {
        if (pos[i] != s[i] && pos[i] != inv[s[i]]) goto fail;
      }
    }
    pos += len;
    n = nodes + n->next;
    VB_DISPATCH();
  }

h_branch:
  // The choice point names the next alternative to try and the fail loop
  // advances it, so a branch of k alternatives costs one entry, not k.
  if (n->count > 1) {
    st.push({Tag(kBranchAlt, static_cast<uint32_t>(n - nodes)), 1, pos});
  }
  n = nodes + alts_[n->alt];
  VB_DISPATCH();

  {
  h_star_head:
    // The loop's register points at this iteration's choice point, so the
    // iteration's end (xStarBack) can see where the iteration began.
    uint32_t index = static_cast<uint32_t>(st.size());
    st.push({Tag(kStarAlt, static_cast<uint32_t>(n - nodes)), loop_reg_[n->loop], pos});
    loop_reg_[n->loop] = index;
    n = nodes + n->alt;
    VB_DISPATCH();
  }

  {
  h_star_back:
    // An iteration that consumed nothing ends the loop by failing.
    uint32_t r = loop_reg_[n->loop];
    if (r != kNoEntry && st.at(r).pos == pos) goto fail;
    n = nodes + n->next;
    VB_DISPATCH();
  }

  {
  h_plus_head:
    // As at xStarBack: another iteration from where the last one began
    // would repeat it for ever.
    uint32_t r = loop_reg_[n->loop];
    if (r != kNoEntry && st.at(r).pos == pos) goto fail;
    uint32_t index = static_cast<uint32_t>(st.size());
    st.push({Tag(kPlusAlt, static_cast<uint32_t>(n - nodes)), r, pos});
    loop_reg_[n->loop] = index;
    n = nodes + n->alt;
    VB_DISPATCH();
  }

h_open:
  st.push({Tag(kUndoGroupStart, n->group), 0, group_start_[n->group]});
  group_start_[n->group] = pos;
  n = nodes + n->next;
  VB_DISPATCH();

h_close:
  st.push({Tag(kUndoGroupEnd, n->group), 0, group_end_[n->group]});
  group_end_[n->group] = pos;
  n = nodes + n->next;
  VB_DISPATCH();

  {
  h_rep:
    // Count the repetitions in one pass, then go on at the greedy (highest)
    // or lazy (lowest) count. One choice point, with a bound entry below
    // it, stands for all the other counts, which the fail loop walks one
    // step at a time. With a literal after the repetition, only counts that
    // leave the position at that literal's first character are tried.
    const uint8_t* save = pos;
    size_t max = static_cast<size_t>(n->max < 0 ? 0 : n->max);
    size_t room = static_cast<size_t>(end_ - pos);
    size_t count;
    size_t step = 1;
    switch (n->rep_kind) {
      case kRepAny:
        count = max < room ? max : room;
        break;
      case kRepTable: {
        const uint8_t* t = n->table;
        const uint8_t* p = pos;
        if (max >= room) {
          while (t[*p]) ++p;  // the final 0 is never in a table
        } else {
          const uint8_t* lim = pos + max;
          while (p < lim && t[*p]) ++p;
        }
        count = static_cast<size_t>(p - pos);
        break;
      }
      case kRepBackRef:
      case kRepBackRefCI:
        count = CountBackRef(*n, pos, max, &step);
        break;
      default:
        RaisePatternError(kErrRepeatInappropriate, 0);
    }
    size_t min = static_cast<size_t>(n->min < 0 ? 0 : n->min);
    if (count < min) goto fail;
    const uint8_t* lo;
    const uint8_t* hi;
    if (step == 0) {
      lo = hi = save;
    } else {
      lo = save + min * step;
      hi = save + count * step;
    }
    const uint8_t* c;
    if (!n->lazy) {
      c = hi;
      if (n->has_filter) {
        if (step == 1) {
          c = FindDown(lo, hi, n->filter1, n->filter2);
          if (c == nullptr) goto fail;
        } else {
          while (*c != n->filter1 && *c != n->filter2) {
            if (c == lo) goto fail;
            c -= step;
          }
        }
      }
      if (c > lo) {
        st.push({kRepBound, 0, lo});
        st.push({Tag(kRepGreedy, static_cast<uint32_t>(n - nodes)), 0, c});
      }
    } else {
      c = lo;
      if (n->has_filter) {
        if (step == 1) {
          c = FindUp(lo, hi, n->filter1, n->filter2);
          if (c == nullptr) goto fail;
        } else {
          while (*c != n->filter1 && *c != n->filter2) {
            if (c == hi) goto fail;
            c += step;
          }
        }
      }
      if (c < hi) {
        st.push({kRepBound, 0, hi});
        st.push({Tag(kRepLazy, static_cast<uint32_t>(n - nodes)), 0, c});
      }
    }
    pos = c;
    n = nodes + n->next;
    VB_DISPATCH();
  }

  {
  h_loop_entry:
    // A counted loop opens a level holding its counter and the start of its
    // current iteration; the level's old values go into an undo record, so
    // a failure closes the level again.
    int32_t d = loop_depth_ + 1;
    if (d > kMaxLoopDepth) RaisePatternError(kErrLoopStackExceeded, 0);
    st.push({Tag(kUndoLoopEnter, static_cast<uint32_t>(d)), static_cast<uint32_t>(loop_counter_[d]),
             loop_iter_start_[d]});
    loop_depth_ = d;
    loop_counter_[d] = 0;
    loop_iter_start_[d] = pos;
    n = nodes + n->next;
    VB_DISPATCH();
  }

  {
  h_loop:
    int32_t d = loop_depth_;
    if (d <= 0) RaisePatternError(kErrLoopWithoutEntry, 0);
    int32_t cnt = loop_counter_[d];
    // An iteration beyond the minimum that consumed nothing fails.
    if (cnt > n->min && pos == loop_iter_start_[d]) goto fail;
    if (cnt > 0 && cnt < n->min && pos == loop_iter_start_[d]) {
      // An iteration below the minimum that consumed nothing: the ones still
      // required would match nothing here too, so they count as done (else
      // "(a?){99999999}" would take 10^8 steps and records on any input).
      st.push({Tag(kUndoCounter, static_cast<uint32_t>(d)), static_cast<uint32_t>(cnt),
               loop_iter_start_[d]});
      cnt = n->min;
      loop_counter_[d] = cnt;
    }
    if (cnt < n->min || (!n->lazy && cnt < n->max)) {
      if (cnt >= n->min) {
        st.push({Tag(kLoopExit, static_cast<uint32_t>(n - nodes)), 0, pos});
      }
      st.push({Tag(kUndoCounter, static_cast<uint32_t>(d)), static_cast<uint32_t>(cnt),
               loop_iter_start_[d]});
      loop_counter_[d] = cnt + 1;
      loop_iter_start_[d] = pos;
      n = nodes + n->alt;
      VB_DISPATCH();
    }
    if (n->lazy && cnt < n->max) {
      st.push({Tag(kLoopBody, static_cast<uint32_t>(n - nodes)), 0, pos});
    }
    st.push({kUndoDepth, static_cast<uint32_t>(d), nullptr});
    loop_depth_ = d - 1;
    n = nodes + n->next;
    VB_DISPATCH();
  }

h_missing:
  RaisePatternError(kErrCorruptedPointers, 0);

h_bad_kind:
  RaisePatternError(kErrMemoryCorruption, 0);

fail:
  // Undo back to the latest choice point and resume there.
  for (;;) {
    if (st.empty()) {
      budget_ = budget;
      return false;
    }
    StackEntry e = st.back();
    st.pop();
    uint32_t payload = e.tag >> 4;
    switch (static_cast<EntryKind>(e.tag & 15)) {
      case kUndoGroupStart:
        group_start_[payload] = e.pos;
        continue;
      case kUndoGroupEnd:
        group_end_[payload] = e.pos;
        continue;
      case kUndoLoopEnter:
        loop_counter_[payload] = static_cast<int32_t>(e.aux);
        loop_iter_start_[payload] = e.pos;
        loop_depth_ = static_cast<int32_t>(payload) - 1;
        continue;
      case kUndoCounter:
        loop_counter_[payload] = static_cast<int32_t>(e.aux);
        loop_iter_start_[payload] = e.pos;
        continue;
      case kUndoDepth:
        loop_depth_ = static_cast<int32_t>(e.aux);
        continue;
      case kUndoReg:
        loop_reg_[payload] = e.aux;
        continue;
      case kRepBound:
        continue;
      case kBranchAlt: {
        const XNode* b = nodes + payload;
        uint32_t i = e.aux;
        pos = e.pos;
        if (static_cast<int32_t>(i) + 1 < b->count) st.push({e.tag, i + 1, e.pos});
        n = nodes + alts_[b->alt + static_cast<int32_t>(i)];
        break;
      }
      case kStarAlt: {
        // Out of the loop after its last iteration failed: the register names
        // the iteration before again, then the exit is taken.
        const XNode* h = nodes + payload;
        loop_reg_[h->loop] = e.aux;
        pos = e.pos;
        n = nodes + h->alt2;
        break;
      }
      case kPlusAlt: {
        // Leaving the loop: the register names no iteration, so that entering
        // the loop again starts afresh; the undo record gives the earlier
        // iteration back to a failure that backtracks into it.
        const XNode* h = nodes + payload;
        st.push({Tag(kUndoReg, h->loop), e.aux, nullptr});
        loop_reg_[h->loop] = kNoEntry;
        pos = e.pos;
        n = nodes + h->alt2;
        break;
      }
      case kRepGreedy:
      case kRepLazy: {
        // The next count: one repetition less (greedy) or more (lazy),
        // skipping counts the literal filter rules out. The entry goes back
        // while counts remain; the bound goes with the last one.
        const XNode* r = nodes + payload;
        const uint8_t* bound = st.back().pos;
        size_t step = 1;
        if (r->rep_kind == kRepBackRef || r->rep_kind == kRepBackRefCI) {
          const uint8_t* s = group_start_[r->group];
          const uint8_t* t = group_end_[r->group];
          step = (s && t && t > s) ? static_cast<size_t>(t - s) : 1;
        }
        const uint8_t* c = e.pos;
        bool found = false;
        if ((e.tag & 15) == kRepGreedy) {
          while (static_cast<size_t>(c - bound) >= step) {
            c -= step;
            if (!r->has_filter || *c == r->filter1 || *c == r->filter2) {
              found = true;
              break;
            }
          }
          if (found && c > bound) {
            st.push({e.tag, 0, c});
          } else {
            st.pop();  // the bound
          }
        } else {
          while (static_cast<size_t>(bound - c) >= step) {
            c += step;
            if (!r->has_filter || *c == r->filter1 || *c == r->filter2) {
              found = true;
              break;
            }
          }
          if (found && c < bound) {
            st.push({e.tag, 0, c});
          } else {
            st.pop();  // the bound
          }
        }
        if (!found) continue;
        pos = c;
        n = nodes + r->next;
        break;
      }
      case kLoopExit: {
        // The body of a greedy counted loop failed: leave the loop here.
        const XNode* l = nodes + payload;
        int32_t d = loop_depth_;
        pos = e.pos;
        st.push({kUndoDepth, static_cast<uint32_t>(d), nullptr});
        loop_depth_ = d - 1;
        n = nodes + l->next;
        break;
      }
      case kLoopBody: {
        // The continuation of a lazy counted loop failed: one more pass.
        const XNode* l = nodes + payload;
        int32_t d = loop_depth_;
        pos = e.pos;
        st.push({Tag(kUndoCounter, static_cast<uint32_t>(d)),
                 static_cast<uint32_t>(loop_counter_[d]), loop_iter_start_[d]});
        loop_counter_[d] += 1;
        loop_iter_start_[d] = pos;
        n = nodes + l->alt;
        break;
      }
    }
    // Every path that gets here resumes at a choice point: that is what the
    // budget counts, so a match that never backtracks never pays for it.
    if (budget == 0) {
      budget_ = 0;
      RaisePatternError(kErrBacktrackLimit, 0);
    }
    --budget;
    VB_DISPATCH();
  }
#undef VB_DISPATCH
}

}  // namespace vellora::regex
