# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers.
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x64.cmake ...
set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
