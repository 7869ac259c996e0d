// The terminal on POSIX systems: ANSI escape sequences, the modes and window size found at
// start, and the signal handlers that put them back.
#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "terminal/terminal_platform.h"

namespace {

// Indexed by TerminalCommand.
constexpr const char* command_texts[] = {
    "\033[36;47m",    // cyan text on a light-grey background
    "\033[8;10;66t",  // xterm window-size request: 10 rows of 66 columns
    "\033[H\033[2J",  // cursor home, erase display
};
static_assert(sizeof command_texts / sizeof command_texts[0] == terminal_command_count,
              "one text per terminal command");

const char* command_text(TerminalCommand command) {
  return command_texts[static_cast<int>(command)];
}

constexpr char ansi_reset[] = "\033[0m";
constexpr char fresh_line[] = "\r\n";
constexpr int size_text_capacity = 32;  // "\033[8;ROWS;COLSt" with two numbers of 5 digits

// What guard_terminal found; written before any handler is installed, then only read.
struct FoundTerminal {
  bool dialogue;                          // the use is the dialogue: signals end with status 0
  int modes_descriptor;                   // the terminal whose modes were saved, or -1
  struct termios modes;                   // its modes as found
  int out_descriptor;                     // the terminal the commands are written to, or -1
  char size_request[size_text_capacity];  // asks for the size found; empty when unknown
  int wake[2];                            // pipe written on a resize or a resumption, or -1s
};

FoundTerminal found = {false, -1, {}, -1, "", {-1, -1}};
volatile sig_atomic_t colours_set = 0;      // the colours command was given
volatile sig_atomic_t size_requested = 0;   // the window-size command was given
volatile sig_atomic_t deferring = 0;        // ending signals are put off (defer_ending_signals)
volatile sig_atomic_t deferred_signal = 0;  // the one put off; 0 while none
volatile sig_atomic_t interrupt_noted = 0;  // Ctrl-C in the loop, not yet taken by a reader

// Signals that end the program once the terminal is put back.
constexpr int ending_signals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

// What the handlers write to the wake pipe; take_terminal_events reads them back as flags.
constexpr char resized_note = 'w';
constexpr char resumed_note = 'c';
constexpr char interrupted_note = 'i';
constexpr char ending_note = 'e';

void write_text(int descriptor, const char* text) {
  const size_t length = std::strlen(text);
  if (descriptor >= 0 && length > 0) (void)!write(descriptor, text, length);
}

// After a signal the cursor may stand after text being typed: the shell's next line starts
// on a fresh one.
void put_terminal_back_on_fresh_line() {
  put_terminal_back();
  write_text(found.out_descriptor, fresh_line);
}

// After a suspension: the modes in force when it began (`modes`, null when unknown), the
// window size and the colours again.
void set_terminal_up_again(const struct termios* modes) {
  if (modes != nullptr) tcsetattr(found.modes_descriptor, TCSANOW, modes);
  if (size_requested) write_text(found.out_descriptor, command_text(TerminalCommand::window_size));
  if (colours_set) write_text(found.out_descriptor, command_text(TerminalCommand::colours));
}

void note_for_reader(char note) {
  if (found.wake[1] >= 0) (void)!write(found.wake[1], &note, 1);
}

// Sets the action of `signal_number` back to its default and lets it through, so that the
// program stops or ends as that signal does by default; keeps the action it replaced in
// `own` and the signal mask it changed in `mask`.
void let_default_through(int signal_number, struct sigaction& own, sigset_t& mask) {
  struct sigaction default_action = {};
  default_action.sa_handler = SIG_DFL;
  sigemptyset(&default_action.sa_mask);
  sigaction(signal_number, &default_action, &own);
  sigset_t unblock;
  sigemptyset(&unblock);
  sigaddset(&unblock, signal_number);
  sigprocmask(SIG_UNBLOCK, &unblock, &mask);
}

// The dialogue's end on a signal: the terminal put back, then its status 0 whatever ends it.
extern "C" void end_with_success(int) {
  put_terminal_back_on_fresh_line();
  _exit(0);
}

// The interactive loop's end on a signal: the terminal put back, then the end that signal
// gives by default, so that the shell sees which one it was (128 + its number).
extern "C" void end_by_signal(int signal_number) {
  put_terminal_back_on_fresh_line();
  struct sigaction own;
  sigset_t mask;
  let_default_through(signal_number, own, mask);
  raise(signal_number);
  _exit(128 + signal_number);  // reached only if the default action did not end the program
}

// Ctrl-Z: the shell gets the terminal as it was found, with the cursor on a fresh line; on
// resumption the modes of the moment (the editor's, when a line was being edited), size and
// colours come back and a waiting reader is told to redraw. The handler and the mask come
// back right after the stop, before anything else can arrive.
extern "C" void suspend_on_signal(int signal_number) {
  const int saved_errno = errno;
  struct termios current;
  const bool have_modes =
      found.modes_descriptor >= 0 && tcgetattr(found.modes_descriptor, &current) == 0;
  put_terminal_back_on_fresh_line();
  struct sigaction own;
  sigset_t mask;
  let_default_through(signal_number, own, mask);
  raise(signal_number);  // stopped here until SIGCONT
  sigprocmask(SIG_SETMASK, &mask, nullptr);
  sigaction(signal_number, &own, nullptr);
  set_terminal_up_again(have_modes ? &current : nullptr);
  note_for_reader(resumed_note);
  errno = saved_errno;
}

extern "C" void note_resize(int) {
  const int saved_errno = errno;
  note_for_reader(resized_note);
  errno = saved_errno;
}

// The first ending signal while they are put off is noted for the readers; any other ends
// the program as the use says.
extern "C" void end_or_put_off(int signal_number) {
  if (deferring && deferred_signal == 0) {
    const int saved_errno = errno;
    deferred_signal = signal_number;
    note_for_reader(ending_note);
    errno = saved_errno;
  } else if (found.dialogue) {
    end_with_success(signal_number);
  } else {
    end_by_signal(signal_number);
  }
}

extern "C" void note_interrupt(int) {
  const int saved_errno = errno;
  interrupt_noted = 1;
  note_for_reader(interrupted_note);
  errno = saved_errno;
}

// Installs `handler` for `signal_number` with every guarded signal blocked while it runs;
// a signal ignored from the start (nohup, a background job) stays ignored.
void install(int signal_number, void (*handler)(int)) {
  struct sigaction current;
  if (sigaction(signal_number, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) return;
  struct sigaction action = {};
  action.sa_handler = handler;
  action.sa_flags = SA_RESTART;  // a plain read goes on after a resize or a resumption
  sigemptyset(&action.sa_mask);
  for (int guarded : ending_signals) sigaddset(&action.sa_mask, guarded);
  sigaddset(&action.sa_mask, SIGTSTP);
  sigaddset(&action.sa_mask, SIGWINCH);
  sigaction(signal_number, &action, nullptr);
}

// A non-blocking pipe, closed across exec, that the handlers write their notes to.
void open_wake_pipe() {
  if (pipe(found.wake) != 0) {
    found.wake[0] = found.wake[1] = -1;
    return;
  }
  for (int descriptor : found.wake) {
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) | O_NONBLOCK);
    fcntl(descriptor, F_SETFD, FD_CLOEXEC);
  }
}

// Saves the modes of `modes_descriptor` and the window size of `out_descriptor` (-1: none).
// A size with no rows or no columns is unknown: nothing is asked back at the end.
void save_terminal(int modes_descriptor, int out_descriptor) {
  found.out_descriptor = out_descriptor;
  if (tcgetattr(modes_descriptor, &found.modes) == 0) found.modes_descriptor = modes_descriptor;
  struct winsize size = {};
  if (out_descriptor >= 0 && ioctl(out_descriptor, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 &&
      size.ws_col > 0) {
    std::snprintf(found.size_request, sizeof found.size_request, "\033[8;%u;%ut",
                  static_cast<unsigned>(size.ws_row), static_cast<unsigned>(size.ws_col));
  }
}

// The handlers of `use`, which is the dialogue or the interactive loop. SIGQUIT, the one a
// user sends to be out at once, is never put off.
void install_handlers(TerminalUse use) {
  const bool loop = use == TerminalUse::interactive_loop;
  for (int signal_number : ending_signals) {
    if (loop && signal_number == SIGINT) {
      install(signal_number, note_interrupt);
    } else if (signal_number == SIGQUIT) {
      install(signal_number, loop ? end_by_signal : end_with_success);
    } else {
      install(signal_number, end_or_put_off);
    }
  }
  install(SIGTSTP, suspend_on_signal);
  install(SIGWINCH, note_resize);
}

}  // namespace

bool is_terminal(FILE* stream) {
  return isatty(fileno(stream)) != 0;
}

bool terminal_window_size(FILE* out, int& columns, int& rows) {
  struct winsize size = {};
  if (!is_terminal(out) || ioctl(fileno(out), TIOCGWINSZ, &size) != 0) return false;
  if (size.ws_row == 0 || size.ws_col == 0) return false;
  columns = size.ws_col;
  rows = size.ws_row;
  return true;
}

bool platform_takes_commands() {
  const char* type = std::getenv("TERM");
  return type != nullptr && type[0] != '\0' && std::strcmp(type, "dumb") != 0;
}

void platform_run_command(FILE* out, TerminalCommand command) {
  if (command == TerminalCommand::colours) colours_set = 1;
  if (command == TerminalCommand::window_size) size_requested = 1;
  std::fputs(command_text(command), out);
}

void guard_terminal(FILE* in, FILE* out, TerminalUse use) {
  if (use == TerminalUse::command_line) return;
  if (use == TerminalUse::dialogue) std::signal(SIGPIPE, SIG_IGN);
  const bool in_terminal = is_terminal(in);
  const bool out_terminal = is_terminal(out);
  if (!in_terminal && !out_terminal) return;
  found.dialogue = use == TerminalUse::dialogue;
  // Only the character type follows the environment, for the editor's multibyte input:
  // numbers keep being read and printed in the C locale.
  std::setlocale(LC_CTYPE, "");
  save_terminal(fileno(in_terminal ? in : out), out_terminal ? fileno(out) : -1);
  open_wake_pipe();
  install_handlers(use);
}

// Async-signal-safe calls only (write, tcsetattr), so that the handlers can use it.
void put_terminal_back() {
  if (colours_set) write_text(found.out_descriptor, ansi_reset);
  if (size_requested) write_text(found.out_descriptor, found.size_request);
  if (found.modes_descriptor >= 0) tcsetattr(found.modes_descriptor, TCSANOW, &found.modes);
}

void drop_type_ahead(FILE* in) {
  if (!is_terminal(in)) return;
  tcflush(fileno(in), TCIFLUSH);
  if (interrupt_noted == 0) return;
  // The noted Ctrl-C is taken with the rest; what else was noted is noted again.
  const int events = take_terminal_events();
  if ((events & terminal_redraw) != 0) {
    note_for_reader((events & terminal_resumed) != 0 ? resumed_note : resized_note);
  }
}

bool terminal_stop_asked() {
  return interrupt_noted != 0 || deferred_signal != 0;
}

void defer_ending_signals(bool deferred) {
  deferring = deferred ? 1 : 0;
}

void end_if_signal_deferred() {
  const int signal_number = deferred_signal;
  if (signal_number == 0) return;
  deferring = 0;
  if (found.dialogue) end_with_success(signal_number);
  end_by_signal(signal_number);
}

int terminal_event_descriptor() {
  return found.wake[0];
}

int take_terminal_events() {
  if (found.wake[0] < 0) return 0;
  char notes[16];
  int events = 0;
  for (ssize_t count; (count = read(found.wake[0], notes, sizeof notes)) > 0;) {
    for (ssize_t i = 0; i < count; ++i) {
      if (notes[i] == interrupted_note) events |= terminal_interrupt;
      if (notes[i] == interrupted_note) interrupt_noted = 0;
      if (notes[i] == resized_note) events |= terminal_redraw;
      if (notes[i] == resumed_note) events |= terminal_redraw | terminal_resumed;
    }
  }
  if (deferred_signal != 0) {
    events |= terminal_ending;
    note_for_reader(ending_note);  // kept noted, so that every later wait ends at once too
  }
  return events;
}
