// Dialogs of the framework: modal and modeless creation from a template,
// initialisation with data exchange and placement, OK and Cancel, and the
// data-exchange helpers.
#include <cstdlib>
#include <vector>

#include "afx_window_proc.h"
#include "afxdialogex.h"

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

// The owner of a modal dialog: the top-level window of its parent, else of
// the application's main window.
HWND OwnerFor(CWnd* parent) {
  if (parent && parent->m_hWnd) return ::GetAncestor(parent->m_hWnd, GA_ROOT);
  CWnd* main = AfxGetMainWnd();
  return main && main->m_hWnd ? ::GetAncestor(main->m_hWnd, GA_ROOT) : nullptr;
}

// The style its resource gives a dialog (DIALOG or DIALOGEX), 0 when the
// resource cannot be read.
DWORD TemplateStyle(LPCSTR name) {
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC found = ::FindResourceA(module, name, RT_DIALOG);
  HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
  const BYTE* bytes = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
  if (!bytes || ::SizeofResource(module, found) < 16) return 0;
  auto dword = [&](size_t at) {
    return static_cast<DWORD>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<DWORD>(bytes[at + 3]) << 24);
  };
  bool extended = bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF;
  return extended ? dword(12) : dword(0);
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
  // The owner is disabled before the dialog exists, and enabled again
  // before the dialog is destroyed.
  bool disable = owner && ::IsWindowEnabled(owner);
  if (disable) ::EnableWindow(owner, FALSE);
  m_nModalResult = -1;
  INT_PTR result = ::DialogBoxParamA(AfxGetResourceHandle(), m_lpszTemplateName, owner, afx::DialogProcOf(),
                                     reinterpret_cast<LPARAM>(this));
  if (disable) ::EnableWindow(owner, TRUE);
  if (m_hWnd) DestroyWindow();
  m_nModalResult = result;
  return result;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCSTR lpszTemplateName, CWnd* pParentWnd) {
  m_lpszTemplateName = lpszTemplateName;
  if (IS_INTRESOURCE(lpszTemplateName)) m_nIDTemplate = static_cast<UINT>(reinterpret_cast<uintptr_t>(lpszTemplateName));
  if (pParentWnd) m_pParentWnd = pParentWnd;
  HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : (AfxGetMainWnd() ? AfxGetMainWnd()->m_hWnd : nullptr);
  HWND hwnd = ::CreateDialogParamA(AfxGetResourceHandle(), lpszTemplateName, parent, afx::DialogProcOf(),
                                   reinterpret_cast<LPARAM>(this));
  return hwnd != nullptr;
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
  bool wasVisible = (TemplateStyle(m_lpszTemplateName) & WS_VISIBLE) != 0;
  RECT before{};
  ::GetWindowRect(m_hWnd, &before);
  HWND hwnd = m_hWnd;
  BOOL result = OnInitDialog();
  if (!::IsWindow(hwnd) || wasVisible) return result;
  if (::GetWindowLongA(hwnd, GWL_STYLE) & (WS_VISIBLE | WS_CHILD)) return result;
  RECT after{};
  ::GetWindowRect(hwnd, &after);
  if (after.left != before.left || after.top != before.top) return result;
  HWND owner = ::GetWindow(hwnd, GW_OWNER);
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
  std::vector<HWND> group;
  for (HWND control = first; control; control = ::GetWindow(control, GW_HWNDNEXT)) {
    if (control != first && (::GetWindowLongA(control, GWL_STYLE) & WS_GROUP)) break;
    if (::SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) group.push_back(control);
  }
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
