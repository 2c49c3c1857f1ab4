#include "kill_support.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "machine_fixture.h"
#include "winsim/machine.h"

extern char** environ;

namespace reliability {

void WriteTwoProfileConfig(const e2e::Setup& setup) {
  winsim::testing::WriteHostFile(setup.source + "/VeltraneGTCSetup.ini",
                                 "[Root]\r\nCheckInstallLangue=Korean\r\n"
                                 "[SITE_SPECIFIC]\r\nUseSiteSpecificSetupTitle=\r\nUseAutoConnection=1\r\nID=user01\r\n"
                                 "Password=pass word\r\n"
                                 "[InstallMessageOption]\r\nShowMessageInSilentMode=0\r\n"
                                 "[InstallRoot]\r\nForceReboot=0\r\n"
                                 "[GENERAL]\r\nUseDefaultProfile=1\r\n"
                                 "[BASIC_PROFILE]\r\nPROFILE1=office.xml\r\nPROFILE2=Campus Guest.xml\r\n");
  winsim::testing::WriteHostFile(setup.source + "/office.xml", e2e::ProfileXml("office"));
  winsim::testing::WriteHostFile(setup.source + "/Campus Guest.xml", e2e::ProfileXml("Campus Guest"));
}

std::vector<std::string> InstallAnswers() { return {"answer IDOK", "answer IDOK"}; }
std::vector<std::string> UninstallAnswers() { return {"answer IDYES", "answer IDOK"}; }

bool LogEndsWithAClearResult(std::string* last) {
  static const char* const kClearResults[] = {
      "silent mode 설치 완료",
      "silent mode 설치 실패",
      "설정 파일을 읽지 못해 설치하지 않음, InstallSuccess=0 로 변경",
      "프로그램이 이미 설치 되어 있음. 설치 취소.",
  };
  const auto log = e2e::LogMessages();
  *last = log.empty() ? std::string("(no log)") : log.back();
  for (const char* r : kClearResults) {
    if (*last == r) return true;
  }
  return false;
}

long RunToEnd(const e2e::Setup& setup, const std::string& args) {
  Running r = Start(setup, args, args.find("/u") != std::string::npos ? UninstallAnswers() : InstallAnswers());
  return WaitAndClose(r);
}

Running Start(const e2e::Setup& setup, const std::string& args, const std::vector<std::string>& script,
              int parkAtStart, const std::string& parkFile, const std::string& folderWin) {
  const std::string scriptPath = winsim::testing::TempHostDir() + "/user.script";
  std::string text;
  for (const auto& line : script) text += line + "\n";
  winsim::testing::WriteHostFile(scriptPath, text);
  setenv("WINSIM_USER", scriptPath.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The start hook is armed in the child's environment only: armed here,
  // it would park this very process at the start below.
  std::string block;
  for (char** e = environ; e && *e; ++e) {
    if (std::strncmp(*e, "WINSIM_PARK_AT_CHILD_START=", 27) != 0) block.append(*e).push_back('\0');
  }
  if (parkAtStart > 0) {
    block.append("WINSIM_PARK_AT_CHILD_START=" + std::to_string(parkAtStart) + ":" + parkFile).push_back('\0');
  }
  block.push_back('\0');
  const std::string folder = folderWin.empty() ? setup.sourceWin : folderWin;
  const std::string program = folderWin.empty() ? "VeltraneGTC64.exe" : "VeltraneGtcSetup.exe";
  std::string line = "\"" + folder + "\\" + program + "\" " + args;
  STARTUPINFOA si;
  std::memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  Running r;
  r.started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, block.data(), folder.c_str(), &si,
                             &r.info) != FALSE;
  return r;
}

bool WaitUntilParked(const Running& running, const std::string& parkFile) {
  for (;;) {
    if (winsim::testing::HostExists(parkFile)) return true;
    if (WaitForSingleObject(running.info.hProcess, 20) == WAIT_OBJECT_0) {
      return winsim::testing::HostExists(parkFile);
    }
  }
}

void KillAndClose(Running& running) {
  kill(static_cast<pid_t>(running.info.dwProcessId), SIGKILL);
  WaitAndClose(running);
}

long WaitAndClose(Running& running, DWORD ms) {
  if (!running.started) return -1;
  long code = -1;
  if (WaitForSingleObject(running.info.hProcess, ms) == WAIT_OBJECT_0) {
    DWORD c = 0;
    GetExitCodeProcess(running.info.hProcess, &c);
    code = static_cast<long>(c);
  } else {
    TerminateProcess(running.info.hProcess, 1);
  }
  CloseHandle(running.info.hThread);
  CloseHandle(running.info.hProcess);
  running.started = false;
  return code;
}

std::vector<pid_t> StartedPids() {
  std::vector<pid_t> out;
  std::istringstream in(winsim::testing::ReadHostFile(winsim::JournalDir() + "/processes.log"));
  std::string time, parent;
  long child = 0;
  std::string rest;
  while (in >> time >> parent >> child) {
    out.push_back(static_cast<pid_t>(child));
    std::getline(in, rest);
  }
  return out;
}

std::string HostName(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(in, line)) return {};
  // pid (comm) state ...: a zombie has ended.
  const size_t close = line.rfind(')');
  if (close == std::string::npos || close + 2 >= line.size() || line[close + 2] == 'Z') return {};
  const size_t open = line.find('(');
  return line.substr(open + 1, close - open - 1);
}

std::vector<pid_t> Survivors(const std::vector<pid_t>& pids, int ms) {
  std::vector<pid_t> alive;
  for (int waited = 0;; waited += 20) {
    alive.clear();
    for (pid_t p : pids) {
      if (!HostName(p).empty()) alive.push_back(p);
    }
    if (alive.empty() || waited >= ms) break;
    usleep(20000);
  }
  for (pid_t p : alive) kill(p, SIGKILL);
  return alive;
}

}  // namespace reliability
