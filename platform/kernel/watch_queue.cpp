#include "watch_queue.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace winsim {
namespace {

// A thread gets a doorbell once it has asked a queue this often: one that
// asks a few times is not worth a ring.
constexpr unsigned kAsksBeforeDoorbell = 32;

// The calling thread's doorbell on a queue of `generation`. Closed when
// the thread ends (its ring's reference goes in the background).
struct ThreadDoorbell {
  ReadyDoorbell bell;
  unsigned generation = 0;
  unsigned asks = 0;
  bool failed = false;  // the host refused this thread one: not asked again
};
thread_local ThreadDoorbell t_doorbells[WatchQueue::kSlots];

// Generations are unique in the process, so that a doorbell is never taken
// for one on another queue of the same slot (tests make queues of their own).
std::atomic<unsigned> g_lastGeneration{0};

}  // namespace

bool WatchQueue::Open() {
  Close();
  int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) return false;
  fd_ = fd;
  generation_ = ++g_lastGeneration;
  // Without a keeper no thread gets a doorbell: its ring could hold the
  // last reference no longer, and the queue is read on every look.
  keeper_.Hold(fd_);
  return true;
}

bool WatchQueue::Add(const char* path, uint32_t mask) { return fd_ >= 0 && inotify_add_watch(fd_, path, mask) >= 0; }

bool WatchQueue::ThreadHasDoorbell() const {
  const ThreadDoorbell& mine = t_doorbells[slot_];
  return fd_ >= 0 && mine.generation == generation_ && mine.bell.IsOpen();
}

bool WatchQueue::Drain(void (*onEvent)(const inotify_event& event, void* context), void* context) {
  if (fd_ < 0) return false;
  ThreadDoorbell& mine = t_doorbells[slot_];
  if (ThreadHasDoorbell() && !mine.bell.Rang()) return true;
  alignas(inotify_event) char buf[4096];
  for (;;) {
    ssize_t n = read(fd_, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) break;
    if (n <= 0) {
      Close();
      return false;
    }
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buf + at);
      onEvent(*event, context);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  // Armed after the queue was emptied: whatever came in since rings at once.
  if (ThreadHasDoorbell()) {
    if (!mine.bell.Rearm()) mine.failed = true;
  } else if (mine.bell.IsOpen()) {
    mine.bell.Close();  // on an earlier queue
  } else if (keeper_.IsOpen() && !mine.failed && ++mine.asks >= kAsksBeforeDoorbell) {
    mine.generation = generation_;
    if (!mine.bell.Open(fd_)) mine.failed = true;
  }
  return true;
}

void WatchQueue::Close() {
  // The queue first: the keeper's ring then holds the last reference,
  // which the kernel gives up in the background.
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  keeper_.Close();
  // The calling thread's doorbell is on this queue; another thread's is
  // closed when that thread next asks.
  t_doorbells[slot_].bell.Close();
}

}  // namespace winsim
