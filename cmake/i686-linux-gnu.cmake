# Cross-building for Linux on 32-bit x86 with Debian's cross compiler (g++-i686-linux-gnu),
# linked statically so the program runs under qemu-user without the target's libraries.
# CMakeLists.txt adds SSE2 arithmetic for this target, so it needs a CPU with SSE2:
#   cmake -S . -B build-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/i686-linux-gnu.cmake
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TRIGCALC_CROSS_PREFIX i686-linux-gnu)
set(TRIGCALC_CROSS_EMULATOR qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
