// Windows belong to the user-interface thread: messages sent from a worker
// run there, in order, and a posted message comes after them.
#include <gtest/gtest.h>

#include <QProgressBar>
#include <thread>

#include "afxwin.h"
#include "desktop_test_support.h"
#include "probe_templates.h"

using namespace winsim::desktop;

namespace {

class CWorkDialog : public CDialog {
 public:
  CWorkDialog() : CDialog(kProgressDialog) {}
  std::vector<int> shown;           // positions the bar displayed, in order
  std::vector<bool> handledOnUi;    // per PBM_SETPOS reply: sent from the UI thread?
  std::thread::id doneThread;
  size_t shownWhenDone = 0;
  int paints = 0;
  std::thread::id uiThread;

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    uiThread = std::this_thread::get_id();
    HWND bar = ::GetDlgItem(m_hWnd, kProgressBar);
    auto* widget = qobject_cast<QProgressBar*>(FindWindowRecord(bar)->widget.data());
    QObject::connect(widget, &QProgressBar::valueChanged, [this](int v) { shown.push_back(v); });
    SendDlgItemMessage(kProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 240));
    SetTimer(1, 5, nullptr);  // keeps the window repainting while the worker sends
    HWND self = m_hWnd;
    m_worker = std::thread([self, bar] {
      for (int i = 1; i <= 120; ++i) SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(i * 2), 0);
      PostMessageA(self, WM_USER + 1, 0, 0);
    });
    return TRUE;
  }
  afx_msg void OnTimer(UINT_PTR) { Invalidate(); }
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    ++paints;
  }
  afx_msg LRESULT OnWorkDone(WPARAM, LPARAM) {
    doneThread = std::this_thread::get_id();
    shownWhenDone = shown.size();
    m_worker.join();
    EndDialog(IDOK);
    return 0;
  }
  std::thread m_worker;
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CWorkDialog, CDialog)
  ON_WM_TIMER()
  ON_WM_PAINT()
  ON_MESSAGE(WM_USER + 1, &CWorkDialog::OnWorkDone)
END_MESSAGE_MAP()

TEST(Threads, SentMessagesRunOnTheWindowThreadInOrder) {
  CWorkDialog dlg;
  ASSERT_EQ(dlg.DoModal(), IDOK);
  std::vector<int> expected;
  for (int i = 1; i <= 120; ++i) expected.push_back(i * 2);
  EXPECT_EQ(dlg.shown, expected);
  EXPECT_EQ(dlg.shownWhenDone, 120u) << "WM_USER + 1 came before all positions were shown";
  EXPECT_EQ(dlg.doneThread, dlg.uiThread);
  EXPECT_GT(dlg.paints, 0);
}

// A modal box opened by a worker blocks only the worker: the window's
// timer keeps running on the user-interface thread meanwhile.
class CBoxDialog : public CDialog {
 public:
  CBoxDialog() : CDialog(kProbeDialog) {}
  int ticksWhileBoxOpen = 0;
  int answer = 0;

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    SetTimer(1, 10, nullptr);
    HWND self = m_hWnd;
    m_worker = std::thread([this, self] {
      answer = MessageBoxA(self, "From a worker", "Worker", MB_OKCANCEL);
      PostMessageA(self, WM_USER + 2, 0, 0);
    });
    return TRUE;
  }
  afx_msg void OnTimer(UINT_PTR) {
    HWND box = nullptr;
    for (const WindowPtr& w : AllWindows())
      if (w->kind == Kind::MessageBox && (w->style & WS_VISIBLE)) box = w->hwnd;
    if (!box) return;
    if (++ticksWhileBoxOpen == 5) RunOnUi([box] { AnswerMessageBox(*FindWindowRecord(box), IDCANCEL); });
  }
  afx_msg LRESULT OnBoxClosed(WPARAM, LPARAM) {
    m_worker.join();
    EndDialog(IDOK);
    return 0;
  }
  std::thread m_worker;
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBoxDialog, CDialog)
  ON_WM_TIMER()
  ON_MESSAGE(WM_USER + 2, &CBoxDialog::OnBoxClosed)
END_MESSAGE_MAP()

TEST(Threads, MessageBoxOfAWorkerBlocksOnlyTheWorker) {
  CBoxDialog dlg;
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.answer, IDCANCEL);
  EXPECT_GE(dlg.ticksWhileBoxOpen, 5);
}

}  // namespace
