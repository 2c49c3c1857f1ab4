// Controls: clicks, radio groups, check boxes, the progress bar, keys and
// the colours a dialog gives its controls.
#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include "afxwin.h"
#include "controls.h"
#include "desktop_test_support.h"
#include "probe_templates.h"

using namespace desktop_test;
using namespace winsim::desktop;

namespace {

// Records the commands its controls send.
class CCommandLog : public CDialog {
 public:
  explicit CCommandLog(UINT id) : CDialog(id) {}
  std::vector<int> commands;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    commands.push_back(LOWORD(wParam));
    return TRUE;
  }
};

TEST(Controls, PostedClicksFollowButtonKindsAndGroups) {
  CCommandLog dlg(kControlsDialog);
  ASSERT_TRUE(dlg.Create(kControlsDialog));
  HWND h = dlg.m_hWnd;
  auto check = [&](int id) { return static_cast<int>(SendDlgItemMessageA(h, id, BM_GETCHECK, 0, 0)); };
  CheckDlgButton(h, 601, BST_CHECKED);
  CheckDlgButton(h, 603, BST_CHECKED);
  PostMessageA(GetDlgItem(h, 602), BM_CLICK, 0, 0);
  EXPECT_EQ(check(602), BST_UNCHECKED) << "a posted click waits for the message loop";
  PumpFor(50);
  // 601 and 602 form one group; 603 starts its own.
  EXPECT_EQ(check(601), BST_UNCHECKED);
  EXPECT_EQ(check(602), BST_CHECKED);
  EXPECT_EQ(check(603), BST_CHECKED);
  SendDlgItemMessageA(h, 604, BM_CLICK, 0, 0);
  EXPECT_EQ(check(604), BST_CHECKED);
  SendDlgItemMessageA(h, 604, BM_CLICK, 0, 0);
  EXPECT_EQ(check(604), BST_UNCHECKED);
  SendDlgItemMessageA(h, 605, BM_CLICK, 0, 0);  // disabled: nothing
  EXPECT_EQ(dlg.commands, (std::vector<int>{602, 604, 604}));
  EnableWindow(GetDlgItem(h, 605), TRUE);
  SendDlgItemMessageA(h, 605, BM_CLICK, 0, 0);
  EXPECT_EQ(dlg.commands.back(), 605);
  dlg.DestroyWindow();
}

TEST(Controls, ProgressBarKeepsItsRangeAndPosition) {
  HWND dlg = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(kProgressDialog), nullptr, nullptr, 0);
  HWND bar = GetDlgItem(dlg, kProgressBar);
  ASSERT_NE(bar, nullptr);
  const struct {
    const char* name;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    int posAfter;
  } rows[] = {
      {"default range", PBM_SETRANGE, 0, MAKELPARAM(0, 240), MAKELONG(0, 100), 0},
      {"set position", PBM_SETPOS, 120, 0, 0, 120},
      {"previous position returned", PBM_SETPOS, 230, 0, 120, 230},
      {"above the range is clamped", PBM_SETPOS, 500, 0, 230, 240},
      {"delta", PBM_DELTAPOS, static_cast<WPARAM>(-40), 0, 240, 200},
      {"range returned", PBM_SETRANGE, 0, MAKELPARAM(0, 100), MAKELONG(0, 240), 100},
      {"step", PBM_SETSTEP, 30, 0, 10, 100},
      {"step past the end wraps", PBM_STEPIT, 0, 0, 100, 30},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(SendMessageA(bar, row.msg, row.wParam, row.lParam), row.result);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), row.posAfter);
  }
  DestroyWindow(dlg);
}

// A page-like dialog that answers every control-colour request with the
// white stock brush and transparent text.
class CWhitePage : public CDialog {
 public:
  CWhitePage() : CDialog(kProbeDialog) {}

 protected:
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CWhitePage, CDialog)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

QImage Grab(HWND hwnd) {
  QImage image;
  RunOnUi([&] { image = FindWindowRecord(hwnd)->widget->grab().toImage(); });
  return image;
}

TEST(Controls, DialogBackgroundComesFromTheControlColourBrush) {
  CDialog plain(kProbeDialog);
  CWhitePage white;
  ASSERT_TRUE(plain.Create(kProbeDialog));
  ASSERT_TRUE(white.Create(kProbeDialog));
  QImage a = Grab(plain.m_hWnd), b = Grab(white.m_hWnd);
  ASSERT_EQ(a.size(), b.size());
  // A corner of the client area, away from every control.
  EXPECT_EQ(a.pixelColor(2, a.height() - 2), QColor(240, 240, 240));
  EXPECT_EQ(b.pixelColor(2, b.height() - 2), QColor(255, 255, 255));
  // Inside the static text's rectangle but right of its text.
  RECT text{};
  GetWindowRect(GetDlgItem(white.m_hWnd, kProbeText), &text);
  POINT p{text.right - 2, text.bottom - 2};
  ScreenToClient(white.m_hWnd, &p);
  EXPECT_EQ(b.pixelColor(p.x, p.y), QColor(255, 255, 255));
  EXPECT_EQ(a.pixelColor(p.x, p.y), QColor(240, 240, 240));
  plain.DestroyWindow();
  white.DestroyWindow();
}

TEST(Controls, EnterAndEscapeFollowTheDialogManager) {
  const struct {
    const char* name;
    int key;
    bool disableOk;
    std::vector<int> expected;
  } rows[] = {
      {"enter presses the default button", VK_RETURN, false, {IDOK}},
      {"escape sends cancel", VK_ESCAPE, false, {IDCANCEL}},
      {"a disabled default button takes no enter", VK_RETURN, true, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CCommandLog dlg(kProbeDialog);
    ASSERT_TRUE(dlg.Create(kProbeDialog));
    if (row.disableOk) EnableWindow(GetDlgItem(dlg.m_hWnd, IDOK), FALSE);
    RunOnUi([&] { DialogKey(dlg.m_hWnd, row.key); });
    EXPECT_EQ(dlg.commands, row.expected);
    dlg.DestroyWindow();
  }
}

}  // namespace
