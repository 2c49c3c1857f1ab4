// The programs a run starts: always the system's own netsh and regsvr32,
// whatever lies beside the setup program or in the current folder, and
// regsvr32 waited for before anything that relies on its work.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "machine_fixture.h"
#include "run_config.h"
#include "setup_run.h"

namespace {

using e2e::kClassServerKey;
using e2e::kPluginLibrary;

// A program that reports each start into a host file when run as netsh.
class PlantedNetsh : public ::testing::Test {
 protected:
  void SetUp() override {
    report_ = winsim::testing::TempHostDir() + "/planted.report";
    setenv("TESTCHILD_REPORT", report_.c_str(), 1);
  }
  void TearDown() override { unsetenv("TESTCHILD_REPORT"); }
  void Plant(const std::string& windowsFolder) {
    e2e::PlaceProgram(winsim::testing::BinDir() + "/winsim_testchild.exe", windowsFolder + "\\netsh.exe");
  }
  std::string report_;
};

TEST_F(PlantedNetsh, NeverRunsInPlaceOfTheSystemsNetsh) {
  e2e::Setup setup = e2e::FreshSetup();
  e2e::ShipConfig(setup, 1, {"PROFILE1=office.xml", "PROFILE2=Campus Guest.xml"});
  // Beside the setup program, which is also the current folder.
  Plant(setup.sourceWin);
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i /s"));
  EXPECT_FALSE(winsim::testing::HostExists(report_)) << winsim::testing::ReadHostFile(report_);
  EXPECT_EQ(2u, e2e::StoredProfiles().size()) << "the system's netsh added both profiles";
  // The command lines and their log lines are the same as ever.
  const std::vector<std::string> commands = {
      "C:\\Windows\\System32\\Regsvr32 /s \"C:\\Windows\\System32\\ORV_EapPeap.dll\"",
      "netsh wlan delete profile office",
      "netsh wlan add profile \"C:\\Windows\\Bramblecast\\Veltrane RAZ\\office.xml\"",
      "netsh wlan delete profile \"Campus Guest\"",
      "netsh wlan add profile \"C:\\Windows\\Bramblecast\\Veltrane RAZ\\Campus Guest.xml\"",
  };
  EXPECT_TRUE(e2e::InOrder(e2e::StartedCommandLines(), commands));
  std::vector<std::string> logged;
  for (const auto& c : commands) logged.push_back("Command Line Run-> " + c);
  EXPECT_TRUE(e2e::InOrder(e2e::LogMessages(), logged));
  EXPECT_TRUE(e2e::RegString(HKEY_CLASSES_ROOT, kClassServerKey, nullptr).has_value());

  // Beside the installed copy that the uninstall entry starts.
  Plant(e2e::kRecovery);
  ASSERT_EQ(0, e2e::RunInstalled("/u /s", {"answer IDYES"}));
  EXPECT_FALSE(winsim::testing::HostExists(report_)) << winsim::testing::ReadHostFile(report_);
  EXPECT_TRUE(e2e::StoredProfiles().empty()) << "the system's netsh removed both profiles";
  EXPECT_TRUE(e2e::LogHas("Command Line Run-> netsh wlan delete profile \"Campus Guest\""));
}

// regsvr32 made slow: each run waits three seconds before it does its work.
class SlowRegsvr32 : public ::testing::Test {
 protected:
  void SetUp() override {
    setup_ = e2e::FreshSetup();
    const std::string system32 = e2e::HostPath("C:\\Windows\\System32");
    e2e::PlaceProgram(system32 + "/regsvr32.exe", "C:\\Windows\\System32\\regsvr32_real.exe");
    e2e::PlaceProgram(winsim::testing::BinDir() + "/delayed_program.exe", "C:\\Windows\\System32\\regsvr32.exe");
  }
  static bool Registered() { return e2e::RegString(HKEY_CLASSES_ROOT, kClassServerKey, nullptr).has_value(); }
  static bool AnyTimeout() {
    for (const auto& line : e2e::LogMessages()) {
      if (line.rfind("WaitForSingleObject timeout", 0) == 0) return true;
    }
    return false;
  }
  e2e::Setup setup_;
};

TEST_F(SlowRegsvr32, InstallAndUninstallWaitForIt) {
  e2e::ShipConfig(setup_, 0, {"PROFILE1=office.xml"});
  ASSERT_EQ(0, e2e::RunSetup(setup_, "/i /s"));
  EXPECT_EQ(u"C:\\Windows\\System32\\ORV_EapPeap.dll", e2e::RegString(HKEY_CLASSES_ROOT, kClassServerKey, nullptr))
      << "registered when the install ends";
  EXPECT_FALSE(AnyTimeout());

  ASSERT_EQ(0, e2e::RunInstalled("/u /s", {"answer IDYES"}));
  EXPECT_FALSE(Registered()) << "unregistered before the library was deleted";
  EXPECT_FALSE(e2e::Exists(kPluginLibrary));
  EXPECT_FALSE(AnyTimeout());
}

TEST_F(SlowRegsvr32, RollbackUnregistersBeforeItDeletes) {
  // The third profile's add command is too long to start, so command work
  // fails once the library has been registered.
  const std::string longName = std::string(200, 'p') + ".xml";
  e2e::ShipConfig(setup_, 1, {"PROFILE1=office.xml", "PROFILE2=lab.xml", "PROFILE3=" + longName});
  ASSERT_EQ(0, e2e::RunSetup(setup_, "/i /s", {"answer IDOK"}));
  EXPECT_TRUE(e2e::InOrder(
      e2e::LogMessages(),
      {"LVL_ERROR::IsWorkGroupPlay::Work command error.", "LVL_INFO::CProgressDlg::RevertInstallation In",
       "Command Line Run-> C:\\Windows\\System32\\Regsvr32 /s /u \"C:\\Windows\\System32\\ORV_EapPeap.dll\"",
       "LVL_INFO::CProgressDlg::RevertInstallation command Run 성공",
       "IsModeFileDelete()::SHFileOperation() 파일 삭제 -> C:\\Windows\\System32\\ORV_EapPeap.dll",
       "설치 실패 모든파일 정상 제거 완료, InstallSuccess=0 로 변경"}));
  EXPECT_FALSE(Registered()) << "the class no longer names the deleted library";
  EXPECT_FALSE(e2e::Exists(kPluginLibrary));
  EXPECT_FALSE(AnyTimeout());
}

}  // namespace
