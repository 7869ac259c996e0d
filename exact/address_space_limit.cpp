// The address-space bound of a bounded child, in a build without AddressSanitizer.
#include "exact/bounded_child.h"

void limit_address_space(rlim_t bytes) {
  const rlimit limit = {bytes, bytes};
  setrlimit(RLIMIT_AS, &limit);
}
