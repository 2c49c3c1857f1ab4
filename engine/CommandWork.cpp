// Command work: registers or unregisters the EAP library with regsvr32,
// replaces or removes the site's wireless profiles with netsh, and deletes
// the library on uninstall. Exit codes of the commands are not read.
#include <openssl/conf.h>

#include "InstallLog.h"
#include "ProfileCommands.h"
#include "ProgressDlg.h"
#include "SetupPaths.h"
#include "VeltraneGtcSetupDlg.h"

namespace {

constexpr DWORD kNetshTimeout = 1000;

}  // namespace

int CProgressDlg::WorkCommandRun() {
  WriteLog("CProgressDlg::WorkCommandRun In");
  const CString strLibrary = CString("\"") + setup::kSystemFolder + "\\" + "ORV_EapPeap.dll" + "\"";
  const CString strRegister =
      (m_pMainDlg->m_bInstall ? "C:\\Windows\\System32\\Regsvr32 /s " : "C:\\Windows\\System32\\Regsvr32 /s /u ") +
      strLibrary;
  ShowStatus(m_pMainDlg->m_bUninstall ? "Delete configuration..." : "configuration...");
  ProgressStep();
  // Waited for to its end: the profiles and, on uninstall, the library's
  // deletion come after the registration has been changed.
  if (!RunCommandToEnd(strRegister)) {
    WriteLog("CProgressDlg::WorkCommandRun command Run 실패");
    return 0;
  }
  WriteLog("CProgressDlg::WorkCommandRun command Run 성공");

  if (!m_pConf) {
    WriteLog("CProgressDlg::conf is NULL");
    return 0;
  }
  STACK_OF(CONF_VALUE)* pProfiles = CONF_get_section(m_pConf, "BASIC_PROFILE");
  if (!pProfiles) {
    WriteLog("CProgressDlg::ini get section failed.[BASIC_PROFILE]");
    return 0;
  }
  if (CONF_get_number(m_pConf, "GENERAL", "UseDefaultProfile") != 0) {
    WriteLog("CProgressDlg::WorkCommandRun 프로파일 추가 시작");
    for (int i = 0; i < sk_CONF_VALUE_num(pProfiles); ++i) {
      const CONF_VALUE* pEntry = sk_CONF_VALUE_value(pProfiles, i);
      if (!profiles::UseEntry("WorkCommandRun", pEntry->name, pEntry->value)) continue;
      const CString strFileName = pEntry->value;
      if (RunCommandLine(profiles::DeleteCommand(strFileName), kNetshTimeout)) {
        WriteLog("CProgressDlg::WorkCommandRun command Run 성공");
      } else {
        WriteLog("CProgressDlg::WorkCommandRun command Run 실패");
      }
      Sleep(1000);
      ProgressStep();
      if (m_pMainDlg->m_bInstall) {
        if (!RunCommandLine(profiles::AddCommand(strFileName), kNetshTimeout)) {
          WriteLog("CProgressDlg::WorkCommandRun command Run 실패");
          return 0;
        }
        WriteLog("CProgressDlg::WorkCommandRun command Run 성공");
        Sleep(1000);
        ProgressStep();
      }
    }
  }
  if (m_pMainDlg->m_bUninstall) {
    Sleep(500);
    m_fileGroup.IsModeFileDelete(CString(setup::kSystemFolder) + "\\ORV_EapPeap.dll");
  }
  WriteLog("CProgressDlg::WorkCommandRun OUT return:%d", 1);
  // The last group has done its work: the run went through to its end.
  m_bWorkCompleted = 1;
  return 1;
}
