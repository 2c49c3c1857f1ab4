// The command line a WinMain program receives: the process's command line
// after the program's name (quoted or not) and the blanks that follow it.
#pragma once
#include "windows.h"

namespace launcher {

// Points into `commandLine`: at its end when nothing follows the name.
LPSTR CommandTail(LPSTR commandLine);

}  // namespace launcher
