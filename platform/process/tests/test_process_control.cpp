// Waiting for processes, exit codes, ending processes, handles.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "machine_fixture.h"
#include "process_test_support.h"
#include "windows.h"

using namespace proctest;

namespace {

class ProcessControlTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallChild("C:\\probe\\proc\\child.exe"); }
};

TEST_F(ProcessControlTest, WaitAndExitCodeOfARunningThenEndedChild) {
  Started s = Start("C:\\probe\\proc\\child.exe sleep 400");
  ASSERT_TRUE(s.ok) << s.error;
  EXPECT_NE(s.info.hProcess, nullptr);
  EXPECT_NE(s.info.hThread, nullptr);
  EXPECT_NE(s.info.hProcess, s.info.hThread);
  EXPECT_EQ(GetProcessId(s.info.hProcess), s.info.dwProcessId);
  EXPECT_EQ(WaitForSingleObject(s.info.hProcess, 10), static_cast<DWORD>(WAIT_TIMEOUT));
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(s.info.hProcess, &code));
  EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_TRUE(GetExitCodeThread(s.info.hThread, &code));
  EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(WaitForSingleObject(s.info.hProcess, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(WaitForSingleObject(s.info.hProcess, 0), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(WaitForSingleObject(s.info.hThread, 0), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_TRUE(CloseHandle(s.info.hThread));
  EXPECT_TRUE(CloseHandle(s.info.hProcess));
}

TEST_F(ProcessControlTest, ExitCodes) {
  const struct {
    const char* line;
    DWORD code;
  } rows[] = {
      {"C:\\probe\\proc\\child.exe exit 7", 7},
      {"C:\\probe\\proc\\child.exe exit 0", 0},
      {"C:\\probe\\proc\\child.exe exitprocess 3", 3},
      {"C:\\probe\\proc\\child.exe signal 2", 0xC000013A},
      {"C:\\probe\\proc\\child.exe signal 11", 0xC0000005},
      {"C:\\probe\\proc\\child.exe signal 6", 3},
      {"C:\\probe\\proc\\child.exe signal 15", 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    Started s = Start(row.line);
    ASSERT_TRUE(s.ok) << s.error;
    EXPECT_EQ(WaitForSingleObject(s.info.hProcess, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 0xdeadbeef;
    EXPECT_TRUE(GetExitCodeProcess(s.info.hProcess, &code));
    EXPECT_EQ(code, row.code);
    EXPECT_TRUE(GetExitCodeThread(s.info.hThread, &code));
    EXPECT_EQ(code, row.code);
    Finish(s);
  }
}

TEST_F(ProcessControlTest, TerminateProcessSetsTheExitCode) {
  Started s = Start("C:\\probe\\proc\\child.exe sleep 30000");
  ASSERT_TRUE(s.ok);
  SetLastError(0xdeadbeef);
  EXPECT_TRUE(TerminateProcess(s.info.hProcess, 259));
  EXPECT_EQ(WaitForSingleObject(s.info.hProcess, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(s.info.hProcess, &code));
  EXPECT_EQ(code, 259u);
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(TerminateProcess(s.info.hProcess, 1));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(GetExitCodeProcess(s.info.hProcess, &code));
  EXPECT_EQ(code, 259u);
  Finish(s);
}

TEST_F(ProcessControlTest, CtrlBreakReachesANewProcessGroupOnly) {
  Started grouped = Start("C:\\probe\\proc\\child.exe sleep 30000", CREATE_NEW_PROCESS_GROUP);
  Started plain = Start("C:\\probe\\proc\\child.exe sleep 30000");
  ASSERT_TRUE(grouped.ok);
  ASSERT_TRUE(plain.ok);
  EXPECT_TRUE(GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, grouped.info.dwProcessId));
  EXPECT_EQ(WaitForSingleObject(grouped.info.hProcess, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(grouped.info.hProcess, &code));
  EXPECT_EQ(code, static_cast<DWORD>(STATUS_CONTROL_C_EXIT));

  SetLastError(0xdeadbeef);
  EXPECT_FALSE(GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, plain.info.dwProcessId));
  EXPECT_NE(GetLastError(), 0xdeadbeef);
  EXPECT_EQ(WaitForSingleObject(plain.info.hProcess, 50), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(TerminateProcess(plain.info.hProcess, 5));
  Finish(grouped);
  EXPECT_EQ(Finish(plain), 5u);
}

TEST_F(ProcessControlTest, AChildLeftRunningIsReapedWhenItEnds) {
  Started s = Start("C:\\probe\\proc\\child.exe sleep 100");
  ASSERT_TRUE(s.ok);
  const std::string proc = "/proc/" + std::to_string(s.info.dwProcessId);
  EXPECT_TRUE(CloseHandle(s.info.hThread));
  EXPECT_TRUE(CloseHandle(s.info.hProcess));
  // A zombie keeps its /proc entry until it is reaped.
  bool gone = false;
  for (int i = 0; i < 500 && !gone; ++i) {
    gone = !winsim::testing::HostExists(proc);
    if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(gone);
}

TEST_F(ProcessControlTest, BadHandles) {
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 8, nullptr);
  ASSERT_NE(mapping, nullptr);
  Started s = Start("C:\\probe\\proc\\child.exe");
  ASSERT_TRUE(s.ok);
  HANDLE closed = s.info.hProcess;
  HANDLE thread = s.info.hThread;
  WaitForSingleObject(closed, 10000);
  ASSERT_TRUE(CloseHandle(closed));
  const struct {
    const char* name;
    HANDLE handle;
  } rows[] = {
      {"NULL", nullptr},
      {"garbage", reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x7531))},
      {"closed", closed},
      {"mapping", mapping},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(WaitForSingleObject(row.handle, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    DWORD code = 0xCCCCCCCC;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetExitCodeProcess(row.handle, &code));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(code, 0xCCCCCCCCu);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(TerminateProcess(row.handle, 1));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetProcessId(row.handle), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  }
  // A thread handle is no process handle.
  DWORD code = 0;
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(GetExitCodeProcess(thread, &code));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  SetLastError(0xdeadbeef);
  EXPECT_FALSE(CloseHandle(nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(CloseHandle(closed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_TRUE(CloseHandle(thread));
  EXPECT_TRUE(CloseHandle(mapping));
}

TEST(CurrentProcessHandles, PseudoHandlesAndIds) {
  EXPECT_EQ(GetCurrentProcess(), reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)));
  EXPECT_EQ(GetCurrentThread(), reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2)));
  EXPECT_EQ(GetCurrentProcessId(), static_cast<DWORD>(getpid()));
  EXPECT_EQ(GetProcessId(GetCurrentProcess()), static_cast<DWORD>(getpid()));
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(GetCurrentProcess(), &code));
  EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(WaitForSingleObject(GetCurrentProcess(), 10), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(CloseHandle(GetCurrentProcess()));
  EXPECT_TRUE(CloseHandle(GetCurrentThread()));
}

}  // namespace
