// The program a command line starts, named in full for CreateProcessA.
// Without an application name Windows searches the setup program's folder
// and the current folder before System32, so a program of the same name
// planted there would run with the caller's rights.
#pragma once
#include "afx.h"

namespace cmdrun {

// The command line's first token (quoted or up to the first blank) as a
// full path: a bare name ("netsh") is the system folder's program, a path
// stands as it is; ".exe" is added to a name without an extension. Empty
// when the line names no program.
CString ProgramPath(const CString& strCommandLine);

}  // namespace cmdrun
