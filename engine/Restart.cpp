// The forced restart after the work, when the configuration asks for it.
#include "InstallLog.h"
#include "ProgressDlg.h"
#include "SetupConfig.h"

bool CProgressDlg::forceRebooting() {
  const std::string strCommandLine = setup::CommandLineWithoutQuotes();
  const std::string strIniPath = setup::InstalledCopyFromSystemFolder();
  const char* pszValue = nullptr;
  if (setup::CommandLineHas(strCommandLine, "/i")) {
    WriteLog("모든파일 정상 설치 완료, InstallSuccess=1 로 변경");
    pszValue = "1";
  } else if (setup::CommandLineHas(strCommandLine, "/u")) {
    WriteLog("모든파일 정상 제거 완료 (제어판), InstallSuccess=0 로 변경");
    pszValue = "0";
  } else if (!setup::CommandLineHas(strCommandLine, "/")) {
    WriteLog("모든파일 정상 제거 완료 (시작-프로그램), InstallSuccess=0 로 변경");
    pszValue = "0";
  }
  if (pszValue) setup::WriteConfigValue("InstallRoot", "InstallSuccess", pszValue, strIniPath.c_str());
  if (setup::CommandLineHas(strCommandLine, "/s")) return true;

  HANDLE hToken = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &hToken)) {
    WriteLog("!OpenProcessToken() failed");
  }
  TOKEN_PRIVILEGES privileges = {};
  if (!LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
    WriteLog("LookupPrivilegeValue() failed");
  }
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!AdjustTokenPrivileges(hToken, FALSE, &privileges, 0, nullptr, nullptr)) {
    WriteLog("AdjustTokenPrivileges() failed");
  }
  if (GetLastError() != ERROR_SUCCESS) {
    WriteLog("권한 문제로 인해 재부팅 실패함");
    return false;
  }
  WriteLog("CProgressDlg::forceRebooting() 윈도우를 재부팅 함");
  if (ExitWindowsEx(EWX_REBOOT | EWX_FORCEIFHUNG, SHTDN_REASON_FLAG_PLANNED)) {
    WriteLog("CProgressDlg::forceRebooting() 재부팅 성공");
    return true;
  }
  WriteLog("CProgressDlg::forceRebooting() 재부팅 실패");
  return false;
}
