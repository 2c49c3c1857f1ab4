#include "Finish2Dlg.h"

#include "FinishOutcome.h"
#include "InstallLog.h"
#include "SetupConfig.h"
#include "TextLines.h"
#include "VeltraneGtcSetupDlg.h"
#include "WizardTexts.h"
#include "resource.h"

CFinish2Dlg::CFinish2Dlg() : CNewWizPage(IDD_FINISH) {}

CFinish2Dlg::~CFinish2Dlg() = default;

BEGIN_MESSAGE_MAP(CFinish2Dlg, CNewWizPage)
  ON_WM_PAINT()
  ON_WM_CTLCOLOR()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL CFinish2Dlg::OnInitDialog() {
  CNewWizPage::OnInitDialog();
  m_pImageBanner = nullptr;
  m_pImagePage = nullptr;
  const int nDpi = m_pMainDlg->m_nScreenDpi;
  auto load = [&](const CString& strConfigPath, LPCSTR pszPageBase) {
    artwork::ReadLanguage(strConfigPath);
    const CString strPrefix = strConfigPath.Left(strConfigPath.ReverseFind('\\') + 1);
    artwork::Release(m_pImageBanner);
    artwork::Release(m_pImagePage);
    m_pImageBanner = new CArtworkImage(artwork::FileName(strPrefix, "vtxSet", nDpi, true));
    if (pszPageBase) m_pImagePage = new CArtworkImage(artwork::FileName(strPrefix, pszPageBase, nDpi, false));
  };
  // The install's pictures first; with both flags the uninstall's replace them.
  const finishoutcome::Run run = RunFacts();
  if (m_pMainDlg->m_bInstall) {
    char szCurrent[MAX_PATH] = {0};
    GetCurrentDirectoryA(MAX_PATH, szCurrent);
    finishoutcome::Run install = run;
    install.bUninstall = false;
    load(CString(szCurrent) + "\\VeltraneGTCSetup.ini", finishoutcome::PageBase(install));
  }
  if (m_pMainDlg->m_bUninstall) load(setup::InstalledCopyFromWindowsFolder().c_str(), finishoutcome::PageBase(run));
  return TRUE;
}

void CFinish2Dlg::DoDataExchange(CDataExchange* pDX) {
  CNewWizPage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_STATIC_1016, m_strHeading);
  DDX_Text(pDX, IDC_STATIC_1018, m_strLine1018);
  DDX_Text(pDX, IDC_STATIC_1017, m_strLine1017);
  if (pDX->m_bSaveAndValidate) return;

  CString strTitle = setup::LookupText("20").c_str();
  if (m_pMainDlg->m_bInstall) {
    const std::string strName =
        setup::ReadConfigValue("SITE_SPECIFIC", "UseSiteSpecificSetupTitle", 1024, m_pMainDlg->m_strSourceCopyPath);
    if (strName.empty()) strTitle = "Veltrane RAZ 설치 완료";
    else strTitle.Format("%s 설치 완료", strName.c_str());
    WriteLog("CFinish2Dlg:: UseSiteSpecificSetupTitle, szTitle =%s, szIniPath = %s ", strName.c_str(),
             (LPCSTR)m_pMainDlg->m_strSourceCopyPath);
  } else if (m_pMainDlg->m_bUninstall) {
    const std::string strPath = setup::InstalledCopyFromWindowsFolder();
    const std::string strName =
        setup::ReadConfigValue("SITE_SPECIFIC", "UseSiteSpecificSetupTitle", 1024, strPath.c_str());
    if (strName.empty()) strTitle = "Veltrane RAZ 제거 완료";
    else strTitle.Format("%s 제거 완료", strName.c_str());
    WriteLog("CFinish2Dlg::  UseSiteSpecificSetupTitle, szTitle =%s, szIniPath = %s ", strName.c_str(),
             strPath.c_str());
  }
  bool bFromSourceCopy = true;
  if (const char* pszFormat = finishoutcome::TitleOverride(RunFacts(), &bFromSourceCopy)) {
    const std::string strPath =
        bFromSourceCopy ? std::string(m_pMainDlg->m_strSourceCopyPath) : setup::InstalledCopyFromWindowsFolder();
    const std::string strName = setup::ReadConfigValue("SITE_SPECIFIC", "UseSiteSpecificSetupTitle", 1024, strPath.c_str());
    strTitle.Format(pszFormat, strName.empty() ? "Veltrane RAZ" : strName.c_str());
  } else if (!m_pMainDlg->m_bInstall && !m_pMainDlg->m_bUninstall) {
    strTitle = wizardtexts::kNoModeTitle;
  }
  m_pMainDlg->SetWindowText(strTitle);

  m_strHeading = setup::LookupText("21").c_str();
  if (m_pMainDlg->m_bInstall) m_strHeading = "설치 완료";
  else if (m_pMainDlg->m_bUninstall) m_strHeading = "제거 완료";
  SetDlgItemText(IDC_STATIC_1016, m_strHeading);

  CString strMessage = setup::LookupText("22").c_str();
  if (m_pMainDlg->m_bInstall) {
    strMessage = "$$Veltrane RAZ 설치프로그램이 RAZ 프로그램을 성공적으로 설치 $$완료하였습니다.$$";
  } else if (m_pMainDlg->m_bUninstall) {
    strMessage = "$$Veltrane RAZ 설치프로그램이 RAZ 프로그램을 성공적으로 제거 $$완료하였습니다.$$";
  }
  SetDlgItemText(IDC_STATIC_1017, textlines::TakeLine(strMessage));
  SetDlgItemText(IDC_STATIC_1082, textlines::TakeLine(strMessage));
  for (int nID = IDC_STATIC_1018; nID <= IDC_STATIC_1023; ++nID) SetDlgItemText(nID, "");
  if (!m_pMainDlg->m_bInstall && !m_pMainDlg->m_bUninstall) {
    // Neither mode: no artwork; the labels say that nothing was changed.
    m_strHeading = wizardtexts::kNoModeFinishHeading;
    wizardtexts::ShowLabel(this, IDC_STATIC_1016, m_strHeading);
    wizardtexts::ShowLabel(this, IDC_STATIC_1017, wizardtexts::kNoModeFinishText);
  }

  const std::string strForceReboot =
      setup::ReadConfigValue("InstallRoot", "ForceReboot", 10, m_pMainDlg->m_strInstalledCopyPath);
  if (CWnd* pLabel = GetDlgItem(IDC_RESTART_LABEL)) pLabel->ShowWindow(strForceReboot == "1" ? SW_SHOW : SW_HIDE);

  m_pMainDlg->UpdateData(FALSE);

  m_fontHeading.CreateFont(17, 0, 0, 0, 700, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
  if (CWnd* pHeading = GetDlgItem(IDC_STATIC_1016)) pHeading->SetFont(&m_fontHeading, TRUE);
  m_fontHeading.Detach();  // the label keeps the font
}

finishoutcome::Run CFinish2Dlg::RunFacts() const {
  return {m_pMainDlg->m_bInstall != 0, m_pMainDlg->m_bUninstall != 0, m_pMainDlg->m_bReverted != 0,
          m_pMainDlg->m_bProfileLoadFailed != 0, m_pMainDlg->m_bWorkSkipped != 0,
          m_pMainDlg->m_bUninstallIncomplete != 0};
}

void CFinish2Dlg::OnSetActive() {
  m_pMainDlg->EnableNext(FALSE);
  m_pMainDlg->EnableFinish(TRUE);
  m_pMainDlg->EnableBack(FALSE);
  m_pMainDlg->EnableCancel(FALSE);
}

BOOL CFinish2Dlg::OnQueryCancel() { return TRUE; }

void CFinish2Dlg::OnPaint() { artwork::DrawSideBySide(this, m_pImageBanner, m_pImagePage); }

HBRUSH CFinish2Dlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  CNewWizPage::OnCtlColor(pDC, pWnd, nCtlColor);
  pDC->SetBkMode(TRANSPARENT);
  return m_pMainDlg->m_hBackgroundBrush;
}

void CFinish2Dlg::OnDestroy() {
  CNewWizPage::OnDestroy();
  artwork::Release(m_pImageBanner);
  artwork::Release(m_pImagePage);
}
