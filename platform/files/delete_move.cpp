// DeleteFileA, MoveFileA and MoveFileExA.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "background_close.h"
#include "host_file_info.h"
#include "kept_folders.h"
#include "path_argument.h"
#include "windows.h"
#include "winsim/codepage.h"
#include "winsim/file_attributes.h"
#include "winsim/file_sharing.h"

namespace {

constexpr DWORD kDelete = 0x00010000;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kMoveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH;

// rename() itself is routed to the C-runtime wrapper in program code (it
// takes Windows paths there); the layer renames host paths with renameat.
int HostRename(const std::string& from, const std::string& to) {
  return renameat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str());
}

// Deleting or renaming needs DELETE access, which an open that does not
// share delete refuses.
bool OpenWithoutShareDelete(const std::string& host) {
  winsim::HostFileId id;
  return winsim::HostFileIdOf(host, &id) && winsim::WouldConflict(id, kDelete, kShareAll);
}

bool SameHostFile(const std::string& a, const std::string& b) {
  winsim::HostFileId x, y;
  return winsim::HostFileIdOf(a, &x) && winsim::HostFileIdOf(b, &y) && x.dev == y.dev && x.ino == y.ino;
}

// The host path of the target with its last component spelt as given: a
// renamed file takes the new name's spelling.
std::string GivenSpelling(const winsim::ResolvedPath& to) {
  size_t slash = to.full.find_last_of(u'\\');
  std::u16string last = slash == std::u16string::npos ? to.full : to.full.substr(slash + 1);
  return winsim::files::HostParent(to.host) + "/" + winsim::Utf16ToUtf8(last);
}

DWORD CheckDelete(const winsim::ResolvedPath& path) {
  if (!path.exists) return winsim::files::MissingError(path);
  if (winsim::files::FileWithTrailingSlash(path)) return ERROR_PATH_NOT_FOUND;
  if (path.isDirectory) return ERROR_ACCESS_DENIED;
  if (winsim::DenyWriteForUser(path)) return ERROR_ACCESS_DENIED;
  // One look at the file for both its read-only bit and its identity (as
  // IsReadOnlyForLayer and HostFileIdOf would see them), the resolver's
  // where it had one; gone meanwhile, the unlink says so.
  winsim::files::HostFileInfo info;
  if (!winsim::files::QueryResolvedFile(path, &info)) return 0;
  if (winsim::IsReadOnlyMode(info.mode)) return ERROR_ACCESS_DENIED;
  winsim::HostFileId id;
  id.dev = info.dev;
  id.ino = info.ino;
  if (winsim::WouldConflict(id, kDelete, kShareAll)) return ERROR_SHARING_VIOLATION;
  return 0;
}

DWORD CheckMove(const winsim::ResolvedPath& from, const winsim::ResolvedPath& to, DWORD flags, bool sameFile) {
  if (!from.exists) return winsim::files::MissingError(from);
  if (winsim::files::FileWithTrailingSlash(from)) return ERROR_PATH_NOT_FOUND;
  if (!to.exists && !to.parentExists) return ERROR_PATH_NOT_FOUND;
  if (to.exists && !sameFile) {
    if (!(flags & MOVEFILE_REPLACE_EXISTING)) return ERROR_ALREADY_EXISTS;
    if (to.isDirectory || from.isDirectory) return ERROR_ACCESS_DENIED;
  }
  if (to.isDriveRoot || from.isDriveRoot) return ERROR_ACCESS_DENIED;
  if (winsim::DenyWriteForUser(from) || winsim::DenyWriteForUser(to)) return ERROR_ACCESS_DENIED;
  if (OpenWithoutShareDelete(from.host)) return ERROR_SHARING_VIOLATION;
  // Measured: a target held open without FILE_SHARE_DELETE refuses to be
  // replaced with ERROR_ACCESS_DENIED.
  if (to.exists && !sameFile && OpenWithoutShareDelete(to.host)) return ERROR_ACCESS_DENIED;
  return 0;
}

}  // namespace

extern "C" BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
  winsim::ResolvedPath path;
  if (!winsim::files::ResolveArgument(lpFileName, winsim::kKeepTrailingSlash, &path)) return FALSE;
  DWORD error = CheckDelete(path);
  if (!error) {
    // Held across the unlink, so that freeing the file is left to the
    // background close rather than done in the unlink.
    const winsim::HostPathAt at(path.host);
    const int held = openat(at.Dir(), at.Name(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (unlinkat(at.Dir(), at.Name(), 0) != 0) error = winsim::ErrnoToWin32(errno);
    if (held >= 0) {
      if (error) close(held);
      else winsim::files::CloseInBackground(held);
    }
  }
  if (error) {
    SetLastError(error);
    return FALSE;
  }
  return TRUE;
}

extern "C" BOOL WINAPI MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags) {
  if (dwFlags & ~kMoveFlags) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  winsim::ResolvedPath from, to;
  if (!winsim::files::ResolveArgument(lpExistingFileName, winsim::kKeepTrailingSlash, &from)) return FALSE;
  if (!lpNewFileName) {
    SetLastError(from.exists ? ERROR_INVALID_PARAMETER : winsim::files::MissingError(from));
    return FALSE;
  }
  if (!from.exists) {
    SetLastError(winsim::files::MissingError(from));
    return FALSE;
  }
  if (!winsim::files::ResolveArgument(lpNewFileName, 0, &to)) return FALSE;
  const bool sameFile = to.exists && SameHostFile(from.host, to.host);
  DWORD error = CheckMove(from, to, dwFlags, sameFile);
  if (error) {
    SetLastError(error);
    return FALSE;
  }

  const std::string given = GivenSpelling(to);
  if (HostRename(from.host, sameFile ? given : to.host) == 0) {
    // A replaced target that was stored in another spelling takes the new one.
    if (!sameFile && to.exists && given != to.host && access(given.c_str(), F_OK) != 0) HostRename(to.host, given);
    return TRUE;
  }
  error = errno == EXDEV ? static_cast<DWORD>(ERROR_NOT_SAME_DEVICE) : winsim::ErrnoToWin32(errno);
  if (error == ERROR_NOT_SAME_DEVICE && (dwFlags & MOVEFILE_COPY_ALLOWED) && !from.isDirectory) {
    // Another host file system: copy, then remove the original.
    if (!CopyFileA(lpExistingFileName, lpNewFileName, !(dwFlags & MOVEFILE_REPLACE_EXISTING))) return FALSE;
    return DeleteFileA(lpExistingFileName);
  }
  SetLastError(error);
  return FALSE;
}

extern "C" BOOL WINAPI MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName) {
  return MoveFileExA(lpExistingFileName, lpNewFileName, MOVEFILE_COPY_ALLOWED);
}
