// Share modes of open files, as Windows checks them: an open that asks for
// an access another open does not share, or that does not share an access
// another open holds, fails with ERROR_SHARING_VIOLATION. Kept per process
// (the machine's processes do not see one another's share modes).
#pragma once
#include <sys/types.h>

#include <memory>
#include <string>

#include "windef.h"

namespace winsim {

struct HostFileId {
  dev_t dev = 0;
  ino_t ino = 0;
};

// The identity of an existing host file; false when there is none.
bool HostFileIdOf(const std::string& hostPath, HostFileId* id);

// One registered open; dropping it ends the registration.
class ShareRegistration {
 public:
  ShareRegistration(const HostFileId& id, DWORD access, DWORD share) : id_(id), access_(access), share_(share) {}
  ~ShareRegistration();
  ShareRegistration(const ShareRegistration&) = delete;
  ShareRegistration& operator=(const ShareRegistration&) = delete;

 private:
  HostFileId id_;
  DWORD access_;
  DWORD share_;
};

// Registers an open with the given access (GENERIC_*, FILE_*_DATA, DELETE)
// and share mode (FILE_SHARE_*). Null and *error = ERROR_SHARING_VIOLATION
// on a conflict.
std::unique_ptr<ShareRegistration> RegisterOpen(const HostFileId& id, DWORD access, DWORD share, DWORD* error);

// Whether an open with this access and share mode would conflict, without
// registering it.
bool WouldConflict(const HostFileId& id, DWORD access, DWORD share);

}  // namespace winsim
