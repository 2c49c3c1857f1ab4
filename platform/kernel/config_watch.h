// A cheap answer to "may machine.conf have changed?": an inotify watch on
// the machine folder. A change made by any process is queued on the watch
// before that process's write or rename returns, so a call that starts
// after the change sees it; reading an empty queue is one system call and
// no path lookup, where a stat of machine.conf walks the whole path.
#pragma once
#include <string>

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
  // the last call, when there is no watch, or when the watch was lost (it
  // is then dropped, to be armed again).
  // Events about other files of the folder are read and ignored.
  bool SawChange();
  // Closes the watch. A child after fork drops its copy before reading
  // from it: the queue is shared with the parent.
  void Drop();

 private:
  int fd_ = -1;
  std::string folder_;
};

}  // namespace winsim
