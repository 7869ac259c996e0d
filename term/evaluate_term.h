// Term evaluation: one term such as "2sin30" or "arcsen0.5" (optional amplitude, a
// function name, an argument) turned into amplitude x function(argument).
#pragma once

#include "term/term_text.h"

// Value of the term in `term`, which is normalised in place (the rest of the reading works
// on a copy). Never fails: text without a known function name gives 0, and `recognised` says
// whether the term named a function the evaluator knows.
double evaluate_term(char (&term)[term_capacity], bool& recognised);
