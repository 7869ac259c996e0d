// Text normalisation: rewrites the ways a user may write a term or a number ("x", "x10^",
// "e", ",", "pi", "rad", parentheses) into the one form the reading understands, keeping
// the line column of every byte.
#pragma once

#include "term/reading_notes.h"
#include "term/term_text.h"
#include "term/text_origins.h"

constexpr char radians_prefix[] = "rad";  // a term that begins with it is in radians

// Rewrites the zero-terminated `term` in place, recording in `origins` (started for it, no
// shift yet) how its bytes move, and sets `radians` when the term asks for radians; notes a
// "rad" that is not at the start.
void normalise_term(char* term, bool& radians, TextOrigins& origins, ReadingNotes* notes);

// Rewrites the text of a number in place as a term's numbers are rewritten, except that
// parentheses stay: "(5)" is no number, while in a term "sin(5)" is "sin5".
void normalise_number(char* text, TextOrigins& origins);
