// Exit codes are 32-bit, as on Windows: whatever a program ends with
// (ExitProcess, the return of main or WinMain, TerminateProcess by another
// process or by itself) reads back whole through GetExitCodeProcess, though
// the host keeps only 8 bits; the stand-in programs' codes read back too.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "machine_fixture.h"
#include "process_test_support.h"
#include "windows.h"
#include "winsim/machine.h"

using namespace proctest;

namespace {

class ExitCodes : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallChild("C:\\probe\\codes\\child.exe");
    std::filesystem::copy_file(winsim::testing::BinDir() + "/winsim_winmainchild.exe",
                               HostOf("C:\\probe\\codes\\winmain.exe"),
                               std::filesystem::copy_options::overwrite_existing);
  }
};

// The exit code of a finished command line, read through both handles;
// the exit record it may have left is gone afterwards.
DWORD CodeOf(const std::string& line) {
  Started s = Start(line);
  EXPECT_TRUE(s.ok) << line << ": " << s.error;
  if (!s.ok) return 0xdeadbeef;
  EXPECT_EQ(WaitForSingleObject(s.info.hProcess, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  DWORD code = 0xdeadbeef, threadCode = 0xdeadbeef;
  EXPECT_TRUE(GetExitCodeProcess(s.info.hProcess, &code));
  EXPECT_TRUE(GetExitCodeThread(s.info.hThread, &threadCode));
  EXPECT_EQ(code, threadCode) << line;
  EXPECT_FALSE(winsim::testing::HostExists(winsim::RunDir() + "/.exit/" + std::to_string(s.info.dwProcessId)))
      << "the exit record of " << line << " was left behind";
  Finish(s);
  return code;
}

TEST_F(ExitCodes, FullThirtyTwoBitsReadBack) {
  const struct {
    const char* line;
    DWORD code;
  } rows[] = {
      {"C:\\probe\\codes\\child.exe exitprocess 3010", 3010},
      {"C:\\probe\\codes\\child.exe exitprocess 1602", 1602},
      {"C:\\probe\\codes\\child.exe exitprocess 256", 256},
      {"C:\\probe\\codes\\child.exe exitprocess 255", 255},
      {"C:\\probe\\codes\\child.exe exitprocess 0x80000000", 0x80000000},
      {"C:\\probe\\codes\\child.exe exitprocess 0xFFFFFFFF", 0xFFFFFFFF},
      {"C:\\probe\\codes\\child.exe exit 3010", 3010},
      {"C:\\probe\\codes\\child.exe exit 0xC0000005", 0xC0000005},
      {"C:\\probe\\codes\\child.exe exit 512", 512},
      {"C:\\probe\\codes\\child.exe terminateself 0xC0000005", 0xC0000005},
      {"C:\\probe\\codes\\child.exe terminateself 1603", 1603},
      {"C:\\probe\\codes\\winmain.exe 1602", 1602},
      {"C:\\probe\\codes\\winmain.exe 3010", 3010},
      {"C:\\probe\\codes\\winmain.exe 0x10000", 0x10000},
      {"C:\\probe\\codes\\winmain.exe 4", 4},
      // The stand-ins: regsvr32's 3 (not loaded), netsh's and reg's 1.
      {"C:\\Windows\\System32\\regsvr32.exe /s C:\\nowhere\\none.dll", 3},
      {"netsh wlan delete profile name=nosuchprofile", 1},
      {"reg query HKLM\\Software\\NoSuchKeyHere", 1},
      {"reg query HKLM\\Software", 0},
  };
  for (const auto& row : rows) EXPECT_EQ(row.code, CodeOf(row.line)) << row.line;
}

TEST_F(ExitCodes, TerminateProcessCodeReadsBackWhole) {
  for (DWORD code : {0xC0000005u, 3010u, 0x100u, 0u}) {
    Started s = Start("C:\\probe\\codes\\child.exe sleep 30000");
    ASSERT_TRUE(s.ok);
    EXPECT_TRUE(TerminateProcess(s.info.hProcess, code));
    DWORD read = 0xdeadbeef;
    EXPECT_TRUE(GetExitCodeProcess(s.info.hProcess, &read));
    EXPECT_EQ(code, read);
    Finish(s);
  }
}

// A record left for a pid by an earlier process of the machine does not
// change the code of a later process that gets that pid: the child removes
// it before its program runs. Records are planted for the pids the next
// child is likely to get; a child outside them is tried again.
TEST_F(ExitCodes, AStaleRecordIsNotReadForANewProcess) {
  const std::string folder = winsim::RunDir() + "/.exit";
  std::filesystem::create_directories(folder);
  bool tried = false;
  for (int attempt = 0; attempt < 10 && !tried; ++attempt) {
    std::vector<std::string> planted;
    Started probe = Start("C:\\probe\\codes\\child.exe exit 0");
    ASSERT_TRUE(probe.ok);
    const long base = static_cast<long>(probe.info.dwProcessId);
    Finish(probe);
    for (long pid = base + 1; pid <= base + 256; ++pid) {
      planted.push_back(folder + "/" + std::to_string(pid));
      winsim::testing::WriteHostFile(planted.back(), "3010\n");
    }
    // 194 is 3010's low 8 bits: a stale record read would turn it to 3010.
    Started s = Start("C:\\probe\\codes\\child.exe exitprocess 194");
    ASSERT_TRUE(s.ok);
    ASSERT_EQ(WaitForSingleObject(s.info.hProcess, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 0xdeadbeef;
    EXPECT_TRUE(GetExitCodeProcess(s.info.hProcess, &code));
    const long pid = static_cast<long>(s.info.dwProcessId);
    Finish(s);
    for (const auto& p : planted) std::filesystem::remove(p);
    if (pid <= base || pid > base + 256) continue;
    tried = true;
    EXPECT_EQ(194u, code);
  }
  EXPECT_TRUE(tried) << "no child got a pid with a planted record";
}

}  // namespace
