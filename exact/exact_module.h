// What the exact mode's loadable module and the engine share: the module's entry, which
// computes a line's program exactly, and the stamp that tells a module built with this
// program from one built with another. The module (trigcalc-exact.so, built from exact/)
// links Arb, Calcium and FLINT; the engine loads it only when the exact mode is asked for
// (line/exact_module_loaded.cpp), so that a line computed in doubles pays nothing for those
// libraries, not even their loading.
#pragma once

#include "exact/exact_answer.h"
#include "exact/exact_form.h"
#include "exact/exact_text.h"
#include "program/program.h"
#include "term/reading_notes.h"
#include "term/term_reading.h"

// The module's file name, and where it is looked for, relative to the program's directory:
// beside it (the build tree), one up (the tests' programs) and the installed place.
constexpr char exact_module_file[] = "trigcalc-exact.so";
constexpr const char* exact_module_places[] = {"", "../", "../lib/trigcalc/modules/"};

// Raised whenever what crosses between the program and the module changes in meaning
// without changing in size.
constexpr int exact_module_revision = 6;

// What a module was built with: the program's version and the sizes of what crosses. A
// module whose stamp differs from the program's is not used.
struct ExactModuleStamp {
  char version[16];
  int revision;
  int program_size;
  int store_size;
  int note_size;
  int form_size;
  int shape_size;
};

// The stamp of what this program (or module) was built with.
inline ExactModuleStamp exact_module_stamp() {
  return {TRIGCALC_VERSION,
          exact_module_revision,
          static_cast<int>(sizeof(Program)),
          static_cast<int>(sizeof(NumberStore)),
          static_cast<int>(sizeof(ReadingNote)),
          static_cast<int>(sizeof(ExactForm)),
          static_cast<int>(sizeof(ProgramShape))};
}

// What the program asks of the module's waits for a bounded child, a line that may take
// seconds: each callback may be null. `before_child` is called before a child starts, to
// write out the values finished so far, so that a signal ending the program meanwhile loses
// only the line being computed; `stop_asked`, asked while the child works (at once after a
// signal, else every tenth of a second), says whether to abandon the line (Ctrl-C, or a
// signal that is to end the program).
struct ExactWaiting {
  void (*before_child)(void* context);
  bool (*stop_asked)(void* context);
  void* context;
};

// The module's entries, by name: its stamp, and the value of a program. The second writes
// the value of `program`, whose numbers are those of `store`, with `digits` significant
// digits (1 to exact_max_digits), correctly rounded, ties to even, as "%g" would, into
// `text`: "nan" when it has no value or cannot be computed exactly, with the note saying
// which and why in `note` and `*noted` set; returns the text's length. With `form` (null: not
// asked) it also writes the value's exact form there, in the script `form->unicode` asks for,
// or sets its length to 0 when there is none to write beside the digits; its waits for a
// bounded child do what `waiting` asks (null: nothing). The module
// keeps one program, one stack of balls and Calcium's state from line to line: one line at a
// time, not re-entrant.
constexpr char exact_stamp_entry_name[] = "trigcalc_exact_stamp";
constexpr char exact_value_entry_name[] = "trigcalc_exact_value_text";
using ExactStampEntry = void (*)(ExactModuleStamp* stamp);
using ExactValueEntry = int (*)(const Program* program, const NumberStore* store, int digits,
                                char (*text)[exact_text_capacity], ExactForm* form,
                                ReadingNote* note, bool* noted, const ExactWaiting* waiting);

// The module's entry for a line in the unknown (an equation, or a line in x without "="):
// writes its answer (exact/equation_answer.h) into `text` and returns its length; the unknown
// is named by the `name_length` bytes at `name`; a line not answered has the note why in
// `note`, with `*noted` set. The work is done in a bounded child, waited for as `waiting` says.
constexpr char exact_answer_entry_name[] = "trigcalc_exact_answer";
using ExactAnswerEntry = int (*)(const Program* program, const NumberStore* store,
                                 const ProgramShape* shape, const char* name, int name_length,
                                 int digits, bool unicode, char (*text)[exact_answer_capacity],
                                 ReadingNote* note, bool* noted, const ExactWaiting* waiting);
