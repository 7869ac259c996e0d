# Installation (the program, its manual pages, changelog, copyright, README and the documents
# of docs/) and the Debian package built by CPack.
include(GNUInstallDirs)

set(TRIGCALC_MAINTAINER "trigcalc maintainers <maintainers@users.noreply.c-seed-f44e2e75.example>"
    CACHE STRING "Maintainer of the Debian package and of its changelog entries")

# The manual pages name the version themselves, so that a checkout's read right
# (tools/check_manual_pages.py holds them to the project's); the pages and the changelog are
# installed gzip-compressed as Debian installs them, with -n so that the archive holds no
# name or time stamp and every build gives the same bytes.
find_program(TRIGCALC_GZIP gzip REQUIRED)
set(packaging_output ${CMAKE_BINARY_DIR}/packaging)
function(trigcalc_configure_gzipped source name)
  configure_file(${source} ${packaging_output}/${name} @ONLY)
  execute_process(COMMAND ${TRIGCALC_GZIP} -9nc ${packaging_output}/${name}
                  OUTPUT_FILE ${packaging_output}/${name}.gz RESULT_VARIABLE gzip_status)
  if(NOT gzip_status EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${packaging_output}/${name}")
  endif()
endfunction()
trigcalc_configure_gzipped(${CMAKE_CURRENT_LIST_DIR}/trigcalc.1 trigcalc.1)
# The Portuguese page, which man shows in a Portuguese locale; the English one stays the
# default. tools/check_manual_pages.py keeps the two naming the same options, variables and files.
trigcalc_configure_gzipped(${CMAKE_CURRENT_LIST_DIR}/pt_BR/trigcalc.1 pt_BR/trigcalc.1)
trigcalc_configure_gzipped(${CMAKE_CURRENT_LIST_DIR}/changelog changelog)

install(TARGETS trigcalc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The exact mode's module, where the program looks for it from its own directory (a directory
# two levels below /usr/lib: the package then runs no ldconfig, which a module does not need).
if(TARGET trigcalc_exact)
  install(TARGETS trigcalc_exact LIBRARY DESTINATION lib/trigcalc/modules)
endif()
install(FILES ${packaging_output}/trigcalc.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaging_output}/pt_BR/trigcalc.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/pt_BR/man1)
install(FILES ${packaging_output}/changelog.gz ${CMAKE_CURRENT_LIST_DIR}/copyright
              ${CMAKE_CURRENT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Every document of docs/, in docs/ beside the README, whose paths name them so; a new one is
# installed without a change here (packaging/install_test.sh checks that what the README and
# the manual pages name is there).
file(GLOB trigcalc_documents CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/docs/*.md)
install(FILES ${trigcalc_documents} DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)

set(CPACK_PACKAGE_NAME trigcalc)
set(CPACK_PACKAGE_VENDOR "trigcalc")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interactive calculator for trigonometric expressions")
# The extended description, under the summary line; CPack indents it, and "." is a blank line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "trigcalc reads one expression per line and prints its value. A line is
either a term, such as sin30, 2*3cos60 or arcsen0.5, or terms and numbers in
square brackets joined by operators, such as [sin30]+[2]*[cos60]. Angles are
in degrees, or in radians when the term starts with rad or contains pi.
.
Started without arguments it holds a dialogue in Portuguese, with line
editing, history and completion of function names at a terminal. Given
expressions as arguments or on standard input, it prints their values for
use in scripts.")
set(CPACK_PACKAGE_CONTACT "${TRIGCALC_MAINTAINER}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
