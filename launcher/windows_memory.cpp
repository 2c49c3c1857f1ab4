// memset and memcpy of the Windows build, which links no C runtime: the
// compiler emits calls to them for zeroed structures and copies.
#include <cstring>

#include "memory_ops.h"

extern "C" void* memset(void* dest, int value, std::size_t count) { return launcher::FillBytes(dest, value, count); }

extern "C" void* memcpy(void* dest, const void* source, std::size_t count) {
  return launcher::CopyBytes(dest, source, count);
}
