// OpenProcessToken, LookupPrivilegeValueA and AdjustTokenPrivileges.
#include <cstddef>
#include <cstring>

#include "privileges.h"
#include "process_token.h"
#include "windows.h"

using namespace winsim::security;

namespace {

// The pseudo handle GetCurrentProcess returns.
const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

DWORD SizeFor(size_t count) {
  return static_cast<DWORD>(offsetof(TOKEN_PRIVILEGES, Privileges) + count * sizeof(LUID_AND_ATTRIBUTES));
}

void WriteState(const std::vector<PrivilegeState>& states, PTOKEN_PRIVILEGES out) {
  out->PrivilegeCount = static_cast<DWORD>(states.size());
  for (size_t i = 0; i < states.size(); ++i) {
    LUID_AND_ATTRIBUTES entry{};
    entry.Luid.LowPart = states[i].luid;
    entry.Luid.HighPart = 0;
    entry.Attributes = states[i].attributes;
    // The array reaches past the declared one element, as in Windows.
    std::memcpy(reinterpret_cast<BYTE*>(out->Privileges) + i * sizeof(entry), &entry, sizeof(entry));
  }
}

}  // namespace

extern "C" {

BOOL WINAPI OpenProcessToken(HANDLE ProcessHandle, DWORD DesiredAccess, PHANDLE TokenHandle) {
  if (!TokenHandle) return Fail(ERROR_INVALID_PARAMETER);
  std::shared_ptr<Token> token;
  if (ProcessHandle == kCurrentProcess) {
    token = ProcessToken();
  } else if (auto process = winsim::LookupHandle(ProcessHandle);
             process && process->Kind() == winsim::ObjectKind::Process) {
    token = std::make_shared<Token>();  // another process: a token as its user's logon gives it
  } else {
    return Fail(ERROR_INVALID_HANDLE);
  }
  // GENERIC_ALL and MAXIMUM_ALLOWED: a process may do everything with its own token.
  DWORD access = (DesiredAccess & (0x10000000 | 0x02000000)) ? TOKEN_ALL_ACCESS : DesiredAccess;
  *TokenHandle = winsim::NewHandle(std::make_shared<winsim::security::TokenHandle>(std::move(token), access));
  return TRUE;
}

BOOL WINAPI LookupPrivilegeValueA(LPCSTR, LPCSTR lpName, PLUID lpLuid) {
  if (!lpLuid) return Fail(ERROR_INVALID_PARAMETER);
  auto luid = lpName ? PrivilegeLuid(lpName) : std::nullopt;
  if (!luid) return Fail(ERROR_NO_SUCH_PRIVILEGE);
  lpLuid->LowPart = *luid;
  lpLuid->HighPart = 0;
  return TRUE;
}

BOOL WINAPI AdjustTokenPrivileges(HANDLE TokenHandle, BOOL DisableAllPrivileges, PTOKEN_PRIVILEGES NewState,
                                  DWORD BufferLength, PTOKEN_PRIVILEGES PreviousState, PDWORD ReturnLength) {
  auto handle = winsim::LookupHandleAs<winsim::security::TokenHandle>(TokenHandle, winsim::ObjectKind::Token);
  if (!handle) return Fail(ERROR_INVALID_HANDLE);
  if (!(handle->access & TOKEN_ADJUST_PRIVILEGES)) return Fail(ERROR_ACCESS_DENIED);
  if (PreviousState && !(handle->access & TOKEN_QUERY)) return Fail(ERROR_ACCESS_DENIED);
  if (PreviousState && !ReturnLength) return Fail(ERROR_INVALID_PARAMETER);
  if (!DisableAllPrivileges && !NewState) return Fail(ERROR_INVALID_PARAMETER);

  std::vector<Token::Change> changes;
  if (!DisableAllPrivileges) {
    for (DWORD i = 0; i < NewState->PrivilegeCount; ++i) {
      LUID_AND_ATTRIBUTES entry;
      std::memcpy(&entry, reinterpret_cast<const BYTE*>(NewState->Privileges) + i * sizeof(entry), sizeof(entry));
      // A LUID outside the privilege range names no privilege this token holds.
      DWORD luid = entry.Luid.HighPart == 0 ? entry.Luid.LowPart : 0;
      changes.push_back({luid, entry.Attributes});
    }
  }

  // With a buffer for the previous state that is too small nothing changes.
  bool notAllAssigned = false;
  auto run = [&](bool dryRun) {
    return DisableAllPrivileges ? handle->token->DisableAll(dryRun)
                                : handle->token->Apply(changes, dryRun, &notAllAssigned);
  };
  if (PreviousState) {
    DWORD needed = SizeFor(run(true).size());
    *ReturnLength = needed;
    if (BufferLength < needed) return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  std::vector<PrivilegeState> previous = run(false);
  if (PreviousState) {
    WriteState(previous, PreviousState);
    *ReturnLength = SizeFor(previous.size());
  }
  // Windows reports through the last error whether every privilege was held.
  SetLastError(notAllAssigned ? ERROR_NOT_ALL_ASSIGNED : ERROR_SUCCESS);
  return TRUE;
}

}  // extern "C"
