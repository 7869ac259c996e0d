// Reads and writes on Windows: the C runtime's _read and _write on the descriptor, which
// honour the binary mode set on redirected streams, retried when interrupted.
#include <fcntl.h>
#include <io.h>

#include <cerrno>

#include "io/descriptor_io.h"

int descriptor_of(FILE* stream) {
  return _fileno(stream);
}

// The Windows build opens no file or pipe of its own, so none can take a standard
// descriptor's place. A console keeps the runtime's text mode; the null device, which
// _isatty takes for one, reads and writes nothing either way.
void set_up_standard_descriptors() {
  for (int descriptor = 0; descriptor <= 2; ++descriptor) {
    if (!_isatty(descriptor)) (void)_setmode(descriptor, _O_BINARY);
  }
}

int read_descriptor(int descriptor, unsigned char* bytes, int capacity) {
  for (;;) {
    const int count = _read(descriptor, bytes, static_cast<unsigned>(capacity));
    if (count >= 0) return count;
    if (errno != EINTR) return -1;  // a signal that interrupts the wait is not an error
  }
}

bool wait_for_input(int, int) {
  return true;
}

bool close_descriptor(int descriptor) {
  return _close(descriptor) == 0;
}

bool write_descriptor(int descriptor, const char* bytes, int count) {
  while (count > 0) {
    const int written = _write(descriptor, bytes, static_cast<unsigned>(count));
    if (written > 0) {
      bytes += written;
      count -= written;
    } else if (written < 0 && errno != EINTR) {
      return false;
    }
  }
  return true;
}
