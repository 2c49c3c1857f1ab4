// Handing the running process over to another host program.
#pragma once

namespace winsim {

// Replaces the running program's image by the host program `hostProgram`
// (execv, so the pid stays), keeping what the process is to the machine:
// its command line, its Windows image path (GetModuleFileNameA(NULL)), its
// current directory and show command, and its host arguments. For a stand-in
// built in two forms, a light one that starts fast and a full one that
// brings the desktop. Standard output and error are flushed first. Returns
// only on failure (the program is missing or cannot be run), with errno set
// and nothing changed but the process's launch variables.
void HandOverToProgram(const char* hostProgram);

}  // namespace winsim
