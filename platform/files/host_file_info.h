// What the layer needs to know of a host file: one statx call, with the
// birth time where the host file system keeps one.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <string>

#include "windef.h"
#include "winsim/paths.h"

namespace winsim::files {

using HostFileInfo = winsim::HostStat;

// Follows symbolic links. False (errno set) when nothing is there.
bool QueryHostFile(const std::string& hostPath, HostFileInfo* info);
bool QueryHostFd(int fd, HostFileInfo* info);
// The size of an open file, and nothing else. A look at a file's times
// makes the host stamp its next write in full precision, which costs that
// write an inode update; a size alone does not, so an append followed by
// a size check (as a log that rotates does) stays one cheap write.
bool HostFdSize(int fd, uint64_t* size);
// What the resolver already learnt of a path's host file (see
// ResolvedPath::hostStat), else one look at it.
bool QueryResolvedFile(const ResolvedPath& path, HostFileInfo* info);

// Host time to a Windows FILETIME (100 ns ticks since 1601-01-01 UTC).
FILETIME ToFileTime(const timespec& t);

}  // namespace winsim::files
