// The start of the launcher's Windows build, which links no C runtime: it
// does what the runtime's start-up does for a WinMain program (the command
// line after the program's name, the show state the starting process asked
// for) and ends the process with WinMain's result.
#include "command_tail.h"
#include "windows.h"

// Windows enters a 32-bit program with its stack aligned to 4 bytes only;
// the compiler's code expects 16.
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup() {
  STARTUPINFOA si;
  GetStartupInfoA(&si);
  const int nShow = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWDEFAULT;
  const int result = WinMain(GetModuleHandleA(nullptr), nullptr, launcher::CommandTail(GetCommandLineA()), nShow);
  ExitProcess(static_cast<UINT>(result));
}
