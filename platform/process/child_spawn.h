// Starting a host program as a child process in one step: the child is
// made with clone(CLONE_VM | CLONE_VFORK), as posix_spawn makes it, so it
// shares the parent's memory until it execs and the parent is suspended
// meanwhile. The child never waits for its parent: it journals its own
// start, readies itself and execs, or ends at once. A killed parent thus
// leaves no half-started copy of itself behind, and no descriptor of the
// parent (single-instance names, the registry database, journals) crosses
// into the started program.
#pragma once
#include <sys/types.h>

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
  // The start's journal line: `journalHead` + child pid + `journalTail`
  // is appended to `journalPath` before the program runs, so it comes
  // before anything the program does. Empty path: no line.
  std::string journalPath;
  std::string journalHead;
  std::string journalTail;
  // Folder of exit records: a stale record of the child's pid is removed
  // before the program runs (see exit_record.h). Empty: none.
  std::string exitRecordDir;
};

// Starts the child. Returns 0 and its pid, or the Windows error code when
// it could not be started (a child that failed after being made has been
// reaped then).
DWORD Spawn(const SpawnRequest& request, pid_t* childPid);

}  // namespace winsim::process
