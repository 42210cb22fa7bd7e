// Template expansion and replace-all.

#include <cstring>

#include "regex/pattern_core.h"
#include "regex/pattern_errors.h"

namespace vellora::regex {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A reference after the "$" at templ[at]: "&", digits, "{&}" or "{digits}".
// Returns the group (any number of 15 or more stands for no group) and sets
// *after, or returns -1 when the "$" is not a reference.
int ParseReference(std::string_view templ, size_t at, size_t* after) {
  size_t p = at + 1;
  size_t n = templ.size();
  bool delimited = p < n && templ[p] == '{';
  if (delimited) ++p;
  int group = -1;
  if (p < n && templ[p] == '&') {
    group = 0;
    ++p;
  } else {
    size_t digits = p;
    int value = 0;
    while (p < n && IsDigit(templ[p])) {
      value = value * 10 + (templ[p] - '0');
      if (value > 1000000) value = 1000000;  // far beyond the last group
      ++p;
    }
    if (p > digits) group = value;
  }
  if (group >= 0 && delimited) {
    if (p < n && templ[p] == '}') {
      ++p;
    } else {
      group = -1;
    }
  }
  if (group >= 0) *after = p;
  return group;
}

}  // namespace

ParsedTemplate ParseTemplate(std::string_view templ) {
  ParsedTemplate parsed;
  size_t literal_start = 0;
  auto close_literal = [&]() {
    if (parsed.text.size() > literal_start) {
      parsed.pieces.push_back({-1, literal_start, parsed.text.size() - literal_start});
    }
    literal_start = parsed.text.size();
  };
  size_t i = 0;
  while (i < templ.size()) {
    char c = templ[i];
    if (c == '$') {
      size_t after = 0;
      int group = ParseReference(templ, i, &after);
      if (group >= 0) {
        close_literal();
        if (group < kGroupSlots) parsed.pieces.push_back({group, 0, 0});
        parsed.has_refs = true;
        i = after;
        continue;
      }
    } else if (c == '\\' && i + 1 < templ.size()) {
      parsed.text += templ[i + 1];
      i += 2;
      continue;
    }
    parsed.text += c;
    ++i;
  }
  close_literal();
  return parsed;
}

void AppendExpansion(const ParsedTemplate& parsed, const Matcher& matcher, std::string* out) {
  for (const ParsedTemplate::Piece& piece : parsed.pieces) {
    if (piece.group < 0) {
      out->append(parsed.text, piece.offset, piece.length);
      continue;
    }
    const uint8_t* s = matcher.group_start(piece.group);
    const uint8_t* e = matcher.group_end(piece.group);
    if (s != nullptr && e != nullptr && e > s) {
      out->append(reinterpret_cast<const char*>(s), static_cast<size_t>(e - s));
    }
  }
}

std::string EngineCore::ExpandTemplate(std::string_view templ) {
  EnsureProgram();
  if (!has_input) Raise(kErrNoInput);
  std::string out;
  if (templ.empty()) return out;
  AppendExpansion(ParseTemplate(templ), matcher, &out);
  return out;
}

void EngineCore::ReplaceAllTo(std::string_view text, std::string_view templ, bool use_template,
                              std::string* out) {
  StoreInput(text);
  matcher.ClearSlots();
  EnsureProgram();

  ParsedTemplate parsed;
  std::string_view constant = templ;  // the replacement when it needs no match
  bool expand = false;
  if (use_template) {
    parsed = ParseTemplate(templ);
    expand = parsed.has_refs;
    if (!expand) constant = parsed.text;
  }
  // An empty match replaced by nothing changes nothing: skip it.
  bool skip_empty = !expand && constant.empty();
  int groups = plan.group_count();

  const uint8_t* begin = matcher.begin();
  const uint8_t* end = matcher.end();
  const uint8_t* from = begin;    // the input up to here is in out
  const uint8_t* search = begin;  // the next search starts here
  out->reserve(out->size() + text.size() + text.size() / 16 + 16);
  if (!expand && plan.shape() == kShapeChar && constant.size() <= 1) {
    // One character per match, replaced by at most one: a byte filter (no
    // replacement) or a byte translation (one character), without branches.
    const uint8_t* t = plan.shape_table();
    size_t base = out->size();
    out->resize(base + static_cast<size_t>(end - begin));
    uint8_t* o = reinterpret_cast<uint8_t*>(out->data()) + base;
    if (constant.empty()) {
      for (const uint8_t* p = begin; p < end; ++p) {
        uint8_t c = *p;
        *o = c;
        o += !t[c];
      }
    } else {
      uint8_t map[256];
      for (int c = 0; c < 256; ++c) {
        map[c] = t[c] ? static_cast<uint8_t>(constant[0]) : static_cast<uint8_t>(c);
      }
      for (const uint8_t* p = begin; p < end; ++p) *o++ = map[*p];
    }
    out->resize(static_cast<size_t>(o - reinterpret_cast<uint8_t*>(out->data())));
    from = end;
    search = end + 1;
  } else if (!expand && plan.shape() == kShapeRun && constant.size() <= 1 &&
             (plan.shape_min() == 1 || plan.shape_min() == 2) &&
             plan.shape_max() >= static_cast<size_t>(end - begin)) {
    // Every maximal run of at least shape_min characters of the set is one
    // match: each becomes the replacement, other characters stay.
    const uint8_t* t = plan.shape_table();
    // Plain 0/1 arithmetic keeps the loop free of branches (tables hold 0 or 1).
    const unsigned one_enough = plan.shape_min() == 1 ? 1u : 0u;
    const unsigned has_r = constant.empty() ? 0u : 1u;
    const unsigned r = has_r ? static_cast<uint8_t>(constant[0]) : 0u;
    size_t base = out->size();
    out->resize(base + static_cast<size_t>(end - begin));
    uint8_t* o = reinterpret_cast<uint8_t*>(out->data()) + base;
    unsigned prev = 0;
    for (const uint8_t* p = begin; p < end; ++p) {
      unsigned c = p[0];
      unsigned in = t[c];
      unsigned next_in = t[p[1]];  // the final 0 is never in the set
      unsigned run = in & (one_enough | prev | next_in);  // c is part of a match
      unsigned first = run & (prev ^ 1u);                 // ... and begins it
      unsigned mask = 0u - run;
      *o = static_cast<uint8_t>((r & mask) | (c & ~mask));
      o += (run ^ 1u) | (first & has_r);
      prev = in;
    }
    out->resize(static_cast<size_t>(o - reinterpret_cast<uint8_t*>(out->data())));
    from = end;
    search = end + 1;
  } else if (!expand && plan.shape() == kShapeChar) {
    // Every character of the set is a match of its own: one pass.
    uint8_t stop[256];
    std::memcpy(stop, plan.shape_table(), sizeof stop);
    stop[0] = 1;
    for (const uint8_t* p = begin;; ++p) {
      p = SkipTo(p, stop);
      if (p == end) break;
      out->append(reinterpret_cast<const char*>(from), static_cast<size_t>(p - from));
      out->append(constant);
      from = p + 1;
    }
    search = end + 1;
  }
  while (search <= end && matcher.Search(search)) {
    const uint8_t* ms = matcher.group_start(0);
    const uint8_t* me = matcher.group_end(0);
    if (!(skip_empty && ms == me)) {
      out->append(reinterpret_cast<const char*>(from), static_cast<size_t>(ms - from));
      if (expand) {
        AppendExpansion(parsed, matcher, out);
      } else {
        out->append(constant);
      }
      from = me;
    }
    search = me == ms ? me + 1 : me;
    matcher.ClearSlots(groups);
  }
  matcher.ClearSlots();
  size_t done = static_cast<size_t>(from - begin);
  out->append(text.data() + done, text.size() - done);
  matcher.TrimStack();
}

}  // namespace vellora::regex
