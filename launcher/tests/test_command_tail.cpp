// The command line the Windows build's start-up hands to WinMain: what
// follows the program's name, pointing into the process's own line.
#include <gtest/gtest.h>

#include <string>

#include "../command_tail.h"

namespace {

struct TailRow {
  const char* line;
  const char* tail;
};

TEST(CommandTail, SkipsTheProgramNameAndTheBlanksAfterIt) {
  const TailRow rows[] = {
      {"VeltraneGtcLauncher.exe", ""},
      {"VeltraneGtcLauncher.exe /s", "/s"},
      {"launcher.exe  \t /a  b ", "/a  b "},
      {"launcher.exe\targ", "arg"},
      {"\"C:\\Program Files\\Veltrane\\launcher.exe\" /s /x", "/s /x"},
      {"\"C:\\Program Files\\Veltrane\\launcher.exe\"", ""},
      {"\"C:\\a b\\launcher.exe\"/s", "/s"},  // the name ends at its closing quote
      {"\"\" arg", "arg"},
      {"\"never closed arg", ""},                    // the whole line is the name
      {"C:\\dir\\x\"y z\".exe arg", "z\".exe arg"},  // quotes count only at the start
      {"", ""},
  };
  for (const TailRow& r : rows) {
    SCOPED_TRACE(r.line);
    std::string line = r.line;
    LPSTR tail = launcher::CommandTail(line.data());
    ASSERT_GE(tail, line.data());
    ASSERT_LE(tail, line.data() + line.size());
    EXPECT_STREQ(r.tail, tail);
    // The tail is the end of the same line, not a copy.
    EXPECT_EQ(line.data() + (line.size() - std::string(r.tail).size()), tail);
  }
}

}  // namespace
