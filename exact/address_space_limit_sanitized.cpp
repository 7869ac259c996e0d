// The address-space bound of a bounded child under AddressSanitizer: none. The sanitizer
// reserves terabytes of address space, so any bound would stop every child at once; the
// bound on processor time still holds.
#include "exact/bounded_child.h"

void limit_address_space(rlim_t) {}
