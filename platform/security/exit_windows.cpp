// ExitWindowsEx: a restart or shutdown request is recorded in the machine's
// journal (journal/shutdown.log); the host is never touched.
#include <cstdio>

#include "privileges.h"
#include "process_token.h"
#include "windows.h"
#include "winsim/machine.h"

namespace {

constexpr UINT kRestartApps = 0x00000040;      // EWX_RESTARTAPPS
constexpr UINT kHybridShutdown = 0x00400000;   // EWX_HYBRID_SHUTDOWN

// Logging off needs no privilege; everything that stops the machine does.
bool StopsMachine(UINT flags) {
  return (flags & (EWX_SHUTDOWN | EWX_REBOOT | EWX_POWEROFF | kRestartApps | kHybridShutdown)) != 0;
}

}  // namespace

extern "C" BOOL WINAPI ExitWindowsEx(UINT uFlags, DWORD dwReason) {
  if (StopsMachine(uFlags) && !winsim::security::ProcessToken()->IsEnabled(winsim::security::kShutdownLuid)) {
    SetLastError(ERROR_PRIVILEGE_NOT_HELD);
    return FALSE;
  }
  char fields[64];
  std::snprintf(fields, sizeof(fields), " flags=0x%x reason=0x%x", uFlags, static_cast<unsigned>(dwReason));
  winsim::AppendJournalLine("shutdown.log", winsim::NowIso8601() + fields);
  winsim::NotifySessionEnd(uFlags);
  return TRUE;
}
