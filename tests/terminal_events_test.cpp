// The terminal's events as a waiting reader takes them: each signal the interactive loop
// notes comes out once as its own flag, and nothing comes out when nothing happened. POSIX
// systems only; the terminal is a pseudo-terminal of the test's own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "terminal/terminal.h"

namespace {

TEST(TerminalEvents, NotesEachSignalOnceAndNothingElse) {
  const int controller = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(controller, 0);
  ASSERT_EQ(grantpt(controller), 0);
  ASSERT_EQ(unlockpt(controller), 0);
  const int terminal = open(ptsname(controller), O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  FILE* in = fdopen(terminal, "r");
  FILE* out = fdopen(dup(terminal), "w");
  ASSERT_TRUE(in != nullptr && out != nullptr);
  guard_terminal(in, out, TerminalUse::interactive_loop);
  ASSERT_GE(terminal_event_descriptor(), 0);
  EXPECT_EQ(take_terminal_events(), 0) << "nothing happened yet";
  const struct {
    int signal_number;
    int events;  // what the reader is told, by the flags' meaning in terminal.h
  } cases[] = {{SIGINT, terminal_interrupt}, {SIGWINCH, terminal_redraw}};
  for (const auto& c : cases) {
    std::raise(c.signal_number);
    EXPECT_EQ(take_terminal_events(), c.events) << c.signal_number;
    EXPECT_EQ(take_terminal_events(), 0) << "taken once: " << c.signal_number;
  }
  put_terminal_back();
  std::fclose(in);
  std::fclose(out);
  close(controller);
}

}  // namespace
