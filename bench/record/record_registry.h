// The registry keys in the machine record.
#pragma once
#include <string>

#include "record_text.h"

namespace record {

// A key and everything below it, keys and values sorted by name:
//   key HKLM\SOFTWARE\Bramblecast\Veltrane RAZ\Common
//     "Install Path" REG_SZ 88 bytes: C:\Program Files\...<NUL>
//     "Flags" REG_DWORD 4 bytes: 0x00000001 (1)
// String data is shown as stored (read with the wide function), so a
// missing or doubled terminator shows as a size and a <NUL>; a string's
// size counts a placeholder as the placeholder's own text. "absent" when
// the key cannot be opened.
void RecordKey(HKEY root, const std::string& rootName, const std::string& path, const Placeholders& placeholders);

}  // namespace record
