// The two machines a scenario runs on: the simulated machine with the Linux
// build (build/source) and a Wine prefix with the Windows build
// (build-windows/source). Both offer the same few operations, so one
// scenario table drives both.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "setup_run.h"
#include "wine_env.h"

namespace winebench {

// Buttons pressed on the message boxes of one run, in order ("IDYES", ...).
using Answers = std::vector<std::string>;

class Side {
 public:
  virtual ~Side() = default;
  virtual const char* Name() const = 0;
  // The copied source folder: host path (for edits) and Windows path.
  virtual std::string SourceHost() const = 0;
  virtual std::string SourceWindows() const = 0;
  // Call after editing the source folder's copy on the host.
  virtual void SourceEdited() {}
  // Puts a read-only file at a Windows path, making its folders.
  virtual void PlaceReadOnlyFile(const std::string& windowsPath, const std::string& bytes) = 0;
  // Runs a Windows command line from a Windows folder, answering the boxes;
  // the exit code, or -1 when it did not end in time.
  virtual int Run(const std::string& commandLine, const std::string& currentDirWin, const Answers& answers) = 0;
  // The machine record (machine_record's output), "" when it did not run.
  virtual std::string Record() = 0;

  // What went wrong in the bench itself (a box nobody showed, a time-out).
  std::vector<std::string> problems;
};

// A fresh simulated machine and a copy of build/source. Uses the test
// program's environment (WINSIM_MACHINE, WINSIM_USER): one at a time.
std::unique_ptr<Side> MakeSimSide();
// A fresh Wine prefix and a copy of build-windows/source, with the
// collector and the box-answering helper beside it. Any thread.
std::unique_ptr<Side> MakeWineSide();

}  // namespace winebench
