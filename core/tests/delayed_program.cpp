// delayed_program.exe: a program of the machine put in place of a system
// program to make it slow. Started as <folder>\<name>.exe, it waits
// DELAYED_PROGRAM_MS milliseconds (3000 when unset), then runs
// <folder>\<name>_real.exe with its own arguments, waits for it and exits
// with its exit code.
#include <cstdlib>
#include <cstring>
#include <string>

#include "windows.h"

int main() {
  char szModule[MAX_PATH] = {0};
  GetModuleFileNameA(nullptr, szModule, MAX_PATH);
  std::string real = szModule;
  const size_t dot = real.rfind('.');
  if (dot != std::string::npos && dot > real.rfind('\\')) real.erase(dot);
  real += "_real.exe";

  // The arguments: the command line after its first token.
  const std::string line = GetCommandLineA();
  size_t rest = 0;
  if (!line.empty() && line[0] == '"') {
    rest = line.find('"', 1);
    rest = rest == std::string::npos ? line.size() : rest + 1;
  } else {
    rest = line.find(' ');
    if (rest == std::string::npos) rest = line.size();
  }
  std::string commandLine = "\"" + real + "\"" + line.substr(rest);

  const char* delay = std::getenv("DELAYED_PROGRAM_MS");
  Sleep(static_cast<DWORD>(delay && *delay ? std::atoi(delay) : 3000));

  STARTUPINFOA si;
  std::memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  std::memset(&pi, 0, sizeof pi);
  if (!CreateProcessA(real.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return 100;
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return static_cast<int>(code);
}
