# Shared build rules for everything in this tree.

# Warnings are errors for our own code.
function(winsim_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-unused-parameter)
endfunction()

# A program or test written as for Windows: its C-runtime file calls take
# Windows paths, so they are routed through the platform layer.
# (The wrappers live in the files area of the layer; a build without it
# links the C library's own functions.)
function(winsim_windows_code target)
  winsim_warnings(${target})
  if(TARGET win32_files AND NOT WIN32)
    target_link_options(${target} PRIVATE
      -Wl,--wrap=fopen -Wl,--wrap=fopen64 -Wl,--wrap=remove -Wl,--wrap=rename)
  endif()
endfunction()

# Code whose narrow string literals hold Korean text: they reach the binary
# in the ANSI code page of a Korean Windows.
function(winsim_cp949 target)
  target_compile_options(${target} PRIVATE -fexec-charset=CP949)
endfunction()

# A program of the simulated machine: named as on Windows, placed in bin/.
# On the layer, the host entry is wrapped so that the full 32-bit value main
# returns reaches GetExitCodeProcess (win32_process holds the wrapper).
function(winsim_exe target output_name)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${output_name} SUFFIX ".exe")
  if(NOT WIN32 AND TARGET win32_process)
    # -u main: a main kept in a library (the WinMain entry) is linked even
    # when that library comes before the wrapper on the link line.
    target_link_options(${target} PRIVATE -Wl,--wrap=main -Wl,-u,main)
    target_link_libraries(${target} PRIVATE win32_process)
  endif()
endfunction()

# A GoogleTest binary registered with CTest; each test gets a fresh machine
# folder from the test main.
function(winsim_test target)
  target_link_libraries(${target} PRIVATE winsim_testmain GTest::gtest)
  winsim_windows_code(${target})
  # Tests that run several threads are also built and run under
  # ThreadSanitizer: the target `threaded_tests` builds just those.
  if("threaded" IN_LIST ARGN)
    set_property(GLOBAL APPEND PROPERTY WINSIM_THREADED_TEST_TARGETS ${target})
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "WINSIM_BIN=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}" ${ARGN})
endfunction()

# Resource scripts: winsim_resources(<target> <file.rc>).
include(${CMAKE_CURRENT_LIST_DIR}/resources.cmake)
