// Operand lists: reading "+ - * /" expressions, folding products, summing, and the
// decimal conversion underneath.
#include "term/operand_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "term/decimal_number.h"
#include "test_support.h"

namespace {

constexpr double pi = 3.141592653589793;

// Value of an operand text read as an argument is read, then computed in doubles. The program
// form folds the list to the same bits: compiled as the amplitude of the cosine of 0 radians,
// which is exactly 1 (the product keeps every bit, the sign of a zero included).
double operands_value(const char* text) {
  static LineReading reading;  // a few KiB: kept off the stack
  reading.numbers.count = 0;
  reading.numbers.texts_used = 0;
  TextOrigins origins;
  start_origins(origins, 0);
  const OperandsRead list =
      read_operands(text, {&origins, 0, OperandRole::argument}, reading.numbers, nullptr);
  const double value = operands_value(reading.numbers, list, 0.0);
  if (list.count == 0) return value;
  reading.bracketed = false;
  reading.term_count = 1;
  reading.terms[0] = {};
  reading.terms[0].radians = true;
  reading.terms[0].function = TermFunction::cosine;
  reading.terms[0].amplitude = list;
  expect_program_agrees(reading, value, text);
  return value;
}

struct ReduceCase {
  const char* text;
  double expected;
};

TEST(ReduceOperands, ArithmeticWithProductsFirst) {
  const ReduceCase cases[] = {
      {"30=", 30},     {"30+60=", 90},      {"1+2*3-4/2=", 5}, {"2*3*5=", 30},    {"60/2*3=", 90},
      {"2*3/6=", 1},   {"-30=", -30},       {"2*-3=", -6},     {"2--3=", 5},      {"5E-3=", 0.005},
      {"--30=", 0},    {"1E+2=", 3},        {"*30=", 0},       {"=", 0},          {"PI/2=", pi / 2},
      {"2PI=", 2},     {"12345+6=", 12351}, {"3a0=", 30},      {"10-4-3=", 3},    {"1.5=", 1.5},
      {"2^3=", 23},    {"PI2=", pi},        {"8/2/2=", 2},     {"1-2*3=", -5},    {"2/4*6=", 3},
      {"2*3/4=", 1.5}, {"1+2*3*4-5=", 20},  {"2*3+4*5=", 26},  {"1-8/2/2+3=", 2},
  };
  for (const ReduceCase& c : cases) {
    EXPECT_EQ(operands_value(c.text), c.expected) << c.text;
  }
}

// The sign of a zero result: -0 + 0 is +0 and -0 * 2 is -0, and a run of products leaves
// its folded operands behind as zeros that are added, so a folded -0 ends as +0.
TEST(ReduceOperands, SignedZeros) {
  struct ZeroCase {
    const char* text;
    bool negative;
  };
  const ZeroCase cases[] = {
      {"-=", true},     {"-=-", true},      {"-0-0=", true},  {"-+", false},
      {"-", false},     {"-*2=", false},    {"-*", false},    {"-5*=", false},
      {"2*-0=", false}, {"-0-0*2=", false}, {"-0=*2", false}, {"-0+-0*2=", false},
  };
  for (const ZeroCase& c : cases) {
    const double value = operands_value(c.text);
    EXPECT_EQ(value, 0.0) << c.text;
    EXPECT_EQ(std::signbit(value), c.negative) << c.text;
  }
}

// A text with no ending mark reads nothing, and an empty list is 0.
TEST(ReduceOperands, NothingReadGivesZero) {
  EXPECT_EQ(operands_value(""), 0.0);
  EXPECT_EQ(operands_value("abc"), 0.0);
  EXPECT_EQ(operands_value("12"), 0.0);
}

TEST(ReduceOperands, TrailingOperatorMeetsZero) {
  EXPECT_EQ(operands_value("2+"), 2.0);
  EXPECT_EQ(operands_value("2*"), 0.0);
  EXPECT_EQ(operands_value("3+2*"), 3.0);
  EXPECT_TRUE(std::isinf(operands_value("2/")));
  EXPECT_EQ(operands_value("1/2/"), HUGE_VAL);
}

// 1/49 rounded to double, times 49, is famously just below 1; an extended-precision fold
// would round back to exactly 1.
TEST(ReduceOperands, FoldsRoundToDoubleAtEveryStep) {
  EXPECT_EQ(operands_value("1/49*49="), 0.99999999999999989);
  EXPECT_EQ(operands_value("0.1+0.2="), 0.30000000000000004);
}

// Lists as the bracket evaluator builds them, where operators are not tied to operands:
// operators[k] joins values[k] and values[k+1], a code other than '+' or '-' drops the run
// after it (products included), and an operator after the last value meets 0.
TEST(ReduceList, OperatorCodesJoinTheValuesAfterThem) {
  struct ListCase {
    double values[4];
    const char* operators;  // operators[k] for each value k; the terminator counts as 0
    int count;
    double sum;
  };
  const ListCase cases[] = {
      {{2, 3, 4}, "=-", 3, 2 - 4},
      {{2, 3, 4}, "=*+", 3, 2},
      {{2, 3, 4}, "\0\0+", 3, 2},
      {{1, 2, 3}, "+\0-", 3, 1 + 2},
      {{1, 2, 3, 4}, "+*-", 4, 1 + 6 - 4},
      {{8, 2, 3}, "/*", 3, 12},
      {{2, 3}, "*", 2, 6},
      {{5}, "-", 1, 5},
      {{7}, "*", 1, 0},
      {{}, "", 0, 0},
  };
  for (const ListCase& c : cases) {
    OperandList list;
    list.count = c.count;
    for (int k = 0; k < c.count; ++k) {
      list.values[k] = c.values[k];
      list.operators[k] = c.operators[k];
    }
    EXPECT_EQ(reduce_list(list), c.sum) << c.operators << " " << c.count;
  }
}

// The number text as the operand reader collects it, with room for ".0" and the terminator,
// read and stored, then converted.
double collected_number_value(const char* text) {
  char number[number_text_capacity];
  const int length = static_cast<int>(std::strlen(text));
  std::memcpy(number, text, static_cast<std::size_t>(length));
  NumberRead read{};
  int prefix = 0;
  read_number_text(number, length, read, prefix);
  static NumberStore store;
  store.count = 0;
  store.texts_used = 0;
  EXPECT_TRUE(store_number(store, read, number, prefix)) << text;
  return number_value(store, store.numbers[0]);
}

TEST(NumberTextValue, ReadsTheDecimalPrefixOrPi) {
  const ReduceCase cases[] = {
      {"", 0},        {"5E3", 5000}, {"1.5", 1.5}, {"PI2", pi}, {"2PI", 2}, {".5", 0.5},
      {"1.2.3", 1.2}, {"E5", 0},     {"5E", 5},    {"-2", -2},  {"P", 0},   {"5E-", 5},
  };
  for (const ReduceCase& c : cases) EXPECT_EQ(collected_number_value(c.text), c.expected) << c.text;
  EXPECT_TRUE(std::signbit(collected_number_value("-")));
}

TEST(DecimalPrefix, AcceptsOnlyThePlainDecimalForm) {
  const ReduceCase cases[] = {
      {"12abc", 12}, {" 2", 2},  {"+3", 3},       {"1e5", 1e5},        {"1E+2", 100}, {"1e", 1},
      {"1e+", 1},    {"inf", 0}, {"INFINITY", 0}, {"NAN", 0},          {"0x10", 0},   {"-0X1p3", 0},
      {"0.5x", 0.5}, {"1d5", 1}, {"", 0},         {"1E999", HUGE_VAL},
  };
  for (const ReduceCase& c : cases) {
    int length = 0;
    EXPECT_EQ(stored_decimal_value(c.text, length), c.expected) << c.text;
  }
}

// Texts much longer than any line hold more operators and digits than the list and the
// number text have room for; the extra ones are dropped, never written past the arrays.
TEST(OperandCapacity, LongTextsStayInsideTheArrays) {
  const std::string pluses = std::string(299, '+') + "1=";
  EXPECT_EQ(operands_value(pluses.c_str()), 0.0);  // the 1 is past the hundredth operand

  const std::string stars = std::string(300, '*');
  EXPECT_EQ(operands_value(stars.c_str()), 0.0);

  // A number keeps its first 101 digits: 99 for the longest line and two to spare.
  const std::string digits = std::string(150, '1') + "=";
  EXPECT_EQ(operands_value(digits.c_str()), std::strtod(std::string(101, '1').c_str(), nullptr));
}

}  // namespace
