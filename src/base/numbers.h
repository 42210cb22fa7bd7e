// Whole numbers read from text: the one parser for every number the program
// reads from a preset, an argument, a control or a server's answer.
//
// A number is a run of digits, with an optional sign only where the caller
// allows one, and nothing else: no spaces, no fraction, no exponent. A value
// outside the caller's range, or too long for 64 bits, is not a number (it
// never wraps). Callers trim their own surroundings first.

#ifndef VELLORA_BASE_NUMBERS_H_
#define VELLORA_BASE_NUMBERS_H_

#include <cstdint>
#include <optional>
#include <string_view>

namespace vellora {

enum class NumberSign { kNone, kAllowed };

// `text` as a decimal number in minimum..maximum. With NumberSign::kAllowed a
// leading "+" or "-" is read; with kNone any sign makes it not a number.
std::optional<int64_t> ParseDecimal(std::string_view text, int64_t minimum, int64_t maximum,
                                    NumberSign sign = NumberSign::kNone);

// `digits` (0-9, a-f, A-F, no prefix) as a hexadecimal number in 0..maximum.
std::optional<int64_t> ParseHexadecimal(std::string_view digits, int64_t maximum);

// True when `text` is one or more of the digits 0-9 and nothing else.
bool IsDecimalDigits(std::string_view text);

}  // namespace vellora

#endif  // VELLORA_BASE_NUMBERS_H_
