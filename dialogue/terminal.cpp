#include "dialogue/terminal.h"

#include <csignal>
#include <cstdint>
#include <cstdlib>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace {

struct CommandText {
  const char* console;  // the text the Windows command interpreter runs
  const char* ansi;     // the escape sequence that does the same on an ANSI terminal
};

// Indexed by ConsoleCommand.
constexpr CommandText command_texts[] = {
    {"color 73", "\033[36;47m"},                     // cyan text on a light-grey background
    {"MODE con cols=66 lines=10", "\033[8;10;66t"},  // xterm window-size request
    {"cls", "\033[H\033[2J"},                        // cursor home, erase display
};

constexpr char ansi_reset[] = "\033[0m";

}  // namespace

#ifdef _WIN32

namespace {

// A console handle answers GetConsoleMode; a file, a pipe or the NUL device does not
// (_isatty alone is true for NUL, which is a character device).
bool is_console(FILE* stream) {
  const intptr_t handle = _get_osfhandle(_fileno(stream));
  if (handle == -1) return false;
  DWORD mode = 0;
  return GetConsoleMode(reinterpret_cast<HANDLE>(handle), &mode) != 0;
}

// A redirected stream is switched to binary mode, so that "\n" is written and read as the
// single byte it is on POSIX systems and piped sessions match byte for byte; a console
// keeps the runtime's text mode.
void use_binary_unless_console(FILE* stream) {
  if (!is_console(stream)) (void)_setmode(_fileno(stream), _O_BINARY);
}

// Ctrl-C or Ctrl-Break at the console: default colours back, then end with status 0.
BOOL WINAPI restore_and_exit(DWORD) {
  (void)std::system("color");
  ExitProcess(0);
}

}  // namespace

bool is_terminal(FILE* stream) {
  return is_console(stream);
}

void run_console_command(FILE* out, ConsoleCommand command) {
  if (!is_terminal(out)) return;
  std::fflush(out);
  (void)std::system(command_texts[static_cast<int>(command)].console);
}

void restore_console(FILE* out) {
  if (!is_terminal(out)) return;
  std::fflush(out);
  (void)std::system("color");  // without arguments: the console's default colours
}

void guard_console(FILE* out) {
  use_binary_unless_console(stdin);
  use_binary_unless_console(out);
  if (is_terminal(out)) SetConsoleCtrlHandler(restore_and_exit, TRUE);
}

void drop_type_ahead(FILE* in) {
  if (!is_terminal(in)) return;
  FlushConsoleInputBuffer(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(in))));
}

#else

namespace {

volatile std::sig_atomic_t restore_descriptor = -1;  // terminal to reset on a signal, or -1

extern "C" void restore_and_exit(int) {
  if (restore_descriptor >= 0) {
    (void)!write(restore_descriptor, ansi_reset, sizeof ansi_reset - 1);
  }
  _exit(0);
}

}  // namespace

bool is_terminal(FILE* stream) {
  return isatty(fileno(stream)) != 0;
}

void run_console_command(FILE* out, ConsoleCommand command) {
  if (is_terminal(out)) std::fputs(command_texts[static_cast<int>(command)].ansi, out);
}

void restore_console(FILE* out) {
  if (!is_terminal(out)) return;
  std::fputs(ansi_reset, out);
  std::fflush(out);
}

void guard_console(FILE* out) {
  std::signal(SIGPIPE, SIG_IGN);
  if (!is_terminal(out)) return;
  restore_descriptor = fileno(out);
  std::signal(SIGINT, restore_and_exit);
  std::signal(SIGTERM, restore_and_exit);
}

void drop_type_ahead(FILE* in) {
  if (is_terminal(in)) tcflush(fileno(in), TCIFLUSH);
}

#endif
