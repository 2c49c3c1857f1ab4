// Command lines handed to wine are split as the C runtime splits them.
#include <gtest/gtest.h>

#include "wine_env.h"

namespace {

struct Row {
  const char* line;
  std::vector<std::string> args;
};

TEST(SplitCommandLine, AsTheRuntimeSplitsThem) {
  const Row rows[] = {
      {"", {}},
      {"   ", {}},
      {"prog /i /s", {"prog", "/i", "/s"}},
      {"\"C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGtcSetup.exe\" /u /s",
       {"C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGtcSetup.exe", "/u", "/s"}},
      {"a\tb  c", {"a", "b", "c"}},
      {"\"a b\"c d", {"a bc", "d"}},
      {"\"\"", {""}},
      {"C:\\dir\\ x", {"C:\\dir\\", "x"}},
      {"a\\\\\"b c\"", {"a\\b c"}},
      {"a\\\"b", {"a\"b"}},
      {"a\\\\\\\"b", {"a\\\"b"}},
      {"\"unterminated arg", {"unterminated arg"}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.args, winebench::SplitCommandLine(row.line)) << row.line;
  }
}

TEST(WindowsPathOfHost, IsAZDrivePath) {
  EXPECT_EQ("Z:\\tmp\\wine-case-1\\source", winebench::WindowsPathOfHost("/tmp/wine-case-1/source"));
}

}  // namespace
