#include "config_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace winsim {
namespace {

constexpr char kConfigName[] = "machine.conf";
// Every way machine.conf can change: written in place, replaced by a
// rename, created, deleted, its permissions; and the folder itself going.
constexpr uint32_t kMask = IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                           IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
constexpr uint32_t kLost = IN_Q_OVERFLOW | IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT;

}  // namespace

bool ConfigWatch::Arm(const std::string& folder) {
  Drop();
  folder_ = folder;  // also when it fails: not tried again for this folder
  int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) return false;
  if (inotify_add_watch(fd, folder.c_str(), kMask) < 0) {
    close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

bool ConfigWatch::SawChange() {
  if (fd_ < 0) return true;
  bool changed = false;
  alignas(inotify_event) char buf[4096];
  for (;;) {
    ssize_t n = read(fd_, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) break;
    if (n <= 0) {
      Drop();
      return true;
    }
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buf + at);
      if (event->mask & kLost) {
        Drop();
        return true;
      }
      if (event->len > 0 && std::strcmp(event->name, kConfigName) == 0) changed = true;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  return changed;
}

void ConfigWatch::Drop() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  folder_.clear();
}

}  // namespace winsim
