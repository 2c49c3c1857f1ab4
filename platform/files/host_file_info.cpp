#include "host_file_info.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace winsim::files {

bool QueryHostFile(const std::string& hostPath, HostFileInfo* info) { return StatHostPath(hostPath, info); }

bool QueryHostFd(int fd, HostFileInfo* info) { return StatHostFd(fd, info); }

bool HostFdSize(int fd, uint64_t* size) {
  struct statx sx {};
  if (statx(fd, "", AT_EMPTY_PATH | AT_STATX_SYNC_AS_STAT, STATX_SIZE, &sx) != 0) return false;
  *size = sx.stx_size;
  return true;
}

bool QueryResolvedFile(const ResolvedPath& path, HostFileInfo* info) {
  if (path.hostStatValid) {
    *info = path.hostStat;
    return true;
  }
  return QueryHostFile(path.host, info);
}

FILETIME ToFileTime(const timespec& t) {
  constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;
  int64_t ticks = (static_cast<int64_t>(t.tv_sec) + kSecondsFrom1601To1970) * 10000000LL + t.tv_nsec / 100;
  if (ticks < 0) ticks = 0;
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
  ft.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
  return ft;
}

}  // namespace winsim::files
