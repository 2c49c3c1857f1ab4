#include "config_watch.h"

#include <cstring>

namespace winsim {
namespace {

constexpr char kConfigName[] = "machine.conf";
// Every way machine.conf can change: written in place, replaced by a
// rename, created, deleted, its permissions; and the folder itself going.
constexpr uint32_t kMask = IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                           IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
constexpr uint32_t kLost = IN_Q_OVERFLOW | IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT;

struct Seen {
  bool changed = false;
  bool lost = false;
};

void Note(const inotify_event& event, void* context) {
  auto* seen = static_cast<Seen*>(context);
  if (event.mask & kLost) seen->lost = true;
  if (event.len > 0 && std::strcmp(event.name, kConfigName) == 0) seen->changed = true;
}

}  // namespace

bool ConfigWatch::Arm(const std::string& folder) {
  Drop();
  folder_ = folder;  // also when it fails: not tried again for this folder
  if (!queue_.Open()) return false;
  if (!queue_.Add(folder.c_str(), kMask)) {
    queue_.Close();
    return false;
  }
  return true;
}

bool ConfigWatch::SawChange() {
  Seen seen;
  if (!queue_.Drain(Note, &seen) || seen.lost) {
    Drop();
    return true;
  }
  return seen.changed;
}

void ConfigWatch::Drop() {
  queue_.Close();
  folder_.clear();
}

}  // namespace winsim
