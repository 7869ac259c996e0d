// Operand lists: reading "+ - * /" expressions, folding products, summing, and the
// decimal conversion underneath.
#include "term/operand_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "term/decimal_number.h"
#include "test_support.h"

namespace {

constexpr double pi = 3.141592653589793;

struct ReduceCase {
  const char* text;
  double expected;
};

TEST(ReduceOperands, ArithmeticWithProductsFirst) {
  const ReduceCase cases[] = {
      {"30=", 30},   {"30+60=", 90},      {"1+2*3-4/2=", 5}, {"2*3*5=", 30}, {"60/2*3=", 90},
      {"2*3/6=", 1}, {"-30=", -30},       {"2*-3=", -6},     {"2--3=", 5},   {"5E-3=", 0.005},
      {"--30=", 0},  {"1E+2=", 3},        {"*30=", 0},       {"=", 0},       {"PI/2=", pi / 2},
      {"2PI=", 2},   {"12345+6=", 12351}, {"3a0=", 30},      {"10-4-3=", 3}, {"1.5=", 1.5},
      {"2^3=", 23},  {"PI2=", pi},        {"8/2/2=", 2},     {"1-2*3=", -5},
  };
  for (const ReduceCase& c : cases) {
    EXPECT_EQ(reduce_operands(c.text, 1.0L), c.expected) << c.text;
  }
}

TEST(ReduceOperands, LoneMinusIsNegativeZero) {
  const double value = static_cast<double>(reduce_operands("-=", 1.0L));
  EXPECT_EQ(value, 0.0);
  EXPECT_TRUE(std::signbit(value));
}

TEST(ReduceOperands, EmptyTextGivesTheDefault) {
  EXPECT_EQ(reduce_operands("", 7.0L), 7.0L);
  EXPECT_EQ(reduce_operands("abc", -2.0L), -2.0L);  // no operator, so nothing is read
}

TEST(ReduceOperands, TrailingOperatorMeetsZero) {
  EXPECT_EQ(reduce_operands("2+", 9.0L), 2.0L);
  EXPECT_EQ(reduce_operands("2*", 9.0L), 0.0L);
  EXPECT_TRUE(std::isinf(static_cast<double>(reduce_operands("2/", 9.0L))));
}

// 1/49 rounded to double, times 49, is famously just below 1; an extended-precision fold
// would round back to exactly 1.
TEST(ReduceOperands, FoldsRoundToDoubleAtEveryStep) {
  EXPECT_EQ(static_cast<double>(reduce_operands("1/49*49=", 0.0L)), 0.99999999999999989);
  EXPECT_EQ(static_cast<double>(reduce_operands("0.1+0.2=", 0.0L)), 0.30000000000000004);
}

TEST(ReadOperands, RecordsEachNumberWithTheOperatorThatEndsIt) {
  const OperandList list = read_operands("1+2*3-4/2=");
  ASSERT_EQ(list.count, 5);
  EXPECT_EQ(std::string(list.operators, 5), "+*-/=");
  const double values[] = {1, 2, 3, 4, 2};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(list.values[k], values[k]) << k;
  EXPECT_EQ(list.values[5], 0.0);
}

TEST(ReadOperands, SignsStayInTheNumber) {
  struct SignCase {
    const char* text;
    int count;
    double first;
  };
  const SignCase cases[] = {
      {"-30=", 1, -30}, {"5E-3=", 1, 0.005}, {"2*-3=", 2, 2}, {"2--3=", 2, 2}, {"3-1=", 2, 3},
  };
  for (const SignCase& c : cases) {
    const OperandList list = read_operands(c.text);
    EXPECT_EQ(list.count, c.count) << c.text;
    EXPECT_EQ(list.values[0], c.first) << c.text;
  }
}

TEST(FoldProducts, LeavesZerosJoinedByPlus) {
  OperandList list = read_operands("2/4*6=");
  fold_products(list);
  EXPECT_EQ(list.values[0], 3.0);
  EXPECT_EQ(list.values[1], 0.0);
  EXPECT_EQ(list.values[2], 0.0);
  EXPECT_EQ(std::string(list.operators, 3), "++=");

  list = read_operands("2*3/4=");
  fold_products(list);
  EXPECT_EQ(list.values[0], 1.5);
  EXPECT_EQ(sum_operands(list), 1.5L);
}

// operators[k] joins values[k] and values[k+1]: the '=' drops the 3, the '-' takes the 4.
TEST(SumOperands, IgnoresCodesThatAreNotPlusOrMinus) {
  OperandList list;
  clear_operands(list);
  append_operand(list, 2, '=');
  append_operand(list, 3, '-');
  append_operand(list, 4, '\0');
  EXPECT_EQ(sum_operands(list), -2.0L);
}

TEST(NumberTextValue, ReadsTheDecimalPrefixOrPi) {
  const ReduceCase cases[] = {
      {"", 0},        {"5E3", 5000}, {"1.5", 1.5}, {"PI2", pi}, {"2PI", 2}, {".5", 0.5},
      {"1.2.3", 1.2}, {"E5", 0},     {"5E", 5},    {"-2", -2},  {"P", 0},
  };
  for (const ReduceCase& c : cases) EXPECT_EQ(number_text_value(c.text), c.expected) << c.text;
  EXPECT_TRUE(std::signbit(number_text_value("-")));
}

TEST(DecimalPrefix, AcceptsOnlyThePlainDecimalForm) {
  const ReduceCase cases[] = {
      {"12abc", 12}, {" 2", 2},  {"+3", 3},       {"1e5", 1e5},        {"1E+2", 100}, {"1e", 1},
      {"1e+", 1},    {"inf", 0}, {"INFINITY", 0}, {"NAN", 0},          {"0x10", 0},   {"-0X1p3", 0},
      {"0.5x", 0.5}, {"1d5", 1}, {"", 0},         {"1E999", HUGE_VAL},
  };
  for (const ReduceCase& c : cases) EXPECT_EQ(decimal_prefix_value(c.text), c.expected) << c.text;
  EXPECT_EQ(decimal_prefix_length("12.5E-3xyz"), 7);
  EXPECT_EQ(decimal_prefix_length("."), 0);
}

// Texts much longer than any line hold more operators and digits than the list and the
// number text have room for; the extra ones are dropped, never written past the arrays.
TEST(OperandCapacity, LongTextsStayInsideTheArrays) {
  const std::string pluses = std::string(99, '+') + "=";
  EXPECT_EQ(read_operands(pluses.c_str()).count, operand_capacity);
  EXPECT_EQ(reduce_operands(pluses.c_str(), 1.0L), 0.0L);

  const std::string stars = std::string(300, '*');
  const OperandList list = read_operands(stars.c_str());
  EXPECT_EQ(list.count, operand_capacity);
  EXPECT_EQ(reduce_operands(stars.c_str(), 1.0L), 0.0L);

  const std::string digits = std::string(150, '1') + "=";
  EXPECT_GT(reduce_operands(digits.c_str(), 0.0L), 1e99L);  // the first 101 digits are kept
}

}  // namespace
