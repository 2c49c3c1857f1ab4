#include "key_lookup.h"

#include <mutex>

#include "registry_names.h"
#include "registry_schema.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"

namespace winsim::registry {
namespace {

// Makes HKEY_USERS\<user> on the user's first use; remembers the last
// registry and user it did this for, to spare a transaction per call.
DWORD EnsureUser(const std::u16string& user) {
  static std::mutex mutex;
  static std::string done;
  std::string marker = RegistryPath() + '\n' + Utf16ToUtf8(user);
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (done == marker) return ERROR_SUCCESS;
  }
  bool present = false;
  DWORD error = RunRead([&](Db& db) {
    present = FindSubkey(db, RootOf(Hive::Users), user).has_value();
    return ERROR_SUCCESS;
  });
  if (error == ERROR_SUCCESS && !present) {
    error = RunWrite([&](Db& db) {
      EnsureUserKey(db, user);
      return ERROR_SUCCESS;
    });
  }
  if (error == ERROR_SUCCESS) {
    std::lock_guard<std::mutex> lock(mutex);
    done = marker;
  }
  return error;
}

}  // namespace

DWORD PrepareBase(HKEY key, KeyBase* base) {
  if (!BaseOf(key, base)) return ERROR_INVALID_HANDLE;
  if (CanonicalKey(key) == HKEY_CURRENT_USER) return EnsureUser(base->path.front());
  return ERROR_SUCCESS;
}

std::vector<std::u16string> FullPath(const KeyBase& base, const std::vector<std::u16string>& parts, bool view32) {
  std::vector<std::u16string> full = base.path;
  full.insert(full.end(), parts.begin(), parts.end());
  return ApplyView(base.hive, base.fixedPrefix, std::move(full), view32);
}

DWORD CheckBase(Db& db, const KeyBase& base) {
  if (!base.id) return ERROR_SUCCESS;
  if (base.generation != db.Generation()) return ERROR_INVALID_HANDLE;
  return KeyExists(db, *base.id) ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

DWORD KeyOfBase(Db& db, const KeyBase& base, KeyId* key) {
  if (base.id) {
    DWORD error = CheckBase(db, base);
    if (error == ERROR_SUCCESS) *key = *base.id;
    return error;
  }
  auto found = WalkPath(db, RootOf(base.hive), FullPath(base, {}, SeesView32(0)), false);
  if (!found) return ERROR_FILE_NOT_FOUND;
  *key = *found;
  return ERROR_SUCCESS;
}

}  // namespace winsim::registry
