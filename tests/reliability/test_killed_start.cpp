// A setup program killed while it starts a child leaves nothing that holds
// the machine: every process it started ends or runs on by itself, and the
// next uninstall runs and removes what the install had put in place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kill_support.h"
#include "machine_fixture.h"
#include "setup_run.h"

namespace {

const char kRecovery[] = "C:\\Windows\\Bramblecast\\Veltrane RAZ";
const char kPluginKey[] = "Software\\Bramblecast\\Veltrane RAZ";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrane RAZ";

class KilledAtChildStart : public ::testing::TestWithParam<int> {};

TEST_P(KilledAtChildStart, NextUninstallRuns) {
  const e2e::Setup setup = e2e::FreshSetup();
  reliability::WriteTwoProfileConfig(setup);
  const std::string parkFile = winsim::testing::TempHostDir() + "/parked";
  reliability::Running install = reliability::Start(setup, "/i /s", reliability::InstallAnswers(), GetParam(), parkFile);
  ASSERT_TRUE(install.started);
  ASSERT_TRUE(reliability::WaitUntilParked(install, parkFile)) << "the install ended before child start "
                                                               << GetParam();
  reliability::KillAndClose(install);

  const auto started = reliability::StartedPids();
  ASSERT_EQ(static_cast<size_t>(GetParam()) + 1, started.size()) << "the install and its children";

  const size_t logBefore = e2e::LogMessages().size();
  ASSERT_EQ(0, e2e::Run(std::string("\"") + kRecovery + "\\VeltraneGtcSetup.exe\" /u /s", kRecovery,
                        reliability::UninstallAnswers()));
  EXPECT_LT(logBefore, e2e::LogMessages().size()) << "the uninstall wrote nothing to the log";
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey));
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(e2e::Exists("C:\\Windows\\System32\\ORV_EapPeap.dll"));
  EXPECT_FALSE(e2e::Exists("C:\\Program Files\\Bramblecast\\Veltrane RAZ"));
  // Whatever the killed program started has finished by itself: none
  // waits for its dead parent. (Any found are killed, so none outlives the
  // test.)
  EXPECT_TRUE(reliability::Survivors(started).empty()) << "a child of the killed setup program is still running";
}

INSTANTIATE_TEST_SUITE_P(EachStartOfTheInstall, KilledAtChildStart,
                         ::testing::Range(1, reliability::kInstallChildStarts + 1));

}  // namespace
