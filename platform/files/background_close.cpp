#include "background_close.h"

#include <pthread.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace winsim::files {
namespace {

// The thread is woken when a queue starts and when it has this many; a
// run of deletes then costs a wake per batch, not per file. What is queued
// is closed at the latest after kMostDelay.
constexpr size_t kBatch = 32;
constexpr auto kMostDelay = std::chrono::milliseconds(5);

struct Closer {
  std::mutex mutex;
  std::condition_variable wake;
  std::condition_variable drained;
  std::vector<int> queue;
  size_t closing = 0;  // taken from the queue, not yet closed
  bool started = false;
  bool sleeping = false;

  void Run() {
    std::vector<int> batch;
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
      sleeping = true;
      wake.wait(lock, [this] { return !queue.empty(); });
      wake.wait_for(lock, kMostDelay, [this] { return queue.size() >= kBatch; });
      sleeping = false;
      batch.swap(queue);
      closing = batch.size();
      lock.unlock();
      for (int fd : batch) close(fd);
      batch.clear();
      lock.lock();
      closing = 0;
      if (queue.empty()) drained.notify_all();
    }
  }
};

// Never destroyed: the thread outlives main. A forked child gets a closer
// of its own and leaves the parent's alone (see the fork handlers).
Closer* g_closer = new Closer;
Closer* g_parentsCloser = nullptr;  // in a forked child: kept, never used

// No thread holds the closer's lock across a fork, so that the child finds
// its queue whole.
void LockBeforeFork() { g_closer->mutex.lock(); }
void UnlockInParent() { g_closer->mutex.unlock(); }

// The thread stays with the parent: the child closes what was still queued
// and starts a thread of its own when it needs one. Descriptors the
// parent's thread had already taken are left to the child's exec or exit
// (they are close-on-exec): which of them it had closed cannot be told.
void StartAfreshInChild() {
  g_parentsCloser = g_closer;  // stays locked and unused
  for (int fd : g_parentsCloser->queue) close(fd);
  g_closer = new Closer;
}

}  // namespace

void CloseInBackground(int fd) {
  static const bool registered = [] {
    return pthread_atfork(LockBeforeFork, UnlockInParent, StartAfreshInChild) == 0;
  }();
  Closer& c = *g_closer;
  std::unique_lock<std::mutex> lock(c.mutex);
  if (!c.started || !registered) {
    try {
      if (!registered) throw std::system_error(std::make_error_code(std::errc::not_supported));
      std::thread([&c] { c.Run(); }).detach();
      c.started = true;
    } catch (const std::system_error&) {
      lock.unlock();
      close(fd);
      return;
    }
  }
  c.queue.push_back(fd);
  const bool wake = c.sleeping && (c.queue.size() == 1 || c.queue.size() == kBatch);
  lock.unlock();
  if (wake) c.wake.notify_one();
}

void WaitForBackgroundCloses() {
  Closer& c = *g_closer;
  std::unique_lock<std::mutex> lock(c.mutex);
  c.drained.wait(lock, [&c] { return c.queue.empty() && c.closing == 0; });
}

}  // namespace winsim::files
