// The layer's command-line texts: splitting by the Windows rules, quoting
// so that arguments split back unchanged, and the program token; the
// console programs' splitting of a whole line agrees with the layer's.
#include <cstdint>
#include <string>
#include <vector>

#include "command_line.h"
#include "console_args.h"
#include "fuzz_support.h"

using winsim::process::ProgramTokenEnd;
using winsim::process::QuoteArgument;
using winsim::process::SplitArguments;

namespace {

std::string Joined(const std::vector<std::string>& args) {
  std::string out;
  for (const auto& a : args) out += "[" + fuzz::Escaped(a) + "]";
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const std::string text(in.Rest());

  // Any text splits; the program token ends inside it.
  const std::vector<std::string> split = SplitArguments(text);
  fuzz::Check(ProgramTokenEnd(text) <= text.size(), "program token past the end");

  // Arguments without NUL (a command line cannot hold one) quote and split
  // back as they were, also after a program token.
  std::vector<std::string> args;
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string arg = text.substr(start, end - start);
    if (arg.find('\0') == std::string::npos) args.push_back(arg);
    start = end + 1;
  }
  std::string line;
  for (const auto& a : args) line += (line.empty() ? "" : " ") + QuoteArgument(a);
  const std::vector<std::string> back = SplitArguments(line);
  fuzz::Check(back == args, "quoted arguments split as " + Joined(back) + ", not " + Joined(args));

  const std::string whole = "\"C:\\Program Files\\p.exe\" " + line;
  fuzz::Check(ProgramTokenEnd(whole) == whole.find('"', 1) + 1, "program token of a quoted path");
  std::vector<std::string> console = console::SplitCommandLine(whole);
  fuzz::Check(!console.empty() && console[0] == "C:\\Program Files\\p.exe", "console program token");
  console.erase(console.begin());
  fuzz::Check(console == args, "console split " + Joined(console) + ", not " + Joined(args));
  return 0;
}
