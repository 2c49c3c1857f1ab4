// Machine-wide names of file mappings. Each name is a file under the
// machine's run/ folder that every process holding the name keeps open
// with a shared lock; a name nobody holds any more (its holders ended,
// also when killed) counts as absent. Creating and opening happen under one
// machine-wide lock, so taking a free name is one step across processes.
#pragma once
#include <cstdint>
#include <string>

#include "windef.h"

namespace winsim::process {

struct HeldName {
  DWORD error = 0;       // non-zero: failed with this Windows code
  int fd = -1;           // open, close-on-exec, holding the shared lock
  std::string path;      // the name's file
  uint64_t size = 0;     // the mapping's size in bytes
  bool created = false;  // this call made the name (zero-filled content)
};

// Takes the name: opens it when someone holds it, else makes it anew with
// `size` zero bytes.
HeldName CreateNamedMapping(const char* name, uint64_t size);
// Opens a name someone holds; ERROR_FILE_NOT_FOUND when nobody does.
HeldName OpenNamedMapping(const char* name);
// Lets go of a name: closes the descriptor and removes the file when no
// other handle holds it. (A killed holder's file goes at the next use.)
void ReleaseNamedMapping(int fd, const std::string& path);

}  // namespace winsim::process
