#include "outcome_display.h"

#include <cstdio>

#include "console_text.h"
#include "windows.h"
#include "winsim/image_handoff.h"

namespace regsvr32 {

void ShowOutcome(const std::string& text, bool failed, bool console) {
#ifdef REGSVR32_MESSAGE_BOX
  if (!console) {
    MessageBoxA(nullptr, text.c_str(), "RegSvr32", MB_OK | (failed ? MB_ICONERROR : MB_ICONINFORMATION));
    return;
  }
#else
  // This form has no desktop: a run that shows boxes was handed over to the
  // desktop form at its start. Only when that form is missing does the
  // outcome end up here, on standard output.
  (void)failed;
#endif
  console::WriteAnsi(stdout, text + "\n");
}

void UseDesktopFormForBoxes(bool silent, bool console) {
#ifndef REGSVR32_MESSAGE_BOX
  if (!silent && !console) winsim::HandOverToProgram(REGSVR32_DESKTOP_FORM);
#else
  (void)silent;
  (void)console;
#endif
}

}  // namespace regsvr32
