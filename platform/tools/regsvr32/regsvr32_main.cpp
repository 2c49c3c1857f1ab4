// regsvr32.exe of the machine: [/s] [/u] [/n] [/i[:cmdline]] [/c] <library>...
// Loads each library (a host shared library, whatever its file name) and
// calls DllRegisterServer, or DllUnregisterServer with /u. Exit codes as
// Windows': 0 success, 1 bad arguments, 3 not loaded, 4 entry point
// missing, 5 the call failed.
#include <string>
#include <vector>

#include "console_args.h"
#include "outcome_display.h"
#include "registration.h"

namespace {

const char kUsage[] =
    "Usage: regsvr32 [/u] [/s] [/n] [/i[:cmdline]] dllname\n"
    "/u - Unregister server\n"
    "/s - Silent; display no message boxes\n"
    "/i - Call DllInstall passing it an optional [cmdline]; when it is used with /u, it calls dll uninstall\n"
    "/n - do not call DllRegisterServer; this option must be used with /i\n"
    "/c - Console output";

struct Arguments {
  regsvr32::Request request;
  bool silent = false;
  bool console = false;
  std::vector<std::string> libraries;
  std::string problem;  // set when the command line is not usable
};

Arguments Parse(const std::vector<std::string>& args) {
  Arguments parsed;
  for (const auto& arg : args) {
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) {
      if (!arg.empty()) parsed.libraries.push_back(arg);
      continue;
    }
    std::string flag = arg.substr(1);
    if (console::SameOption(flag, "s")) {
      parsed.silent = true;
    } else if (console::SameOption(flag, "u")) {
      parsed.request.unregister = true;
    } else if (console::SameOption(flag, "n")) {
      parsed.request.noRegister = true;
    } else if (console::SameOption(flag, "c")) {
      parsed.console = true;
    } else if (console::SameOption(flag, "i") || console::SameOption(flag.substr(0, 2), "i:")) {
      parsed.request.install = true;
      if (flag.size() > 2) parsed.request.installArgs = flag.substr(2);
    } else if (parsed.problem.empty()) {
      parsed.problem = "Unrecognized flag: " + arg + "\n\n" + kUsage;
    }
  }
  if (parsed.problem.empty() && parsed.request.noRegister && !parsed.request.install) {
    parsed.problem = std::string("Unrecognized flag: /n\n\n") + kUsage;
  }
  if (parsed.problem.empty() && parsed.libraries.empty()) {
    parsed.problem = std::string("To register a module, you must provide a binary name.\n\n") + kUsage;
  }
  return parsed;
}

}  // namespace

int main() {
  Arguments args = Parse(console::ProgramArguments());
  regsvr32::UseDesktopFormForBoxes(args.silent, args.console);
  if (!args.problem.empty()) {
    if (!args.silent) regsvr32::ShowOutcome(args.problem, true, args.console);
    return regsvr32::kBadArguments;
  }
  int exitCode = regsvr32::kSuccess;
  for (const auto& library : args.libraries) {
    regsvr32::Outcome outcome = regsvr32::RegisterLibrary(library, args.request);
    if (!args.silent) regsvr32::ShowOutcome(outcome.message, outcome.exitCode != regsvr32::kSuccess, args.console);
    if (outcome.exitCode != regsvr32::kSuccess) exitCode = outcome.exitCode;
  }
  return exitCode;
}
