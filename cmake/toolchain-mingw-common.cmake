# The body of the MinGW-w64 toolchain files: they set MINGW_TRIPLET and
# CMAKE_SYSTEM_PROCESSOR and include this.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model's compilers (std::thread and std::mutex need it).
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

# Headers, libraries and packages come from the MinGW sysroot only, never
# from the host; programs (code generators, scripts) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config is outside CMake's find root: without this it would hand out
# the host's .pc files.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/${MINGW_TRIPLET}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# The compiler's runtime (libgcc, libstdc++, winpthread) is linked into each
# .exe and .dll, so what we ship imports no MinGW DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
