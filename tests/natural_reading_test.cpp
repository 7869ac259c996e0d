// The natural reading: textbook lines whose values are known by hand or from an identity, in
// doubles and exactly; every kind of line it cannot read, with the column it stops at; what it
// reads one way of two; and identities that must hold between lines.
#include "natural/natural_reading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "line/evaluate_line.h"
#include "line/exact_line.h"
#include "line/value_line.h"
#include "natural/natural_tokens.h"

namespace {

int length_of(const char* line) {
  return static_cast<int>(std::strlen(line));
}

// The line's exact value at 20 digits, "" when this build has no exact mode.
std::string exact_text(const char* line) {
  if (!exact_mode_available()) return "";
  char text[exact_text_capacity];
  exact_natural_line_text(line, length_of(line), 20, text, nullptr);
  return text;
}

// Lines as a textbook writes them. The values: worked out by hand or from tables (sin 18 =
// (sqrt 5 - 1)/4, sin 15 = (sqrt 6 - sqrt 2)/4, tan 15 = 2 - sqrt 3) and written to 20
// digits, independently of the program (mpmath at 60 digits). In doubles each is within a
// few ulps; exactly, the 20 digits are these.
TEST(NaturalReading, TextbookLinesInBothArithmetics) {
  struct Case {
    const char* line;
    const char* value;
  };
  const Case cases[] = {
      {"sen(30)*2", "1"},
      {"2*sen30", "1"},
      {"sen30+1", "1.5"},
      {"sen30/2", "0.25"},
      {"sin30 + cos30", "1.3660254037844386468"},
      {"[sen30] + [cos60]", "1"},
      {"[sin30]+[2]*[cos60]", "1.5"},
      {"sen(60)^2", "0.75"},
      {"sen^2 30", "0.25"},
      {"sen\xC2\xB2"
       "30 + cos\xC2\xB2"
       "30",
       "1"},
      {"cos(\xCF\x80"
       "/3)",
       "0.5"},
      {"cos(pi/3)", "0.5"},
      {"\xE2\x88\x9A"
       "2",
       "1.4142135623730950488"},
      {"raiz 2", "1.4142135623730950488"},
      {"sqrt(8)/2", "1.4142135623730950488"},
      {"\xE2\x88\x9A"
       "2^2",
       "2"},
      {"2\xE2\x88\x9A"
       "3",
       "3.4641016151377545871"},
      {"SEN30", "0.5"},
      {"ARCSEN 0,5", "30"},
      {"Acos 0.5", "60"},
      {"Sen 30", "0.5"},
      {"2sen30cos30", "0.86602540378443864676"},
      {"sen(90-40)", "0.7660444431189780352"},
      {"tg 40", "0.83909963117728001176"},
      {"sen 40/cos 40", "0.83909963117728001176"},
      {"1/tg 40", "1.1917535925942099587"},
      {"cotg 40", "1.1917535925942099587"},
      {"cot 40", "1.1917535925942099587"},
      {"sec 60", "2"},
      {"cossec 30", "2"},
      {"csc 30", "2"},
      {"-3^2", "-9"},
      {"2^3^2", "512"},
      {"2^-1", "0.5"},
      {"(1+2)(3+4)", "21"},
      {"3(1+2)", "9"},
      {"1/2\xCF\x80", "0.15915494309189533577"},
      {"(1/2)\xCF\x80", "1.5707963267948966192"},
      {"2\xCF\x80", "6.2831853071795864769"},
      {"sen 2\xCF\x80", "0"},
      {"sen(\xCF\x80"
       "/6)",
       "0.5"},
      {"sen 30\xC2\xB0", "0.5"},
      {"sen 30\xC2\xBA", "0.5"},
      {"sen 30\xC2\xB0"
       "30'",
       "0.50753836296070416894"},
      {"cos 10\xC2\xB0"
       "15'36\"",
       "0.98400962565113974198"},
      {"sen 1 rad", "0.84147098480789650665"},
      {"rad sen 1", "0.84147098480789650665"},
      {"arcsen 0,5", "30"},
      {"arcsen(\xE2\x88\x9A"
       "3/2)",
       "60"},
      {"rad arcsen 0,5", "0.52359877559829887308"},
      {"arccos 0.5", "60"},
      {"arctg 1", "45"},
      {"sen\xE2\x81\xBB"
       "\xC2\xB9"
       "(0.5)",
       "30"},
      {"sen^-1 0.5", "30"},
      {"arcsec 2", "60"},
      {"arccossec 2", "30"},
      {"arccotg 1", "45"},
      {"arccotg(-1)", "135"},
      {"arcsen(sen 50)", "50"},
      {"sen(arccos 0.6)", "0.8"},
      {"5x10^3sen(9x10^1)", "5000"},
      {"2,5\xC3\x97"
       "10\xE2\x81\xBB"
       "\xC2\xB9",
       "0.25"},
      {"1,5e2 + 0,5", "150.5"},
      {"10 \xC3\xB7"
       " 4",
       "2.5"},
      {"3 \xC2\xB7"
       " 4 \xE2\x88\x92"
       " 5",
       "7"},
      {"sen 30 + 1", "1.5"},
      {"sen(30) cos(60)", "0.25"},
      {"(sen 30)\xC2\xB2", "0.25"},
      {"sen(30)^2 + cos(30)^2", "1"},
      {"tg(45) - sen(90)", "0"},
      {"2^10", "1024"},
      {"8^(1/3)", "2"},
      {"2^0,5", "1.4142135623730950488"},
      {"[1+2]*3", "9"},
      {"sen 18", "0.3090169943749474241"},
      {"cos 36 - sen 54", "0"},
      {"sen(2·37,123) − 2 sen 37,123 cos 37,123", "0"},  // an identity in 37.123°
      {"sen 15", "0.25881904510252076235"},
      {"tg 15", "0.26794919243112270647"},
      {"sen30 =", "0.5"},
      {"  sen 30  ", "0.5"},
      {"sen\xC2\xA0"
       "30",
       "0.5"},
      // A fraction of pi after a name is the angle; sen 30.1 from its exact degrees.
      {"sen \xCF\x80/6", "0.5"},
      {"cos \xCF\x80/3", "0.5"},
      {"cos 2\xCF\x80/3", "-0.5"},
      {"tg 3\xCF\x80/4", "-1"},
      {"sen 5\xCF\x80/6", "0.5"},
      {"sen \xCF\x80/6 + cos \xCF\x80/3", "1"},
      {"cos \xCF\x80/7", "0.90096886790241912624"},
      {"sen 30,1", "0.50151073715945736679"},
      {"tg 89,9", "572.95721335428773114"},
      {"sen 1e22", "-0.98480775301220805937"},
      // A root takes the next factor alone.
      {"\xE2\x88\x9A"
       "2\xE2\x88\x9A"
       "2",
       "2"},
      {"\xE2\x88\x9A"
       "2 sen 30",
       "0.7071067811865475244"},
      {"2\xE2\x88\x9A"
       "3/2",
       "1.7320508075688772935"},
      // A power of ten written with a times sign after a plain number only.
      {"2^3*10^2", "800"},
      {"2^-3*10^2", "12.5"},
      {"3*10^2", "300"},
      // A negative number to a fraction of odd denominator: its real power.
      {"(-8)^(1/3)", "-2"},
      {"(-8)^(2/3)", "4"},
      {"(-32)^(3/5)", "-8"},
      {"\xE2\x88\x9B(-8)", "-2"},
      {"\xE2\x88\x9B"
       "2",
       "1.2599210498948731648"},
      // The school's dot is times; a dot between digits a decimal mark.
      {"2 . sen 30", "1"},
      {"2,5 . 4", "10"},
      // Logarithms, the exponential, e, the hyperbolic functions, the absolute value.
      {"ln e\xC2\xB2", "2"},
      {"ln e", "1"},
      {"log 1000", "3"},
      {"log 0,01", "-2"},
      {"log 2", "0.30102999566398119521"},
      {"log 2 + log 5", "1"},
      {"ln 2", "0.69314718055994530942"},
      {"ln 10", "2.302585092994045684"},
      {"exp 1", "2.7182818284590452354"},
      {"e", "2.7182818284590452354"},
      {"2e", "5.4365636569180904707"},
      {"e^2", "7.3890560989306502272"},
      {"exp(-1)", "0.3678794411714423216"},
      {"EXP(0)", "1"},
      {"senh 1", "1.1752011936438014569"},
      {"sinh(-2)", "-3.6268604078470187677"},
      {"cosh 1", "1.5430806348152437785"},
      {"cosh(ln 2)", "1.25"},
      {"tgh 1", "0.76159415595576488812"},
      {"tanh 0", "0"},
      {"arcsenh 1", "0.88137358701954302523"},
      {"arccosh 2", "1.3169578969248167086"},
      {"argcosh 1", "0"},
      {"arctgh 0,5", "0.5493061443340548457"},
      {"|-3|", "3"},
      {"abs(-2,5)", "2.5"},
      {"|2 - |3 - 5||", "0"},
      {"|sen 210|", "0.5"},
      {"2|1 - 3|", "4"},
      // Square roots of squares of pi: pi to half the power (pi and 2pi by hand).
      {"\xE2\x88\x9A(\xCF\x80\xC2\xB2)", "3.1415926535897932385"},
      {"\xE2\x88\x9A(4\xCF\x80^2)", "6.2831853071795864769"},
      // Grads where an angle is.
      {"sen 50 grad", "0.7071067811865475244"},
      {"100 grad", "90"},
  };
  for (const Case& c : cases) {
    ReadingNotes notes;
    clear_notes(notes);
    const double value = evaluate_natural_line(c.line, length_of(c.line), &notes);
    const double expected = std::strtod(c.value, nullptr);
    EXPECT_NEAR(value, expected, 1e-14 * (1 + std::fabs(expected))) << c.line;
    const std::string exact = exact_text(c.line);
    if (!exact.empty()) {
      EXPECT_EQ(exact, c.value) << c.line;
    }
    const bool ambiguous = std::strstr(c.line, "1/2") != nullptr;
    if (!ambiguous) {
      EXPECT_EQ(notes.count, 0) << c.line;
    }
  }
}

// Lines the reading cannot read, or whose value does not exist: not a number, with a note of
// the kind, at the column (0-based) where it stopped and over the bytes it is about (0: a
// place between bytes); a function's note takes in its whole argument, signs and all.
TEST(NaturalReading, LinesWithoutValueSayWhereAndWhy) {
  struct Case {
    const char* line;
    NoteKind kind;
    int column;
    int length;
  };
  const Case cases[] = {
      {"", NoteKind::natural_empty, 0, 0},
      {"   ", NoteKind::natural_empty, 3, 0},
      {"sen", NoteKind::natural_missing_argument, 0, 3},
      {"2 + sen", NoteKind::natural_missing_argument, 4, 3},
      {"2+", NoteKind::natural_expected_operand, 2, 0},
      {"*3", NoteKind::natural_expected_operand, 0, 1},
      {"2*/3", NoteKind::natural_expected_operand, 2, 1},
      {"()", NoteKind::natural_expected_operand, 1, 1},
      {"((1)", NoteKind::natural_unclosed, 0, 1},
      {"sen(30", NoteKind::natural_unclosed, 3, 1},
      {"1)", NoteKind::natural_unopened, 1, 1},
      {"(1]", NoteKind::natural_mismatched, 2, 1},
      {"lg 2", NoteKind::natural_unknown_word, 0, 2},
      {"2 + senha30", NoteKind::natural_unknown_word, 4, 5},
      {"cose 60", NoteKind::natural_unknown_word, 0, 4},  // a spelling of the term reading alone
      {"sen 30 30", NoteKind::natural_missing_operator, 7, 2},
      {"2 3", NoteKind::natural_missing_operator, 2, 1},
      {"2 $ 3", NoteKind::natural_unexpected, 2, 1},
      {"30'", NoteKind::natural_unexpected, 2, 1},
      {"2 = 3", NoteKind::natural_not_a_value, 0, 0},
      {"sen x", NoteKind::natural_not_a_value, 0, 0},
      {"sen rad 1", NoteKind::natural_missing_argument, 0, 3},
      {"tg90", NoteKind::function_without_value, 0, 4},
      {"sec 270", NoteKind::function_without_value, 0, 7},
      {"cotg 0", NoteKind::function_without_value, 0, 6},
      {"cossec(-180)", NoteKind::function_without_value, 0, 12},
      {"arcsen 2", NoteKind::function_without_value, 0, 8},
      {"tg -90", NoteKind::function_without_value, 0, 6},
      {"2 tg -90", NoteKind::function_without_value, 2, 6},
      {"-tg 90", NoteKind::function_without_value, 1, 5},
      {"tg(-90)", NoteKind::function_without_value, 0, 7},
      {"tg -9e1", NoteKind::function_without_value, 0, 7},
      {"sec -(270)", NoteKind::function_without_value, 0, 10},
      {"1/0", NoteKind::quotient_without_value, 1, 1},
      {"1/(2-2)", NoteKind::quotient_without_value, 1, 1},
      {"raiz(-1)", NoteKind::root_without_value, 0, 8},
      {"2+√(-4)", NoteKind::root_without_value, 2, 7},  // √ is 3 bytes
      {"√-4", NoteKind::root_without_value, 0, 5},
      {"0^-1", NoteKind::power_without_value, 0, 4},
      {"(-8)^(1/2)", NoteKind::power_without_value, 0, 10},
      {"(-8)^0,5", NoteKind::power_without_value, 0, 8},
      // Poles of an angle written as a fraction of pi, and the functions of plain numbers
      // outside their domains.
      {"tg(\xCF\x80/2)", NoteKind::function_without_value, 0, 8},
      {"tg \xCF\x80/2", NoteKind::function_without_value, 0, 7},
      {"sec 3\xCF\x80/2", NoteKind::function_without_value, 0, 9},
      {"cotg \xCF\x80", NoteKind::function_without_value, 0, 7},
      {"ln 0", NoteKind::function_without_value, 0, 4},
      {"log(-1)", NoteKind::function_without_value, 0, 7},
      {"arccosh 0", NoteKind::function_without_value, 0, 9},
      {"arctgh 1", NoteKind::function_without_value, 0, 8},
      // Where the reading stops: the end after what would be noted (sen30^2 is read one way
      // of two; the line has no value for the note to be about), a stray character named at
      // its place, in an argument and in a group, an absolute value left open.
      {"sen30^2+", NoteKind::natural_expected_operand, 8, 0},
      {"1/2\xCF\x80-", NoteKind::natural_expected_operand, 6, 0},
      {"cos$30", NoteKind::natural_unexpected, 3, 1},
      {"sen\xE3\x80\x80"
       "30",
       NoteKind::natural_unexpected, 3, 3},
      {"(2 $)", NoteKind::natural_unexpected, 3, 1},
      {"cos(30 ~) + 1", NoteKind::natural_unexpected, 7, 1},
      {"|2 + 3", NoteKind::natural_unclosed, 0, 1},
      {"|2 + 3)", NoteKind::natural_unopened, 6, 1},
      {"ans * 2", NoteKind::natural_no_answer, 0, 3},
      {"sen x em rad", NoteKind::natural_unexpected, 6, 2},
      {"2 .sen 30", NoteKind::natural_unexpected, 2, 1},
  };
  for (const Case& c : cases) {
    ReadingNotes notes;
    clear_notes(notes);
    EXPECT_TRUE(std::isnan(evaluate_natural_line(c.line, length_of(c.line), &notes))) << c.line;
    ASSERT_GE(notes.count, 1) << c.line;
    EXPECT_EQ(notes.notes[0].kind, c.kind) << c.line;
    EXPECT_EQ(notes.notes[0].column, c.column) << c.line;
    EXPECT_EQ(notes.notes[0].length, c.length) << c.line;
    const std::string exact = exact_text(c.line);
    if (!exact.empty()) {
      EXPECT_EQ(exact, "nan") << c.line;
    }
  }
}

// A number's decimal text as the reading writes it for the conversion, whole and terminated
// whatever the buffer held before (here nines): a decimal comma a point, a power of ten in
// any of its spellings an exponent, its plus sign left out. By hand.
TEST(NaturalReading, NumberTextsAsTheConversionReadsThem) {
  struct Case {
    const char* line;
    const char* text;
  };
  const Case cases[] = {
      {"30", "30"},         {"2,5", "2.5"},      {"0.125", "0.125"}, {"1e-3", "1E-3"},
      {"1E+3", "1E3"},      {"5x10^-3", "5E-3"}, {"5*10^2", "5E2"},  {"7×10⁻²", "7E-2"},
      {"12,5E4", "12.5E4"}, {"5·10^3", "5E3"},
  };
  for (const Case& c : cases) {
    Token tokens[natural_token_capacity];
    ASSERT_GE(read_tokens(c.line, length_of(c.line), tokens), 2) << c.line;
    ASSERT_EQ(tokens[0].kind, TokenKind::number) << c.line;
    char text[natural_number_text_capacity];
    std::memset(text, '9', sizeof text);
    const int written = number_text_of(c.line, tokens[0], text);
    EXPECT_STREQ(text, c.text) << c.line;
    EXPECT_EQ(written, static_cast<int>(std::strlen(c.text))) << c.line;
  }
}

// A power written on a name that overflows is noted on that power: sec 89.9 is about 573,
// and 573^999 passes the largest double.
TEST(NaturalReading, AnOverflowIsNotedWhereItHappens) {
  const char* line =
      "sec\xE2\x81\xB9\xE2\x81\xB9\xE2\x81\xB9"
      "89,9";  // sec⁹⁹⁹89,9
  ReadingNotes notes;
  clear_notes(notes);
  EXPECT_TRUE(std::isinf(evaluate_natural_line(line, length_of(line), &notes)));
  ASSERT_EQ(notes.count, 1);
  EXPECT_EQ(notes.notes[0].kind, NoteKind::not_finite);
  EXPECT_EQ(notes.notes[0].column, 3);
  EXPECT_EQ(notes.notes[0].length, 9);
}

// Deep nesting and long lines stay within the reading's bounds, each with its note.
TEST(NaturalReading, DeepNestingAndLongLinesAreBounded) {
  std::string open(49, '(');
  std::string deep = open + "1" + std::string(49, ')');  // 99 bytes: 49 groups, read
  EXPECT_EQ(evaluate_natural_line(deep.c_str(), length_of(deep.c_str()), nullptr), 1.0);
  std::string signs(98, '-');
  signs += "1";  // 98 minus signs: past the nesting the reading holds
  ReadingNotes notes;
  clear_notes(notes);
  EXPECT_TRUE(std::isnan(evaluate_natural_line(signs.c_str(), length_of(signs.c_str()), &notes)));
  ASSERT_GE(notes.count, 1);
  EXPECT_EQ(notes.notes[0].kind, NoteKind::natural_too_deep);
  EXPECT_EQ(notes.notes[0].column, 50);  // the 51st sign: 50 nest
  // Functions side by side do not nest: after five of them, 50 signs are as deep as ever,
  // read: 5 tg 0 + (-1)^50 = 1.
  const std::string functions = "tg0+tg0+tg0+tg0+tg0+" + std::string(50, '-') + "1";
  EXPECT_EQ(evaluate_natural_line(functions.c_str(), length_of(functions.c_str()), nullptr), 1.0);
  const std::string sum = "1" + std::string(60, ' ') + "+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1";
  clear_notes(notes);  // 121 bytes: its first 99 would be 20, the line is 21; it is not read
  EXPECT_TRUE(std::isnan(evaluate_natural_line(sum.c_str(), length_of(sum.c_str()), &notes)));
  ASSERT_EQ(notes.count, 1);
  EXPECT_EQ(notes.notes[0].kind, NoteKind::natural_too_long);
  EXPECT_EQ(notes.notes[0].column, 99);
  EXPECT_EQ(exact_text(sum.c_str()), exact_mode_available() ? "nan" : "");
}

// What is read one way of two is noted, and computed all the same: factors side by side after
// a '/' all divide; a power in an argument without parentheses stays in the argument.
TEST(NaturalReading, WhatIsReadOneWayOfTwoIsNoted) {
  struct Case {
    const char* line;
    NoteKind kind;
    int column;
    int length;
    double value;  // by hand
  };
  const Case cases[] = {
      {"6/2(1+2)", NoteKind::natural_division_of_product, 1, 7, 1.0},
      {"1/2sen30", NoteKind::natural_division_of_product, 1, 7, 1.0},
      {"sen30^2", NoteKind::natural_power_in_argument, 0, 7, std::sin(900 * M_PI / 180)},
      {"2 + cos 2^2", NoteKind::natural_power_in_argument, 4, 7, 2 + std::cos(4 * M_PI / 180)},
      {"tg -90²", NoteKind::natural_power_in_argument, 0, 8,
       0.0},  // tg(-8100) = tg 0; ² is 2 bytes
      // An "x" that may be times or the unknown is times, as it always was.
      {"2 x 3 X 4", NoteKind::natural_x_as_times, 2, 1, 24.0},
      {"sen 30 x cos 60", NoteKind::natural_x_as_times, 7, 1, 0.25},
      {"2 x 10^3", NoteKind::natural_x_as_times, 2, 1, 2000.0},
      {"2x-3", NoteKind::natural_x_as_times, 1, 1, -6.0},
      // A sign before the factors after '/' hides nothing.
      {"6/-2(1+2)", NoteKind::natural_division_of_product, 1, 8, -1.0},
      {"6/+2(1+2)", NoteKind::natural_division_of_product, 1, 8, 1.0},
  };
  for (const Case& c : cases) {
    ReadingNotes notes;
    clear_notes(notes);
    EXPECT_NEAR(evaluate_natural_line(c.line, length_of(c.line), &notes), c.value, 1e-12) << c.line;
    ASSERT_EQ(notes.count, 1) << c.line;
    EXPECT_EQ(notes.notes[0].kind, c.kind) << c.line;
    EXPECT_EQ(notes.notes[0].column, c.column) << c.line;
    EXPECT_EQ(notes.notes[0].length, c.length) << c.line;
  }
}

// Identities between lines: 2 sen x cos x = sen 2x, sen(90 - x) = cos x, tg x = sen x / cos x,
// sen²x + cos²x = 1, for angles of every quadrant; exactly, both sides print the same digits.
TEST(NaturalReading, IdentitiesHoldBetweenLines) {
  const char* angles[] = {"1", "17.5", "45", "100", "200.25", "-33", "359"};
  for (const char* x : angles) {
    const std::string pairs[][2] = {
        {std::string("2sen") + x + "cos" + x, std::string("sen(2*") + x + ")"},
        {std::string("sen(90-") + x + ")", std::string("cos ") + x},
        {std::string("tg ") + x, std::string("sen ") + x + "/cos " + x},
        {std::string("sen²") + x + "+cos²" + x, "1"},
    };
    for (const auto& pair : pairs) {
      const double left =
          evaluate_natural_line(pair[0].c_str(), length_of(pair[0].c_str()), nullptr);
      const double right =
          evaluate_natural_line(pair[1].c_str(), length_of(pair[1].c_str()), nullptr);
      EXPECT_NEAR(left, right, 1e-14) << pair[0] << " = " << pair[1];
      EXPECT_EQ(exact_text(pair[0].c_str()), exact_text(pair[1].c_str())) << pair[0];
    }
  }
}

// The reading's program for a line the term reading also reads as written gives the term
// reading's value to within two ulps: both are within about one of the exact value, the
// natural reading's reducing its angles exactly in degrees, the term reading's the angle's
// double in radians (which near a pole, or for a huge angle, is far from the angle written:
// tg 89,9 and sen 1e22 are in the textbook lines, whose values the natural reading keeps).
TEST(NaturalReading, AgreesWithTheTermReadingWhereBothReadAsWritten) {
  const char* lines[] = {"sin30",
                         "2sin30",
                         "cos60",
                         "tg45",
                         "cotg 45",
                         "sec60",
                         "cosec30",
                         "arcsen0.5",
                         "2*3cos60",
                         "sin(30+60)",
                         "radsin1.5707963",
                         "sin(pi/2)",
                         "5x10^3sin(9x10^1)",
                         "sin30,5",
                         "arctg1",
                         "-2sin30"};
  for (const char* line : lines) {
    const double term = evaluate_line(line, length_of(line), nullptr);
    const double natural = evaluate_natural_line(line, length_of(line), nullptr);
    EXPECT_LE(std::fabs(term - natural), 4.5e-16 * std::fabs(term)) << line << ": " << term;
  }
}

// Every textbook angle of the unit circle, a multiple of 30 or 45 degrees written in degrees
// and as a fraction of pi, for the six functions: the double nearest the exact value (0, ±1/2,
// ±1, ±√2/2, ±√3/2, ±√3, ±√3/3, ±2, ±√2, ±2√3/3, worked out by hand and written to 30 digits),
// or no value at a pole.
TEST(NaturalReading, TextbookAnglesAreExactInDoubles) {
  // Each value's size by name: "0", "1/2", "r2/2" (√2/2), "r3/2", "1", "r3" (√3), "r3/3",
  // "2", "r2", "2r3/3"; "-" before a name makes it negative, "pole" has no value.
  struct Size {
    const char* name;
    const char* digits;
  };
  const Size sizes[] = {{"0", "0"},
                        {"1/2", "0.5"},
                        {"r2/2", "0.707106781186547524400844362105"},
                        {"r3/2", "0.866025403784438646763723170753"},
                        {"1", "1"},
                        {"r3", "1.73205080756887729352744634151"},
                        {"r3/3", "0.577350269189625764509148780502"},
                        {"2", "2"},
                        {"r2", "1.41421356237309504880168872421"},
                        {"2r3/3", "1.15470053837925152901829756100"}};
  struct Angle {
    int degrees;
    const char* values[6];  // sen, cos, tg, cotg, sec, cossec
  };
  const Angle angles[] = {
      {0, {"0", "1", "0", "pole", "1", "pole"}},
      {30, {"1/2", "r3/2", "r3/3", "r3", "2r3/3", "2"}},
      {45, {"r2/2", "r2/2", "1", "1", "r2", "r2"}},
      {60, {"r3/2", "1/2", "r3", "r3/3", "2", "2r3/3"}},
      {90, {"1", "0", "pole", "0", "pole", "1"}},
      {120, {"r3/2", "-1/2", "-r3", "-r3/3", "-2", "2r3/3"}},
      {135, {"r2/2", "-r2/2", "-1", "-1", "-r2", "r2"}},
      {150, {"1/2", "-r3/2", "-r3/3", "-r3", "-2r3/3", "2"}},
      {180, {"0", "-1", "0", "pole", "-1", "pole"}},
      {210, {"-1/2", "-r3/2", "r3/3", "r3", "-2r3/3", "-2"}},
      {225, {"-r2/2", "-r2/2", "1", "1", "-r2", "-r2"}},
      {240, {"-r3/2", "-1/2", "r3", "r3/3", "-2", "-2r3/3"}},
      {270, {"-1", "0", "pole", "0", "pole", "-1"}},
      {300, {"-r3/2", "1/2", "-r3", "-r3/3", "2", "-2r3/3"}},
      {315, {"-r2/2", "r2/2", "-1", "-1", "r2", "-r2"}},
      {330, {"-1/2", "r3/2", "-r3/3", "-r3", "2r3/3", "-2"}},
      {360, {"0", "1", "0", "pole", "1", "pole"}},
      {-30, {"-1/2", "r3/2", "-r3/3", "-r3", "2r3/3", "-2"}},
      {-135, {"-r2/2", "-r2/2", "1", "1", "-r2", "-r2"}},
  };
  const char* names[] = {"sen", "cos", "tg", "cotg", "sec", "cossec"};
  for (const Angle& angle : angles) {
    // The angle as a fraction of pi: degrees / 180 in lowest terms.
    int numerator = angle.degrees, denominator = 180;
    for (int d = 2; d <= 180; ++d) {
      while (numerator % d == 0 && denominator % d == 0) numerator /= d, denominator /= d;
    }
    const std::string times = numerator == 1    ? ""
                              : numerator == -1 ? "-"
                                                : std::to_string(numerator);
    const std::string pi = numerator == 0 ? "0" : times + "\xCF\x80";
    const std::string fraction = denominator == 1 ? pi : pi + "/" + std::to_string(denominator);
    for (int f = 0; f < 6; ++f) {
      const std::string value = angle.values[f];
      const bool negative = value[0] == '-';
      const std::string size = negative ? value.substr(1) : value;
      const std::string written[] = {
          std::string(names[f]) + "(" + std::to_string(angle.degrees) + ")",
          std::string(names[f]) + "(" + fraction + ")"};
      for (const std::string& line : written) {
        ReadingNotes notes;
        clear_notes(notes);
        const double got = evaluate_natural_line(line.c_str(), length_of(line.c_str()), &notes);
        if (size == "pole") {
          EXPECT_TRUE(std::isnan(got)) << line;
          ASSERT_EQ(notes.count, 1) << line;
          EXPECT_EQ(notes.notes[0].kind, NoteKind::function_without_value) << line;
          continue;
        }
        const char* digits = nullptr;
        for (const Size& known : sizes) {
          if (size == known.name) digits = known.digits;
        }
        ASSERT_NE(digits, nullptr) << size;
        const double expected = (negative ? -1 : 1) * std::strtod(digits, nullptr);
        EXPECT_EQ(got, expected) << line;
        EXPECT_FALSE(std::signbit(got) && got == 0) << line << ": -0";
        EXPECT_EQ(notes.count, 0) << line;
      }
    }
  }
}

// A line that asks its value in a unit: radians beside their multiple of pi, degrees, grads,
// degrees, minutes and seconds; in doubles and exactly alike. By hand: 30° is π/6 =
// 0.523599 rad, 1 rad is 180/π = 57.2958°, 100 grad is 90°; arctg 0.75 is 36.8698976458440°
// = 36°52'11.6315"; 29.999999° is 29°59'59.9964", 60" to the hundredth; 10.0001° is
// 10°0'0.36"; -0.5° is -0°30'.
TEST(NaturalReading, ConversionsWriteTheUnitAskedFor) {
  struct Case {
    const char* line;
    const char* text;
  };
  const Case cases[] = {
      {"30\xC2\xB0 em rad", "\xCF\x80/6 \xE2\x89\x88 0.523599"},
      {"30 em rad", "\xCF\x80/6 \xE2\x89\x88 0.523599"},
      {"-45 em rad", "\xE2\x88\x92\xCF\x80/4 \xE2\x89\x88 -0.785398"},
      {"120 em rad", "2\xCF\x80/3 \xE2\x89\x88 2.0944"},
      {"\xCF\x80/6 em graus", "30\xC2\xB0"},
      {"2\xCF\x80 EM GRAUS", "360\xC2\xB0"},
      {"1 rad em graus", "57.2958\xC2\xB0"},
      {"rad arcsen 0,5 em graus", "30\xC2\xB0"},
      {"100 grad em graus", "90\xC2\xB0"},
      {"90 em grad", "100 grad"},
      {"\xCF\x80/2 em grad", "100 grad"},
      {"arctg 0,75 em gms",
       "36\xC2\xB0"
       "52'11,63\""},
      {"30,5 em gms",
       "30\xC2\xB0"
       "30'"},
      {"29,999999 em gms", "30\xC2\xB0"},
      {"10,0001 em gms",
       "10\xC2\xB0"
       "0'0,36\""},
      {"-0,5 em gms",
       "-0\xC2\xB0"
       "30'"},
      {"\xCF\x80/7 em gms",
       "25\xC2\xB0"
       "42'51,43\""},
      {"1/0 em graus", "nan"},
  };
  for (bool exact : {false, true}) {
    if (exact && !exact_mode_available()) continue;
    const ValueFormat format = {6, exact, true, FormShown::none, true};
    for (const Case& c : cases) {
      char text[value_line_capacity];
      line_value_text(c.line, length_of(c.line), format, "", "", text, nullptr);
      EXPECT_STREQ(text, c.text) << c.line << (exact ? " exactly" : " in doubles");
    }
  }
  // At 17 digits in doubles, degrees and grads known exactly are their nearest double (by
  // hand), not the rounding the conversion's own steps leave: π/6 em graus is not
  // 29.999999999999996°; radians are the double π/6 written alone has.
  const Case seventeen[] = {
      {"\xCF\x80/6 em graus", "30\xC2\xB0"},
      {"rad arcsen 0,5 em graus", "30\xC2\xB0"},
      {"\xCF\x80/2 em grad", "100 grad"},
      {"30 em grad", "33.333333333333336 grad"},
      {"30 em rad", "\xCF\x80/6 \xE2\x89\x88 0.52359877559829882"},  // as π/6 alone
  };
  const ValueFormat format = {17, false, true, FormShown::none, true};
  for (const Case& c : seventeen) {
    char text[value_line_capacity];
    line_value_text(c.line, length_of(c.line), format, "", "", text, nullptr);
    EXPECT_STREQ(text, c.text) << c.line;
  }
}

// The last answer is the line before's value (a line without one leaves it), exactly in the
// exact mode: 1/3 times 3 is 1, sen of π/6 is 1/2. An answer too long to stand in whole
// stands as its digits, noted.
TEST(NaturalReading, TheLastAnswerIsTheValueBefore) {
  struct Case {
    const char* line;
    const char* doubles;  // at 17 digits
    const char* exactly;  // at 20 digits
  };
  const Case cases[] = {
      {"1/3", "0.33333333333333331", "0.33333333333333333333"},
      {"ans*3", "1", "1"},
      {"sen 1/0", "nan", "nan"},
      {"resp + ans", "2", "2"},
      {"\xCF\x80/6", "0.52359877559829882", "0.52359877559829887308"},
      {"sen ans", "0.5", "0.5"},
      {"ans em gms",
       "0\xC2\xB0"
       "30'",
       "0\xC2\xB0"
       "30'"},
      {"30\xC2\xB0 em rad", "\xCF\x80/6 \xE2\x89\x88 0.52359877559829882",
       "\xCF\x80/6 \xE2\x89\x88 0.52359877559829887308"},
      {"cos ans", "0.8660254037844386", "0.86602540378443864676"},
  };
  for (bool exact : {false, true}) {
    if (exact && !exact_mode_available()) continue;
    const ValueFormat format = {exact ? 20 : 17, exact, true, FormShown::none, true};
    LastAnswer last;
    last.held = false;
    for (const Case& c : cases) {
      char text[value_line_capacity];
      line_value_text(c.line, length_of(c.line), format, "", "", text, nullptr, nullptr, &last);
      EXPECT_STREQ(text, exact ? c.exactly : c.doubles) << c.line;
    }
  }
  // sen 1 + sen 2 + ... : some 80 steps; squared three times, 640, past the room of a program.
  const char* sum = "sen 1+sen 2+sen 3+sen 4+sen 5+sen 6+sen 7+sen 8+sen 9+sen 10+sen 11+sen 12";
  const ValueFormat format = {17, false, true, FormShown::none, true};
  LastAnswer last;
  last.held = false;
  char text[value_line_capacity];
  line_value_text(sum, length_of(sum), format, "", "", text, nullptr, nullptr, &last);
  const double value = std::strtod(text, nullptr);
  for (int k = 0; k < 4; ++k) {
    ReadingNotes notes;
    clear_notes(notes);
    line_value_text("ans*ans", 7, format, "", "", text, &notes, nullptr, &last);
    const double squares[] = {2, 4, 8, 16};
    EXPECT_NEAR(std::strtod(text, nullptr), std::pow(value, squares[k]),
                1e-13 * std::pow(value, squares[k]));
    const bool digits =
        notes.count > 0 && notes.notes[0].kind == NoteKind::natural_answer_as_digits;
    EXPECT_EQ(digits, k == 3) << k;
  }
}

}  // namespace
