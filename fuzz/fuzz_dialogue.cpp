// libFuzzer target: arbitrary bytes as a whole piped session read by the dialogue.
#include <cstddef>
#include <cstdint>

#include "fuzz/input_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  check_dialogue_input(data, size);
  return 0;
}
