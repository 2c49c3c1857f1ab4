#include "start_hook.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>

namespace winsim::process {

void ParkAtChildStartIfAsked() {
  static std::atomic<long> starts{0};
  const long start = ++starts;
  const char* value = std::getenv("WINSIM_PARK_AT_CHILD_START");
  if (!value || !*value) return;
  char* rest = nullptr;
  const long wanted = std::strtol(value, &rest, 10);
  if (wanted != start || !rest || *rest != ':' || !rest[1]) return;
  const std::string file = rest + 1;
  const std::string partial = file + ".partial";
  // Host calls only: the C runtime's file functions take Windows paths.
  const int fd = open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd >= 0) {
    const std::string pid = std::to_string(getpid()) + "\n";
    const bool written = write(fd, pid.data(), pid.size()) == static_cast<ssize_t>(pid.size());
    close(fd);
    if (written) renameat(AT_FDCWD, partial.c_str(), AT_FDCWD, file.c_str());
  }
  for (;;) pause();
}

}  // namespace winsim::process
