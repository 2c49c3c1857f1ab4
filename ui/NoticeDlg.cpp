#include "NoticeDlg.h"

#include "InstallLog.h"
#include "resource.h"

namespace {

constexpr UINT_PTR kCloseTimer = 7777;
constexpr UINT kCloseAfterMs = 1500;

// Height of the notice font by screen density. The program has no value of
// its own for other densities; the 96-dpi height is scaled for them.
int NoticeFontHeight(int nDpi) {
  switch (nDpi) {
    case 96: return 13;
    case 120: return 15;
    case 144: return 19;
    case 192: return 24;
    default: return (13 * nDpi + 48) / 96;
  }
}

}  // namespace

IMPLEMENT_DYNAMIC(CNoticeDlg, CDialog)

BEGIN_MESSAGE_MAP(CNoticeDlg, CDialog)
  ON_WM_TIMER()
END_MESSAGE_MAP()

CNoticeDlg::CNoticeDlg(CWnd* pParent) : CDialog(IDD_NOTICE, pParent) {}

CNoticeDlg::~CNoticeDlg() = default;

void CNoticeDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_NOTICE_TEXT, m_staticText);
}

BOOL CNoticeDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_staticText.SetWindowText(m_strMessage);

  CDC* pDC = GetDC();
  const int nDpi = pDC->GetDeviceCaps(LOGPIXELSX);
  ReleaseDC(pDC);

  // Handed to the control for as long as it lives; never deleted.
  HFONT hFont = CreateFontA(NoticeFontHeight(nDpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
  m_staticText.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), TRUE);

  SetTimer(kCloseTimer, kCloseAfterMs, nullptr);
  WriteLog("NoticeDlg 실행");
  return TRUE;
}

void CNoticeDlg::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kCloseTimer) OnCancel();
  CDialog::OnTimer(nIDEvent);
}
