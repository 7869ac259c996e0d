// The bounds a bounded child sets on itself, in a build without AddressSanitizer: its
// processor time and its address space as asked.
#include "exact/bounded_child.h"

rlim_t processor_seconds_allowed(rlim_t seconds) {
  return seconds;
}

void limit_address_space(rlim_t bytes) {
  const rlimit limit = {bytes, bytes};
  setrlimit(RLIMIT_AS, &limit);
}
