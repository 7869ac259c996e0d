// The bounds a bounded child sets on itself in the fuzz targets' build (AddressSanitizer):
// its processor time as asked, which the targets' time-outs allow for (fuzz/run.sh), and its
// address space unlimited: the sanitizer reserves terabytes of it, so any bound would stop
// every child at once.
#include "exact/bounded_child.h"

rlim_t processor_seconds_allowed(rlim_t seconds) {
  return seconds;
}

void limit_address_space(rlim_t) {}
