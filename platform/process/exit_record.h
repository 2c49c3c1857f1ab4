// Exit records: the full 32-bit exit code of a process of the machine,
// kept beside the host's 8-bit status. A process that ends with a code
// (ExitProcess, the return of WinMain, TerminateProcess) writes it as
// run/.exit/<pid>; whoever reaps the process reads it back and removes it.
// A new child removes a stale record of its pid before its program runs,
// so a record found at the end belongs to the process that just ended.
#pragma once
#include <sys/types.h>

#include <optional>
#include <string>

#include "windef.h"

namespace winsim::process {

// run/.exit of the current machine ('.' never starts an object's file).
std::string ExitRecordDir();

// Writes the record, made whole by a rename; false when it could not be.
bool WriteExitRecord(pid_t pid, DWORD code);

// The code of an ended child from its host status and its record (taken:
// the record is removed). The record counts where it agrees with the
// status: its low 8 bits are the exit status, or the child was killed
// (TerminateProcess kills after writing).
DWORD TakeExitCode(pid_t pid, int status);

}  // namespace winsim::process
