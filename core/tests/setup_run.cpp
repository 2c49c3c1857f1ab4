#include "setup_run.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "machine_fixture.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"
#include "winsim/paths.h"

namespace e2e {

namespace fs = std::filesystem;

std::string ProfileXml(const std::string& name) {
  return "<?xml version=\"1.0\"?>\n<WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\">\n"
         "<name>" + name + "</name>\n<SSIDConfig><SSID><name>" + name + "</name></SSID></SSIDConfig>\n"
         "<connectionType>ESS</connectionType>\n<connectionMode>auto</connectionMode>\n"
         "<MSM><security><authEncryption><authentication>WPA2</authentication><encryption>AES</encryption>"
         "<useOneX>true</useOneX></authEncryption></security></MSM>\n</WLANProfile>\n";
}

Setup FreshSetup() {
  Setup s;
  s.machine = winsim::testing::FreshMachine();
  s.source = winsim::testing::TempHostDir() + "/source";
  fs::copy(WINSIM_TEST_SOURCE_DIR, s.source, fs::copy_options::recursive);
  s.sourceWin = winsim::Utf16ToAnsi(winsim::HostToWindows(s.source));
  return s;
}

bool ShippedConfigForcesRestart(const Setup& setup) {
  const std::string path = setup.source + "/VeltraneGTCSetup.ini";
  std::string ini = winsim::testing::ReadHostFile(path);
  const size_t at = ini.find("ForceReboot=0");
  if (at == std::string::npos) return false;
  ini[at + 12] = '1';
  winsim::testing::WriteHostFile(path, ini);
  return true;
}

int Run(const std::string& commandLine, const std::string& currentDirWin, const std::vector<std::string>& script,
        DWORD timeoutMs) {
  const std::string scriptPath = winsim::testing::TempHostDir() + "/user.script";
  std::ofstream(scriptPath) << [&] {
    std::string text;
    for (const auto& line : script) text += line + "\n";
    return text;
  }();
  setenv("WINSIM_USER", scriptPath.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);

  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA si;
  std::memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  std::memset(&pi, 0, sizeof pi);
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, currentDirWin.c_str(), &si, &pi)) {
    return -1;
  }
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  else TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return static_cast<int>(code);
}

int RunSetup(const Setup& setup, const std::string& args, const std::vector<std::string>& script) {
  return Run("\"" + setup.sourceWin + "\\VeltraneGTC64.exe\" " + args, setup.sourceWin, script);
}

std::vector<std::string> LogMessages() {
  const std::string text = winsim::testing::ReadHostFile(HostPath("C:\\Windows\\System32\\VelGTCInstall.log"));
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line.size() >= 20 ? line.substr(20) : line);
  }
  return out;
}

bool LogHas(const std::string& message) {
  for (const auto& m : LogMessages()) {
    if (m == message) return true;
  }
  return false;
}

::testing::AssertionResult InOrder(const std::vector<std::string>& log, const std::vector<std::string>& expected) {
  size_t next = 0;
  for (const auto& m : log) {
    if (next < expected.size() && m == expected[next]) ++next;
  }
  if (next == expected.size()) return ::testing::AssertionSuccess();
  std::string dump;
  for (const auto& m : log) dump += "  | " + m + "\n";
  return ::testing::AssertionFailure() << "missing or out of order: \"" << expected[next] << "\" (line " << next + 1
                                       << " of the expected list); the log was:\n"
                                       << dump;
}

std::vector<std::string> StartedCommandLines() {
  std::vector<std::string> out;
  std::istringstream in(winsim::testing::ReadHostFile(winsim::JournalDir() + "/processes.log"));
  std::string line;
  while (std::getline(in, line)) {
    // <time> <parent pid> <child pid> <command line>
    size_t pos = 0;
    for (int field = 0; field < 3 && pos != std::string::npos; ++field) pos = line.find(' ', pos + (field ? 1 : 0));
    if (pos != std::string::npos) out.push_back(line.substr(pos + 1));
  }
  return out;
}

std::optional<std::u16string> RegString(HKEY root, const char* key, const char16_t* name) {
  HKEY hKey = nullptr;
  if (RegOpenKeyExA(root, key, 0, KEY_READ, &hKey) != ERROR_SUCCESS) return std::nullopt;
  WCHAR buffer[2048] = {0};
  DWORD size = sizeof buffer - sizeof(WCHAR);
  DWORD type = 0;
  LONG result = RegQueryValueExW(hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(hKey);
  if (result != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  return std::u16string(buffer);
}

bool RegKeyExists(HKEY root, const char* key) {
  HKEY hKey = nullptr;
  if (RegOpenKeyExA(root, key, 0, KEY_READ, &hKey) != ERROR_SUCCESS) return false;
  RegCloseKey(hKey);
  return true;
}

std::string HostPath(const std::string& windowsPath) { return winsim::ResolvePathA(windowsPath.c_str()).host; }

bool Exists(const std::string& windowsPath) { return GetFileAttributesA(windowsPath.c_str()) != INVALID_FILE_ATTRIBUTES; }

DWORD Attributes(const std::string& windowsPath) { return GetFileAttributesA(windowsPath.c_str()); }

std::string IniValue(const std::string& windowsPath, const char* section, const char* key) {
  char buffer[1024] = {0};
  GetPrivateProfileStringA(section, key, "", buffer, sizeof buffer, windowsPath.c_str());
  return buffer;
}

}  // namespace e2e
