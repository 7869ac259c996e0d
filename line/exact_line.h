// The exact mode of the engine: a line read as the double computation reads it, its value
// computed exactly and printed correctly rounded, or "nan" where no exact value exists. The
// exact arithmetic comes from FLINT's Arb and Calcium when the build has them
// (exact_line_library.cpp); without them (exact_line_missing.cpp) the mode is not available.
#pragma once

#include "bracket/line_reading.h"
#include "line/exact_text.h"
#include "term/reading_notes.h"

// True when this build computes exactly.
bool exact_mode_available();

// Writes the value of `reading` with `digits` significant digits (1 to exact_max_digits),
// correctly rounded, ties to even, as "%g" would, into `text`: "nan" when it has no value or
// cannot be computed exactly, with a note saying which and why in `notes` (null: none
// taken). Returns the text's length.
int exact_reading_text(const LineReading& reading, int digits, char (&text)[exact_text_capacity],
                       ReadingNotes* notes);
