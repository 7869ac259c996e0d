// Raw reads and writes on file descriptors, the calls under the input reader and the output
// buffer that differ between POSIX systems (read, write, poll) and Windows (_read, _write).
#pragma once

#include <cstdio>

// The file descriptor behind `stream`.
int descriptor_of(FILE* stream);

// Sets up descriptors 0, 1 and 2 before the program does anything else. On POSIX systems
// makes sure they are open, so that none of the program's own files or pipes takes their
// place: a closed one is opened on the null device the other way round (standard input for
// writing, the outputs for reading), so that using it still fails, with EBADF, as it would
// have. On Windows puts the redirected ones in binary mode, so that "\n" is read and written
// as the one byte it is on POSIX systems, reports included.
void set_up_standard_descriptors();

// Reads at most `capacity` bytes from `descriptor` into `bytes`, waiting until some are there
// (also on a non-blocking descriptor) and retrying when a signal interrupts the wait. Returns
// the count read, 0 at the end of the input and -1 when the descriptor cannot be read (closed,
// a directory, an I/O error), with errno saying why.
int read_descriptor(int descriptor, unsigned char* bytes, int capacity);

// Waits until `descriptor` has input (or its end, or an error), or until `event_descriptor`
// (-1: none) becomes readable first; false in that second case. Always true on Windows,
// which has no such events.
bool wait_for_input(int descriptor, int event_descriptor);

// Writes all `count` bytes to `descriptor`, waiting while a non-blocking one is full and
// retrying after partial writes and interruptions. False when a write failed, with errno
// saying why (EPIPE when the reader went away and SIGPIPE is ignored).
bool write_descriptor(int descriptor, const char* bytes, int count);

// Closes `descriptor`; false when that failed, with errno saying why (a file system may only
// report a failed write when the file is closed).
bool close_descriptor(int descriptor);
