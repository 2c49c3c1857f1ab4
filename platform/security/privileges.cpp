#include "privileges.h"

#include <strings.h>

#include <string>

namespace winsim::security {
namespace {

struct Named {
  const char* name;
  DWORD luid;
};

constexpr Named kPrivileges[] = {
    {"SeCreateTokenPrivilege", 2},
    {"SeAssignPrimaryTokenPrivilege", 3},
    {"SeLockMemoryPrivilege", 4},
    {"SeIncreaseQuotaPrivilege", 5},
    {"SeMachineAccountPrivilege", 6},
    {"SeTcbPrivilege", 7},
    {"SeSecurityPrivilege", 8},
    {"SeTakeOwnershipPrivilege", 9},
    {"SeLoadDriverPrivilege", 10},
    {"SeSystemProfilePrivilege", 11},
    {"SeSystemtimePrivilege", 12},
    {"SeProfileSingleProcessPrivilege", 13},
    {"SeIncreaseBasePriorityPrivilege", 14},
    {"SeCreatePagefilePrivilege", 15},
    {"SeCreatePermanentPrivilege", 16},
    {"SeBackupPrivilege", 17},
    {"SeRestorePrivilege", 18},
    {"SeShutdownPrivilege", 19},
    {"SeDebugPrivilege", 20},
    {"SeAuditPrivilege", 21},
    {"SeSystemEnvironmentPrivilege", 22},
    {"SeChangeNotifyPrivilege", 23},
    {"SeRemoteShutdownPrivilege", 24},
    {"SeUndockPrivilege", 25},
    {"SeSyncAgentPrivilege", 26},
    {"SeEnableDelegationPrivilege", 27},
    {"SeManageVolumePrivilege", 28},
    {"SeImpersonatePrivilege", 29},
    {"SeCreateGlobalPrivilege", 30},
    {"SeTrustedCredManAccessPrivilege", 31},
    {"SeRelabelPrivilege", 32},
    {"SeIncreaseWorkingSetPrivilege", 33},
    {"SeTimeZonePrivilege", 34},
    {"SeCreateSymbolicLinkPrivilege", 35},
    {"SeDelegateSessionUserImpersonatePrivilege", 36},
};

// An elevated administrator's token, as Windows 10 gives it.
constexpr DWORD kAdminHeld[] = {5, 8, 9, 10, 11, 12, 13, 14, 15, 17, 18, 19, 20, 22,
                                23, 25, 28, 29, 30, 33, 34, 35, 36};
// A standard user's token.
constexpr DWORD kUserHeld[] = {19, 23, 25, 33, 34};
constexpr DWORD kEnabledByDefault[] = {23, 29, 30};

}  // namespace

std::optional<DWORD> PrivilegeLuid(std::string_view name) {
  std::string text(name);
  for (const auto& privilege : kPrivileges) {
    if (strcasecmp(privilege.name, text.c_str()) == 0) return privilege.luid;
  }
  return std::nullopt;
}

std::vector<HeldPrivilege> PrivilegesOfUser(bool admin, bool shutdownPrivilege) {
  std::vector<HeldPrivilege> held;
  auto add = [&](DWORD luid) {
    if (luid == kShutdownLuid && !shutdownPrivilege) return;
    bool enabled = false;
    for (DWORD e : kEnabledByDefault) enabled = enabled || e == luid;
    held.push_back({luid, enabled});
  };
  if (admin) {
    for (DWORD luid : kAdminHeld) add(luid);
  } else {
    for (DWORD luid : kUserHeld) add(luid);
  }
  return held;
}

}  // namespace winsim::security
