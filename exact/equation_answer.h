// The answer to a line in the unknown, as a textbook writes it: an equation's solutions as
// families x = start + k period (k an integer), then those in one turn or in the interval the
// line gives, each exact where it is (30°, π/6) or to the digits asked for; "sem solução";
// "vale para todo x", with the points where the line has no value; for a line without "=",
// its value for every x or that it depends on x, with its period. Words with their accents
// (the front end shows them as our texts are shown), signs in UTF-8 or ASCII. Needs FLINT, Arb
// and Calcium; built into the exact mode's module only.
#pragma once

#include "exact/exact_answer.h"
#include "program/program.h"
#include "term/reading_notes.h"
#include "term/term_reading.h"

// What the answer needs besides the line's program: the unknown's name as written, the
// digits of what is not exact, and the script.
struct AnswerRequest {
  const char* name;  // the unknown's bytes
  int name_length;
  int digits;
  bool unicode;
};

// True when answering `program` (its numbers in `store`, its shape in `shape`) is light work,
// of a few milliseconds and little memory, done without a bounded child.
bool line_answer_is_light(const Program& program, const NumberStore& store,
                          const ProgramShape& shape);

// Writes the answer to `program` (its numbers in `store`, its shape in `shape`) into `text`;
// returns its length. A line the answer cannot be given for (outside the equations solved, or
// past a bound) has "não sei resolver" with the note why in `note` and `noted` set.
int write_line_answer(const Program& program, const NumberStore& store, const ProgramShape& shape,
                      const AnswerRequest& request, char (&text)[exact_answer_capacity],
                      ReadingNote& note, bool& noted);
