// The one owner of the terminal: whether a stream is one and takes console commands, the
// commands themselves (colours, window size, clearing), the state found at start, the signals
// that end or suspend the program, and the one function that puts the terminal back.
#pragma once

#include <cstdio>

// What the console commands do; on Windows each is the command interpreter's own ("color 73",
// "MODE con cols=66 lines=10", "cls"), elsewhere the ANSI sequence that does the same.
enum class ConsoleCommand {
  colours,      // cyan text on a light-grey background
  window_size,  // a window of 66 columns by 10 rows
  clear_screen  // an empty screen, the cursor at its top left
};
constexpr int console_command_count = 3;  // entries in each platform's table of command texts

// True when `stream` is connected to a terminal (a console on Windows).
bool is_terminal(FILE* stream);

// True when `out` is a terminal that understands the console commands: on POSIX systems TERM
// must name a terminal type other than "dumb".
bool takes_console_commands(FILE* out);

// Carries out `command` on the terminal behind `out`; nothing when `out` does not take
// commands, and no colours when NO_COLOR is set to any non-empty value.
void run_console_command(FILE* out, ConsoleCommand command);

// Takes the character type (only) from the environment, so that the editor can read
// multibyte characters; saves the modes and window size of the terminal behind `in`/`out`;
// makes SIGHUP, SIGINT, SIGQUIT and SIGTERM put the terminal back and end the program with
// status 0, Ctrl-Z put it back for the shell and set it up again on resumption, and a
// vanished reader of `out` a write error. On Windows redirected streams become binary.
void guard_console(FILE* in, FILE* out);

// Puts back what the commands and the editor changed: default colours, the window size and
// the terminal modes found by guard_console. The one restoring function: every exit path and
// every signal handler calls it, so it is async-signal-safe; callers flush their output first.
void put_terminal_back();

// Drops what was typed ahead on the terminal behind `in`; nothing when not a terminal.
void drop_type_ahead(FILE* in);

// A descriptor that becomes readable when the window was resized or the program resumed
// after a suspension, for a reader waiting on the terminal; -1 when there is none.
int console_event_descriptor();

// True when the window was resized or the program resumed since the last call; clears that.
bool take_console_events();
