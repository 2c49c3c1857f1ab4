# Cross build for 32-bit Windows with Debian's MinGW-w64 compilers.
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86.cmake ...
set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
