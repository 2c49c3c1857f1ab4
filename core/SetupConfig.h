// Access to the setup configuration file, VeltraneGTCSetup.ini.
#pragma once
#include <string>

#include "windows.h"

namespace setup {

// Reads one key with an empty default into a buffer of `bufferSize`
// characters (terminator included): a missing file, section or key reads
// as "", and a longer value is cut to bufferSize - 1.
std::string ReadConfigValue(LPCSTR section, LPCSTR key, DWORD bufferSize, LPCSTR path);

// Writes one key; the result is ignored, as every writer of the file does.
void WriteConfigValue(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR path);

// The text lookup: a numbered text key yields the key itself.
std::string LookupText(const char* key);

// The installed copy formed from the Windows folder.
std::string InstalledCopyFromWindowsFolder();

// The installed copy formed from the system folder cut at its last
// backslash, as the two InstallSuccess writers form it.
std::string InstalledCopyFromSystemFolder();

// Command-line switches are case-sensitive substrings of the whole command
// line after its double quotes are removed.
std::string CommandLineWithoutQuotes();
bool CommandLineHas(const std::string& line, const char* text);

}  // namespace setup
