// A started program holds nothing of its parent's: no descriptor crosses
// into it (close-on-exec or not), so the names its parent holds vanish when
// the parent lets them go; and the start never waits for the parent, so a
// child whose parent was killed right after starting it runs to its end.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <string>

#include "machine_fixture.h"
#include "process_test_support.h"
#include "windows.h"

extern char** environ;

using namespace proctest;

namespace {

class StartIsolation : public ::testing::Test {
 protected:
  void SetUp() override { InstallChild("C:\\probe\\iso\\child.exe"); }
};

TEST_F(StartIsolation, NoDescriptorOfTheParentReachesTheChild) {
  ReportFile report;
  HANDLE guard = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 8, "iso_guard");
  ASSERT_NE(guard, nullptr);
  // A descriptor opened without close-on-exec, as a library might open one.
  const int leaky = open("/dev/null", O_RDONLY);
  ASSERT_GE(leaky, 0);
  Started s = Start("C:\\probe\\iso\\child.exe fds");
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(Finish(s), 0u);
  close(leaky);
  CloseHandle(guard);
  const auto seen = report.Read();
  ASSERT_TRUE(seen.count("fds")) << report.Text();
  EXPECT_EQ("", seen.at("fds"));
}

TEST_F(StartIsolation, ANameVanishesWhileTheChildStillRuns) {
  HANDLE guard = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 8, "iso_held");
  ASSERT_NE(guard, nullptr);
  Started s = Start("C:\\probe\\iso\\child.exe sleep 30000");
  ASSERT_TRUE(s.ok);
  EXPECT_TRUE(CloseHandle(guard));
  SetLastError(0xdeadbeef);
  EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, "iso_held"), nullptr) << "the child holds its parent's name";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(TerminateProcess(s.info.hProcess, 0));
  Finish(s);
}

// The parent (a test child told to start a grandchild) is killed while it
// is parked between creating its child and returning from CreateProcessA:
// the grandchild still runs its program to the end.
TEST_F(StartIsolation, AChildOfAParentKilledAtItsStartRunsToItsEnd) {
  ReportFile report;
  const std::string park = winsim::testing::TempHostDir() + "/parked";
  // Armed in the parent's environment only (here it would park the test).
  std::string block;
  for (char** e = environ; e && *e; ++e) block.append(*e).push_back('\0');
  block.append("WINSIM_PARK_AT_CHILD_START=1:" + park).push_back('\0');
  block.push_back('\0');
  std::string line = "C:\\probe\\iso\\child.exe spawn \"C:\\probe\\iso\\child.exe print grandchild\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  Started parent;
  parent.ok = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, block.data(), nullptr, &si, &parent.info);
  ASSERT_TRUE(parent.ok);
  while (!winsim::testing::HostExists(park)) {
    ASSERT_EQ(WaitForSingleObject(parent.info.hProcess, 10), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the parent ended without parking";
  }
  kill(static_cast<pid_t>(parent.info.dwProcessId), SIGKILL);
  EXPECT_EQ(WaitForSingleObject(parent.info.hProcess, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  Finish(parent);
  // The grandchild reports what it sees once its program runs.
  bool ran = false;
  for (int i = 0; i < 1000 && !ran; ++i) {
    ran = report.Text().find("arg2=grandchild") != std::string::npos;
    if (!ran) usleep(10000);
  }
  EXPECT_TRUE(ran) << "the grandchild never ran its program:\n" << report.Text();
}

}  // namespace
