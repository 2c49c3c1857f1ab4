// The compiled resource file format (.res), as a resource compiler writes
// it: a sequence of entries, each a header (data size, header size, type,
// name, data version, memory flags, language, version, characteristics)
// followed by the data, every header and every data block starting on a
// DWORD boundary. Types and names are ordinals (0xFFFF, id) or
// zero-terminated UTF-16 strings.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "windows.h"

namespace winsim::process {

// A resource type or name: an ordinal, or a string.
struct ResId {
  bool named = false;
  WORD ordinal = 0;
  std::u16string name;
};

// One resource. `data` points into the buffer given to ParseResFile.
struct ResEntry {
  ResId type;
  ResId name;
  WORD language = 0;
  WORD memoryFlags = 0;
  const BYTE* data = nullptr;
  DWORD size = 0;
};

// Reads every resource of a .res image, leaving out the empty entry that
// starts such a file. False, with *out untouched, when an entry runs past
// `size` or its header does not hold together.
bool ParseResFile(const void* bytes, size_t size, std::vector<ResEntry>* out);

}  // namespace winsim::process
