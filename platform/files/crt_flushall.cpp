// _flushall: the Microsoft runtime's flush of every stream: what waits to
// be written is written, what was read ahead is dropped.
#include <cstdio>

#include "crt_msvc.h"
#include "crt_stream_registry.h"

extern "C" int _flushall(void) {
  std::fflush(nullptr);
  winsim::files::DiscardCrtReadAhead();
  return 3 + winsim::files::OpenCrtStreamCount();  // stdin, stdout, stderr and ours
}
