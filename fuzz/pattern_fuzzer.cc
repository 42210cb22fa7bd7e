// The pattern engine on untrusted patterns and subjects: a pattern (with
// modifiers and, sometimes, its own word and space characters) is compiled;
// when it compiles, every match of the subject is walked and the subject is
// replaced all over. A search runs on a small backtracking budget, so a
// pattern that backtracks too much ends in error 1016 instead of a hang.
// Properties:
//  - a compile error has a compile error's code (1003 for an empty pattern);
//  - a search ends only in a result, 1014 (too many loops) or 1016 (budget);
//  - every match and group lies inside the subject (up to its first NUL);
//  - replace-all with the empty template removes exactly the matches' bytes;
//  - replace-all with "$&" gives the subject back.
// The subject is searched up to its first NUL; replace-all copies the rest.

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "fuzz_check.h"
#include "regex/pattern_engine.h"

namespace {

using vellora::EPatternError;
using vellora::TPatternEngine;
using vellora::fuzz::Escape;

bool IsRunTimeStop(const EPatternError& e) {
  return e.ErrorCode() == 1014 || e.ErrorCode() == 1016;
}

// The matches of the subject as ExecNext walks them: (1-based offset, length).
std::vector<std::pair<int, int>> Matches(TPatternEngine& engine, const std::string& subject,
                                         size_t length) {
  std::vector<std::pair<int, int>> matches;
  for (bool found = engine.Exec(subject); found; found = engine.ExecNext()) {
    int offset = engine.MatchOffset(0);
    int size = engine.MatchLength(0);
    FUZZ_CHECK(offset >= 1 && size >= 0 && static_cast<size_t>(offset - 1 + size) <= length,
               "match " + std::to_string(offset) + "+" + std::to_string(size));
    for (int group = 1; group < 15; ++group) {
      if (engine.MatchOffset(group) < 0) continue;
      FUZZ_CHECK(engine.MatchOffset(group) >= 1 && engine.MatchLength(group) >= 0 &&
                     static_cast<size_t>(engine.MatchOffset(group) - 1 +
                                         engine.MatchLength(group)) <= length,
                 "group " + std::to_string(group));
    }
    matches.emplace_back(offset, size);
    FUZZ_CHECK(matches.size() <= length + 1, "more matches than positions");
  }
  return matches;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  uint8_t settings = input.ConsumeIntegral<uint8_t>();
  std::string pattern = input.ConsumeRandomLengthString(256);
  std::string templ = input.ConsumeRandomLengthString(64);
  std::string chars = (settings & 0xC0) != 0 ? input.ConsumeRandomLengthString(16) : "";
  std::string subject = input.ConsumeRemainingBytesAsString();

  TPatternEngine engine;
  engine.SetModifiers(settings & 63);
  if ((settings & 0x40) != 0) engine.SetWordCharacters(chars);
  if ((settings & 0x80) != 0) engine.SetSpaceCharacters(chars);
  // Far below the default budget, so that one input stays well under a
  // second under the sanitizers.
  engine.SetBacktrackLimit(200000, 16);
  engine.SetExpression(pattern);
  try {
    engine.Compile();
  } catch (const EPatternError& e) {
    if (engine.Expression().empty()) {
      FUZZ_CHECK(e.ErrorCode() == 1003, std::to_string(e.ErrorCode()));
    } else {
      FUZZ_CHECK(e.ErrorCode() < 1000, std::to_string(e.ErrorCode()) + " " + e.what());
    }
    return 0;
  }

  const size_t length =
      subject.find('\0') == std::string::npos ? subject.size() : subject.find('\0');
  std::vector<std::pair<int, int>> matches;
  try {
    matches = Matches(engine, subject, length);
  } catch (const EPatternError& e) {
    FUZZ_CHECK(IsRunTimeStop(e), std::to_string(e.ErrorCode()) + " " + e.what());
    return 0;
  }

  try {
    std::string removed = engine.ReplaceAll(subject, "", false);
    std::string expected;
    size_t at = 0;
    for (const auto& [offset, count] : matches) {
      expected.append(subject, at, static_cast<size_t>(offset - 1) - at);
      at = static_cast<size_t>(offset - 1 + count);
    }
    // Bytes from the first NUL on are not searched and stay as they are.
    expected.append(subject, at, std::string::npos);
    FUZZ_CHECK(removed == expected, "replace-all with \"\" removed other bytes: pattern " +
                                        Escape(pattern) + " subject " + Escape(subject) + " gave " +
                                        Escape(removed) + ", matches gave " + Escape(expected));
    FUZZ_CHECK(engine.ReplaceAll(subject, "$&", true) == subject, "\"$&\" changed the subject");
    engine.ReplaceAll(subject, templ, true);
    engine.ReplaceAll(subject, templ, false);
  } catch (const EPatternError& e) {
    FUZZ_CHECK(IsRunTimeStop(e), std::to_string(e.ErrorCode()) + " " + e.what());
  }
  return 0;
}
