// Threads: CreateThread runs the routine on a detached host thread; the
// handle tracks its end and exit code.
#include <sys/syscall.h>
#include <unistd.h>

#include <memory>
#include <system_error>
#include <thread>

#include "kernel_objects.h"
#include "process_errors.h"
#include "windows.h"

namespace {

using namespace winsim::process;

DWORD HostThreadId() { return static_cast<DWORD>(syscall(SYS_gettid)); }

}  // namespace

extern "C" HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE lpStartAddress,
                                      LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId) {
  if (!lpStartAddress) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto record = std::make_shared<ThreadRecord>((dwCreationFlags & CREATE_SUSPENDED) ? 1 : 0);
  try {
    std::thread([record, lpStartAddress, lpParameter] {
      record->StartOnThread(HostThreadId());
      record->Signal(lpStartAddress(lpParameter));
    }).detach();
  } catch (const std::system_error&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  DWORD id = record->WaitForId();
  if (lpThreadId) *lpThreadId = id;
  return winsim::NewHandle(std::make_shared<ThreadObject>(record, id));
}

extern "C" DWORD WINAPI ResumeThread(HANDLE hThread) {
  if (hThread == CurrentThreadPseudoHandle()) return 0;
  auto thread = winsim::LookupHandleAs<ThreadObject>(hThread, winsim::ObjectKind::Thread);
  if (!thread) {
    SetLastError(ERROR_INVALID_HANDLE);
    return static_cast<DWORD>(-1);
  }
  return thread->waitable->Resume();
}

extern "C" BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
  DWORD code;
  if (hThread == CurrentThreadPseudoHandle()) {
    code = STILL_ACTIVE;
  } else if (auto thread = winsim::LookupHandleAs<ThreadObject>(hThread, winsim::ObjectKind::Thread)) {
    code = thread->waitable->ExitCode();
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

extern "C" HANDLE WINAPI GetCurrentThread(void) { return CurrentThreadPseudoHandle(); }

extern "C" DWORD WINAPI GetCurrentThreadId(void) { return HostThreadId(); }
