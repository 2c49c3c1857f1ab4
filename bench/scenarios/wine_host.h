// The shared state behind wine_env.h: the host's programs, the Xvfb
// display and the template prefix, each made once per test program.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

namespace winebench {

// Everything looked up in our environment, once, before any thread runs:
// later calls never read the environment, which the simulated side's
// tests change while Wine runs go on in another thread.
struct Tools {
  std::string wine, wineboot, wineserver, xvfb, cp;
  std::string temp;
  bool keep = false;
};
const Tools& Host();

// One Xvfb server for the whole test program, ended when it exits.
struct Display {
  std::string name;   // ":<number>"
  std::string error;  // why there is none
  pid_t pid = -1;
  ~Display();
};
const Display& XDisplay();

// The environment of every Wine process of a prefix.
std::vector<std::string> WineEnvironment(const std::string& prefix, const std::string& home);
// `wineserver -<flag>` in a prefix; true when it ended within the time-out.
bool Wineserver(const std::string& flag, const std::vector<std::string>& env, int timeoutMs);
// The template prefix (throws std::runtime_error when it cannot be made).
const std::string& TemplatePrefix();

}  // namespace winebench
