#include "kept_folders.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <string_view>
#include <vector>

#include "watch_queue.h"
#include "watched_folders.h"

namespace winsim {

struct KeptFolder {
  KeptFolder(std::string p, int d) : path(std::move(p)), fd(d) {}
  ~KeptFolder() { close(fd); }
  KeptFolder(const KeptFolder&) = delete;
  KeptFolder& operator=(const KeptFolder&) = delete;
  const std::string path;
  const int fd;
};

namespace {

// A folder of the path moved, renamed or deleted. Masks are added to, as
// one folder may be watched both as a parent and as a folder of a path.
constexpr uint32_t kFolderMask = IN_MOVE_SELF | IN_DELETE_SELF | IN_ONLYDIR | IN_MASK_ADD;
// A name in a kept folder's parent deleted or renamed onto: the kept
// folder itself removed or replaced while empty. Its own deletion is not
// told to a watch on it while the kept descriptor holds it.
constexpr uint32_t kParentMask = IN_DELETE | IN_MOVED_TO | IN_ONLYDIR | IN_MASK_ADD;
constexpr unsigned kAsksBeforeKeeping = 8;
constexpr size_t kMostKept = 4;
constexpr size_t kMostWatches = 1024;

struct Keeper {
  std::mutex mutex;
  WatchQueue queue{WatchQueue::kKeptFoldersSlot};
  bool usable = true;  // false after a loss, a refusal or a fork: paths are named whole
  std::vector<std::shared_ptr<const KeptFolder>> kept;  // the latest kept last
  // Watches are taken back only with the queue, on the first change; until
  // then no more folders are kept past the budget.
  WatchedFolders watched{kMostWatches};
  std::string candidate;
  unsigned candidateAsks = 0;
};

Keeper& TheKeeper() {
  static Keeper* keeper = [] {
    // A forked child shares the parent's queue: it must not read it, and
    // the folders its parent kept may have moved unseen by it.
    pthread_atfork(nullptr, nullptr, [] {
      Keeper& k = TheKeeper();
      k.queue.Close();
      k.usable = false;
      k.kept.clear();
    });
    return new Keeper;
  }();
  return *keeper;
}

struct Heard {
  const Keeper* keeper;
  bool changed = false;
};

bool IsKeptName(const Keeper& k, const char* name) {
  for (const auto& kept : k.kept)
    if (kept->path.compare(kept->path.rfind('/') + 1, std::string::npos, name) == 0) return true;
  return false;
}

// A folder moved or deleted, or a name in a parent that a kept folder has:
// a change of another name there leaves the kept folders standing.
void OnEvent(const inotify_event& event, void* context) {
  auto* heard = static_cast<Heard*>(context);
  if (event.len == 0 || IsKeptName(*heard->keeper, event.name)) heard->changed = true;
}

// Reads what happened since the last call; a change lets every kept
// folder go.
bool StillQuiet(Keeper& k) {
  Heard heard{&k};
  if (!k.queue.Drain(OnEvent, &heard)) {
    heard.changed = true;  // lost: the queue is closed now
    k.usable = false;
  }
  if (heard.changed) {
    // The watches go with the queue: a parent watched for a folder no
    // longer kept would otherwise go on ringing for every name it loses.
    k.queue.Close();
    k.kept.clear();
    k.watched.Reset();
  }
  return !heard.changed;
}

// Watches `folder` and every folder above it but the root, and the names
// in its parent.
bool WatchFolders(Keeper& k, const std::string& folder) {
  const size_t slash = folder.rfind('/');
  const std::string parent = slash == 0 ? std::string("/") : folder.substr(0, slash);
  return k.watched.WatchOnce(k.queue, parent, kParentMask) && k.watched.WatchUpFrom(k.queue, folder, kFolderMask);
}

// Keeps `folder` open when it has been asked for often enough.
std::shared_ptr<const KeptFolder> MaybeKeep(Keeper& k, std::string_view folder) {
  if (folder != k.candidate) {
    k.candidate.assign(folder);
    k.candidateAsks = 0;
  }
  if (++k.candidateAsks < kAsksBeforeKeeping) return nullptr;
  k.candidateAsks = 0;
  if (!k.queue.IsOpen()) {
    if (!k.usable) return nullptr;
    if (!k.queue.Open()) {
      k.usable = false;
      return nullptr;
    }
  }
  // Watched by name first, opened by name after: a rename in between is
  // an event, and nothing is kept.
  if (!WatchFolders(k, k.candidate)) return nullptr;
  const int fd = open(k.candidate.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  auto kept = std::make_shared<const KeptFolder>(k.candidate, fd);
  if (!StillQuiet(k)) return nullptr;
  if (k.kept.size() >= kMostKept) k.kept.erase(k.kept.begin());
  k.kept.push_back(kept);
  return kept;
}

std::shared_ptr<const KeptFolder> FolderFor(std::string_view folder) {
  Keeper& k = TheKeeper();
  std::lock_guard<std::mutex> lock(k.mutex);
  if (k.queue.IsOpen() && StillQuiet(k)) {
    for (const auto& kept : k.kept)
      if (kept->path == folder) return kept;
  }
  return MaybeKeep(k, folder);
}

// The host's removexattrat, where it has one (Linux 6.13).
#if defined(__x86_64__)
constexpr long kRemoveXattrAt = 466;
#else
constexpr long kRemoveXattrAt = -1;
#endif
std::atomic<bool> g_noXattrAt{kRemoveXattrAt < 0};

}  // namespace

HostPathAt::HostPathAt(const std::string& hostPath) : whole_(hostPath), dir_(AT_FDCWD), name_(hostPath.c_str()) {
  const size_t slash = hostPath.rfind('/');
  // Only a folder below the root, and a name that is one component.
  if (slash == std::string::npos || slash == 0 || slash + 1 >= hostPath.size()) return;
  folder_ = FolderFor(std::string_view(hostPath).substr(0, slash));
  if (!folder_) return;
  dir_ = folder_->fd;
  name_ = hostPath.c_str() + slash + 1;
}

HostPathAt::~HostPathAt() = default;

int RemoveXattrAt(const HostPathAt& at, const char* attribute) {
  if (at.dir_ != AT_FDCWD && !g_noXattrAt.load(std::memory_order_relaxed)) {
    const long r = syscall(kRemoveXattrAt, at.dir_, at.name_, 0, attribute);
    if (r >= 0 || errno != ENOSYS) return static_cast<int>(r);
    g_noXattrAt.store(true, std::memory_order_relaxed);
  }
  return removexattr(at.whole_.c_str(), attribute);
}

}  // namespace winsim
