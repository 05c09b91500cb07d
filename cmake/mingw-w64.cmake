# Cross-builds native Windows console programs with MinGW-w64.
# EARS_MINGW_ARCH picks the target: x86_64 (the default) or i686.
if(NOT EARS_MINGW_ARCH)
    set(EARS_MINGW_ARCH x86_64)
endif()
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES EARS_MINGW_ARCH)
set(triplet ${EARS_MINGW_ARCH}-w64-mingw32)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${EARS_MINGW_ARCH})
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
set(CMAKE_RC_COMPILER ${triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
