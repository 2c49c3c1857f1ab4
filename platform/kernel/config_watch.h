// A cheap answer to "may machine.conf have changed?": an inotify watch on
// the machine folder. A change made by any process is queued on the watch
// before that process's write or rename returns, so a call that starts
// after the change sees it. A thread that asks often hears of a quiet
// queue without a system call (watch_queue.h); otherwise reading the empty
// queue is one call and no path lookup, where a stat of machine.conf walks
// the whole path.
//
// Not thread-safe: the owner serialises the calls.
#pragma once
#include <string>

#include "watch_queue.h"

namespace winsim {

class ConfigWatch {
 public:
  // Watches `folder` (the machine folder), dropping any earlier watch.
  // False when the host gives no watch (then the caller must look at the
  // file each time).
  bool Arm(const std::string& folder);
  // The folder last armed for (also when the host gave no watch), or ""
  // after Drop.
  const std::string& Folder() const { return folder_; }
  bool Armed() const { return queue_.IsOpen(); }
  // True when machine.conf of the watched folder may have changed since
  // the last call (by any thread), when there is no watch, or when the
  // watch was lost (it is then dropped, to be armed again).
  // Events about other files of the folder are read and ignored.
  bool SawChange();
  // Closes the watch. A child after fork drops its copy before reading
  // from it: the queue is shared with the parent.
  void Drop();
  // Whether the calling thread's SawChange now answers "nothing" without a
  // system call.
  bool ThreadHasDoorbell() const { return queue_.ThreadHasDoorbell(); }

 private:
  WatchQueue queue_{WatchQueue::kConfigSlot};
  std::string folder_;
};

}  // namespace winsim
