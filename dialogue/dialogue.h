// The console dialogue: console set-up, the help text, and the loop that reads a line,
// prints its value and asks whether to go on.
#pragma once

#include <cstdio>

// The dialogue reading from `in` and writing to `out`, printing results with `digits`
// significant digits; ends at an answer other than 1, at the end of the input, or when
// `out` fails; returns the exit status 0.
int run_dialogue(FILE* in, FILE* out, int digits);
