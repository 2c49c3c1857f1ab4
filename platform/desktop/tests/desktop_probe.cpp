// A small framework program the scripted-user tests start. Its last
// command-line word chooses what it shows; its exit code is the result.
//   msgbox         a Yes/No message box; exit code = the answer
//   worker-msgbox  the box opened by a worker thread while a dialog is up
//   dialog         a modal dialog; exit code = its result
//   initfalse      InitInstance fails; ExitInstance gives 42
#include <cstdio>
#include <cstring>
#include <thread>

#include "afxwin.h"
#include "probe_templates.h"

namespace {

int g_result = 0;

class CWorkerDialog : public CDialog {
 public:
  CWorkerDialog() : CDialog(kProbeDialog) {}

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    SetTimer(1, 20, nullptr);
    HWND self = m_hWnd;
    m_worker = std::thread([self] {
      int answer = MessageBoxA(nullptr, "From a worker", "Worker", MB_YESNO | MB_ICONQUESTION);
      PostMessageA(self, WM_USER + 5, static_cast<WPARAM>(answer), 0);
    });
    return TRUE;
  }
  afx_msg void OnTimer(UINT_PTR) { ++m_ticks; }
  afx_msg LRESULT OnAnswered(WPARAM wParam, LPARAM) {
    m_worker.join();
    std::printf("ticks-while-waiting=%d\n", m_ticks);
    EndDialog(static_cast<int>(wParam));
    return 0;
  }
  std::thread m_worker;
  int m_ticks = 0;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CWorkerDialog, CDialog)
  ON_WM_TIMER()
  ON_MESSAGE(WM_USER + 5, &CWorkerDialog::OnAnswered)
END_MESSAGE_MAP()

class CProbeApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    const char* line = GetCommandLineA();
    const char* mode = std::strrchr(line, ' ');
    mode = mode ? mode + 1 : line;
    if (std::strcmp(mode, "msgbox") == 0) {
      g_result = MessageBoxA(nullptr, "Question?", "Probe", MB_YESNO | MB_ICONQUESTION);
    } else if (std::strcmp(mode, "worker-msgbox") == 0) {
      CWorkerDialog dlg;
      g_result = static_cast<int>(dlg.DoModal());
    } else if (std::strcmp(mode, "dialog") == 0) {
      CDialog dlg(kProbeDialog);
      g_result = static_cast<int>(dlg.DoModal());
    } else if (std::strcmp(mode, "initfalse") == 0) {
      g_result = 42;
    }
    std::fflush(stdout);
    return FALSE;
  }
  int ExitInstance() override {
    std::printf("exit-instance\n");
    std::fflush(stdout);
    return g_result;
  }
};

CProbeApp theApp;

}  // namespace
