// Text normalisation: rewrites the ways a user may write a term or a number ("x", "x10^",
// "e", ",", "pi", "rad", parentheses) into the one form the reading understands, keeping
// the line column of every byte. A term is normalised in one pass as it is copied, which also
// finds the first '='; a short look then finds where the amplitude ends.
#pragma once

#include "term/reading_notes.h"
#include "term/term_text.h"
#include "term/text_origins.h"

constexpr char radians_prefix[] = "rad";  // a term that begins with it is in radians

// What the pass over a term's text found besides its normalised bytes.
struct TermShape {
  int length;            // bytes of the normalised text, before its terminator
  int amplitude_length;  // bytes before the first letter some function name begins with
  int equals;            // index of the first '=', or -1 when there is none
};

// Copies the `length` bytes at `source` (none of them a zero byte) into `term` (room for
// `length` + 2 bytes), zero-terminated, rewritten into the one form ("x" and "X" as '*', ","
// as '.', an 'e' before no 'n' or 'c' as 'E', "pi" as "PI", "x10^" and "*10^" as 'E', the
// parentheses deleted, a leading "rad" dropped), recording in `origins` (started for the
// source, no shift yet) how its bytes move, and finds its shape; sets `radians` when the term
// asks for radians and notes a "rad" that is not at the start.
void normalise_term_text(const char* source, int length, char* term, TermShape& shape,
                         bool& radians, TextOrigins& origins, ReadingNotes* notes);

// Copies the `length` bytes at `source` into `text` (room for `length` + 1) rewritten as a
// term's numbers are rewritten, except that parentheses stay: "(5)" is no number, while in a
// term "sin(5)" is "sin5". Returns the bytes of `text`, before its terminator.
int normalise_number(const char* source, int length, char* text, TextOrigins& origins);
