// The work runner: loads the profile configuration, runs file, registry
// and command work in that order, hands a failed install to the rollback,
// records the outcome, and tells the page that the work has ended.
#include <openssl/conf.h>

#include "InstallLog.h"
#include "ModeCmdRun.h"
#include "ProgressDlg.h"
#include "SetupConfig.h"
#include "VeltraneGtcSetupDlg.h"
#include "resource.h"
#include "shlobj.h"

bool CProgressDlg::LoadProfileConfig(LPCSTR pszCaller) {
  m_bConfLoaded = 1;
  m_nConfErrorLine = 0;
  m_pConf = CONF_load(nullptr, m_pMainDlg->m_strProfilePath, &m_nConfErrorLine);
  if (m_pConf) return true;
  // Nothing has been changed yet: no work group runs and nothing is rolled
  // back, and the run must not be reported as completed.
  m_pMainDlg->m_bProfileLoadFailed = 1;
  WriteLog("LVL_ERROR::%s::Profile config load error. line = %ld, path = %s", pszCaller, m_nConfErrorLine,
           (LPCSTR)m_pMainDlg->m_strProfilePath);
  return false;
}

void CProgressDlg::FreeProfileConfig() {
  if (m_bConfLoaded == 1) {
    if (m_pConf) CONF_free(m_pConf);
    m_bConfLoaded = 0;
  }
}

void CProgressDlg::StartWorkThread() {
  m_handshake.Reset();
  m_bWorkerRunning = 1;
  DWORD dwThreadId = 0;
  m_hWorkerThread = CreateThread(nullptr, 0, &CProgressDlg::ThreadFunc, this, 0, &dwThreadId);
  if (m_hWorkerThread) return;
  m_bWorkerRunning = 0;
  m_bTimerPaused = 1;
  if (!m_pMainDlg->m_bSilent) ::MessageBoxA(m_hPageWnd, "Fail to Create Thread", "ERROR", MB_OK | MB_ICONQUESTION | MB_TOPMOST);
  WriteLog("Fail to Create Thread");
  m_bTimerPaused = 0;
}

DWORD WINAPI CProgressDlg::ThreadFunc(LPVOID pParam) {
  auto* pThis = static_cast<CProgressDlg*>(pParam);
  Sleep(50);
  // A cancel question open now decides whether the work runs: its answer
  // is waited for. The decision is taken once and kept.
  if (!pThis->m_handshake.WorkerDecides()) pThis->m_pMainDlg->m_bWorkSkipped = 1;
  else {
    pThis->RunOnPageThread(kActionInitInstance);
    pThis->m_nProgressPos = 0;
    pThis->SendProgress(PBM_SETRANGE, 0, MAKELPARAM(0, 240));
    if (pThis->LoadProfileConfig("ThreadFunc")) {
      if (!pThis->WorkFileCopy()) {
        WriteLog("LVL_ERROR::ThreadFunc::File copy error.");
        pThis->RevertInstallation();
      } else if (pThis->WorkRegistor() != 0) {
        WriteLog("LVL_ERROR::ThreadFunc::Work registor error.");
        pThis->RevertInstallation();
      } else if (!pThis->WorkCommandRun()) {
        WriteLog("LVL_ERROR::ThreadFunc::Work command error.");
        pThis->RevertInstallation();
      } else {
        // Fill the bar in steps of 5 up to the last value not above 240.
        for (int nPos = pThis->m_nProgressPos; nPos <= 240; nPos += 5) {
          pThis->SendProgress(PBM_SETPOS, static_cast<WPARAM>(nPos), 0);
        }
      }
    }
  }
  ::PostMessageA(pThis->m_hPageWnd, WM_WORK_DONE, 0, 0);
  pThis->IsWorkGroupExit();
  pThis->m_bWorkerRunning = 0;
  return 0;
}

int CProgressDlg::IsWorkGroupPlay() {
  WriteLog("CProgressDlg::IsWorkGroupPlay() IN");
  InitInstance();
  if (!LoadProfileConfig("IsWorkGroupPlay")) {
    IsWorkGroupExit();
    return 0;
  }
  const char* pszError = nullptr;
  if (!WorkFileCopy()) pszError = "LVL_ERROR::IsWorkGroupPlay::File copy error.";
  else if (WorkRegistor() != 0) pszError = "LVL_ERROR::IsWorkGroupPlay::Work registor error.";
  else if (!WorkCommandRun()) pszError = "LVL_ERROR::IsWorkGroupPlay::Work command error.";
  if (pszError) {
    WriteLog("%s", pszError);
    RevertInstallation();
    IsWorkGroupExit();
    return 0;
  }
  IsWorkGroupExit();
  WriteLog("CProgressDlg::IsWorkGroupPlay() OUT");
  return 1;
}

int CProgressDlg::IsWorkGroupExit() {
  // The end sequence belongs to one run and runs once: the wait-timer path
  // on the page and the worker must not both record and free.
  if (m_bExitDone.exchange(1)) return 1;
  InstallAfterWork();
  WriteLog("IsWorkGroupExit()");
  Sleep(2000);
  FreeProfileConfig();
  return 1;
}

int CProgressDlg::InstallAfterWork() {
  WriteLog("CModeServiceGroup::InstallAfterWork()  IN");
  const std::string strCommandLine = setup::CommandLineWithoutQuotes();
  const std::string strIniPath = setup::InstalledCopyFromSystemFolder();
  const char* pszValue = nullptr;
  // Only a run whose work groups ran has an outcome: a run that did no
  // work (no "/i" or "/u", a configuration that did not load, a cancel
  // before the start) leaves the record of the installed copy as it was.
  if (m_handshake.IsSkipped()) {
    // Cancelled before any work began: nothing changed, so nothing to record.
    WriteLog("작업 시작 전에 취소되어 작업하지 않음, InstallSuccess 변경 없음");
  } else if (!m_bWorkGroupRan) {
    WriteLog("실행한 작업 없음, InstallSuccess 변경 없음");
  } else if (setup::CommandLineHas(strCommandLine, "/i")) {
    if (m_pMainDlg->m_bReverted == 0) {
      WriteLog("모든파일 정상 설치 완료, InstallSuccess=1 로 변경");
      pszValue = "1";
    } else {
      WriteLog("설치 실패 모든파일 정상 제거 완료, InstallSuccess=0 로 변경");
      pszValue = "0";
    }
  } else if (setup::CommandLineHas(strCommandLine, "/u")) {
    // The plug-in is no longer whole either way, so "0" is recorded; the
    // log says whether every step of the removal ran.
    if (m_bWorkCompleted) {
      WriteLog("모든파일 정상 제거 완료 (제어판), InstallSuccess=0 로 변경");
    } else {
      m_pMainDlg->m_bUninstallIncomplete = 1;
      WriteLog("제거 작업 중 실패하여 일부 항목이 남아 있음 (제어판), InstallSuccess=0 로 변경");
    }
    pszValue = "0";
  }
  if (pszValue) setup::WriteConfigValue("Root", "InstallSuccess", pszValue, strIniPath.c_str());
  m_bOutcomeRecorded = 1;
  WriteLog("CModeServiceGroup::InstallAfterWork() OUT");
  return 1;
}

bool CProgressDlg::RunCompleted() const { return m_bWorkCompleted && m_pMainDlg->m_bReverted == 0; }

void CProgressDlg::SendProgress(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_hProgressWnd) ::SendMessageA(m_hProgressWnd, message, wParam, lParam);
}

void CProgressDlg::RunOnPageThread(PageAction action) {
  if (m_hPageWnd && GetCurrentThreadId() != m_dwPageThreadId) {
    ::SendMessageA(m_hPageWnd, WM_PAGE_ACTION, static_cast<WPARAM>(action), 0);
    return;
  }
  DoPageAction(action);
}

void CProgressDlg::AdvanceBar(int nAmount) {
  m_nProgressPos += nAmount;
  if (m_nProgressPos > 230) m_nProgressPos = 230;
  SendProgress(PBM_SETPOS, static_cast<WPARAM>(m_nProgressPos), 0);
}

void CProgressDlg::ProgressStep(int nAmount) {
  AdvanceBar(nAmount);
  if (!m_pMainDlg->m_bSilent) RunOnPageThread(kActionRefresh);
}

void CProgressDlg::ShowStatus(const CString& strStatus) {
  ::SetDlgItemTextA(m_hPageWnd, IDC_STATUS, strStatus);
  m_strStatus = strStatus;
}

int CProgressDlg::CopyFileWithProgress(CString strSource, CString strTargetFolder) {
  if (!m_fileGroup.CopyFileTo(strSource, strTargetFolder)) return 0;
  WriteLog("FileCopy : %s -> %s", (LPCSTR)strSource, (LPCSTR)strTargetFolder);
  ShowStatus("Copying files : " + strSource.Mid(strSource.ReverseFind('\\') + 1));
  ProgressStep();
  return 1;
}

int CProgressDlg::RunCommandLine(CString strCommandLine, DWORD dwTimeout) {
  WriteLog("Command Line Run-> %s", (LPCSTR)strCommandLine);
  CModeCmdRun cmdRun;
  return cmdRun.Run(strCommandLine, dwTimeout);
}

int CProgressDlg::RunCommandToEnd(CString strCommandLine) {
  WriteLog("Command Line Run-> %s", (LPCSTR)strCommandLine);
  CModeCmdRun cmdRun;
  return cmdRun.RunToEnd(strCommandLine, kCommandEndBound);
}

int CProgressDlg::RemoveFolderTree(CString strFolder) {
  char szProgramFiles[MAX_PATH] = {0};
  SHGetSpecialFolderPathA(nullptr, szProgramFiles, CSIDL_PROGRAM_FILES, FALSE);
  const CString strMakerFolder = CString(szProgramFiles) + "\\Bramblecast";

  CFileFind finder;
  BOOL bWorking = finder.FindFile(strFolder + "\\*.*");
  while (bWorking) {
    bWorking = finder.FindNextFile();
    if (finder.IsDots() || strFolder == strMakerFolder) continue;
    if (finder.IsDirectory()) {
      RemoveFolderTree(strFolder + "\\" + finder.GetFileName());
      continue;
    }
    const CString strFile = finder.GetFilePath();
    AdvanceBar();
    if (!m_pMainDlg->m_bSilent) ShowStatus("Delete : " + strFile);
    m_fileGroup.IsModeFileDelete(strFile);
  }
  finder.Close();
  AdvanceBar();
  if (!m_pMainDlg->m_bSilent) ShowStatus("Delete : " + strFolder);
  RemoveDirectoryA(strFolder);
  return 1;
}

void CProgressDlg::WaitForWorker() {
  if (!m_hWorkerThread) return;
  // Keep answering window messages: the worker may still send to the page
  // or show a message box while it finishes.
  while (m_bWorkerRunning) {
    if (MsgWaitForMultipleObjects(1, &m_hWorkerThread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0) break;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  CloseHandle(m_hWorkerThread);
  m_hWorkerThread = nullptr;
}
