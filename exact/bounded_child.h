// Work done in a child process that the system stops when it passes its bounds on processor
// time or memory, so that a computation that would run for minutes, take gigabytes or fail
// to allocate ends the child, never the program; the program stops waiting for a child that
// takes no processor time for seconds (stopped from outside), and when it is asked to (Ctrl-C,
// a signal that ends it). POSIX; built into the exact mode's module.
#pragma once

#include <sys/resource.h>

#include <cstddef>

#include "exact/exact_module.h"

// How a child's work ended.
enum class ChildEnd {
  finished,       // the work ran to its end and its result came back whole
  out_of_time,    // stopped at its bound on processor time
  out_of_memory,  // an allocation failed, at its bound on memory or the system's
  stalled,        // it took no processor time for child_stall_seconds (stopped, say): ended
  interrupted,    // the program was asked to stop waiting, or the terminal's signal ended it
  by_signal,      // ended by another signal: a crash, or a kill from outside
  failed          // no child could be started, or it ended without its result
};

// What became of a child.
struct ChildOutcome {
  ChildEnd end;
  int signal_number;  // by_signal: the signal that ended it
};

// A child's bounds.
struct ChildBounds {
  rlim_t seconds;  // of processor time
  rlim_t bytes;    // of address space (not set under AddressSanitizer, which reserves more)
};

// The seconds of wall-clock time a child may go without taking any processor time (stopped
// from outside, say) before the program stops waiting for it; counted only while the program
// itself runs (a program suspended with Ctrl-Z, and its child with it, count none). A child
// that merely shares a busy machine takes some time in every such span.
constexpr long child_stall_seconds = 3;

// Sets what every later wait asks of the program (`waiting`, copied; null: nothing): the
// values finished so far written out before a child starts, and whether to stop waiting.
void wait_for_children_through(const ExactWaiting* waiting);

// Runs `work(context)` in a child process within `bounds` and copies the `size` bytes at
// `result`, as the work left them in the child, into the parent's `result`; on any end other
// than finished, `result` is as it was. The child takes the signals' default actions, leaves
// no core file, writes nothing to the terminal, ends with a status of its own when an
// allocation fails, and ends when the parent does.
ChildOutcome run_in_bounded_child(void (*work)(void* context), void* context, void* result,
                                  std::size_t size, const ChildBounds& bounds);

// The processor time a child asked to take at most `seconds` is given: those seconds, more in
// a sanitized build, whose code runs slower; a file per build, chosen by CMakeLists.txt.
rlim_t processor_seconds_allowed(rlim_t seconds);

// Limits the calling process's address space to `bytes`; a file per build (a sanitized build
// leaves it unlimited), chosen by CMakeLists.txt.
void limit_address_space(rlim_t bytes);
