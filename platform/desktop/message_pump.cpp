// Waiting on kernel objects while the window messages of this thread keep
// flowing. Messages are dispatched by the toolkit's event loop, so
// PeekMessageA runs what is pending and hands nothing back, and GetMessageA
// waits for and runs the next batch, handing back WM_NULL until
// PostQuitMessage. As on Windows, the first PeekMessageA of a thread gives
// it a message queue: here, it makes the thread the user-interface thread
// when there is none yet.
#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <thread>

#include "desktop_internal.h"

namespace {

// WM_QUIT is not a queued message: it is a flag of the thread's queue.
thread_local bool t_quit = false;
thread_local int t_quitCode = 0;

void RunPendingMessages(int maxMs) {
  if (winsim::desktop::OnUiThread() && QCoreApplication::instance()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, maxMs);
  }
}

}  // namespace

extern "C" DWORD WINAPI MsgWaitForMultipleObjects(DWORD nCount, const HANDLE* pHandles, BOOL fWaitAll,
                                                  DWORD dwMilliseconds, DWORD dwWakeMask) {
  (void)dwWakeMask;
  if (nCount > 0 && !pHandles) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    DWORD signalled = 0;
    for (DWORD i = 0; i < nCount; ++i) {
      DWORD r = WaitForSingleObject(pHandles[i], 0);
      if (r == WAIT_FAILED) return WAIT_FAILED;
      if (r == WAIT_OBJECT_0) {
        if (!fWaitAll) return WAIT_OBJECT_0 + i;
        ++signalled;
      }
    }
    if (fWaitAll && nCount > 0 && signalled == nCount) return WAIT_OBJECT_0;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    if (dwMilliseconds != INFINITE && elapsed >= static_cast<long long>(dwMilliseconds)) return WAIT_TIMEOUT;
    if (winsim::desktop::OnUiThread() && QCoreApplication::instance()) {
      RunPendingMessages(10);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
}

extern "C" BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  (void)hWnd;
  (void)wMsgFilterMin;
  (void)wMsgFilterMax;
  winsim::desktop::EnsureUi();
  RunPendingMessages(0);
  if (t_quit && lpMsg) {
    *lpMsg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(t_quitCode), 0, GetTickCount(), POINT{0, 0}};
    if (wRemoveMsg & PM_REMOVE) t_quit = false;
    return TRUE;
  }
  return FALSE;
}

extern "C" BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  (void)hWnd;
  (void)wMsgFilterMin;
  (void)wMsgFilterMax;
  if (!lpMsg) {
    SetLastError(ERROR_NOACCESS);
    return -1;
  }
  winsim::desktop::EnsureUi();
  if (!t_quit && winsim::desktop::OnUiThread()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  } else if (!t_quit) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (t_quit) {
    t_quit = false;
    *lpMsg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(t_quitCode), 0, GetTickCount(), POINT{0, 0}};
    return FALSE;
  }
  *lpMsg = MSG{nullptr, WM_NULL, 0, 0, GetTickCount(), POINT{0, 0}};
  return TRUE;
}

extern "C" void WINAPI PostQuitMessage(int nExitCode) {
  t_quit = true;
  t_quitCode = nExitCode;
}

extern "C" BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
  (void)lpMsg;
  return FALSE;
}

extern "C" LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
  (void)lpMsg;
  return 0;
}
