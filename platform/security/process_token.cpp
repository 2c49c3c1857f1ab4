#include "process_token.h"

#include "privileges.h"
#include "winsim/machine.h"

namespace winsim::security {

std::optional<DWORD> Token::HeldAttributes(DWORD luid) {
  MachineConfig config = Config();
  for (const auto& held : PrivilegesOfUser(config.admin, config.shutdownPrivilege)) {
    if (held.luid != luid) continue;
    DWORD initial = held.enabledByDefault ? (SE_PRIVILEGE_ENABLED | SE_PRIVILEGE_ENABLED_BY_DEFAULT) : 0;
    auto it = overrides_.find(luid);
    DWORD attributes = it == overrides_.end() ? initial : it->second;
    if (attributes & SE_PRIVILEGE_REMOVED) return std::nullopt;
    return attributes;
  }
  return std::nullopt;
}

std::vector<PrivilegeState> Token::Privileges() {
  std::lock_guard<std::mutex> lock(mutex_);
  MachineConfig config = Config();
  std::vector<PrivilegeState> result;
  for (const auto& held : PrivilegesOfUser(config.admin, config.shutdownPrivilege)) {
    if (auto attributes = HeldAttributes(held.luid)) result.push_back({held.luid, *attributes});
  }
  return result;
}

bool Token::IsEnabled(DWORD luid) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto attributes = HeldAttributes(luid);
  return attributes && (*attributes & SE_PRIVILEGE_ENABLED);
}

std::vector<PrivilegeState> Token::Apply(const std::vector<Change>& changes, bool dryRun, bool* notAllAssigned) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<PrivilegeState> previous;
  *notAllAssigned = false;
  for (const auto& change : changes) {
    auto attributes = HeldAttributes(change.luid);
    if (!attributes) {
      *notAllAssigned = true;
      continue;
    }
    DWORD updated = *attributes & SE_PRIVILEGE_ENABLED_BY_DEFAULT;
    if (change.attributes & SE_PRIVILEGE_REMOVED) {
      updated = SE_PRIVILEGE_REMOVED;
    } else if (change.attributes & SE_PRIVILEGE_ENABLED) {
      updated |= SE_PRIVILEGE_ENABLED;
    }
    if (updated == *attributes) continue;
    previous.push_back({change.luid, *attributes});
    if (!dryRun) overrides_[change.luid] = updated;
  }
  return previous;
}

std::vector<PrivilegeState> Token::DisableAll(bool dryRun) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<PrivilegeState> previous;
  MachineConfig config = Config();
  for (const auto& held : PrivilegesOfUser(config.admin, config.shutdownPrivilege)) {
    auto attributes = HeldAttributes(held.luid);
    if (!attributes || !(*attributes & SE_PRIVILEGE_ENABLED)) continue;
    previous.push_back({held.luid, *attributes});
    if (!dryRun) overrides_[held.luid] = *attributes & ~SE_PRIVILEGE_ENABLED;
  }
  return previous;
}

std::shared_ptr<Token> ProcessToken() {
  static auto* token = new std::shared_ptr<Token>(std::make_shared<Token>());  // lives as long as the process
  return *token;
}

}  // namespace winsim::security
