// The launcher started from a host shell in a copy of the shipped source
// folder: whatever its own arguments, the setup program it starts gets
// none, so it runs in neither mode and installs nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "machine_fixture.h"
#include "setup_run.h"
#include "winsim/machine.h"

namespace {

// Runs the launcher from a host shell in `folderHost`, with the scripted
// user given; the shell's exit status.
int LaunchFromHostShell(const std::string& folderHost, const std::string& args, const std::string& scriptLines) {
  const std::string script = winsim::testing::TempHostDir() + "/user.script";
  std::ofstream(script) << scriptLines;
  setenv("WINSIM_USER", script.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const std::string line = "cd '" + folderHost + "' && timeout 120 ./VeltraneGtcLauncher.exe " + args;
  return std::system(line.c_str());
}

TEST(LaunchedSetup, InstallSwitchOfTheLauncherNeverReachesTheSetupProgram) {
  const e2e::Setup setup = e2e::FreshSetup();
  ASSERT_EQ("x64", winsim::Config().arch);
  // The welcome page of a run in neither mode; Cancel, and Yes to the question.
  const int status = LaunchFromHostShell(setup.source, "/i", "click 2\nanswer IDYES\n");
  EXPECT_EQ(0, status);

  const auto started = e2e::StartedCommandLines();
  ASSERT_EQ(1u, started.size());
  EXPECT_EQ("VeltraneGTC64.exe", started[0]);

  const auto log = e2e::LogMessages();
  EXPECT_TRUE(e2e::InOrder(log, {"[설치 또는 삭제 프로그램 시작 ]", "작동 모드 -> UI 모드"}));
  for (const auto& message : log) EXPECT_EQ(std::string::npos, message.find("작동 모드 -> 인스톨")) << message;
  const std::string events = winsim::testing::ReadHostFile(winsim::DesktopDir() + "/events.log");
  EXPECT_NE(std::string::npos, events.find("\"event\":\"page\",\"template\":104")) << events;

  // Nothing installed.
  EXPECT_FALSE(e2e::Exists("C:\\Windows\\Bramblecast"));
  EXPECT_FALSE(e2e::Exists("C:\\Program Files\\Bramblecast"));
  EXPECT_FALSE(e2e::Exists("C:\\Windows\\System32\\ORV_EapPeap.dll"));
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, "Software\\Bramblecast"));
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE,
                                 "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrane RAZ"));
}

TEST(LaunchedSetup, OnAThirtyTwoBitMachineTheThirtyTwoBitBuildStarts) {
  const e2e::Setup setup = e2e::FreshSetup();
  ASSERT_TRUE(winsim::SetConfigValue("arch", "x86", nullptr));
  EXPECT_EQ(0, LaunchFromHostShell(setup.source, "", "click 2\nanswer IDYES\n"));
  const auto started = e2e::StartedCommandLines();
  ASSERT_EQ(1u, started.size());
  EXPECT_EQ("VeltraneGTC32.exe", started[0]);
  // Nothing is redirected on a 32-bit machine: the log is in System32.
  EXPECT_TRUE(e2e::InOrder(e2e::LogMessages(), {"작동 모드 -> UI 모드"}));
}

}  // namespace
