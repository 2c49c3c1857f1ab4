// CreateDirectoryA and RemoveDirectoryA.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "path_argument.h"
#include "windows.h"
#include "winsim/file_sharing.h"

namespace {

// The A function's documented limit for a folder name: MAX_PATH less room
// for an 8.3 file name inside it; like MAX_PATH it counts the terminator,
// so 247 characters is the longest name accepted.
constexpr size_t kMaxFolderPath = MAX_PATH - 12;

DWORD CheckCreate(const winsim::ResolvedPath& path) {
  if (path.isDriveRoot || path.exists) return ERROR_ALREADY_EXISTS;
  if (!path.parentExists) return ERROR_PATH_NOT_FOUND;
  if (path.full.size() >= kMaxFolderPath) return ERROR_FILENAME_EXCED_RANGE;
  if (winsim::DenyWriteForUser(path)) return ERROR_ACCESS_DENIED;
  return 0;
}

// A process holds its current directory open, so that folder cannot go.
bool IsCurrentDirectory(const std::string& host) {
  winsim::ResolvedPath cwd = winsim::ResolvePath(winsim::CurrentDirectory(), winsim::kNoRedirection);
  winsim::HostFileId a, b;
  return !cwd.error && winsim::HostFileIdOf(cwd.host, &a) && winsim::HostFileIdOf(host, &b) && a.dev == b.dev &&
         a.ino == b.ino;
}

DWORD CheckRemove(const winsim::ResolvedPath& path) {
  if (!path.exists) return winsim::files::MissingError(path);
  if (!path.isDirectory) return path.trailingSlash ? ERROR_PATH_NOT_FOUND : ERROR_DIRECTORY;
  if (path.isDriveRoot) return ERROR_ACCESS_DENIED;
  if (winsim::DenyWriteForUser(path)) return ERROR_ACCESS_DENIED;
  if (IsCurrentDirectory(path.host)) return ERROR_SHARING_VIOLATION;
  return 0;
}

}  // namespace

extern "C" BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
  winsim::ResolvedPath path;
  if (!winsim::files::ResolveArgument(lpPathName, 0, &path)) return FALSE;
  DWORD error = CheckCreate(path);
  if (!error && mkdir(path.host.c_str(), 0777) != 0) error = winsim::files::CreationError(errno);
  if (error) {
    SetLastError(error);
    return FALSE;
  }
  return TRUE;
}

extern "C" BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName) {
  winsim::ResolvedPath path;
  if (!winsim::files::ResolveArgument(lpPathName, 0, &path)) return FALSE;
  DWORD error = CheckRemove(path);
  if (!error && rmdir(path.host.c_str()) != 0) {
    error = (errno == ENOTEMPTY || errno == EEXIST) ? static_cast<DWORD>(ERROR_DIR_NOT_EMPTY)
                                                     : winsim::ErrnoToWin32(errno);
  }
  if (error) {
    SetLastError(error);
    return FALSE;
  }
  return TRUE;
}
