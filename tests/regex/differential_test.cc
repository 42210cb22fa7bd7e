// Randomised differential test: the engine against std::regex in ECMAScript
// mode, on the syntax both share, with a fixed seed so that a failure
// reproduces. Every successive match (the engine's Exec / ExecNext against a
// std::regex_search loop with the same restart rule) is compared by position
// and length, and so are the groups that no quantifier repeats (ECMAScript
// clears captures at each iteration, this engine keeps the last one).
//
// Shared syntax: literals, ".", classes, \d \D \w \W \s \S, groups,
// alternation, ^ $ \b \B, and the greedy and lazy quantifiers * + ? {n}
// {n,m} {n,}. Not generated: back-references (ECMAScript matches an unset
// group as empty), and a quantified group that can match the empty string
// (the engines differ on whether such an iteration counts).

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

#include "regex/pattern_engine.h"

namespace vellora {
namespace {

struct Generator {
  std::mt19937 rng;
  bool icase = false;
  int groups = 0;
  std::vector<bool> group_repeated;  // by group number - 1

  explicit Generator(uint32_t seed) : rng(seed) {}

  int Pick(int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); }

  std::string Literal() {
    const char* letters = icase ? "abAB" : "abc";
    return std::string(1, letters[Pick(icase ? 4 : 3)]);
  }

  std::string Class() {
    static const char* const kClasses[] = {"[ab]",   "[^a]",   "[a-c]",  "[^ b]", "[a1_]",
                                           "[b-c1]", "[^\\d]", "[\\w ]", "[a\\s]"};
    static const char* const kEscapes[] = {"\\d", "\\D", "\\w", "\\W", "\\s", "\\S"};
    if (Pick(2)) return kClasses[Pick(std::size(kClasses))];
    return kEscapes[Pick(std::size(kEscapes))];
  }

  // A quantifier; inside a repeated group no minimum of 0 on braces, so that
  // no repeated group can match the empty string while counting as wide.
  std::string Quantifier(bool in_repeat) {
    std::string q;
    int lo = in_repeat ? 1 : 0;
    switch (Pick(6)) {
      case 0:
        q = "*";
        break;
      case 1:
        q = "+";
        break;
      case 2:
        q = "?";
        break;
      case 3:
        q = "{" + std::to_string(lo + Pick(3)) + "}";
        break;
      case 4: {
        int n = lo + Pick(2);
        q = "{" + std::to_string(n) + "," + std::to_string(n + Pick(3)) + "}";
        break;
      }
      default:
        q = "{" + std::to_string(lo + Pick(2)) + ",}";
        break;
    }
    if (Pick(3) == 0) q += "?";
    return q;
  }

  std::string Piece(int depth, bool in_repeat) {
    int r = Pick(100);
    if (r < 8) {
      static const char* const kAnchors[] = {"^", "$", "\\b", "\\B"};
      return kAnchors[Pick(4)];
    }
    bool quantified = Pick(100) < 40;
    bool inner_repeat = in_repeat || quantified;
    std::string atom;
    if (r < 45) {
      atom = Literal();
    } else if (r < 55) {
      atom = ".";
    } else if (r < 80 || depth >= 3 || groups >= 9) {
      atom = Class();
    } else {
      int number = ++groups;
      group_repeated.push_back(inner_repeat);
      atom = "(" + Alternation(depth + 1, inner_repeat) + ")";
      (void)number;
    }
    if (quantified) atom += Quantifier(in_repeat || atom[0] == '(');
    return atom;
  }

  std::string Sequence(int depth, bool in_repeat) {
    std::string s;
    int pieces = 1 + Pick(depth == 0 ? 4 : 3);
    for (int i = 0; i < pieces; ++i) s += Piece(depth, in_repeat);
    return s;
  }

  std::string Alternation(int depth, bool in_repeat) {
    std::string s = Sequence(depth, in_repeat);
    while (Pick(4) == 0) s += "|" + Sequence(depth, in_repeat);
    return s;
  }

  std::string Input(bool line_breaks) {
    std::string alphabet = "aab c1_b";
    if (icase) alphabet += "AB";
    if (line_breaks) alphabet += "\n\r";
    std::string s;
    int n = Pick(11);
    for (int i = 0; i < n; ++i) s += alphabet[Pick(static_cast<int>(alphabet.size()))];
    return s;
  }
};

struct Found {
  std::vector<int> spans;  // offset, length of slot 0 and of the compared groups
  bool operator==(const Found& o) const { return spans == o.spans; }
};

std::string Show(const std::vector<Found>& list) {
  std::string s;
  for (const Found& f : list) {
    s += "(";
    for (int v : f.spans) s += std::to_string(v) + " ";
    s += ")";
  }
  return s;
}

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  return out;
}

TEST(PatternDifferential, AgreesWithEcmaScriptOnTheSharedSyntax) {
#if defined(__SANITIZE_ADDRESS__)
  constexpr int kPatterns = 2000;  // about 20 s in the sanitizer build
#else
  constexpr int kPatterns = 10000;
#endif
  constexpr int kInputsPerPattern = 6;
  int compared_patterns = 0;
  int compared_inputs = 0;
  int nonempty_matches = 0;
  for (int index = 0; index < kPatterns; ++index) {
    Generator gen(0xC0FFEEu + static_cast<uint32_t>(index));
    gen.icase = gen.Pick(5) == 0;
    bool dot_all = gen.Pick(2) == 0;
    std::string pattern = gen.Alternation(0, false);

    TPatternEngine engine;
    uint32_t mods =
        kModifierR | kModifierG | (dot_all ? kModifierS : 0) | (gen.icase ? kModifierI : 0);
    engine.SetModifiers(mods);
    engine.SetExpression(pattern);
    try {
      engine.Compile();
    } catch (const EPatternError&) {
      continue;  // e.g. "(a?)*": this engine refuses an empty operand
    }
    std::regex reference;
    try {
      auto flags =
          std::regex::ECMAScript | (gen.icase ? std::regex::icase : std::regex::flag_type{});
      reference = std::regex(pattern, flags);
    } catch (const std::regex_error&) {
      continue;
    }
    ++compared_patterns;

    for (int k = 0; k < kInputsPerPattern; ++k) {
      // With s on, "." takes line breaks here but not in ECMAScript.
      std::string input = gen.Input(!dot_all);
      std::vector<Found> ours;
      for (bool found = engine.Exec(input); found; found = engine.ExecNext()) {
        Found f;
        f.spans = {engine.MatchOffset(0) - 1, engine.MatchLength(0)};
        for (int g = 1; g <= gen.groups; ++g) {
          if (gen.group_repeated[g - 1]) continue;
          f.spans.push_back(engine.MatchOffset(g) < 0 ? -1 : engine.MatchOffset(g) - 1);
          f.spans.push_back(engine.MatchLength(g));
        }
        ours.push_back(f);
        if (ours.size() > 50) break;
      }
      std::vector<Found> theirs;
      size_t pos = 0;
      while (pos <= input.size()) {
        std::smatch m;
        auto flags =
            pos > 0 ? std::regex_constants::match_prev_avail : std::regex_constants::match_default;
        if (!std::regex_search(input.cbegin() + static_cast<std::ptrdiff_t>(pos), input.cend(), m,
                               reference, flags)) {
          break;
        }
        Found f;
        int start = static_cast<int>(pos + static_cast<size_t>(m.position(0)));
        int length = static_cast<int>(m.length(0));
        f.spans = {start, length};
        for (int g = 1; g <= gen.groups; ++g) {
          if (gen.group_repeated[g - 1]) continue;
          if (m[g].matched) {
            f.spans.push_back(static_cast<int>(pos + static_cast<size_t>(m.position(g))));
            f.spans.push_back(static_cast<int>(m.length(g)));
          } else {
            f.spans.push_back(-1);
            f.spans.push_back(-1);
          }
        }
        theirs.push_back(f);
        if (theirs.size() > 50) break;
        pos = static_cast<size_t>(start + length) + (length == 0 ? 1 : 0);
        if (length > 0) nonempty_matches++;
      }
      ++compared_inputs;
      ASSERT_EQ(Show(ours), Show(theirs)) << "pattern #" << index << " /" << pattern << "/ mods "
                                          << mods << " input \"" << Escape(input) << "\"";
    }
  }
  // The comparison must have covered most patterns and found real matches.
  EXPECT_GT(compared_patterns, kPatterns * 7 / 10);
  EXPECT_GT(nonempty_matches, compared_inputs / 4);
  std::printf("compared %d patterns, %d inputs, %d non-empty matches\n", compared_patterns,
              compared_inputs, nonempty_matches);
}

}  // namespace
}  // namespace vellora
