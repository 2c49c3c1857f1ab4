#include "host_file_info.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace winsim::files {
namespace {

timespec FromStatx(const statx_timestamp& t) {
  timespec out{};
  out.tv_sec = t.tv_sec;
  out.tv_nsec = t.tv_nsec;
  return out;
}

bool Fill(const struct statx& sx, HostFileInfo* info) {
  info->isDirectory = S_ISDIR(sx.stx_mode);
  info->mode = sx.stx_mode;
  info->size = sx.stx_size;
  info->dev = makedev(sx.stx_dev_major, sx.stx_dev_minor);
  info->ino = sx.stx_ino;
  info->accessed = FromStatx(sx.stx_atime);
  info->modified = FromStatx(sx.stx_mtime);
  info->created = (sx.stx_mask & STATX_BTIME) ? FromStatx(sx.stx_btime) : info->modified;
  return true;
}

}  // namespace

bool QueryHostFile(const std::string& hostPath, HostFileInfo* info) { return StatHostPath(hostPath, info); }

bool QueryHostFd(int fd, HostFileInfo* info) {
  struct statx sx {};
  if (statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) return false;
  return Fill(sx, info);
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
