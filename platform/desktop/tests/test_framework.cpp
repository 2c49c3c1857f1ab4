// The framework's classes: strings, lists, files, message maps, modal
// dialogs and data exchange.
#include <gtest/gtest.h>

#include <QTimer>
#include <filesystem>

#include "afxwin.h"
#include "controls.h"
#include "desktop_test_support.h"
#include "machine_fixture.h"
#include "probe_templates.h"
#include "winsim/machine.h"
#include "winsim/paths.h"

using namespace desktop_test;

namespace {

TEST(FrameworkString, OperationsGiveTheFrameworkResults) {
  CString s("C:\\Program Files\\\"Veltrane\" RAZ");
  EXPECT_EQ(s.Remove('"'), 2);
  EXPECT_STREQ(s, "C:\\Program Files\\Veltrane RAZ");
  EXPECT_EQ(s.ReverseFind('\\'), 16);
  EXPECT_STREQ(s.Left(s.ReverseFind('\\')), "C:\\Program Files");
  EXPECT_STREQ(s.Mid(17), "Veltrane RAZ");
  EXPECT_STREQ(s.Mid(17, 3), "Vel");
  EXPECT_STREQ(s.Mid(100), "");
  EXPECT_EQ(s.Find("/s"), -1);
  EXPECT_EQ(s.Find("Files"), 11);
  EXPECT_EQ(s.Find('R', 20), 26);

  CString f;
  f.Format("%s %d%%", "done", 42);
  EXPECT_STREQ(f, "done 42%");
  f.AppendFormat("[%02d]", 7);
  EXPECT_STREQ(f, "done 42%[07]");

  CString t("$$first $$second$$");
  EXPECT_EQ(t.Replace("$$", "|"), 3);
  EXPECT_STREQ(t, "|first |second|");

  CString buffer;
  char* raw = buffer.GetBuffer(16);
  std::strcpy(raw, "abc");
  buffer.ReleaseBuffer();
  EXPECT_EQ(buffer.GetLength(), 3);

  int pos = 0;
  CString list("a, b,,c");
  std::vector<std::string> tokens;
  for (CString tok = list.Tokenize(", ", pos); pos >= 0; tok = list.Tokenize(", ", pos)) tokens.push_back(tok.GetString());
  EXPECT_EQ(tokens, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(CString("abc").CompareNoCase("ABC"), 0);
}

class CItem : public CObject {
 public:
  explicit CItem(int v) : value(v) {}
  int value;
};

TEST(FrameworkList, KeepsOrderAndFindsPositions) {
  CItem a(1), b(2), c(3);
  CObList list(10);
  list.AddTail(&a);
  POSITION pb = list.AddTail(&b);
  list.AddHead(&c);
  ASSERT_EQ(list.GetCount(), 3);
  std::vector<int> order;
  for (POSITION pos = list.GetHeadPosition(); pos;) order.push_back(static_cast<CItem*>(list.GetNext(pos))->value);
  EXPECT_EQ(order, (std::vector<int>{3, 1, 2}));
  EXPECT_EQ(list.Find(&b), pb);
  EXPECT_EQ(list.FindIndex(1), list.Find(&a));
  EXPECT_EQ(list.FindIndex(3), nullptr);
  list.RemoveAt(list.Find(&a));
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.GetHead(), &c);
  EXPECT_EQ(list.GetTail(), &b);
  list.RemoveAll();
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.GetHeadPosition(), nullptr);
}

TEST(FrameworkFile, ReadsAFileAndReportsFileErrors) {
  std::string host = winsim::DriveCRoot() + "/eula.txt";
  winsim::testing::WriteHostFile(host, std::string("line one\r\nline\0two", 19));
  CFile file;
  ASSERT_TRUE(file.Open("C:\\eula.txt", CFile::modeRead));
  ASSERT_EQ(file.GetLength(), 19u);
  char buffer[32];
  std::memset(buffer, 0xCC, sizeof buffer);
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 19u);
  EXPECT_EQ(std::memcmp(buffer, "line one\r\nline\0two", 19), 0);
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
  EXPECT_FALSE(file.HasError());
  file.Close();

  const struct {
    const char* path;
    int cause;
    LONG osError;
    const char* message;
  } rows[] = {
      {"C:\\missing.txt", CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, "C:\\missing.txt was not found."},
      {"C:\\no\\such\\x.txt", CFileException::badPath, ERROR_PATH_NOT_FOUND,
       "C:\\no\\such\\x.txt contains an invalid path."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    CFile missing;
    CFileException error;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(missing.Open(row.path, CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, row.cause);
    EXPECT_EQ(error.m_lOsError, row.osError);
    char message[128];
    std::memset(message, 0xCC, sizeof message);
    EXPECT_TRUE(error.GetErrorMessage(message, sizeof message));
    EXPECT_STREQ(message, row.message);
  }
}

TEST(FrameworkFile, FileFindWalksAFolderWithFullPaths) {
  std::string dir = winsim::DriveCRoot() + "/findme";
  std::filesystem::create_directories(dir + "/sub");
  winsim::testing::WriteHostFile(dir + "/a.png", "x");
  CFileFind finder;
  ASSERT_TRUE(finder.FindFile("C:\\findme\\*.*"));
  std::map<std::string, std::string> found;
  BOOL more = TRUE;
  while (more) {
    more = finder.FindNextFile();
    if (!finder.IsDots()) found[finder.GetFileName().GetString()] = finder.GetFilePath().GetString();
  }
  EXPECT_EQ(found.size(), 2u);
  EXPECT_EQ(found["a.png"], "C:\\findme\\a.png");
  EXPECT_EQ(found["sub"], "C:\\findme\\sub");
  CFileFind none;
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(none.FindFile("C:\\findme\\*.txt"));
  EXPECT_NE(GetLastError(), 0xdeadbeefu);
}

// A dialog whose handlers record what reached them.
class CRecordingDialog : public CDialog {
 public:
  CRecordingDialog() : CDialog(kProbeDialog) {}
  std::vector<std::string> log;
  CString text;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, kProbeText, text);
    DDX_Control(pDX, IDOK, m_ok);
  }
  BOOL OnInitDialog() override {
    log.push_back("init");
    text = "from the field";
    return CDialog::OnInitDialog();
  }
  void OnOK() override {
    log.push_back("ok");
    CDialog::OnOK();
  }
  afx_msg LRESULT OnUser(WPARAM wParam, LPARAM lParam) {
    log.push_back("user" + std::to_string(wParam));
    return static_cast<LRESULT>(wParam * 10);
  }
  afx_msg void OnCancelClicked() {
    log.push_back("cancel clicked");
    EndDialog(77);
  }
  CButton m_ok;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordingDialog, CDialog)
  ON_MESSAGE(WM_USER + 7, &CRecordingDialog::OnUser)
  ON_BN_CLICKED(IDCANCEL, &CRecordingDialog::OnCancelClicked)
END_MESSAGE_MAP()

TEST(FrameworkDialog, ModalDialogRoutesMessagesThroughItsMap) {
  winsim::desktop::EnsureUi();  // the timer below needs the event loop's thread
  CRecordingDialog dlg;
  LRESULT sent = 0;
  CString shown;
  // Work done once the dialog runs: posted from inside its own loop.
  QTimer::singleShot(100, [&] {
    sent = dlg.SendMessage(WM_USER + 7, 4, 0);
    dlg.PostMessage(WM_USER + 7, 1, 0);
    dlg.PostMessage(WM_USER + 7, 2, 0);
    dlg.GetDlgItemText(kProbeText, shown);
    ::PostMessageA(::GetDlgItem(dlg.m_hWnd, IDCANCEL), BM_CLICK, 0, 0);
  });
  INT_PTR result = dlg.DoModal();
  EXPECT_EQ(result, 77);
  EXPECT_EQ(sent, 40);
  EXPECT_STREQ(shown, "from the field");
  EXPECT_EQ(dlg.log, (std::vector<std::string>{"init", "user4", "user1", "user2", "cancel clicked"}));
  EXPECT_EQ(dlg.m_hWnd, nullptr);  // destroyed by DoModal
}

TEST(FrameworkDialog, OkReadsTheControlsBackAndEnds) {
  winsim::desktop::EnsureUi();
  CRecordingDialog dlg;
  QTimer::singleShot(50, [&] {
    ::SetDlgItemTextA(dlg.m_hWnd, kProbeText, "typed");
    winsim::desktop::DialogKey(dlg.m_hWnd, VK_RETURN);  // the default button
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_STREQ(dlg.text, "typed");
  EXPECT_EQ(dlg.log.back(), "ok");
}

TEST(FrameworkDialog, UnknownTemplateReturnsAtOnce) {
  CDialog dlg(4242);
  SetLastError(0xdeadbeef);
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST(FrameworkWindow, OperationsOnMissingWindowsAndControls) {
  HWND dlg = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(kProbeDialog), nullptr, nullptr, 0);
  ASSERT_NE(dlg, nullptr);
  SetLastError(0xdeadbeef);
  EXPECT_EQ(GetDlgItem(dlg, 999), nullptr);
  EXPECT_EQ(GetLastError(), 1421u);  // ERROR_CONTROL_ID_NOT_FOUND
  char text[16];
  std::memset(text, 0xCC, sizeof text);
  EXPECT_EQ(GetWindowTextA(dlg, text, 4), 3);
  EXPECT_STREQ(text, "Pro");
  EXPECT_TRUE(SetWindowTextA(dlg, "New caption"));
  EXPECT_EQ(GetWindowTextLengthA(dlg), 11);
  EXPECT_TRUE(DestroyWindow(dlg));
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(PostMessageA(dlg, WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(IsWindow(dlg));
  EXPECT_FALSE(SetWindowTextA(dlg, "x"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

// Counts the check changes that reach it and passes them on.
class CCountingButton : public CButton {
 public:
  int checks = 0;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == BM_SETCHECK) ++checks;
    return CButton::WindowProc(message, wParam, lParam);
  }
};

TEST(FrameworkWindow, SubclassedControlsReachTheirObjects) {
  CDialog dlg;
  ASSERT_TRUE(dlg.Create(kControlsDialog));
  EXPECT_EQ(CWnd::FromHandlePermanent(dlg.m_hWnd), &dlg);
  EXPECT_EQ(CWnd::FromHandle(dlg.m_hWnd), &dlg);
  HWND check = ::GetDlgItem(dlg.m_hWnd, 604);
  HWND other = ::GetDlgItem(dlg.m_hWnd, 602);
  const LONG_PTR original = GetWindowLongPtrA(check, GWLP_WNDPROC);

  CCountingButton button;
  ASSERT_TRUE(button.SubclassDlgItem(604, &dlg));
  EXPECT_FALSE(CButton().SubclassWindow(check)) << "a window has one object";
  EXPECT_NE(GetWindowLongPtrA(check, GWLP_WNDPROC), original);
  EXPECT_EQ(CWnd::FromHandlePermanent(check), &button);
  ::CheckDlgButton(dlg.m_hWnd, 604, BST_CHECKED);
  EXPECT_EQ(button.checks, 1);
  EXPECT_EQ(::IsDlgButtonChecked(dlg.m_hWnd, 604), static_cast<UINT>(BST_CHECKED)) << "passed on to the button";

  // A window without an object gets one temporary wrapper.
  CWnd* temporary = CWnd::FromHandle(other);
  ASSERT_NE(temporary, nullptr);
  EXPECT_EQ(CWnd::FromHandle(other), temporary);
  EXPECT_EQ(CWnd::FromHandlePermanent(other), nullptr);
  EXPECT_EQ(temporary->GetDlgCtrlID(), 602);

  EXPECT_EQ(button.UnsubclassWindow(), check);
  EXPECT_EQ(GetWindowLongPtrA(check, GWLP_WNDPROC), original);
  ::CheckDlgButton(dlg.m_hWnd, 604, BST_UNCHECKED);
  EXPECT_EQ(button.checks, 1) << "no longer subclassed";

  {
    CButton owned;
    ASSERT_TRUE(owned.SubclassDlgItem(601, &dlg));
  }
  EXPECT_EQ(::GetDlgItem(dlg.m_hWnd, 601), nullptr) << "an attached object destroys its window";

  CCountingButton last;
  ASSERT_TRUE(last.SubclassDlgItem(603, &dlg));
  EXPECT_TRUE(dlg.DestroyWindow());
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_EQ(last.m_hWnd, nullptr) << "the control's object let go of its window";
}

TEST(FrameworkGdi, DeviceCapsFontsAndStockObjects) {
  std::string error;
  ASSERT_TRUE(winsim::SetConfigValue("dpi", "144", &error));
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  EXPECT_EQ(GetDeviceCaps(memory, LOGPIXELSX), 144);
  winsim::SetConfigValue("dpi", "96", &error);
  EXPECT_EQ(GetDeviceCaps(memory, LOGPIXELSX), 96);
  EXPECT_EQ(SetBkMode(memory, TRANSPARENT), OPAQUE);
  EXPECT_EQ(GetBkMode(memory), TRANSPARENT);
  EXPECT_EQ(SetTextColor(memory, RGB(1, 2, 3)), RGB(0, 0, 0));
  EXPECT_EQ(GetTextColor(memory), RGB(1, 2, 3));
  EXPECT_TRUE(DeleteDC(memory));
  EXPECT_FALSE(DeleteDC(memory));
  ReleaseDC(nullptr, screen);

  LOGBRUSH brush{};
  ASSERT_EQ(GetObjectA(GetStockObject(WHITE_BRUSH), sizeof brush, &brush), static_cast<int>(sizeof brush));
  EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(brush.lbColor, RGB(255, 255, 255));
  ASSERT_EQ(GetObjectA(GetStockObject(NULL_BRUSH), sizeof brush, &brush), static_cast<int>(sizeof brush));
  EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_NULL));
  EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));  // stock objects stay
  EXPECT_NE(GetObjectA(GetStockObject(WHITE_BRUSH), 0, nullptr), 0);

  HFONT font = CreateFontA(19, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
  LOGFONTA lf;
  std::memset(&lf, 0xCC, sizeof lf);
  ASSERT_EQ(GetObjectA(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(lf.lfHeight, 19);
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_EQ(GetObjectA(font, sizeof lf, &lf), 0);
}

}  // namespace
