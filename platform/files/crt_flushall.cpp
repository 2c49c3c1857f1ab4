// _flushall: the Microsoft runtime's flush of every stream.
#include <cstdio>

#include "crt_msvc.h"
#include "crt_text_stream.h"

extern "C" int _flushall(void) {
  std::fflush(nullptr);
  return 3 + winsim::files::OpenCrtStreamCount();  // stdin, stdout, stderr and ours
}
