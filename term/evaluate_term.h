// Term evaluation: one term such as "2sin30" or "arcsen0.5" (optional amplitude, a
// function name, an argument) turned into amplitude x function(argument).
#pragma once

#include "term/reading_notes.h"
#include "term/term_text.h"

// Value of the term in `term`, which is normalised in place (the rest of the reading works
// on a copy). Never fails: text without a known function name gives 0. With `notes`, whose
// `base` is the column of the term's first byte in its line, notes what was read otherwise
// than written.
double evaluate_term(char (&term)[term_capacity], ReadingNotes* notes);
