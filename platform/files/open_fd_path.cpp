#include "open_fd_path.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace winsim::files {
namespace {

// This process's descriptor folder, opened once: a link read through it
// skips looking up /proc/self on every call. A forked child names another
// process's folder through the inherited copy, so it drops it and opens its
// own on first use.
std::atomic<int> g_fdFolder{-1};

void ForgetFolderInChild() {
  const int fd = g_fdFolder.exchange(-1);
  if (fd >= 0) close(fd);
}

int FdFolder() {
  int fd = g_fdFolder.load(std::memory_order_acquire);
  if (fd >= 0) return fd;
  static const bool registered = [] { return pthread_atfork(nullptr, nullptr, ForgetFolderInChild) == 0; }();
  (void)registered;
  fd = open("/proc/self/fd", O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -1;
  int expected = -1;
  if (!g_fdFolder.compare_exchange_strong(expected, fd)) {
    close(fd);  // another thread was first
    return expected;
  }
  return fd;
}

}  // namespace

bool HostPathOfFd(int fd, std::string* path) {
  char name[16];
  std::snprintf(name, sizeof name, "%d", fd);
  char buf[PATH_MAX];
  const int folder = FdFolder();
  ssize_t n = -1;
  if (folder >= 0) {
    n = readlinkat(folder, name, buf, sizeof buf - 1);
  } else {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    n = readlink(link, buf, sizeof buf - 1);
  }
  if (n <= 0) return false;
  path->assign(buf, static_cast<size_t>(n));
  return true;
}

bool EndsWithDeletedMark(const std::string& path) {
  constexpr char kMark[] = " (deleted)";
  const size_t n = sizeof kMark - 1;
  return path.size() > n && path.compare(path.size() - n, n, kMark) == 0;
}

}  // namespace winsim::files
