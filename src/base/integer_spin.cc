#include "base/integer_spin.h"

#include "base/numbers.h"

namespace vellora {

std::optional<int32_t> IntegerSpin::ParseDecimal(std::string_view text) {
  std::optional<int64_t> value =
      vellora::ParseDecimal(text, INT32_MIN, INT32_MAX, NumberSign::kAllowed);
  if (!value) return std::nullopt;
  return static_cast<int32_t>(*value);
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
