// The kernel object behind a file HANDLE from CreateFileA. Closing the
// last handle closes the host descriptor and ends its share registration.
#pragma once
#include <mutex>

#include "known_fd_path.h"
#include "winsim/file_open.h"
#include "winsim/handles.h"

namespace winsim {

struct FileObject : KernelObject {
  explicit FileObject(OpenedFile opened, DWORD accessMask) : file(std::move(opened)), access(accessMask) {}
  ObjectKind Kind() const override { return ObjectKind::File; }

  OpenedFile file;  // owns the descriptor
  DWORD access;
  files::KnownHostPath knownPath;  // its host path as last asked (known_fd_path.h)
  std::mutex mutex;  // one read, write or seek at a time, as the position is shared
};

// The host descriptor of a file handle, or -1.
int HostFdOfHandle(HANDLE handle);

}  // namespace winsim
