#include "LicenseDlg.h"

#include <vector>

#include "VeltraneGtcSetupDlg.h"
#include "resource.h"

CLicenseDlg::CLicenseDlg() : CNewWizPage(IDD_LICENSE) {}

CLicenseDlg::~CLicenseDlg() = default;

BEGIN_MESSAGE_MAP(CLicenseDlg, CNewWizPage)
  ON_BN_CLICKED(IDC_RADIO_ACCEPT, &CLicenseDlg::OnAccept)
  ON_BN_CLICKED(IDC_RADIO_DECLINE, &CLicenseDlg::OnDecline)
  ON_WM_PAINT()
  ON_WM_CTLCOLOR()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

void CLicenseDlg::DoDataExchange(CDataExchange* pDX) {
  CNewWizPage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_RADIO_DECLINE, m_btnDecline);
  DDX_Control(pDX, IDC_RADIO_ACCEPT, m_btnAccept);
  DDX_Text(pDX, IDC_EDIT_AGREEMENT, m_strAgreement);
  DDX_Text(pDX, IDC_STATIC_1021, m_strTopMessage);
  if (!pDX->m_bSaveAndValidate) m_btnAccept.SetCheck(m_nAgreement == 0 ? BST_CHECKED : BST_UNCHECKED);
}

BOOL CLicenseDlg::OnInitDialog() {
  CNewWizPage::OnInitDialog();
  m_pImageBanner = nullptr;
  m_pImagePage = nullptr;
  if (m_pMainDlg->m_bInstall) {
    artwork::ReadLanguage(m_pMainDlg->m_strSourceCopyPath);
    // Relative names: found in the current directory.
    m_pImageBanner = new CArtworkImage(artwork::FileName("", "vtxSetUP", m_pMainDlg->m_nScreenDpi, true));
    m_pImagePage = new CArtworkImage(artwork::FileName("", "Set2-1", m_pMainDlg->m_nScreenDpi, false));
  }
  ReadAgreement();
  m_btnAccept.SetWindowText("사용권 계약의 조항에 동의합니다(&A)");
  m_btnDecline.SetWindowText("사용권 계약의 조항에 동의하지 않습니다(&D)");
  if (CWnd* pTop = GetDlgItem(IDC_STATIC_1021)) {
    m_font.CreateFont(13, 0, 0, 0, 700, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    pTop->SetFont(&m_font, TRUE);
    m_font.Detach();  // the label keeps the font
  }
  UpdateData(FALSE);
  return TRUE;
}

void CLicenseDlg::ReadAgreement() {
  const CString strPath = m_pMainDlg->m_strSourceFolder + "\\EULA_kor.txt";
  m_strAgreement.Empty();
  CFile file;
  CFileException error;
  if (!file.Open(strPath, CFile::modeRead | CFile::shareDenyNone, &error)) {
    error.ReportError();
    return;
  }
  // A failure while measuring or reading is a file error like a failed
  // open: the box names it and the agreement stays empty, never partly read.
  file.ClearError();
  const ULONGLONG nLength = file.GetLength();
  std::vector<char> buffer;
  ULONGLONG nRead = 0;
  if (!file.HasError()) {
    buffer.assign(static_cast<size_t>(nLength) + 1, '\0');
    while (nRead < nLength) {
      const UINT nChunk = file.Read(buffer.data() + nRead, static_cast<UINT>(nLength - nRead));
      if (nChunk == 0) break;
      nRead += nChunk;
    }
  }
  if (file.HasError() || nRead < nLength) {
    // A file that ends before its measured length was not read either.
    const CFileException failure = file.HasError()
                                       ? file.GetLastException()
                                       : CFileException(CFileException::endOfFile, ERROR_HANDLE_EOF, strPath);
    file.Close();
    failure.ReportError();
    return;
  }
  file.Close();
  m_strAgreement = buffer.data();  // up to the first NUL byte
}

void CLicenseDlg::OnSetActive() {
  m_bPageActive = 1;
  if (m_pMainDlg->m_nPageCount <= m_nPagePosition) {
    m_pMainDlg->EnableNext(FALSE);
    m_pMainDlg->EnableFinish(TRUE);
  } else {
    m_pMainDlg->EnableNext(TRUE);
    m_pMainDlg->EnableFinish(FALSE);
  }
  m_pMainDlg->EnableBack(TRUE);
  m_pMainDlg->EnableNext(m_nAgreement == 0);
  // Every visit starts declined.
  m_btnDecline.PostMessage(BM_CLICK, 0, 0);
}

BOOL CLicenseDlg::OnKillActive() {
  m_bPageActive = 0;
  return TRUE;
}

BOOL CLicenseDlg::OnQueryCancel() {
  if (m_bPageActive != 1) return TRUE;
  return MessageBox("설치를 취소 하시겠습니까?", "설치 취소", MB_YESNO | MB_ICONQUESTION | MB_TOPMOST) == IDYES;
}

void CLicenseDlg::OnOK() {
  if (m_nAgreement == 1) return;
  m_pMainDlg->Advance();
}

void CLicenseDlg::OnCancel() { m_pMainDlg->CancelWizard(); }

void CLicenseDlg::OnAccept() {
  m_btnAccept.SetCheck(BST_CHECKED);
  m_btnDecline.SetCheck(BST_UNCHECKED);
  m_nAgreement = 0;
  m_pMainDlg->EnableNext(TRUE);
}

void CLicenseDlg::OnDecline() {
  m_btnAccept.SetCheck(BST_UNCHECKED);
  m_btnDecline.SetCheck(BST_CHECKED);
  m_nAgreement = 1;
  m_pMainDlg->EnableNext(FALSE);
}

void CLicenseDlg::OnPaint() {
  CPaintDC dc(this);
  CRect rect;
  GetClientRect(&rect);
  dc.FillSolidRect(&rect, RGB(255, 255, 255));
  const int nMargin = artwork::HeaderMargin(m_pMainDlg->m_nScreenDpi);
  GpGraphics* pGraphics = nullptr;
  GdipCreateFromHWND(GetSafeHwnd(), &pGraphics);
  if (m_pImageBanner) {
    const int nWidth = static_cast<int>(m_pImageBanner->GetWidth());
    m_pImageBanner->Draw(pGraphics, rect.Width() - nWidth - nMargin, 2);
  }
  if (m_pImagePage) m_pImagePage->Draw(pGraphics, 5, 5);
  if (pGraphics) GdipDeleteGraphics(pGraphics);
}

HBRUSH CLicenseDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  CNewWizPage::OnCtlColor(pDC, pWnd, nCtlColor);
  const int nID = pWnd ? pWnd->GetDlgCtrlID() : 0;
  if (nID == IDC_STATIC_1021 || nID == IDC_RADIO_ACCEPT || nID == IDC_RADIO_DECLINE) pDC->SetBkMode(TRANSPARENT);
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CLicenseDlg::OnDestroy() {
  CNewWizPage::OnDestroy();
  artwork::Release(m_pImageBanner);
  artwork::Release(m_pImagePage);
}
