// The text of an exact result: its digits and exponent written as "%g" writes a double.
#include "exact/exact_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The text of (-1)^negative x 0.DIGITS x 10^(exponent + 1) at `precision` digits.
std::string exact_text(bool negative, const char* digits, int precision, long exponent) {
  char text[exact_text_capacity];
  const int length = write_exact_decimal(negative, digits, precision, exponent, text);
  EXPECT_EQ(length, static_cast<int>(std::string(text).size()));
  return text;
}

// The C library's "%.*g" of the double the digits and exponent write, where a double holds
// them exactly enough: the independent reference for the forms.
std::string printf_text(bool negative, const char* digits, int precision, long exponent) {
  char written[64];
  std::snprintf(written, sizeof written, "%s%c.%se%ld", negative ? "-" : "", digits[0], digits + 1,
                exponent);
  char text[64];
  std::snprintf(text, sizeof text, "%.*g", precision, std::strtod(written, nullptr));
  return text;
}

TEST(ExactText, WritesWhatPrintfWritesForEveryFormAndExponent) {
  const char* const digit_strings[] = {"1", "15", "100", "123456", "999", "1000001", "50000"};
  for (const char* digits : digit_strings) {
    const int precision = static_cast<int>(std::string(digits).size());
    for (long exponent = -9; exponent <= 12; ++exponent) {
      for (bool negative : {false, true}) {
        EXPECT_EQ(exact_text(negative, digits, precision, exponent),
                  printf_text(negative, digits, precision, exponent))
            << digits << " e" << exponent;
      }
    }
  }
}

TEST(ExactText, WritesExponentsNoDoubleHolds) {
  struct Case {
    const char* digits;
    long exponent;
    const char* text;
  };
  // By hand: one digit, then the exponent with its sign and at least two digits.
  const Case cases[] = {
      {"1", 400, "1e+400"},
      {"81", 1999999999, "8.1e+1999999999"},
      {"1", -400, "1e-400"},
      {"17452", -20001, "1.7452e-20001"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(
        exact_text(false, c.digits, static_cast<int>(std::string(c.digits).size()), c.exponent),
        c.text);
  }
}

TEST(ExactText, WritesAThousandDigitsInFixedForm) {
  std::string digits(exact_max_digits, '7');
  const std::string text = exact_text(true, digits.c_str(), exact_max_digits, exact_max_digits - 1);
  EXPECT_EQ(text, "-" + digits);
  const std::string small = exact_text(false, digits.c_str(), exact_max_digits, -4);
  EXPECT_EQ(small, "0.000" + digits);
}

}  // namespace
