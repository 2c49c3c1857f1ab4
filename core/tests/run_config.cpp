#include "run_config.h"

#include <filesystem>

#include "machine_fixture.h"

namespace e2e {

namespace fs = std::filesystem;

std::string SiteConfig(int useDefaultProfile, const std::vector<std::string>& profileEntries) {
  std::string ini =
      "[Root]\r\nCheckInstallLangue=Korean\r\n[SITE_SPECIFIC]\r\nUseSiteSpecificSetupTitle=\r\nUseAutoConnection=1\r\n"
      "ID=user01\r\nPassword=secret\r\n[InstallMessageOption]\r\nShowMessageInSilentMode=0\r\n"
      "[InstallRoot]\r\nForceReboot=0\r\n[GENERAL]\r\nUseDefaultProfile=" +
      std::to_string(useDefaultProfile) + "\r\n[BASIC_PROFILE]\r\n";
  for (const auto& entry : profileEntries) ini += entry + "\r\n";
  return ini;
}

void ShipConfig(const Setup& setup, int useDefaultProfile, const std::vector<std::string>& profileEntries) {
  winsim::testing::WriteHostFile(setup.source + "/VeltraneGTCSetup.ini", SiteConfig(useDefaultProfile, profileEntries));
  for (const auto& entry : profileEntries) {
    const std::string file = entry.substr(entry.find('=') + 1);
    if (file.empty() || file.find_first_of("\\/:\"") != std::string::npos) continue;
    const std::string name = file.substr(0, file.rfind('.'));
    winsim::testing::WriteHostFile(setup.source + "/" + file, ProfileXml(name));
  }
}

void PlaceProgram(const std::string& hostProgram, const std::string& windowsPath) {
  const std::string target = HostPath(windowsPath);
  fs::remove(target);
  fs::copy_file(hostProgram, target);
  fs::permissions(target, fs::perms::owner_all, fs::perm_options::add);
}

std::vector<std::string> StoredProfiles() {
  std::vector<std::string> names;
  const std::string store = HostPath("C:\\ProgramData\\Microsoft\\Wlansvc\\Profiles\\Interfaces");
  if (!fs::exists(store)) return names;
  for (const auto& entry : fs::recursive_directory_iterator(store)) {
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  }
  return names;
}

int RunInstalled(const std::string& args, const std::vector<std::string>& script) {
  return Run(std::string("\"") + kRecoveryExe + "\" " + args, kRecovery, script);
}

}  // namespace e2e
