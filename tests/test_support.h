// Helpers shared by the unit tests: values as the dialogue prints them, and line and term
// buffers filled from literal texts.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "line/evaluate_line.h"
#include "line/result_text.h"
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

// Value of `text` read as one term (brackets and all) and computed in doubles.
inline double term_value(const char* text) {
  static LineReading reading;  // a few KiB: kept off the stack
  reading.numbers.count = 0;
  reading.numbers.texts_used = 0;
  read_term(text, static_cast<int>(std::strlen(text)), 0, reading.terms[0], reading.numbers,
            nullptr);
  return compute_term(reading.terms[0], reading.numbers);
}

// Value of `text` as one input line, of which the engine reads the first 99 bytes.
inline double line_value(const char* text) {
  return evaluate_line(text, static_cast<int>(std::strlen(text)), nullptr);
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
