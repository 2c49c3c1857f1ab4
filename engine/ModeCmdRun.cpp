#include "ModeCmdRun.h"

#include <cstring>

#include "CommandProgram.h"
#include "InstallLog.h"

int CModeCmdRun::Run(CString strCommandLine, DWORD dwTimeout) { return Start(strCommandLine, dwTimeout, true); }

int CModeCmdRun::RunToEnd(CString strCommandLine, DWORD dwBound) { return Start(strCommandLine, dwBound, false); }

int CModeCmdRun::Start(const CString& strCommandLine, DWORD dwWait, bool bPauseAfterTimeout) {
  // The command line lives in a MAX_PATH buffer that CreateProcessA may
  // change. A longer line is refused rather than run cut short.
  char szCommandLine[MAX_PATH] = {0};
  if (strCommandLine.GetLength() >= MAX_PATH) {
    WriteLog("도스 명령어 길이 초과(%d), 실행 안 함 -> %s", strCommandLine.GetLength(), (LPCSTR)strCommandLine);
    return 0;
  }
  std::memcpy(szCommandLine, (LPCSTR)strCommandLine, static_cast<size_t>(strCommandLine.GetLength()));
  const CString strProgram = cmdrun::ProgramPath(strCommandLine);

  STARTUPINFOA si;
  std::memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION pi;
  std::memset(&pi, 0, sizeof pi);

  if (strProgram.IsEmpty() ||
      !CreateProcessA(strProgram, szCommandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    WriteLog("도스 명령어 실패 -> %s", (LPCSTR)strCommandLine);
    return 0;
  }
  if (WaitForSingleObject(pi.hProcess, dwWait) == WAIT_TIMEOUT) {
    WriteLog("WaitForSingleObject timeout : %d 대기 -> %s", static_cast<int>(dwWait), (LPCSTR)strCommandLine);
    if (bPauseAfterTimeout) Sleep(dwWait);
  }
  if (pi.hProcess) CloseHandle(pi.hProcess);
  if (pi.hThread) CloseHandle(pi.hThread);
  WriteLog("도스 명령어 성공 -> %s", (LPCSTR)strCommandLine);
  return 1;
}
