// `winsim run <command line>`: the host side's way to start a program of
// the machine, such as an uninstall entry's command, as Windows would.
#include "winsim_run.h"

#include <cstdio>
#include <vector>

#include "windows.h"
#include "winsim/codepage.h"

int WinsimRun(const std::string& commandLineUtf8) {
  std::string line = winsim::Utf8ToAnsi(commandLineUtf8);
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "winsim run: cannot start %s (error %lu)\n", commandLineUtf8.c_str(),
                 static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}
