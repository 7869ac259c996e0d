# What every Linux cross toolchain file shares; the including file sets
# CMAKE_SYSTEM_PROCESSOR, TRIGCALC_CROSS_PREFIX (the Debian cross compiler's prefix) and
# TRIGCALC_CROSS_EMULATOR (the qemu-user program that runs the target's binaries).
set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${TRIGCALC_CROSS_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${TRIGCALC_CROSS_PREFIX}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${TRIGCALC_CROSS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Linked statically, so the program runs under qemu-user without the target's libraries.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# The target's programs (the unit tests among them) run under qemu-user.
set(CMAKE_CROSSCOMPILING_EMULATOR ${TRIGCALC_CROSS_EMULATOR})
