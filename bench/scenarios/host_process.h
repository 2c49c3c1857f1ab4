// Host programs started from a test program that may run several threads:
// posix_spawn with absolute paths and an explicit environment, so a child
// never depends on (or races with) the test program's own environment.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

namespace winebench {

struct HostCommand {
  std::vector<std::string> argv;         // argv[0] is an absolute path
  std::vector<std::string> environment;  // "NAME=value"
  std::string directory;                 // working folder; "" keeps ours
  std::string outputFile, errorFile;     // "" sends the stream to /dev/null
  bool asWineUser = false;               // through setpriv when we are root
};

// The absolute path of a program found in PATH (and the sbin folders), "" when none.
std::string FindProgram(const std::string& name);

// Starts the command; -1 when it could not be started.
pid_t StartHost(const HostCommand& command);
// Waits up to `timeoutMs` (negative: no limit): the exit status (a signal
// counts as 128 + its number), or -1 with *timedOut set when it did not end.
int WaitHost(pid_t pid, int timeoutMs, bool* timedOut);
// Starts, waits, and returns the exit status (-1 on time-out: the child is killed).
int RunHost(const HostCommand& command, int timeoutMs);

// The user Wine runs as: when we are root, the unprivileged "winebench"
// (made with useradd when missing); otherwise ourselves.
struct WineUserInfo {
  bool switches = false;  // we are root and run Wine as another user
  uid_t uid = 0;
  gid_t gid = 0;
  std::string name;
  std::string error;      // why there is no usable user
};
const WineUserInfo& WineUser();

// Makes a host path (recursively) the wine user's.
void GiveToWineUser(const std::string& hostPath);

std::string ReadFileText(const std::string& hostPath);

}  // namespace winebench
