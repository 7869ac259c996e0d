// libFuzzer target: arbitrary bytes as one line computed in the exact mode (the first byte
// picks the digits, up to 1000); run with libFuzzer's -timeout and -rss_limit_mb, which are
// the exact mode's bounds for any line (fuzz/run.sh).
#include <cstddef>
#include <cstdint>

#include "fuzz/input_checks.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  require_exact_mode("fuzz_exact_line");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  check_exact_line_input(data, size);
  return 0;
}
