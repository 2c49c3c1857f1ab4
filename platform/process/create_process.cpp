// CreateProcessA: finds the program, starts it as a host child process that
// sees the machine as its parent does, and journals the start.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "command_line.h"
#include "exit_record.h"
#include "kernel_objects.h"
#include "launch_env.h"
#include "program_search.h"
#include "reaper.h"
#include "child_spawn.h"
#include "start_hook.h"
#include "windows.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"
#include "winsim/paths.h"

extern char** environ;

namespace {

using namespace winsim::process;

bool IsLaunchVariable(std::string_view entry) {
  for (const char* name : {kMachineVar, kCommandLineVar, kImageVar, kCurrentDirectoryVar, kShowVar, kPidVar}) {
    size_t n = std::strlen(name);
    if (entry.size() > n && entry.compare(0, n, name) == 0 && entry[n] == '=') return true;
  }
  return false;
}

// The caller's environment (or the block it passed), without launch
// variables meant for some other process.
std::vector<std::string> BaseEnvironment(LPVOID block) {
  std::vector<std::string> env;
  if (block) {
    for (const char* p = static_cast<const char*>(block); *p; p += std::strlen(p) + 1) {
      if (!IsLaunchVariable(p)) env.emplace_back(p);
    }
  } else {
    for (char** e = environ; e && *e; ++e) {
      if (!IsLaunchVariable(*e)) env.emplace_back(*e);
    }
  }
  return env;
}

struct ChildDirectory {
  DWORD error = 0;
  std::string windowsPath;  // ANSI
  std::string host;
};

ChildDirectory DirectoryFor(LPCSTR requested) {
  ChildDirectory d;
  winsim::ResolvedPath r =
      requested ? winsim::ResolvePathA(requested) : winsim::ResolvePath(winsim::CurrentDirectory());
  if (requested && (r.error || !r.exists || !r.isDirectory)) {
    d.error = ERROR_DIRECTORY;
    return d;
  }
  d.windowsPath = requested ? winsim::Utf16ToAnsi(r.full) : winsim::Utf16ToAnsi(winsim::CurrentDirectory());
  d.host = r.host.empty() ? "/" : r.host;
  return d;
}

}  // namespace

extern "C" BOOL WINAPI CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine, LPSECURITY_ATTRIBUTES,
                                      LPSECURITY_ATTRIBUTES, BOOL, DWORD dwCreationFlags, LPVOID lpEnvironment,
                                      LPCSTR lpCurrentDirectory, LPSTARTUPINFOA lpStartupInfo,
                                      LPPROCESS_INFORMATION lpProcessInformation) {
  if (!lpStartupInfo || !lpProcessInformation) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ProgramChoice program = ChooseProgram(lpApplicationName, lpCommandLine);
  if (program.error) {
    SetLastError(program.error);
    return FALSE;
  }
  ChildDirectory directory = DirectoryFor(lpCurrentDirectory);
  if (directory.error) {
    SetLastError(directory.error);
    return FALSE;
  }

  const bool useShow = (lpStartupInfo->dwFlags & STARTF_USESHOWWINDOW) != 0;
  SpawnRequest request;
  request.image = program.hostImage;
  request.arguments.push_back(program.hostImage);
  const std::string& line = program.childCommandLine;
  for (auto& a : SplitArguments(std::string_view(line).substr(ProgramTokenEnd(line)))) {
    request.arguments.push_back(std::move(a));
  }
  request.environment = BaseEnvironment(lpEnvironment);
  request.environment.push_back(std::string(kMachineVar) + "=" + winsim::MachineRoot());
  request.environment.push_back(std::string(kCommandLineVar) + "=" + line);
  request.environment.push_back(std::string(kImageVar) + "=" + program.windowsImage);
  request.environment.push_back(std::string(kCurrentDirectoryVar) + "=" + directory.windowsPath);
  request.environment.push_back(std::string(kShowVar) + "=" +
                                (useShow ? std::to_string(lpStartupInfo->wShowWindow) : std::string()));
  request.hostDirectory = directory.host;
  request.newProcessGroup = (dwCreationFlags & CREATE_NEW_PROCESS_GROUP) != 0;
  // A hidden console is never seen; with its own standard handles the
  // child writes where the caller asked (here: where the caller writes).
  request.discardOutput =
      useShow && lpStartupInfo->wShowWindow == SW_HIDE && !(lpStartupInfo->dwFlags & STARTF_USESTDHANDLES);

  // The start's journal line, written by the child itself before its
  // program runs: nothing the program does can come before it.
  const std::string journalText = lpCommandLine ? std::string(lpCommandLine) : line;
  mkdir(winsim::JournalDir().c_str(), 0755);
  request.journalPath = winsim::JournalDir() + "/processes.log";
  request.journalHead = winsim::NowIso8601() + " " + std::to_string(getpid()) + " ";
  request.journalTail = " " + journalText + "\n";
  request.exitRecordDir = ExitRecordDir();
  pid_t pid = 0;
  if (DWORD error = Spawn(request, &pid)) {
    SetLastError(error);
    return FALSE;
  }
  auto record = std::make_shared<ProcessRecord>(pid);
  WatchChild(record);
  ParkAtChildStartIfAsked();
  lpProcessInformation->hProcess = winsim::NewHandle(std::make_shared<ProcessObject>(record));
  lpProcessInformation->hThread = winsim::NewHandle(std::make_shared<ThreadObject>(record, static_cast<DWORD>(pid)));
  lpProcessInformation->dwProcessId = static_cast<DWORD>(pid);
  lpProcessInformation->dwThreadId = static_cast<DWORD>(pid);
  return TRUE;
}
