// The part of the terminal layer shared by every platform: which commands are given at all.
#include "terminal/terminal.h"

#include <cstdlib>

#include "io/descriptor_io.h"
#include "terminal/terminal_platform.h"

namespace {

// The common NO_COLOR convention: any non-empty value asks for no colour at all.
bool colours_refused() {
  const char* value = std::getenv("NO_COLOR");
  return value != nullptr && value[0] != '\0';
}

}  // namespace

bool takes_terminal_commands(FILE* out) {
  return is_terminal(out) && platform_takes_commands();
}

bool takes_colours(FILE* out) {
  return takes_terminal_commands(out) && !colours_refused();
}

void run_terminal_command(FILE* out, TerminalCommand command) {
  if (!takes_terminal_commands(out)) return;
  if (command == TerminalCommand::colours && colours_refused()) return;
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

bool wait_through_terminal_events(void* action, int descriptor) {
  const TerminalEventAction& on = *static_cast<const TerminalEventAction*>(action);
  while (!wait_for_input(descriptor, terminal_event_descriptor())) {
    const int events = take_terminal_events();
    if ((events & terminal_ending) != 0) return false;
    if (events != 0) on.on_event(on.context, events);
  }
  return true;
}
