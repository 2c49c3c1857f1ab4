// Site configurations and machine changes shared by the end-to-end tests
// of started programs and run outcomes.
#pragma once
#include <string>
#include <vector>

#include "setup_run.h"

namespace e2e {

inline constexpr char kRecovery[] = "C:\\Windows\\Bramblecast\\Veltrane RAZ";
inline constexpr char kRecoveryIni[] = "C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGTCSetup.ini";
inline constexpr char kRecoveryExe[] = "C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGtcSetup.exe";
inline constexpr char kInstall[] = "C:\\Program Files\\Bramblecast\\Veltrane RAZ";
inline constexpr char kPluginKey[] = "Software\\Bramblecast\\Veltrane RAZ";
inline constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrane RAZ";
inline constexpr char kPluginLibrary[] = "C:\\Windows\\System32\\ORV_EapPeap.dll";
inline constexpr char kCryptoLibrary[] = "C:\\Windows\\System32\\nxc1xu32.dll";
// The EAP library's COM class, as its registration writes it.
inline constexpr char kClassServerKey[] = "CLSID\\{A4D1C7E2-5B39-4F8A-9E6D-0C2B71F3D58A}\\InprocServer32";

// A configuration with notices off and no restart, "UseDefaultProfile" as
// given and these profile entries ("NAME=value" lines).
std::string SiteConfig(int useDefaultProfile, const std::vector<std::string>& profileEntries);

// Writes the configuration and a WLAN profile file for every entry value
// that is a plain file name into the source folder.
void ShipConfig(const Setup& setup, int useDefaultProfile, const std::vector<std::string>& profileEntries);

// Replaces a program of the machine by a copy of a host program (the old
// file is unlinked first: the machine's programs may be hard links).
void PlaceProgram(const std::string& hostProgram, const std::string& windowsPath);

// Files in the machine's wireless profile store.
std::vector<std::string> StoredProfiles();

// Runs the installed copy: "<recovery>\VeltraneGtcSetup.exe <args>" from the
// recovery folder.
int RunInstalled(const std::string& args, const std::vector<std::string>& script);

}  // namespace e2e
