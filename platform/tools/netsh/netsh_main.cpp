// netsh.exe of the machine: the "wlan" context's profile commands, with
// netsh's messages and exit codes (0 success, 1 failure).
#include <string>
#include <vector>

#include "console_args.h"
#include "console_text.h"
#include "winsim/codepage.h"
#include "wlan_commands.h"

namespace {

int NotFound(const std::vector<std::string>& args) {
  std::string line;
  for (const auto& arg : args) line += (line.empty() ? "" : " ") + arg;
  console::WriteAnsi(stdout, "The following command was not found: " + line + ".\n");
  return 1;
}

bool Is(const std::vector<std::string>& args, size_t i, const char* word) {
  return i < args.size() && console::SameOption(args[i], word);
}

}  // namespace

int main() {
  std::vector<std::string> args = console::ProgramArguments();
  if (args.empty() || !Is(args, 0, "wlan")) {
    if (args.empty()) {
      console::WriteUtf8(stdout, "Usage: netsh wlan add profile | delete profile | show profiles\n");
      return 1;
    }
    return NotFound(args);
  }
  std::vector<std::string> rest(args.size() > 3 ? args.begin() + 3 : args.end(), args.end());
  if (Is(args, 1, "add") && Is(args, 2, "profile")) return netsh::AddProfile(rest);
  if (Is(args, 1, "delete") && Is(args, 2, "profile")) return netsh::DeleteProfileCommand(rest);
  if (Is(args, 1, "show") && (Is(args, 2, "profiles") || Is(args, 2, "profile"))) return netsh::ShowProfiles(rest);
  return NotFound(args);
}
