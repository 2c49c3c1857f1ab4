// Which program a CreateProcessA call starts, and the command line its
// child sees.
#pragma once
#include <string>

#include "windef.h"

namespace winsim::process {

struct ProgramChoice {
  DWORD error = 0;               // non-zero: the call fails with this code
  std::string hostImage;         // the host file to execute
  std::string windowsImage;      // its Windows path (ANSI), the child's module name
  std::string childCommandLine;  // what the child's GetCommandLineA returns
};

// Finds the program of a command line as Windows does:
// - with an application name, that file (relative to the current folder),
//   the command line passed on unchanged (or the quoted name when empty);
// - else the first token: a quoted one as it stands; an unquoted one is
//   tried at every blank from the shortest prefix on, and when the prefix
//   that names a program holds a blank the child gets it quoted.
// A name without extension is tried with ".exe" first, also when it holds
// a folder; a bare name is searched in the caller's program folder, the
// current folder, System32, the Windows folder and the machine's PATH.
ProgramChoice ChooseProgram(const char* applicationName, const char* commandLine);

}  // namespace winsim::process
