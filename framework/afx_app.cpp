// The application object of the framework, its start-up services and the
// program entry's body (AfxWinMain).
#include <algorithm>

#include "afxcontrolbars.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)
IMPLEMENT_DYNAMIC(CWinAppEx, CWinApp)
IMPLEMENT_DYNCREATE(CMFCVisualManager, CObject)
IMPLEMENT_DYNCREATE(CMFCVisualManagerWindows, CMFCVisualManager)

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
END_MESSAGE_MAP()

namespace {

CWinApp* g_app = nullptr;
CRuntimeClass* g_visualManager = nullptr;

// The program's file name without folder and extension.
CString ExeName() {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  CString name(path, static_cast<int>(n));
  int slash = std::max(name.ReverseFind('\\'), name.ReverseFind('/'));
  name = name.Mid(slash + 1);
  int dot = name.ReverseFind('.');
  return dot > 0 ? name.Left(dot) : name;
}

}  // namespace

int CWinThread::Run() {
  // The message loop: runs while the main window exists, until WM_QUIT.
  MSG msg;
  while (m_pMainWnd && m_pMainWnd->m_hWnd && ::IsWindow(m_pMainWnd->m_hWnd)) {
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    if (PreTranslateMessage(&msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return ExitInstance();
}

CWinApp::CWinApp(LPCSTR lpszAppName) {
  if (lpszAppName) {
    m_strAppName = lpszAppName;
    m_pszAppName = m_strAppName;
  }
  g_app = this;
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

int CWinApp::DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT nIDPrompt) {
  if ((nType & MB_ICONMASK) == 0) {
    switch (nType & MB_TYPEMASK) {
      case MB_OK:
      case MB_OKCANCEL: nType |= MB_ICONEXCLAMATION; break;
      case MB_YESNO:
      case MB_YESNOCANCEL: nType |= MB_ICONQUESTION; break;
      default: break;
    }
  }
  HWND owner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
  return ::MessageBoxA(owner, lpszPrompt, m_pszAppName ? m_pszAppName : "", nType);
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey) {
  // Remembered only: the framework's profile functions are not used.
  m_strRegistryKey = lpszRegistryKey ? lpszRegistryKey : "";
  m_pszRegistryKey = m_strRegistryKey;
  m_pszProfileName = m_pszAppName;
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey) {
  CString key;
  key.LoadString(nIDRegistryKey);
  SetRegistryKey(key);
}

CWinApp* AFXAPI AfxGetApp() { return g_app; }
CWnd* AFXAPI AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }
HINSTANCE AFXAPI AfxGetInstanceHandle() { return g_app ? g_app->m_hInstance : nullptr; }
HINSTANCE AFXAPI AfxGetResourceHandle() { return AfxGetInstanceHandle(); }
LPCSTR AFXAPI AfxGetAppName() { return g_app && g_app->m_pszAppName ? g_app->m_pszAppName : ""; }
void AFXAPI AfxEnableControlContainer() {}

int AFXAPI AfxMessageBox(LPCSTR lpszText, UINT nType, UINT nIDHelp) {
  if (g_app) return g_app->DoMessageBox(lpszText, nType, nIDHelp);
  return ::MessageBoxA(nullptr, lpszText, "", nType);
}

int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  static CString exeName;
  static CString appName;
  exeName = ExeName();
  app->m_hInstance = hInstance;
  app->m_lpCmdLine = lpCmdLine;
  app->m_nCmdShow = nCmdShow;
  app->m_pszExeName = exeName;
  if (!app->m_pszAppName) {
    appName = exeName;
    app->m_pszAppName = appName;
  }
  // This thread's message queue exists from here on: the windows the
  // program makes on it are served by this thread.
  MSG peek;
  ::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE);
  if (!app->InitApplication() || !app->InitInstance()) {
    if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->DestroyWindow();
    return app->ExitInstance();
  }
  return app->Run();
}

void PASCAL CMFCVisualManager::SetDefaultManager(CRuntimeClass* pRTI) { g_visualManager = pRTI; }
CRuntimeClass* PASCAL CMFCVisualManager::GetDefaultManagerClass() { return g_visualManager; }
