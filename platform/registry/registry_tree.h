// Keys and values in registry.db, inside a transaction. Names are kept as
// given and matched by their upper-case form, as Windows does.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry_db.h"

namespace winsim::registry {

using KeyId = int64_t;

// The two hives stored in the database; the predefined keys are paths in them.
enum class Hive : KeyId { Machine = 1, Users = 2 };
inline KeyId RootOf(Hive hive) { return static_cast<KeyId>(hive); }

struct ValueRecord {
  std::u16string name;
  DWORD type = 0;
  std::string data;  // raw bytes; strings as UTF-16LE
};

bool KeyExists(Db& db, KeyId key);
std::optional<KeyId> FindSubkey(Db& db, KeyId parent, std::u16string_view name);
KeyId CreateSubkey(Db& db, KeyId parent, std::u16string_view name);
struct SubkeyRecord {
  std::u16string name;
  int64_t written = 0;  // last write time, FILETIME units
};
// The subkey at `index` in Windows' enumeration order (by upper-case name).
std::optional<SubkeyRecord> SubkeyAt(Db& db, KeyId parent, int64_t index);
bool HasSubkeys(Db& db, KeyId key);
// Removes the key, its subkeys and all their values.
void DeleteKeyTree(Db& db, KeyId key);

std::optional<ValueRecord> FindValue(Db& db, KeyId key, std::u16string_view name);
// The value at `index` in creation order.
std::optional<ValueRecord> ValueAt(Db& db, KeyId key, int64_t index);
// Creates or overwrites; an overwritten value keeps its place in the order.
void StoreValue(Db& db, KeyId key, std::u16string_view name, DWORD type, std::string_view data);
bool RemoveValue(Db& db, KeyId key, std::u16string_view name);

// Walks `path` from `from`, creating missing keys when `create` is set.
// Returns the key, or nothing when a component is missing (and not created).
// *created tells whether the last component was made by this call.
std::optional<KeyId> WalkPath(Db& db, KeyId from, const std::vector<std::u16string>& path, bool create,
                              bool* created = nullptr);

}  // namespace winsim::registry
