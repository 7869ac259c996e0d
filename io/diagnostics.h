// The command's name on standard error, the reports of input and output that failed, in the
// GNU form "trigcalc: SOURCE: message: reason", and the statuses the program ends with,
// shared by the dialogue and the command line.
#pragma once

constexpr char command_name[] = "trigcalc";  // the name every diagnostic begins with
constexpr char standard_input_name[] = "<stdin>";

// The statuses the program ends with.
constexpr int exit_success = 0;         // everything was understood
constexpr int exit_not_understood = 1;  // an expression read otherwise than written, or I/O failed
constexpr int exit_usage = 2;  // the command line was not understood, or asked for what cannot be

// Reports that reading standard input failed with `error` (an errno value).
void report_read_error(int error);

// Reports that writing standard output failed with `error` (an errno value).
void report_write_error(int error);
