// The exact computation: decimal texts read exactly, descriptions filled by hand folded as
// the double computation folds them, and whole lines whose exact values are known.
#include "line/exact_line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "exact/prepare_program.h"
#include "exact/reading_program.h"

namespace {

// A description being filled by hand: numbers with their texts and the operator after each.
struct HandReading {
  LineReading reading;

  HandReading() { std::memset(&reading, 0, sizeof reading); }

  // Adds a number and the operator that ends it; returns its index.
  int number(const char* text, char op, NumberForm form = NumberForm::decimal) {
    NumberStore& store = reading.numbers;
    const int index = store.count++;
    NumberRead& read = store.numbers[index];
    read = {};
    read.form = form;
    read.op = op;
    read.text = static_cast<short>(store.texts_used);
    read.text_length = static_cast<unsigned char>(std::strlen(text));
    std::strcpy(store.texts + store.texts_used, text);
    store.texts_used += static_cast<int>(std::strlen(text)) + 1;
    return index;
  }

  // Adds a term whose amplitude and argument are the `amplitude` and `argument` numbers
  // from `first`; returns its index.
  int term(TermFunction function, bool radians, int first, short amplitude, short argument) {
    const int index = reading.term_count++;
    TermReading& term = reading.terms[index];
    term = {};
    term.function = function;
    term.radians = radians;
    term.amplitude = {static_cast<short>(first), amplitude};
    term.argument = {static_cast<short>(first + amplitude), argument};
    return index;
  }

  void bracket(bool is_term, int index, char op) {
    reading.bracketed = true;
    reading.brackets[reading.bracket_count++] = {is_term, static_cast<short>(index), op, 0, 0, 0};
  }

  std::string text(int digits) {
    static Program program;
    compile_reading(reading, program);
    char value[exact_text_capacity];
    exact_program_text(program, reading.numbers, digits, value, nullptr);
    return value;
  }
};

TEST(ExactDecimal, ReadsTheDecimalItIsWrittenAs) {
  struct Case {
    const char* text;
    slong numerator;
    slong denominator;
  };
  // By hand: each text as a fraction in lowest terms. Too large: a size (integer digits, or
  // zeros after the point counted negative) past 20000 either way; 1e-20001 has 20000.
  const Case cases[] = {
      {"", 0, 1},          {"0.1", 1, 10},   {"-2.50", -5, 2},
      {"1.5e-3", 3, 2000}, {"+7E2", 700, 1}, {"0e999999999", 0, 1},
      {"12.", 12, 1},      {"-.5", -1, 2},   {"3e+2", 300, 1},
  };
  exact_number number;
  fmpq_init(number.value);
  fmpz_init(number.mantissa);
  fmpq_t expected;
  fmpq_init(expected);
  for (const Case& c : cases) {
    read_exact_decimal(c.text, number);
    fmpq_set_si(expected, c.numerator, static_cast<ulong>(c.denominator));
    EXPECT_FALSE(number.too_large) << c.text;
    EXPECT_TRUE(fmpq_equal(number.value, expected)) << c.text;
  }
  for (const char* large : {"1e20001", "1e-20002", "9e999999999999999999999", "5e-999999999"}) {
    read_exact_decimal(large, number);
    EXPECT_TRUE(number.too_large) << large;
  }
  fmpq_clear(expected);
  fmpq_clear(number.value);
  fmpz_clear(number.mantissa);
}

TEST(ExactFold, ProductsFirstThenSumsAndDroppedRuns) {
  struct Case {
    const char* numbers[5];
    const char* operators;  // the operator after each number
    const char* value;
  };
  // By hand, left to right, products and quotients first; a run after an operator other
  // than '+' or '-' takes no part; an operator after the last number meets 0.
  const Case cases[] = {
      {{"2", "3", "4"}, "+*=", "14"},
      {{"1", "3", "3"}, "/*=", "1"},
      {{"10", "4", "2"}, "-/=", "8"},
      {{"5", "7"}, "=+", "5"},
      {{"5"}, "*", "0"},
      {{"5"}, "+", "5"},
      {{"1", "2", "100"}, "+?=", "3"},
      {{"0.1", "0.2"}, "+=", "0.3"},
      {{"1", "3"}, "/=", "0.333333"},
  };
  for (const Case& c : cases) {
    HandReading hand;
    const int count = static_cast<int>(std::strlen(c.operators));
    for (int k = 0; k < count; ++k) hand.number(c.numbers[k], c.operators[k]);
    hand.number("90", '=');  // sin 90 = 1: the term's value is the amplitude's
    hand.term(TermFunction::sine, false, 0, static_cast<short>(count), 1);
    EXPECT_EQ(hand.text(6), c.value) << c.operators;
  }
}

TEST(ExactFold, EmptyListsAndTermsWithoutFunction) {
  HandReading one;  // no amplitude: 1; no argument: 0, so cos 0 = 1
  one.term(TermFunction::cosine, false, 0, 0, 0);
  EXPECT_EQ(one.text(20), "1");
  HandReading none;  // no function: 0, whatever its numbers
  none.number("1", '/');
  none.number("0", '=');
  none.term(TermFunction::none, false, 0, 2, 0);
  EXPECT_EQ(none.text(20), "0");
  HandReading pi;  // sin(pi / 6) in radians, pi read as a number
  pi.number("", '/', NumberForm::pi);
  pi.number("6", '=');
  pi.term(TermFunction::sine, true, 0, 0, 2);
  EXPECT_EQ(pi.text(50), "0.5");
}

TEST(ExactFold, BracketsJoinedByTheirOperators) {
  HandReading hand;  // [sin30] + [2] * [cos60] = 0.5 + 2 x 0.5 = 1.5
  hand.number("30", '=');
  const int sine = hand.term(TermFunction::sine, false, 0, 0, 1);
  const int two = hand.number("2", '=');
  hand.number("60", '=');
  const int cosine = hand.term(TermFunction::cosine, false, 2, 0, 1);
  hand.bracket(true, sine, '+');
  hand.bracket(false, two, '*');
  hand.bracket(true, cosine, '\0');
  EXPECT_EQ(hand.text(30), "1.5");
}

// Lines with known exact values, and each kind of value that does not exist.
TEST(ExactLine, KnownValuesAndValuesThatDoNotExist) {
  struct Case {
    const char* line;
    int digits;
    const char* text;
  };
  // By hand or from a table of known values: sin 15 = (sqrt 6 - sqrt 2) / 4, tan 15 =
  // 2 - sqrt 3, cos 36 = (1 + sqrt 5) / 4, arcsin(-1) = -90, arctg 1 in radians = pi / 4.
  const Case cases[] = {
      {"sin15", 20, "0.25881904510252076235"},
      {"tg15", 20, "0.26794919243112270647"},
      {"cos36", 20, "0.8090169943749474241"},
      {"arcsen-1", 30, "-90"},
      {"radarctg1", 20, "0.78539816339744830962"},
      {"sin390", 40, "0.5"},
      {"cos-120", 40, "-0.5"},
      {"sin-1e2", 10, "-0.984807753"},
      {"2sin(15+15)", 40, "1"},
      {"[tan15]x[tan75]", 60, "1"},
      {"[cos36]-[cos72]", 60, "0.5"},
      {"[1]/[3]", 5, "0.33333"},
      {"[2]/[3]", 1, "0.7"},
      {"[1e-5]", 3, "1e-05"},
      {"[123456]", 6, "123456"},
      {"[1234567]", 6, "1.23457e+06"},
      {"tg90", 20, "nan"},
      {"tg-270", 20, "nan"},
      {"sec270", 20, "nan"},
      {"cotg360", 20, "nan"},
      {"cosec-180", 20, "nan"},
      {"arcos1.0001", 20, "nan"},
      {"[5]/[0]", 20, "nan"},
      {"[5]/[cos90]", 20, "nan"},
      {"[1e20001]", 20, "nan"},
  };
  for (const Case& c : cases) {
    char text[exact_text_capacity];
    exact_line_text(c.line, static_cast<int>(std::strlen(c.line)), c.digits, text, nullptr);
    EXPECT_STREQ(text, c.text) << c.line;
  }
}

TEST(ExactLine, NotesSayWhyThereIsNoValueAndWhere) {
  struct Case {
    const char* line;
    NoteKind kind;
    int column;
    TermFunction function;
  };
  const Case cases[] = {
      {"tg90", NoteKind::exact_no_value, 0, TermFunction::tangent},
      {"[1]+[cotg0]", NoteKind::exact_no_value, 5, TermFunction::cotangent},
      {"arcsen2", NoteKind::exact_no_value, 0, TermFunction::arc_sine},
      {"arcos2", NoteKind::exact_no_value, 0, TermFunction::arc_cosine},
      {"[1]/[0]", NoteKind::exact_division_by_zero, 3, TermFunction::none},
      {"sin(1/0)", NoteKind::exact_division_by_zero, 5, TermFunction::none},
      {"[9e999999999]", NoteKind::exact_too_large, 1, TermFunction::none},
  };
  for (const Case& c : cases) {
    ReadingNotes notes;
    clear_notes(notes);
    char text[exact_text_capacity];
    exact_line_text(c.line, static_cast<int>(std::strlen(c.line)), 10, text, &notes);
    ASSERT_EQ(notes.count, 1) << c.line;
    EXPECT_EQ(notes.notes[0].kind, c.kind) << c.line;
    EXPECT_EQ(notes.notes[0].column, c.column) << c.line;
    EXPECT_EQ(notes.notes[0].function, c.function) << c.line;
  }
}

}  // namespace
