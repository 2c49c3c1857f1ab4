// The machine's wireless profiles: one file per profile, the document as it
// was added, named {profile GUID}.xml in the interface's folder
// C:\ProgramData\Microsoft\Wlansvc\Profiles\Interfaces\{interface GUID}.
// Profiles of one user only (user=current) are in its subfolder
// Users\<user name>. Profile GUIDs begin with the time they were made, so
// the file names sort in the order the profiles were added.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "windows.h"

namespace netsh {

constexpr const char* kInterfaceName = "Wi-Fi";

struct StoredProfile {
  std::string name;      // UTF-8
  std::string fileName;  // "{GUID}.xml"
  std::string path;      // Windows path of the file (ANSI)
  bool currentUser = false;
};

// Every profile, in the order they were added.
std::vector<StoredProfile> ListProfiles();
// The profile of that name (case-insensitive), if any.
std::optional<StoredProfile> FindProfile(const std::string& nameUtf8);

// Stores a profile document, replacing `existing` when given (it keeps its
// place in the order). Returns a Windows error code.
DWORD SaveProfile(const std::string& document, bool currentUser, const std::optional<StoredProfile>& existing);
DWORD DeleteProfile(const StoredProfile& profile);

// Reads a whole file through the layer; returns a Windows error code.
DWORD ReadWholeFile(const std::string& path, std::string* bytes);

}  // namespace netsh
