// Fixed names and folders of the installation.
#pragma once

namespace setup {

constexpr char kConfigFileName[] = "VeltraneGTCSetup.ini";
constexpr char kProductName[] = "Veltrane RAZ";
constexpr char kRecoveryRoot[] = "C:\\Windows\\Bramblecast";
constexpr char kRecoveryFolder[] = "C:\\Windows\\Bramblecast\\Veltrane RAZ";
constexpr char kInstalledCopyPath[] = "C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGTCSetup.ini";
// The installed copy below the Windows folder, as the title readers form it.
constexpr char kInstalledCopyUnderWindows[] = "\\Bramblecast\\Veltrane RAZ\\VeltraneGTCSetup.ini";
constexpr char kInstallFolder[] = "C:\\Program Files\\Bramblecast\\Veltrane RAZ";
constexpr char kSystemFolder[] = "C:\\Windows\\System32";
constexpr char kPluginKey[] = "Software\\Bramblecast\\Veltrane RAZ";
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrane RAZ";
constexpr char kSingleInstanceName[] = "shared_VeltraneSetup";

}  // namespace setup
