# Warnings on for every target of the project, and treated as a fault.
add_library(ears_warnings INTERFACE)
if(MSVC)
    target_compile_options(ears_warnings INTERFACE /W4)
else()
    target_compile_options(ears_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
        -Wno-sign-conversion)
endif()
