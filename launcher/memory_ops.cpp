// Built with -fno-tree-loop-distribute-patterns: otherwise the compiler
// recognises these loops and replaces them by calls to memset and memcpy,
// which in the Windows build are these very functions.
#include "memory_ops.h"

namespace launcher {

void* FillBytes(void* dest, int value, std::size_t count) {
  unsigned char* d = static_cast<unsigned char*>(dest);
  const unsigned char byte = static_cast<unsigned char>(value);
  while (count--) *d++ = byte;
  return dest;
}

void* CopyBytes(void* dest, const void* source, std::size_t count) {
  unsigned char* d = static_cast<unsigned char*>(dest);
  const unsigned char* s = static_cast<const unsigned char*>(source);
  while (count--) *d++ = *s++;
  return dest;
}

}  // namespace launcher
