# Cross-building for 64-bit Windows with mingw-w64 (Debian: g++-mingw-w64-x86-64):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TRIGCALC_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TRIGCALC_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${TRIGCALC_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${TRIGCALC_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TRIGCALC_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C99 printf and strtod of mingw-w64 instead of the system runtime's (which prints
# three-digit exponents), and the runtime linked in so the program needs no DLLs.
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
