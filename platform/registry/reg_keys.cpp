// Opening, creating, enumerating and deleting keys.
#include <cstring>

#include "key_lookup.h"
#include "registry_names.h"
#include "shlwapi.h"
#include "winreg.h"
#include "winsim/codepage.h"

using namespace winsim::registry;

namespace {

std::u16string Wide(LPCSTR text) { return text ? winsim::AnsiToUtf16(text) : std::u16string(); }
std::u16string Wide(LPCWSTR text) { return text ? std::u16string(text) : std::u16string(); }

// Finds, or with `create` makes, `subkey` below `hKey` and opens a handle to it.
LSTATUS OpenKey(HKEY hKey, const std::u16string& subkey, REGSAM sam, bool create, PHKEY result,
                LPDWORD disposition) {
  KeyBase base;
  DWORD error = PrepareBase(hKey, &base);
  if (error) return error;
  SubkeyPath split = SplitSubkey(subkey);
  if (split.error) return split.error;
  REGSAM rights = GrantedRights(sam, base.hive);
  if (IsWriteRequest(rights) && !UserMayWrite(base.hive)) return ERROR_ACCESS_DENIED;
  std::vector<std::u16string> path = FullPath(base, split.parts, SeesView32(sam));

  KeyId key = 0;
  bool created = false;
  uint64_t generation = 0;
  auto find = [&](Db& db) -> DWORD {
    generation = db.Generation();
    if (DWORD gone = CheckBase(db, base)) return gone;
    auto found = WalkPath(db, RootOf(base.hive), path, false);
    if (!found) return ERROR_FILE_NOT_FOUND;
    key = *found;
    return ERROR_SUCCESS;
  };
  error = RunRead(find);
  if (error == ERROR_FILE_NOT_FOUND && create) {
    if (!UserMayWrite(base.hive)) return ERROR_ACCESS_DENIED;
    error = RunWrite([&](Db& db) -> DWORD {
      if (DWORD gone = CheckBase(db, base)) return gone;
      key = *WalkPath(db, RootOf(base.hive), path, true, &created);
      generation = db.Generation();
      return ERROR_SUCCESS;
    });
  }
  if (error) return error;

  KeyBase opened;
  opened.hive = base.hive;
  opened.path = std::move(path);
  opened.fixedPrefix = opened.path.size();
  opened.id = key;
  opened.access = rights;
  opened.generation = generation;
  *result = NewKeyHandle(std::move(opened));
  if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  return ERROR_SUCCESS;
}

// HKEY_CLASSES_ROOT alone takes a subkey that starts with one backslash.
std::u16string WithoutClassesRootSlash(HKEY hKey, std::u16string subkey) {
  if (CanonicalKey(hKey) == HKEY_CLASSES_ROOT && !subkey.empty() && subkey.front() == u'\\') subkey.erase(0, 1);
  return subkey;
}

// RegOpenKeyExA/W. An empty or missing subkey of a predefined root gives
// that root back; of an opened key, a new handle to the same key (closing
// one leaves the other open). A NULL key leaves *result alone; any other
// failure sets it to NULL.
LSTATUS Open(HKEY hKey, const std::u16string& subkey, bool noSubkey, REGSAM sam, PHKEY result) {
  if (result && noSubkey && IsPredefinedKey(hKey)) {
    *result = hKey;
    return ERROR_SUCCESS;
  }
  if (!result) return ERROR_INVALID_PARAMETER;
  if (!hKey) return ERROR_INVALID_HANDLE;
  *result = nullptr;
  return OpenKey(hKey, WithoutClassesRootSlash(hKey, subkey), sam, false, result, nullptr);
}

LSTATUS Create(HKEY hKey, const std::u16string& subkey, REGSAM sam, PHKEY result, LPDWORD disposition) {
  if (!result) return ERROR_BADKEY;
  if (!hKey) return ERROR_INVALID_HANDLE;
  *result = nullptr;
  return OpenKey(hKey, WithoutClassesRootSlash(hKey, subkey), sam, true, result, disposition);
}

// RegDeleteKeyA and SHDeleteKeyA: the key must exist; without `tree` it must
// have no subkeys. A predefined root itself cannot be deleted.
LSTATUS DeleteKey(HKEY hKey, LPCSTR subkey, bool tree) {
  KeyBase base;
  DWORD error = PrepareBase(hKey, &base);
  if (error) return error;
  SubkeyPath split = SplitSubkey(Wide(subkey));
  if (split.error) return split.error;
  if (base.predefined && split.parts.empty()) return ERROR_ACCESS_DENIED;
  std::vector<std::u16string> path = FullPath(base, split.parts, SeesView32(0));
  bool mayWrite = UserMayWrite(base.hive);
  return RunWrite([&](Db& db) -> DWORD {
    if (DWORD gone = CheckBase(db, base)) return gone;
    auto key = WalkPath(db, RootOf(base.hive), path, false);
    if (!key) return ERROR_FILE_NOT_FOUND;
    if (!mayWrite) return ERROR_ACCESS_DENIED;
    if (!tree && HasSubkeys(db, *key)) return ERROR_ACCESS_DENIED;
    DeleteKeyTree(db, *key);
    return ERROR_SUCCESS;
  });
}

}  // namespace

extern "C" {

LSTATUS WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                               const struct _SECURITY_ATTRIBUTES*, PHKEY phkResult, LPDWORD lpdwDisposition) {
  return Create(hKey, Wide(lpSubKey), samDesired, phkResult, lpdwDisposition);
}

LSTATUS WINAPI RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD, REGSAM samDesired,
                               const struct _SECURITY_ATTRIBUTES*, PHKEY phkResult, LPDWORD lpdwDisposition) {
  return Create(hKey, Wide(lpSubKey), samDesired, phkResult, lpdwDisposition);
}

LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
  return Open(hKey, Wide(lpSubKey), !lpSubKey || !*lpSubKey, samDesired, phkResult);
}

LSTATUS WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
  return Open(hKey, Wide(lpSubKey), !lpSubKey || !*lpSubKey, samDesired, phkResult);
}

// Unlike RegOpenKeyExA, an empty or missing subkey hands back hKey itself,
// whatever it is (also NULL).
LSTATUS WINAPI RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  if (!lpSubKey || !*lpSubKey) {
    *phkResult = hKey;
    return ERROR_SUCCESS;
  }
  return Open(hKey, Wide(lpSubKey), false, MAXIMUM_ALLOWED, phkResult);
}

LSTATUS WINAPI RegCloseKey(HKEY hKey) { return CloseKeyHandle(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE; }

LSTATUS WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
  if (!lpSubKey) return ERROR_INVALID_PARAMETER;
  return DeleteKey(hKey, lpSubKey, false);
}

LSTATUS WINAPI SHDeleteKeyA(HKEY hkey, LPCSTR pszSubKey) { return DeleteKey(hkey, pszSubKey, true); }

LSTATUS WINAPI RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                             LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
  KeyBase base;
  DWORD error = PrepareBase(hKey, &base);
  if (error) return error;
  if (!lpName || !lpcchName || lpReserved) return ERROR_INVALID_PARAMETER;
  if (!(base.access & KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
  SubkeyRecord subkey;
  error = RunRead([&](Db& db) -> DWORD {
    KeyId key = 0;
    if (DWORD failed = KeyOfBase(db, base, &key)) return failed;
    auto found = SubkeyAt(db, key, dwIndex);
    if (!found) return ERROR_NO_MORE_ITEMS;
    subkey = std::move(*found);
    return ERROR_SUCCESS;
  });
  if (error) return error;
  std::string name = winsim::Utf16ToAnsi(subkey.name);
  if (name.size() >= *lpcchName) return ERROR_MORE_DATA;
  std::memcpy(lpName, name.c_str(), name.size() + 1);
  *lpcchName = static_cast<DWORD>(name.size());
  if (lpClass && lpcchClass && *lpcchClass) *lpClass = '\0';
  if (lpcchClass) *lpcchClass = 0;
  if (lpftLastWriteTime) {
    lpftLastWriteTime->dwLowDateTime = static_cast<DWORD>(subkey.written);
    lpftLastWriteTime->dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(subkey.written) >> 32);
  }
  return ERROR_SUCCESS;
}

}  // extern "C"
