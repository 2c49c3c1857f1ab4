// Privilege names and their locally unique identifiers (the values Windows
// uses on every machine).
#pragma once
#include <optional>
#include <string_view>
#include <vector>

#include "windows.h"

namespace winsim::security {

// The LUID LowPart of a privilege name (case-insensitive), if it exists.
std::optional<DWORD> PrivilegeLuid(std::string_view name);

// The privileges a machine user's token holds, and which of them are
// enabled from the start.
struct HeldPrivilege {
  DWORD luid;
  bool enabledByDefault;
};
std::vector<HeldPrivilege> PrivilegesOfUser(bool admin, bool shutdownPrivilege);

constexpr DWORD kShutdownLuid = 19;

}  // namespace winsim::security
