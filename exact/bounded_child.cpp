// The bounded child: fork, the child's signals, limits and descriptors set before the work,
// its result written back whole through a pipe, and the parent's reading of how it ended.
#include "exact/bounded_child.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace {

// How often the child looks whether its parent is still there.
constexpr long parent_check_microseconds = 100000;

pid_t parent_at_fork = 0;  // the child's parent, as it was when the child was made

// Ends the child when its parent has gone (it is then another process's child): nobody
// waits for its result any more. Async-signal-safe: getppid and _exit only.
void end_without_parent(int) {
  if (getppid() != parent_at_fork) _exit(1);
}

// Every signal takes its default action in the child, none is blocked, and the parent's
// handlers (which give the terminal back, for instance) never run there.
void take_default_signals() {
  struct sigaction fallback = {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  for (int signal_number = 1; signal_number < NSIG; ++signal_number) {
    struct sigaction found;
    if (sigaction(signal_number, nullptr, &found) != 0) continue;
    const bool handled = found.sa_handler != SIG_DFL || signal_number == SIGXCPU;
    if (handled) sigaction(signal_number, &fallback, nullptr);
  }
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
}

// Checks every tenth of a second that the parent is still there.
void follow_parent() {
  struct sigaction check = {};
  check.sa_handler = end_without_parent;
  check.sa_flags = SA_RESTART;
  sigemptyset(&check.sa_mask);
  sigaction(SIGALRM, &check, nullptr);
  const itimerval every = {{0, parent_check_microseconds}, {0, parent_check_microseconds}};
  setitimer(ITIMER_REAL, &every, nullptr);
  end_without_parent(0);  // the parent may have gone before the check was set
}

// The child's standard descriptors lead nowhere: what the libraries say as they abort, say,
// never reaches the terminal; the parent reports it.
void leave_the_terminal() {
  const int nowhere = open("/dev/null", O_RDWR | O_CLOEXEC);
  for (int descriptor = 0; descriptor <= 2; ++descriptor) {
    if (nowhere < 0 || dup2(nowhere, descriptor) < 0) close(descriptor);
  }
  if (nowhere > 2) close(nowhere);
}

// The child's bounds: no core file when it is stopped, the processor time (the soft and hard
// limits alike, so that a SIGXCPU the launcher ignored changes nothing) and the memory.
void set_bounds(const ChildBounds& bounds) {
  const rlimit no_core = {0, 0};
  setrlimit(RLIMIT_CORE, &no_core);
  const rlimit seconds = {bounds.seconds, bounds.seconds};
  setrlimit(RLIMIT_CPU, &seconds);
  limit_address_space(bounds.bytes);
}

// Writes the `size` bytes at `data` to `descriptor`, retrying when interrupted.
void write_all(int descriptor, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t done = 0; done < size;) {
    const ssize_t put = write(descriptor, bytes + done, size - done);
    if (put <= 0 && errno != EINTR) return;
    if (put > 0) done += static_cast<std::size_t>(put);
  }
}

// Reads the `size` bytes at `data` from `descriptor`; false when they did not all come.
bool read_all(int descriptor, void* data, std::size_t size) {
  auto* bytes = static_cast<unsigned char*>(data);
  while (size > 0) {
    const ssize_t got = read(descriptor, bytes, size);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

// The child's side: set up, the work done, its result written whole, then the end (without
// the parent's exit handlers or its buffers).
[[noreturn]] void work_in_child(void (*work)(void*), void* context, const void* result,
                                std::size_t size, const ChildBounds& bounds, int descriptor) {
  take_default_signals();
  follow_parent();
  leave_the_terminal();
  set_bounds(bounds);
  work(context);
  write_all(descriptor, result, size);
  _exit(0);
}

// How the child that left `status` ended, its result having come back whole or not.
ChildEnd end_of(int status, bool whole) {
  if (WIFEXITED(status)) {
    return whole && WEXITSTATUS(status) == 0 ? ChildEnd::finished : ChildEnd::not_finished;
  }
  if (!WIFSIGNALED(status)) return ChildEnd::not_finished;
  switch (WTERMSIG(status)) {
    case SIGXCPU:
    case SIGKILL:  // past the hard limit on processor time
      return ChildEnd::out_of_time;
    case SIGABRT:  // GMP and FLINT abort when an allocation fails
    case SIGSEGV:  // the stack could not grow
    case SIGBUS:
      return ChildEnd::out_of_memory;
    default:
      return ChildEnd::not_finished;
  }
}

}  // namespace

ChildEnd run_in_bounded_child(void (*work)(void* context), void* context, void* result,
                              std::size_t size, const ChildBounds& bounds) {
  int ends[2];
  if (pipe(ends) != 0) return ChildEnd::not_finished;
  parent_at_fork = getpid();
  const pid_t child = fork();
  if (child == 0) {
    close(ends[0]);
    work_in_child(work, context, result, size, bounds, ends[1]);
  }
  close(ends[1]);
  const bool whole = child > 0 && read_all(ends[0], result, size);
  close(ends[0]);
  if (child < 0) return ChildEnd::not_finished;
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return ChildEnd::not_finished;
  }
  return end_of(status, whole);
}
