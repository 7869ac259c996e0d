// Work done in a child process that the system stops when it passes its bounds on processor
// time or memory, so that a computation that would run for minutes, take gigabytes or fail
// to allocate ends the child, never the program. POSIX; built into the exact mode's module.
#pragma once

#include <sys/resource.h>

#include <cstddef>

// How a child's work ended.
enum class ChildEnd {
  finished,       // the work ran to its end and its result came back whole
  out_of_time,    // stopped at its bound on processor time
  out_of_memory,  // an allocation failed (the libraries abort then), or its bound on memory
  not_finished    // no child could be started, or it ended otherwise (a signal, say)
};

// A child's bounds.
struct ChildBounds {
  rlim_t seconds;  // of processor time
  rlim_t bytes;    // of address space (not set under AddressSanitizer, which reserves more)
};

// Runs `work(context)` in a child process within `bounds` and copies the `size` bytes at
// `result`, as the work left them in the child, into the parent's `result`; on any end other
// than finished, `result` is as it was. The child takes the signals' default actions, leaves
// no core file, writes nothing to the terminal, and ends when the parent does.
ChildEnd run_in_bounded_child(void (*work)(void* context), void* context, void* result,
                              std::size_t size, const ChildBounds& bounds);

// Limits the calling process's address space to `bytes`; a file per build (a sanitized build
// leaves it unlimited), chosen by CMakeLists.txt.
void limit_address_space(rlim_t bytes);
