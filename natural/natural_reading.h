// The natural reading: a line read as ordinary arithmetic, as a textbook writes it, into the
// program form (program/program.h) that both arithmetics run. Its grammar is in
// docs/reading.md; in short: numbers with '.' or ',', powers of ten (e, x10^, *10^, ×10^, the
// last three after a plain number only); + - * / ^ with the usual precedence (^ right to left
// and above a leading minus), x × · and " . " for times, ÷, the minus sign −, superscript
// powers; parentheses and square brackets that group, bars around an absolute value; a
// product left implicit between factors side by side, bound tighter than * and / (1/2π is
// 1/(2π), and noted); functions by every spelling term/function_names.h gives it, in any
// case, on a group or on the factors that follow up to the next + - * / or function name (and
// a fraction of π after them: sen π/6 is sen(π/6)); √, ∛, raiz, sqrt; pi and π, e, the last
// answer (ans, resp); angles in degrees unless the argument holds π or a "rad", or the line
// begins with "rad" (which puts inverse functions' values in radians too); ° and º with
// minutes and seconds, "grad" after a number; a conversion after the line ("em rad", "em
// graus", "em gms", "em grad"). A line it cannot read is noted where it stopped and has no
// value.
#pragma once

#include "program/program.h"
#include "term/reading_notes.h"
#include "term/term_reading.h"

// The units a value may be converted to after "em": radians ("rad"), degrees ("graus"),
// degrees, minutes and seconds ("gms") and grads ("grad").
enum class ConversionUnit : unsigned char { none, radians, degrees, dms, grads };

// A line as the natural reading read it.
struct NaturalReading {
  bool read;            // the whole line was read into `program`; otherwise a note says why
  Program program;      // postfix steps over `numbers`, with the columns each came from
  NumberStore numbers;  // every number written, as its decimal text, and each pi
  ProgramShape shape;   // the unknown, its unit, an equation, several expressions, an interval
  bool value_radians;   // the value is an angle in radians: the line begins with "rad", holds
                        // π or "rad" outside every function's argument, or converts to radians
  ConversionUnit conversion;  // the unit the line asks its value in ("em ..."): `program`
                              // computes it in that unit (degrees for gms); none: as it is
};

// The last answer a front end keeps for its session: the reading of its last line that had a
// value, which "ans" and "resp" stand for.
struct LastAnswer {
  bool held;  // a line had a value
  NaturalReading reading;
};

// How "x" is told from times. In a line that is an equation (a "=" with something after it),
// that has an interval for the unknown, or that writes θ, α or β, every "x" is the unknown.
// In any other line an "x" is times where the line reads so ("sen 30 x cos 60", "2 x 3") and
// the unknown where it cannot be times ("sen x", "2x", "x/2", "cos²x"); a line that reads
// both ways is read as times, as it always was, and noted.
//
// Reads the `length` bytes at `line` (at most line_capacity - 1, none of them a zero byte: the
// engine's read_natural keeps those a line is read from) into `reading`. With `notes`, records
// why a line could not be read (a note at the place, saying what was expected there), and what
// was read one way of two (a division by factors side by side, a power in an argument without
// parentheses).
//
// `last` (null: none) is the line before's reading, as kept by whoever holds the last answer
// (a line that was read and had a value), which "ans" and "resp" stand for: its program is
// put in their place, so that the answer is the very value it was, exactly in the exact mode.
void read_natural_line(const char* line, int length, NaturalReading& reading, ReadingNotes* notes,
                       const NaturalReading* last = nullptr);
