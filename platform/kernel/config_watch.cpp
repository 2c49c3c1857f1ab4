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
// A thread gets a doorbell once it has asked this often: one that asks a
// few times is not worth a ring.
constexpr unsigned kAsksBeforeDoorbell = 32;

// The calling thread's doorbell, on the watch of `generation`. Closed when
// the thread ends (its ring's reference goes in the background).
struct ThreadDoorbell {
  ReadyDoorbell bell;
  unsigned generation = 0;
  unsigned asks = 0;
  bool failed = false;  // the host refused this thread one: not asked again
};
thread_local ThreadDoorbell t_doorbell;

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
  ++generation_;
  // Without a keeper no thread gets a doorbell: its ring could hold the
  // last reference no longer, and the queue is read on every look.
  keeper_.Hold(fd_);
  return true;
}

bool ConfigWatch::ThreadHasDoorbell() const {
  return fd_ >= 0 && t_doorbell.generation == generation_ && t_doorbell.bell.IsOpen();
}

bool ConfigWatch::SawChange() {
  if (fd_ < 0) return true;
  ThreadDoorbell& mine = t_doorbell;
  if (ThreadHasDoorbell() && !mine.bell.Rang()) return false;
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
  // Armed after the queue was emptied: whatever came in since rings at once.
  if (ThreadHasDoorbell()) {
    if (!mine.bell.Rearm()) mine.failed = true;
  } else if (mine.bell.IsOpen()) {
    mine.bell.Close();  // on an earlier watch
  } else if (keeper_.IsOpen() && !mine.failed && ++mine.asks >= kAsksBeforeDoorbell) {
    mine.generation = generation_;
    if (!mine.bell.Open(fd_)) mine.failed = true;
  }
  return changed;
}

void ConfigWatch::Drop() {
  // The watch first: the keeper's ring then holds the last reference,
  // which the kernel gives up in the background.
  if (fd_ >= 0) close(fd_);
  keeper_.Close();
  // The calling thread's doorbell is on this watch; another thread's is
  // closed when that thread next asks.
  t_doorbell.bell.Close();
  fd_ = -1;
  folder_.clear();
}

}  // namespace winsim
