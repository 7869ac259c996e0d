// The bounded child: fork, the child's signals, limits and descriptors set before the work,
// its result written back whole through a pipe, and the parent's reading of how it ended.
#include "exact/bounded_child.h"

#include <fcntl.h>
#include <flint/flint.h>
#include <gmp.h>
#include <poll.h>
#include <signal.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace {

// How often the child looks whether its parent is still there.
constexpr long parent_check_microseconds = 100000;

// How often the parent, waiting, asks whether to stop and counts the time waited.
constexpr int wait_slice_milliseconds = 100;

// The status a child ends with when an allocation fails: the libraries' own handling would
// write to standard output and abort, which a crash does too.
constexpr int out_of_memory_status = 3;

pid_t parent_at_fork = 0;   // the child's parent, as it was when the child was made
ExactWaiting waiting = {};  // what the program asks of the waits; nothing until set

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
  const rlim_t allowed = processor_seconds_allowed(bounds.seconds);
  const rlimit seconds = {allowed, allowed};
  setrlimit(RLIMIT_CPU, &seconds);
  limit_address_space(bounds.bytes);
}

// The allocations of GMP and FLINT (and so of Arb and Calcium) in the child: the C library's,
// ending the child with out_of_memory_status when one fails.
void* allocate_or_end(std::size_t size) {
  void* block = std::malloc(size);
  if (block == nullptr && size > 0) _exit(out_of_memory_status);
  return block;
}

void* allocate_zeroed_or_end(std::size_t count, std::size_t size) {
  void* block = std::calloc(count, size);
  if (block == nullptr && count > 0 && size > 0) _exit(out_of_memory_status);
  return block;
}

void* reallocate_or_end(void* block, std::size_t size) {
  void* moved = std::realloc(block, size);
  if (moved == nullptr && size > 0) _exit(out_of_memory_status);
  return moved;
}

void* reallocate_gmp_or_end(void* block, std::size_t, std::size_t size) {
  return reallocate_or_end(block, size);
}

void release(void* block) {
  std::free(block);
}

void release_gmp(void* block, std::size_t) {
  std::free(block);
}

// A failed allocation ends the child with its own status: the same allocator as before (the
// C library's, so that blocks made before are released alike), checked.
void end_when_out_of_memory() {
  __flint_set_memory_functions(allocate_or_end, allocate_zeroed_or_end, reallocate_or_end, release);
  mp_set_memory_functions(allocate_or_end, reallocate_gmp_or_end, release_gmp);
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

// The child's side: set up, the work done, its result written whole, then the end (without
// the parent's exit handlers or its buffers).
[[noreturn]] void work_in_child(void (*work)(void*), void* context, const void* result,
                                std::size_t size, const ChildBounds& bounds, int descriptor) {
  take_default_signals();
  follow_parent();
  leave_the_terminal();
  end_when_out_of_memory();
  set_bounds(bounds);
  work(context);
  write_all(descriptor, result, size);
  _exit(0);
}

// The time since `start`, in milliseconds.
long milliseconds_since(const timespec& start) {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
}

// The processor time `child` has taken so far, in milliseconds, through `clock` (its CPU
// clock); -1 when it cannot be had.
long child_milliseconds(clockid_t clock) {
  timespec taken;
  if (clock_gettime(clock, &taken) != 0) return -1;
  return taken.tv_sec * 1000 + taken.tv_nsec / 1000000;
}

// How long a child has gone without processor time while it was waited for.
struct StallWatch {
  clockid_t clock;  // the child's CPU clock
  bool clocked;     // `clock` is there; without it no stall is seen
  long taken;       // the child's processor time at the last look, in milliseconds
  long stalled;     // wall-clock milliseconds since the child last took any
};

// Counts a slice of `spent` milliseconds waited (at most a slice's length, so that time the
// program spent suspended counts as none) as stalled when the child took no processor time
// in it; true once the stall reaches child_stall_seconds.
bool stalled_too_long(StallWatch& watch, long spent) {
  const long counted = spent < wait_slice_milliseconds ? spent : wait_slice_milliseconds;
  const long taken = watch.clocked ? child_milliseconds(watch.clock) : -1;
  watch.stalled = taken < 0 || taken != watch.taken ? 0 : watch.stalled + counted;
  watch.taken = taken;
  return watch.stalled >= child_stall_seconds * 1000;
}

// Reads the child's result from `descriptor` into `result` while the child works: true when
// all `size` bytes came, false when the pipe ended first (the child ended), the child stalled
// (`late`) or the program asked to stop (`stopped`).
bool read_result(int descriptor, void* result, std::size_t size, StallWatch& watch, bool& late,
                 bool& stopped) {
  auto* bytes = static_cast<unsigned char*>(result);
  while (size > 0) {
    timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    pollfd pipe_end = {descriptor, POLLIN, 0};
    const int ready = poll(&pipe_end, 1, wait_slice_milliseconds);
    late = stalled_too_long(watch, milliseconds_since(start));
    if (ready > 0) {
      const ssize_t got = read(descriptor, bytes, size);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      bytes += got;
      size -= static_cast<std::size_t>(got);
      continue;
    }
    if (ready < 0 && errno != EINTR) return false;
    stopped = waiting.stop_asked != nullptr && waiting.stop_asked(waiting.context);
    if (stopped || late) return false;
  }
  return true;
}

// Waits for the child to end and gives its status and the processor time it took, in
// seconds.
void reap(pid_t child, int& status, double& seconds) {
  rusage usage = {};
  while (wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) {
      status = 0;
      break;
    }
  }
  seconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// True for the signals a terminal sends its foreground (the child is there with the program)
// or that end a session: they say the user, or the session, stopped the work.
bool is_terminal_signal(int signal_number) {
  return signal_number == SIGINT || signal_number == SIGQUIT || signal_number == SIGHUP ||
         signal_number == SIGTERM;
}

// How the child that left `status` after `seconds` of processor time, within `bounds`, ended,
// its result having come back whole or not. SIGKILL is the hard limit on processor time when
// the child took about that time (the time a process is told it took lags the system's own
// count by a few hundredths of a second: three quarters of the bound are taken for it), a kill
// from outside otherwise.
ChildOutcome end_of(int status, bool whole, double seconds, const ChildBounds& bounds) {
  if (WIFEXITED(status)) {
    if (WEXITSTATUS(status) == out_of_memory_status) return {ChildEnd::out_of_memory, 0};
    return {whole && WEXITSTATUS(status) == 0 ? ChildEnd::finished : ChildEnd::failed, 0};
  }
  if (!WIFSIGNALED(status)) return {ChildEnd::failed, 0};
  const int signal_number = WTERMSIG(status);
  const bool at_time_bound =
      seconds >= 0.75 * static_cast<double>(processor_seconds_allowed(bounds.seconds));
  if (signal_number == SIGXCPU || (signal_number == SIGKILL && at_time_bound)) {
    return {ChildEnd::out_of_time, signal_number};
  }
  if (is_terminal_signal(signal_number)) return {ChildEnd::interrupted, signal_number};
  return {ChildEnd::by_signal, signal_number};
}

}  // namespace

void wait_for_children_through(const ExactWaiting* asked) {
  waiting = asked != nullptr ? *asked : ExactWaiting{};
}

ChildOutcome run_in_bounded_child(void (*work)(void* context), void* context, void* result,
                                  std::size_t size, const ChildBounds& bounds) {
  if (waiting.before_child != nullptr) waiting.before_child(waiting.context);
  int ends[2];
  if (pipe(ends) != 0) return {ChildEnd::failed, 0};
  parent_at_fork = getpid();
  const pid_t child = fork();
  if (child == 0) {
    close(ends[0]);
    work_in_child(work, context, result, size, bounds, ends[1]);
  }
  close(ends[1]);
  bool late = false;
  bool stopped = false;
  StallWatch watch = {};
  watch.clocked = child > 0 && clock_getcpuclockid(child, &watch.clock) == 0;
  const bool whole = child > 0 && read_result(ends[0], result, size, watch, late, stopped);
  close(ends[0]);
  if (child < 0) return {ChildEnd::failed, 0};
  if (late || stopped) kill(child, SIGKILL);
  int status = 0;
  double seconds = 0;
  reap(child, status, seconds);
  if (stopped) return {ChildEnd::interrupted, 0};
  if (late) return {ChildEnd::stalled, 0};
  return end_of(status, whole, seconds, bounds);
}
