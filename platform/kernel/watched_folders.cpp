#include "watched_folders.h"

namespace winsim {

bool WatchedFolders::Watch(WatchQueue& queue, const std::string& path, uint32_t mask) {
  if (watches_ >= mostWatches_ || !queue.Add(path.c_str(), mask)) return false;
  ++watches_;
  return true;
}

bool WatchedFolders::WatchOnce(WatchQueue& queue, const std::string& path, uint32_t mask) {
  auto found = masks_.find(path);
  if (found != masks_.end() && (found->second & mask) == mask) return true;
  if (!Watch(queue, path, mask)) return false;
  masks_[path] |= mask;
  return true;
}

bool WatchedFolders::WatchUpFrom(WatchQueue& queue, const std::string& path, uint32_t mask) {
  for (size_t end = path.size(); end > 0; end = path.rfind('/', end - 1)) {
    if (!WatchOnce(queue, path.substr(0, end), mask)) return false;
  }
  return true;
}

}  // namespace winsim
