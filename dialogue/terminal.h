// The terminal layer under the dialogue: the console's colours, window size and screen
// clearing, restoring the terminal when the program ends, and dropping type-ahead.
#pragma once

#include <cstdio>

enum class ConsoleCommand {
  colours,      // "color 73": aqua text on light grey
  window_size,  // "MODE con cols=66 lines=10"
  clear_screen  // "cls"
};

// True when `stream` is connected to a terminal (a console on Windows).
bool is_terminal(FILE* stream);

// Carries out `command` on the terminal behind `out`; writes nothing when `out` is not one.
void run_console_command(FILE* out, ConsoleCommand command);

// Gives the terminal behind `out` its default attributes back; nothing when not a terminal.
void restore_console(FILE* out);

// Makes SIGINT and SIGTERM (Ctrl-C at a Windows console) restore the terminal behind `out`
// before the program ends with status 0, and turns a vanished reader of `out` into a write
// error instead of a signal. On Windows, redirected standard input and `out` become binary.
void guard_console(FILE* out);

// Drops what was typed ahead on the terminal behind `in`; nothing when not a terminal.
void drop_type_ahead(FILE* in);
