// Reading input on Windows: the C runtime's _read on the descriptor, which honours the binary
// mode set on redirected input, retried when interrupted.
#include <io.h>

#include <cerrno>

#include "console/read_descriptor.h"

int read_descriptor(int descriptor, unsigned char* bytes, int capacity) {
  for (;;) {
    const int count = _read(descriptor, bytes, static_cast<unsigned>(capacity));
    if (count >= 0) return count;
    if (errno != EINTR) return -1;  // a signal that interrupts the wait is not an error
  }
}

int descriptor_of(FILE* stream) {
  return _fileno(stream);
}
