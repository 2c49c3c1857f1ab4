// Runs one command line in a hidden window and waits for it a bounded time.
#pragma once
#include "afx.h"

class CModeCmdRun {
 public:
  CModeCmdRun() = default;
  virtual ~CModeCmdRun() = default;

  // 1 when the process was started, 0 when it was not. A command still
  // running after the time-out is left running and counts as started.
  int Run(CString strCommandLine, DWORD dwTimeout);
};
