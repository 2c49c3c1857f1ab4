#include "VeltraneGtcSetupApp.h"

#include "ErrorDlg.h"
#include "InstallLog.h"
#include "ProcessMain.h"
#include "SetupConfig.h"
#include "SetupPaths.h"
#include "afxcontrolbars.h"
#include "commctrl.h"
#include "gdiplus.h"
#include "resource.h"
#include "shlobj.h"

CVeltraneGtcSetupApp theApp;

BEGIN_MESSAGE_MAP(CVeltraneGtcSetupApp, CWinApp)
  ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CVeltraneGtcSetupApp::CVeltraneGtcSetupApp() { m_dwRestartManagerSupportFlags = AFX_RESTART_MANAGER_SUPPORT_RESTART; }

CVeltraneGtcSetupApp::~CVeltraneGtcSetupApp() = default;

namespace {

// The busy message of a second setup program, unless it runs silently.
void ShowBusyMessage() {
  const std::string strLine = setup::CommandLineWithoutQuotes();
  if (setup::CommandLineHas(strLine, "/s")) return;

  char szCurrent[MAX_PATH] = {0};
  GetCurrentDirectoryA(MAX_PATH, szCurrent);
  char szIniPath[MAX_PATH] = {0};
  _snprintf_s(szIniPath, sizeof szIniPath, _TRUNCATE, "%s\\VeltraneGTCSetup.ini", szCurrent);
  const std::string strLanguage = setup::ReadConfigValue("Root", "CheckInstallLangue", MAX_PATH, szIniPath);
  char szSection[MAX_PATH] = {0};
  _snprintf_s(szSection, sizeof szSection, MAX_PATH - 1, "%s%s", "DefaultText", strLanguage.c_str());
  char szMessage[MAX_PATH] = {0};
  char szTitle[MAX_PATH] = {0};
  strncpy_s(szMessage, sizeof szMessage, setup::ReadConfigValue(szSection, "46", MAX_PATH, szIniPath).c_str(), _TRUNCATE);
  strncpy_s(szTitle, sizeof szTitle, setup::ReadConfigValue(szSection, "60", MAX_PATH, szIniPath).c_str(), _TRUNCATE);
  // The configured texts are replaced by fixed ones.
  strncpy_s(szMessage, sizeof szMessage, "현재 설치/삭제가 진행중입니다, 10분 정도 후 재시도 하세요.", MAX_PATH - 1);
  strncpy_s(szTitle, sizeof szTitle, "Veltrane RAZ", MAX_PATH - 1);

  CErrorDlg dlg;
  dlg.m_strTitle = szTitle;
  dlg.m_strMessage = szMessage;
  dlg.m_hIcon = LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
  dlg.DoModal();
}

}  // namespace

BOOL CVeltraneGtcSetupApp::InitInstance() {
  INITCOMMONCONTROLSEX initControls;
  initControls.dwSize = sizeof initControls;
  initControls.dwICC = ICC_WIN95_CLASSES | 0xFF;
  InitCommonControlsEx(&initControls);
  CWinApp::InitInstance();
  Gdiplus::GdiplusStartupInput gdiplusInput;
  Gdiplus::GdiplusStartup(&m_gdiplusToken, &gdiplusInput, nullptr);
  CShellManager* pShellManager = new CShellManager;
  CMFCVisualManager::SetDefaultManager(RUNTIME_CLASS(CMFCVisualManagerWindows));
  SetRegistryKey("로컬 응용 프로그램 마법사에서 생성된 응용 프로그램");

  // The single-instance guard. Open and create are one step of the
  // platform's named objects: of two programs started together only one
  // takes the name.
  HANDLE hGuard = OpenFileMappingA(FILE_MAP_READ, FALSE, setup::kSingleInstanceName);
  if (hGuard) {
    ShowBusyMessage();
    CloseHandle(hGuard);
    delete pShellManager;
    return FALSE;
  }
  hGuard = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 8, setup::kSingleInstanceName);
  if (!hGuard) {
    WriteLog("CreateFileMapping fail %ld", static_cast<long>(GetLastError()));
    delete pShellManager;
    return FALSE;
  }
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    // Another program took the name between the open and the create.
    ShowBusyMessage();
    CloseHandle(hGuard);
    delete pShellManager;
    return FALSE;
  }
  // The guard is held until the process ends.

  char szAppData[MAX_PATH] = {0};
  SHGetSpecialFolderPathA(nullptr, szAppData, CSIDL_APPDATA, FALSE);
  CreateDirectoryA((CString(szAppData) + "\\Veltrane RAZ"), nullptr);

  {
    CProcessMain processMain;
    processMain.StartWork();
  }
  delete pShellManager;
  return FALSE;
}

int CVeltraneGtcSetupApp::ExitInstance() {
  Gdiplus::GdiplusShutdown(m_gdiplusToken);
  return CWinApp::ExitInstance();
}
