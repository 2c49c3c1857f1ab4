// Text between the Windows API (UTF-16) and the driver's scripts and
// output (UTF-8), and the texts of other processes' windows.
#pragma once

#include <windows.h>

#include <string>

namespace driver {

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

// A window's text as its window procedure gives it (WM_GETTEXT, which
// Windows carries across processes), UTF-8; line ends shown as "\n".
// Empty when the window does not answer within a second.
std::string WindowText(HWND hwnd);

}  // namespace driver
