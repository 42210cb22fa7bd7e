#include "pipeline/pattern_replacer.h"

#include "regex/pattern_engine.h"

namespace vellora {

PatternReplacer::PatternReplacer(std::string_view pattern)
    : engine_(std::make_unique<TPatternEngine>()) {
  engine_->SetExpression(pattern);
  engine_->Compile();
}

PatternReplacer::~PatternReplacer() = default;

std::string PatternReplacer::Replace(std::string_view input, std::string_view replacement) {
  return engine_->ReplaceAll(input, replacement, true);
}

}  // namespace vellora
