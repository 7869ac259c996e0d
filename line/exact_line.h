// The exact mode of the engine: a line read as the double computation reads it, its value
// computed exactly and printed correctly rounded, or "nan" where no exact value exists. The
// exact arithmetic is the loadable module's (exact/exact_module.h): loaded on first use
// (exact_module_loaded.cpp), or missing from the build (exact_module_missing.cpp).
#pragma once

#include "bracket/line_reading.h"
#include "exact/equation_answer.h"
#include "exact/exact_answer.h"
#include "exact/exact_form.h"
#include "exact/exact_module.h"
#include "exact/exact_text.h"
#include "natural/natural_reading.h"
#include "program/program.h"
#include "term/reading_notes.h"

// Why the exact mode is not available.
enum class ModuleProblem {
  none,           // it is
  not_built,      // this build was made without Arb and Calcium
  no_directory,   // the program's directory, where the module is looked for, is unknown
  not_found,      // no module in the places it is looked for
  not_regular,    // the file there is no regular file (a FIFO, a device, a folder)
  not_whole,      // the file there is shorter than its ELF headers describe (a copy cut short)
  not_loaded,     // the module would not load
  other_version,  // the module was made with another version of the program
  no_entry        // the module lacks its entry
};

constexpr int module_where_capacity = 4096;  // a path, PATH_MAX on Linux
constexpr int module_detail_capacity = 256;  // the loader's or the system's words, versions

// What became of the module: the problem, where (a path or directory), and the words of the
// loader or the system, or the two versions, that say why.
struct ModuleState {
  ModuleProblem problem;
  char where[module_where_capacity];
  char detail[module_detail_capacity];
};

// True when this build computes exactly: the module is there and could be loaded (it is
// loaded at the first call).
bool exact_mode_available();

// What became of the module, loaded at the first call: why it is not available.
const ModuleState& exact_module_state();

// What the exact mode's waits for a line computed in a bounded child ask of the program from
// now on (exact/exact_module.h): its finished values written out before, and whether to
// abandon the line; `waiting` is copied.
void set_exact_waiting(const ExactWaiting& waiting);

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

// The text of a line that read_natural read into `reading` (`shown` bytes of it), as
// exact_natural_line_text writes it, its notes finished; a line in the unknown, or an equation,
// is "nan", noted so.
int exact_natural_reading_text(const NaturalReading& reading, const char* line, int shown,
                               int digits, char (&text)[exact_text_capacity], ReadingNotes* notes,
                               ExactForm* form = nullptr);

// The answer to a line the natural reading read into `reading` that holds the unknown or is
// an equation (exact/equation_answer.h), written by the module into `text`; its length. Without
// the module, "não sei resolver" with its note. The note of a line not answered goes to
// `notes` (null: none).
int exact_answer_text(const NaturalReading& reading, const AnswerRequest& request,
                      char (&text)[exact_answer_capacity], ReadingNotes* notes);
