// Setting, querying, enumerating and deleting values.
#include <cstring>

#include "key_lookup.h"
#include "registry_names.h"
#include "registry_strings.h"
#include "winreg.h"
#include "winsim/codepage.h"

using namespace winsim::registry;

namespace {

std::u16string Wide(LPCSTR text) { return text ? winsim::AnsiToUtf16(text) : std::u16string(); }
std::u16string Wide(LPCWSTR text) { return text ? std::u16string(text) : std::u16string(); }

// Looks up the handle and checks that it grants `right`.
DWORD BaseWithRight(HKEY hKey, REGSAM right, KeyBase* base) {
  DWORD error = PrepareBase(hKey, base);
  if (error) return error;
  return (base->access & right) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// `ansi`: called as RegSetValueExA, whose string data is in the code page.
LSTATUS SetValue(HKEY hKey, const std::u16string& name, DWORD type, const BYTE* data, DWORD cbData, bool ansi) {
  KeyBase base;
  DWORD error = BaseWithRight(hKey, KEY_SET_VALUE, &base);
  if (error) return error;
  if (name.size() > kMaxValueNameChars) return ERROR_INVALID_PARAMETER;
  if (!data && cbData) return ERROR_NOACCESS;
  const DWORD size = ansi ? AnsiDataSize(type, data, cbData) : WideDataSize(type, data, cbData);
  std::string_view given(reinterpret_cast<const char*>(data), data ? size : 0);
  std::string stored = ansi ? StoredFromAnsi(type, given, winsim::ActiveCodePage()) : std::string(given);
  return RunWrite([&](Db& db) -> DWORD {
    KeyId key = 0;
    if (DWORD failed = KeyOfBase(db, base, &key)) return failed;
    StoreValue(db, key, name, type, stored);
    return ERROR_SUCCESS;
  });
}

// The size is read before anything is written, so that a caller may pass
// one variable for the type and the size; the size is written last.
LSTATUS QueryValue(HKEY hKey, const std::u16string& name, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                   LPDWORD lpcbData, bool ansi) {
  KeyBase base;
  DWORD error = BaseWithRight(hKey, KEY_QUERY_VALUE, &base);
  if (error) return error;
  if (lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
  const DWORD capacity = lpcbData ? *lpcbData : 0;
  ValueRecord value;
  error = name.size() > kMaxValueNameChars ? ERROR_FILE_NOT_FOUND : RunRead([&](Db& db) -> DWORD {
    KeyId key = 0;
    if (DWORD failed = KeyOfBase(db, base, &key)) return failed;
    auto found = FindValue(db, key, name);
    if (!found) return ERROR_FILE_NOT_FOUND;
    value = std::move(*found);
    return ERROR_SUCCESS;
  });
  if (error == ERROR_FILE_NOT_FOUND && lpcbData) *lpcbData = 0;
  if (error) return error;
  std::string bytes = ansi ? AnsiFromStored(value.type, value.data, winsim::ActiveCodePage()) : value.data;
  LSTATUS status = CopyData(bytes, lpData, capacity, ansi && IsStringType(value.type));
  if (lpType) *lpType = value.type;
  if (lpcbData) *lpcbData = static_cast<DWORD>(bytes.size());
  return status;
}

}  // namespace

extern "C" {

LSTATUS WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
  return SetValue(hKey, Wide(lpValueName), dwType, lpData, cbData, true);
}

LSTATUS WINAPI RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                              DWORD cbData) {
  return SetValue(hKey, Wide(lpValueName), dwType, lpData, cbData, false);
}

LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                                LPDWORD lpcbData) {
  return QueryValue(hKey, Wide(lpValueName), lpReserved, lpType, lpData, lpcbData, true);
}

LSTATUS WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                                LPDWORD lpcbData) {
  return QueryValue(hKey, Wide(lpValueName), lpReserved, lpType, lpData, lpcbData, false);
}

// The data is handed out first: when it does not fit, the name and its
// count stay untouched. A name that does not fit leaves both alone too. In
// either case the type and the data's size are reported.
LSTATUS WINAPI RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                             LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  KeyBase base;
  DWORD error = BaseWithRight(hKey, KEY_QUERY_VALUE, &base);
  if (error) return error;
  if (!lpValueName || !lpcchValueName || lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
  const DWORD capacity = lpcbData ? *lpcbData : 0;
  ValueRecord value;
  error = RunRead([&](Db& db) -> DWORD {
    KeyId key = 0;
    if (DWORD failed = KeyOfBase(db, base, &key)) return failed;
    auto found = ValueAt(db, key, dwIndex);
    if (!found) return ERROR_NO_MORE_ITEMS;
    value = std::move(*found);
    return ERROR_SUCCESS;
  });
  if (error) return error;
  std::string bytes = AnsiFromStored(value.type, value.data, winsim::ActiveCodePage());
  LSTATUS status = CopyData(bytes, lpData, capacity, IsStringType(value.type));
  if (status == ERROR_SUCCESS) {
    std::string name = winsim::Utf16ToAnsi(value.name);
    if (name.size() >= *lpcchValueName) {
      status = ERROR_MORE_DATA;
    } else {
      std::memcpy(lpValueName, name.c_str(), name.size() + 1);
      *lpcchValueName = static_cast<DWORD>(name.size());
    }
  }
  if (lpType) *lpType = value.type;
  if (lpcbData) *lpcbData = static_cast<DWORD>(bytes.size());
  return status;
}

LSTATUS WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  KeyBase base;
  DWORD error = BaseWithRight(hKey, KEY_SET_VALUE, &base);
  if (error) return error;
  std::u16string name = Wide(lpValueName);
  if (name.size() > kMaxValueNameChars) return ERROR_FILE_NOT_FOUND;
  return RunWrite([&](Db& db) -> DWORD {
    KeyId key = 0;
    if (DWORD failed = KeyOfBase(db, base, &key)) return failed;
    return RemoveValue(db, key, name) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  });
}

}  // extern "C"
