// What the layer needs to know of a host file: one statx call, with the
// birth time where the host file system keeps one.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <string>

#include "windef.h"

namespace winsim::files {

struct HostFileInfo {
  bool isDirectory = false;
  mode_t mode = 0;
  uint64_t size = 0;
  dev_t dev = 0;
  ino_t ino = 0;
  timespec accessed{};
  timespec modified{};
  timespec created{};  // birth time, or the modification time when unknown
};

// Follows symbolic links. False (errno set) when nothing is there.
bool QueryHostFile(const std::string& hostPath, HostFileInfo* info);
bool QueryHostFd(int fd, HostFileInfo* info);

// Host time to a Windows FILETIME (100 ns ticks since 1601-01-01 UTC).
FILETIME ToFileTime(const timespec& t);

}  // namespace winsim::files
