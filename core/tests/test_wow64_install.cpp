// The 32-bit build on a 64-bit machine runs under WOW64: its system-folder
// libraries land in SysWOW64, its keys under WOW6432Node, the programs it
// starts from System32 are the 32-bit ones; its uninstall leaves the
// machine as the 64-bit build's uninstall leaves it, seen through the same
// redirections.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <string>

#include "machine_fixture.h"
#include "setup_run.h"
#include "windows.h"
#include "winsim/machine.h"

namespace {

namespace fs = std::filesystem;

const char kPluginKey[] = "SOFTWARE\\Bramblecast\\Veltrane RAZ\\Common";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrane RAZ";
const char kWowPluginKey[] = "SOFTWARE\\WOW6432Node\\Bramblecast\\Veltrane RAZ\\Common";
const char kWowUninstallKey[] = "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrane RAZ";
const char kClassKey[] = "SOFTWARE\\Classes\\CLSID\\{A4D1C7E2-5B39-4F8A-9E6D-0C2B71F3D58A}";
const char kWowClassKey[] = "SOFTWARE\\Classes\\WOW6432Node\\CLSID\\{A4D1C7E2-5B39-4F8A-9E6D-0C2B71F3D58A}";

// Every key and value under a key of HKLM, as "key <path>" and
// "value <path>\<name>=<type>:<bytes as hex>" lines.
void AddKeys(HKEY parent, const std::string& path, std::set<std::string>* out) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return;
  out->insert("key " + path);
  for (DWORD i = 0;; ++i) {
    char name[16384];
    DWORD nameLen = sizeof name;
    BYTE data[8192];
    DWORD dataLen = sizeof data;
    DWORD type = 0;
    if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data, &dataLen) != ERROR_SUCCESS) break;
    std::string line = "value " + path + "\\" + name + "=" + std::to_string(type) + ":";
    for (DWORD b = 0; b < dataLen; ++b) line += "0123456789abcdef"[data[b] >> 4], line += "0123456789abcdef"[data[b] & 15];
    out->insert(line);
  }
  std::set<std::string> subkeys;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD nameLen = sizeof name;
    if (RegEnumKeyExA(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.insert(name);
  }
  RegCloseKey(key);
  for (const auto& sub : subkeys) AddKeys(parent, path.empty() ? sub : path + "\\" + sub, out);
}

// The machine's files, folders and HKLM, one line each.
std::set<std::string> Snapshot(const e2e::Setup& setup) {
  std::set<std::string> out;
  const fs::path drive = fs::path(setup.machine) / "drive_c";
  for (const auto& entry : fs::recursive_directory_iterator(drive)) {
    out.insert((entry.is_directory() ? "folder " : "file ") + fs::relative(entry.path(), drive).string());
  }
  AddKeys(HKEY_LOCAL_MACHINE, "", &out);
  return out;
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

// What a 32-bit program's names are for a 64-bit program: SysWOW64 is
// System32, a WOW6432Node level is not there.
std::string Native(std::string line) {
  line = Lower(line);
  for (const std::string from : {"\\wow6432node", "/wow6432node"}) {
    for (size_t at; (at = line.find(from)) != std::string::npos;) line.erase(at, from.size());
  }
  for (size_t at; (at = line.find("syswow64")) != std::string::npos;) line.replace(at, 8, "system32");
  return line;
}

// Lines of `after` not in `before` ("+ ") and of `before` not in `after`
// ("- "), in the native spelling.
std::set<std::string> Changes(const std::set<std::string>& before, const std::set<std::string>& after) {
  std::set<std::string> out;
  for (const auto& line : after) {
    if (!before.count(line)) out.insert("+ " + Native(line));
  }
  for (const auto& line : before) {
    if (!after.count(line)) out.insert("- " + Native(line));
  }
  return out;
}

// Installs and uninstalls silently with one build on a fresh x64 machine;
// the changes the two runs leave behind.
std::set<std::string> InstallAndUninstall(const char* program, bool checkWow64State) {
  const e2e::Setup setup = e2e::FreshSetup();
  EXPECT_EQ("x64", winsim::Config().arch);
  const std::set<std::string> fresh = Snapshot(setup);
  const std::string run = "\"" + setup.sourceWin + "\\" + program + "\" ";
  EXPECT_EQ(0, e2e::Run(run + "/i /s", setup.sourceWin, {}));
  if (checkWow64State) {
    // The libraries of the system folder, and the log, in SysWOW64.
    for (const char* name : {"nxc1xu32.dll", "ORV_EapPeap.dll", "VelGTCInstall.log"}) {
      EXPECT_TRUE(e2e::Exists(std::string("C:\\Windows\\SysWOW64\\") + name)) << name;
      EXPECT_FALSE(e2e::Exists(std::string("C:\\Windows\\System32\\") + name)) << name;
    }
    // The keys in the 32-bit view, none in the 64-bit one.
    EXPECT_EQ(u"C:\\Program Files\\Bramblecast\\Veltrane RAZ", e2e::RegString(HKEY_LOCAL_MACHINE, kWowPluginKey, u"Install Path"));
    EXPECT_TRUE(e2e::RegString(HKEY_LOCAL_MACHINE, kWowUninstallKey, u"QuietUninstallString").has_value());
    EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey));
    EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    // Registered by the 32-bit regsvr32 of SysWOW64: the class is in the
    // 32-bit view of the classes.
    EXPECT_TRUE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kWowClassKey));
    EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kClassKey));
    // The program asked for System32's regsvr32, as it always does.
    const auto started = e2e::StartedCommandLines();
    EXPECT_NE(started.end(), std::find(started.begin(), started.end(),
                                       "C:\\Windows\\System32\\Regsvr32 /s \"C:\\Windows\\System32\\ORV_EapPeap.dll\""));
  }
  EXPECT_EQ(0, e2e::Run(run + "/u /s", setup.sourceWin, {"answer IDYES"}));
  return Changes(fresh, Snapshot(setup));
}

TEST(Wow64Install, ThirtyTwoBitBuildLeavesWhatTheSixtyFourBitBuildLeaves) {
  const std::set<std::string> left32 = InstallAndUninstall("VeltraneGTC32.exe", true);
  const std::set<std::string> left64 = InstallAndUninstall("VeltraneGTC64.exe", false);
  // The uninstall removes what it removes: the libraries are gone from
  // SysWOW64 and the uninstall entry from WOW6432Node.
  EXPECT_FALSE(left32.count("+ file windows/system32/orv_eappeap.dll"));
  EXPECT_FALSE(left32.count("+ key software\\microsoft\\windows\\currentversion\\uninstall\\veltrane raz"));
  EXPECT_TRUE(left32.count("+ file windows/system32/velgtcinstall.log"));
  std::string diff;
  for (const auto& line : left32) {
    if (!left64.count(line)) diff += "only 32-bit: " + line + "\n";
  }
  for (const auto& line : left64) {
    if (!left32.count(line)) diff += "only 64-bit: " + line + "\n";
  }
  EXPECT_EQ("", diff);
}

}  // namespace
