// PatternReplacer: one pattern of the pattern engine, compiled once and then
// applied to many inputs. Replace(input, r) gives exactly what
// ReplacePattern(pattern, input, r, true) gives; the steps use it so that a
// pattern applied to every file or every phrase of a run is compiled only
// once. Not thread-safe.

#ifndef VELLORA_PIPELINE_PATTERN_REPLACER_H_
#define VELLORA_PIPELINE_PATTERN_REPLACER_H_

#include <memory>
#include <string>
#include <string_view>

namespace vellora {

class TPatternEngine;

class PatternReplacer {
 public:
  // Compiles `pattern`; raises EPatternError when it does not compile.
  explicit PatternReplacer(std::string_view pattern);
  ~PatternReplacer();
  PatternReplacer(const PatternReplacer&) = delete;
  PatternReplacer& operator=(const PatternReplacer&) = delete;

  // Every match of the pattern in `input`, leftmost first, replaced by
  // `replacement` with substitution on.
  std::string Replace(std::string_view input, std::string_view replacement);

 private:
  std::unique_ptr<TPatternEngine> engine_;
};

}  // namespace vellora

#endif  // VELLORA_PIPELINE_PATTERN_REPLACER_H_
