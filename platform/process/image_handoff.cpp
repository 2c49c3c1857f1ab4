#include "winsim/image_handoff.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "launch_env.h"
#include "windows.h"

namespace winsim {

namespace {

// The host arguments of the running process, argv[0] first. (Read with
// open/read: the C library's fopen takes Windows paths in these programs.)
std::vector<std::string> HostArguments() {
  std::string raw;
  int fd = open("/proc/self/cmdline", O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    char buf[4096];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0) raw.append(buf, static_cast<size_t>(n));
    close(fd);
  }
  std::vector<std::string> args;
  size_t start = 0;
  for (size_t end; (end = raw.find('\0', start)) != std::string::npos; start = end + 1) {
    args.push_back(raw.substr(start, end - start));
  }
  return args;
}

}  // namespace

void HandOverToProgram(const char* hostProgram) {
  using namespace process;
  // The launch variables made for this pid carry the identity across the
  // exec: a program started from a host shell gets them here, from what it
  // knows of itself now.
  const std::string commandLine = GetCommandLineA();
  const std::string image = CurrentImagePathA();
  if (!OwnLaunchVariable(kPidVar)) {
    // Started from a host shell: variables inherited from some other
    // process of the machine must not become ours.
    unsetenv(kCurrentDirectoryVar);
    unsetenv(kShowVar);
  }
  setenv(kCommandLineVar, commandLine.c_str(), 1);
  setenv(kImageVar, image.c_str(), 1);
  setenv(kPidVar, std::to_string(getpid()).c_str(), 1);

  std::vector<std::string> args = HostArguments();
  if (args.empty()) args.push_back(hostProgram);
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::fflush(stdout);
  std::fflush(stderr);
  execv(hostProgram, argv.data());
}

}  // namespace winsim
