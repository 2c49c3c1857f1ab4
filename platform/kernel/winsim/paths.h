// Windows paths of the machine and the host paths behind them.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "windef.h"

namespace winsim {

enum ResolveFlags : unsigned {
  kResolveNone = 0,
  kAllowWildcards = 1,    // '*' and '?' allowed in the last component
  kKeepTrailingSlash = 2, // a trailing '\' is kept in `full` (for error rules)
  kNoRedirection = 4,     // no WOW64 file system redirection
};

// What the layer needs to know of a host file: one statx call, with the
// birth time where the host file system keeps one.
struct HostStat {
  bool isDirectory = false;
  mode_t mode = 0;
  uint64_t size = 0;
  dev_t dev = 0;
  ino_t ino = 0;
  timespec accessed{};
  timespec modified{};
  timespec created{};  // birth time, or the modification time when unknown
};

struct ResolvedPath {
  DWORD error = 0;          // non-zero: malformed path (ERROR_INVALID_NAME, ...)
  std::u16string full;      // full Windows path, "." and ".." applied, case as given
  std::string host;         // host path; existing components in their stored case
  bool exists = false;      // something exists at `host`
  bool isDirectory = false; // ... and it is a folder
  bool parentExists = false;// the folder that would hold it exists
  bool trailingSlash = false;// the given path ended in '\' or '/'
  bool isProtected = false; // under C:\Windows, Program Files, Program Files (x86), ProgramData
  bool isDriveRoot = false; // "C:\" or "Z:\"
  // What the resolver learnt of `host` when it exists, so that the caller
  // need not look again (one statx, links followed, with the birth time).
  bool hostStatValid = false;
  HostStat hostStat;
  // The machine's admin setting as read while resolving a protected path
  // (-1: not read), so that one call looks at machine.conf once.
  signed char userIsAdmin = -1;
};

// True when a name holds '*' or '?': a search pattern, never a name.
bool HasWildcards(std::u16string_view name);

// Resolves a Windows path (relative ones against the current directory).
ResolvedPath ResolvePath(std::u16string_view path, unsigned flags = kResolveNone);
// The same for a path in the machine's ANSI code page.
ResolvedPath ResolvePathA(const char* path, unsigned flags = kResolveNone);

// What resolving an ANSI path needs of the machine's settings, read in one
// look at machine.conf: for a caller that looks at the converted name
// itself before resolving it.
struct AnsiPathSettings {
  unsigned codepage = 0;  // a supported code page
  bool admin = false;
};
AnsiPathSettings CurrentAnsiPathSettings();
// Resolves a path converted from ANSI with `settings`, as ResolvePathA
// would resolve the ANSI path.
ResolvedPath ResolvePathWith(std::u16string_view path, unsigned flags, const AnsiPathSettings& settings);

// The Windows path under which a host path is seen: inside the machine's
// drive_c it is a C: path, anywhere else a Z: path.
std::u16string HostToWindows(const std::string& hostPath);

// True (and last error ERROR_ACCESS_DENIED) when the machine's user may not
// change what is at this path: the standard-user rule of machine.conf.
bool DenyWriteForUser(const ResolvedPath& path);

// The process's current directory, as Windows reports it (spelling as it
// was set, no trailing backslash except at a drive root).
std::u16string CurrentDirectory();
// Sets it; fails with the Windows error code when the folder is missing.
DWORD SetCurrentDirectoryPath(std::u16string_view path);

// Fixed folders of the machine.
std::u16string WindowsDirectory();      // C:\Windows
std::u16string SystemDirectory();       // C:\Windows\System32
std::u16string ProgramFilesDirectory(); // C:\Program Files, or (x86) under WOW64

// Looks at a host path (links followed); false (errno set) when nothing
// is there.
bool StatHostPath(const std::string& hostPath, HostStat* out);
// The same for an open host descriptor.
bool StatHostFd(int fd, HostStat* out);

// Maps an errno value of a host call to a Windows error code.
DWORD ErrnoToWin32(int err);

}  // namespace winsim
