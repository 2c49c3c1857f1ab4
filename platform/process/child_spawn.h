// Starting a host program as a child process: fork and execve, with
// everything prepared before the fork.
#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "windef.h"

namespace winsim::process {

struct SpawnRequest {
  std::string image;                     // host path of the program
  std::vector<std::string> arguments;    // argv, argv[0] included
  std::vector<std::string> environment;  // "NAME=value"; WINSIM_PID is added
  std::string hostDirectory;             // the child's working folder
  bool newProcessGroup = false;          // setpgid(0, 0)
  bool discardOutput = false;            // stdout and stderr to /dev/null
};

// Starts the child. `beforeRun` gets the child's pid while the child still
// waits before execve, so whatever it records comes before anything the
// child does. Returns 0, or the Windows error code when the child could
// not be started (the child is then reaped by whoever watches it).
DWORD Spawn(const SpawnRequest& request, const std::function<void(pid_t)>& beforeRun, pid_t* childPid);

}  // namespace winsim::process
