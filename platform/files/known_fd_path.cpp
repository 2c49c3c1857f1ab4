#include "known_fd_path.h"

#include <pthread.h>

#include <mutex>

#include "open_fd_path.h"
#include "watch_queue.h"
#include "watched_folders.h"

namespace winsim::files {
namespace {

// The file moved or renamed, deleted, or its links changed (a name of it
// removed or replaced).
constexpr uint32_t kFileMask = IN_MOVE_SELF | IN_DELETE_SELF | IN_ATTRIB;
// A folder of the path moved, renamed or deleted.
constexpr uint32_t kFolderMask = IN_MOVE_SELF | IN_DELETE_SELF | IN_ONLYDIR;
// A file's path is kept from its second ask: a name asked once is not
// worth the watches.
constexpr unsigned kAsksBeforeKeeping = 2;
constexpr size_t kMostWatches = 4096;

struct Cache {
  std::mutex mutex;
  WatchQueue queue{WatchQueue::kOpenFileNamesSlot};
  bool opened = false;  // the queue was opened once (it stays closed after a loss or a fork)
  unsigned epoch = 1;
  // Folders watched since the last event are watched once. Watches are not
  // taken back (a kept path's folders are shared): past the budget no more
  // paths are kept.
  WatchedFolders watched{kMostWatches};
};

Cache& TheCache() {
  static Cache* cache = [] {
    // A forked child shares the parent's queue: it must not read it, and
    // what its parent kept may be stale for it.
    pthread_atfork(nullptr, nullptr, [] {
      Cache& c = TheCache();
      c.queue.Close();
      c.opened = true;
      ++c.epoch;
    });
    return new Cache;
  }();
  return *cache;
}

void AnyEvent(const inotify_event&, void* context) { *static_cast<bool*>(context) = true; }

// Reads what happened since the last call: true when the kept paths still
// stand. An event forgets them all.
bool StillQuiet(Cache& c) {
  bool happened = false;
  if (!c.queue.Drain(AnyEvent, &happened)) happened = true;  // lost: the queue is closed now
  if (happened) {
    ++c.epoch;
    c.watched.Forget();
  }
  return !happened;
}

// Watches the file at `path` and every folder above it but the root.
bool WatchPath(Cache& c, const std::string& path) {
  if (!c.watched.Watch(c.queue, path, kFileMask)) return false;
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return true;
  return c.watched.WatchUpFrom(c.queue, path.substr(0, slash), kFolderMask);
}

}  // namespace

bool CurrentHostPathOfFd(int fd, KnownHostPath& known, std::string* path) {
  Cache& c = TheCache();
  std::lock_guard<std::mutex> lock(c.mutex);
  if (c.queue.IsOpen() && StillQuiet(c) && known.epoch == c.epoch) {
    *path = known.path;
    return true;
  }
  if (!HostPathOfFd(fd, path)) return false;
  if (EndsWithDeletedMark(*path) || ++known.asks < kAsksBeforeKeeping) return true;
  // The queue is opened for the first path kept: a process that asks a
  // name once holds no queue.
  if (!c.queue.IsOpen()) {
    if (c.opened) return true;  // lost, refused or forked: names are read each time
    c.opened = true;
    if (!c.queue.Open()) return true;
  }
  // The watches are set by name: read the link again after them, so that
  // a rename in between shows as another name or as an event.
  if (!WatchPath(c, *path)) return true;
  std::string again;
  if (!HostPathOfFd(fd, &again)) return true;
  if (again != *path) {
    *path = std::move(again);
    return true;
  }
  if (StillQuiet(c)) {
    known.path = *path;
    known.epoch = c.epoch;
  }
  return true;
}

}  // namespace winsim::files
