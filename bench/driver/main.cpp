// wizard_driver: clicks through the setup program's wizard from beside it.
//
//   wizard_driver.exe [--program NAME]... [--timeout SECONDS]
//                     (--script FILE | STEP...)
//
// The program is started separately; the driver finds its windows by the
// name of its executable (--program, repeatable; without it, any program's
// dialogs). Steps come from a UTF-8 file, one a line, or as arguments, one
// an argument (driver_script.h lists them). Exit code 0 when every step
// succeeded, 1 when one failed (the message names it), 2 for a bad command
// line or script.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver_script.h"
#include "program_windows.h"
#include "step_runner.h"
#include "text.h"

namespace {

constexpr int kDefaultTimeoutSeconds = 60;

int Usage(const std::string& why) {
  std::fprintf(stderr,
               "wizard_driver: %s\n"
               "usage: wizard_driver.exe [--program NAME]... [--timeout SECONDS] (--script FILE | STEP...)\n",
               why.c_str());
  return 2;
}

bool ReadFileBytes(const std::wstring& path, std::string* bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes->append(buffer, n);
  CloseHandle(file);
  if (bytes->rfind("\xEF\xBB\xBF", 0) == 0) bytes->erase(0, 3);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> programs;
  std::vector<std::string> lines;
  int timeout = kDefaultTimeoutSeconds;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == L"--program" && hasValue) {
      programs.push_back(argv[++i]);
    } else if (arg == L"--timeout" && hasValue) {
      timeout = _wtoi(argv[++i]);
      if (timeout <= 0) return Usage("--timeout needs seconds");
    } else if (arg == L"--script" && hasValue) {
      std::string text;
      if (!ReadFileBytes(argv[++i], &text)) return Usage("cannot read the script " + driver::ToUtf8(argv[i]));
      for (auto& line : driver::SplitLines(text)) lines.push_back(line);
    } else if (arg.rfind(L"--", 0) == 0) {
      return Usage("unknown option " + driver::ToUtf8(arg));
    } else {
      lines.push_back(driver::ToUtf8(arg));
    }
  }
  const driver::Script script = driver::ParseScript(lines);
  if (!script.error.empty()) return Usage(script.error);
  if (script.steps.empty()) return Usage("no steps");

  const driver::ProgramWindows program(programs);
  driver::StepRunner runner(program, timeout, stdout, stderr);
  return runner.Run(script.steps);
}
