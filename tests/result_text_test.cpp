// The number on a result line: "%g" for finite values, fixed spellings for the others.
#include "dialogue/result_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

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
    char text[result_text_capacity];
    format_result(c.value, default_result_digits, text);
    EXPECT_STREQ(text, c.text) << c.text;
  }
}

TEST(WriteResult, WritesTheEqualsSignTheNumberAndAnEmptyLine) {
  FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  write_result(out, 0.5, default_result_digits);
  write_result(out, -std::numeric_limits<double>::quiet_NaN(), default_result_digits);
  std::rewind(out);
  std::string written;
  for (int c = std::getc(out); c != EOF; c = std::getc(out)) written += static_cast<char>(c);
  std::fclose(out);
  EXPECT_EQ(written, "=0.5\n\n=nan\n\n");
}

}  // namespace
