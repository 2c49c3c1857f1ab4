#include "NewWizDialog.h"

#include "resource.h"

CNewWizDialog::CNewWizDialog(UINT nIDTemplate, CWnd* pParent) : CDialog(nIDTemplate, pParent), m_PageList(10) {}

CNewWizDialog::~CNewWizDialog() = default;

BEGIN_MESSAGE_MAP(CNewWizDialog, CDialog)
  ON_BN_CLICKED(ID_WIZBACK, &CNewWizDialog::OnWizardBack)
  ON_BN_CLICKED(ID_WIZNEXT, &CNewWizDialog::OnWizardNext)
  ON_BN_CLICKED(ID_WIZFINISH, &CNewWizDialog::OnWizardFinish)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

void CNewWizDialog::AddPage(CNewWizPage* pPage, UINT nID) {
  pPage->m_nDialogID = nID;
  m_PageList.AddTail(pPage);
}

CNewWizPage* CNewWizDialog::GetPage(int nIndex) const {
  POSITION pos = m_PageList.FindIndex(nIndex);
  return pos ? static_cast<CNewWizPage*>(m_PageList.GetAt(pos)) : nullptr;
}

int CNewWizDialog::FindPageIndex(CNewWizPage* pPage) const {
  int nIndex = 0;
  for (POSITION pos = m_PageList.GetHeadPosition(); pos; ++nIndex) {
    if (m_PageList.GetNext(pos) == pPage) return nIndex;
  }
  return -1;
}

CNewWizPage* CNewWizDialog::GetActivePage() const {
  for (POSITION pos = m_PageList.GetHeadPosition(); pos;) {
    auto* pPage = static_cast<CNewWizPage*>(m_PageList.GetNext(pos));
    if (pPage->m_bActive) return pPage;
  }
  return nullptr;
}

BOOL CNewWizDialog::DeactivatePage() {
  CNewWizPage* pPage = GetActivePage();
  if (!pPage) return TRUE;
  if (!pPage->OnKillActive()) return FALSE;
  pPage->ShowWindow(SW_HIDE);
  pPage->m_bActive = FALSE;
  return TRUE;
}

BOOL CNewWizDialog::ActivatePage(CNewWizPage* pPage) {
  if (!pPage) return FALSE;
  if (!pPage->m_bCreated) {
    if (!pPage->Create(pPage->m_nDialogID, this)) return FALSE;
    pPage->m_bCreated = TRUE;
    pPage->m_pParent = this;
    if (!pPage->OnCreatePage()) return FALSE;
  }
  if (!DeactivatePage()) return FALSE;

  CRect rect;
  if (CWnd* pPlaceholder = GetDlgItem(m_nPlaceholderID)) {
    pPlaceholder->GetWindowRect(&rect);
    ScreenToClient(&rect);
  }
  pPage->SetWindowPos(nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  pPage->EnableWindow(TRUE);
  pPage->ShowWindow(SW_SHOW);
  pPage->InvalidateRect(nullptr, TRUE);
  pPage->UpdateWindow();
  pPage->OnSetActive();
  pPage->m_bActive = TRUE;
  return TRUE;
}

void CNewWizDialog::SetFirstPage() {
  DeactivatePage();
  EnableBack(FALSE);
  if (GetPageCount() < 2) {
    EnableFinish(TRUE);
    EnableNext(FALSE);
  } else {
    EnableFinish(FALSE);
    EnableNext(TRUE);
  }
  if (GetPageCount() > 0) ActivatePage(GetPage(0));
}

BOOL CNewWizDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  ModifyStyleEx(0, WS_EX_CONTROLPARENT);
  SetFirstPage();
  return TRUE;
}

void CNewWizDialog::Advance() {
  CNewWizPage* pCurrent = GetActivePage();
  const int nIndex = pCurrent ? FindPageIndex(pCurrent) : -1;
  if (nIndex >= 0 && nIndex + 1 < GetPageCount()) {
    ActivatePage(GetPage(nIndex + 1));
    return;
  }
  FinishWizard();
}

void CNewWizDialog::OnWizardBack() {
  CNewWizPage* pCurrent = GetActivePage();
  if (!pCurrent) return;
  const LRESULT lResult = pCurrent->OnWizardBack();
  if (lResult == -1) return;
  CNewWizPage* pTarget = nullptr;
  if (lResult == 0) {
    const int nIndex = FindPageIndex(pCurrent);
    if (nIndex <= 0) return;
    pTarget = GetPage(nIndex - 1);
  } else {
    for (int i = 0; i < GetPageCount() && !pTarget; ++i) {
      if (GetPage(i)->m_nDialogID == static_cast<UINT>(lResult)) pTarget = GetPage(i);
    }
    if (!pTarget) return;
  }
  if (!ActivatePage(pTarget)) return;
  if (FindPageIndex(pTarget) == 0) {
    EnableBack(FALSE);
    EnableFinish(FALSE);
  }
  EnableNext(TRUE);
}

void CNewWizDialog::OnWizardNext() {
  CNewWizPage* pCurrent = GetActivePage();
  if (!pCurrent) return;
  const LRESULT lResult = pCurrent->OnWizardNext();
  if (lResult == -1) return;
  CNewWizPage* pTarget = nullptr;
  if (lResult == 0) {
    const int nIndex = FindPageIndex(pCurrent);
    if (nIndex < 0 || nIndex + 1 >= GetPageCount()) return;
    pTarget = GetPage(nIndex + 1);
  } else {
    for (int i = 0; i < GetPageCount() && !pTarget; ++i) {
      if (GetPage(i)->m_nDialogID == static_cast<UINT>(lResult)) pTarget = GetPage(i);
    }
    if (!pTarget) return;
  }
  if (!ActivatePage(pTarget)) return;
  if (FindPageIndex(pTarget) == GetPageCount() - 1) {
    EnableNext(FALSE);
    EnableFinish(TRUE);
  }
  EnableBack(TRUE);
}

void CNewWizDialog::OnWizardFinish() { FinishWizard(); }

void CNewWizDialog::FinishWizard() {
  CNewWizPage* pCurrent = GetActivePage();
  if (pCurrent && !pCurrent->OnKillActive()) return;
  for (int i = 0; i < GetPageCount(); ++i) {
    CNewWizPage* pPage = GetPage(i);
    if (pPage->m_bCreated && !pPage->OnWizardFinish()) return;
  }
  UpdateData(TRUE);
  EndDialog(ID_WIZFINISH);
}

BOOL CNewWizDialog::CancelWizard() {
  for (int i = 0; i < GetPageCount(); ++i) {
    CNewWizPage* pPage = GetPage(i);
    if (pPage->m_bCreated && !pPage->OnQueryCancel()) return FALSE;
  }
  CDialog::OnCancel();
  return TRUE;
}

void CNewWizDialog::OnCancel() { CancelWizard(); }

// The frame's hidden OK button must never end the wizard.
void CNewWizDialog::OnOK() { PressDefaultButton(); }

void CNewWizDialog::PressDefaultButton() {
  for (int nID : {ID_WIZNEXT, ID_WIZFINISH}) {
    CWnd* pButton = GetDlgItem(nID);
    if (pButton && pButton->IsWindowVisible() && pButton->IsWindowEnabled()) {
      SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(pButton->GetSafeHwnd()));
      return;
    }
  }
}

void CNewWizDialog::PressCancelButton() {
  CWnd* pButton = GetDlgItem(IDCANCEL);
  if (pButton && pButton->IsWindowEnabled()) CancelWizard();
}

void CNewWizDialog::OnDestroy() {
  for (int i = 0; i < GetPageCount(); ++i) {
    CNewWizPage* pPage = GetPage(i);
    if (pPage->m_bCreated && pPage->OnKillActive()) {
      pPage->OnDestroyPage();
      pPage->DestroyWindow();
      pPage->m_bCreated = FALSE;
    }
  }
  CDialog::OnDestroy();
}

void CNewWizDialog::EnableBack(BOOL bEnable) {
  if (CWnd* p = GetDlgItem(ID_WIZBACK)) p->EnableWindow(bEnable);
}
void CNewWizDialog::EnableNext(BOOL bEnable) {
  if (CWnd* p = GetDlgItem(ID_WIZNEXT)) p->EnableWindow(bEnable);
}
void CNewWizDialog::EnableFinish(BOOL bEnable) {
  if (CWnd* p = GetDlgItem(ID_WIZFINISH)) p->EnableWindow(bEnable);
}
void CNewWizDialog::EnableCancel(BOOL bEnable) {
  if (CWnd* p = GetDlgItem(IDCANCEL)) p->EnableWindow(bEnable);
}
