// The engine both front ends share: a line of text read once into a description of what it
// says (one term, or bracketed terms and numbers) with notes of what was read otherwise than
// written, and that description computed in doubles. The line is never written to; the
// reading's scratch (a few KiB) lives on the stack of the call that reads the line, so the
// engine keeps nothing between lines and may be called from anywhere (the exact module alone
// keeps state: one line at a time).
#pragma once

#include "bracket/line_reading.h"
#include "natural/natural_reading.h"
#include "program/exact_fraction.h"
#include "term/reading_notes.h"
#include "text/limits.h"

// Reads the line of `length` bytes at `line` into `reading`: a line holding '[' or ']' is a
// bracketed expression, any other one term. With `notes`, records everything read otherwise
// than written, by columns of the line (a line longer than it reads included), to be
// finished once the computation has added its own (finish_notes). Returns shown_length.
int read_line(const char* line, int length, LineReading& reading, ReadingNotes* notes);

// Reads the line of `length` bytes at `line` as ordinary arithmetic (natural/natural_reading.h)
// into `reading`: its shown bytes up to a zero byte, "ans" standing for `last` (null: there is
// no last answer). A line longer than the shown bytes is not read: it has no value. With
// `notes`, records why it could not be read, what was read one way of two and a zero byte, to
// be finished once the computation has added its own. Returns shown_length.
int read_natural(const char* line, int length, NaturalReading& reading, ReadingNotes* notes,
                 const NaturalReading* last = nullptr);

// The value of the line of `length` bytes at `line`, read as read_line reads it and computed
// in doubles; with `notes`, its notes, the reading's and why a value that is no finite number
// is so, finished.
double evaluate_line(const char* line, int length, ReadingNotes* notes);

// The value of the line of `length` bytes at `line` read as ordinary arithmetic
// (natural/natural_reading.h) and its program run in doubles (program/run_doubles.h): not a
// number when the line cannot be read or the value does not exist. With `notes`, its notes,
// the reading's and why there is no value (or no finite one), finished.
double evaluate_natural_line(const char* line, int length, ReadingNotes* notes,
                             const NaturalReading* last = nullptr);

struct NaturalReading;

// The value in doubles of the line at `line` that read_natural read into `reading` (`shown`
// bytes of it), as evaluate_natural_line gives it, its notes finished; a line in the unknown,
// or an equation, has none (its answer is exact_answer_text's), and is noted so. With `known`,
// also what the run knows of the value exactly (program/exact_fraction.h).
double natural_reading_value(const NaturalReading& reading, const char* line, int shown,
                             ReadingNotes* notes, ExactFraction* known = nullptr);
