// The program entry of a framework application (the framework's WinMain):
// the global application object was constructed before it runs.
#include "afxwin.h"

int main(int, char**) {
  return AfxWinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT);
}
