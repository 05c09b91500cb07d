# GoogleTest: the installed package where there is one, else the sources
# that Debian's googletest package puts in /usr/src/googletest.
find_package(GTest CONFIG QUIET)
if(NOT GTest_FOUND)
    find_package(GTest QUIET)
endif()
if(NOT TARGET GTest::gtest)
    if(EXISTS /usr/src/googletest/CMakeLists.txt)
        set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
        add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    else()
        message(FATAL_ERROR "GoogleTest not found: install libgtest-dev (Debian) or googletest")
    endif()
endif()
