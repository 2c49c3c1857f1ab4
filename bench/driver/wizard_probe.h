// Looks at the wizard and the program's dialogs from outside: the page
// shown, whether a control can be used, the state report, and a listing of
// every control (for the output when a step fails).
#pragma once

#include <windows.h>

#include <string>

#include "wizard_model.h"

namespace driver {

// The wizard's page that is shown: a visible child dialog of the frame.
HWND VisiblePage(HWND wizard);

// The control with the id in the visible page, else in the frame (or the
// dialog itself when it has no pages), when it is visible and enabled
// along with its parents; null otherwise.
HWND ReadyControl(HWND dialog, int id);

WizardState ReadState(HWND wizard);

// One line per window, children indented: class, id, style, visible,
// enabled, rectangle, checked state of buttons, whether a picture static
// has its picture, position of progress bars, text.
std::string DescribeWindow(HWND top);

}  // namespace driver
