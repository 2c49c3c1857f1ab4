#include "ErrorDlg.h"

#include "resource.h"

BEGIN_MESSAGE_MAP(CErrorDlg, CDialog)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
END_MESSAGE_MAP()

CErrorDlg::CErrorDlg(CWnd* pParent) : CDialog(IDD_ERROR, pParent) {}

CErrorDlg::~CErrorDlg() = default;

// Besides the exchange itself, brings the window to the foreground and puts
// it, topmost, in the middle of the primary screen.
void CErrorDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  SetForegroundWindow();
  CRect rcWindow;
  GetWindowRect(&rcWindow);
  const int nScreenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int nScreenHeight = GetSystemMetrics(SM_CYSCREEN);
  SetWindowPos(&wndTopMost, nScreenWidth / 2 - rcWindow.Width() / 2, nScreenHeight / 2 - rcWindow.Height() / 2,
               rcWindow.Width(), rcWindow.Height(), SWP_SHOWWINDOW);
}

BOOL CErrorDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);
  SetWindowText(m_strTitle);
  SetDlgItemText(IDC_ERROR_MESSAGE, m_strMessage);
  return TRUE;
}

void CErrorDlg::OnOK() { CDialog::OnOK(); }

void CErrorDlg::OnSysCommand(UINT nID, LPARAM lParam) { CDialog::OnSysCommand(nID, lParam); }

// While minimised the dialog shows its icon in the middle of the client area.
void CErrorDlg::OnPaint() {
  if (IsIconic()) {
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    const int x = (rect.Width() - cxIcon + 1) / 2;
    const int y = (rect.Height() - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
  } else {
    CDialog::OnPaint();
  }
}

HCURSOR CErrorDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }
