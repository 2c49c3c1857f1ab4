// Performs a script's steps on the program's windows, in order, each wait
// bounded by the time limit in force. Reports (state, dump, shot, answer)
// go to `out`, one line each; the first step that fails stops the run with
// a message on `err` naming the step, what it waited for and what the
// program showed instead, followed by a listing of the program's windows.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "driver_script.h"
#include "program_windows.h"

namespace driver {

class StepRunner {
 public:
  StepRunner(const ProgramWindows& program, int timeoutSeconds, FILE* out, FILE* err);

  // 0 when every step succeeded, 1 at the first that failed.
  int Run(const std::vector<Step>& steps);

 private:
  // Empty on success, else why the step failed.
  std::string Perform(const Step& step);
  std::string WaitForControl(int id, HWND* control);
  std::string Click(int id, bool asCommand);
  std::string Answer(int button);
  std::string State();
  std::string Shot(const std::string& path);
  std::string Gone();
  // Polls `ready` every 100 ms until it holds or the time limit passes.
  bool Poll(const std::function<bool()>& ready) const;
  // What the program shows now, for a failure message.
  std::string Showing() const;
  void Print(const std::string& line);

  const ProgramWindows& m_program;
  int m_timeoutMs;
  FILE* m_out;
  FILE* m_err;
};

}  // namespace driver
