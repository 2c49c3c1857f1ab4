// netsh wlan: adding, deleting and listing wireless profiles, with netsh's
// messages. Each returns the exit code (0 success, 1 failure).
#pragma once
#include <string>
#include <vector>

namespace netsh {

int AddProfile(const std::vector<std::string>& args);
int DeleteProfileCommand(const std::vector<std::string>& args);
int ShowProfiles(const std::vector<std::string>& args);

}  // namespace netsh
