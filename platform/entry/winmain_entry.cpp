// The host entry of a program written with WinMain: the C runtime of
// Windows calls WinMain with the command line after the program's name.
#include "windows.h"

int main() {
  LPSTR pszLine = GetCommandLineA();
  // Skip the program's name (quoted or not) and the blanks after it.
  if (*pszLine == '"') {
    ++pszLine;
    while (*pszLine && *pszLine != '"') ++pszLine;
    if (*pszLine == '"') ++pszLine;
  } else {
    while (*pszLine && *pszLine != ' ' && *pszLine != '\t') ++pszLine;
  }
  while (*pszLine == ' ' || *pszLine == '\t') ++pszLine;
  STARTUPINFOA si;
  GetStartupInfoA(&si);
  const int nShow = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWDEFAULT;
  return WinMain(GetModuleHandleA(nullptr), nullptr, pszLine, nShow);
}
