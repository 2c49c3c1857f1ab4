// Whether this host gives io_uring: the doorbell tests skip, and the watch
// tests expect the read on each look, where it does not.
#pragma once
#include <fcntl.h>
#include <unistd.h>

#include "ready_doorbell.h"

namespace kernel_test {

inline bool HostHasIoUring() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  bool ok = false;
  {
    winsim::ReadyDoorbell bell;
    ok = bell.Open(fds[0]);
  }
  close(fds[0]);
  close(fds[1]);
  return ok;
}

}  // namespace kernel_test
