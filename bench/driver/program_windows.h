// The windows of the program the driver works on, found from outside: the
// driver runs beside the program (another process of the same Windows, or
// of the same Wine prefix) and sees its top-level windows of the dialog
// class (#32770) that are visible.
//
// The program is told by the name of its executable (the file name of the
// image path, any case); with no names given, any process but the driver.
// The wizard is the dialog with a Next button (ID_WIZNEXT); every other
// dialog of the program (message boxes, the error dialog) is a "box".
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

class ProgramWindows {
 public:
  explicit ProgramWindows(std::vector<std::wstring> imageNames);

  // The wizard's frame, or null while the program shows none.
  HWND Wizard() const;
  // The program's other dialogs, front first (in Z order).
  std::vector<HWND> Boxes() const;
  // Every visible top-level window of the program, of any class.
  std::vector<HWND> All() const;

  // For messages: the names the driver looks for.
  std::string Description() const;

 private:
  bool IsProgram(DWORD pid) const;
  std::vector<HWND> Dialogs() const;

  std::vector<std::wstring> m_names;  // lower case
  DWORD m_self;
};

// The window's class name.
std::wstring ClassOf(HWND hwnd);

}  // namespace driver
