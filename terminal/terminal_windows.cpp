// The terminal on Windows: the console's own commands run through the command interpreter,
// the console's colours and size found at start, and the control handler that puts them back.
// A console has no suspension and no hang-up signal: closing its window is a control event.
#include <io.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include "terminal/terminal_platform.h"

namespace {

// Indexed by TerminalCommand.
constexpr const char* command_texts[] = {"color 73", "MODE con cols=66 lines=10", "cls"};
static_assert(sizeof command_texts / sizeof command_texts[0] == terminal_command_count,
              "one text per terminal command");

struct FoundConsole {
  HANDLE out;                        // the console written to, or null
  CONSOLE_SCREEN_BUFFER_INFO shape;  // its buffer and window size as found
  bool shape_known;                  // `shape` was read
};

FoundConsole found = {nullptr, {}, false};
volatile LONG colours_set = 0;     // the colours command was given
volatile LONG size_requested = 0;  // the window-size command was given
volatile LONG interrupted = 0;     // Ctrl-C in the interactive loop, not yet taken

HANDLE handle_of(FILE* stream) {
  return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
}

// A console handle answers GetConsoleMode; a file, a pipe or the NUL device does not
// (_isatty alone is true for NUL, which is a character device).
bool is_console(FILE* stream) {
  if (_get_osfhandle(_fileno(stream)) == -1) return false;
  DWORD mode = 0;
  return GetConsoleMode(handle_of(stream), &mode) != 0;
}

// The buffer and window size found at start: the window is shrunk first, since a buffer
// cannot become smaller than the window it shows.
void give_size_back() {
  if (!found.shape_known) return;
  SMALL_RECT smallest = {0, 0, 0, 0};
  SetConsoleWindowInfo(found.out, TRUE, &smallest);
  SetConsoleScreenBufferSize(found.out, found.shape.dwSize);
  SetConsoleWindowInfo(found.out, TRUE, &found.shape.srWindow);
}

// The dialogue's end on Ctrl-C, Ctrl-Break or the console window closing: the console put
// back, then status 0.
BOOL WINAPI end_on_event(DWORD) {
  put_terminal_back();
  ExitProcess(0);
}

// The interactive loop changes nothing of the console: Ctrl-C is noted for the reader and
// the program goes on; every other event keeps its default end.
BOOL WINAPI note_interrupt(DWORD event) {
  if (event != CTRL_C_EVENT) return FALSE;
  interrupted = 1;
  return TRUE;
}

}  // namespace

bool is_terminal(FILE* stream) {
  return is_console(stream);
}

bool terminal_window_size(FILE* out, int& columns, int& rows) {
  CONSOLE_SCREEN_BUFFER_INFO shape;
  if (!is_terminal(out) || GetConsoleScreenBufferInfo(handle_of(out), &shape) == 0) return false;
  columns = shape.srWindow.Right - shape.srWindow.Left + 1;
  rows = shape.srWindow.Bottom - shape.srWindow.Top + 1;
  return columns > 0 && rows > 0;
}

bool platform_takes_commands() {
  return true;
}

void platform_run_command(FILE* out, TerminalCommand command) {
  if (command == TerminalCommand::colours) colours_set = 1;
  if (command == TerminalCommand::window_size) size_requested = 1;
  std::fflush(out);
  (void)std::system(command_texts[static_cast<int>(command)]);
}

void guard_terminal(FILE*, FILE* out, TerminalUse use) {
  if (use == TerminalUse::command_line || !is_terminal(out)) return;
  if (use == TerminalUse::interactive_loop) {
    SetConsoleCtrlHandler(note_interrupt, TRUE);
    return;
  }
  found.out = handle_of(out);
  found.shape_known = GetConsoleScreenBufferInfo(found.out, &found.shape) != 0;
  SetConsoleCtrlHandler(end_on_event, TRUE);
}

// Default colours and the size found.
void put_terminal_back() {
  if (colours_set) (void)std::system("color");  // without arguments: the default colours
  if (size_requested) give_size_back();
}

void drop_type_ahead(FILE* in) {
  if (!is_terminal(in)) return;
  FlushConsoleInputBuffer(handle_of(in));
  InterlockedExchange(&interrupted, 0);
}

// No build for Windows has the exact mode, whose computations alone are abandoned.
bool terminal_stop_asked() {
  return false;
}

// The console has no hang-up to save the history on, and no history file: nothing is put off.
void defer_ending_signals(bool) {}

void end_if_signal_deferred() {}

int terminal_event_descriptor() {
  return -1;
}

int take_terminal_events() {
  return InterlockedExchange(&interrupted, 0) != 0 ? terminal_interrupt : 0;
}
