// Reads and writes on POSIX systems: read(2) and write(2), retried when a signal interrupts
// them, with poll(2) waiting on a non-blocking descriptor that is not ready yet.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "io/descriptor_io.h"

namespace {

// Waits until `descriptor` is ready for `events`; false when poll itself fails.
bool wait_until_ready(int descriptor, short events) {
  struct pollfd waited = {descriptor, events, 0};
  for (;;) {
    if (poll(&waited, 1, -1) >= 0) return true;
    if (errno != EINTR) return false;
  }
}

// A descriptor that would block has nothing yet (or no room yet): wait, don't give up.
bool would_block(int error) {
  return error == EAGAIN || error == EWOULDBLOCK;
}

}  // namespace

int descriptor_of(FILE* stream) {
  return fileno(stream);
}

void set_up_standard_descriptors() {
  for (int descriptor = 0; descriptor <= 2; ++descriptor) {
    if (fcntl(descriptor, F_GETFD) >= 0 || errno != EBADF) continue;
    // open returns the lowest free descriptor: this one, as the lower ones are open.
    const int opened = open("/dev/null", descriptor == 0 ? O_WRONLY : O_RDONLY);
    if (opened >= 0 && opened != descriptor) close(opened);
  }
}

int read_descriptor(int descriptor, unsigned char* bytes, int capacity) {
  for (;;) {
    const ssize_t count = read(descriptor, bytes, static_cast<size_t>(capacity));
    if (count >= 0) return static_cast<int>(count);
    if (errno == EINTR) continue;  // a signal that interrupts the wait is not an error
    if (!would_block(errno) || !wait_until_ready(descriptor, POLLIN)) return -1;
  }
}

bool wait_for_input(int descriptor, int event_descriptor) {
  if (event_descriptor < 0) return true;
  for (;;) {
    struct pollfd waited[2] = {{descriptor, POLLIN, 0}, {event_descriptor, POLLIN, 0}};
    const int ready = poll(waited, 2, -1);
    if (ready < 0 && errno != EINTR) return true;  // the read that follows tells what failed
    if (ready > 0 && waited[0].revents != 0) return true;
    if (ready > 0 && waited[1].revents != 0) return false;
  }
}

bool close_descriptor(int descriptor) {
  return close(descriptor) == 0 || errno == EINTR;  // after EINTR the descriptor is closed
}

bool write_descriptor(int descriptor, const char* bytes, int count) {
  while (count > 0) {
    const ssize_t written = write(descriptor, bytes, static_cast<size_t>(count));
    if (written > 0) {
      bytes += written;
      count -= static_cast<int>(written);
    } else if (written < 0 && errno != EINTR) {
      if (!would_block(errno) || !wait_until_ready(descriptor, POLLOUT)) return false;
    }
  }
  return true;
}
