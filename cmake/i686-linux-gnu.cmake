# Cross-building for Linux on 32-bit x86 with Debian's cross compiler (g++-i686-linux-gnu),
# linked statically so the program runs under qemu-user without the target's libraries.
# CMakeLists.txt adds SSE2 arithmetic for this target, so it needs a CPU with SSE2:
#   cmake -S . -B build-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/i686-linux-gnu.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TRIGCALC_CROSS_PREFIX i686-linux-gnu)
set(CMAKE_C_COMPILER ${TRIGCALC_CROSS_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${TRIGCALC_CROSS_PREFIX}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${TRIGCALC_CROSS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# The target's programs (the unit tests among them) run under qemu-user.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
