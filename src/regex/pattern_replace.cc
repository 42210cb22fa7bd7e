// Template expansion and replace-all. Entry points: EngineCore::ReplaceAllTo
// (behind TPatternEngine::ReplaceAll and ReplacePattern) and
// EngineCore::ExpandTemplate. A template is parsed once into literal pieces
// and group references, so a replace-all over many matches never re-reads
// it. For the plan's simple shapes with a constant replacement the
// replace-all runs a loop of its own; every other case goes through
// Matcher::Search once per match.

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
  // An empty match replaced by nothing changes nothing: skip it (the
  // "\b\d*\b" of the word extraction finds one at nearly every word).
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
    out->resize(base + static_cast<size_t>(end - begin) + 16);  // room for 16-byte stores
    uint8_t* o = reinterpret_cast<uint8_t*>(out->data()) + base;
    unsigned prev = 0;
    const uint8_t* p = begin;
    auto one = [&](const uint8_t* q) {
      unsigned c = q[0];
      unsigned in = t[c];
      unsigned next_in = t[q[1]];                         // the final 0 is never in the set
      unsigned run = in & (one_enough | prev | next_in);  // c is part of a match
      unsigned first = run & (prev ^ 1u);                 // ... and begins it
      unsigned mask = 0u - run;
      *o = static_cast<uint8_t>((r & mask) | (c & ~mask));
      o += (run ^ 1u) | (first & has_r);
      prev = in;
    };
#if defined(__SSE2__)
    // Sets of up to 8 characters: 16 bytes at a time; a block with no byte
    // of a match is copied whole.
    uint8_t members[8];
    int count = 0;
    for (int c = 1; c < 256; ++c) {
      if (t[c]) {
        if (count < 8) members[count] = static_cast<uint8_t>(c);
        ++count;
      }
    }
    if (count >= 1 && count <= 8) {
      __m128i sets[8];
      for (int i = 0; i < count; ++i) sets[i] = _mm_set1_epi8(static_cast<char>(members[i]));
      while (end - p > 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i hit = _mm_cmpeq_epi8(v, sets[0]);
        for (int i = 1; i < count; ++i) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(v, sets[i]));
        unsigned m = static_cast<unsigned>(_mm_movemask_epi8(hit));
        unsigned next = t[p[16]];
        unsigned runs = one_enough ? m : (m & (((m << 1) | prev) | ((m >> 1) | (next << 15))));
        if (runs == 0) {
          _mm_storeu_si128(reinterpret_cast<__m128i*>(o), v);
          o += 16;
          prev = (m >> 15) & 1u;
          p += 16;
          continue;
        }
        // Copy up to the first byte of a match, then take the whole run of
        // set characters one by one.
        unsigned k = static_cast<unsigned>(__builtin_ctz(runs));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o), v);
        o += k;
        if (k > 0) prev = (m >> (k - 1)) & 1u;
        p += k;
        do {
          one(p);
          ++p;
        } while (p < end && t[*p]);
      }
    }
#endif
    for (; p < end; ++p) one(p);
    out->resize(static_cast<size_t>(o - reinterpret_cast<uint8_t*>(out->data())));
    from = end;
    search = end + 1;
  } else if (!expand && plan.shape() == kShapeDelimited &&
             plan.shape_max() >= static_cast<size_t>(end - begin)) {
    // An opening character, then the nearest closing character at least
    // shape_min characters further on. When no closing character follows an
    // opening one, none follows a later one either: the search ends there.
    const uint8_t* open = plan.shape_table();
    const uint8_t* stop = plan.stop_table();
    const uint8_t start_char = plan.start_char();
    const size_t min = plan.shape_min();
    const uint8_t close = plan.shape_close();
    const uint8_t* p = begin;
    for (;;) {
      const uint8_t* q;
      if (start_char != 0) {
        q = static_cast<const uint8_t*>(std::memchr(p, start_char, static_cast<size_t>(end - p)));
        if (q == nullptr) break;
      } else {
        q = SkipTo(p, stop);
        if (q == end) break;
      }
      if (!open[*q]) {
        p = q + 1;
        continue;
      }
      const uint8_t* body = q + 1;
      size_t room = static_cast<size_t>(end - body);
      if (room < min) break;
      const void* c = std::memchr(body + min, close, room - min + 1);
      if (c == nullptr) break;
      out->append(reinterpret_cast<const char*>(from), static_cast<size_t>(q - from));
      out->append(constant);
      from = static_cast<const uint8_t*>(c) + 1;
      p = from;
    }
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
  // The general loop. After an empty match the next search starts one
  // character further on; after any other, where the match ended. All the
  // searches share one budget, so that the many searches of one replace-all
  // cannot add up to more backtracking than one search over the input.
  matcher.StartBudget(backtrack_limit, static_cast<size_t>(end - begin));
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
