// From an HKEY and a subkey to a key of registry.db.
#pragma once
#include <string>
#include <vector>

#include "key_handles.h"
#include "registry_db.h"

namespace winsim::registry {

// The base of an operation for a handle; ERROR_INVALID_HANDLE for a bad
// one. For HKEY_CURRENT_USER it first makes the machine user's key.
DWORD PrepareBase(HKEY key, KeyBase* base);

// The stored path of `parts` below `base`, seen through `view32`.
std::vector<std::u16string> FullPath(const KeyBase& base, const std::vector<std::u16string>& parts, bool view32);

// For a handle to an opened key: ERROR_KEY_DELETED when the key is gone,
// ERROR_INVALID_HANDLE when it belongs to another machine's registry.
DWORD CheckBase(Db& db, const KeyBase& base);

// The key a handle itself names: ERROR_KEY_DELETED when it is gone,
// ERROR_INVALID_HANDLE when it belongs to another machine's registry.
DWORD KeyOfBase(Db& db, const KeyBase& base, KeyId* key);

}  // namespace winsim::registry
