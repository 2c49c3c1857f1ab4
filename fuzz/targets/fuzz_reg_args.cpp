// reg.exe's argument parsing: a command line split as the console programs
// split theirs, its key name, its switches for each operation, and /d data
// for each type; data that parses formats as a query shows it, and the
// shown text of a number or binary parses back to the same bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "console_args.h"
#include "fuzz_support.h"
#include "reg_commands.h"
#include "reg_key_name.h"
#include "reg_value_text.h"

namespace {

const char* const kAllowed[] = {"v ve s reg", "v ve t s d f reg", "v ve va f reg", "v ve s t d f va reg"};
const DWORD kTypes[] = {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD, REG_QWORD, REG_BINARY, REG_NONE};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const uint8_t choice = in.Byte();
  const std::string line = "reg.exe " + std::string(in.Rest());
  if (line.find('\0') != std::string::npos) return 0;
  const std::vector<std::string> args = console::SplitCommandLine(line);

  if (args.size() > 1) {
    if (auto key = reg::ParseKeyName(args[1])) {
      fuzz::Check(key->root != nullptr, "a parsed key name without a root");
      reg::SubkeyDisplay(key->display, "sub");
      reg::SubkeyPath(key->path, "sub");
    }
  }
  reg::Options options;
  const bool parsed = reg::ParseOptions(args, 2, kAllowed[choice % 4], &options);
  if (parsed && options.type) reg::TypeFromName(*options.type);

  const DWORD type = kTypes[(choice >> 2) % 7];
  const std::string text(args.size() > 1 ? args.back() : std::string());
  std::string problem;
  const auto bytes = reg::ParseData(type, text, (choice & 0x80) ? '#' : '\0', &problem);
  if (!bytes) return 0;
  const std::string shown = reg::FormatData(type, *bytes);
  if (type == REG_DWORD || type == REG_QWORD || type == REG_BINARY) {
    const auto again = reg::ParseData(type, shown, '\0', &problem);
    fuzz::Check(again && *again == *bytes, reg::TypeName(type) + " data \"" + fuzz::Escaped(text) + "\" shows as \"" +
                                               fuzz::Escaped(shown) + "\", which does not parse back");
  }
  return 0;
}
