// Term evaluation: one term such as "2sin30" or "arcsen0.5" (optional amplitude, a
// function name, an argument) turned into amplitude x function(argument).
#pragma once

#include "term/term_text.h"

// Value of the term in `term`, which is normalised and closed with '=' in place.
// Never fails: text without a known function name gives 0, and `recognised` says whether
// the term named a function the evaluator knows.
double evaluate_term(char (&term)[term_capacity], bool& recognised);

// Value of the term in `term`, as above, for callers that do not ask what was recognised.
inline double evaluate_term(char (&term)[term_capacity]) {
  bool recognised = false;
  return evaluate_term(term, recognised);
}
