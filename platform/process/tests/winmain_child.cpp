// winsim_winmainchild.exe: a WinMain program whose exit code is the number
// on its command line, returned from WinMain.
#include <cstdlib>

#include "windows.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int) {
  return static_cast<int>(std::strtoul(lpCmdLine, nullptr, 0));
}
