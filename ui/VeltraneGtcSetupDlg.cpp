#include "VeltraneGtcSetupDlg.h"

#include "InstallLog.h"
#include "SetupConfig.h"
#include "resource.h"

CVeltraneGtcSetupDlg::CVeltraneGtcSetupDlg(CWnd* pParent)
    : CNewWizDialog(IDD_VELTRANEGTCSETUP_DIALOG, pParent),
      m_hBackgroundBrush(static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))) {
  m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

CVeltraneGtcSetupDlg::~CVeltraneGtcSetupDlg() = default;

BEGIN_MESSAGE_MAP(CVeltraneGtcSetupDlg, CNewWizDialog)
  ON_BN_CLICKED(ID_WIZNEXT, &CVeltraneGtcSetupDlg::OnNext)
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

void CVeltraneGtcSetupDlg::DoDataExchange(CDataExchange* pDX) {
  CNewWizDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDCANCEL, m_btnCancel);
  DDX_Control(pDX, ID_WIZNEXT, m_btnNext);
  DDX_Control(pDX, ID_WIZFINISH, m_btnFinish);
  DDX_Control(pDX, ID_WIZBACK, m_btnBack);
}

int CVeltraneGtcSetupDlg::MeasureScreenDpi(CWnd* pWnd) {
  CDC* pWindowDC = pWnd->GetDC();
  CDC memoryDC;
  memoryDC.CreateCompatibleDC(pWindowDC);
  const int nDpi = memoryDC.GetDeviceCaps(LOGPIXELSX);
  pWnd->ReleaseDC(pWindowDC);
  return nDpi;
}

BOOL CVeltraneGtcSetupDlg::OnInitDialog() {
  m_nPlaceholderID = IDC_SHEETRECT;
  CDialog::OnInitDialog();
  ModifyStyleEx(0, WS_EX_CONTROLPARENT);
  // The first page may post a click to Next while it is shown; the Next
  // button is not recorded yet, so that click goes nowhere.
  SetFirstPage();
  SetIcon(m_hIcon, FALSE);
  m_hOwnWnd = m_hWnd;
  m_bNextEnabled = 1;
  m_bSwallowNextClick = 0;
  m_hNextButton = ::GetDlgItem(m_hWnd, ID_WIZNEXT);
  m_nScreenDpi = MeasureScreenDpi(this);
  SetWindowTitle();
  return TRUE;
}

void CVeltraneGtcSetupDlg::SetWindowTitle() {
  CString strTitle;
  if (m_bInstall) {
    const std::string strName =
        setup::ReadConfigValue("SITE_SPECIFIC", "UseSiteSpecificSetupTitle", 1024, m_strSourceCopyPath);
    if (strName.empty()) {
      strTitle = "Veltrane RAZ 설치";
    } else {
      WriteLog("CVeltraneGtcSetupDlg:: UseSiteSpecificSetupTitle, Title =%s, titlelength=%d", strName.c_str(),
               static_cast<int>(strName.size()));
      strTitle.Format("%s 설치", strName.c_str());
    }
  } else if (m_bUninstall) {
    const std::string strName = setup::ReadConfigValue("SITE_SPECIFIC", "UseSiteSpecificSetupTitle", 1024,
                                                       setup::InstalledCopyFromWindowsFolder().c_str());
    if (strName.empty()) {
      WriteLog("CVeltraneGtcSetupDlg:: UseSiteSpecificSetupTitle FAIL  Title =%s, titlelength=%d", strName.c_str(),
               static_cast<int>(strName.size()));
      strTitle = "Veltrane RAZ 제거";
    } else {
      WriteLog("CVeltraneGtcSetupDlg:: UseSiteSpecificSetupTitle, Title =%s, titlelength=%d", strName.c_str(),
               static_cast<int>(strName.size()));
      strTitle.Format("%s 제거", strName.c_str());
    }
  } else {
    return;  // the pages' titles stay
  }
  SetWindowText(strTitle);
}

void CVeltraneGtcSetupDlg::OnNext() {
  if (m_bNextEnabled != 1) return;
  if (m_bSwallowNextClick == 1) {
    m_bSwallowNextClick = 0;
    return;
  }
  Advance();
}

void CVeltraneGtcSetupDlg::OnPaint() {
  if (IsIconic()) {
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    dc.DrawIcon((rect.Width() - cxIcon + 1) / 2, (rect.Height() - cyIcon + 1) / 2, m_hIcon);
    return;
  }
  CDialog::OnPaint();
}

HCURSOR CVeltraneGtcSetupDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

HBRUSH CVeltraneGtcSetupDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
  pDC->SetBkMode(TRANSPARENT);
  return m_hBackgroundBrush;
}
