// What the exact arithmetic's loadable module and the engine share: the module's one entry
// and what it reports beside a value's text. The module (trigcalc-exact.so, built from
// bracket/exact_*, line/exact_line_library.cpp and line/exact_text.cpp) links Arb, Calcium and
// FLINT; the program loads it only when the exact mode is asked for, so that a line computed
// in doubles pays nothing for those libraries, not even their loading.
#pragma once

#include "bracket/line_reading.h"
#include "line/exact_text.h"
#include "term/reading_notes.h"

// The note the exact computation of a line takes: why it has no value.
struct ExactNote {
  bool taken;
  NoteKind kind;
  int column;
  int length;
  char name[note_name_capacity];  // as ReadingNote::name
};

// The module's file name, and where it is looked for, relative to the program's directory:
// beside it (the build tree), one up (the tests' programs) and the installed place.
constexpr char exact_module_file[] = "trigcalc-exact.so";
constexpr const char* exact_module_places[] = {"", "../", "../lib/trigcalc/modules/"};

// The module's entry: writes the value of `reading` with `digits` digits into `text` as
// exact_reading_text does, and the note it takes into `note`; returns the text's length.
#define TRIGCALC_EXACT_ENTRY trigcalc_exact_reading_text
using ExactEntry = int (*)(const LineReading* reading, int digits,
                           char (*text)[exact_text_capacity], ExactNote* note);
