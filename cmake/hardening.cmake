# Hardening of optimised builds, as Debian's default build flags do: a position-independent
# executable, stack protector, stack clash protection, fortified C library calls, control-flow
# protection, read-only relocations bound at start, and format strings checked. Each flag is
# tried on the compiler and linker at hand and left out when they reject it (the mingw-w64
# toolchain has no ELF relocation options, for one). None of these changes how a number is
# computed: they add checks around calls and the stack, not to arithmetic.
include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)
include(CheckLinkerFlag)
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

# Adds each compiler FLAG the compiler accepts (compiling and linking a test program) and
# names the ones it rejects in `left_out`. A FLAG may be flags that only work together,
# separated by spaces.
function(trigcalc_add_supported_compile_flags)
  foreach(flag IN LISTS ARGN)
    string(MAKE_C_IDENTIFIER "TRIGCALC_CXX_FLAG${flag}" result)
    check_cxx_compiler_flag("${flag}" ${result})
    if(${result})
      separate_arguments(flag_words UNIX_COMMAND "${flag}")
      add_compile_options(${flag_words})
    else()
      set(left_out ${left_out} "${flag}" PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

# Adds each linker FLAG the linker accepts and names the ones it rejects in `left_out`.
function(trigcalc_add_supported_link_flags)
  foreach(flag IN LISTS ARGN)
    string(MAKE_C_IDENTIFIER "TRIGCALC_LINK_FLAG${flag}" result)
    check_linker_flag(CXX "${flag}" ${result})
    if(${result})
      add_link_options("${flag}")
    else()
      set(left_out ${left_out} "${flag}" PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

# _FORTIFY_SOURCE is a macro, which every compiler accepts: what matters is whether a
# fortified call builds and links (mingw-w64 needs its libssp for the checked functions).
# Any level the compiler sets by default is replaced, so it is not redefined with a warning.
function(trigcalc_add_fortify_source)
  set(CMAKE_REQUIRED_FLAGS "-O2 -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2")
  check_cxx_source_compiles([[
    #include <cstdio>
    #include <cstring>
    int main(int argc, char **argv) {
      char text[16];
      std::snprintf(text, sizeof text, "%d", argc);
      std::memcpy(text, argv[0], 1);
      return text[0];
    }]] TRIGCALC_FORTIFY_SOURCE_LINKS)
  if(TRIGCALC_FORTIFY_SOURCE_LINKS)
    add_compile_options(-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2)
  else()
    set(left_out ${left_out} -D_FORTIFY_SOURCE=2 PARENT_SCOPE)
  endif()
endfunction()

if(TRIGCALC_HARDENED)
  set(left_out "")
  check_pie_supported(OUTPUT_VARIABLE pie_output LANGUAGES CXX)
  if(CMAKE_CXX_LINK_PIE_SUPPORTED)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  else()
    list(APPEND left_out -fPIE -pie)
  endif()
  trigcalc_add_supported_compile_flags(-fstack-protector-strong -fstack-clash-protection
                                       -fcf-protection "-Wformat -Werror=format-security")
  trigcalc_add_fortify_source()
  trigcalc_add_supported_link_flags(-Wl,-z,relro -Wl,-z,now)
  if(left_out)
    list(JOIN left_out " " left_out_text)
    message(STATUS "Hardening: on, without ${left_out_text} (not supported by this toolchain)")
  else()
    message(STATUS "Hardening: on")
  endif()
else()
  message(STATUS "Hardening: off (only optimised builds without the fuzz targets are hardened)")
endif()
