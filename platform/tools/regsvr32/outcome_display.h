// How regsvr32 tells the user what happened: a message box, unless /s.
#pragma once
#include <string>

namespace regsvr32 {

// `text` is ANSI. With `console` (/c, console output) it goes to standard
// output instead of a message box.
void ShowOutcome(const std::string& text, bool failed, bool console);

}  // namespace regsvr32
