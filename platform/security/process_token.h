// The process's access token: which privileges it holds and which are
// enabled. Windows gives a process one primary token; every handle that
// OpenProcessToken returns names that same token.
#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "windows.h"
#include "winsim/handles.h"

namespace winsim::security {

struct PrivilegeState {
  DWORD luid = 0;        // LowPart of the privilege's LUID (HighPart is 0)
  DWORD attributes = 0;  // SE_PRIVILEGE_* bits
};

class Token {
 public:
  // The privileges held now, with their attributes. What a token holds
  // follows machine.conf (admin, shutdown_privilege); what this process
  // enabled, disabled or removed is kept on top of that.
  std::vector<PrivilegeState> Privileges();
  bool IsEnabled(DWORD luid);

  struct Change {
    DWORD luid;
    DWORD attributes;  // requested: SE_PRIVILEGE_ENABLED, SE_PRIVILEGE_REMOVED or 0
  };
  // Applies the changes to held privileges; returns the previous state of
  // those that changed, and sets *notAllAssigned when one is not held.
  std::vector<PrivilegeState> Apply(const std::vector<Change>& changes, bool dryRun, bool* notAllAssigned);
  std::vector<PrivilegeState> DisableAll(bool dryRun);

 private:
  std::optional<DWORD> HeldAttributes(DWORD luid);  // with the lock held
  std::mutex mutex_;
  std::map<DWORD, DWORD> overrides_;  // luid -> attributes set by this process
};

// The current process's token.
std::shared_ptr<Token> ProcessToken();

// What a token handle carries: the token and the access it was opened with.
struct TokenHandle : KernelObject {
  TokenHandle(std::shared_ptr<Token> t, DWORD a) : token(std::move(t)), access(a) {}
  ObjectKind Kind() const override { return ObjectKind::Token; }
  std::shared_ptr<Token> token;
  DWORD access;
};

}  // namespace winsim::security
