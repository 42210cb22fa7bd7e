#include "base/integer_spin.h"

namespace vellora {

std::optional<int32_t> IntegerSpin::ParseDecimal(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > 2147483647LL || value < -2147483648LL) return std::nullopt;
  return static_cast<int32_t>(value);
}

int64_t IntegerSpin::Value() const {
  std::optional<int32_t> parsed = ParseDecimal(text_);
  return parsed ? *parsed : minimum_;
}

void IntegerSpin::SetValue(int64_t value) {
  if (value < minimum_) value = minimum_;
  if (value > maximum_) value = maximum_;
  text_ = std::to_string(value);
}

}  // namespace vellora
