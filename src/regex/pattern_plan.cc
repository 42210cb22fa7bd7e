// Decoding a byte program into the matcher's plan. Entry point:
// Plan::Build(compiled, inverse), run once per compile; the matcher then
// reads only the plan (and the literal texts, which stay in the program:
// see the lifetime rule in pattern_plan.h).
//
// Every node reachable from byte 1 becomes an execution node; the nodes that
// only pass control on (opEmpty, opComment, a branch with one alternative,
// the jump back of a greedy "+") are resolved away into the links. The two
// greedy complex loops that the compiler builds from branches and opBack
// nodes are recognised here, so that the matcher can tell where an iteration
// begins and stop one that consumed nothing.
//
// Every read is checked against the program's size; a link that leads
// nowhere becomes an xMissing node (error 1002 when reached) and an unknown
// kind an xBadKind node (error 1001 when reached).

#include "regex/pattern_plan.h"

#include <cstring>

namespace vellora::regex {
namespace {

// The role of an opBack node, found before the nodes are built: the jump
// back of a greedy complex "*" stays a node (it ends an iteration), that of
// a "+" is resolved away (its branch head does the work), and any other is
// only followed.
constexpr int32_t kBackStray = 0;
constexpr int32_t kBackStar = 1;
constexpr int32_t kBackPlus = 2;

// The execution node of a node kind that tests one position and has no
// operand.
XOp PlainOp(uint8_t kind) {
  // clang-format off
  switch (kind) {
    case opInputStart:      return xInputStart;
    case opInputEnd:        return xInputEnd;
    case opLineStart:       return xLineStart;
    case opLineEnd:         return xLineEnd;
    case opWordBoundary:    return xWordBoundary;
    case opNotWordBoundary: return xNotWordBoundary;
    default:                return xAnyNoBreak;
  }
  // clang-format on
}

}  // namespace

const uint8_t* Plan::NewTable(const std::array<uint8_t, 256>& table) {
  tables_.push_back(table);
  tables_.back()[0] = 0;  // the end of the input never matches a character
  return tables_.back().data();
}

// The table of a one-character node, or false when the node is not one.
// A repeated literal counts its first character only.
bool Plan::CharTable(size_t offset, std::array<uint8_t, 256>* table, bool repeated) {
  table->fill(0);
  uint8_t kind = prog_[offset];
  const uint8_t* operand = prog_ + offset + kNodeHeader;
  size_t room = size_ - offset - kNodeHeader;
  switch (kind) {
    case opAnyChar:
      table->fill(1);
      return true;
    case opDigit:
      for (int c = '0'; c <= '9'; ++c) (*table)[c] = 1;
      return true;
    case opNotDigit:
      table->fill(1);
      for (int c = '0'; c <= '9'; ++c) (*table)[c] = 0;
      return true;
    case opTinySet:
    case opNotTinySet:
      if (room < kTinySetBytes) return false;
      if (kind == opNotTinySet) table->fill(1);
      for (size_t i = 0; i < kTinySetBytes; ++i) (*table)[operand[i]] = kind == opTinySet;
      return true;
    case opFullSet:
      if (room < kFullSetBytes) return false;
      for (int c = 0; c < 256; ++c) (*table)[c] = (operand[c >> 3] >> (c & 7)) & 1;
      return true;
    case opLiteral:
    case opLiteralCI: {
      if (room < 1) return false;
      if (!repeated && (room < 2 || operand[0] == 0 || operand[1] != 0)) return false;
      uint8_t c = operand[0];
      (*table)[c] = 1;
      if (kind == opLiteralCI) (*table)[inverse_[c]] = 1;
      return true;
    }
    default:
      return false;
  }
}

// The execution node for the node at offset (created on first use; filled by
// the work loop in Build).
int32_t Plan::NodeFor(size_t offset) {
  if (index_of_[offset] >= 0) return index_of_[offset];
  int32_t index = static_cast<int32_t>(nodes_.size());
  nodes_.emplace_back();
  offset_of_.push_back(offset);
  index_of_[offset] = index;
  return index;
}

// The first node at or after offset that does work.
int32_t Plan::Resolve(size_t offset) {
  for (size_t steps = 0; steps <= size_; ++steps) {
    if (offset < 1 || offset + kNodeHeader > size_) return 0;  // node 0 is xMissing
    uint8_t kind = prog_[offset];
    int32_t off = ReadInt32(prog_ + offset + 1);
    int64_t next = off == 0 ? -1 : static_cast<int64_t>(offset) + off;
    bool next_ok =
        next >= 1 && next + static_cast<int64_t>(kNodeHeader) <= static_cast<int64_t>(size_);
    if (kind == opEmpty || kind == opComment) {
      if (!next_ok) return 0;
      offset = static_cast<size_t>(next);
    } else if (kind == opBranch && (!next_ok || prog_[next] != opBranch)) {
      offset += kNodeHeader;
    } else if (kind == opBack && back_kind_[offset] != kBackStar) {
      if (!next_ok) return 0;
      offset = static_cast<size_t>(next);
    } else {
      return NodeFor(offset);
    }
  }
  return 0;
}

void Plan::Build(const CompiledPattern& compiled, const uint8_t* inverse) {
  prog_ = compiled.program.data();
  size_ = compiled.program.size();
  inverse_ = inverse;
  nodes_.clear();
  alts_.clear();
  tables_.clear();
  index_of_.assign(size_, -1);
  reachable_.assign(size_, 0);
  back_kind_.assign(size_, kBackStray);
  group_count_ = compiled.group_count;
  loop_count_ = 0;

  auto header_ok = [this](int64_t offset) {
    return offset >= 1 && offset + static_cast<int64_t>(kNodeHeader) <= static_cast<int64_t>(size_);
  };
  auto next_of = [this, &header_ok](size_t offset) -> int64_t {
    int32_t off = ReadInt32(prog_ + offset + 1);
    if (off == 0) return -1;
    int64_t next = static_cast<int64_t>(offset) + off;
    return header_ok(next) ? next : -1;
  };
  // The branches of the chain that starts at a branch.
  auto chain_length = [this, &next_of](size_t branch) {
    int n = 0;
    for (int64_t b = static_cast<int64_t>(branch); b >= 0 && prog_[b] == opBranch && n <= 2;
         b = next_of(static_cast<size_t>(b))) {
      ++n;
    }
    return n;
  };

  // Pass 1: the reachable nodes. Only these are decoded, so bytes that no
  // link reaches (a damaged program) are never read as nodes.
  std::vector<size_t> work;
  if (size_ > kNodeHeader) work.push_back(1);
  while (!work.empty()) {
    size_t offset = work.back();
    work.pop_back();
    if (!header_ok(static_cast<int64_t>(offset)) || reachable_[offset]) continue;
    reachable_[offset] = 1;
    uint8_t kind = prog_[offset];
    if (kind == opEnd) continue;
    int64_t next = next_of(offset);
    if (next >= 0) work.push_back(static_cast<size_t>(next));
    if (kind == opBranch) work.push_back(offset + kNodeHeader);
    if ((kind == opLoop || kind == opLoopLazy) && offset + kLoopNodeSize <= size_) {
      int64_t body = static_cast<int64_t>(offset) + ReadInt32(prog_ + offset + 13);
      if (header_ok(body)) work.push_back(static_cast<size_t>(body));
    }
  }

  // The greedy complex loops. x* is a two-way branch H whose first
  // alternative is x followed by an opBack to H; x+ is x followed by a two-way
  // branch H whose first alternative is an opBack to x.
  std::vector<int32_t> head_loop(size_, -1);
  std::vector<uint8_t> head_is_plus(size_, 0);
  for (size_t offset = 1; offset < size_; ++offset) {
    if (!reachable_[offset] || prog_[offset] != opBack) continue;
    int64_t target = next_of(offset);
    if (target < 0) continue;
    size_t branch = offset - kNodeHeader;
    if (offset > kNodeHeader && reachable_[branch] && prog_[branch] == opBranch &&
        chain_length(branch) == 2 && target < static_cast<int64_t>(branch) &&
        head_loop[branch] < 0) {
      back_kind_[offset] = kBackPlus;
      head_loop[branch] = static_cast<int32_t>(loop_count_++);
      head_is_plus[branch] = 1;
    } else if (reachable_[target] && prog_[target] == opBranch &&
               chain_length(static_cast<size_t>(target)) == 2 &&
               target < static_cast<int64_t>(offset) && head_loop[target] < 0) {
      back_kind_[offset] = kBackStar;
      head_loop[target] = static_cast<int32_t>(loop_count_++);
    }
  }

  // Pass 2: the execution nodes. Node 0 stands for every missing link, so a
  // broken chain becomes error 1002 when reached instead of a wild read.
  nodes_.emplace_back();
  nodes_[0].op = xMissing;
  nodes_[0].next = 0;
  offset_of_.assign(1, 0);
  entry_ = Resolve(1);
  // Fill the nodes in creation order; filling creates the nodes it links to.
  for (size_t i = 1; i < nodes_.size(); ++i) {
    size_t offset = offset_of_[i];
    XNode x;
    uint8_t kind = prog_[offset];
    const uint8_t* operand = prog_ + offset + kNodeHeader;
    size_t room = size_ - offset - kNodeHeader;
    int64_t next = next_of(offset);
    auto link_next = [&]() { return next >= 0 ? Resolve(static_cast<size_t>(next)) : 0; };
    std::array<uint8_t, 256> table;
    switch (kind) {
      case opEnd:
        x.op = xEnd;
        break;
      case opInputStart:
      case opInputEnd:
      case opLineStart:
      case opLineEnd:
      case opWordBoundary:
      case opNotWordBoundary:
      case opAnyNoBreak:
        x.op = PlainOp(kind);
        x.next = link_next();
        break;
      case opAnyChar:
      case opDigit:
      case opNotDigit:
      case opTinySet:
      case opNotTinySet:
      case opFullSet:
        if (!CharTable(offset, &table, false)) {
          x.op = xMissing;
          break;
        }
        x.op = xChar;
        x.table = NewTable(table);
        x.next = link_next();
        break;
      case opLiteral:
      case opLiteralCI: {
        const void* nul = std::memchr(operand, 0, room);
        if (nul == nullptr) {
          x.op = xMissing;
          break;
        }
        size_t len = static_cast<const uint8_t*>(nul) - operand;
        x.next = link_next();
        if (len == 0) {
          x.op = xInputEnd;  // an empty text matches only where the input's 0 is
        } else if (len == 1) {
          CharTable(offset, &table, false);
          x.op = xChar;
          x.table = NewTable(table);
        } else {
          x.op = kind == opLiteral ? xLiteral : xLiteralCI;
          x.text = operand;
          x.len = static_cast<uint32_t>(len);
        }
        break;
      }
      case opBackRef:
      case opBackRefCI:
        if (room < 1) {
          x.op = xMissing;
          break;
        }
        x.op = kind == opBackRef ? xBackRef : xBackRefCI;
        x.group = operand[0] < kGroupSlots ? operand[0] : 0;  // slot 0 is unset while matching
        x.next = link_next();
        break;
      case opBranch: {
        std::vector<int32_t> alts;
        for (int64_t b = static_cast<int64_t>(offset); b >= 0 && prog_[b] == opBranch;
             b = next_of(static_cast<size_t>(b))) {
          alts.push_back(Resolve(static_cast<size_t>(b) + kNodeHeader));
          if (alts.size() > size_) break;
        }
        if (head_loop[offset] >= 0) {
          x.op = head_is_plus[offset] ? xPlusHead : xStarHead;
          x.loop = static_cast<uint32_t>(head_loop[offset]);
          x.alt = alts[0];
          x.alt2 = alts[1];
        } else {
          x.op = xBranch;
          x.alt = static_cast<int32_t>(alts_.size());
          x.count = static_cast<int32_t>(alts.size());
          alts_.insert(alts_.end(), alts.begin(), alts.end());
        }
        break;
      }
      case opBack: {
        // Only the jump back of a greedy "*" stays a node.
        x.op = xStarBack;
        int64_t head = next_of(offset);
        if (head < 0 || head_loop[head] < 0) {
          x.op = xMissing;
          break;
        }
        x.loop = static_cast<uint32_t>(head_loop[head]);
        x.next = NodeFor(static_cast<size_t>(head));
        break;
      }
      case opStar:
      case opPlus:
      case opStarLazy:
      case opPlusLazy:
      case opBraces:
      case opBracesLazy: {
        bool braces = kind == opBraces || kind == opBracesLazy;
        size_t header = braces ? kBracesHeader : kNodeHeader;
        if (offset + header + kNodeHeader > size_) {
          x.op = xMissing;
          break;
        }
        x.op = xRep;
        x.lazy = kind == opStarLazy || kind == opPlusLazy || kind == opBracesLazy;
        x.min = braces ? ReadInt32(operand) : (kind == opStar || kind == opStarLazy ? 0 : 1);
        x.max = braces ? ReadInt32(operand + 4) : kStarMax;
        size_t repeated = offset + header;
        uint8_t rkind = prog_[repeated];
        if (rkind == opAnyChar) {
          x.rep_kind = kRepAny;
        } else if (rkind == opBackRef || rkind == opBackRefCI) {
          x.rep_kind = rkind == opBackRef ? kRepBackRef : kRepBackRefCI;
          uint8_t g = repeated + kNodeHeader < size_ ? prog_[repeated + kNodeHeader] : 0;
          x.group = g < kGroupSlots ? g : 0;
        } else if (CharTable(repeated, &table, true)) {
          x.rep_kind = kRepTable;
          x.table = NewTable(table);
        } else {
          x.rep_kind = kRepBad;
        }
        // The first character of a literal that follows filters the tries.
        if (next >= 0) {
          uint8_t nkind = prog_[next];
          if ((nkind == opLiteral || nkind == opLiteralCI) &&
              static_cast<size_t>(next) + kNodeHeader < size_) {
            uint8_t c = prog_[next + kNodeHeader];
            x.has_filter = 1;
            x.filter1 = c;
            x.filter2 = nkind == opLiteralCI ? inverse_[c] : c;
          }
        }
        x.next = link_next();
        break;
      }
      case opLoopEntry:
        x.op = xLoopEntry;
        x.next = link_next();
        break;
      case opLoop:
      case opLoopLazy: {
        if (offset + kLoopNodeSize > size_) {
          x.op = xMissing;
          break;
        }
        x.op = xLoop;
        x.lazy = kind == opLoopLazy;
        x.min = ReadInt32(operand);
        x.max = ReadInt32(operand + 4);
        int64_t body = static_cast<int64_t>(offset) + ReadInt32(operand + 8);
        x.alt = header_ok(body) ? Resolve(static_cast<size_t>(body)) : 0;
        x.next = link_next();
        break;
      }
      default:
        if (IsOpenKind(kind)) {
          x.op = xOpen;
          x.group = static_cast<uint8_t>(kind - opOpen);
          x.next = link_next();
        } else if (IsCloseKind(kind)) {
          x.op = xClose;
          x.group = static_cast<uint8_t>(kind - opClose);
          x.next = link_next();
        } else {
          x.op = xBadKind;
        }
        break;
    }
    if (x.next < 0) x.next = 0;
    if (x.alt < 0 && (x.op == xStarHead || x.op == xPlusHead || x.op == xLoop)) x.alt = 0;
    if (x.alt2 < 0) x.alt2 = 0;
    nodes_[i] = x;
  }

  // Search facts. The stop table adds the input's final 0 so that a scan
  // for a possible start always halts at the end of the input.
  for (int c = 0; c < 256; ++c) first_table_[c] = compiled.first_chars.Has(static_cast<uint8_t>(c));
  stop_table_ = first_table_;
  stop_table_[0] = 1;
  start_char_ = compiled.start_char;
  anchored_ = compiled.anchored != 0;
  required_ = compiled.required_length ? prog_ + compiled.required_offset : nullptr;
  required_length_ = compiled.required_length;
  const XNode& e = nodes_[entry_];
  entry_boundary_ = e.op == xWordBoundary;
  second_table_ = (e.op == xRep && e.rep_kind == kRepTable && e.min >= 2) ? e.table : nullptr;

  // Simple shapes: programs whose every try the search can decide without
  // the matcher. Each is recognised only in the exact form for which the
  // direct test gives the matcher's result.
  shape_ = kShapeNone;
  const XNode& after = nodes_[e.next];
  if (e.op == xChar && after.op == xEnd) {
    shape_ = kShapeChar;
    shape_table_ = e.table;
  } else if (e.op == xRep && !e.lazy && e.rep_kind == kRepTable && after.op == xEnd) {
    shape_ = kShapeRun;
    shape_table_ = e.table;
    shape_min_ = static_cast<size_t>(e.min < 0 ? 0 : e.min);
    shape_max_ = static_cast<size_t>(e.max < 0 ? 0 : e.max);
  } else if (e.op == xChar && after.op == xRep && after.lazy && after.rep_kind == kRepAny &&
             after.has_filter && after.filter1 == after.filter2 && after.filter1 != 0) {
    const XNode& close = nodes_[after.next];
    uint8_t f = after.filter1;
    bool only_f = close.op == xChar && close.table[f];
    for (int c = 0; c < 256 && only_f; ++c) only_f = c == f || !close.table[c];
    if (only_f && nodes_[close.next].op == xEnd) {
      shape_ = kShapeDelimited;
      shape_table_ = e.table;
      shape_min_ = static_cast<size_t>(after.min < 0 ? 0 : after.min);
      shape_max_ = static_cast<size_t>(after.max < 0 ? 0 : after.max);
      shape_close_ = f;
    }
  }
}

}  // namespace vellora::regex
