// libFuzzer target: bytes made into a textbook equation in x (fuzz/input_checks.h), whose
// exact answer is checked against the equation in doubles; run with libFuzzer's -timeout and
// -rss_limit_mb, the solver's bounds (fuzz/run.sh).
#include <cstddef>
#include <cstdint>

#include "fuzz/input_checks.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  require_exact_mode("fuzz_equation_line");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  check_equation_input(data, size);
  return 0;
}
