// Whole lines: bracketed expressions, numeric brackets, the choice between a term and a
// bracketed line, and the per-line buffers.
#include "line/evaluate_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "test_support.h"

namespace {

struct LineCase {
  const char* line;
  const char* printed;  // as the dialogue prints the value
};

void expect_lines(const LineCase* cases, std::size_t count) {
  for (std::size_t k = 0; k < count; ++k) {
    EXPECT_EQ(printed(line_value(cases[k].line)), cases[k].printed) << cases[k].line;
  }
}

TEST(BracketedLine, CombinesBracketsProductsFirst) {
  const LineCase cases[] = {
      {"[sin30]+[cos60]", "1"},
      {"[sin30]", "0.5"},
      {"[asin0.5]+[1]", "31"},
      {"[2sin30]", "1"},
      {"[2]*[3]", "6"},
      {"[2]*[3]/[4]", "1.5"},
      {"[8]/[2]*[3]", "12"},
      {"[1]+[2]*[3]", "7"},
      {"[10]-[4]-[3]", "3"},
      {"[5]x[2]", "10"},
      {"[2]/[3]/[4]", "0.166667"},
      {"[sin30]+[sin3]", "0.552336"},
      {"[sin30]+[2]*[cos60]", "1.5"},
      {"[5x10^3]/[pi]", "1591.55"},
      {"[-2]+[3]", "1"},
      {"[2]-[-3]", "5"},
  };
  expect_lines(cases, std::size(cases));
}

// Letters that begin a name make a bracket a term ("[2a]" names nothing); a lone sign reads
// as -0, and -0 - 0 = -0, but -0 + the 0 a trailing operator meets is +0, and so is -0 x 2
// plus the 0 its fold leaves behind. A ']' alone makes a bracketed line without a bracket.
// Vertical tab and form feed are blanks before a number. A number keeps its parentheses
// ("(5)" is no number); a term loses them ("5sin30").
TEST(BracketedLine, DocumentedQuirksAndEmptyParts) {
  const LineCase cases[] = {
      {"[]", "0"},        {"]", "0"},
      {"[1]+", "1"},      {"[2]*", "0"},
      {"[2]/", "inf"},    {"[2] + [3]", "2"},
      {"[1][2]", "1"},    {"[2]X[3]", "2"},
      {"x[2]", "2"},      {"[", "0"},
      {"[2", "2"},        {"[sin30", "0.5"},
      {"[1]+[2", "3"},    {"[1]+[2]-", "3"},
      {"[rad1]", "0"},    {"[3]**[2]", "6"},
      {"[2]/[0]", "inf"}, {"[0]/[0]", "nan"},
      {"5[2]", "2"},      {"[1]+[2]*[3][4]", "7"},
      {"[2a]", "0"},      {"[-]", "-0"},
      {"[-]-[0]", "-0"},  {"[-]+", "0"},
      {"[-]*[2]", "0"},   {"sin30]", "0"},
      {"[5]", "5"},      {"[5]-[1]", "4"},
      {"[(5)]", "0"},     {"[(5)sin30]", "2.5"},
  };
  expect_lines(cases, std::size(cases));
}

TEST(NumericBracket, NumberFormsAndPi) {
  const LineCase cases[] = {
      {"pi", "3.14159"},  {"2pi", "2"},         {"3i", "3"},
      {"5x10^3", "5000"}, {"5e3", "5000"},      {".5", "0.5"},
      {"-2", "-2"},       {"2*3", "2"},         {"", "0"},
      {"5X10^3", "5000"}, {"5*10^-3", "0.005"}, {"1e-2", "0.01"},
      {"PI", "3.14159"},  {"  7", "7"},         {"1*10^2*10^3", "100"},
      {"+4", "4"},        {"(5)", "0"},         {"5x10^3x10^2", "5000"},
      {"5en3", "5"},      {"1,5", "1.5"},       {"-", "-0"},
      {"\v5", "5"},       {"2PI", "2"},         {"Pi", "0"},
      {"pI", "0"},
  };
  for (const LineCase& c : cases) {
    const std::string bracket = std::string("[") + c.line + "]";
    EXPECT_EQ(printed(line_value(bracket.c_str())), c.printed) << c.line;
  }
}

// Words for infinity or not-a-number and hexadecimal forms are not numbers here, on any
// platform: only the decimal form converts.
TEST(NumericBracket, OnlyTheDecimalFormConverts) {
  const char* texts[] = {"inf", "INF", "INFINITY", "NAN", "0x10", "0X1F", "1d5x"};
  const double expected[] = {0, 0, 0, 0, 0, 0, 1};
  for (std::size_t k = 0; k < std::size(texts); ++k) {
    const std::string bracket = std::string("[") + texts[k] + "]";
    EXPECT_EQ(line_value(bracket.c_str()), expected[k]) << texts[k];
  }
  EXPECT_EQ(printed(line_value("[inf]+[1]")), "1");
}

TEST(EvaluateLine, DecimalCommaIsAPointEverywhere) {
  const LineCase cases[] = {
      {"sin30,5", "0.507538"}, {"[,5]", "0.5"},         {"[1,5]+[sin30]", "2"},
      {"2,5sin30", "1.25"},    {"sin30.5", "0.507538"},
  };
  expect_lines(cases, std::size(cases));
}

// A term gives the same value alone and in a bracket of its own.
TEST(EvaluateLine, TermAndItsBracketAgree) {
  const char* terms[] = {"sin30",     "2*3cos60", "arcsen0.5",       "cotg45", "5x10^3sin(9x10^1)",
                         "sin(pi/2)", "tg45+15",  "radsin1.5707963", "sec60",  "2asin0.5"};
  for (const char* term : terms) {
    const std::string bracketed = std::string("[") + term + "]";
    EXPECT_EQ(line_value(term), line_value(bracketed.c_str())) << term;
  }
}

// The term buffer is reused from bracket to bracket: a short bracket after a long one must
// not see what the long one left behind.
TEST(EvaluateLine, LaterBracketIgnoresWhatALongerOneLeft) {
  EXPECT_EQ(line_value("[2*3cos60000]+[sin3]"), line_value("[sin3]+[2*3cos60000]"));
  EXPECT_EQ(printed(line_value("[12345678]+[sin3]")), "1.23457e+07");
  EXPECT_EQ(line_value("[sin30000000]*[0]+[cos6]"), line_value("cos6"));
}

// Lines of 99 bytes built from brackets, operators, '=' and letters stay inside every
// array (the sanitizer build checks) and give the value their structure implies: 99 bytes
// hold 24 whole "[2]*" and a last "[2]", so 2 to the 25th.
TEST(EvaluateLine, FullLinesOfBracketsAndOperators) {
  struct FillCase {
    const char* unit;
    const char* printed;
  };
  const FillCase fills[] = {
      {"[1]+", "25"},     {"[2]*", "3.35544e+07"},
      {"[]", "0"},        {"[", "0"},
      {"]", "0"},         {"+", "0"},
      {"=", "0"},         {"a", "0"},
      {"[sin90]+", "12"}, {"[1]/", "1"},
      {"[]-", "0"},       {"[[", "0"},
  };
  for (const FillCase& fill : fills) {
    std::string line;
    while (line.size() < line_capacity - 1) line += fill.unit;
    line.resize(line_capacity - 1);
    EXPECT_EQ(printed(line_value(line.c_str())), fill.printed) << fill.unit;
  }
}

TEST(EvaluateLine, OnlyTheFirst99BytesOfALineCount) {
  const std::string sine = "sin30" + std::string(94, ' ');
  EXPECT_EQ(printed(line_value((sine + "9").c_str())), "0.5");
  EXPECT_EQ(printed(line_value((std::string(99, ' ') + "[2]").c_str())), "0");
}

}  // namespace
