#include "winsim/machine.h"

#include "config_watch.h"

#include <fcntl.h>
#include <pthread.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <vector>

namespace winsim {
namespace {

std::mutex g_mutex;

// Looked up once: getpwuid is not safe to call from several threads.
std::string HostUserName() {
  static const std::string name = [] {
    if (const char* u = std::getenv("USER"); u && *u) return std::string(u);
    if (passwd* pw = getpwuid(getuid()); pw && pw->pw_name) return std::string(pw->pw_name);
    return std::string("user");
  }();
  return name;
}

std::string HomeDir() {
  static const std::string home = [] {
    if (const char* h = std::getenv("HOME"); h && *h) return std::string(h);
    if (passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return std::string(pw->pw_dir);
    return std::string("/tmp");
  }();
  return home;
}

std::string StripTrailingSlashes(std::string p) {
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

// Programs of the machine are linked with rename() routed to the C-runtime
// wrapper, which takes Windows paths; host paths are renamed with renameat.
int HostRename(const std::string& from, const std::string& to) {
  return renameat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str());
}

std::string ReadWholeFile(const std::string& path, bool* ok) {
  *ok = false;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::string data;
  char buf[4096];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    data.append(buf, static_cast<size_t>(n));
  }
  close(fd);
  *ok = true;
  return data;
}

// Writes a file in one step: a temporary file renamed over (or linked to,
// when the target must not be replaced) the target.
bool WriteFileAtomically(const std::string& path, const std::string& data, bool replace) {
  std::string tmp = path + ".tmp." + std::to_string(getpid());
  int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = write(fd, data.data(), data.size()) == static_cast<ssize_t>(data.size());
  ok = (close(fd) == 0) && ok;
  if (ok) ok = replace ? HostRename(tmp, path) == 0 : (link(tmp.c_str(), path.c_str()) == 0 || errno == EEXIST);
  unlink(tmp.c_str());
  return ok;
}

bool MakeDir(const std::string& path) { return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST; }

bool MakeDirs(const std::string& path) {
  for (size_t pos = 1; pos <= path.size(); ++pos) {
    if (pos == path.size() || path[pos] == '/') {
      if (!MakeDir(path.substr(0, pos))) return false;
    }
  }
  return true;
}

std::string DefaultConfigText() {
  std::ostringstream out;
  out << "codepage=949\n"
      << "arch=x64\n"
      << "dpi=96\n"
      << "user=" << HostUserName() << "\n"
      << "admin=1\n"
      << "shutdown_privilege=1\n";
  return out.str();
}

std::map<std::string, std::string> ParseConfig(const std::string& text) {
  std::map<std::string, std::string> values;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t eq = line.find('=');
    if (line.empty() || line[0] == '#' || eq == std::string::npos) continue;
    values[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return values;
}

bool ParseInt(const std::string& s, long* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(s.c_str(), &end, 10);
  if (errno || *end) return false;
  *out = v;
  return true;
}

MachineConfig ConfigFromValues(const std::map<std::string, std::string>& values) {
  MachineConfig c;
  c.user = HostUserName();
  long n = 0;
  if (auto it = values.find("codepage"); it != values.end() && ParseInt(it->second, &n) && n > 0) c.codepage = static_cast<unsigned>(n);
  if (auto it = values.find("arch"); it != values.end() && (it->second == "x64" || it->second == "x86")) c.arch = it->second;
  if (auto it = values.find("dpi"); it != values.end() && ParseInt(it->second, &n) && n > 0 && n < 10000) c.dpi = static_cast<int>(n);
  if (auto it = values.find("user"); it != values.end() && !it->second.empty()) c.user = it->second;
  if (auto it = values.find("admin"); it != values.end()) c.admin = it->second != "0";
  if (auto it = values.find("shutdown_privilege"); it != values.end()) c.shutdownPrivilege = it->second != "0";
  return c;
}

struct ConfigCache {
  std::string root;
  struct timespec mtime {};
  off_t size = -1;
  ino_t inode = 0;
  std::map<std::string, std::string> values;
  MachineConfig config;  // made from `values` when they are read
  bool valid = false;
};

ConfigCache& Cache() {
  static ConfigCache* cache = new ConfigCache;
  return *cache;
}

constexpr unsigned kLooksBeforeWatching = 64;

ConfigWatch& Watch() {
  static ConfigWatch* watch = [] {
    // A forked child shares the parent's watch queue: it must not read it.
    pthread_atfork(nullptr, nullptr, [] { Watch().Drop(); });
    return new ConfigWatch;
  }();
  return *watch;
}

// The answer of MachineRoot for the last absolute setting, which most
// calls ask again (guarded by g_mutex).
struct LastRoot {
  std::string env;
  std::string root;
};

LastRoot& Last() {
  static LastRoot* last = new LastRoot;
  return *last;
}

// The cache, brought up to date with machine.conf; `read` runs with the
// lock held. While the watch on the machine folder has seen nothing happen
// to machine.conf, the cache stands without looking at the file; otherwise
// the file is read again (without a watch, when a stat shows a change).
template <typename Read>
auto WithCurrentConfig(Read read) {
  // The machine folder as MachineRoot gives it; for the setting it gave
  // last, without copying it (the lock keeps it as it is).
  const char* env = std::getenv("WINSIM_MACHINE");
  std::unique_lock<std::mutex> lock(g_mutex);
  std::string asked;
  const std::string* known = nullptr;
  if (env && env[0] == '/' && !Last().root.empty() && Last().env == env) {
    known = &Last().root;
  } else {
    lock.unlock();
    asked = MachineRoot();
    lock.lock();
  }
  const std::string& root = known ? *known : asked;
  ConfigCache& c = Cache();
  ConfigWatch& watch = Watch();
  const bool sameRoot = c.valid && c.root == root;
  if (sameRoot && watch.Folder() == root && watch.Armed() && !watch.SawChange()) return read(c);
  // Armed before the file is looked at, so a change made from here on is
  // seen by the next call. Only a process that keeps asking gets a watch:
  // a short one does with a few stats and holds no descriptor beyond what
  // it opened itself.
  static unsigned statLooks = 0;
  if (watch.Folder() != root && ++statLooks > kLooksBeforeWatching) watch.Arm(root);
  const std::string path = root + "/machine.conf";
  struct stat st {};
  bool present = stat(path.c_str(), &st) == 0;
  // Without a watch the file's identity, size and time are all there is to
  // go by; a watch that saw machine.conf touched is believed, as an edit in
  // place can keep all three.
  if (sameRoot && !watch.Armed() && present && c.size == st.st_size && c.inode == st.st_ino &&
      c.mtime.tv_sec == st.st_mtim.tv_sec && c.mtime.tv_nsec == st.st_mtim.tv_nsec) {
    return read(c);
  }
  bool ok = false;
  std::string text = present ? ReadWholeFile(path, &ok) : std::string();
  c.root = root;
  c.values = ParseConfig(text);
  c.config = ConfigFromValues(c.values);
  c.valid = present && ok;
  if (c.valid) {
    c.mtime = st.st_mtim;
    c.size = st.st_size;
    c.inode = st.st_ino;
  }
  return read(c);
}

std::map<std::string, std::string> CurrentValues() {
  return WithCurrentConfig([](const ConfigCache& c) { return c.values; });
}

std::string SelfDir() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  std::string p(buf, static_cast<size_t>(n));
  size_t slash = p.rfind('/');
  return slash == std::string::npos ? std::string() : p.substr(0, slash);
}

bool CopyHostFile(const std::string& from, const std::string& to) {
  bool ok = false;
  std::string data = ReadWholeFile(from, &ok);
  if (!ok) return false;
  std::string tmp = to + ".tmp." + std::to_string(getpid());
  int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0755);
  if (fd < 0) return false;
  ok = write(fd, data.data(), data.size()) == static_cast<ssize_t>(data.size());
  ok = (close(fd) == 0) && ok;
  if (ok) ok = HostRename(tmp, to) == 0;
  if (!ok) unlink(tmp.c_str());
  return ok;
}

// The stand-in system programs come from the build's bin/ folder (or the
// folder of the running program) and are laid into System32; their 32-bit
// builds, from wow64/ beside them, into SysWOW64, so that a 32-bit program
// on a 64-bit machine starts 32-bit system programs as on Windows. (Where a
// 32-bit build is missing, SysWOW64 gets the native one.)
void LayStandInPrograms(const std::string& root) {
  static const char* const kPrograms[] = {"regsvr32.exe", "netsh.exe", "reg.exe"};
  std::vector<std::string> dirs;
#ifdef WINSIM_TOOLS_DIR
  dirs.push_back(WINSIM_TOOLS_DIR);
#endif
  dirs.push_back(SelfDir());
  for (const char* sub : {"/drive_c/Windows/System32/", "/drive_c/Windows/SysWOW64/"}) {
    const bool wow64 = std::strstr(sub, "SysWOW64") != nullptr;
    std::vector<std::string> sources;
    for (const auto& dir : dirs) {
      if (dir.empty()) continue;
      if (wow64) sources.push_back(dir + "/wow64");
      sources.push_back(dir);
    }
    for (const char* program : kPrograms) {
      std::string target = root + sub + program;
      if (access(target.c_str(), F_OK) == 0) continue;
      for (const auto& dir : sources) {
        std::string from = dir + "/" + program;
        if (access(from.c_str(), X_OK) != 0) continue;
        // A hard link where the file systems allow it: every test machine
        // would otherwise hold copies of several megabytes each.
        if (link(from.c_str(), target.c_str()) == 0 || CopyHostFile(from, target)) break;
      }
    }
  }
}

}  // namespace

std::string MachineRoot() {
  const char* env = std::getenv("WINSIM_MACHINE");
  // The answer for the last absolute setting, which most calls ask again:
  // no folder to make sure of, no string to build twice.
  LastRoot* last = &Last();
  const bool absolute = env && env[0] == '/';
  if (absolute) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!last->root.empty() && last->env == env) return last->root;
  }
  std::string root;
  if (env && *env) {
    root = env;
    if (root[0] != '/') {
      char cwd[4096];
      if (getcwd(cwd, sizeof cwd)) root = std::string(cwd) + "/" + root;
    }
  } else {
    root = HomeDir() + "/.winsim";
  }
  root = StripTrailingSlashes(root);

  static std::set<std::string>* ensured = new std::set<std::string>;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (ensured->count(root)) {
      if (absolute) *last = {env, root};
      return root;
    }
  }
  std::string error;
  if (InitMachine(root, &error)) {
    std::lock_guard<std::mutex> lock(g_mutex);
    ensured->insert(root);
    if (absolute) *last = {env, root};
  }
  return root;
}

namespace {

// The win.ini every Windows installation starts with.
constexpr char kWinIni[] =
    "; for 16-bit app support\r\n[fonts]\r\n[extensions]\r\n[mci extensions]\r\n[files]\r\n[Mail]\r\nMAPI=1\r\n";

// Holds the machine folder's layout lock, so that programs starting at once
// on a new folder lay it out once between them.
class LayoutLock {
 public:
  explicit LayoutLock(const std::string& root) {
    MakeDir(root + "/run");
    fd_ = open((root + "/run/.layout.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
    }
  }
  ~LayoutLock() {
    if (fd_ >= 0) close(fd_);
  }
  LayoutLock(const LayoutLock&) = delete;
  LayoutLock& operator=(const LayoutLock&) = delete;

 private:
  int fd_ = -1;
};

bool LayOut(const std::string& root, std::string* error) {
  MachineConfig config = ConfigFromValues({});
  const std::string c = root + "/drive_c";
  const std::string profile = c + "/Users/" + config.user;
  const std::vector<std::string> folders = {
      c,
      c + "/Windows",
      c + "/Windows/System32",
      c + "/Windows/SysWOW64",
      c + "/Windows/Temp",
      c + "/Program Files",
      c + "/Program Files (x86)",
      c + "/ProgramData",
      c + "/Users",
      profile,
      profile + "/AppData",
      profile + "/AppData/Roaming",
      profile + "/AppData/Local",
      profile + "/AppData/Local/Temp",
      root + "/journal",
      root + "/desktop",
      root + "/run",
  };
  for (const auto& f : folders) {
    if (!MakeDir(f)) {
      if (error) *error = f + ": " + std::strerror(errno);
      return false;
    }
  }
  const std::string winIni = c + "/Windows/win.ini";
  if (!WriteFileAtomically(winIni, kWinIni, false)) {
    if (error) *error = winIni + ": " + std::strerror(errno);
    return false;
  }
  LayStandInPrograms(root);
  return true;
}

}  // namespace

// A folder with a machine.conf holds a machine, which is never laid out
// again: what its programs or people deleted stays deleted. machine.conf is
// written last, so a layout cut short is done again by the next start.
bool InitMachine(const std::string& rootIn, std::string* error) {
  std::string root = StripTrailingSlashes(rootIn);
  const std::string conf = root + "/machine.conf";
  if (access(conf.c_str(), F_OK) == 0) return true;
  if (!MakeDirs(root)) {
    if (error) *error = root + ": " + std::strerror(errno);
    return false;
  }
  LayoutLock lock(root);
  if (access(conf.c_str(), F_OK) == 0) return true;  // another process was first
  if (!LayOut(root, error)) return false;
  if (!WriteFileAtomically(conf, DefaultConfigText(), false)) {
    if (error) *error = conf + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

MachineConfig Config() {
  return WithCurrentConfig([](const ConfigCache& c) { return c.config; });
}

MachineNumbers ConfigNumbers() {
  return WithCurrentConfig([](const ConfigCache& c) {
    MachineNumbers numbers;
    numbers.codepage = c.config.codepage;
    numbers.admin = c.config.admin;
    numbers.x64 = c.config.arch == "x64";
    return numbers;
  });
}

std::optional<std::string> ConfigValue(const std::string& key) {
  auto values = CurrentValues();
  if (auto it = values.find(key); it != values.end()) return it->second;
  MachineConfig defaults = ConfigFromValues({});
  if (key == "codepage") return std::to_string(defaults.codepage);
  if (key == "arch") return defaults.arch;
  if (key == "dpi") return std::to_string(defaults.dpi);
  if (key == "user") return defaults.user;
  if (key == "admin") return std::string("1");
  if (key == "shutdown_privilege") return std::string("1");
  return std::nullopt;
}

bool SetConfigValue(const std::string& key, const std::string& value, std::string* error) {
  std::string path = MachineRoot() + "/machine.conf";
  bool ok = false;
  std::string text = ReadWholeFile(path, &ok);
  std::istringstream in(text);
  std::ostringstream out;
  std::string line;
  bool replaced = false;
  while (std::getline(in, line)) {
    size_t eq = line.find('=');
    if (eq != std::string::npos && line.substr(0, eq) == key) {
      if (!replaced) out << key << "=" << value << "\n";
      replaced = true;
      continue;
    }
    out << line << "\n";
  }
  if (!replaced) out << key << "=" << value << "\n";
  if (!WriteFileAtomically(path, out.str(), true)) {
    if (error) *error = path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

namespace {
std::atomic<void (*)(unsigned)> g_sessionEndHandler{nullptr};
}  // namespace

void SetSessionEndHandler(void (*handler)(unsigned flags)) { g_sessionEndHandler = handler; }

void NotifySessionEnd(unsigned flags) {
  if (auto handler = g_sessionEndHandler.load()) handler(flags);
}

std::string DriveCRoot() { return MachineRoot() + "/drive_c"; }
std::string JournalDir() { return MachineRoot() + "/journal"; }
std::string DesktopDir() { return MachineRoot() + "/desktop"; }
std::string RunDir() { return MachineRoot() + "/run"; }
std::string RegistryPath() { return MachineRoot() + "/registry.db"; }

std::string NowIso8601() {
  struct timeval tv {};
  gettimeofday(&tv, nullptr);
  struct tm tm {};
  localtime_r(&tv.tv_sec, &tm);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(tv.tv_usec / 1000));
  return buf;
}

void AppendJournalLine(const std::string& fileName, const std::string& line) {
  std::string dir = JournalDir();
  MakeDir(dir);
  std::string path = dir + "/" + fileName;
  int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  flock(fd, LOCK_EX);
  std::string data = line + "\n";
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    p += n;
    left -= static_cast<size_t>(n);
  }
  flock(fd, LOCK_UN);
  close(fd);
}

}  // namespace winsim
