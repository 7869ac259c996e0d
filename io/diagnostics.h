// The command's name on standard error and the reports of input and output that failed, in
// the GNU form "trigcalc: SOURCE: message: reason", shared by the dialogue and the command line.
#pragma once

constexpr char command_name[] = "trigcalc";  // the name every diagnostic begins with
constexpr char standard_input_name[] = "<stdin>";

// Reports that reading standard input failed with `error` (an errno value).
void report_read_error(int error);

// Reports that writing standard output failed with `error` (an errno value).
void report_write_error(int error);
