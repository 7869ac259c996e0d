// Decimal conversion: the values and prefix lengths of hand-checked texts, and agreement
// with the C library's strtod (bit for bit, and where it stops) over many generated texts.
#include "term/decimal_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "test_support.h"

namespace {

struct ValueCase {
  const char* text;
  double value;
  int length;  // bytes of the prefix read, 0 when nothing converts
};

TEST(DecimalNumber, HandCheckedValues) {
  const ValueCase cases[] = {
      {"30", 30.0, 2},
      {"0.5", 0.5, 3},
      {"1.5.0", 1.5, 3},
      {"-3", -3.0, 2},
      {" +2.5e1", 25.0, 7},
      {"5E3.0", 5000.0, 3},
      {".25", 0.25, 3},
      {"7.", 7.0, 2},
      {"1e-2", 0.01, 4},
      {"0.1", 0.1, 3},
      {"2E22", 2e22, 4},
      {"123456789012345", 123456789012345.0, 15},
      {"1E23", 1e23, 4},
      {"9007199254740993", 9007199254740992.0, 16},
      {"0x1A", 0.0, 1},
      {"abc", 0.0, 0},
      {"inf", 0.0, 0},
      {"E5", 0.0, 0},
      {"1e400", HUGE_VAL, 5},
      {"1e-400", 0.0, 6},
      {"0.0000000000000000000000001", 1e-25, 27},
      {" \t+12x", 12, 5},
      {"\v5", 5, 2},
      {"\f5", 5, 2},
      {"\r\n-5", -5, 4},
      {"5E+", 5, 1},
      {"1e2e3", 100, 3},
      {"007", 7, 3},
      {"1E99999", HUGE_VAL, 7},
      {"-", 0, 0},
      {".", 0, 0},
      {".90002409400799E022", 9.0002409400799e21, 19},
      {"4.9406564584124654e-324", 4.9406564584124654e-324, 23},
  };
  for (const ValueCase& c : cases) {
    int length = -1;
    EXPECT_EQ(stored_decimal_value(c.text, length), c.value) << c.text;
    EXPECT_EQ(length, c.length) << c.text;
  }
}

TEST(DecimalNumber, NegativeZeroKeepsItsSign) {
  const char* texts[] = {"-0", "-0.0", "-0E5", "-0x1A", "-.0", "-0e-400"};
  for (const char* text : texts) {
    int length = 0;
    const double value = stored_decimal_value(text, length);
    EXPECT_EQ(value, 0.0) << text;
    EXPECT_TRUE(std::signbit(value)) << text;
  }
}

// A huge exponent must not wrap round into range: "0.000...1E4010" with 4000 zeros is 1e10.
TEST(DecimalNumber, LongTextsAndHugeExponents) {
  const std::string zeros(4000, '0');
  const std::string cases[] = {"0." + zeros + "1E4010",      "0." + zeros + "1E40000",
                               "1" + zeros + "E-4000",       std::string(300, '9'),
                               "0." + std::string(400, '3'), "1E2147483648"};
  for (const std::string& text : cases) {
    int length = 0;
    EXPECT_EQ(stored_decimal_value(text.c_str(), length), std::strtod(text.c_str(), nullptr))
        << text.substr(0, 40);
    EXPECT_EQ(length, static_cast<int>(text.size())) << text.substr(0, 40);
  }
}

// A random decimal text: sign, digits with an optional point, optional exponent, and now and
// then a character that may or may not continue it.
std::string random_decimal(std::mt19937& random) {
  std::uniform_int_distribution<int> pick(0, 99);
  std::string text;
  const int sign = pick(random) % 3;
  if (sign == 1) text += '-';
  if (sign == 2) text += '+';
  const int digits = 1 + pick(random) % 20;
  const int point = pick(random) % (digits + 2);
  for (int k = 0; k < digits; ++k) {
    if (k == point) text += '.';
    // Zeros are frequent so that leading and trailing zeros are well covered.
    text += static_cast<char>(pick(random) < 30 ? '0' : '0' + pick(random) % 10);
  }
  if (pick(random) < 50) {
    text += pick(random) < 50 ? 'E' : 'e';
    if (pick(random) < 40) text += '-';
    text += std::to_string(pick(random) % 40);
  }
  if (pick(random) < 20) text += "eE.x-"[pick(random) % 5];
  return text;
}

TEST(DecimalNumber, AgreesWithStrtodBitForBit) {
  std::mt19937 random(20240601);
  for (int n = 0; n < 200000; ++n) {
    const std::string text = random_decimal(random);
    char* end = nullptr;
    const double expected = std::strtod(text.c_str(), &end);
    int length = 0;
    const double value = stored_decimal_value(text.c_str(), length);
    ASSERT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << text;
    ASSERT_EQ(length, end - text.c_str()) << text;
  }
}

}  // namespace
