// Reading raw bytes from a file descriptor, the calls under the input reader that differ
// between POSIX systems (read, fileno) and Windows (_read, _fileno).
#pragma once

#include <cstdio>

// The file descriptor behind `stream`.
int descriptor_of(FILE* stream);

// Reads at most `capacity` bytes from `descriptor` into `bytes`, waiting until some are there
// and retrying when a signal interrupts the wait. Returns the count read, 0 at the end of
// the input and -1 when the descriptor cannot be read (closed, a directory, an I/O error).
int read_descriptor(int descriptor, unsigned char* bytes, int capacity);
