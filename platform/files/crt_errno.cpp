#include "crt_errno.h"

#include <cerrno>

#include "winerror.h"

namespace winsim::files {

int CrtErrnoFromWin32(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_NO_MORE_FILES:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return ENOENT;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_ACCESS_DENIED:
    case ERROR_CURRENT_DIRECTORY:
    case ERROR_CANNOT_MAKE:
      return EACCES;
    case ERROR_INVALID_HANDLE:
      return EBADF;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_NOT_SAME_DEVICE:
      return EXDEV;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DIR_NOT_EMPTY:
      return ENOTEMPTY;
    case ERROR_DISK_FULL:
      return ENOSPC;
    case ERROR_BROKEN_PIPE:
      return EPIPE;
    case ERROR_NEGATIVE_SEEK:
      return EINVAL;
    default:
      break;
  }
  // The write-protect to sharing-buffer range (19..36), which holds the
  // sharing and lock violations, reads as "access denied".
  if (error >= ERROR_WRITE_PROTECT && error <= 36) return EACCES;
  return EINVAL;
}

}  // namespace winsim::files
