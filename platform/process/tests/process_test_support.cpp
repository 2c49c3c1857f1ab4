#include "process_test_support.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <vector>

#include "machine_fixture.h"
#include "winsim/paths.h"

namespace proctest {

std::string HostOf(const std::string& windowsPath) { return winsim::ResolvePathA(windowsPath.c_str()).host; }

void InstallChild(const std::string& windowsPath) {
  std::filesystem::path target = HostOf(windowsPath);
  std::filesystem::create_directories(target.parent_path());
  std::filesystem::copy_file(winsim::testing::BinDir() + "/winsim_testchild.exe", target,
                             std::filesystem::copy_options::overwrite_existing);
}

void WriteMachineFile(const std::string& windowsPath, const std::string& bytes) {
  std::filesystem::path target = HostOf(windowsPath);
  std::filesystem::create_directories(target.parent_path());
  winsim::testing::WriteHostFile(target.string(), bytes);
}

ReportFile::ReportFile() : path_(winsim::testing::TempHostDir() + "/report.txt") {
  setenv("TESTCHILD_REPORT", path_.c_str(), 1);
}

ReportFile::~ReportFile() { unsetenv("TESTCHILD_REPORT"); }

std::string ReportFile::Text() const { return winsim::testing::ReadHostFile(path_); }

std::map<std::string, std::string> ReportFile::Read() const {
  std::map<std::string, std::string> values;
  std::istringstream in(Text());
  std::string line;
  while (std::getline(in, line)) {
    size_t eq = line.find('=');
    if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return values;
}

Started Start(const std::string& commandLine, DWORD flags, const char* currentDirectory,
              const char* applicationName, DWORD startFlags, WORD show) {
  std::vector<char> buffer(std::max<size_t>(MAX_PATH, commandLine.size() + 1), '\0');
  std::memcpy(buffer.data(), commandLine.data(), commandLine.size());
  const std::vector<char> before = buffer;
  STARTUPINFOA si;
  std::memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = startFlags;
  si.wShowWindow = show;
  Started s;
  std::memset(&s.info, 0xCC, sizeof s.info);
  SetLastError(0xdeadbeef);
  s.ok = CreateProcessA(applicationName, buffer.data(), nullptr, nullptr, FALSE, flags, nullptr, currentDirectory, &si,
                        &s.info);
  s.error = GetLastError();
  s.bufferUnchanged = buffer == before;
  return s;
}

DWORD Finish(const Started& started) {
  if (!started.ok) return STILL_ACTIVE;
  WaitForSingleObject(started.info.hProcess, 10000);
  DWORD code = 0xdeadbeef;
  GetExitCodeProcess(started.info.hProcess, &code);
  CloseHandle(started.info.hThread);
  CloseHandle(started.info.hProcess);
  return code;
}

}  // namespace proctest
