// Dialogs of the framework: modal and modeless creation from a template,
// initialisation with data exchange and placement, OK and Cancel, and the
// data-exchange helpers.
#include "afxdialogex.h"
#include "desktop_internal.h"
#include "dlgres.h"

using namespace winsim::desktop;

IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CDialogEx, CDialog)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
  ON_COMMAND(IDOK, &CDialog::OnOK)
  ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CDialogEx, CDialog)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

namespace {

HWND OwnerFor(CWnd* parent) {
  if (parent && parent->m_hWnd) return TopLevelOf(parent->m_hWnd);
  CWnd* main = AfxGetMainWnd();
  return main && main->m_hWnd ? TopLevelOf(main->m_hWnd) : nullptr;
}

}  // namespace

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate),
      m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)),
      m_nIDTemplate(nIDTemplate),
      m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {
  if (IS_INTRESOURCE(lpszTemplateName)) m_nIDTemplate = static_cast<UINT>(reinterpret_cast<uintptr_t>(lpszTemplateName));
}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
  HWND owner = OwnerFor(m_pParentWnd);
  // The owner is disabled before the dialog exists, as the framework does,
  // and enabled again before the dialog is destroyed.
  bool disable = owner && ::IsWindowEnabled(owner);
  if (disable) ::EnableWindow(owner, FALSE);
  m_nModalResult = -1;
  UINT id = m_nIDTemplate;
  auto create = [this, id, owner] { return CreateDialogFromTemplate(id, owner, this); };
  INT_PTR result = -1;
  EnsureUi();
  if (OnUiThread()) {
    HWND hwnd = create();
    if (hwnd) result = RunModal(hwnd);
  } else {
    result = RunModalFromWorker(create);
  }
  if (disable) ::EnableWindow(owner, TRUE);
  if (m_hWnd) DestroyWindow();
  m_nModalResult = result;
  return result;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  m_nIDTemplate = nIDTemplate;
  m_lpszTemplateName = MAKEINTRESOURCEA(nIDTemplate);
  if (pParentWnd) m_pParentWnd = pParentWnd;
  HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : (AfxGetMainWnd() ? AfxGetMainWnd()->m_hWnd : nullptr);
  HWND hwnd = CallOnUi<HWND>([&] { return CreateDialogFromTemplate(nIDTemplate, parent, this); });
  return hwnd != nullptr;
}

BOOL CDialog::Create(LPCSTR lpszTemplateName, CWnd* pParentWnd) {
  if (!IS_INTRESOURCE(lpszTemplateName)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return FALSE;
  }
  return Create(static_cast<UINT>(reinterpret_cast<uintptr_t>(lpszTemplateName)), pParentWnd);
}

void CDialog::EndDialog(int nResult) {
  m_nModalResult = nResult;
  ::EndDialog(m_hWnd, nResult);
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
  if (pWndCtrl) ::SetFocus(pWndCtrl->m_hWnd);
}

void CDialog::NextDlgCtrl() const {}

// WM_INITDIALOG: the dialog's own initialisation, then the framework's
// placement: a modal dialog that was hidden, is still hidden, did not move
// and whose owner is disabled (or that has none) is centred.
LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
  const DLGTEMPLATE_RES* t = AfxFindDialogTemplate(m_nIDTemplate);
  bool wasVisible = t && (t->style & WS_VISIBLE);
  RECT before{};
  ::GetWindowRect(m_hWnd, &before);
  HWND hwnd = m_hWnd;
  BOOL result = OnInitDialog();
  if (!::IsWindow(hwnd) || wasVisible) return result;
  if (::GetWindowLongA(hwnd, GWL_STYLE) & (WS_VISIBLE | WS_CHILD)) return result;
  RECT after{};
  ::GetWindowRect(hwnd, &after);
  if (after.left != before.left || after.top != before.top) return result;
  HWND owner = ::GetParent(hwnd);
  if (owner && ::IsWindowEnabled(owner)) return result;
  CenterWindow();
  return result;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialogEx::SetBackgroundColor(COLORREF color, BOOL bRepaint) {
  m_brBkgr.DeleteObject();
  m_brBkgr.CreateSolidBrush(color);
  if (bRepaint && m_hWnd) Invalidate();
}

HBRUSH CDialogEx::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  if (m_brBkgr.m_hObject && nCtlColor == CTLCOLOR_DLG) return static_cast<HBRUSH>(m_brBkgr.m_hObject);
  return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

HWND CDataExchange::PrepareCtrl(int nIDC) {
  HWND control = m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC) : nullptr;
  if (!control) Fail();
  return control;
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND control = pDX->PrepareCtrl(nIDC);
  if (!control) return;
  if (pDX->m_bSaveAndValidate) {
    int length = ::GetWindowTextLengthA(control);
    ::GetWindowTextA(control, value.GetBuffer(length), length + 1);
    value.ReleaseBuffer();
  } else {
    ::SetWindowTextA(control, value);
  }
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
  HWND control = pDX->PrepareCtrl(nIDC);
  if (!control) return;
  if (pDX->m_bSaveAndValidate) {
    char text[64] = {};
    ::GetWindowTextA(control, text, sizeof text);
    char* end = nullptr;
    long parsed = std::strtol(text, &end, 10);
    while (end && (*end == ' ' || *end == '\t')) ++end;
    if (!end || end == text || *end) {
      AfxMessageBox("Please enter an integer.", MB_ICONEXCLAMATION);
      pDX->Fail();
      return;
    }
    value = static_cast<int>(parsed);
  } else {
    CString text;
    text.Format("%d", value);
    ::SetWindowTextA(control, text);
  }
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
  int signedValue = static_cast<int>(value);
  DDX_Text(pDX, nIDC, signedValue);
  value = static_cast<UINT>(signedValue);
}

void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  HWND control = pDX->PrepareCtrl(nIDC);
  if (!control) return;
  if (pDX->m_bSaveAndValidate) value = static_cast<int>(::SendMessageA(control, BM_GETCHECK, 0, 0));
  else ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

// The radio buttons of a group: from nIDC to the next control that starts
// a group; value is the index of the checked one (-1 for none).
void AFXAPI DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
  HWND first = pDX->PrepareCtrl(nIDC);
  if (!first) return;
  std::vector<HWND> group = CallOnUi<std::vector<HWND>>([&] {
    std::vector<HWND> found;
    WindowPtr parent = FindWindowRecord(::GetParent(first));
    if (!parent) return found;
    bool in = false;
    for (HWND child : parent->children) {
      WindowPtr c = FindWindowRecord(child);
      if (!c) continue;
      if (child == first) in = true;
      else if (in && (c->style & WS_GROUP)) break;
      if (in && c->kind == Kind::Button) found.push_back(child);
    }
    return found;
  });
  if (pDX->m_bSaveAndValidate) value = -1;
  for (size_t i = 0; i < group.size(); ++i) {
    if (pDX->m_bSaveAndValidate) {
      if (::SendMessageA(group[i], BM_GETCHECK, 0, 0) == BST_CHECKED) value = static_cast<int>(i);
    } else {
      ::SendMessageA(group[i], BM_SETCHECK, static_cast<int>(i) == value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
}

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd) return;
  HWND control = pDX->PrepareCtrl(nIDC);
  if (control) rControl.SubclassWindow(control);
}
