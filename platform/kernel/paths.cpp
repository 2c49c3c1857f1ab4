// Resolution of Windows paths to the host files of the machine.
#include "winsim/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "kept_folders.h"
#include "windows.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"

namespace winsim {

bool HasWildcards(std::u16string_view name) { return name.find_first_of(u"*?") != std::u16string_view::npos; }

namespace {

constexpr size_t kMaxComponent = 255;

bool IsSlash(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

char16_t UpperDrive(char16_t c) { return c >= u'a' ? static_cast<char16_t>(c - 0x20) : c; }

bool InvalidNameChar(char16_t c, bool allowWildcards) {
  if (c < 0x20) return true;
  switch (c) {
    case u'<': case u'>': case u':': case u'"': case u'|':
      return true;
    case u'*': case u'?':
      return !allowWildcards;
    default:
      return false;
  }
}

// The components of `rest`, as views into it.
std::vector<std::u16string_view> SplitComponents(std::u16string_view rest) {
  std::vector<std::u16string_view> parts;
  parts.reserve(8);
  size_t start = 0;
  for (size_t i = 0; i <= rest.size(); ++i) {
    if (i < rest.size() && !IsSlash(rest[i])) continue;
    if (i > start) parts.push_back(rest.substr(start, i - start));
    start = i + 1;
  }
  return parts;
}

bool IsAscii(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Windows' case folding restricted to ASCII (as UpcaseChar folds it).
bool EqualsAsciiNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 0x20) : a[i];
    char y = b[i] >= 'a' && b[i] <= 'z' ? static_cast<char>(b[i] - 0x20) : b[i];
    if (x != y) return false;
  }
  return true;
}

// Finds the entry of a host folder whose name matches case-insensitively;
// an exact match wins. Returns the stored name or an empty string.
std::string FindEntry(const std::string& dir, std::u16string_view name) {
  std::string utf8 = Utf16ToUtf8(name);
  std::string probe = (dir == "/" ? "" : dir) + "/" + utf8;
  struct stat st {};
  if (lstat(probe.c_str(), &st) == 0) return utf8;
  // A search pattern names no entry a program of the machine can make
  // ('*' and '?' are not allowed in names): it is not looked for in other
  // spellings, which would read the whole folder.
  if (HasWildcards(name)) return {};
  DIR* d = opendir(dir.empty() ? "/" : dir.c_str());
  if (!d) return {};
  // An ASCII name can only match an ASCII entry (no other character folds
  // to ASCII), and those are compared without converting them.
  const bool asciiName = IsAscii(utf8);
  std::string found;
  while (dirent* e = readdir(d)) {
    std::string n = e->d_name;
    if (n == "." || n == "..") continue;
    if (asciiName) {
      if (IsAscii(n) && EqualsAsciiNoCase(n, utf8)) {
        found = n;
        break;
      }
      continue;
    }
    if (EqualsNoCase(Utf8ToUtf16(n), name)) {
      found = n;
      break;
    }
  }
  closedir(d);
  return found;
}

std::string JoinHost(const std::string& dir, const std::string& name) {
  if (dir == "/") return "/" + name;
  return dir + "/" + name;
}

bool StatHostAt(int dirfd, const char* path, int flags, HostStat* out);

// Looks at an existing host path once, keeping what a caller needs.
bool StatHost(const std::string& host, ResolvedPath* r) {
  const HostPathAt at(host);
  r->hostStatValid = StatHostAt(at.Dir(), at.Name(), 0, &r->hostStat);
  return r->hostStatValid;
}

// Most paths name something that exists in the spelling given, or a new
// entry of a folder that does. One stat of the whole path settles the first
// exactly as the component walk would (each component found as given, every
// folder a folder); one stat of its folder leaves the walk only the last
// component. True when `r` is complete; otherwise `host` and `walked` tell
// the walk where to go on.
bool FastResolve(const std::vector<std::u16string_view>& parts, std::string* host, size_t* walked, ResolvedPath* r) {
  std::string whole = *host == "/" ? std::string() : *host;
  whole.reserve(whole.size() + 16 * parts.size());
  size_t folderSize = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    folderSize = whole.size();
    whole += '/';
    AppendUtf8(whole, parts[i]);
  }
  if (StatHost(whole, r)) {
    r->host = std::move(whole);
    r->exists = r->parentExists = true;
    r->isDirectory = r->hostStat.isDirectory;
    return true;
  }
  std::string folder = folderSize ? whole.substr(0, folderSize) : std::string("/");
  struct stat st {};
  if (parts.size() > 1 && !(stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) return false;
  *host = folder;
  *walked = parts.size() - 1;
  return false;
}

std::mutex g_cwdMutex;
std::u16string* g_cwd = nullptr;

std::u16string InitialCurrentDirectory() {
  // A process started through CreateProcessA gets the Windows spelling of
  // its current directory from its parent; WINSIM_PID guards against the
  // variables being inherited by a process started some other way.
  const char* pid = std::getenv("WINSIM_PID");
  const char* cwd = std::getenv("WINSIM_CWD");
  if (pid && cwd && *cwd && std::atol(pid) == static_cast<long>(getpid())) return ToUtf16(cwd, ActiveCodePage());
  char buf[PATH_MAX];
  if (getcwd(buf, sizeof buf)) return HostToWindows(buf);
  return u"C:\\";
}

std::string LexicallyNormal(const std::string& path) {
  std::vector<std::string> parts;
  size_t i = 0;
  while (i < path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string::npos) j = path.size();
    std::string p = path.substr(i, j - i);
    if (p == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!p.empty() && p != ".") {
      parts.push_back(p);
    }
    i = j + 1;
  }
  std::string out;
  for (const auto& p : parts) out += "/" + p;
  return out.empty() ? "/" : out;
}

std::string RealOrLexical(const std::string& path) {
  char buf[PATH_MAX];
  if (realpath(path.c_str(), buf)) return buf;
  return LexicallyNormal(path);
}

}  // namespace

namespace {

// `admin`: the machine's admin setting when the caller has read it
// already (-1 when not), so that one call looks at machine.conf once.
ResolvedPath ResolveWithAdmin(std::u16string_view input, unsigned flags, signed char admin) {
  ResolvedPath r;
  if (input.empty()) {
    r.error = ERROR_PATH_NOT_FOUND;
    return r;
  }
  if (input.size() >= MAX_PATH) {
    r.error = ERROR_FILENAME_EXCED_RANGE;
    return r;
  }
  std::u16string path(input);
  for (auto& c : path) if (c == u'/') c = u'\\';
  if (path.rfind(u"\\\\?\\", 0) == 0) path = path.substr(4);
  if (path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\') {
    r.error = ERROR_BAD_NETPATH;
    return r;
  }
  r.trailingSlash = path.size() > 0 && path.back() == u'\\';

  // Make the path absolute: "X:\...", "X:rel", "\rooted", "relative".
  std::u16string drive;
  std::u16string rest;
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == u':') {
    drive = path.substr(0, 2);
    rest = path.substr(2);
    if (rest.empty() || rest[0] != u'\\') {
      std::u16string cwd = CurrentDirectory();
      if (cwd.size() >= 2 && UpperDrive(cwd[0]) == UpperDrive(drive[0])) {
        rest = cwd.substr(2) + u"\\" + rest;
      } else {
        rest = u"\\" + rest;
      }
    }
  } else {
    std::u16string cwd = CurrentDirectory();
    drive = cwd.substr(0, 2);
    rest = path[0] == u'\\' ? path : cwd.substr(2) + u"\\" + path;
  }

  // Views into `rest` (or names of fixed folders, for WOW64).
  std::vector<std::u16string_view> parts;
  parts.reserve(8);
  for (auto p : SplitComponents(rest)) {
    if (p == u".") continue;
    if (p == u"..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(p);
  }
  // Windows drops trailing dots and blanks of the last component.
  if (!parts.empty()) {
    auto& last = parts.back();
    while (!last.empty() && (last.back() == u'.' || last.back() == u' ')) last.remove_suffix(1);
    if (last.empty()) parts.pop_back();
  }
  for (size_t i = 0; i < parts.size(); ++i) {
    const bool isLast = i + 1 == parts.size();
    if (parts[i].size() > kMaxComponent) {
      r.error = ERROR_FILENAME_EXCED_RANGE;
      return r;
    }
    for (char16_t c : parts[i]) {
      if (InvalidNameChar(c, isLast && (flags & kAllowWildcards))) {
        r.error = ERROR_INVALID_NAME;
        return r;
      }
    }
  }

  r.full = drive + u"\\";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) r.full += u'\\';
    r.full += parts[i];
  }
  if ((flags & kKeepTrailingSlash) && r.trailingSlash && !parts.empty()) r.full += u"\\";
  r.isDriveRoot = parts.empty();

  char16_t letter = UpperDrive(drive[0]);
  std::string host;
  if (letter == u'C') {
    host = DriveCRoot();
    r.isProtected = !parts.empty() && (EqualsNoCase(parts[0], u"Windows") || EqualsNoCase(parts[0], u"Program Files") ||
                                       EqualsNoCase(parts[0], u"Program Files (x86)") ||
                                       EqualsNoCase(parts[0], u"ProgramData"));
    if (r.isProtected) r.userIsAdmin = admin >= 0 ? admin : (ConfigNumbers().admin ? 1 : 0);
    // WOW64: a 32-bit program sees SysWOW64 as System32, and Sysnative as
    // the real System32.
    if (!(flags & kNoRedirection) && parts.size() >= 2 && EqualsNoCase(parts[0], u"Windows") && IsWow64()) {
      if (EqualsNoCase(parts[1], u"System32")) parts[1] = u"SysWOW64";
      else if (EqualsNoCase(parts[1], u"Sysnative")) parts[1] = u"System32";
    }
  } else if (letter == u'Z') {
    host = "/";
  } else {
    r.error = ERROR_PATH_NOT_FOUND;
    return r;
  }

  bool allFound = true;
  bool parentIsDir = true;
  struct stat st {};
  size_t walked = 0;
  if (parts.size() > 0 && FastResolve(parts, &host, &walked, &r)) return r;
  for (size_t i = walked; i < parts.size(); ++i) {
    const bool isLast = i + 1 == parts.size();
    std::string stored;
    if (allFound && parentIsDir) stored = FindEntry(host, parts[i]);
    if (stored.empty()) {
      stored = Utf16ToUtf8(parts[i]);
      if (!isLast) allFound = false;
      host = JoinHost(host, stored);
      if (isLast) {
        r.parentExists = allFound && parentIsDir;
        r.exists = false;
      }
      continue;
    }
    host = JoinHost(host, stored);
    bool isDir = isLast ? StatHost(host, &r) && r.hostStat.isDirectory
                        : stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    if (isLast) {
      r.parentExists = allFound && parentIsDir;
      r.exists = r.parentExists;
      r.isDirectory = r.exists && isDir;
    } else {
      parentIsDir = parentIsDir && isDir;
    }
  }
  if (parts.empty()) {
    r.exists = stat(host.c_str(), &st) == 0;
    r.isDirectory = r.exists;
    r.parentExists = r.exists;
  }
  r.host = host;
  return r;
}

}  // namespace

ResolvedPath ResolvePath(std::u16string_view input, unsigned flags) { return ResolveWithAdmin(input, flags, -1); }

ResolvedPath ResolvePathA(const char* path, unsigned flags) {
  if (!path) {
    ResolvedPath r;
    r.error = ERROR_PATH_NOT_FOUND;
    return r;
  }
  const AnsiPathSettings settings = CurrentAnsiPathSettings();
  return ResolvePathWith(ToUtf16(path, settings.codepage), flags, settings);
}

AnsiPathSettings CurrentAnsiPathSettings() {
  // The code page and the admin setting in one look at the settings.
  const MachineNumbers config = ConfigNumbers();
  AnsiPathSettings settings;
  settings.codepage = CodePageSupported(config.codepage) ? config.codepage : ActiveCodePage();
  settings.admin = config.admin;
  return settings;
}

ResolvedPath ResolvePathWith(std::u16string_view path, unsigned flags, const AnsiPathSettings& settings) {
  return ResolveWithAdmin(path, flags, settings.admin ? 1 : 0);
}

std::u16string HostToWindows(const std::string& hostPathIn) {
  std::string hostPath = hostPathIn;
  if (hostPath.empty() || hostPath[0] != '/') {
    char buf[PATH_MAX];
    std::string cwd = getcwd(buf, sizeof buf) ? buf : "/";
    hostPath = cwd + "/" + hostPath;
  }
  std::string real = RealOrLexical(hostPath);
  std::string driveC = RealOrLexical(DriveCRoot());
  std::u16string out;
  std::string rest;
  if (real == driveC || real.rfind(driveC + "/", 0) == 0) {
    out = u"C:";
    rest = real.substr(driveC.size());
  } else {
    out = u"Z:";
    rest = real == "/" ? "" : real;
  }
  for (auto c : Utf8ToUtf16(rest)) out.push_back(c == u'/' ? u'\\' : c);
  if (out.size() == 2) out += u"\\";
  return out;
}

bool DenyWriteForUser(const ResolvedPath& path) {
  if (path.isProtected && !(path.userIsAdmin >= 0 ? path.userIsAdmin == 1 : ConfigNumbers().admin)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return true;
  }
  return false;
}

std::u16string CurrentDirectory() {
  std::lock_guard<std::mutex> lock(g_cwdMutex);
  if (!g_cwd) g_cwd = new std::u16string(InitialCurrentDirectory());
  return *g_cwd;
}

DWORD SetCurrentDirectoryPath(std::u16string_view path) {
  ResolvedPath r = ResolvePath(path);
  if (r.error) return r.error;
  if (!r.exists) return r.parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
  if (!r.isDirectory) return ERROR_DIRECTORY;
  if (chdir(r.host.c_str()) != 0) return ErrnoToWin32(errno);
  std::lock_guard<std::mutex> lock(g_cwdMutex);
  if (!g_cwd) g_cwd = new std::u16string;
  *g_cwd = r.full;
  return 0;
}

std::u16string WindowsDirectory() { return u"C:\\Windows"; }
std::u16string SystemDirectory() { return u"C:\\Windows\\System32"; }
std::u16string ProgramFilesDirectory() { return IsWow64() ? u"C:\\Program Files (x86)" : u"C:\\Program Files"; }

namespace {
timespec FromStatx(const statx_timestamp& t) {
  timespec out{};
  out.tv_sec = t.tv_sec;
  out.tv_nsec = t.tv_nsec;
  return out;
}

bool StatHostAt(int dirfd, const char* path, int flags, HostStat* out) {
  struct statx sx {};
  if (statx(dirfd, path, flags, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) return false;
  out->isDirectory = S_ISDIR(sx.stx_mode);
  out->mode = sx.stx_mode;
  out->size = sx.stx_size;
  out->dev = makedev(sx.stx_dev_major, sx.stx_dev_minor);
  out->ino = sx.stx_ino;
  out->accessed = FromStatx(sx.stx_atime);
  out->modified = FromStatx(sx.stx_mtime);
  out->created = (sx.stx_mask & STATX_BTIME) ? FromStatx(sx.stx_btime) : out->modified;
  return true;
}
}  // namespace

bool StatHostPath(const std::string& hostPath, HostStat* out) { return StatHostAt(AT_FDCWD, hostPath.c_str(), 0, out); }

bool StatHostFd(int fd, HostStat* out) { return StatHostAt(fd, "", AT_EMPTY_PATH, out); }

DWORD ErrnoToWin32(int err) {
  switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOSPC: return ERROR_DISK_FULL;
    case EROFS: return ERROR_WRITE_PROTECT;
    case EBUSY: return ERROR_SHARING_VIOLATION;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    case ELOOP: return ERROR_CANT_RESOLVE_FILENAME;
    default: return ERROR_GEN_FAILURE;
  }
}

}  // namespace winsim
