#include "launch_env.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "winsim/codepage.h"
#include "winsim/paths.h"

namespace winsim::process {

std::optional<std::string> OwnLaunchVariable(const char* name) {
  const char* pid = std::getenv(kPidVar);
  if (!pid || !*pid) return std::nullopt;
  char* end = nullptr;
  long value = std::strtol(pid, &end, 10);
  if (*end || value != static_cast<long>(getpid())) return std::nullopt;
  const char* text = std::getenv(name);
  if (!text) return std::nullopt;
  return std::string(text);
}

namespace {

std::string ImagePathFromHost() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "C:\\Windows\\System32\\unknown.exe";
  return Utf16ToAnsi(HostToWindows(std::string(buf, static_cast<size_t>(n))));
}

}  // namespace

const std::string& CurrentImagePathA() {
  // Computed once: the image of a process does not change.
  static const std::string* path = [] {
    auto own = OwnLaunchVariable(kImageVar);
    return new std::string(own && !own->empty() ? *own : ImagePathFromHost());
  }();
  return *path;
}

std::string WindowsFolderOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return {};
  // Keep the backslash of a drive root ("C:\").
  if (slash == 2 && path.size() > 1 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, slash);
}

}  // namespace winsim::process
