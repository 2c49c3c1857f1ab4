// _stat64i32 on Windows paths, with the Windows C runtime's quirks: a
// trailing backslash (except at a root), a bare drive ("C:"), an empty
// name and wildcards all fail with ENOENT; files report 0100666 (0100444
// when read-only, with the execute bits for .exe, .com, .bat and .cmd) and
// folders 040777.
// No <sys/stat.h> here: its st_*time macros would rename the members of
// the runtime's structure.
#include <cerrno>
#include <cstring>

#include "crt_errno.h"
#include "crt_msvc.h"
#include "host_file_info.h"
#include "path_argument.h"
#include "windows.h"
#include "winsim/codepage.h"
#include "winsim/file_attributes.h"

namespace {

bool IsSlash(char16_t c) { return c == u'\\' || c == u'/'; }

// Whether the C runtime refuses the name before looking at the disk.
bool RefusedName(const std::u16string& name) {
  if (name.empty() || name.find_first_of(u"*?") != std::u16string::npos) return true;
  const bool hasDrive = name.size() >= 2 && name[1] == u':';
  if (hasDrive && name.size() == 2) return true;  // "C:"
  if (IsSlash(name.back())) {
    // Only a root may end in a backslash: "\", "C:\".
    const bool isRoot = name.size() == 1 || (hasDrive && name.size() == 3);
    return !isRoot;
  }
  return false;
}

bool IsExecutableName(const std::u16string& name) {
  size_t dot = name.find_last_of(u'.');
  if (dot == std::u16string::npos) return false;
  std::u16string ext = winsim::Upcase(name.substr(dot));
  return ext == u".EXE" || ext == u".COM" || ext == u".BAT" || ext == u".CMD";
}

unsigned short DriveNumber(const std::u16string& full) {
  char16_t letter = winsim::UpcaseChar(full.empty() ? u'C' : full[0]);
  return letter >= u'A' && letter <= u'Z' ? static_cast<unsigned short>(letter - u'A') : 0;
}

int Fail(int err) {
  errno = err;
  return -1;
}

}  // namespace

extern "C" int _stat64i32(const char* path, struct _stat64i32* buffer) {
  if (!path || !buffer) return Fail(EINVAL);
  // One look at the settings for the name check and the resolving.
  const winsim::AnsiPathSettings settings = winsim::CurrentAnsiPathSettings();
  const std::u16string name = winsim::ToUtf16(path, settings.codepage);
  if (RefusedName(name)) return Fail(ENOENT);
  winsim::ResolvedPath resolved;
  if (!winsim::files::ResolveConvertedArgument(name, 0, settings, &resolved))
    return Fail(winsim::files::CrtErrnoFromWin32(GetLastError()));
  winsim::files::HostFileInfo info;
  if (!resolved.exists || !winsim::files::QueryResolvedFile(resolved, &info)) return Fail(ENOENT);
  if (!info.isDirectory && info.size > 0x7FFFFFFF) return Fail(EOVERFLOW);

  std::memset(buffer, 0, sizeof *buffer);
  unsigned short mode;
  if (info.isDirectory) {
    mode = _S_IFDIR | 0777;
  } else {
    // Read, write and execute for the owner, repeated for group and others.
    unsigned short owner = _S_IREAD;
    if (!winsim::IsReadOnlyMode(info.mode)) owner |= _S_IWRITE;
    if (IsExecutableName(resolved.full)) owner |= _S_IEXEC;
    mode = static_cast<unsigned short>(_S_IFREG | owner | (owner >> 3) | (owner >> 6));
  }
  buffer->st_mode = mode;
  buffer->st_dev = buffer->st_rdev = DriveNumber(resolved.full);
  buffer->st_nlink = 1;
  buffer->st_size = info.isDirectory ? 0 : static_cast<long>(info.size);
  buffer->st_atime = info.accessed.tv_sec;
  buffer->st_mtime = info.modified.tv_sec;
  buffer->st_ctime = info.created.tv_sec;
  return 0;
}
