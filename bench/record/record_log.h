// The install log and the installed configuration copy in the machine record.
#pragma once
#include <string>

#include "record_text.h"

namespace record {

// The log's lines without their time stamps, placeholders applied, each as
// "| <message>"; a line that does not end in CR LF gets " <LF only>" (or
// " <no line end>" at the end of the file). Lines that tell whether a
// started command outlived the program's short wait are left out: that
// depends on the speed of the machine, not on what was done.
void RecordLog(const std::string& path, const Placeholders& placeholders);

// Section/key values of an initialization file, read with
// GetPrivateProfileStringA: `Root/InstallSuccess = "1"`, or "(missing)".
void RecordIniValues(const std::string& path, const Placeholders& placeholders);

}  // namespace record
