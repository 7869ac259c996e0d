// Decimal conversion: the values of hand-checked texts, and agreement
// bit for bit with the C library's strtod over many generated decimal texts.
#include "term/decimal_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

// The value of the decimal prefix of `text`, its length aside.
double prefix_value(const char* text) {
  int length = 0;
  return decimal_prefix_value(text, length);
}

struct ValueCase {
  const char* text;
  double value;
};

TEST(DecimalNumber, HandCheckedValues) {
  const ValueCase cases[] = {
      {"30", 30.0},
      {"0.5", 0.5},
      {"1.5.0", 1.5},
      {"-3", -3.0},
      {" +2.5e1", 25.0},
      {"5E3.0", 5000.0},
      {".25", 0.25},
      {"7.", 7.0},
      {"1e-2", 0.01},
      {"0.1", 0.1},
      {"2E22", 2e22},
      {"123456789012345", 123456789012345.0},
      {"1E23", 1e23},
      {"9007199254740993", 9007199254740992.0},
      {"0x1A", 0.0},
      {"abc", 0.0},
      {"inf", 0.0},
      {"E5", 0.0},
      {"1e400", HUGE_VAL},
      {"1e-400", 0.0},
      {"0.0000000000000000000000001", 1e-25},
      {" \t+12x", 12},
      {"\v5", 5},
      {"\f5", 5},
      {"\r\n-5", -5},
      {"5E+", 5},
      {"1e2e3", 100},
      {"007", 7},
      {"1E99999", HUGE_VAL},
      {"-", 0},
      {".", 0},
  };
  for (const ValueCase& c : cases) EXPECT_EQ(prefix_value(c.text), c.value) << c.text;
}

TEST(DecimalNumber, NegativeZeroKeepsItsSign) {
  const char* texts[] = {"-0", "-0.0", "-0E5", "-0x1A", "-.0", "-0e-400"};
  for (const char* text : texts) {
    const double value = prefix_value(text);
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
    EXPECT_EQ(prefix_value(text.c_str()), std::strtod(text.c_str(), nullptr)) << text.substr(0, 40);
  }
}

// A random decimal text: sign, digits with an optional point, optional exponent.
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
  return text;
}

TEST(DecimalNumber, AgreesWithStrtodBitForBit) {
  std::mt19937 random(20240601);
  for (int n = 0; n < 200000; ++n) {
    const std::string text = random_decimal(random);
    const double expected = std::strtod(text.c_str(), nullptr);
    const double value = prefix_value(text.c_str());
    ASSERT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << text;
  }
}

}  // namespace
