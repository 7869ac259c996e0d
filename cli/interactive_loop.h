// The quick loop at a terminal: "trigcalc -" with standard input and output both terminals
// asks for each expression with a short prompt, reads it through the line editor (history
// and completion included) and prints its value on the next line, in the shell's terminal as
// it found it: no colours, no clearing, no window size.
#pragma once

#include "cli/expression_output.h"
#include "io/input_reader.h"

constexpr char loop_prompt[] = "> ";

// Reads and evaluates expressions typed after the prompt until Ctrl-D on an empty line, the
// end of the input or an exact line whose module cannot be had; Ctrl-C drops the line being
// typed and asks again, or abandons the line being computed in the exact mode's bounded child.
// What is typed while a line is computed is dropped. Reads plainly through `input` when the
// terminal has no editor. `line_number` counts the lines read, for the reports. Returns how many
// expressions were reported.
int run_interactive_loop(InputReader& input, long& line_number, const ExpressionPrinting& printing);
