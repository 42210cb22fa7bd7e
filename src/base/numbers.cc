#include "base/numbers.h"

namespace vellora {
namespace {

int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// The magnitude of `digits` in `base`, or nullopt when a character is not a
// digit or the magnitude passes `limit`. Checking against the limit at every
// digit keeps the sum from ever overflowing.
std::optional<uint64_t> Magnitude(std::string_view digits, int base, uint64_t limit) {
  if (digits.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : digits) {
    int digit = DigitValue(c, base);
    if (digit < 0) return std::nullopt;
    if (value > (limit - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(base)) {
      return std::nullopt;
    }
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
  }
  return value;
}

}  // namespace

std::optional<int64_t> ParseDecimal(std::string_view text, int64_t minimum, int64_t maximum,
                                    NumberSign sign) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    if (sign == NumberSign::kNone) return std::nullopt;
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // 2^63 is the magnitude of the smallest int64_t; larger is never in range.
  constexpr uint64_t kLimit = uint64_t{1} << 63;
  std::optional<uint64_t> magnitude = Magnitude(text, 10, kLimit);
  if (!magnitude) return std::nullopt;
  int64_t value;
  if (negative) {
    value = *magnitude == kLimit ? INT64_MIN : -static_cast<int64_t>(*magnitude);
  } else {
    if (*magnitude == kLimit) return std::nullopt;
    value = static_cast<int64_t>(*magnitude);
  }
  if (value < minimum || value > maximum) return std::nullopt;
  return value;
}

std::optional<int64_t> ParseHexadecimal(std::string_view digits, int64_t maximum) {
  if (maximum < 0) return std::nullopt;
  std::optional<uint64_t> magnitude = Magnitude(digits, 16, static_cast<uint64_t>(maximum));
  if (!magnitude) return std::nullopt;
  return static_cast<int64_t>(*magnitude);
}

bool IsDecimalDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace vellora
