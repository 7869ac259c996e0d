// Helpers shared by the unit tests: values as the dialogue prints them, and term buffers
// filled from literal texts.
#pragma once

#include <cstdio>
#include <string>

#include "term/evaluate_term.h"
#include "term/term_text.h"

// The value as the dialogue prints it, without the leading '='.
inline std::string printed(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// Value of `text` evaluated as one term, narrowed as the dialogue narrows it.
inline double term_value(const char* text) {
  char term[term_capacity];
  copy_text(term, term_capacity, text);
  return static_cast<double>(evaluate_term(term));
}
