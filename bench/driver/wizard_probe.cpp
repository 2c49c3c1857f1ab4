#include "wizard_probe.h"

#include <commctrl.h>

#include <cstdio>

#include "program_windows.h"
#include "text.h"

namespace driver {
namespace {

bool ReallyEnabled(HWND hwnd) {
  for (HWND w = hwnd; w; w = (GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD) ? GetParent(w) : nullptr) {
    if (!IsWindowEnabled(w)) return false;
  }
  return true;
}

void Describe(HWND hwnd, const std::string& indent, std::string* out) {
  const std::wstring cls = ClassOf(hwnd);
  char style[16];
  std::snprintf(style, sizeof style, "%08lx", static_cast<unsigned long>(GetWindowLongPtrW(hwnd, GWL_STYLE)));
  std::string line = indent + ToUtf8(cls) + " id=" + std::to_string(GetDlgCtrlID(hwnd)) + " style=" + style +
                     " visible=" + (IsWindowVisible(hwnd) ? "1" : "0") +
                     " enabled=" + (IsWindowEnabled(hwnd) ? "1" : "0");
  // Where it is: on its parent's client area (the screen for a top-level window).
  RECT r{};
  GetWindowRect(hwnd, &r);
  if (HWND parent = (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd) : nullptr)
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  line += " rect=" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right - r.left) +
          "x" + std::to_string(r.bottom - r.top);
  DWORD_PTR value = 0;
  if (_wcsicmp(cls.c_str(), L"Button") == 0 &&
      SendMessageTimeoutW(hwnd, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 1000, &value))
    line += " check=" + std::to_string(value);
  if (_wcsicmp(cls.c_str(), L"Static") == 0 &&
      SendMessageTimeoutW(hwnd, STM_GETIMAGE, IMAGE_BITMAP, 0, SMTO_ABORTIFHUNG, 1000, &value) && value)
    line += " image=1";
  if (_wcsicmp(cls.c_str(), PROGRESS_CLASSW) == 0 &&
      SendMessageTimeoutW(hwnd, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 1000, &value))
    line += " pos=" + std::to_string(value);
  *out += line + " text=" + WindowText(hwnd) + "\n";
  for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    Describe(child, indent + "  ", out);
}

}  // namespace

HWND VisiblePage(HWND wizard) {
  for (HWND child = GetWindow(wizard, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child) && ClassOf(child) == L"#32770") return child;
  }
  return nullptr;
}

HWND ReadyControl(HWND dialog, int id) {
  HWND control = nullptr;
  if (HWND page = VisiblePage(dialog)) control = GetDlgItem(page, id);
  if (!control) control = GetDlgItem(dialog, id);
  if (!control || !IsWindowVisible(control) || !ReallyEnabled(control)) return nullptr;
  return control;
}

WizardState ReadState(HWND wizard) {
  WizardState state;
  HWND page = VisiblePage(wizard);
  state.shown = page != nullptr;
  if (page) state.page = IdentifyPage([page](int id) { return GetDlgItem(page, id) != nullptr; });
  state.buttons = EnabledButtons([wizard](int id) {
    HWND button = GetDlgItem(wizard, id);
    return button && IsWindowEnabled(button);
  });
  state.caption = WindowText(wizard);
  return state;
}

std::string DescribeWindow(HWND top) {
  std::string out;
  Describe(top, "", &out);
  return out;
}

}  // namespace driver
