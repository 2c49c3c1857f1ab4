// How regsvr32 tells the user what happened: a message box, unless /s.
#pragma once
#include <string>

namespace regsvr32 {

// `text` is ANSI. With `console` (/c, console output) it goes to standard
// output instead of a message box.
void ShowOutcome(const std::string& text, bool failed, bool console);

// In the form of regsvr32 built without the desktop, a run that will show
// message boxes (neither /s nor /c) continues, as the same process, in the
// desktop form; a silent or console run stays. Returns when it stays or the
// desktop form cannot be started.
void UseDesktopFormForBoxes(bool silent, bool console);

}  // namespace regsvr32
