# Installation (the program and its manual page) and the Debian package built by CPack.
include(GNUInstallDirs)

install(TARGETS trigcalc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/trigcalc.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME trigcalc)
set(CPACK_PACKAGE_VENDOR "trigcalc")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Interactive calculator for trigonometric expressions")
set(CPACK_PACKAGE_CONTACT "trigcalc maintainers <trigcalc@localhost>")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
