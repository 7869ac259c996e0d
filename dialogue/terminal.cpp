#include "dialogue/terminal.h"

#include <csignal>
#include <cstdlib>

#ifdef _WIN32
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

bool is_terminal(FILE* stream) {
  return _isatty(_fileno(stream)) != 0;
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

void guard_console(FILE*) {}

void drop_type_ahead(FILE* in) {
  if (is_terminal(in)) FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE));
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
