#include "SetupConfig.h"

#include <cstring>
#include <vector>

#include "SetupPaths.h"

namespace setup {

std::string ReadConfigValue(LPCSTR section, LPCSTR key, DWORD bufferSize, LPCSTR path) {
  std::vector<char> buffer(bufferSize + 1, '\0');
  GetPrivateProfileStringA(section, key, "", buffer.data(), bufferSize, path);
  return std::string(buffer.data());
}

void WriteConfigValue(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR path) {
  WritePrivateProfileStringA(section, key, value, path);
}

std::string LookupText(const char* key) { return key ? key : ""; }

std::string InstalledCopyFromWindowsFolder() {
  char szWindows[1024] = {0};
  GetWindowsDirectoryA(szWindows, sizeof szWindows);
  return std::string(szWindows) + kInstalledCopyUnderWindows;
}

std::string InstalledCopyFromSystemFolder() {
  char szSystem[MAX_PATH] = {0};
  GetSystemDirectoryA(szSystem, MAX_PATH);
  std::string folder = szSystem;
  size_t slash = folder.rfind('\\');
  if (slash != std::string::npos) folder.resize(slash);
  folder += "\\Bramblecast\\Veltrane RAZ";
  char szPath[1024] = {0};
  _snprintf_s(szPath, sizeof szPath, _TRUNCATE, "%s\\VeltraneGTCSetup.ini", folder.c_str());
  return szPath;
}

std::string CommandLineWithoutQuotes() {
  std::string line = GetCommandLineA();
  std::string out;
  out.reserve(line.size());
  for (char c : line) {
    if (c != '"') out.push_back(c);
  }
  return out;
}

bool CommandLineHas(const std::string& line, const char* text) { return line.find(text) != std::string::npos; }

}  // namespace setup
