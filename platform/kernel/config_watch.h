// A cheap answer to "may machine.conf have changed?": an inotify watch on
// the machine folder. A change made by any process is queued on the watch
// before that process's write or rename returns, so a call that starts
// after the change sees it. Where the host has io_uring, a thread that asks
// often gets a doorbell on the watch, which says without a system call that
// nothing was queued; otherwise reading the empty queue is one call and no
// path lookup, where a stat of machine.conf walks the whole path.
//
// Not thread-safe: the owner serialises the calls (the doorbells are the
// calling threads' own).
#pragma once
#include <string>

#include "ready_doorbell.h"

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
  bool Armed() const { return fd_ >= 0; }
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
  bool ThreadHasDoorbell() const;

 private:
  int fd_ = -1;
  std::string folder_;
  // Counts the watches armed, so that a thread's doorbell on an earlier
  // watch is known for one.
  unsigned generation_ = 0;
  // Holds the watch in a ring, so that closing fd_ is never the watch's
  // last close (see ready_doorbell.h).
  ReadyDoorbell keeper_;
};

}  // namespace winsim
