#include "outcome_display.h"

#include <cstdio>

#include "console_text.h"
#include "windows.h"

namespace regsvr32 {

void ShowOutcome(const std::string& text, bool failed, bool console) {
#ifdef REGSVR32_MESSAGE_BOX
  if (!console) {
    MessageBoxA(nullptr, text.c_str(), "RegSvr32", MB_OK | (failed ? MB_ICONERROR : MB_ICONINFORMATION));
    return;
  }
#else
  // TODO(lead): without the desktop layer (win32ui) in the build the outcome
  // cannot be shown in a message box; it goes to standard output instead.
  (void)failed;
#endif
  console::WriteAnsi(stdout, text + "\n");
}

}  // namespace regsvr32
