// Helpers of the tests that kill the setup program: starting it with the
// start hook armed, waiting until it parks, killing it, and checking that
// no process it started is left behind.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

#include "setup_run.h"
#include "windows.h"

namespace reliability {

// The configuration these tests install with: two wireless profiles (one
// with a blank in its name), so a silent install starts five programs:
// regsvr32, then netsh to delete and to add each profile.
void WriteTwoProfileConfig(const e2e::Setup& setup);
constexpr int kInstallChildStarts = 5;
constexpr int kUninstallChildStarts = 3;

// The answers a run may need: the uninstall's question, failure notices.
std::vector<std::string> InstallAnswers();
std::vector<std::string> UninstallAnswers();

// True when the install log's last message is one a silent run ends with:
// installed, failed (rolled back), configuration unreadable, or refused
// because the program is installed already.
bool LogEndsWithAClearResult(std::string* last);

// Runs the source folder's program to its end; the exit code or -1.
long RunToEnd(const e2e::Setup& setup, const std::string& args);

// The setup program started through CreateProcessA, not waited for.
struct Running {
  PROCESS_INFORMATION info{};
  bool started = false;
};
// Starts "<folder>\VeltraneGtcSetup.exe <args>" (the source folder's copy
// when `folderWin` is empty) with the scripted user's lines. With
// `parkAtStart` > 0 the program parks at that child start and writes its
// pid to `parkFile`.
Running Start(const e2e::Setup& setup, const std::string& args, const std::vector<std::string>& script,
              int parkAtStart = 0, const std::string& parkFile = "", const std::string& folderWin = "");

// Waits until the parked program wrote its pid, or it ended (false).
bool WaitUntilParked(const Running& running, const std::string& parkFile);

// SIGKILL, then waits for the end and closes the handles.
void KillAndClose(Running& running);

// Waits for the end (up to `ms`), closes the handles; the exit code or -1.
long WaitAndClose(Running& running, DWORD ms = 180000);

// Pids of the processes.log lines (child pid field), in order.
std::vector<pid_t> StartedPids();

// Pids among `pids` still alive after waiting up to `ms` for them; those
// found are killed, so a failing test leaves nothing running.
std::vector<pid_t> Survivors(const std::vector<pid_t>& pids, int ms = 30000);

// Host name (comm) of a living process, empty when it is gone.
std::string HostName(pid_t pid);

}  // namespace reliability
