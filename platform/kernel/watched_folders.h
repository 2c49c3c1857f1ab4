// The watches a cache of host paths sets on its WatchQueue: a folder is
// watched once for each mask until Forget, and no more watches are set
// past a budget (inotify's watches are a limited resource of the user).
// Not thread-safe: the owner serialises the calls, as for its queue.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "watch_queue.h"

namespace winsim {

class WatchedFolders {
 public:
  explicit WatchedFolders(size_t mostWatches) : mostWatches_(mostWatches) {}

  // Watches `path` for `mask`; false when the budget is spent or the host
  // refuses. Not remembered: for a file, watched each time it is kept.
  bool Watch(WatchQueue& queue, const std::string& path, uint32_t mask);
  // Watches the folder `path` for `mask` unless it already is.
  bool WatchOnce(WatchQueue& queue, const std::string& path, uint32_t mask);
  // WatchOnce for the folder `path` and every folder above it but the root.
  bool WatchUpFrom(WatchQueue& queue, const std::string& path, uint32_t mask);
  // The folders are watched again when next asked; the watches already
  // set still count (the queue keeps them).
  void Forget() { masks_.clear(); }
  // As Forget, for a queue that was closed with all its watches.
  void Reset() {
    masks_.clear();
    watches_ = 0;
  }

 private:
  const size_t mostWatches_;
  size_t watches_ = 0;
  std::unordered_map<std::string, uint32_t> masks_;  // what each folder is watched for
};

}  // namespace winsim
