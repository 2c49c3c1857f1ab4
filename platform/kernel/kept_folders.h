// Host paths named relative to a kept descriptor of their folder, so that
// a call on a file in a folder the process works in walks one component,
// not the whole path. A folder is kept from its eighth ask in a row (one
// asked a few times is not worth its watches) while inotify watches on it,
// on every folder above it and on its parent's names have seen no change; a
// change lets every kept folder go: a folder on the way moved or deleted,
// or a kept folder's name in its parent deleted or renamed onto (a kept
// folder holds its descriptor, so its own deletion reaches no watch on it).
// At most four are kept. A host that gives no inotify, and a forked child,
// name every path whole. As with the kept names of open files, a symbolic
// link on the way that is pointed elsewhere is not seen.
#pragma once

#include <memory>
#include <string>

namespace winsim {

struct KeptFolder;

class HostPathAt {
 public:
  // `hostPath` is absolute and must outlive this object: Name() points
  // into it.
  explicit HostPathAt(const std::string& hostPath);
  ~HostPathAt();
  HostPathAt(const HostPathAt&) = delete;
  HostPathAt& operator=(const HostPathAt&) = delete;

  // For the *at calls: the folder's descriptor and the last component, or
  // AT_FDCWD and the whole path when no folder is kept.
  int Dir() const { return dir_; }
  const char* Name() const { return name_; }

 private:
  std::shared_ptr<const KeptFolder> folder_;  // its descriptor stays open while in use
  const std::string& whole_;
  int dir_;
  const char* name_;

  friend int RemoveXattrAt(const HostPathAt&, const char*);
};

// removexattr on a path so named (the host's removexattrat where it has one).
int RemoveXattrAt(const HostPathAt& at, const char* attribute);

}  // namespace winsim
