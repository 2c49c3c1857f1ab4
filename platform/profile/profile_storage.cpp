#include "profile_storage.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "windows.h"
#include "winsim/file_attributes.h"

namespace winsim::profile {
namespace {

// Closes a host descriptor on every way out.
struct HostFd {
  int fd;
  explicit HostFd(int f) : fd(f) {}
  ~HostFd() {
    if (fd >= 0) ::close(fd);
  }
  HostFd(const HostFd&) = delete;
  HostFd& operator=(const HostFd&) = delete;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Registers this call's own open of an existing file, as other opens see it.
DWORD RegisterOwnOpen(const std::string& hostPath, DWORD access, std::unique_ptr<ShareRegistration>* out) {
  HostFileId id;
  if (!HostFileIdOf(hostPath, &id)) return ErrnoToWin32(errno);
  DWORD error = ERROR_SUCCESS;
  *out = RegisterOpen(id, access, kShareAll, &error);
  return *out ? ERROR_SUCCESS : error;
}

bool IsBareFileName(std::u16string_view name) {
  if (name.find_first_of(u"\\/") != std::u16string_view::npos) return false;
  return !(name.size() >= 2 && name[1] == u':');  // "C:x.ini" is drive-relative
}

}  // namespace

std::mutex& ProfileFilesMutex() {
  static std::mutex mutex;
  return mutex;
}

ResolvedPath ResolveProfileName(const WCHAR* fileName) {
  std::u16string name = fileName ? std::u16string(fileName) : std::u16string(u"win.ini");
  if (IsBareFileName(name)) name = WindowsDirectory() + u"\\" + name;
  return ResolvePath(name);
}

DWORD ReadProfileFile(const ResolvedPath& path, std::string* bytes) {
  bytes->clear();
  if (path.error) return path.error;
  if (!path.exists) return path.parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
  if (path.isDirectory) return ERROR_ACCESS_DENIED;
  std::unique_ptr<ShareRegistration> ownOpen;
  if (DWORD error = RegisterOwnOpen(path.host, GENERIC_READ, &ownOpen)) return error;
  HostFd file(::open(path.host.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.fd < 0) return ErrnoToWin32(errno);
  char chunk[65536];
  for (;;) {
    ssize_t n = ::read(file.fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return ErrnoToWin32(errno);
    }
    if (n == 0) break;
    bytes->append(chunk, static_cast<size_t>(n));
  }
  return ERROR_SUCCESS;
}

DWORD ClaimForChange(const ResolvedPath& path, std::unique_ptr<ShareRegistration>* claim) {
  if (path.error || !path.exists || path.isDirectory) return ERROR_SUCCESS;  // reported by the read
  // The layer enforces read-only itself: the host's root ignores permissions.
  if (IsReadOnlyForLayer(path.host) || DenyWriteForUser(path)) return ERROR_ACCESS_DENIED;
  return RegisterOwnOpen(path.host, GENERIC_READ | GENERIC_WRITE, claim);
}

DWORD RewriteProfileFile(const std::string& hostPath, std::string_view bytes) {
  HostFd file(::open(hostPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
  if (file.fd < 0) return ErrnoToWin32(errno);
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::pwrite(file.fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return ErrnoToWin32(errno);
    }
    done += static_cast<size_t>(n);
  }
  if (::ftruncate(file.fd, static_cast<off_t>(bytes.size())) != 0) return ErrnoToWin32(errno);
  return ERROR_SUCCESS;
}

}  // namespace winsim::profile
