# A Windows build: the targets the program links for "the Win32 API" name
# the system's own libraries (on Linux they are the platform layer's).
include_guard(GLOBAL)

add_library(win32_headers INTERFACE)
add_library(win32_core INTERFACE)
target_link_libraries(win32_core INTERFACE kernel32)
add_library(win32_files INTERFACE)
target_link_libraries(win32_files INTERFACE kernel32)
add_library(win32_process INTERFACE)
target_link_libraries(win32_process INTERFACE kernel32)
add_library(win32 INTERFACE)
target_link_libraries(win32 INTERFACE kernel32 advapi32 shell32 shlwapi user32 ole32)
# The C runtime calls WinMain; a 32-bit build is a 32-bit image by itself.
add_library(win32_winmain INTERFACE)
add_library(win32_image32 INTERFACE)
# The profile configuration reader is OpenSSL's, linked in statically.
include(${CMAKE_CURRENT_LIST_DIR}/windows_openssl.cmake)
add_library(win32_openssl INTERFACE)
target_link_libraries(win32_openssl INTERFACE OpenSSL::Crypto)

# Release code at -O2: at -O3 GCC 12 reports a -Wrestrict overlap inside
# libstdc++'s own string concatenation (a known false report), which our
# warnings-are-errors rule would turn into a failed build.
string(REPLACE "-O3" "-O2" CMAKE_CXX_FLAGS_RELEASE "${CMAKE_CXX_FLAGS_RELEASE}")
string(REPLACE "-O3" "-O2" CMAKE_C_FLAGS_RELEASE "${CMAKE_C_FLAGS_RELEASE}")
