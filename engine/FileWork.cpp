// File work: lays out the recovery folder, the install folder with Cert and
// Image, and the two system-folder libraries; on uninstall removes the
// install folder and the OpenSSL library.
#include <openssl/conf.h>

#include <cstring>

#include "InstallLog.h"
#include "ProfileCommands.h"
#include "ProgressDlg.h"
#include "SetupPaths.h"
#include "VeltraneGtcSetupDlg.h"

namespace {

const char* const kRecoveryFiles[] = {"VeltraneGtcSetup.exe", "VeltraneGTCSetup.ini", "ssleay32.dll",
                                      "mfc110.dll", "msvcp110.dll", "msvcr110.dll"};
const char* const kRecoveryArtwork[] = {
    "인스톨.ico",      "vtxSet_kor.png", "vtxSetUP_kor.png", "vtxUnUP_kor.png", "Set1-1_kor.png",
    "Set2-1_kor.png",  "Set4-1_kor.png", "Set4-2_kor.png",   "Set5-1_kor.png",  "Un1-1_kor.png",
    "Un2-1_kor.png",   "Un2-2_kor.png",  "Un3-1_kor.png",    "Un4-1_kor.png",   "OrvGtcLogo.bmp",
    // The uninstall runs from the recovery folder and shows its pages at the
    // screen's density: the density variants go there too (banners at 120,
    // every picture at 144 and 192; page images have no 120 variant).
    "vtxSet_DPI_120_kor.png", "vtxSetUP_DPI_120_kor.png", "vtxUnUP_DPI_120_kor.png",
    "vtxSet_DPI_144_kor.png", "vtxSetUP_DPI_144_kor.png", "vtxUnUP_DPI_144_kor.png", "Set1-1_DPI_144_kor.png",
    "Set2-1_DPI_144_kor.png", "Set4-1_DPI_144_kor.png",   "Set4-2_DPI_144_kor.png",  "Set5-1_DPI_144_kor.png",
    "Un1-1_DPI_144_kor.png",  "Un2-1_DPI_144_kor.png",    "Un2-2_DPI_144_kor.png",   "Un3-1_DPI_144_kor.png",
    "Un4-1_DPI_144_kor.png",  "vtxSet_DPI_192_kor.png",   "vtxSetUP_DPI_192_kor.png", "vtxUnUP_DPI_192_kor.png",
    "Set1-1_DPI_192_kor.png", "Set2-1_DPI_192_kor.png",   "Set4-1_DPI_192_kor.png",  "Set4-2_DPI_192_kor.png",
    "Set5-1_DPI_192_kor.png", "Un1-1_DPI_192_kor.png",    "Un2-1_DPI_192_kor.png",   "Un2-2_DPI_192_kor.png",
    "Un3-1_DPI_192_kor.png",  "Un4-1_DPI_192_kor.png"};
const char* const kInstallFiles[] = {"Version.txt", "VelText.dll", "VelPro0.txt"};
const char* const kCertificates[] = {"2b7d870a.0", "3d7219e9.0", "69ceea23.0", "76ad1a1b.0",
                                     "936a7112.0", "660878eb.0", "f1f2f575.0"};

// Of the recovery folder's files, the setup program and its configuration
// are required.
bool IsRequiredFile(LPCSTR pszName) {
  return std::strcmp(pszName, "VeltraneGtcSetup.exe") == 0 || std::strcmp(pszName, "VeltraneGTCSetup.ini") == 0;
}

}  // namespace

int CProgressDlg::WorkFileCopy() {
  m_bWorkGroupRan = 1;
  m_bPutCryptoLibrary = 0;
  m_bPutPluginLibrary = 0;
  WriteLog("CProgressDlg::WorkFileCopy IN");
  char szCurrent[1024] = {0};
  GetCurrentDirectoryA(sizeof szCurrent, szCurrent);
  const CString strSourceFolder = szCurrent;

  if (!m_pMainDlg->m_bInstall) {
    WriteLog("CProgressDlg::WorkFileCopy UnInstall Mode");
    RemoveFolderTree(m_pMainDlg->m_strInstallFolder);
    WriteLog("CProgressDlg::WorkFileCopy Root 폴더 제거 성공");
    m_fileGroup.IsModeFileDelete(CString(setup::kSystemFolder) + "\\nxc1xu32.dll");
    WriteLog("CProgressDlg::WorkFileCopy OUT return:%d", 1);
    return 1;
  }

  auto source = [&](LPCSTR pszName) { return strSourceFolder + "\\" + pszName; };
  // The setup program, its configuration and the two system-folder
  // libraries make the installation: without one of them the install has
  // nothing to register or to uninstall with, so a missing one fails.
  auto copyRequired = [&](LPCSTR pszName, const CString& strTarget) {
    const CString strSource = source(pszName);
    if (!m_fileGroup.IsFilesExists(strSource)) {
      WriteLog("파일 Search 실패 : %s", (LPCSTR)strSource);
      WriteLog("LVL_ERROR::CProgressDlg::WorkFileCopy 필수 파일 없음 -> %s", (LPCSTR)strSource);
      return false;
    }
    return CopyFileWithProgress(strSource, strTarget) != 0;
  };
  // Makes a folder when it is missing; FALSE after logging when that fails.
  auto ensureFolder = [&](const CString& strPath, bool bHidden, LPCSTR pszFound, LPCSTR pszMade, LPCSTR pszFailed) {
    if (!m_folderGroup.IsFolderMissing(strPath)) {
      WriteLog("%s", pszFound);
      return true;
    }
    if (!m_folderGroup.MakeFolder(bHidden ? strPath + "(Hidden)" : strPath)) {
      WriteLog("%s", pszFailed);
      return false;
    }
    WriteLog("%s", pszMade);
    return true;
  };

  if (!ensureFolder(setup::kRecoveryRoot, true, "CProgressDlg::WorkFileCopy 복구Root 폴더 찾기 성공",
                    "CProgressDlg::WorkFileCopy 복구Root 폴더 생성 성공",
                    "CProgressDlg::WorkFileCopy 복구 Root 폴더 생성 실패")) {
    return 0;
  }
  if (!ensureFolder(setup::kRecoveryFolder, false, "CProgressDlg::WorkFileCopy 복구 폴더 찾기 성공",
                    "CProgressDlg::WorkFileCopy 복구 폴더 생성 성공",
                    "CProgressDlg::WorkFileCopy 복구 폴더 생성 실패")) {
    return 0;
  }
  for (LPCSTR pszName : kRecoveryFiles) {
    if (IsRequiredFile(pszName) ? !copyRequired(pszName, setup::kRecoveryFolder)
                                : !CopyFileWithProgress(source(pszName), setup::kRecoveryFolder)) {
      return 0;
    }
  }
  if (!m_pConf) return 0;
  STACK_OF(CONF_VALUE)* pProfiles = CONF_get_section(m_pConf, "BASIC_PROFILE");
  if (!pProfiles) {
    WriteLog("CProgressDlg::ini get section failed.[BASIC_PROFILE]");
    return 0;
  }
  if (CONF_get_number(m_pConf, "GENERAL", "UseDefaultProfile") != 0) {
    for (int i = 0; i < sk_CONF_VALUE_num(pProfiles); ++i) {
      const CONF_VALUE* pEntry = sk_CONF_VALUE_value(pProfiles, i);
      if (!profiles::UseEntry("WorkFileCopy", pEntry->name, pEntry->value)) continue;
      if (!CopyFileWithProgress(source(pEntry->value), setup::kRecoveryFolder)) return 0;
    }
  }
  ProgressStep();
  for (LPCSTR pszName : kRecoveryArtwork) {
    if (!CopyFileWithProgress(source(pszName), setup::kRecoveryFolder)) return 0;
  }
  ProgressStep();

  const CString strInstallFolder = m_pMainDlg->m_strInstallFolder;
  const CString strRootFolder = strInstallFolder.Left(strInstallFolder.ReverseFind('\\'));
  if (!ensureFolder(strRootFolder, false, "CProgressDlg::WorkFileCopy Root 폴더 찾기 성공",
                    "CProgressDlg::WorkFileCopy Root 폴더 생성 성공", "CProgressDlg::WorkFileCopy Root 폴더 생성 실패")) {
    return 0;
  }
  ProgressStep();
  if (!ensureFolder(strInstallFolder, false, "CProgressDlg::WorkFileCopy Root setup 폴더 찾기 성공",
                    "CProgressDlg::WorkFileCopy Root setup 폴더 생성 성공",
                    "CProgressDlg::WorkFileCopy Root setup 폴더 생성 실패")) {
    return 0;
  }
  for (LPCSTR pszName : kInstallFiles) {
    if (!CopyFileWithProgress(source(pszName), strInstallFolder)) return 0;
  }
  const CString strCertFolder = strInstallFolder + "\\Cert";
  if (!ensureFolder(strCertFolder, false, "CProgressDlg::WorkFileCopy Cert 폴더 찾기 성공",
                    "CProgressDlg::WorkFileCopy Cert 폴더 생성 성공", "CProgressDlg::WorkFileCopy Cert 폴더 생성 실패")) {
    return 0;
  }
  ProgressStep();
  for (LPCSTR pszName : kCertificates) {
    if (!CopyFileWithProgress(source(pszName), strCertFolder)) return 0;
  }
  const CString strImageFolder = strInstallFolder + "\\Image";
  if (!ensureFolder(strImageFolder, false, "CProgressDlg::WorkFileCopy Image 폴더 찾기 성공",
                    "CProgressDlg::WorkFileCopy Image 폴더 생성 성공",
                    "CProgressDlg::WorkFileCopy Image 폴더 생성 실패")) {
    return 0;
  }
  if (!CopyFileWithProgress(source("OrvGtcLogo.bmp"), strImageFolder)) return 0;
  ProgressStep();

  // The number in the brackets is the failing file's place in the install
  // order: 34 for the OpenSSL library, 35 for the plug-in library.
  // What the copies put in place is what the rollback may remove: a
  // library already there that the copy could not replace stays.
  int nFailed = 0;
  if (!copyRequired("nxc1xu32.dll", setup::kSystemFolder)) {
    nFailed = 34;
  } else {
    m_bPutCryptoLibrary = 1;
    if (!copyRequired("ORV_EapPeap.dll", setup::kSystemFolder)) nFailed = 35;
    else m_bPutPluginLibrary = 1;
  }
  if (nFailed) {
    WriteLog("CProgressDlg::WorkFileCopy system copy 실패[%d]", nFailed);
    return 0;
  }
  WriteLog("CProgressDlg::WorkFileCopy system copy 성공");
  WriteLog("CProgressDlg::WorkFileCopy OUT return:%d", 1);
  return 1;
}
