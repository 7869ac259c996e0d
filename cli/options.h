// The command line: which mode the program runs in and how many significant digits it
// prints, read with getopt_long; the usage and version texts; bad usage reported.
#pragma once

#include <cstdio>

#include "exact/exact_text.h"
#include "io/diagnostics.h"
#include "io/output_buffer.h"
#include "line/value_line.h"
#include "picture/picture_line.h"

constexpr int min_digits = 1;   // the fewest significant digits a value may print with
constexpr int max_digits = 17;  // enough for every double to read back exactly
constexpr int max_exact_digits = exact_max_digits;  // the most the exact mode prints

enum class RunMode {
  dialogue,     // no expression given: the interactive dialogue
  expressions,  // each operand evaluated; "-" stands for the lines of standard input
  help,         // the usage text, then the end
  version       // the version line, then the end
};

struct Options {
  RunMode mode;
  int digits;           // significant digits of every printed value
  bool exact;           // --exact: values computed exactly
  bool natural;         // --natural: lines read as ordinary arithmetic
  FormShown form;       // --form: each value's exact form beside its digits, or alone
  PictureKind picture;  // --graph, --graph=svg, --table: each line drawn instead of its value
  int first_operand;    // index in argv of the first expression
};

// Reads the options in argv into `options`. On bad usage (an unknown option, a missing or
// invalid --digits, an invalid --form or --graph) writes one diagnostic naming it and a pointer to
// --help to `err` and returns false. Whether the exact mode asked for is available is not asked
// here: its module is loaded at the first exact line.
bool parse_options(int argc, char** argv, Options& options, FILE* err);

// Writes the usage text, listing every option, to `output`.
void write_usage(OutputBuffer& output);

// Writes "trigcalc VERSION" and a newline to `output`.
void write_version(OutputBuffer& output);
