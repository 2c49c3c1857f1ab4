// Helpers of the process tests: copies of the test child program inside
// the machine, and running command lines the way the setup program does.
#pragma once
#include <map>
#include <string>

#include "windows.h"

namespace proctest {

// Host path behind a Windows path of the test machine.
std::string HostOf(const std::string& windowsPath);
// Copies winsim_testchild.exe to a Windows path (folders are made).
void InstallChild(const std::string& windowsPath);
// Writes a host file at a Windows path (folders are made).
void WriteMachineFile(const std::string& windowsPath, const std::string& bytes);

// Points TESTCHILD_REPORT at a fresh file; children append to it.
class ReportFile {
 public:
  ReportFile();
  ~ReportFile();
  // key=value lines; the last line of a key wins.
  std::map<std::string, std::string> Read() const;
  std::string Text() const;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// CreateProcessA as the setup program calls it: the line copied into a
// zero-filled 260-byte buffer (larger when the line is), hidden window.
struct Started {
  BOOL ok = FALSE;
  DWORD error = 0;
  PROCESS_INFORMATION info{};
  bool bufferUnchanged = true;
};
Started Start(const std::string& commandLine, DWORD flags = 0, const char* currentDirectory = nullptr,
              const char* applicationName = nullptr, DWORD startFlags = STARTF_USESHOWWINDOW, WORD show = 0);

// Waits up to 10 s for a started process, closes its handles and returns
// its exit code (STILL_ACTIVE when it did not end).
DWORD Finish(const Started& started);

}  // namespace proctest
