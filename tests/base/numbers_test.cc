// The one number parser: what counts as a number, and the edges of its ranges.

#include "base/numbers.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace vellora {
namespace {

TEST(ParseDecimal, ReadsOnlyDigitsWithTheSignTheCallerAllows) {
  EXPECT_EQ(ParseDecimal("0", 0, 10), 0);
  EXPECT_EQ(ParseDecimal("007", 0, 10), 7);
  EXPECT_EQ(ParseDecimal("+7", -10, 10, NumberSign::kAllowed), 7);
  EXPECT_EQ(ParseDecimal("-7", -10, 10, NumberSign::kAllowed), -7);
  for (const char* text : {"", "+", "-", " 1", "1 ", "1.5", "1e3", "0x10", "١"}) {
    EXPECT_EQ(ParseDecimal(text, -100, 100, NumberSign::kAllowed), std::nullopt) << text;
  }
  EXPECT_EQ(ParseDecimal("+7", 0, 10), std::nullopt);
  EXPECT_EQ(ParseDecimal("-0", 0, 10), std::nullopt);
}

TEST(ParseDecimal, RefusesValuesOutsideTheRangeWithoutWrapping) {
  EXPECT_EQ(ParseDecimal("3600", 0, 3600), 3600);
  EXPECT_EQ(ParseDecimal("3601", 0, 3600), std::nullopt);
  EXPECT_EQ(ParseDecimal("-1", 0, 3600, NumberSign::kAllowed), std::nullopt);
  EXPECT_EQ(ParseDecimal("9223372036854775807", 0, INT64_MAX), INT64_MAX);
  EXPECT_EQ(ParseDecimal("9223372036854775808", 0, INT64_MAX), std::nullopt);
  EXPECT_EQ(ParseDecimal("-9223372036854775808", INT64_MIN, 0, NumberSign::kAllowed), INT64_MIN);
  EXPECT_EQ(ParseDecimal("-9223372036854775809", INT64_MIN, 0, NumberSign::kAllowed),
            std::nullopt);
  // 2^64 + 1 would wrap to 1 in a plain unsigned sum.
  EXPECT_EQ(ParseDecimal("18446744073709551617", 0, INT64_MAX), std::nullopt);
  EXPECT_EQ(ParseDecimal("4294967295", 0, UINT32_MAX), 4294967295LL);
  EXPECT_EQ(ParseDecimal("4294967296", 0, UINT32_MAX), std::nullopt);
}

TEST(ParseHexadecimal, ReadsEitherCaseUpToTheMaximum) {
  EXPECT_EQ(ParseHexadecimal("ff", 255), 255);
  EXPECT_EQ(ParseHexadecimal("7FFFFFFF", INT32_MAX), INT32_MAX);
  EXPECT_EQ(ParseHexadecimal("80000000", INT32_MAX), std::nullopt);
  EXPECT_EQ(ParseHexadecimal("100000000000000000", INT64_MAX), std::nullopt);
  for (const char* text : {"", "g", "0x1", "-1", " 1"}) {
    EXPECT_EQ(ParseHexadecimal(text, INT32_MAX), std::nullopt) << text;
  }
}

TEST(IsDecimalDigits, IsTrueOnlyForANonEmptyRunOfDigits) {
  EXPECT_TRUE(IsDecimalDigits("0123456789"));
  EXPECT_FALSE(IsDecimalDigits(""));
  EXPECT_FALSE(IsDecimalDigits("12a"));
  EXPECT_FALSE(IsDecimalDigits("+1"));
}

}  // namespace
}  // namespace vellora
