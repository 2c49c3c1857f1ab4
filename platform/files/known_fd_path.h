// The host paths of open files, kept between calls while nothing can have
// renamed them: an inotify watch on each kept file (moved, deleted, its
// links changed) and on every folder of its path (moved or deleted) has
// seen nothing since the path was read. Any event forgets every kept path.
// A thread that asks often hears of a quiet watch without a system call,
// where reading a descriptor's link costs a path built by the kernel.
#pragma once
#include <string>

namespace winsim::files {

// What is kept for one open file; lives in its file object, so it goes
// with the handle. Guarded by the cache's own lock.
struct KnownHostPath {
  std::string path;
  unsigned epoch = 0;  // the cache's epoch when it was kept; 0: nothing kept
  unsigned asks = 0;
};

// The host path of the open descriptor `fd` as the kernel reports it now
// (with " (deleted)" after a name deleted while open), from `known` when
// nothing can have renamed the file since it was kept there. False (errno
// set) when the kernel tells no path.
bool CurrentHostPathOfFd(int fd, KnownHostPath& known, std::string* path);

}  // namespace winsim::files
