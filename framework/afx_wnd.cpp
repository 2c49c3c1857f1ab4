// Command targets and windows of the framework: message-map routing, the
// framework object of a window handle, and the CWnd operations.
#include <vector>

#include "afx_gdi_temporaries.h"
#include "afx_handle_map.h"
#include "afx_window_proc.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)
IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

namespace {

struct CurrentMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
thread_local std::vector<CurrentMessage> t_messages;

bool IsZOrderMarker(HWND hwnd) {
  return hwnd == HWND_TOP || hwnd == HWND_BOTTOM || hwnd == HWND_TOPMOST || hwnd == HWND_NOTOPMOST;
}

}  // namespace

const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const {
  for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
      if (e->nMessage != nMessage) continue;
      if (nMessage != WM_COMMAND) return e;
      if (e->nCode == nCode && nID >= e->nID && nID <= e->nLastID) return e;
    }
  }
  return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo) {
  const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_COMMAND, static_cast<UINT>(nCode), nID);
  if (!e) return FALSE;
  LRESULT ignored = 0;
  e->pfn(this, WM_COMMAND, MAKEWPARAM(nID, nCode), 0, &ignored);
  return TRUE;
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::CWnd() : m_hWnd(nullptr) {}
CWnd::CWnd(HWND hWnd) : m_hWnd(hWnd) {}

CWnd::~CWnd() {
  if (!m_hWnd || IsZOrderMarker(m_hWnd) || afx::LookupPermanent(m_hWnd) != this) return;
  // No message may reach an object being destroyed: the window gets its
  // own procedure back before it goes.
  HWND hwnd = m_hWnd;
  UnsubclassWindow();
  ::DestroyWindow(hwnd);
}

CWnd* PASCAL CWnd::FromHandle(HWND hWnd) {
  if (!hWnd) return nullptr;
  if (CWnd* permanent = afx::LookupPermanent(hWnd)) return permanent;
  return ::IsWindow(hWnd) ? afx::TemporaryFor(hWnd) : nullptr;
}

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd) { return hWnd ? afx::LookupPermanent(hWnd) : nullptr; }

BOOL CWnd::Attach(HWND hWndNew) {
  if (!hWndNew || !::IsWindow(hWndNew) || !afx::AttachPermanent(hWndNew, this)) return FALSE;
  m_hWnd = hWndNew;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hwnd = m_hWnd;
  if (hwnd) afx::DetachPermanent(hwnd, this);
  m_hWnd = nullptr;
  return hwnd;
}

// The window's messages go to this object first (AfxWndProc); what its
// message map leaves goes on to the procedure the window had before.
BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  WNDPROC own = afx::WindowProcOf();
  WNDPROC old = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own)));
  if (!old) {
    Detach();
    return FALSE;
  }
  if (old != own) m_pfnSuper = old;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  HWND item = pParent ? ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)) : nullptr;
  return item ? SubclassWindow(item) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  if (m_hWnd && m_pfnSuper) {
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
  }
  return Detach();
}

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

int CWnd::GetDlgItemText(int nID, CString& rString) const {
  HWND item = ::GetDlgItem(m_hWnd, nID);
  rString.Empty();
  if (!item) return 0;
  int length = ::GetWindowTextLengthA(item);
  ::GetWindowTextA(item, rString.GetBuffer(length), length + 1);
  rString.ReleaseBuffer();
  return rString.GetLength();
}

void CWnd::GetWindowText(CString& rString) const {
  int length = ::GetWindowTextLengthA(m_hWnd);
  ::GetWindowTextA(m_hWnd, rString.GetBuffer(length), length + 1);
  rString.ReleaseBuffer();
}

void CWnd::CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
  for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
    ::CheckDlgButton(m_hWnd, id, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED);
}

// Centres over the parent (a child window), over the owner when it is
// visible and not minimised, otherwise on the work area; a top-level window
// is kept inside the work area.
void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  DWORD style = GetStyle();
  bool child = (style & WS_CHILD) != 0;
  HWND center = pAlternateOwner ? pAlternateOwner->m_hWnd : (child ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER));
  RECT own{};
  ::GetWindowRect(m_hWnd, &own);
  RECT work{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  RECT area = work;
  if (child) {
    if (center) ::GetClientRect(center, &area);
    POINT origin{0, 0};
    ::ClientToScreen(::GetParent(m_hWnd), &origin);
    own.left -= origin.x, own.right -= origin.x, own.top -= origin.y, own.bottom -= origin.y;
  } else if (center && ::IsWindowVisible(center) && !::IsIconic(center)) {
    ::GetWindowRect(center, &area);
  }
  int width = own.right - own.left;
  int height = own.bottom - own.top;
  int left = (area.left + area.right) / 2 - width / 2;
  int top = (area.top + area.bottom) / 2 - height / 2;
  if (!child) {
    if (left + width > work.right) left = work.right - width;
    if (left < work.left) left = work.left;
    if (top + height > work.bottom) top = work.bottom - height;
    if (top < work.top) top = work.top;
  }
  ::SetWindowPos(m_hWnd, nullptr, left, top, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::ScreenToClient(LPRECT lpRect) const {
  POINT a{lpRect->left, lpRect->top}, b{lpRect->right, lpRect->bottom};
  ::ScreenToClient(m_hWnd, &a);
  ::ScreenToClient(m_hWnd, &b);
  *lpRect = RECT{a.x, a.y, b.x, b.y};
}

void CWnd::ClientToScreen(LPRECT lpRect) const {
  POINT a{lpRect->left, lpRect->top}, b{lpRect->right, lpRect->bottom};
  ::ClientToScreen(m_hWnd, &a);
  ::ClientToScreen(m_hWnd, &b);
  *lpRect = RECT{a.x, a.y, b.x, b.y};
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  DWORD style = GetStyle();
  DWORD updated = (style & ~dwRemove) | dwAdd;
  if (style == updated) return FALSE;
  ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(updated));
  if (nFlags) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  DWORD style = GetExStyle();
  DWORD updated = (style & ~dwRemove) | dwAdd;
  if (style == updated) return FALSE;
  ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(updated));
  if (nFlags) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}

CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }

int CWnd::ReleaseDC(CDC* pDC) {
  if (!pDC) return 0;
  HDC hdc = pDC->m_hDC;
  int released = ::ReleaseDC(m_hWnd, hdc);
  afx::ForgetTemporaryDC(hdc);  // pDC is gone from here on
  return released;
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) {
  return ::MessageBoxA(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  DoDataExchange(&dx);
  return !dx.m_bFailed;
}

void CWnd::DoDataExchange(CDataExchange* pDX) {}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

BOOL CWnd::PreTranslateMessage(MSG* pMsg) { return FALSE; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  t_messages.push_back({message, wParam, lParam});
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  t_messages.pop_back();
  if (message == WM_NCDESTROY) OnNcDestroy();  // may delete this object
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
    *pResult = 1;
    return TRUE;
  }
  // The control-colour messages share one handler.
  UINT key = (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ? WM_CTLCOLOR : message;
  const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(key, 0, 0);
  if (!entry) return FALSE;
  return entry->pfn(this, message, wParam, lParam, pResult);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  return OnCmdMsg(LOWORD(wParam), HIWORD(wParam), nullptr, nullptr);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

void CWnd::PostNcDestroy() {}

// The window is gone: the object lets go of it (and may delete itself in
// PostNcDestroy).
void CWnd::OnNcDestroy() {
  UnsubclassWindow();
  PostNcDestroy();
}

LRESULT CWnd::Default() {
  if (t_messages.empty()) return 0;
  CurrentMessage m = t_messages.back();
  return DefWindowProc(m.message, m.wParam, m.lParam);
}

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
