// netsh.exe's argument parsing: "tag=value" or positional parameters for
// the profile commands. A parse that succeeds assigns only known tags,
// each at most once, and only values that were given.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "console_args.h"
#include "fuzz_support.h"
#include "netsh_params.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const bool add = in.Byte() & 1;
  const std::string line = "netsh.exe " + std::string(in.Rest());
  if (line.find('\0') != std::string::npos) return 0;
  std::vector<std::string> args = console::SplitCommandLine(line);
  args.erase(args.begin());
  const std::vector<std::string> tags =
      add ? std::vector<std::string>{"filename", "interface", "user"} : std::vector<std::string>{"name", "interface"};
  std::map<std::string, std::string> values;
  if (netsh::ParseParams(args, tags, &values) != netsh::ParamsResult::Ok) return 0;
  fuzz::Check(values.size() <= args.size(), "more values than arguments");
  for (const auto& [tag, value] : values) {
    bool known = false;
    for (const auto& t : tags) known = known || t == tag;
    fuzz::Check(known, "an unknown tag was assigned: " + fuzz::Escaped(tag));
    bool given = false;
    for (const auto& a : args) {
      given = given || (a.size() >= value.size() && a.compare(a.size() - value.size(), value.size(), value) == 0);
    }
    fuzz::Check(given, "a value that no argument holds: " + fuzz::Escaped(value));
  }
  return 0;
}
