// The part of the terminal layer shared by every platform: which commands are given at all.
#include "console/terminal.h"

#include <cstdlib>

#include "console/terminal_platform.h"

namespace {

// The common NO_COLOR convention: any non-empty value asks for no colour at all.
bool colours_refused() {
  const char* value = std::getenv("NO_COLOR");
  return value != nullptr && value[0] != '\0';
}

}  // namespace

bool takes_console_commands(FILE* out) {
  return is_terminal(out) && platform_takes_commands();
}

void run_console_command(FILE* out, ConsoleCommand command) {
  if (!takes_console_commands(out)) return;
  if (command == ConsoleCommand::colours && colours_refused()) return;
  platform_run_command(out, command);
}

void show_typed_text(const char* text, char* shown, int capacity) {
  int used = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    const unsigned char byte = static_cast<unsigned char>(*c);
    const bool control = byte < 0x20 || byte == 0x7f;
    if (used + (control ? 2 : 1) > capacity - 1) break;
    if (control) {
      shown[used++] = '^';
      shown[used++] = byte == 0x7f ? '?' : static_cast<char>(byte + 64);
    } else {
      shown[used++] = *c;
    }
  }
  shown[used] = '\0';
}
