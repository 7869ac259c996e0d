// The one owner of the terminal: whether a stream is one and takes terminal commands, the
// commands themselves (colours, window size, clearing), the state found at start, the signals
// that end or suspend the program, and the one function that puts the terminal back.
#pragma once

#include <cstdio>

// What the terminal commands do; on Windows each is the command interpreter's own ("color 73",
// "MODE con cols=66 lines=10", "cls"), elsewhere the ANSI sequence that does the same.
enum class TerminalCommand {
  colours,      // cyan text on a light-grey background
  window_size,  // a window of 66 columns by 10 rows
  clear_screen  // an empty screen, the cursor at its top left
};
constexpr int terminal_command_count = 3;  // entries in each platform's table of command texts

// True when `stream` is connected to a terminal (a console on Windows).
bool is_terminal(FILE* stream);

// True when `out` is a terminal that understands the terminal commands: on POSIX systems TERM
// must name a terminal type other than "dumb".
bool takes_terminal_commands(FILE* out);

// True when `out` may be written colours: a terminal that takes commands, and NO_COLOR unset
// or empty.
bool takes_colours(FILE* out);

// The size in cells of the terminal behind `out`; false when it is none or tells no size.
bool terminal_window_size(FILE* out, int& columns, int& rows);

// Carries out `command` on the terminal behind `out`; nothing when `out` does not take
// commands, and no colours when NO_COLOR is set to any non-empty value.
void run_terminal_command(FILE* out, TerminalCommand command);

// How the program uses the terminal, which decides what its signals do.
enum class TerminalUse {
  dialogue,         // the dialogue: colours, clearing, window size; ended with status 0
  command_line,     // expressions as arguments or piped: nothing of the terminal is changed
  interactive_loop  // "-" at a terminal: Ctrl-C cancels the line, the program goes on
};

// Sets up the terminal for `use`. On POSIX systems, in the dialogue and the interactive loop
// when `in` or `out` is a terminal: the character type (only) follows the environment, so
// that the editor reads multibyte characters; the modes and window size found are saved;
// Ctrl-Z puts the terminal back for the shell and sets it up again on resumption; resizes
// and resumptions are noted for the reader. In the dialogue SIGHUP, SIGINT, SIGQUIT and
// SIGTERM put the terminal back and end with status 0, and SIGPIPE is ignored (a vanished
// reader is a write error). In the loop SIGINT is noted (terminal_interrupt) and the others
// put the terminal back and end the program by that signal; in both, some may be put off
// while there is a history to save (defer_ending_signals). On the command line no handler
// at all: every signal keeps the action it came with. On Windows the dialogue's console
// events put the console back and end with 0, and the loop's Ctrl-C is noted
// (terminal_interrupt) while other events keep their end.
void guard_terminal(FILE* in, FILE* out, TerminalUse use);

// While `deferred` (on POSIX systems; nothing on Windows), SIGHUP and SIGTERM, and in the
// dialogue SIGINT, do not end the program at once: the first is noted for the readers
// (terminal_ending, from then on at every take_terminal_events), which end the input, so that
// this run's history is saved first; a second one ends the program at once, as does any once
// `deferred` is false again. SIGQUIT always ends it at once.
void defer_ending_signals(bool deferred);

// When a signal was put off by defer_ending_signals: puts the terminal back and ends the
// program as that signal ends it in this use (the dialogue with status 0, the loop by the
// signal). Otherwise returns.
void end_if_signal_deferred();

// Puts back what the commands and the editor changed: default colours, the window size and
// the terminal modes found by guard_terminal. The one restoring function: every exit path and
// every signal handler calls it, so it is async-signal-safe; callers flush their output first.
void put_terminal_back();

// Drops what was typed ahead on the terminal behind `in`, and a Ctrl-C of the interactive loop
// noted meanwhile (it was meant for the line then computed); nothing when not a terminal.
void drop_type_ahead(FILE* in);

// True when a computation under way is to be abandoned: Ctrl-C was noted in the interactive
// loop and not yet taken, or an ending signal was put off (defer_ending_signals).
// Async-signal-safe, and it takes nothing: the readers still see what was noted.
bool terminal_stop_asked();

// A descriptor that becomes readable when something was noted for take_terminal_events, for a
// reader waiting on the terminal; -1 when there is none.
int terminal_event_descriptor();

constexpr int terminal_redraw = 1;     // the window was resized or the program resumed
constexpr int terminal_interrupt = 2;  // Ctrl-C (SIGINT) in the interactive loop
constexpr int terminal_resumed = 4;    // with terminal_redraw: resumed after a suspension, the
                                       // cursor on a fresh line below what was shown before
constexpr int terminal_ending = 8;     // an ending signal was put off: the input is to end

// Copies `text` into `shown` (`capacity` bytes, at least 1) as a terminal shows it typed:
// a control byte as '^' and the character 64 places on (ESC as ^[), DEL as ^?; what does not
// fit is left out. Drawing a line again this way never sends the terminal a command.
void show_typed_text(const char* text, char* shown, int capacity);

// What happened since the last call, as terminal_* flags ORed together; 0 when nothing.
int take_terminal_events();

// What a reader waiting at a terminal does with the events noted meanwhile.
struct TerminalEventAction {
  void (*on_event)(void* context, int events);  // called with what happened; never null
  void* context;
};

// An InputReader's wait at a terminal, `action` pointing to a TerminalEventAction: waits until
// `descriptor` has input (or its end), calling the action for each batch of events noted
// meanwhile; false, without waiting more, once an ending signal was put off (terminal_ending).
bool wait_through_terminal_events(void* action, int descriptor);
