// The operations of reg.exe. Each takes the arguments after the operation
// name and returns the exit code.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "windows.h"

namespace reg {

int RunQuery(const std::vector<std::string>& args);
int RunAdd(const std::vector<std::string>& args);
int RunDelete(const std::vector<std::string>& args);

// The switches after the key name.
struct Options {
  std::optional<std::string> value;      // /v name
  bool valueEmpty = false;               // /ve
  bool allValues = false;                // /va
  bool recurse = false;                  // /s (QUERY)
  std::optional<std::string> separator;  // /s c (ADD)
  std::optional<std::string> type;       // /t
  std::optional<std::string> data;       // /d
  bool force = false;                    // /f
  REGSAM view = 0;                       // /reg:32, /reg:64
};

// Reads the switches in args[from..] that `allowed` names (blank-separated,
// e.g. "v ve s reg"); false for an unknown, repeated or incomplete one.
bool ParseOptions(const std::vector<std::string>& args, size_t from, const std::string& allowed, Options* out);

// A value's type and data through the A functions, whatever its size.
LSTATUS ReadValue(HKEY key, const char* name, DWORD* type, std::string* data);
LSTATUS ReadValueAt(HKEY key, DWORD index, std::string* name, DWORD* type, std::string* data);
std::optional<std::string> SubkeyAt(HKEY key, DWORD index);

}  // namespace reg
