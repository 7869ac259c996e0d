# Cross-building for Linux on s390x with Debian's cross compiler (g++-s390x-linux-gnu),
# linked statically so the program runs under qemu-user without the target's libraries:
#   cmake -S . -B build-s390x -DCMAKE_TOOLCHAIN_FILE=cmake/s390x-linux-gnu.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR s390x)

set(TRIGCALC_CROSS_PREFIX s390x-linux-gnu)
set(CMAKE_C_COMPILER ${TRIGCALC_CROSS_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${TRIGCALC_CROSS_PREFIX}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${TRIGCALC_CROSS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# The target's programs (the unit tests among them) run under qemu-user.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-s390x)
