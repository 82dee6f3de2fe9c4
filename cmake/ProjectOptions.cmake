# Compiler settings shared by every target of the project.

add_library(project_options INTERFACE)
# Every warning in our own code is an error, in every build; third-party code
# (GoogleTest built from source for Windows) does not link project_options.
target_compile_options(project_options INTERFACE -Wall -Wextra -Werror)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 reports false overlaps in inlined std::string copies when optimising
    # (GCC bug 105329).
    target_compile_options(project_options INTERFACE -Wno-restrict)
endif()

if(PLANDRA_SANITIZE)
    target_compile_options(project_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(project_options INTERFACE -fsanitize=address,undefined)
endif()

if(PLANDRA_FUZZ)
    # All of our code reports its coverage to libFuzzer, which steers its inputs by
    # it; only the fuzz targets link libFuzzer's own main.
    target_compile_options(project_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

if(WIN32)
    # Test programs run under Wine without the MinGW runtime DLLs beside them.
    target_link_options(project_options INTERFACE -static)
endif()
