// The bounds a bounded child sets on itself in the sanitized test build (tests/sanitize.sh,
// AddressSanitizer). Its processor time is four times what is asked: the instrumented code
// runs the same work three to five times slower, and a bound meant for a second of work would
// cut short decisions the program makes in a fraction of one (the sanitized suite checks
// their values). Its address space is unlimited: the sanitizer reserves terabytes of it, so
// any bound would stop every child at once; the bound on processor time still holds.
#include "exact/bounded_child.h"

rlim_t processor_seconds_allowed(rlim_t seconds) {
  constexpr rlim_t instrumented_slowdown = 4;
  return seconds * instrumented_slowdown;
}

void limit_address_space(rlim_t) {}
