// Runs one command line in a hidden window and waits for it a bounded time.
// The program is always named in full (see CommandProgram.h); the command
// line itself is passed unchanged.
#pragma once
#include "afx.h"

class CModeCmdRun {
 public:
  CModeCmdRun() = default;
  virtual ~CModeCmdRun() = default;

  // 1 when the process was started, 0 when it was not. A command still
  // running after the time-out is left running and counts as started; the
  // caller is held for the time-out once more.
  int Run(CString strCommandLine, DWORD dwTimeout);

  // As Run, but waits for the command to end, at most dwBound milliseconds;
  // a command still running then is logged with the time-out line and left
  // running, without the further pause.
  int RunToEnd(CString strCommandLine, DWORD dwBound);

 private:
  int Start(const CString& strCommandLine, DWORD dwWait, bool bPauseAfterTimeout);
};
