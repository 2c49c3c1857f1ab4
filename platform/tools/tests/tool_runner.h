// Runs a program of this build as a host process on the test's machine
// (WINSIM_MACHINE is inherited), feeding its standard input and collecting
// its output.
#pragma once
#include <string>
#include <vector>

namespace tools_test {

struct ToolRun {
  int exitCode = -1;  // 128 + signal when it was killed
  std::string out;
  std::string err;
};

// `program` is a file name in the build's bin folder; `args` are host
// arguments (UTF-8, as a host shell passes them). A program still running
// after 60 seconds is killed.
ToolRun RunTool(const std::string& program, const std::vector<std::string>& args, const std::string& input = "",
                const std::string& hostDirectory = "", const std::vector<std::string>& extraEnv = {});

}  // namespace tools_test
