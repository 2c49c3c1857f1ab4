// Key names as reg.exe takes them: a root ("HKLM" or "HKEY_LOCAL_MACHINE",
// HKCU, HKCR, HKU) and a path below it.
#pragma once
#include <optional>
#include <string>

#include "windows.h"

namespace reg {

struct KeyName {
  HKEY root = nullptr;
  std::string path;     // below the root, without trailing backslashes ("" for the root)
  std::string display;  // as reg.exe shows it: the root's full name, then the path
};

// Nothing for a name whose root is not one of the predefined keys.
std::optional<KeyName> ParseKeyName(const std::string& text);

// The display name of a subkey.
std::string SubkeyDisplay(const std::string& parent, const std::string& name);
std::string SubkeyPath(const std::string& parent, const std::string& name);

}  // namespace reg
