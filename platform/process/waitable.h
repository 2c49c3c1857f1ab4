// What WaitForSingleObject waits for: processes and threads, each signalled
// once when it ends, with its exit code.
#pragma once
#include <sys/types.h>

#include <condition_variable>
#include <mutex>

#include "windows.h"

namespace winsim::process {

class Waitable {
 public:
  virtual ~Waitable() = default;
  // True when it ended within the time (INFINITE waits for ever).
  bool Wait(DWORD milliseconds);
  // STILL_ACTIVE (259) while it runs.
  DWORD ExitCode();
  // Marks it ended; later calls change nothing.
  void Signal(DWORD exitCode);
  // Suspend count handling; only threads made by CreateThread have one.
  virtual DWORD Resume() { return 0; }

 protected:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool ended_ = false;
  DWORD exitCode_ = STILL_ACTIVE;
};

// A child process started by CreateProcessA. It lives as long as a handle
// or the reaper needs it, so a child is reaped even after its handles
// were closed.
class ProcessRecord : public Waitable {
 public:
  explicit ProcessRecord(pid_t pid) : pid_(pid) {}
  pid_t Pid() const { return pid_; }

  // Kills the child unless it has ended already (false then); the given
  // code is what its exit code reads afterwards. The child is not reaped
  // before it is marked ended, so its pid cannot be reused in between.
  bool Terminate(DWORD exitCode);
  // Collects the ended child's status and signals. Called by the reaper
  // once the child has ended.
  void Reap();

 private:
  const pid_t pid_;
  bool terminated_ = false;
  DWORD terminateCode_ = 0;
};

// A thread made by CreateThread.
class ThreadRecord : public Waitable {
 public:
  explicit ThreadRecord(DWORD suspendCount) : suspendCount_(suspendCount) {}
  DWORD Resume() override;
  // Run on the new thread: publishes its id, then waits while suspended.
  void StartOnThread(DWORD threadId);
  // Run by the creator: waits until the new thread published its id.
  DWORD WaitForId();

 private:
  DWORD suspendCount_;
  DWORD threadId_ = 0;
  bool hasId_ = false;
};

// The Windows exit code of a host wait status.
DWORD ExitCodeFromStatus(int status);

}  // namespace winsim::process
