// libFuzzer target: arbitrary bytes as one line read as ordinary arithmetic, computed in
// doubles and exactly (the first byte picks the digits, up to 1000); run with libFuzzer's
// -timeout and -rss_limit_mb, the exact mode's bounds for any line (fuzz/run.sh).
#include <cstddef>
#include <cstdint>

#include "fuzz/input_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  check_natural_line_input(data, size);
  return 0;
}
