// The setup program's switch search and the launcher's command tail on any
// command line: a switch is found exactly where the text holds it once its
// quotes are removed; the tail lies inside the line and starts after the
// program token and its blanks; a configuration value read through the
// setup program's own reader never outgrows its buffer.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "SetupConfig.h"
#include "command_tail.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string ini = fuzz::Machine() + "/drive_c/setup.ini";
  fuzz::Input in(data, size);
  const uint8_t bufferSize = in.Byte();
  const std::string raw(in.Part('\x01'));
  const std::string config(in.Rest());
  if (raw.find('\0') != std::string::npos) return 0;

  std::string unquoted;
  for (char c : raw) {
    if (c != '"') unquoted.push_back(c);
  }
  for (const char* sw : {"/i", "/u", "/s"}) {
    const bool has = setup::CommandLineHas(unquoted, sw);
    bool expected = false;
    for (size_t i = 0; i + 1 < unquoted.size(); ++i) expected = expected || (unquoted[i] == sw[0] && unquoted[i + 1] == sw[1]);
    fuzz::Check(has == expected, std::string("switch ") + sw + " misjudged in " + fuzz::Escaped(unquoted));
  }

  std::vector<char> line(raw.begin(), raw.end());
  line.push_back('\0');
  const char* tail = launcher::CommandTail(line.data());
  fuzz::Check(tail >= line.data() && tail <= line.data() + raw.size(), "the tail lies outside the line");
  fuzz::Check(tail == line.data() + raw.size() || (*tail != ' ' && *tail != '\t') || tail == line.data(),
              "the tail starts with a blank");

  fuzz::WriteHost(ini, config);
  const std::string value = setup::ReadConfigValue("Root", "CheckInstallLangue", 1u + bufferSize, "C:\\setup.ini");
  fuzz::Check(value.size() < 1u + bufferSize, "a value longer than its buffer");
  setup::ReadConfigValue("SITE_SPECIFIC", "UseSiteSpecificSetupTitle", 1u + bufferSize, "C:\\setup.ini");
  return 0;
}
