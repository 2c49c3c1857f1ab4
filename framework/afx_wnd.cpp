// Command targets and windows of the framework: message-map routing, the
// framework object of a window handle, and the CWnd operations.
#include "desktop_internal.h"

using namespace winsim::desktop;

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
  if (!m_hWnd || IsZOrderMarker(m_hWnd)) return;
  HWND hwnd = m_hWnd;
  bool owned = CallOnUi<bool>([&] {
    WindowPtr w = FindWindowRecord(hwnd);
    if (!w || w->attached != this) return false;
    w->attached = nullptr;  // no message reaches an object being destroyed
    return true;
  });
  if (owned) ::DestroyWindow(hwnd);
}

CWnd* PASCAL CWnd::FromHandle(HWND hWnd) {
  if (!hWnd) return nullptr;
  return CallOnUi<CWnd*>([&]() -> CWnd* {
    WindowPtr w = FindWindowRecord(hWnd);
    if (!w) return nullptr;
    if (w->attached) return w->attached;
    if (!w->temporary) w->temporary = std::make_unique<CWnd>(hWnd);
    return w->temporary.get();
  });
}

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd) {
  return CallOnUi<CWnd*>([&]() -> CWnd* {
    WindowPtr w = FindWindowRecord(hWnd);
    return w ? w->attached : nullptr;
  });
}

BOOL CWnd::Attach(HWND hWndNew) {
  return CallOnUi<BOOL>([&]() -> BOOL {
    WindowPtr w = FindWindowRecord(hWndNew);
    if (!w || w->attached) return FALSE;
    w->attached = this;
    m_hWnd = hWndNew;
    return TRUE;
  });
}

HWND CWnd::Detach() {
  HWND hwnd = m_hWnd;
  RunOnUi([&] {
    WindowPtr w = FindWindowRecord(hwnd);
    if (w && w->attached == this) w->attached = nullptr;
  });
  m_hWnd = nullptr;
  return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) { return Attach(hWnd); }

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  HWND item = pParent ? ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)) : nullptr;
  return item ? SubclassWindow(item) : FALSE;
}

HWND CWnd::UnsubclassWindow() { return Detach(); }

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

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  HWND alternate = pAlternateOwner ? pAlternateOwner->m_hWnd : nullptr;
  RunOnUi([&] { CenterWindowOver(m_hWnd, alternate); });
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

int CWnd::ReleaseDC(CDC* pDC) { return pDC ? ::ReleaseDC(m_hWnd, pDC->m_hDC) : 0; }

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
  return CallClassProc(m_hWnd, message, wParam, lParam);
}

void CWnd::PostNcDestroy() {}

void CWnd::OnNcDestroy() {
  HWND hwnd = m_hWnd;
  WindowPtr w = FindWindowRecord(hwnd);
  if (w && w->attached == this) w->attached = nullptr;
  m_hWnd = nullptr;
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
