#include "key_tree.h"

namespace eap {

LONG DeleteKeyTree(HKEY root, const char* path) {
  HKEY key = nullptr;
  LONG status = RegOpenKeyExA(root, path, 0, KEY_READ, &key);
  if (status != ERROR_SUCCESS) return status;
  // A key name is at most 255 characters; in a double-byte code page each
  // may take two bytes.
  char name[512];
  // Deleting the first subkey moves the next one to index 0.
  for (;;) {
    DWORD length = sizeof name;
    status = RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) break;
    status = DeleteKeyTree(key, name);
    if (status != ERROR_SUCCESS) break;
  }
  RegCloseKey(key);
  if (status != ERROR_NO_MORE_ITEMS) return status;
  return RegDeleteKeyA(root, path);
}

}  // namespace eap
