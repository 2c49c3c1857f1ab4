// The registry entries of the EAP method library.
#pragma once
#include <string>

#include "windows.h"

namespace eap {

// The method's COM class, below HKEY_CLASSES_ROOT.
constexpr const char* kClassId = "{A4D1C7E2-5B39-4F8A-9E6D-0C2B71F3D58A}";
constexpr const char* kClassKey = "CLSID\\{A4D1C7E2-5B39-4F8A-9E6D-0C2B71F3D58A}";
constexpr const char* kClassDescription = "ORV EAP-PEAP Authentication Method";

// The EapHost registration, below HKEY_LOCAL_MACHINE: Methods\<author id>\<EAP type>.
constexpr DWORD kAuthorId = 29301;
constexpr DWORD kEapType = 25;  // PEAP
constexpr const char* kAuthorKey = "SYSTEM\\CurrentControlSet\\Services\\EapHost\\Methods\\29301";
constexpr const char* kMethodKey = "SYSTEM\\CurrentControlSet\\Services\\EapHost\\Methods\\29301\\25";
constexpr const char* kFriendlyName = "ORV EAP-PEAP";

// The Windows path of this library, as the loader knows it.
bool OwnPath(std::string* path);

LONG WriteClassKeys(const std::string& libraryPath);
LONG WriteMethodKeys(const std::string& libraryPath);

}  // namespace eap
