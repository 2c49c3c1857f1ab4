#include "winsim/file_open.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "windows.h"
#include "path_argument.h"
#include "winsim/file_attributes.h"

namespace winsim {
namespace {

constexpr DWORD kFileReadData = 0x0001;
constexpr DWORD kFileWriteData = 0x0002;
constexpr DWORD kFileAppendData = 0x0004;
constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool WantsRead(DWORD access) { return access & (GENERIC_READ | GENERIC_ALL | kFileReadData); }
bool WantsWrite(DWORD access) {
  return access & (GENERIC_WRITE | GENERIC_ALL | kFileWriteData | kFileAppendData);
}

int HostFlags(const OpenRequest& request, bool truncate) {
  bool r = WantsRead(request.access), w = WantsWrite(request.access) || truncate;
  int flags = O_CLOEXEC | (r && w ? O_RDWR : w ? O_WRONLY : O_RDONLY);
  if (request.appendOnly) flags |= O_APPEND;
  return flags;
}

DWORD CreateNew(const ResolvedPath& path, const OpenRequest& request, OpenedFile* out) {
  if (DenyWriteForUser(path)) return ERROR_ACCESS_DENIED;
  int fd = open(path.host.c_str(), HostFlags(request, false) | O_CREAT | O_EXCL, 0666);
  if (fd < 0) return errno == EEXIST ? static_cast<DWORD>(ERROR_FILE_EXISTS) : files::CreationError(errno);
  out->fd = fd;
  out->host = path.host;
  if (DWORD stored = request.attributes & kHiddenSystem) StoreAttributesOfHost(path.host, stored);
  if (request.attributes & FILE_ATTRIBUTE_READONLY) {
    struct stat st {};
    if (fstat(fd, &st) == 0) fchmod(fd, st.st_mode & 0555);
  }
  HostFileId id;
  DWORD error = 0;
  if (HostFileIdOf(path.host, &id)) out->share = RegisterOpen(id, request.access, request.share, &error);
  return 0;
}

DWORD OpenExisting(const ResolvedPath& path, const OpenRequest& request, OpenedFile* out) {
  const DWORD d = request.disposition;
  if (d == CREATE_NEW) return ERROR_FILE_EXISTS;
  const bool truncate = d == CREATE_ALWAYS || d == TRUNCATE_EXISTING;
  const bool writes = WantsWrite(request.access) || truncate;
  if (writes && DenyWriteForUser(path)) return ERROR_ACCESS_DENIED;
  if (writes && IsReadOnlyForLayer(path.host)) return ERROR_ACCESS_DENIED;
  if (d == CREATE_ALWAYS && request.keepHiddenRule) {
    DWORD existing = GetAttributesOfHost(path.host);
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & kHiddenSystem & ~request.attributes)) {
      return ERROR_ACCESS_DENIED;
    }
  }

  HostFileId id;
  if (!HostFileIdOf(path.host, &id)) return ErrnoToWin32(errno);
  DWORD access = request.access | (truncate ? GENERIC_WRITE : 0);
  DWORD error = 0;
  auto registration = RegisterOpen(id, access, request.share, &error);
  if (!registration) return error;

  int fd = open(path.host.c_str(), HostFlags(request, truncate));
  if (fd < 0) return ErrnoToWin32(errno);
  if (truncate && ftruncate(fd, 0) != 0) {
    DWORD e = ErrnoToWin32(errno);
    close(fd);
    return e;
  }
  if (d == CREATE_ALWAYS && request.keepHiddenRule) StoreAttributesOfHost(path.host, request.attributes & kHiddenSystem);
  out->fd = fd;
  out->existed = true;
  out->host = path.host;
  out->share = std::move(registration);
  return 0;
}

}  // namespace

OpenedFile::OpenedFile(OpenedFile&& other) noexcept
    : fd(std::exchange(other.fd, -1)), existed(other.existed), host(std::move(other.host)),
      share(std::move(other.share)) {}

OpenedFile& OpenedFile::operator=(OpenedFile&& other) noexcept {
  if (this != &other) {
    if (fd >= 0) close(fd);
    fd = std::exchange(other.fd, -1);
    existed = other.existed;
    host = std::move(other.host);
    share = std::move(other.share);
  }
  return *this;
}

OpenedFile::~OpenedFile() {
  if (fd >= 0) close(fd);
}

int OpenedFile::Release() { return std::exchange(fd, -1); }

DWORD OpenWindowsFile(const ResolvedPath& path, const OpenRequest& request, OpenedFile* out) {
  const DWORD d = request.disposition;
  if (d < CREATE_NEW || d > TRUNCATE_EXISTING) return ERROR_INVALID_PARAMETER;
  if (d == TRUNCATE_EXISTING && !WantsWrite(request.access)) return ERROR_INVALID_PARAMETER;

  if (path.exists && path.isDirectory) return d == CREATE_NEW ? ERROR_FILE_EXISTS : ERROR_ACCESS_DENIED;
  if (path.exists && path.trailingSlash) return ERROR_PATH_NOT_FOUND;
  if (path.exists) return OpenExisting(path, request, out);

  if (!path.parentExists) return ERROR_PATH_NOT_FOUND;
  if (d == OPEN_EXISTING || d == TRUNCATE_EXISTING) return ERROR_FILE_NOT_FOUND;
  if (path.trailingSlash || path.isDriveRoot) return ERROR_INVALID_NAME;
  DWORD error = CreateNew(path, request, out);
  if (error == ERROR_FILE_EXISTS && d != CREATE_NEW) {
    // Another thread or process created it since the path was resolved.
    ResolvedPath now = path;
    now.exists = true;
    return OpenExisting(now, request, out);
  }
  return error;
}

}  // namespace winsim
