// CreateThread and waiting for threads; processes started from several
// threads at once.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "process_test_support.h"
#include "windows.h"

using namespace proctest;

namespace {

struct ThreadProbe {
  std::atomic<DWORD> seenId{0};
  std::atomic<bool> ran{false};
  HANDLE release = nullptr;  // when set: wait for this child process to end first
};

DWORD WINAPI Routine(LPVOID parameter) {
  auto* probe = static_cast<ThreadProbe*>(parameter);
  probe->seenId = GetCurrentThreadId();
  probe->ran = true;
  if (probe->release) WaitForSingleObject(probe->release, INFINITE);
  return 1234;
}

TEST(Threads, RunWaitAndExitCode) {
  ThreadProbe probe;
  DWORD id = 0;
  HANDLE h = CreateThread(nullptr, 0, Routine, &probe, 0, &id);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(WaitForSingleObject(h, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(probe.seenId.load(), id);
  EXPECT_NE(id, GetCurrentThreadId());
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(h, &code));
  EXPECT_EQ(code, 1234u);
  EXPECT_TRUE(CloseHandle(h));
}

TEST(Threads, SuspendedThreadRunsOnResume) {
  InstallChild("C:\\probe\\proc\\child.exe");
  Started blocker = Start("C:\\probe\\proc\\child.exe sleep 30000");
  ASSERT_TRUE(blocker.ok);
  ThreadProbe probe;
  probe.release = blocker.info.hProcess;
  HANDLE h = CreateThread(nullptr, 0, Routine, &probe, CREATE_SUSPENDED, nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(WaitForSingleObject(h, 50), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_FALSE(probe.ran.load());
  EXPECT_EQ(ResumeThread(h), 1u);
  // Running now, and waiting for the child to end.
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(h, &code));
  EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(ResumeThread(h), 0u);
  EXPECT_TRUE(TerminateProcess(blocker.info.hProcess, 0));
  EXPECT_EQ(WaitForSingleObject(h, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_TRUE(probe.ran.load());
  EXPECT_TRUE(CloseHandle(h));
  Finish(blocker);
}

TEST(Threads, BadInput) {
  SetLastError(0xdeadbeef);
  EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SetLastError(0xdeadbeef);
  EXPECT_EQ(ResumeThread(nullptr), static_cast<DWORD>(-1));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  DWORD code = 0xCCCCCCCC;
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(GetExitCodeThread(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x4444)), &code));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(code, 0xCCCCCCCCu);
  EXPECT_TRUE(GetExitCodeThread(GetCurrentThread(), &code));
  EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
}

struct Starter {
  int index = 0;
  DWORD exitCode = 0;
};

DWORD WINAPI StartAndWait(LPVOID parameter) {
  auto* starter = static_cast<Starter*>(parameter);
  Started s = Start("C:\\probe\\proc\\child.exe exit " + std::to_string(starter->index));
  starter->exitCode = s.ok ? Finish(s) : 1000 + s.error;
  return 0;
}

TEST(Threads, ProcessesStartedFromManyThreadsAtOnce) {
  InstallChild("C:\\probe\\proc\\child.exe");
  std::vector<Starter> starters(8);
  std::vector<HANDLE> threads;
  for (size_t i = 0; i < starters.size(); ++i) {
    starters[i].index = static_cast<int>(i + 10);
    threads.push_back(CreateThread(nullptr, 0, StartAndWait, &starters[i], 0, nullptr));
    ASSERT_NE(threads.back(), nullptr);
  }
  for (size_t i = 0; i < threads.size(); ++i) {
    EXPECT_EQ(WaitForSingleObject(threads[i], 30000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(starters[i].exitCode, static_cast<DWORD>(starters[i].index));
    CloseHandle(threads[i]);
  }
}

}  // namespace
