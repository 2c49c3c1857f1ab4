#include "waitable.h"

#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <csignal>

#include "exit_record.h"

namespace winsim::process {

bool Waitable::Wait(DWORD milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (milliseconds == INFINITE) {
    changed_.wait(lock, [this] { return ended_; });
    return true;
  }
  return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return ended_; });
}

DWORD Waitable::ExitCode() {
  std::lock_guard<std::mutex> lock(mutex_);
  return exitCode_;
}

void Waitable::Signal(DWORD exitCode) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ended_) return;
    ended_ = true;
    exitCode_ = exitCode;
  }
  changed_.notify_all();
}

DWORD ExitCodeFromStatus(int status) {
  if (WIFEXITED(status)) return static_cast<DWORD>(WEXITSTATUS(status));
  if (!WIFSIGNALED(status)) return 1;
  switch (WTERMSIG(status)) {
    case SIGINT: return STATUS_CONTROL_C_EXIT;  // 0xC000013A
    case SIGSEGV: return 0xC0000005;            // STATUS_ACCESS_VIOLATION
    case SIGABRT: return 3;                     // what abort() exits with on Windows
    default: return 1;
  }
}

bool ProcessRecord::Terminate(DWORD exitCode) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (ended_) return false;
  if (!terminated_) {
    terminated_ = true;
    terminateCode_ = exitCode;
  }
  kill(pid_, SIGKILL);
  return true;
}

void ProcessRecord::Reap() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ended_) return;
    int status = 0;
    pid_t r;
    do {
      r = waitpid(pid_, &status, 0);
    } while (r < 0 && errno == EINTR);
    // No status to collect (someone else reaped it): it ended all the same.
    DWORD code = r == pid_ ? TakeExitCode(pid_, status) : 0;
    if (terminated_ && r == pid_ && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) code = terminateCode_;
    ended_ = true;
    exitCode_ = code;
  }
  changed_.notify_all();
}

DWORD ThreadRecord::Resume() {
  DWORD previous;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    previous = suspendCount_;
    if (suspendCount_ > 0) --suspendCount_;
  }
  changed_.notify_all();
  return previous;
}

void ThreadRecord::StartOnThread(DWORD threadId) {
  std::unique_lock<std::mutex> lock(mutex_);
  threadId_ = threadId;
  hasId_ = true;
  changed_.notify_all();
  changed_.wait(lock, [this] { return suspendCount_ == 0; });
}

DWORD ThreadRecord::WaitForId() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return hasId_; });
  return threadId_;
}

}  // namespace winsim::process
