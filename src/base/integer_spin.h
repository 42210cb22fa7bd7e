// IntegerSpin: a whole number shown as decimal text, with a minimum, a
// maximum and a default.
//
// The text is the value: reading parses it as a decimal whole number (text
// that is not one reads as the minimum, without clamping); setting a number
// clamps it into minimum..maximum; typed text is kept as typed until
// ClampText() (the field losing the focus).

#ifndef VELLORA_BASE_INTEGER_SPIN_H_
#define VELLORA_BASE_INTEGER_SPIN_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellora {

class IntegerSpin {
 public:
  IntegerSpin(int64_t minimum, int64_t maximum, int64_t initial)
      : minimum_(minimum), maximum_(maximum), initial_(initial), text_(std::to_string(initial)) {}

  int64_t Minimum() const { return minimum_; }
  int64_t Maximum() const { return maximum_; }
  int64_t Initial() const { return initial_; }

  const std::string& Text() const { return text_; }
  void SetText(std::string text) { text_ = std::move(text); }

  // The text as a whole number, or the minimum when it is not one.
  int64_t Value() const;
  // Sets the text to `value` clamped into minimum..maximum.
  void SetValue(int64_t value);
  // Sets the value that the text reads now (clamped).
  void ClampText() { SetValue(Value()); }
  // Up and Down: add or subtract one, clamped.
  void Step(int delta) { SetValue(Value() + delta); }

  // A decimal whole number with an optional sign, in the signed 32-bit range.
  static std::optional<int32_t> ParseDecimal(std::string_view text);

 private:
  int64_t minimum_;
  int64_t maximum_;
  int64_t initial_;
  std::string text_;
};

}  // namespace vellora

#endif  // VELLORA_BASE_INTEGER_SPIN_H_
