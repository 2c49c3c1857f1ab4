// Removal of a registry key with everything below it, built on the
// registry operations every Windows offers (open, enumerate, delete), so
// the library needs nothing beyond advapi32 for it.
#pragma once
#include "windows.h"

namespace eap {

// Deletes `path` below `root` with all its subkeys and values.
// ERROR_FILE_NOT_FOUND when the key is not there; otherwise the first
// failure met, with whatever could be deleted before it gone.
LONG DeleteKeyTree(HKEY root, const char* path);

}  // namespace eap
