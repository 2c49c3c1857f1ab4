// WLAN profile documents (namespace
// http://www.microsoft.com/networking/WLAN/profile/v1), read with libxml2.
#pragma once
#include <optional>
#include <string>

namespace netsh {

struct ProfileInfo {
  std::string name;  // the profile's name element, UTF-8
};

// Reads a profile document: well-formed XML whose root is WLANProfile in the
// profile namespace, with a non-empty name and an SSIDConfig holding an SSID.
// Nothing for anything else.
std::optional<ProfileInfo> ReadProfile(const std::string& document);

}  // namespace netsh
