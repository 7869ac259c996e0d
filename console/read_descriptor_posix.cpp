// Reading input on POSIX systems: read(2) on the descriptor, retried when a signal interrupts it.
#include <unistd.h>

#include <cerrno>

#include "console/read_descriptor.h"

int read_descriptor(int descriptor, unsigned char* bytes, int capacity) {
  for (;;) {
    const ssize_t count = read(descriptor, bytes, static_cast<size_t>(capacity));
    if (count >= 0) return static_cast<int>(count);
    if (errno != EINTR) return -1;  // a signal that interrupts the wait is not an error
  }
}

int descriptor_of(FILE* stream) {
  return fileno(stream);
}
