# Cross-building for Linux on s390x with Debian's cross compiler (g++-s390x-linux-gnu),
# linked statically so the program runs under qemu-user without the target's libraries:
#   cmake -S . -B build-s390x -DCMAKE_TOOLCHAIN_FILE=cmake/s390x-linux-gnu.cmake
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(TRIGCALC_CROSS_PREFIX s390x-linux-gnu)
set(TRIGCALC_CROSS_EMULATOR qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
