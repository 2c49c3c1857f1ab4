#include "WelComeDlg.h"

#include "InstallLog.h"
#include "SetupConfig.h"
#include "VeltraneGtcSetupDlg.h"
#include "WizardTexts.h"
#include "resource.h"

CWelComeDlg::CWelComeDlg() : CNewWizPage(IDD_WELCOME) {}

CWelComeDlg::~CWelComeDlg() = default;

BEGIN_MESSAGE_MAP(CWelComeDlg, CNewWizPage)
  ON_WM_PAINT()
  ON_WM_CTLCOLOR()
  ON_WM_DESTROY()
  ON_BN_CLICKED(IDC_CHECK_REBOOT, &CWelComeDlg::OnRebootCheck)
END_MESSAGE_MAP()

void CWelComeDlg::DoDataExchange(CDataExchange* pDX) {
  CNewWizPage::DoDataExchange(pDX);
  m_pMainDlg->SetWindowText(setup::LookupText("0").c_str());
  for (int nID = IDC_STATIC_1018; nID <= IDC_STATIC_1023; ++nID) SetDlgItemText(nID, "");
  if (pDX->m_bSaveAndValidate || m_pMainDlg->m_bInstall || m_pMainDlg->m_bUninstall) return;
  // Neither mode: no artwork is loaded, so the page says in its labels that
  // no work was asked for and how to ask for it.
  m_pMainDlg->SetWindowText(wizardtexts::kNoModeTitle);
  wizardtexts::ShowLabel(this, IDC_STATIC_1016, wizardtexts::kNoModeWelcomeHeading);
  wizardtexts::ShowLabel(this, IDC_STATIC_1017, wizardtexts::kNoModeWelcomeText);
}

BOOL CWelComeDlg::OnInitDialog() {
  CNewWizPage::OnInitDialog();
  CString strRecoveryFolder = m_pMainDlg->m_strInstalledCopyPath;
  strRecoveryFolder = strRecoveryFolder.Left(strRecoveryFolder.ReverseFind('\\'));
  // The wizard has not measured the density yet when its first page starts.
  const int nDpi = CVeltraneGtcSetupDlg::MeasureScreenDpi(this);
  m_pImageBanner = nullptr;
  m_pImagePage = nullptr;
  if (m_pMainDlg->m_bInstall) {
    artwork::ReadLanguage(m_pMainDlg->m_strSourceCopyPath);
    const CString strPrefix = m_pMainDlg->m_strSourceFolder + "\\";
    const CString strPath_vtxSet = artwork::FileName(strPrefix, "vtxSet", nDpi, true);
    const CString strPathPage = artwork::FileName(strPrefix, "Set1-1", nDpi, false);
    WriteLog("WelComeDlg::OninitDlg() strPath_vtxSet = %s", (LPCSTR)strPath_vtxSet);
    m_pImageBanner = new CArtworkImage(strPath_vtxSet);
    m_pImagePage = new CArtworkImage(strPathPage);
  }
  if (m_pMainDlg->m_bUninstall) {
    artwork::ReadLanguage(setup::InstalledCopyFromWindowsFolder().c_str());
    const CString strPrefix = strRecoveryFolder + "\\";
    artwork::Release(m_pImageBanner);
    artwork::Release(m_pImagePage);
    m_pImageBanner = new CArtworkImage(artwork::FileName(strPrefix, "vtxSet", nDpi, true));
    m_pImagePage = new CArtworkImage(artwork::FileName(strPrefix, "Un1-1", nDpi, false));
  }
  return TRUE;
}

void CWelComeDlg::OnSetActive() {
  m_bPageActive = 1;
  // The frame swallows this click; the Next button keeps the focus.
  m_pMainDlg->m_bSwallowNextClick = 1;
  ::PostMessageA(m_pMainDlg->m_hNextButton, BM_CLICK, 0, 0);
}

BOOL CWelComeDlg::OnKillActive() {
  m_bPageActive = 0;
  return TRUE;
}

BOOL CWelComeDlg::OnQueryCancel() {
  if (m_bPageActive != 1) return TRUE;
  return MessageBox("설치를 취소 하시겠습니까?", "설치 취소", MB_YESNO | MB_ICONQUESTION | MB_TOPMOST) == IDYES;
}

void CWelComeDlg::OnOK() { m_pMainDlg->Advance(); }

void CWelComeDlg::OnCancel() { m_pMainDlg->CancelWizard(); }

void CWelComeDlg::OnPaint() { artwork::DrawSideBySide(this, m_pImageBanner, m_pImagePage); }

HBRUSH CWelComeDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  CNewWizPage::OnCtlColor(pDC, pWnd, nCtlColor);
  pDC->SetBkMode(TRANSPARENT);
  return m_pMainDlg->m_hBackgroundBrush;
}

void CWelComeDlg::OnDestroy() {
  CNewWizPage::OnDestroy();
  artwork::Release(m_pImageBanner);
  artwork::Release(m_pImagePage);
}

void CWelComeDlg::OnRebootCheck() {
  CButton* pCheck = static_cast<CButton*>(GetDlgItem(IDC_CHECK_REBOOT));
  m_pMainDlg->EnableNext(pCheck && pCheck->GetCheck() == BST_CHECKED);
}
