#include "NewWizPage.h"

#include "NewWizDialog.h"

CNewWizPage::CNewWizPage() = default;

CNewWizPage::CNewWizPage(UINT nIDTemplate, CWnd* pParent) : CDialog(nIDTemplate, pParent), m_nDialogID(nIDTemplate) {}

CNewWizPage::~CNewWizPage() = default;

BEGIN_MESSAGE_MAP(CNewWizPage, CDialog)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

BOOL CNewWizPage::OnInitDialog() {
  CDialog::OnInitDialog();
  m_LargeFont.CreateFont(-16, 0, 0, 0, 700, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
  return TRUE;
}

void CNewWizPage::OnOK() {
  if (m_pParent) m_pParent->PressDefaultButton();
}

void CNewWizPage::OnCancel() {
  if (m_pParent) m_pParent->PressCancelButton();
}

BOOL CNewWizPage::OnCreatePage() { return TRUE; }
void CNewWizPage::OnDestroyPage() {}
BOOL CNewWizPage::OnKillActive() { return TRUE; }
void CNewWizPage::OnSetActive() {}
BOOL CNewWizPage::OnQueryCancel() { return TRUE; }
LRESULT CNewWizPage::OnWizardBack() { return 0; }
LRESULT CNewWizPage::OnWizardNext() { return 0; }
BOOL CNewWizPage::OnWizardFinish() { return TRUE; }

// Pages are white: every control-colour request gets the white brush, and
// text-bearing controls black text on white.
HBRUSH CNewWizPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  switch (nCtlColor) {
    case CTLCOLOR_EDIT:
    case CTLCOLOR_LISTBOX:
    case CTLCOLOR_BTN:
    case CTLCOLOR_SCROLLBAR:
    case CTLCOLOR_STATIC:
      pDC->SetTextColor(RGB(0, 0, 0));
      pDC->SetBkColor(RGB(255, 255, 255));
      break;
    default:
      break;
  }
  return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}
