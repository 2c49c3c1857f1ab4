// The progress page's window side: pictures, title, locked buttons, the
// status line, the bar, the elapsed time, the cancel question, the
// wait-timer limit, and the end of the work.
#include "ArtworkImage.h"
#include "ElapsedTime.h"
#include "InstallLog.h"
#include "ProgressDlg.h"
#include "SetupConfig.h"
#include "TextLines.h"
#include "VeltraneGtcSetupDlg.h"
#include "WizardTexts.h"
#include "resource.h"

namespace {

constexpr UINT_PTR kTimerId = 0;
constexpr char kCancelQuestion[] = "설치를 취소 하시겠습니까?";
constexpr char kCancelTitle[] = "설치 취소";

}  // namespace

CProgressDlg::CProgressDlg() : CNewWizPage(IDD_PROGRESS) {}

CProgressDlg::~CProgressDlg() = default;

BEGIN_MESSAGE_MAP(CProgressDlg, CNewWizPage)
  ON_WM_CTLCOLOR()
  ON_WM_PAINT()
  ON_WM_TIMER()
  ON_MESSAGE(WM_WORK_DONE, &CProgressDlg::OnWorkDone)
  ON_MESSAGE(WM_PAGE_ACTION, &CProgressDlg::OnPageAction)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

void CProgressDlg::DoDataExchange(CDataExchange* pDX) {
  CNewWizPage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PROGRESS_BAR, m_progress);
  DDX_Text(pDX, IDC_STATIC_1021, m_strTitle);
  DDX_Text(pDX, IDC_STATIC_1016, m_strInfo1);
  DDX_Text(pDX, IDC_STATIC_1017, m_strInfo2);
  DDX_Text(pDX, IDC_STATIC_1082, m_strInfo3);
  DDX_Text(pDX, IDC_STATUS, m_strStatus);
  DDX_Text(pDX, IDC_ELAPSED_CAPTION, m_strElapsedCaption);
  DDX_Text(pDX, IDC_ELAPSED, m_strElapsed);
}

BOOL CProgressDlg::OnInitDialog() {
  WriteLog("CProgressDlg::OnInitDialog  IN");
  CNewWizPage::OnInitDialog();
  m_hPageWnd = m_hWnd;
  m_hProgressWnd = m_progress.GetSafeHwnd();
  m_dwPageThreadId = GetCurrentThreadId();

  m_pImageTopRight = nullptr;
  m_pImageTopLeft = nullptr;
  m_pImageLower = nullptr;
  if (m_pMainDlg->m_bInstall) {
    char szCurrent[MAX_PATH] = {0};
    GetCurrentDirectoryA(MAX_PATH, szCurrent);
    const CString strIniPath = CString(szCurrent) + "\\VeltraneGTCSetup.ini";
    artwork::ReadLanguage(strIniPath);
    const CString strPrefix = strIniPath.Left(strIniPath.ReverseFind('\\') + 1);
    const int nDpi = m_pMainDlg->m_nScreenDpi;
    m_pImageTopRight = new CArtworkImage(artwork::FileName(strPrefix, "vtxSetUP", nDpi, true));
    m_pImageTopLeft = new CArtworkImage(artwork::FileName(strPrefix, "Set4-1", nDpi, false));
    m_pImageLower = new CArtworkImage(artwork::FileName(strPrefix, "Set4-2", nDpi, false));
  } else if (m_pMainDlg->m_bUninstall) {
    LoadUninstallArtwork();
  }

  CString strTitle;
  if (m_pMainDlg->m_bInstall || m_pMainDlg->m_bUninstall) {
    const bool bInstall = m_pMainDlg->m_bInstall != 0;
    const std::string strIniPath =
        bInstall ? std::string(m_pMainDlg->m_strSourceCopyPath) : setup::InstalledCopyFromWindowsFolder();
    const std::string strName =
        setup::ReadConfigValue("SITE_SPECIFIC", "UseSiteSpecificSetupTitle", 1024, strIniPath.c_str());
    if (strName.empty()) strTitle = bInstall ? "Veltrane RAZ 설치" : "Veltrane RAZ 제거";
    else strTitle.Format(bInstall ? "%s 설치" : "%s 제거", strName.c_str());
    WriteLog("CProgressDlg::OnInitDialog  UseSiteSpecificSetupTitle, szTitle =%s, szIniPath = %s ", strName.c_str(),
             strIniPath.c_str());
  } else {
    strTitle = wizardtexts::kNoModeTitle;
  }
  m_pMainDlg->SetWindowText(strTitle);

  m_pMainDlg->EnableNext(FALSE);
  m_pMainDlg->EnableBack(FALSE);
  m_pMainDlg->EnableFinish(FALSE);

  m_nProgressPos = 0;
  StartWorkThread();

  if (m_pMainDlg->m_nWaitTimerLimit > 0) {
    m_strElapsedCaption = setup::LookupText("106").c_str();
    if (m_pMainDlg->m_bInstall) m_strElapsedCaption = "설치 시간 : ";
    else if (m_pMainDlg->m_bUninstall) m_strElapsedCaption = "삭제 시간 : ";
    else m_strElapsedCaption = wizardtexts::kNoModeElapsedCaption;
    m_strElapsedCaption += " ";
    m_strMinuteUnit = setup::LookupText("52").c_str();
    m_strMinuteUnit = "분";
    m_strSecondUnit = setup::LookupText("53").c_str();
    m_strSecondUnit = "초";
    m_strElapsed = "00" + m_strMinuteUnit + "00" + m_strSecondUnit;
    SetDlgItemText(IDC_ELAPSED, m_strElapsed);
  }
  if (!m_pMainDlg->m_bSilent) SetTimer(kTimerId, 1000, nullptr);
  WriteLog("CProgressDlg::OnInitDialog  OUT");
  return TRUE;
}

int CProgressDlg::InitInstance() {
  WriteLog("CProgressDlg::InitInstance IN");
  m_nElapsedSeconds = 0;
  m_strMinuteUnit.Empty();
  m_strSecondUnit.Empty();
  m_bWaitTimeUp = 0;
  m_bTimerPaused = 0;
  if (!m_pMainDlg->m_bSilent) {
    const bool bInstall = m_pMainDlg->m_bInstall != 0;
    const bool bUninstall = m_pMainDlg->m_bUninstall != 0;
    m_strMinuteUnit = setup::LookupText("52").c_str();
    m_strMinuteUnit = "분";
    m_strSecondUnit = setup::LookupText("53").c_str();
    m_strSecondUnit = "초";
    m_strTitle = setup::LookupText("51").c_str();
    if (bInstall) m_strTitle = "설치 상태";
    else if (bUninstall) m_strTitle = "제거 상태";
    else m_strTitle = wizardtexts::kNoModeStatusTitle;
    // With neither mode the lookup's bare keys would show; these lines stay empty.
    m_strInfo1 = setup::LookupText("52").c_str();
    m_strInfo1.Empty();
    CString strLines = setup::LookupText("53").c_str();
    strLines.Empty();
    m_strInfo2 = textlines::TakeLine(strLines);
    m_strInfo3 = textlines::TakeLine(strLines);
    CString strStatus = setup::LookupText("54").c_str();
    if (bInstall) strStatus.Empty();
    else if (bUninstall) strStatus = "인스톨 정보 가져오는 중...";
    else strStatus = wizardtexts::kNoModeStatus;
    ShowStatus(strStatus);
    m_pMainDlg->EnableCancel(FALSE);
    m_pMainDlg->UpdateData(FALSE);
    HFONT hFont = CreateFontA(13, 0, 0, 0, 700, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    if (CWnd* pTitle = GetDlgItem(IDC_STATIC_1021)) pTitle->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), TRUE);
    UpdateData(FALSE);
  }
  WriteLog("CProgressDlg::InitInstance OUT");
  return 1;
}

LRESULT CProgressDlg::OnPageAction(WPARAM wParam, LPARAM) {
  DoPageAction(static_cast<PageAction>(wParam));
  return 0;
}

void CProgressDlg::DoPageAction(PageAction action) {
  switch (action) {
    case kActionInitInstance:
      InitInstance();
      break;
    case kActionRefresh:
      UpdateData(FALSE);
      break;
    case kActionRollbackDisplay: {
      UpdateData(FALSE);
      const std::string strName =
          setup::ReadConfigValue("SITE_SPECIFIC", "UseSiteSpecificSetupTitle", 1024, m_pMainDlg->m_strSourceCopyPath);
      CString strTitle;
      if (strName.empty()) strTitle = "Veltrane RAZ 설치 원복";
      else strTitle.Format("%s 설치 원복", strName.c_str());
      m_pMainDlg->SetWindowText(strTitle);
      LoadUninstallArtwork();
      InvalidateRect(nullptr, TRUE);
      break;
    }
  }
}

CString CProgressDlg::ElapsedText() const {
  return ElapsedTimeText(m_nElapsedSeconds, m_strMinuteUnit, m_strSecondUnit);
}

void CProgressDlg::OnTimer(UINT_PTR nIDEvent) {
  if (!m_pMainDlg->m_bSilent && m_pMainDlg->m_nWaitTimerLimit >= 1 && !m_bTimerPaused) {
    ++m_nElapsedSeconds;
    m_strElapsed = ElapsedText();
    SetDlgItemText(IDC_ELAPSED, m_strElapsed);
    if (m_nElapsedSeconds == m_pMainDlg->m_nWaitTimerLimit) {
      m_bWaitTimeUp = 1;
      OnCancel();
      // A running worker records the outcome itself when it ends; a run
      // whose worker never started did no work, and records nothing.
      if (!m_hWorkerThread) {
        m_handshake.CancelUndecided();
        m_pMainDlg->m_bWorkSkipped = 1;
        IsWorkGroupExit();
      }
    }
  }
  CNewWizPage::OnTimer(nIDEvent);
}

BOOL CProgressDlg::OnQueryCancel() {
  const bool bInstall = m_pMainDlg->m_bInstall != 0;
  if (m_bWaitTimeUp) {
    m_handshake.CancelUndecided();
    CString strMessage = setup::LookupText("121").c_str();
    strMessage = wizardtexts::TimeoutMessage(m_pMainDlg->m_bInstall != 0, m_pMainDlg->m_bUninstall != 0);
    CString strTitle = setup::LookupText("120").c_str();
    strTitle = wizardtexts::kTimeoutTitle;
    m_bTimerPaused = 1;
    if (!bInstall) MessageBox(strMessage, strTitle, MB_OK | MB_ICONHAND | MB_TOPMOST);
    WriteLog("%s", (LPCSTR)strMessage);
    m_bTimerPaused = 0;
    return TRUE;
  }
  if (m_bPageActive) {
    // While the question is open the worker does not decide; once it has
    // decided, the answer no longer changes whether the work runs.
    const bool bHoldsDecision = m_handshake.BeginQuestion();
    m_bTimerPaused = 1;
    const bool bCancel =
        !bInstall && MessageBox(kCancelQuestion, kCancelTitle, MB_YESNO | MB_ICONQUESTION | MB_TOPMOST) == IDYES;
    if (bHoldsDecision) m_handshake.AnswerQuestion(bCancel);
    m_bTimerPaused = 0;
    if (bCancel) return TRUE;
    WriteLog("%s", kCancelQuestion);
    return FALSE;
  }
  return TRUE;
}

// The clock keeps running through a refused cancel: only the end of the
// wizard stops it.
void CProgressDlg::OnCancel() {
  for (int i = 0; i < m_pMainDlg->GetPageCount(); ++i) {
    CNewWizPage* pPage = m_pMainDlg->GetPage(i);
    if (pPage->m_bCreated && !pPage->OnQueryCancel()) return;
  }
  StopClock();
  m_pMainDlg->EndDialog(IDCANCEL);
}

// Enter presses the wizard's default button, which on this page is
// locked while the work runs; the clock goes on.
void CProgressDlg::OnOK() { m_pMainDlg->PressDefaultButton(); }

void CProgressDlg::StopClock() {
  if (!m_pMainDlg->m_bSilent && GetSafeHwnd()) KillTimer(kTimerId);
}

void CProgressDlg::OnSetActive() {
  WriteLog("CProgressDlg::OnSetActive  IN");
  m_bPageActive = 1;
  m_pMainDlg->m_bSwallowNextClick = 1;
  m_pMainDlg->m_bNextEnabled = 0;
  ::PostMessageA(m_pMainDlg->m_hNextButton, BM_CLICK, 0, 0);
  WriteLog("CProgressDlg::OnSetActive  OUT");
}

BOOL CProgressDlg::OnKillActive() {
  WriteLog("CProgressDlg::OnKillActive  IN");
  m_pMainDlg->EnableNext(TRUE);
  m_pMainDlg->m_bNextEnabled = 1;
  m_bPageActive = 0;
  WriteLog("CProgressDlg::OnKillActive  OUT");
  return TRUE;
}

LRESULT CProgressDlg::OnWorkDone(WPARAM, LPARAM) {
  // The work has ended: the wait-timer limit no longer applies, on this
  // page or on the finish page.
  StopClock();
  Sleep(2000);
  const std::string strForceReboot =
      setup::ReadConfigValue("InstallRoot", "ForceReboot", MAX_PATH, m_pMainDlg->m_strInstalledCopyPath);
  // Only an install or uninstall that ran to its end unreverted restarts.
  if (!m_pMainDlg->m_bSilent && strForceReboot == "1" && RunCompleted()) {
    WriteLog("ForceReboot=1 에 의해 강제 재부팅");
    // The worker writes its outcome right after posting this message; let
    // it finish before the restart path writes the same file.
    for (int i = 0; i < 500 && !m_bOutcomeRecorded; ++i) Sleep(10);
    if (!forceRebooting()) {
      m_pMainDlg->Advance();
      m_pMainDlg->EnableNext(FALSE);
      m_pMainDlg->EnableFinish(TRUE);
    }
    return 0;
  }
  m_pMainDlg->Advance();
  return 0;
}

void CProgressDlg::OnPaint() {
  CPaintDC dc(this);
  GpGraphics* pGraphics = nullptr;
  GdipCreateFromHWND(GetSafeHwnd(), &pGraphics);
  CRect rectClient;
  GetClientRect(&rectClient);
  if (m_pImageTopRight) {
    const int nMargin = artwork::HeaderMargin(m_pMainDlg->m_nScreenDpi);
    m_pImageTopRight->Draw(pGraphics, rectClient.Width() - static_cast<int>(m_pImageTopRight->GetWidth()) - nMargin, 2);
  }
  if (m_pImageTopLeft) m_pImageTopLeft->Draw(pGraphics, 5, 5);
  if (m_pImageLower) {
    CRect rectSeparator;
    if (CWnd* pSeparator = GetDlgItem(IDC_PROGRESS_SEPARATOR)) {
      pSeparator->GetWindowRect(&rectSeparator);
      ScreenToClient(&rectSeparator);
    }
    m_pImageLower->Draw(pGraphics, 5, rectSeparator.bottom + 5);
  }
  if (pGraphics) GdipDeleteGraphics(pGraphics);
}

HBRUSH CProgressDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  CNewWizPage::OnCtlColor(pDC, pWnd, nCtlColor);
  pDC->SetBkMode(TRANSPARENT);
  return m_pMainDlg->m_hBackgroundBrush;
}

void CProgressDlg::OnDestroy() {
  WriteLog("CProgressDlg::OnDestroy  IN");
  CNewWizPage::OnDestroy();
  artwork::Release(m_pImageTopRight);
  artwork::Release(m_pImageTopLeft);
  artwork::Release(m_pImageLower);
  StopClock();
  WriteLog("CProgressDlg::OnDestroy  OUT");
}
