// A table of values of a line in the unknown, one row a line so that a pipe can read it: x in
// the line's unit (degrees as numbers, radians as multiples of π), then each expression's
// value to the digits asked for, separated by tabs; "nan" where there is none (a pole
// included). Exactly, with --exact; with --form, each value's exact form beside it.
#pragma once

#include "line/value_line.h"
#include "natural/natural_reading.h"
#include "picture/picture_text.h"

// The steps the rows may take, in degrees (times π/180 in radians): the finest that puts at
// most table_step_count of them in the interval (15° or π/12 for one turn).
constexpr double table_steps[] = {1, 3, 5, 15, 30, 45, 90, 180, 360, 720, 1800};
constexpr int table_step_count = 24;
// Rows of one table: the steps, both ends, and the bounds that are no multiple of the step.
constexpr int table_row_capacity = table_step_count + 3;

// The step of a table of the interval from `low` to `high` in degrees (`radians`: in radians).
double table_step(double low, double high, bool radians);

// Writes the table of `reading` (which holds the unknown) into `text` as `format` says, its
// angles with π and the forms' signs in UTF-8 when `format.unicode`; notes in `notes`.
void write_value_table(const NaturalReading& reading, ValueFormat format, PictureText& text,
                       ReadingNotes* notes);

// The program of expression steps `first` up to `end` of `reading` with its unknown put as
// the angle of steps `angle` (a copy of steps, each pushing part of the angle), into
// `program`; false when it does not fit.
bool program_at_angle(const NaturalReading& reading, int first, int end, const ProgramStep* angle,
                      int angle_steps, Program& program);

// Writes the value of `program` over `store` as `format` says into `out` (the exact digits,
// with the form when asked for; or the doubles' `value`), `out_capacity` bytes.
int exact_or_double_text(const Program& program, const NumberStore& store, double value,
                         ValueFormat format, char* out, int out_capacity);
