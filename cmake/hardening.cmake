# Hardening of optimised builds, as Debian's default build flags do: a position-independent
# executable, stack protector, stack clash protection, fortified C library calls, control-flow
# protection, read-only relocations bound at start, and format strings checked. Each flag is
# tried on the compiler and linker at hand and left out when they reject it (the mingw-w64
# toolchain has no ELF relocation options, for one). None of these changes how a number is
# computed: they add checks around calls and the stack, not to arithmetic.
include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)
include(CheckPIESupported)

option(TRIGCALC_HARDENING "Hardening flags in optimised builds (Release, RelWithDebInfo, MinSizeRel)" ON)

# _FORTIFY_SOURCE needs optimisation, and the sanitizer and fuzz builds check memory
# themselves: fortified calls would bypass their interceptors. So only optimised builds
# without the fuzz targets are hardened; Debug builds stay as they were.
set(TRIGCALC_HARDENED OFF)
if(TRIGCALC_HARDENING AND NOT TRIGCALC_FUZZ
   AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  set(TRIGCALC_HARDENED ON)
endif()

# A program with what the flags act on: a frame larger than a page, fortified calls and a
# path that never returns. An empty program is not enough: mingw-w64's compiler accepts
# -fstack-clash-protection on one, then fails with an internal error on a function that
# ends in a call that does not return.
set(trigcalc_hardening_probe [=[
  #include <cstdio>
  #include <cstdlib>
  #include <cstring>
  [[noreturn]] void stop(int status);
  void stop(int status) { std::exit(status); }
  int main(int argc, char **argv) {
    char page[8192];
    std::snprintf(page, sizeof page, "%s", argv[0]);
    std::memcpy(page + 4096, page, 16);
    if (argc > 2) stop(page[4096]);
    return page[argc];
  }]=])

# Sets RESULT to whether the probe builds without a diagnostic with FLAGS (flags separated by
# spaces): KIND COMPILE tries them on the compiler, optimised as _FORTIFY_SOURCE needs; KIND
# LINK on the link alone.
function(trigcalc_flags_supported kind flags result)
  string(MAKE_C_IDENTIFIER "TRIGCALC_HARDENING_${kind}${flags}" name)
  separate_arguments(flag_words UNIX_COMMAND "${flags}")
  if(kind STREQUAL "COMPILE")
    set(CMAKE_REQUIRED_FLAGS "-O2 ${flags}")
  else()
    set(CMAKE_REQUIRED_FLAGS "-O2")
    set(CMAKE_REQUIRED_LINK_OPTIONS ${flag_words})
  endif()
  check_cxx_source_compiles("${trigcalc_hardening_probe}" ${name} FAIL_REGEX "warning:|error:")
  set(${result} ${${name}} PARENT_SCOPE)
endfunction()

# Adds the FLAGs with which the probe builds without a diagnostic, and names the others in
# `left_out`. KIND COMPILE adds them to compiling and linking (mingw-w64's driver adds there
# the library the stack protector calls into); KIND LINK adds them to the link alone. A FLAG
# may be flags that only work together, separated by spaces. All are tried at once first, as
# every toolchain this project knows takes them all: each probe costs a configuration a good
# part of a second; only when the whole set is refused is each flag tried alone.
function(trigcalc_add_supported_flags kind)
  list(JOIN ARGN " " all_flags)
  trigcalc_flags_supported(${kind} "${all_flags}" all_supported)
  set(rejected ${left_out})
  foreach(flag IN LISTS ARGN)
    set(supported ${all_supported})
    if(NOT all_supported)
      trigcalc_flags_supported(${kind} "${flag}" supported)
    endif()
    separate_arguments(flag_words UNIX_COMMAND "${flag}")
    if(NOT supported)
      list(APPEND rejected "${flag}")
    elseif(kind STREQUAL "COMPILE")
      add_compile_options(${flag_words})
      add_link_options(${flag_words})
    else()
      add_link_options(${flag_words})
    endif()
  endforeach()
  set(left_out ${rejected} PARENT_SCOPE)
endfunction()

if(TRIGCALC_HARDENED)
  set(left_out "")
  check_pie_supported(OUTPUT_VARIABLE pie_output LANGUAGES CXX)
  if(CMAKE_CXX_LINK_PIE_SUPPORTED)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  else()
    list(APPEND left_out -fPIE -pie)
  endif()
  # Any _FORTIFY_SOURCE level the compiler sets by default is replaced, not redefined.
  trigcalc_add_supported_flags(COMPILE -fstack-protector-strong -fstack-clash-protection
    -fcf-protection "-Wformat -Werror=format-security" "-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2")
  trigcalc_add_supported_flags(LINK -Wl,-z,relro -Wl,-z,now)
  if(left_out)
    list(JOIN left_out " " left_out_text)
    message(STATUS "Hardening: on, without ${left_out_text} (not supported by this toolchain)")
  else()
    message(STATUS "Hardening: on")
  endif()
else()
  message(STATUS "Hardening: off (only optimised builds without the fuzz targets are hardened)")
endif()
