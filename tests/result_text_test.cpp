// The number on a result line: "%g" for finite values, fixed spellings for the others.
#include "line/result_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "test_support.h"

namespace {

struct ResultCase {
  double value;
  const char* text;
};

TEST(FormatResult, PrintsSixSignificantDigitsAndTwoDigitExponents) {
  const double infinity = std::numeric_limits<double>::infinity();
  const double quiet = std::numeric_limits<double>::quiet_NaN();
  const ResultCase cases[] = {
      {0.5, "0.5"},
      {-0.0, "-0"},
      {100000.0, "100000"},
      {1000000.0, "1e+06"},
      {123456789.0, "1.23457e+08"},
      {0.0001, "0.0001"},
      {0.00001, "1e-05"},
      {1e100, "1e+100"},
      {1e-300, "1e-300"},
      {4.9406564584124654e-324, "4.94066e-324"},
      {1.7976931348623157e308, "1.79769e+308"},
      {1.2246467991473532e-16, "1.22465e-16"},
      {infinity, "inf"},
      {-infinity, "-inf"},
      {quiet, "nan"},
      {-quiet, "nan"},  // the sign of a not-a-number is not printed
      {infinity - infinity, "nan"},
      {std::nan("1"), "nan"},
  };
  for (const ResultCase& c : cases) {
    EXPECT_EQ(number_text(c.value, default_result_digits), c.text) << c.text;
  }
}

struct PrecisionCase {
  double value;
  int precision;
  const char* text;
};

// Ties between two printable values are exact in binary here and go to the even digit.
TEST(FormatResult, PrintsTheSignificantDigitsAsked) {
  const PrecisionCase cases[] = {
      {0.5, 1, "0.5"},
      {2.5, 1, "2"},
      {3.5, 1, "4"},
      {-1.5, 1, "-2"},
      {123456.5, 6, "123456"},
      {123457.5, 6, "123458"},
      {999999.5, 6, "1e+06"},
      {123456789.0, 9, "123456789"},
      {123456789.0, 8, "1.2345679e+08"},
      {0.1, 17, "0.10000000000000001"},
      {1.0 / 3.0, 17, "0.33333333333333331"},
      {-2.2250738585072014e-308, 17, "-2.2250738585072014e-308"},
      {1e21, 17, "1e+21"},
  };
  for (const PrecisionCase& c : cases) {
    EXPECT_EQ(number_text(c.value, c.precision), c.text) << c.text;
  }
}

// The C library's "%.Pg" is the reference the result text must equal byte for byte, for
// any finite double and every precision from 1 to 17.
TEST(FormatResult, EqualsTheCLibrarysPercentGForAnyFiniteValue) {
  std::uint64_t bits = 0x9E3779B97F4A7C15u;
  for (int k = 0; k < 200000; ++k) {
    bits ^= bits << 13;  // xorshift64: bit patterns spread over every exponent
    bits ^= bits >> 7;
    bits ^= bits << 17;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value)) continue;
    const int precision = 1 + k % 17;
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.*g", precision, value);
    ASSERT_EQ(number_text(value, precision), expected) << "precision " << precision;
  }
}

// The dialogue's and the command line's framings of a value.
TEST(ResultLine, FramesTheNumber) {
  char line[result_line_capacity];
  EXPECT_EQ(format_result_line(0.5, default_result_digits, "=", "\n\n", line, sizeof line), 6);
  EXPECT_STREQ(line, "=0.5\n\n");
  const double nan = -std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(format_result_line(nan, default_result_digits, "", "\n", line, sizeof line), 4);
  EXPECT_STREQ(line, "nan\n");
  EXPECT_EQ(format_result_line(-1.0 / 3, 17, "=", "\n\n", line, sizeof line), 23);
  EXPECT_STREQ(line, "=-0.33333333333333331\n\n");
}

}  // namespace
