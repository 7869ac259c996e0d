# Cross-building for Linux on aarch64 with Debian's cross compiler (g++-aarch64-linux-gnu),
# linked statically so the program runs under qemu-user without the target's libraries:
#   cmake -S . -B build-aarch64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(TRIGCALC_CROSS_PREFIX aarch64-linux-gnu)
set(TRIGCALC_CROSS_EMULATOR qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
