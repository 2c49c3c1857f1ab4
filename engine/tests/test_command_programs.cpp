// Which program a command line starts, and how long the runner waits.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "CommandProgram.h"
#include "ModeCmdRun.h"
#include "machine_fixture.h"
#include "winsim/paths.h"

namespace {

std::string LogText() {
  return winsim::testing::ReadHostFile(winsim::ResolvePathA("C:\\Windows\\System32\\VelGTCInstall.log").host);
}

TEST(CommandProgram, NamesTheProgramInFull) {
  winsim::testing::FreshMachine();
  struct {
    const char* line;
    const char* program;
  } rows[] = {
      {"netsh wlan delete profile office", "C:\\Windows\\System32\\netsh.exe"},
      {"netsh", "C:\\Windows\\System32\\netsh.exe"},
      {"  reg.exe query HKLM", "C:\\Windows\\System32\\reg.exe"},
      {"C:\\Windows\\System32\\Regsvr32 /s \"C:\\Windows\\System32\\ORV_EapPeap.dll\"",
       "C:\\Windows\\System32\\Regsvr32.exe"},
      {"\"C:\\Program Files\\a b\\tool.exe\" /x", "C:\\Program Files\\a b\\tool.exe"},
      {"\"C:\\Program Files\\a b\\tool\"", "C:\\Program Files\\a b\\tool.exe"},
      {"\"netsh\" wlan", "C:\\Windows\\System32\\netsh.exe"},
      {"D:\\my.tools\\run /x", "D:\\my.tools\\run.exe"},
      {"", ""},
      {"   ", ""},
      {"\"\" x", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_STREQ(row.program, cmdrun::ProgramPath(row.line));
  }
}

class CommandRun : public ::testing::Test {
 protected:
  void SetUp() override {
    winsim::testing::FreshMachine();
    report_ = winsim::testing::TempHostDir() + "/planted.report";
    setenv("TESTCHILD_REPORT", report_.c_str(), 1);
  }
  void TearDown() override { unsetenv("TESTCHILD_REPORT"); }
  std::string report_;
};

TEST_F(CommandRun, APlantedProgramInTheCurrentFolderIsNotStarted) {
  ASSERT_TRUE(CreateDirectoryA("C:\\work", nullptr));
  std::filesystem::copy_file(winsim::testing::BinDir() + "/winsim_testchild.exe",
                             winsim::ResolvePathA("C:\\work\\netsh.exe").host);
  char szBefore[MAX_PATH] = {0};
  GetCurrentDirectoryA(MAX_PATH, szBefore);
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\work"));
  CModeCmdRun run;
  EXPECT_EQ(1, run.Run("netsh wlan show profiles", 5000));
  SetCurrentDirectoryA(szBefore);
  EXPECT_FALSE(winsim::testing::HostExists(report_)) << winsim::testing::ReadHostFile(report_);
  // The line reaches the log as it was given.
  EXPECT_NE(std::string::npos, LogText().find("netsh wlan show profiles"));
}

TEST_F(CommandRun, RunToEndReturnsOnceTheCommandHasDoneItsWork) {
  CModeCmdRun run;
  EXPECT_EQ(1, run.RunToEnd("C:\\Windows\\System32\\reg.exe add HKLM\\Software\\Probe /v Done /d 1 /f", 30000));
  HKEY hKey = nullptr;
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Probe", 0, KEY_READ, &hKey));
  if (hKey) RegCloseKey(hKey);
  EXPECT_EQ(std::string::npos, LogText().find("WaitForSingleObject timeout"));
}

TEST_F(CommandRun, RunToEndLogsTheBoundWhenItIsReached) {
  std::filesystem::copy_file(winsim::testing::BinDir() + "/winsim_testchild.exe",
                             winsim::ResolvePathA("C:\\Windows\\System32\\sleeper.exe").host);
  CModeCmdRun run;
  EXPECT_EQ(1, run.RunToEnd("sleeper sleep 2000", 50));
  EXPECT_NE(std::string::npos, LogText().find("WaitForSingleObject timeout : 50 \xB4\xEB\xB1\xE2 -> sleeper sleep 2000"));
  EXPECT_EQ(0, run.RunToEnd("nowhere-to-be-found /x", 50)) << "a program that is not there is not started";
}

}  // namespace
