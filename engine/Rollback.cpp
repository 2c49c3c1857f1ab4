// Rollback of a failed install: tells the user, marks the run reverted,
// switches the page to its rollback look, and removes what the work groups
// install. Every step runs whatever the one before it did.

#include <sys/stat.h>
#include <sys/types.h>

#include "ArtworkImage.h"
#include "InstallLog.h"
#include "ProgressDlg.h"
#include "SetupConfig.h"
#include "SetupPaths.h"
#include "VeltraneGtcSetupDlg.h"
#include "shlwapi.h"

namespace {

constexpr int kLargeStep = 10;

// Deletes a key tree under HKEY_LOCAL_MACHINE when it exists, with the
// three outcomes logged.
void RemoveKeyIfPresent(LPCSTR pszKey, LPCSTR pszDeleted, LPCSTR pszFailed, LPCSTR pszEmpty) {
  HKEY hKey = nullptr;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, pszKey, &hKey) != ERROR_SUCCESS) {
    WriteLog("%s", pszEmpty);
    return;
  }
  RegCloseKey(hKey);
  WriteLog("%s", SHDeleteKeyA(HKEY_LOCAL_MACHINE, pszKey) == ERROR_SUCCESS ? pszDeleted : pszFailed);
}

void KeepFileNotPut(const CString& strPath) {
  WriteLog("LVL_INFO::CProgressDlg::RevertInstallation 이번 설치가 놓지 않은 파일은 그대로 둠 -> %s", (LPCSTR)strPath);
}

}  // namespace

void CProgressDlg::LoadUninstallArtwork() {
  const std::string strIniPath = setup::InstalledCopyFromWindowsFolder();
  artwork::ReadLanguage(strIniPath.c_str());
  const CString strPrefix = CString(strIniPath.substr(0, strIniPath.rfind('\\') + 1).c_str());
  const int nDpi = m_pMainDlg->m_nScreenDpi;
  artwork::Release(m_pImageTopRight);
  m_pImageTopRight = new CArtworkImage(artwork::FileName(strPrefix, "vtxUnUP", nDpi, true));
  artwork::Release(m_pImageTopLeft);
  m_pImageTopLeft = new CArtworkImage(artwork::FileName(strPrefix, "Un2-1", nDpi, false));
  artwork::Release(m_pImageLower);
  m_pImageLower = new CArtworkImage(artwork::FileName(strPrefix, "Un2-2", nDpi, false));
}

int CProgressDlg::RevertInstallation() {
  // The rollback undoes an install. An uninstall that fails has nothing to
  // undo, and removing the uninstall entry would leave nothing to finish
  // the removal with.
  if (!m_pMainDlg->m_bInstall) {
    WriteLog("LVL_INFO::CProgressDlg::RevertInstallation 제거 작업은 원복하지 않음");
    return 1;
  }
  m_pMainDlg->m_bReverted = 1;
  {
    const std::string strTitle =
        setup::ReadConfigValue("SITE_SPECIFIC", "UseSiteSpecificSetupTitle", 1024, m_pMainDlg->m_strSourceCopyPath);
    CString strText;
    CString strCaption;
    if (strTitle.empty()) {
      strText = "RAZ Plug-In 설치 중 문제 발생. \n설치를 중단하고 파일을 삭제 합니다.";
      strCaption = "Veltrane RAZ";
    } else {
      strText.Format("%s 설치 중 문제 발생. \n설치를 중단하고 파일을 삭제 합니다.", strTitle.c_str());
      strCaption = strTitle.c_str();
    }
    ::MessageBoxA(m_hPageWnd, strText, strCaption, MB_OK | MB_ICONERROR | MB_TOPMOST);
  }
  WriteLog("LVL_INFO::CProgressDlg::RevertInstallation In");

  if (!m_pMainDlg->m_bSilent) {
    m_nProgressPos = 0;
    SendProgress(PBM_SETPOS, 0, 0);
    RunOnPageThread(kActionRollbackDisplay);
  }
  Sleep(500);

  RemoveFolderTree(m_pMainDlg->m_strInstallFolder);
  WriteLog("LVL_INFO::CProgressDlg::RevertInstallation Root 폴더 제거 성공");
  // Only what this run's copies put in place is removed: a library that was
  // already there and that the copy did not replace stays as it was.
  const CString strCrypto = CString(setup::kSystemFolder) + "\\nxc1xu32.dll";
  if (m_bPutCryptoLibrary || !m_fileGroup.IsFilesExists(strCrypto)) m_fileGroup.IsModeFileDelete(strCrypto);
  else KeepFileNotPut(strCrypto);

  const CString strPlugin = CString(setup::kSystemFolder) + "\\ORV_EapPeap.dll";
  struct _stat st;
  if (_stat(strPlugin, &st) != 0) {
    WriteLog("CDeleCodeDlg::IsFileExist() : File is not exist. path : %s", (LPCSTR)strPlugin);
  } else {
    WriteLog("CDeleCodeDlg::IsFileExist() : File exist. path : %s", (LPCSTR)strPlugin);
    if (m_bPutPluginLibrary) {
      // The library is deleted only once regsvr32 has finished with it.
      const CString strUnregister = "C:\\Windows\\System32\\Regsvr32 /s /u \"" + strPlugin + "\"";
      if (RunCommandToEnd(strUnregister)) WriteLog("LVL_INFO::CProgressDlg::RevertInstallation command Run 성공");
      else WriteLog("LVL_ERROR::CProgressDlg::RevertInstallation command Run 실패");
      m_fileGroup.IsModeFileDelete(strPlugin);
    } else {
      KeepFileNotPut(strPlugin);
    }
  }
  ProgressStep(kLargeStep);

  RemoveKeyIfPresent(setup::kPluginKey, "LVL_INFO::CProgressDlg::RevertInstallation Regstry common value 삭제 성공",
                     "LVL_ERROR::CProgressDlg::RevertInstallation Regstry common value 삭제 실패",
                     "LVL_INFO::CProgressDlg::RevertInstallation Regstry common value is empty");
  ProgressStep(kLargeStep);
  RemoveKeyIfPresent(setup::kUninstallKey, "LVL_INFO::CProgressDlg::RevertInstallation Regstry control value 삭제 성공",
                     "LVL_ERROR::CProgressDlg::RevertInstallation Regstry control value 삭제 실패",
                     "LVL_INFO::CProgressDlg::RevertInstallation Regstry control value is empty");
  ProgressStep(kLargeStep);
  WriteLog("LVL_INFO::CProgressDlg::RevertInstallation OUT return:%d", 1);
  return 1;
}
