// The dialogue: the terminal set up for it, the help text, and the loop that reads a line,
// prints its value and asks whether to go on.
#pragma once

#include <cstdio>

#include "io/output_buffer.h"
#include "line/value_line.h"

// The dialogue reading from `in` and writing its transcript to `output`, printing results with
// the digits and arithmetic of `format`; `out` is the stream over the same descriptor as `output`,
// for the terminal's commands and the line editor. Ends at an answer other than 1, at the end of
// the input, or when the output fails. Returns 0, as the dialogue always ends, or 1 after
// reporting that the input could not be read or the output could not be written (a reader of
// the output that went away ends it quietly with 0); or 2 after the first line when the exact
// mode asked for cannot be had (its module is loaded then), saying why.
int run_dialogue(FILE* in, FILE* out, OutputBuffer& output, ValueFormat format);
