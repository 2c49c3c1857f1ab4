#include "key_handles.h"

#include <map>
#include <mutex>

#include "winsim/codepage.h"
#include "winsim/machine.h"

namespace winsim::registry {
namespace {

constexpr REGSAM kWriteDac = 0x00040000;
constexpr REGSAM kWriteOwner = 0x00080000;
constexpr REGSAM kGenericRead = 0x80000000;
constexpr REGSAM kGenericWrite = 0x40000000;
constexpr REGSAM kGenericExecute = 0x20000000;
constexpr REGSAM kGenericAll = 0x10000000;

struct Table {
  std::mutex mutex;
  std::map<uintptr_t, KeyBase> keys;
  // Key handles are multiples of 4 as on Windows, in a range of their own so
  // that they never look like a kernel handle of the layer.
  uintptr_t next = 0x10000000;
};

Table& Handles() {
  static Table* table = new Table;  // never destroyed: threads may outlive main
  return *table;
}

std::optional<KeyBase> Predefined(HKEY key) {
  key = CanonicalKey(key);
  KeyBase base;
  base.predefined = true;
  if (key == HKEY_LOCAL_MACHINE) {
    base.hive = Hive::Machine;
  } else if (key == HKEY_CLASSES_ROOT) {
    base.hive = Hive::Machine;
    base.path = {u"Software", u"Classes"};
  } else if (key == HKEY_USERS) {
    base.hive = Hive::Users;
  } else if (key == HKEY_CURRENT_USER) {
    base.hive = Hive::Users;
    base.path = {Utf8ToUtf16(Config().user)};
    base.fixedPrefix = 1;
  } else {
    return std::nullopt;
  }
  base.access = GrantedRights(MAXIMUM_ALLOWED, base.hive);
  return base;
}

}  // namespace

// Windows compares the low 32 bits: HKEY_LOCAL_MACHINE kept in a DWORD and
// widened without its sign is still HKEY_LOCAL_MACHINE.
HKEY CanonicalKey(HKEY key) {
  const auto low = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(key));
  for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS}) {
    if (low == static_cast<uint32_t>(reinterpret_cast<uintptr_t>(root))) return root;
  }
  return key;
}

bool IsPredefinedKey(HKEY key) { return Predefined(key).has_value(); }

bool BaseOf(HKEY key, KeyBase* base) {
  if (auto root = Predefined(key)) {
    *base = std::move(*root);
    return true;
  }
  Table& table = Handles();
  std::lock_guard<std::mutex> lock(table.mutex);
  auto it = table.keys.find(reinterpret_cast<uintptr_t>(key));
  if (it == table.keys.end()) return false;
  *base = it->second;
  return true;
}

HKEY NewKeyHandle(KeyBase base) {
  Table& table = Handles();
  std::lock_guard<std::mutex> lock(table.mutex);
  uintptr_t value = table.next;
  table.next += 4;
  base.predefined = false;
  table.keys.emplace(value, std::move(base));
  return reinterpret_cast<HKEY>(value);
}

bool CloseKeyHandle(HKEY key) {
  if (Predefined(key)) return true;
  Table& table = Handles();
  std::lock_guard<std::mutex> lock(table.mutex);
  return table.keys.erase(reinterpret_cast<uintptr_t>(key)) != 0;
}

REGSAM GrantedRights(REGSAM sam, Hive hive) {
  REGSAM rights = sam & ~(KEY_WOW64_32KEY | KEY_WOW64_64KEY | MAXIMUM_ALLOWED | kGenericRead | kGenericWrite |
                          kGenericExecute | kGenericAll);
  if (sam & kGenericRead) rights |= KEY_READ;
  if (sam & kGenericWrite) rights |= KEY_WRITE;
  if (sam & kGenericExecute) rights |= KEY_EXECUTE;
  if (sam & kGenericAll) rights |= KEY_ALL_ACCESS;
  if (sam & MAXIMUM_ALLOWED) rights |= UserMayWrite(hive) ? KEY_ALL_ACCESS : KEY_READ;
  return rights;
}

bool IsWriteRequest(REGSAM rights) {
  return (rights & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE | kWriteDac | kWriteOwner)) != 0;
}

bool UserMayWrite(Hive hive) { return hive != Hive::Machine || Config().admin; }

}  // namespace winsim::registry
