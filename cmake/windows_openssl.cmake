# OpenSSL for a Windows (MinGW-w64) build, built once per target into the
# user's cache by scripts/lib/openssl_windows.sh and shared by every build
# folder. Included by a Windows build, it defines:
#   OpenSSL::Crypto             imported static libcrypto, with its headers
#                               and the Windows libraries it needs
#   WINDOWS_OPENSSL_CRYPTO_DLL  full path of libcrypto-3[-x64].dll
#   WINDOWS_OPENSSL_SSL_DLL     full path of libssl-3[-x64].dll
#   WINDOWS_OPENSSL_PREFIX      the install folder holding all of them
# The first configure of a target builds OpenSSL (a few minutes); later ones
# find the finished build by its stamp and run nothing.
include_guard(GLOBAL)

if(NOT CMAKE_SYSTEM_NAME STREQUAL "Windows")
  message(FATAL_ERROR "windows_openssl.cmake is for Windows builds (use a toolchain-mingw-*.cmake file)")
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(_wo_target x64)
  set(_wo_dll_suffix "-x64")
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(_wo_target x86)
  set(_wo_dll_suffix "")
else()
  message(FATAL_ERROR "windows_openssl.cmake: unknown pointer size '${CMAKE_SIZEOF_VOID_P}' (is a language enabled yet?)")
endif()

# The same cache folder as the script's; empty variables count as unset.
if(NOT "$ENV{VELTRANE_CACHE}" STREQUAL "")
  set(_wo_cache "$ENV{VELTRANE_CACHE}")
elseif(NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
  set(_wo_cache "$ENV{XDG_CACHE_HOME}/veltrane")
else()
  set(_wo_cache "$ENV{HOME}/.cache/veltrane")
endif()

# Prefixes are named after the version of the source package in the cache.
set(WINDOWS_OPENSSL_PREFIX "")
file(GLOB _wo_dsc "${_wo_cache}/openssl/source/openssl_*.dsc")
if(_wo_dsc)
  list(GET _wo_dsc 0 _wo_dsc)
  file(STRINGS "${_wo_dsc}" _wo_version REGEX "^Version:")
  string(REGEX REPLACE "^Version: *" "" _wo_version "${_wo_version}")
  if(EXISTS "${_wo_cache}/openssl/${_wo_version}-${_wo_target}/stamp")
    set(WINDOWS_OPENSSL_PREFIX "${_wo_cache}/openssl/${_wo_version}-${_wo_target}")
  endif()
endif()

if(NOT WINDOWS_OPENSSL_PREFIX)
  set(_wo_script "${CMAKE_CURRENT_LIST_DIR}/../scripts/lib/openssl_windows.sh")
  message(STATUS "Building OpenSSL for Windows ${_wo_target} into ${_wo_cache}/openssl (a few minutes; log: ${_wo_cache}/openssl/build-${_wo_target}.log)")
  execute_process(
    COMMAND bash "${_wo_script}" ${_wo_target}
    RESULT_VARIABLE _wo_result
    OUTPUT_VARIABLE _wo_out
    ERROR_VARIABLE _wo_err)
  if(NOT _wo_result EQUAL 0)
    # The script's own report (the failing step and the log's last lines)
    # as it wrote it, then the error.
    message(NOTICE "${_wo_err}")
    message(FATAL_ERROR "Building OpenSSL for Windows ${_wo_target} failed (exit ${_wo_result}); see above")
  endif()
  # The script prints the prefix as its last line.
  string(STRIP "${_wo_out}" _wo_out)
  string(REGEX REPLACE "^.*\n" "" WINDOWS_OPENSSL_PREFIX "${_wo_out}")
  if(NOT EXISTS "${WINDOWS_OPENSSL_PREFIX}/stamp")
    message(FATAL_ERROR "Building OpenSSL for Windows ${_wo_target}: no finished build at '${WINDOWS_OPENSSL_PREFIX}'")
  endif()
endif()

# A removed cache makes the next build configure again, which rebuilds it.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${WINDOWS_OPENSSL_PREFIX}/stamp")

set(WINDOWS_OPENSSL_CRYPTO_DLL "${WINDOWS_OPENSSL_PREFIX}/bin/libcrypto-3${_wo_dll_suffix}.dll")
set(WINDOWS_OPENSSL_SSL_DLL "${WINDOWS_OPENSSL_PREFIX}/bin/libssl-3${_wo_dll_suffix}.dll")

add_library(OpenSSL::Crypto STATIC IMPORTED GLOBAL)
set_target_properties(OpenSSL::Crypto PROPERTIES
  IMPORTED_LOCATION "${WINDOWS_OPENSSL_PREFIX}/lib/libcrypto.a"
  INTERFACE_INCLUDE_DIRECTORIES "${WINDOWS_OPENSSL_PREFIX}/include"
  # OpenSSL's own list for MinGW (ws2_32 gdi32 crypt32), plus what its
  # code calls beyond the compiler's default libraries: advapi32 (random
  # numbers, event log) and user32 (the window station, error boxes).
  INTERFACE_LINK_LIBRARIES "ws2_32;gdi32;crypt32;advapi32;user32")

unset(_wo_target)
unset(_wo_dll_suffix)
unset(_wo_cache)
unset(_wo_dsc)
unset(_wo_version)
unset(_wo_script)
unset(_wo_result)
unset(_wo_out)
unset(_wo_err)
