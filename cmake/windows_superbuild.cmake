# The Windows builds in one: a host build of the payload (configuration,
# licence, profiles, certificates, artwork), the x64 and x86 cross builds of
# the programs and libraries, and the two folders an administrator ships:
#   build-windows/source/      for 64-bit Windows (x64 programs, the x86 launcher)
#   build-windows/source-x86/  for 32-bit Windows (x86 programs and libraries)
# The builds run one after another: each uses both cores by itself.
include(ExternalProject)

set(WINDOWS_ROOT ${PROJECT_SOURCE_DIR}/build-windows)
set(WINDOWS_JOBS 2 CACHE STRING "Parallel jobs of each sub-build")

ExternalProject_Add(windows_host_payload
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${WINDOWS_ROOT}/host
  CMAKE_GENERATOR Ninja
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target payload -j ${WINDOWS_JOBS}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON)

set(previous windows_host_payload)
foreach(arch x64 x86)
  ExternalProject_Add(windows_${arch}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${WINDOWS_ROOT}/${arch}
    CMAKE_GENERATOR Ninja
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/toolchain-mingw-${arch}.cmake
               -DCMAKE_BUILD_TYPE=Release
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> -j ${WINDOWS_JOBS}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    DEPENDS ${previous}
    USES_TERMINAL_BUILD ON)
  set(previous windows_${arch})
endforeach()

# Lays out the two shipped folders from the three builds; files that did not
# change are not copied again.
add_custom_target(windows_source ALL
  COMMAND ${CMAKE_COMMAND}
    -DHOST_SOURCE=${WINDOWS_ROOT}/host/source
    -DX64_BUILD=${WINDOWS_ROOT}/x64
    -DX86_BUILD=${WINDOWS_ROOT}/x86
    -DOUT_X64=${WINDOWS_ROOT}/source
    -DOUT_X86=${WINDOWS_ROOT}/source-x86
    -P ${CMAKE_CURRENT_LIST_DIR}/windows_source.cmake
  DEPENDS windows_host_payload windows_x64 windows_x86
  COMMENT "Laying out build-windows/source and build-windows/source-x86"
  VERBATIM)
