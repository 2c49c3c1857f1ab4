// `winsim run`: a command line from the host, run in the machine.
#include <gtest/gtest.h>

#include "process_test_support.h"
#include "winsim_run.h"

using namespace proctest;

namespace {

TEST(WinsimRun, RunsTheLineFromTheCurrentFolderAndReturnsItsExitCode) {
  InstallChild("C:\\probe\\proc\\child.exe");
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\probe"));
  ReportFile report;
  EXPECT_EQ(WinsimRun("proc\\child exit 7 \xED\x95\x9C\xEA\xB8\x80"), 7);  // "한글" in UTF-8
  auto seen = report.Read();
  EXPECT_EQ(seen["cmdline"], "proc\\child exit 7 \xC7\xD1\xB1\xDB");
  EXPECT_EQ(seen["cwd"], "C:\\probe");
  EXPECT_EQ(WinsimRun("C:\\probe\\proc\\nothing.exe"), 1);
  EXPECT_EQ(WinsimRun(""), 1);
}

}  // namespace
