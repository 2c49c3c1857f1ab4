#include "ProcessMain.h"

#include "InstallLog.h"
#include "NoticeDlg.h"
#include "SetupConfig.h"
#include "SetupPaths.h"
#include "resource.h"

namespace {

constexpr int kWaitTimerLimit = 500;
constexpr UINT kErrorBoxStyle = MB_OK | MB_ICONERROR | MB_TOPMOST;           // 0x40010
constexpr UINT kQuestionBoxStyle = MB_YESNO | MB_ICONQUESTION | MB_TOPMOST;  // 0x40024

std::string SiteName(LPCSTR pszIniPath) {
  return setup::ReadConfigValue("SITE_SPECIFIC", "UseSiteSpecificSetupTitle", 1024, pszIniPath);
}

}  // namespace

CProcessMain::CProcessMain() = default;
CProcessMain::~CProcessMain() = default;

int CProcessMain::IsDefaultFilePath() {
  char szCurrent[MAX_PATH] = {0};
  if (GetCurrentDirectoryA(MAX_PATH, szCurrent)) {
    WriteLog("GetCurrentDirectory() success");
  } else {
    WriteLog("GetCurrentDirectory() failed. error = %ld", static_cast<long>(GetLastError()));
    szCurrent[0] = '\0';
  }
  m_strSourceFolder = szCurrent;
  m_strSourceCopyPath = m_strSourceFolder + "\\" + setup::kConfigFileName;
  WriteLog("INI 경로 -> %s (CModeCenterCommand::IsDefaultFilePath)", (LPCSTR)m_strSourceCopyPath);
  return 1;
}

int CProcessMain::CheckCommandLine() {
  const std::string strLine = setup::CommandLineWithoutQuotes();
  if (setup::CommandLineHas(strLine, "/i")) {
    m_bInstall = 1;
    WriteLog("작동 모드 -> 인스톨(CModeCenterCommand::CheckCommandLine)");
  }
  if (setup::CommandLineHas(strLine, "/u")) {
    m_bUninstall = 1;
    WriteLog("작동 모드 -> 언인스톨(CModeCenterCommand::CheckCommandLine)");
  }
  if (setup::CommandLineHas(strLine, "/s")) {
    m_bSilent = 1;
    WriteLog("작동 모드 -> Silent(CModeCenterCommand::CheckCommandLine)");
  } else {
    m_bSilent = 0;
    WriteLog("작동 모드 -> UI 모드");
  }
  return 1;
}

bool CProcessMain::CheckRegistryControlPanel() {
  bool bFound = false;
  HKEY hKey = nullptr;
  // A key that exists but cannot be opened with full access counts as absent.
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, setup::kUninstallKey, 0, KEY_ALL_ACCESS, &hKey) == ERROR_SUCCESS) {
    WriteLog("CheckRegistryControlPanel:: Control panel registry is exist");
    RegCloseKey(hKey);
    bFound = true;
  }
  hKey = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Bramblecast\\Veltrane RAZ", 0, KEY_ALL_ACCESS, &hKey) ==
      ERROR_SUCCESS) {
    WriteLog("CheckRegistryControlPanel:: Root registry is exist");
    RegCloseKey(hKey);
    bFound = true;
  }
  return bFound;
}

bool CProcessMain::IsInstalled() {
  const bool bRegistry = CheckRegistryControlPanel();
  CFileFind finder;
  const bool bFolder = finder.FindFile(setup::kInstallFolder) != FALSE;
  finder.Close();
  return bRegistry || bFolder;
}

void CProcessMain::WireWizardSettings() {
  m_strNoticeOptionPath = m_strSourceCopyPath;
  m_strInstallFolder = setup::kInstallFolder;
  m_wizard.m_nWaitTimerLimit = m_nWaitTimerLimit;
  m_wizard.m_nWaitTimeLimit = m_nWaitTimerLimit;
  m_wizard.m_strSourceCopyPath = m_strSourceCopyPath;
  m_wizard.m_strInstallFolder = m_strInstallFolder;
  m_wizard.m_strInstalledCopyPath = m_strInstalledCopyPath;
  if (m_bInstall) m_wizard.m_strProfilePath = m_strSourceCopyPath;
  else if (m_bUninstall) m_wizard.m_strProfilePath = m_strInstalledCopyPath;
  else m_wizard.m_strProfilePath.Empty();
  m_wizard.m_strSourceFolder = m_strSourceFolder;
  m_wizard.m_bSilent = m_bSilent;
  m_wizard.m_bInstall = m_bInstall;
  m_wizard.m_bUninstall = m_bUninstall;
  m_wizard.m_bReverted = m_bReverted;
  m_welcomePage.m_pMainDlg = &m_wizard;
  m_licensePage.m_pMainDlg = &m_wizard;
  m_finishPage.m_pMainDlg = &m_wizard;
  m_progressPage.m_pMainDlg = &m_wizard;
}

void CProcessMain::BuildPageList() {
  m_wizard.AddPage(&m_welcomePage, IDD_WELCOME);
  if (m_bInstall) {
    m_wizard.AddPage(&m_licensePage, IDD_LICENSE);
    m_licensePage.m_nPagePosition = m_wizard.GetPageCount();
  }
  m_wizard.AddPage(&m_progressPage, IDD_PROGRESS);
  m_progressPage.m_nPagePosition = m_wizard.GetPageCount();
  m_wizard.AddPage(&m_finishPage, IDD_FINISH);
  m_finishPage.m_nPagePosition = m_wizard.GetPageCount();
  m_wizard.m_nPageCount = m_wizard.GetPageCount();
}

void CProcessMain::RunSilent() {
  const std::string strOption =
      setup::ReadConfigValue("InstallMessageOption", "ShowMessageInSilentMode", 10, m_strNoticeOptionPath);
  WriteLog("CProcessMain::StartWork() :: SilentMode Use Notice Message = %s ", strOption.c_str());
  const bool bNotices = !strOption.empty() && strOption[0] == '1';

  CString strStartText;
  CString strDoneText;
  if (bNotices) {
    if (m_bInstall) {
      const std::string strName = SiteName(m_strSourceCopyPath);
      if (strName.empty()) {
        strStartText = "Veltrane RAZ Plug-In 설치를 시작합니다.";
        strDoneText = "Veltrane RAZ Plug-In 설치를 완료하였습니다.";
      } else {
        strStartText.Format("%s 설치를 시작합니다.", strName.c_str());
        strDoneText.Format("%s 설치를 완료하였습니다.", strName.c_str());
      }
    }
    if (m_bUninstall) {
      const std::string strName = SiteName(setup::InstalledCopyFromWindowsFolder().c_str());
      if (strName.empty()) {
        strStartText = "Veltrane RAZ Plug-In 제거를 시작합니다.";
        strDoneText = "Veltrane RAZ Plug-In 제거를 완료하였습니다.";
      } else {
        strStartText.Format("%s 제거를 시작합니다.", strName.c_str());
        strDoneText.Format("%s 제거를 완료하였습니다.", strName.c_str());
      }
    }
  }

  CNoticeDlg notice;
  if (bNotices) {
    notice.m_strMessage = strStartText;
    notice.DoModal();
  }
  if (m_progressPage.IsWorkGroupPlay()) {
    if (bNotices) {
      notice.m_strMessage = strDoneText;
      notice.DoModal();
    }
    WriteLog("silent mode 설치 완료");
  } else {
    WriteLog("silent mode 설치 실패");
  }
}

int CProcessMain::StartWork() {
  WriteLog("[설치 또는 삭제 프로그램 시작 ]");
  m_bSilent = m_bInstall = m_bUninstall = m_bReverted = 0;
  m_nWaitTimerLimit = 0;
  m_strSourceCopyPath = setup::kConfigFileName;
  m_strInstalledCopyPath = setup::kInstalledCopyPath;
  m_strInstallFolder.Empty();
  m_strNoticeOptionPath.Empty();
  m_strSourceFolder.Empty();

  IsDefaultFilePath();
  m_nWaitTimerLimit = kWaitTimerLimit;
  CheckCommandLine();

  if (m_bInstall) {
    const std::string strName = SiteName(m_strSourceCopyPath);
    CString strMessage;
    CString strTitle;
    if (!strName.empty()) {
      strMessage.Format("%s이 이미 설치 되어 있습니다. 설치를 취소 합니다.", strName.c_str());
      strTitle.Format("%s 설치", strName.c_str());
      WriteLog("CProcessMain::StartWork  UseSiteSpecificSetupTitle, szTitle =%s, szIniPath = %s ", strName.c_str(),
               (LPCSTR)m_strSourceCopyPath);
    } else {
      strMessage = "Veltrane RAZ Plug-In 이 이미 설치 되어 있습니다. 설치를 취소 합니다.";
      strTitle = "Veltrane RAZ ";
    }
    if (IsInstalled()) {
      MessageBoxA(nullptr, strMessage, strTitle, kErrorBoxStyle);
      WriteLog("프로그램이 이미 설치 되어 있음. 설치 취소.");
      return 0;
    }
  }

  if (m_bUninstall) {
    const std::string strIniPath = setup::InstalledCopyFromWindowsFolder();
    const std::string strName = SiteName(strIniPath.c_str());
    CString strMessage;
    CString strTitle;
    if (!strName.empty()) {
      strMessage.Format("%s 을(를) 삭제하게 되면 사내(교내) 네트워크 사용이 제한 됩니다. 삭제하시겠습니까?",
                        strName.c_str());
      strTitle.Format("%s", strName.c_str());
    } else {
      strMessage = "Veltrane RAZ 를 삭제하게 되면 사내 네트워크 사용이 제한 됩니다. 삭제하시겠습니까?";
      strTitle = "Veltrane RAZ ";
    }
    WriteLog("CProcessMain::StartWork  UseSiteSpecificSetupTitle, szTitle =%s, szIniPath = %s ", strName.c_str(),
             strIniPath.c_str());
    if (MessageBoxA(nullptr, strMessage, strTitle, kQuestionBoxStyle) != IDYES) {
      WriteLog("사용자가 프로그램 제거를 취소");
      return 0;
    }
    WriteLog("사용자가 프로그램 제거를 승인");
  }

  WireWizardSettings();
  BuildPageList();

  if (m_bSilent) {
    RunSilent();
  } else {
    m_wizard.DoModal();
    // The worker may still be finishing (a confirmed cancel, the wait-timer
    // limit): the pages it uses live until it has ended.
    m_progressPage.WaitForWorker();
  }
  return 0;
}
