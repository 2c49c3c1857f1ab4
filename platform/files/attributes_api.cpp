// GetFileAttributesA, SetFileAttributesA and PathFileExistsA.
#include <cerrno>

#include "path_argument.h"
#include "windows.h"
#include "shlwapi.h"
#include "winsim/file_attributes.h"

namespace {

// Resolves a path that must name something that exists; false with the
// last error set otherwise.
bool ResolveExisting(LPCSTR name, winsim::ResolvedPath* path) {
  if (!winsim::files::ResolveArgument(name, winsim::kKeepTrailingSlash, path)) return false;
  DWORD error = 0;
  if (!path->exists) error = winsim::files::MissingError(*path);
  else if (winsim::files::FileWithTrailingSlash(*path)) error = ERROR_PATH_NOT_FOUND;
  if (error) SetLastError(error);
  return error == 0;
}

}  // namespace

extern "C" DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
  winsim::ResolvedPath path;
  if (!ResolveExisting(lpFileName, &path)) return INVALID_FILE_ATTRIBUTES;
  DWORD attributes = path.hostStatValid ? winsim::AttributesOfHostWithMode(path.host, path.hostStat.mode)
                                        : winsim::GetAttributesOfHost(path.host);
  if (attributes == INVALID_FILE_ATTRIBUTES) SetLastError(winsim::ErrnoToWin32(errno));
  return attributes;
}

extern "C" BOOL WINAPI SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes) {
  winsim::ResolvedPath path;
  if (!ResolveExisting(lpFileName, &path)) return FALSE;
  if (winsim::DenyWriteForUser(path)) return FALSE;
  DWORD error = path.hostStatValid
                    ? winsim::SetAttributesOfHostWithMode(path.host, path.hostStat.mode, dwFileAttributes)
                    : winsim::SetAttributesOfHost(path.host, dwFileAttributes);
  if (error) {
    SetLastError(error);
    return FALSE;
  }
  return TRUE;
}

extern "C" BOOL WINAPI PathFileExistsA(LPCSTR pszPath) {
  if (!pszPath) return FALSE;
  return GetFileAttributesA(pszPath) != INVALID_FILE_ATTRIBUTES;
}
