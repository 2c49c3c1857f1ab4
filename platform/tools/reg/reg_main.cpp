// reg.exe of the machine: QUERY, ADD and DELETE on its registry, with
// Windows' syntax, output and exit codes.
#include <cctype>

#include "console_args.h"
#include "reg_commands.h"
#include "reg_messages.h"

namespace {

bool IsHelp(const std::string& arg) {
  return console::SameOption(arg, "/?") || console::SameOption(arg, "-?") || console::SameOption(arg, "/h") ||
         console::SameOption(arg, "-h");
}

}  // namespace

int main() {
  std::vector<std::string> args = console::ProgramArguments();
  if (args.empty()) return reg::InvalidSyntax("");
  if (IsHelp(args[0])) {
    reg::ShowUsage("");
    return reg::kExitSuccess;
  }
  std::string operation = args[0];
  for (char& c : operation) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (operation != "QUERY" && operation != "ADD" && operation != "DELETE") return reg::InvalidSyntax("");
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (rest.size() == 1 && IsHelp(rest[0])) {
    reg::ShowUsage(operation);
    return reg::kExitSuccess;
  }
  if (operation == "QUERY") return reg::RunQuery(rest);
  if (operation == "ADD") return reg::RunAdd(rest);
  return reg::RunDelete(rest);
}
