// Term text normalisation: rewrites the ways a user may write a term ("x", "x10^",
// "e", ",", "pi", "rad", parentheses) into the one form the term evaluator reads.
#pragma once

#include "term/term_text.h"

// Rewrites `term` in place and sets `radians` when the term asks for radians.
void normalise_term(char (&term)[term_capacity], bool& radians);
