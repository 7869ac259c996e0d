// Helpers shared by the unit tests: values as the dialogue prints them, and line and term
// buffers filled from literal texts.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "bracket/compute_line.h"
#include "bracket/reading_program.h"
#include "line/evaluate_line.h"
#include "line/result_text.h"
#include "program/run_doubles.h"
#include "term/compute_term.h"
#include "term/decimal_number.h"
#include "term/normalise_term.h"
#include "term/term_reading.h"
#include "term/term_text.h"

// The number of a result line, without the front ends' framing, with `digits` digits.
inline std::string number_text(double value, int digits) {
  char line[result_line_capacity];
  format_result_line(value, digits, "", "", line, sizeof line);
  return line;
}

// The value as the dialogue prints it, without the leading '='.
inline std::string printed(double value) {
  return number_text(value, default_result_digits);
}

// True when `a` and `b` have the same bits: a not-a-number and the sign of a zero count.
inline bool same_bits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Checks that the program form compiled from `reading` for doubles, run under the term
// reading's rules, gives `value`, the double computation's, to the bit: both ways of
// computing a line of the term reading agree, in every row of the tables that use this. Any
// not-a-number matches any other (its sign and payload follow the order in which the compiler
// put a product's operands; every one prints "nan").
inline void expect_program_agrees(const LineReading& reading, double value, const char* text) {
  static Program program;  // a few KiB: kept off the stack
  compile_reading(reading, CompiledFor::doubles, program);
  EXPECT_TRUE(program.complete) << text;
  const double run = run_term_program(program, reading.numbers);
  EXPECT_TRUE(same_bits(run, value) || (std::isnan(run) && std::isnan(value)))
      << text << ": the program form gives " << run << ", not " << value;
}

// Value of `text` read as one term (brackets and all) and computed in doubles, as the fold
// computes it and as the program form runs it.
inline double term_value(const char* text) {
  static LineReading reading;  // a few KiB: kept off the stack
  reading.numbers.count = 0;
  reading.numbers.texts_used = 0;
  reading.bracketed = false;
  reading.term_count = 1;
  reading.bracket_count = 0;
  read_term(text, static_cast<int>(std::strlen(text)), 0, reading.terms[0], reading.numbers,
            nullptr);
  const double value = compute_term(reading.terms[0], reading.numbers);
  expect_program_agrees(reading, value, text);
  return value;
}

// Value of `text` as one input line, of which the engine reads the first 99 bytes; the
// program form compiled from its reading gives it the same bits.
inline double line_value(const char* text) {
  const int length = static_cast<int>(std::strlen(text));
  static LineReading reading;
  read_line(text, length, reading, nullptr);
  expect_program_agrees(reading, compute_line(reading), text);
  return evaluate_line(text, length, nullptr);
}

struct NormaliseCase {
  const char* before;  // the term as typed
  const char* after;   // the term once normalised
  bool radians;        // whether normalisation asks for radians
};

// Normalises each case's text as a term's reading does and checks the rewritten text and the
// radians flag.
inline void expect_normalised(const NormaliseCase* cases, std::size_t count) {
  for (std::size_t k = 0; k < count; ++k) {
    char term[line_capacity + 1];
    TermShape shape;
    bool radians = false;
    TextOrigins origins;
    start_origins(origins, 0);
    normalise_term_text(cases[k].before, static_cast<int>(std::strlen(cases[k].before)), term,
                        shape, radians, origins, nullptr);
    EXPECT_EQ(std::string(term), cases[k].after) << cases[k].before;
    EXPECT_EQ(radians, cases[k].radians) << cases[k].before;
  }
}

// The value of the decimal prefix of `text`, its bytes in `length`, as the reading stores a
// number (its text less the blanks before it, zero-terminated) and a computation converts it.
inline double stored_decimal_value(const char* text, int& length) {
  length = decimal_prefix_length(text);
  int blanks = 0;
  while (blanks < length && is_blank(text[blanks])) ++blanks;
  const std::string stored(text + blanks, static_cast<std::size_t>(length - blanks));
  return decimal_text_value(stored.c_str(), length - blanks);
}
