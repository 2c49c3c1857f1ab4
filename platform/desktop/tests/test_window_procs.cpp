// Window and dialog procedures: GetWindowLongPtr and SetWindowLongPtr,
// subclassing with CallWindowProc, dialog procedures behind DefDlgProc,
// DialogBoxParam and CreateDialogIndirectParam, the window relations, the
// WM_QUIT flag of a thread, and MulDiv.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "desktop_test_support.h"
#include "probe_templates.h"

using namespace desktop_test;

namespace {

constexpr DWORD kSentinel = 0xdeadbeef;

// What the probe dialog procedure saw and how it answers.
struct DialogLog {
  std::vector<UINT> messages;
  LPARAM initParam = 0;
  INT_PTR endWith = -1;  // EndDialog result given in WM_INITDIALOG; -1: none
};

INT_PTR CALLBACK LoggingDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* log = reinterpret_cast<DialogLog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  if (msg == WM_INITDIALOG) {
    log = reinterpret_cast<DialogLog*>(lParam);
    SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    log->initParam = lParam;
    if (log->endWith >= 0) EndDialog(hwnd, log->endWith);
  }
  if (!log) return FALSE;
  log->messages.push_back(msg);
  if (msg == WM_USER + 1) {
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, 1234);  // handled, result through DWLP_MSGRESULT
    return TRUE;
  }
  return FALSE;
}

int g_subclassCalls = 0;
WNDPROC g_previous = nullptr;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ++g_subclassCalls;
  if (msg == WM_USER + 2) return 77;
  return CallWindowProcA(g_previous, hwnd, msg, wParam, lParam);
}

TEST(WindowLongPtr, IndexesOfDialogsAndControls) {
  DialogLog log;
  HWND dlg = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(kProbeDialog), nullptr, LoggingDialogProc,
                                reinterpret_cast<LPARAM>(&log));
  ASSERT_NE(dlg, nullptr);
  HWND text = GetDlgItem(dlg, kProbeText);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(log.initParam, reinterpret_cast<LPARAM>(&log));
  EXPECT_EQ(GetWindowLongPtrA(dlg, DWLP_DLGPROC), reinterpret_cast<LONG_PTR>(&LoggingDialogProc));
  EXPECT_NE(GetWindowLongPtrA(dlg, GWLP_WNDPROC), 0);
  EXPECT_NE(GetWindowLongPtrA(text, GWLP_WNDPROC), 0);
  EXPECT_EQ(GetWindowLongPtrA(text, GWLP_ID), kProbeText);
  EXPECT_EQ(GetWindowLongPtrA(text, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(dlg));

  const struct {
    const char* name;
    HWND hwnd;
    int index;
    LONG_PTR result;
    DWORD error;  // kSentinel: unchanged
  } cases[] = {
      {"user data starts at 0", dlg, GWLP_USERDATA, 0, kSentinel},
      {"a control has no dialog procedure", text, DWLP_DLGPROC, 0, ERROR_INVALID_INDEX},
      {"a control has no DWLP_USER", text, DWLP_USER, 0, ERROR_INVALID_INDEX},
      {"an unknown index", dlg, -1000, 0, ERROR_INVALID_INDEX},
      {"a window that does not exist", reinterpret_cast<HWND>(0x7777770), GWL_STYLE, 0, ERROR_INVALID_WINDOW_HANDLE},
  };
  for (const auto& c : cases) {
    SetLastError(kSentinel);
    EXPECT_EQ(GetWindowLongPtrA(c.hwnd, c.index), c.result) << c.name;
    EXPECT_EQ(GetLastError(), c.error) << c.name;
  }
  // A pointer index through the 32-bit form is refused on a 64-bit machine.
  SetLastError(kSentinel);
  EXPECT_EQ(GetWindowLongA(dlg, GWLP_WNDPROC), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));

  EXPECT_EQ(SetWindowLongPtrA(dlg, GWLP_USERDATA, 0x1234567890LL), 0);
  EXPECT_EQ(SetWindowLongPtrA(dlg, GWLP_USERDATA, 5), 0x1234567890LL);
  EXPECT_EQ(GetWindowLongPtrA(dlg, GWLP_USERDATA), 5);
  EXPECT_TRUE(DestroyWindow(dlg));
}

TEST(WindowLongPtr, SubclassedControlPassesOnWhatItLeaves) {
  HWND dlg = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(kProbeDialog), nullptr, nullptr, 0);
  ASSERT_NE(dlg, nullptr);
  HWND text = GetDlgItem(dlg, kProbeText);
  g_subclassCalls = 0;
  g_previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(text, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc)));
  ASSERT_NE(g_previous, nullptr);
  EXPECT_EQ(GetWindowLongPtrA(text, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&CountingProc));
  EXPECT_EQ(SendMessageA(text, WM_USER + 2, 0, 0), 77);
  EXPECT_EQ(GetWindowTextLengthA(text), 10) << "\"Probe text\" through the previous procedure";
  char buffer[32];
  std::memset(buffer, 0xCC, sizeof buffer);
  EXPECT_EQ(GetDlgItemTextA(dlg, kProbeText, buffer, sizeof buffer), 10u);
  EXPECT_STREQ(buffer, "Probe text");
  EXPECT_GE(g_subclassCalls, 3);
  // A NULL procedure is refused and the subclass stays.
  SetLastError(kSentinel);
  EXPECT_EQ(SetWindowLongPtrA(text, GWLP_WNDPROC, 0), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  EXPECT_EQ(GetWindowLongPtrA(text, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&CountingProc));
  SetWindowLongPtrA(text, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previous));
  int before = g_subclassCalls;
  SendMessageA(text, WM_GETTEXTLENGTH, 0, 0);
  EXPECT_EQ(g_subclassCalls, before) << "the original procedure is back";
  EXPECT_TRUE(DestroyWindow(dlg));
}

TEST(DialogProcedure, ResultsAndDefaults) {
  DialogLog log;
  HWND dlg = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(kProbeDialog), nullptr, LoggingDialogProc,
                                reinterpret_cast<LPARAM>(&log));
  ASSERT_NE(dlg, nullptr);
  ASSERT_FALSE(log.messages.empty());
  EXPECT_EQ(log.messages.front(), static_cast<UINT>(WM_INITDIALOG));
  // Handled: the result comes from DWLP_MSGRESULT, not the procedure's TRUE.
  EXPECT_EQ(SendMessageA(dlg, WM_USER + 1, 0, 0), 1234);
  // Not handled: the dialog manager's own answer.
  EXPECT_EQ(SendMessageA(dlg, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
  EXPECT_EQ(DefDlgProcA(dlg, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
  size_t seen = log.messages.size();
  SendMessageA(dlg, WM_USER + 3, 0, 0);
  EXPECT_EQ(log.messages.size(), seen + 1) << "every message reaches the dialog procedure";
  EXPECT_TRUE(DestroyWindow(dlg));
}

TEST(DialogBoxParam, ReturnsTheEndDialogResultAndEnablesTheOwnerAgain) {
  HWND owner = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(kPictureDialog), nullptr, nullptr, 0);
  ASSERT_NE(owner, nullptr);
  HWND child = GetDlgItem(owner, -1);
  const struct {
    const char* name;
    HWND parent;
    INT_PTR result;
  } cases[] = {
      {"no owner", nullptr, 42},
      {"a top-level owner", owner, 7},
      {"a child window: its top-level window owns", child, 0},
  };
  for (const auto& c : cases) {
    DialogLog log;
    log.endWith = c.result;
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(kProbeDialog), c.parent, LoggingDialogProc,
                              reinterpret_cast<LPARAM>(&log)),
              c.result)
        << c.name;
    EXPECT_EQ(log.initParam, reinterpret_cast<LPARAM>(&log)) << c.name;
    EXPECT_TRUE(IsWindowEnabled(owner)) << c.name;
  }
  const struct {
    const char* name;
    LPCSTR templateName;
    DWORD error;
  } missing[] = {
      {"unknown id", MAKEINTRESOURCEA(4242), ERROR_RESOURCE_NAME_NOT_FOUND},
      {"unknown name", "NOSUCHDIALOG", ERROR_RESOURCE_NAME_NOT_FOUND},
  };
  for (const auto& m : missing) {
    SetLastError(kSentinel);
    EXPECT_EQ(DialogBoxParamA(nullptr, m.templateName, owner, LoggingDialogProc, 0), -1) << m.name;
    EXPECT_EQ(GetLastError(), m.error) << m.name;
    EXPECT_TRUE(IsWindowEnabled(owner)) << m.name;
    SetLastError(kSentinel);
    EXPECT_EQ(CreateDialogParamA(nullptr, m.templateName, owner, LoggingDialogProc, 0), nullptr) << m.name;
    EXPECT_EQ(GetLastError(), m.error) << m.name;
  }
  EXPECT_TRUE(DestroyWindow(owner));
}

// A DIALOG template in memory: a caption and one static text.
std::vector<WORD> InMemoryTemplate() {
  std::vector<WORD> t;
  auto dword = [&](DWORD v) {
    t.push_back(LOWORD(v));
    t.push_back(HIWORD(v));
  };
  auto text = [&](const char* s) {
    for (; *s; ++s) t.push_back(static_cast<WORD>(*s));
    t.push_back(0);
  };
  dword(WS_POPUP | WS_CAPTION);
  dword(0);
  t.push_back(1);  // one item
  t.insert(t.end(), {10, 10, 100, 50});
  t.push_back(0);  // no menu
  t.push_back(0);  // the dialog class
  text("Memory");
  if (t.size() % 2) t.push_back(0);  // items start on a DWORD
  dword(WS_CHILD | WS_VISIBLE | SS_LEFT);
  dword(0);
  t.insert(t.end(), {5, 5, 80, 10});
  t.push_back(321);  // id
  t.push_back(0xFFFF);
  t.push_back(0x0082);  // Static
  text("In memory");
  t.push_back(0);  // no creation data
  return t;
}

TEST(DialogIndirect, TemplateInMemory) {
  std::vector<WORD> t = InMemoryTemplate();
  HWND dlg = CreateDialogIndirectParamA(nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(t.data()), nullptr, nullptr, 0);
  ASSERT_NE(dlg, nullptr);
  char caption[16];
  std::memset(caption, 0xCC, sizeof caption);
  EXPECT_EQ(GetWindowTextA(dlg, caption, sizeof caption), 6);
  EXPECT_STREQ(caption, "Memory");
  char text[16];
  std::memset(text, 0xCC, sizeof text);
  EXPECT_EQ(GetDlgItemTextA(dlg, 321, text, sizeof text), 9u);
  EXPECT_STREQ(text, "In memory");
  EXPECT_TRUE(DestroyWindow(dlg));
  SetLastError(kSentinel);
  EXPECT_EQ(CreateDialogIndirectParamA(nullptr, nullptr, nullptr, nullptr, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(WindowRelations, SiblingsOwnerAndAncestors) {
  HWND owner = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(kPictureDialog), nullptr, nullptr, 0);
  HWND dlg = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(kControlsDialog), owner, nullptr, 0);
  ASSERT_NE(dlg, nullptr);
  // The children in template order, through GW_CHILD and GW_HWNDNEXT.
  std::vector<int> ids;
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ids.push_back(GetDlgCtrlID(c));
  EXPECT_EQ(ids, (std::vector<int>{601, 602, 603, 604, 605, 606}));
  HWND first = GetDlgItem(dlg, 601);
  HWND last = GetDlgItem(dlg, 606);
  EXPECT_EQ(GetWindow(last, GW_HWNDFIRST), first);
  EXPECT_EQ(GetWindow(first, GW_HWNDLAST), last);
  EXPECT_EQ(GetWindow(first, GW_HWNDPREV), nullptr);
  EXPECT_EQ(GetWindow(dlg, GW_OWNER), owner);
  EXPECT_EQ(GetWindow(first, GW_OWNER), nullptr) << "a child window has no owner";
  EXPECT_EQ(GetAncestor(first, GA_PARENT), dlg);
  EXPECT_EQ(GetAncestor(first, GA_ROOT), dlg);
  EXPECT_EQ(GetAncestor(first, GA_ROOTOWNER), owner);
  EXPECT_EQ(GetAncestor(dlg, GA_PARENT), GetDesktopWindow());
  EXPECT_TRUE(IsChild(dlg, first));
  EXPECT_FALSE(IsChild(owner, first)) << "ownership is not parenthood";
  EXPECT_FALSE(IsChild(first, dlg));
  // Radio buttons say what they are.
  EXPECT_EQ(SendMessageA(first, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON, DLGC_RADIOBUTTON);
  EXPECT_EQ(SendDlgItemMessageA(dlg, 604, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON, 0);
  EXPECT_TRUE(DestroyWindow(dlg));
  EXPECT_TRUE(DestroyWindow(owner));
}

TEST(MessageQueue, PostQuitMessageEndsGetMessage) {
  MSG msg;
  std::memset(&msg, 0xCC, sizeof msg);
  PostQuitMessage(7);
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  std::memset(&msg, 0xCC, sizeof msg);
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) << "WM_QUIT was taken";
}

TEST(MulDiv, RoundsHalfAwayFromZeroAndRefusesOverflow) {
  const struct {
    int number, numerator, denominator, result;
  } cases[] = {
      {10, 3, 4, 8},      {-10, 3, 4, -8},    {10, -3, 4, -8},       {10, 3, -4, -8},  {-10, -3, -4, -8},
      {1, 1, 2, 1},       {2, 1, 3, 1},       {1, 1, 3, 0},          {9, 144, 72, 18}, {96, 120, 96, 120},
      {1, 1, 0, -1},      {0, 0, 5, 0},       {INT_MAX, 2, 1, -1},   {INT_MAX, 2, 2, INT_MAX},
      {INT_MIN, 1, 1, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.result)
        << c.number << " * " << c.numerator << " / " << c.denominator;
  }
}

}  // namespace
