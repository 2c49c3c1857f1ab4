// The folders and files in the machine record.
#pragma once
#include <string>
#include <vector>

#include "record_text.h"

namespace record {

// Every folder and file below `root` (the root itself as "."), sorted by
// relative path, one line each:
//   dir  H-  Veltrane RAZ
//   file -R  Veltrane RAZ\VeltraneGTCSetup.ini  412 bytes  hash 0123456789abcdef
// with "= source" in place of size and hash when the bytes equal the file
// of the same name in the source folder, and the lines of a changed .ini
// file below it; "absent" when the root is missing.
void RecordTree(const std::string& root, const Placeholders& placeholders);

// The named files of one folder, in the same form, "absent" for a missing one.
void RecordFiles(const std::string& folder, const std::vector<std::string>& names, const Placeholders& placeholders);

}  // namespace record
