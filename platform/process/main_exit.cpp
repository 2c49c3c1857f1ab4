// The host entry of every program of the machine, put in front of its own
// main by the link option --wrap=main (see winsim_exe): what main returns
// is the program's exit code, all 32 bits of it, as on Windows.
#include "winsim/exit_record.h"

extern "C" int __real_main(int argc, char** argv, char** envp);

extern "C" int __wrap_main(int argc, char** argv, char** envp) {
  const int code = __real_main(argc, argv, envp);
  winsim::RecordOwnExitCode(static_cast<unsigned>(code));
  return code;
}
