#include "path_argument.h"

#include <cerrno>

#include "windows.h"

namespace winsim::files {

namespace {

bool CheckResolved(const ResolvedPath* out) {
  if (out->error) {
    SetLastError(out->error);
    return false;
  }
  if (out->full.size() >= MAX_PATH) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  return true;
}

}  // namespace

bool ResolveArgument(const char* path, unsigned flags, ResolvedPath* out) {
  if (!path || !*path) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  *out = ResolvePathA(path, flags);
  return CheckResolved(out);
}

bool ResolveConvertedArgument(std::u16string_view path, unsigned flags, const AnsiPathSettings& settings,
                              ResolvedPath* out) {
  if (path.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  *out = ResolvePathWith(path, flags, settings);
  return CheckResolved(out);
}

DWORD MissingError(const ResolvedPath& path) {
  return path.parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

bool FileWithTrailingSlash(const ResolvedPath& path) {
  return path.trailingSlash && path.exists && !path.isDirectory;
}

DWORD CreationError(int err) { return err == ENOENT ? static_cast<DWORD>(ERROR_PATH_NOT_FOUND) : ErrnoToWin32(err); }

std::string HostParent(const std::string& hostPath) {
  size_t slash = hostPath.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return hostPath.substr(0, slash);
}

std::string HostBaseName(const std::string& hostPath) {
  size_t slash = hostPath.find_last_of('/');
  return slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
}

}  // namespace winsim::files
