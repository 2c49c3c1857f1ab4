// CopyFileA: contents, attributes and last-write time.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "path_argument.h"
#include "windows.h"
#include "winsim/file_attributes.h"
#include "winsim/file_sharing.h"

namespace {

constexpr DWORD kDelete = 0x00010000;
constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Copies the bytes; 0 or a Windows error code. The kernel copies them
// itself where it can (no round trip through this process, and a shared
// extent where the file system has them); otherwise through a buffer.
DWORD CopyBytes(int from, int to) {
  for (bool first = true;; first = false) {
    ssize_t n = copy_file_range(from, nullptr, to, nullptr, size_t{1} << 30, 0);
    if (n > 0) continue;
    if (n == 0) return 0;
    if (errno == EINTR) continue;
    // Not offered here (another file system, an old kernel): the buffer.
    if (first && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) break;
    return winsim::ErrnoToWin32(errno);
  }
  std::vector<char> buffer(1 << 16);
  for (;;) {
    ssize_t n = read(from, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return winsim::ErrnoToWin32(errno);
    if (n == 0) return 0;
    for (ssize_t done = 0; done < n;) {
      ssize_t w = write(to, buffer.data() + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return w < 0 ? winsim::ErrnoToWin32(errno) : static_cast<DWORD>(ERROR_DISK_FULL);
      done += w;
    }
  }
}

// The checks of CopyFileA, in the order Windows meets them; 0 when the
// copy may go ahead.
DWORD CheckCopy(const winsim::ResolvedPath& from, const winsim::ResolvedPath& to, BOOL failIfExists) {
  if (!from.exists) return winsim::files::MissingError(from);
  if (winsim::files::FileWithTrailingSlash(from)) return ERROR_PATH_NOT_FOUND;
  if (from.isDirectory) return ERROR_ACCESS_DENIED;
  if (!to.exists && !to.parentExists) return ERROR_PATH_NOT_FOUND;
  if (!to.exists && (to.trailingSlash || to.isDriveRoot)) return ERROR_INVALID_NAME;
  if (to.exists && to.isDirectory) return ERROR_ACCESS_DENIED;
  if (winsim::files::FileWithTrailingSlash(to)) return ERROR_PATH_NOT_FOUND;
  if (to.exists && failIfExists) return ERROR_FILE_EXISTS;
  if (winsim::DenyWriteForUser(to)) return ERROR_ACCESS_DENIED;
  if (to.exists) {
    // Documented: an existing read-only or hidden target refuses the copy.
    DWORD attributes = winsim::GetAttributesOfHost(to.host);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)))
      return ERROR_ACCESS_DENIED;
  }
  return 0;
}

DWORD DoCopy(const winsim::ResolvedPath& from, const winsim::ResolvedPath& to) {
  winsim::HostFileId fromId, toId;
  if (!winsim::HostFileIdOf(from.host, &fromId)) return winsim::ErrnoToWin32(errno);
  DWORD error = 0;
  // The source is read with others allowed to read it; the target is
  // written exclusively. Copying a file onto itself therefore fails with
  // ERROR_SHARING_VIOLATION, as on Windows.
  auto readingSource = winsim::RegisterOpen(fromId, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, &error);
  if (!readingSource) return error;
  std::unique_ptr<winsim::ShareRegistration> writingTarget;
  if (to.exists && winsim::HostFileIdOf(to.host, &toId)) {
    writingTarget = winsim::RegisterOpen(toId, GENERIC_WRITE | kDelete, 0, &error);
    if (!writingTarget) return error;
  }

  Fd source(open(from.host.c_str(), O_RDONLY | O_CLOEXEC));
  if (source.get() < 0) return winsim::ErrnoToWin32(errno);
  struct stat sourceStat {};
  if (fstat(source.get(), &sourceStat) != 0) return winsim::ErrnoToWin32(errno);

  const DWORD sourceStored = winsim::StoredAttributesOfHost(from.host) & kHiddenSystem;
  const DWORD targetStored = to.exists ? winsim::StoredAttributesOfHost(to.host) & kHiddenSystem : 0;
  int flags = O_WRONLY | O_CLOEXEC | (to.exists ? O_TRUNC : O_CREAT | O_EXCL);
  Fd target(open(to.host.c_str(), flags, 0666));
  if (target.get() < 0)
    return errno == EEXIST ? static_cast<DWORD>(ERROR_FILE_EXISTS) : winsim::files::CreationError(errno);

  error = CopyBytes(source.get(), target.get());
  if (!error) {
    // Last-write time and attributes follow the source; an overwritten
    // target keeps its own hidden and system bits as well.
    timespec times[2];
    times[0].tv_nsec = UTIME_NOW;
    times[0].tv_sec = 0;
    times[1] = sourceStat.st_mtim;
    futimens(target.get(), times);
    winsim::StoreAttributesOfHost(to.host, sourceStored | targetStored);
    // Programs of the machine are host executables: a copy stays runnable.
    struct stat targetStat {};
    if (fstat(target.get(), &targetStat) == 0) {
      mode_t mode = (targetStat.st_mode & 07777) | (sourceStat.st_mode & 0111);
      if (!(sourceStat.st_mode & S_IWUSR)) mode &= 07555;
      fchmod(target.get(), mode);
    }
  } else if (!to.exists) {
    unlink(to.host.c_str());
  }
  return error;
}

}  // namespace

extern "C" BOOL WINAPI CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists) {
  winsim::ResolvedPath from, to;
  if (!winsim::files::ResolveArgument(lpExistingFileName, winsim::kKeepTrailingSlash, &from)) return FALSE;
  DWORD error = from.exists ? 0 : winsim::files::MissingError(from);
  if (!error && !winsim::files::ResolveArgument(lpNewFileName, winsim::kKeepTrailingSlash, &to)) return FALSE;
  if (!error) error = CheckCopy(from, to, bFailIfExists);
  if (!error) error = DoCopy(from, to);
  if (error) {
    SetLastError(error);
    return FALSE;
  }
  return TRUE;
}
