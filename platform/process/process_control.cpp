// Waiting for processes and threads, their exit codes, ending them, and
// closing handles.
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <thread>

#include "kernel_objects.h"
#include "process_errors.h"
#include "windows.h"
#include "winsim/exit_record.h"

namespace winsim::process {

std::shared_ptr<Waitable> WaitableOf(HANDLE handle) {
  auto object = LookupHandle(handle);
  if (!object) return nullptr;
  if (object->Kind() == ObjectKind::Process) return std::static_pointer_cast<ProcessObject>(object)->record;
  if (object->Kind() == ObjectKind::Thread) return std::static_pointer_cast<ThreadObject>(object)->waitable;
  return nullptr;
}

}  // namespace winsim::process

namespace {

using namespace winsim::process;

// A TerminateProcess caller may read the exit code right away.
constexpr auto kTerminateGrace = std::chrono::seconds(5);

bool IsPseudoHandle(HANDLE h) { return h == CurrentProcessPseudoHandle() || h == CurrentThreadPseudoHandle(); }

std::shared_ptr<ProcessRecord> ProcessOf(HANDLE handle) {
  auto object = winsim::LookupHandleAs<ProcessObject>(handle, winsim::ObjectKind::Process);
  return object ? object->record : nullptr;
}

}  // namespace

extern "C" DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  if (IsPseudoHandle(hHandle)) {
    // Waiting for oneself never ends.
    if (dwMilliseconds == INFINITE) {
      for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
    return WAIT_TIMEOUT;
  }
  auto waitable = WaitableOf(hHandle);
  if (!waitable) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  return waitable->Wait(dwMilliseconds) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

extern "C" BOOL WINAPI GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode) {
  DWORD code;
  if (hProcess == CurrentProcessPseudoHandle()) {
    code = STILL_ACTIVE;
  } else if (auto record = ProcessOf(hProcess)) {
    code = record->ExitCode();
  } else {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!lpExitCode) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  *lpExitCode = code;
  return TRUE;
}

extern "C" BOOL WINAPI TerminateProcess(HANDLE hProcess, UINT uExitCode) {
  if (hProcess == CurrentProcessPseudoHandle()) {
    winsim::RecordOwnExitCode(uExitCode);
    _exit(static_cast<int>(uExitCode));
  }
  auto record = ProcessOf(hProcess);
  if (!record) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!record->Terminate(uExitCode)) {
    SetLastError(ERROR_ACCESS_DENIED);  // it has ended already
    return FALSE;
  }
  record->Wait(static_cast<DWORD>(std::chrono::milliseconds(kTerminateGrace).count()));
  return TRUE;
}

extern "C" BOOL WINAPI GenerateConsoleCtrlEvent(DWORD dwCtrlEvent, DWORD dwProcessGroupId) {
  if (dwCtrlEvent != CTRL_C_EVENT && dwCtrlEvent != CTRL_BREAK_EVENT) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // A new process group has Ctrl+C disabled: the event reaches no one.
  if (dwCtrlEvent == CTRL_C_EVENT && dwProcessGroupId != 0) return TRUE;
  // Both events end a console program that does not handle them as an
  // interrupt does; 0 means every process of the caller's console.
  pid_t group = dwProcessGroupId == 0 ? 0 : -static_cast<pid_t>(dwProcessGroupId);
  if (dwProcessGroupId > 0x7fffffffu) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (kill(group, SIGINT) != 0) {
    SetLastError(errno == EPERM ? ERROR_ACCESS_DENIED : ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}

extern "C" DWORD WINAPI GetProcessId(HANDLE Process) {
  if (Process == CurrentProcessPseudoHandle()) return static_cast<DWORD>(getpid());
  auto record = ProcessOf(Process);
  if (!record) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return static_cast<DWORD>(record->Pid());
}

extern "C" BOOL WINAPI CloseHandle(HANDLE hObject) {
  if (IsPseudoHandle(hObject)) return TRUE;
  if (hObject && winsim::ReleaseHandle(hObject)) return TRUE;
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}
