// Helpers shared by the unit tests: values as the dialogue prints them, and line and term
// buffers filled from literal texts.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "line/evaluate_line.h"
#include "line/result_text.h"
#include "term/compute_term.h"
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

// Normalises each case's text and checks the rewritten text and the radians flag.
inline void expect_normalised(const NormaliseCase* cases, std::size_t count) {
  for (std::size_t k = 0; k < count; ++k) {
    char term[line_capacity];
    copy_text(term, line_capacity, cases[k].before);
    bool radians = false;
    TextOrigins origins;
    start_origins(origins, 0);
    normalise_term(term, radians, origins, nullptr);
    EXPECT_EQ(std::string(term), cases[k].after) << cases[k].before;
    EXPECT_EQ(radians, cases[k].radians) << cases[k].before;
  }
}
