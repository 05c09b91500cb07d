# Installation and packages: the two programs, their manual pages, a .deb on
# Linux and a .zip for Windows.
include(GNUInstallDirs)
if(WIN32)
    # The zip holds the two programs and the README side by side.
    install(TARGETS earlist earpages RUNTIME DESTINATION .)
    install(FILES README.md DESTINATION .)
else()
    install(TARGETS earlist earpages RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES docs/earlist.1 docs/earpages.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_PACKAGE_NAME "ears")
set(CPACK_PACKAGE_VENDOR "The ears developers")
set(CPACK_PACKAGE_CONTACT "The ears developers <ears@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "List a directory of collected ears as text or web pages")
set(CPACK_PACKAGE_DESCRIPTION "earlist and earpages read the .itm item files of the current \
directory, one collected ear each, and write a text listing (ears_dir.txt) or numbered web \
pages of 200 ears each (ears_zek1.htm, ears_zek2.htm, ...).")
set(CPACK_RESOURCE_FILE_README "${PROJECT_SOURCE_DIR}/README.md")
if(WIN32)
    set(CPACK_GENERATOR "ZIP")
    set(CPACK_SYSTEM_NAME "windows-${CMAKE_SYSTEM_PROCESSOR}")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
    set(CPACK_GENERATOR "DEB")
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
    set(CPACK_DEBIAN_PACKAGE_SECTION "games")
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
endif()
include(CPack)
