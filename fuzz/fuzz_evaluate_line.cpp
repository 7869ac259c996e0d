// libFuzzer target: arbitrary bytes as one input line, evaluated in a bounded line buffer.
#include <cstddef>
#include <cstdint>

#include "fuzz/input_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  check_line_input(data, size);
  return 0;
}
