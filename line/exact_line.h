// The exact mode of the engine: a line read as the double computation reads it, its value
// computed exactly and printed correctly rounded, or "nan" where no exact value exists. The
// exact arithmetic is the loadable module's (exact/exact_module.h): loaded on first use
// (exact_module_loaded.cpp), or missing from the build (exact_module_missing.cpp).
#pragma once

#include "bracket/line_reading.h"
#include "exact/exact_form.h"
#include "exact/exact_text.h"
#include "program/program.h"
#include "term/reading_notes.h"

// Bytes of the reason the module is not available, as the loader gave it.
constexpr int exact_module_reason_capacity = 512;

// True when this build computes exactly: the module is there and could be loaded. Otherwise
// says why in `reason`: missing from the build, not found, not loaded (the loader's own
// words), or built with another version of the program.
bool exact_mode_available(char (&reason)[exact_module_reason_capacity]);

// Writes the value of `program`, whose numbers are those of `store`, with `digits`
// significant digits (1 to exact_max_digits), correctly rounded, ties to even, as "%g"
// would, into `text`: "nan" when it has no value or cannot be computed exactly, with a note
// saying which and why in `notes` (null: none taken). Returns the text's length. With `form`
// (null: not asked) also the value's exact form, as the module writes it (exact/exact_form.h);
// none in a build without the module.
int exact_program_text(const Program& program, const NumberStore& store, int digits,
                       char (&text)[exact_text_capacity], ReadingNotes* notes,
                       ExactForm* form = nullptr);

// The line of `length` bytes at `line`, read as read_line reads it, computed as
// exact_program_text computes it; its notes, the reading's and the computation's, taken into
// `notes` (null: none) and finished; with `form`, its exact form too.
int exact_line_text(const char* line, int length, int digits, char (&text)[exact_text_capacity],
                    ReadingNotes* notes, ExactForm* form = nullptr);

// The line of `length` bytes at `line` read as ordinary arithmetic (natural/natural_reading.h),
// computed as exact_program_text computes it (its form too, when `form` is given): "nan" when
// it cannot be read; its notes taken into `notes` (null: none) and finished.
int exact_natural_line_text(const char* line, int length, int digits,
                            char (&text)[exact_text_capacity], ReadingNotes* notes,
                            ExactForm* form = nullptr);
