// Waiting on kernel objects while the window messages of this thread keep
// flowing. Messages are dispatched by the toolkit's event loop, so
// PeekMessageA runs what is pending and hands nothing back.
#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <thread>

#include "desktop_internal.h"

namespace {

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
  (void)lpMsg;
  (void)hWnd;
  (void)wMsgFilterMin;
  (void)wMsgFilterMax;
  (void)wRemoveMsg;
  RunPendingMessages(0);
  return FALSE;
}

extern "C" BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
  (void)lpMsg;
  return FALSE;
}

extern "C" LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
  (void)lpMsg;
  return 0;
}
