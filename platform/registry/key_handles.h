// HKEY values: the predefined roots and the keys programs have opened.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "registry_tree.h"
#include "winreg.h"

namespace winsim::registry {

#ifndef DELETE
#define DELETE 0x00010000L
#endif
#ifndef MAXIMUM_ALLOWED
#define MAXIMUM_ALLOWED 0x02000000L
#endif

// Where an operation starts: an opened key, or a predefined root (whose
// key is looked up on each use, since the machine user may change).
struct KeyBase {
  Hive hive = Hive::Machine;
  std::vector<std::u16string> path;  // stored path below the hive root
  size_t fixedPrefix = 0;            // leading components the view was applied to already
  std::optional<KeyId> id;           // the opened key; none for a predefined root
  REGSAM access = 0;                 // rights granted to this handle
  uint64_t generation = 0;           // registry.db the key belongs to (0: any)
  bool predefined = false;
};

// The predefined root whose low 32 bits `key` has, else `key` itself.
HKEY CanonicalKey(HKEY key);
bool IsPredefinedKey(HKEY key);

// Looks the handle up; false for NULL, a closed or an unknown handle.
bool BaseOf(HKEY key, KeyBase* base);

HKEY NewKeyHandle(KeyBase base);
// False when the handle was not open. Predefined roots stay open.
bool CloseKeyHandle(HKEY key);

// The rights a request for `sam` grants: generic rights and MAXIMUM_ALLOWED
// resolved, the view flags removed.
REGSAM GrantedRights(REGSAM sam, Hive hive);
// Whether the rights change the key (create, set, delete, security).
bool IsWriteRequest(REGSAM rights);
// A standard user (machine.conf admin=0) may not change HKEY_LOCAL_MACHINE.
bool UserMayWrite(Hive hive);

}  // namespace winsim::registry
