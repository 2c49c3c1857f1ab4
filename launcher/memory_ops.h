// Byte filling and copying for a program that links no C runtime: the
// compiler turns zeroed structures, array initialisers and std::memset /
// std::memcpy into calls to memset and memcpy, which the Windows build of
// the launcher defines over these.
#pragma once
#include <cstddef>

namespace launcher {

// memset: `count` bytes at `dest` set to `value` converted to unsigned char.
void* FillBytes(void* dest, int value, std::size_t count);
// memcpy: `count` bytes from `source` to `dest`; the two must not overlap.
void* CopyBytes(void* dest, const void* source, std::size_t count);

}  // namespace launcher
