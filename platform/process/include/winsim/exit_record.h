// The full exit code of the running process. Windows keeps 32 bits where
// the host keeps 8, so the layer writes a larger code down before the
// process ends (ExitProcess, TerminateProcess of oneself, and the return of
// main in a program of the machine, whose host entry is wrapped for it).
#pragma once

namespace winsim {

void RecordOwnExitCode(unsigned code);

}  // namespace winsim
