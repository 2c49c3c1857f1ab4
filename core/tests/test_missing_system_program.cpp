// A silent install on a machine whose regsvr32.exe was deleted: the
// registration cannot be started, so command work fails and the install is
// rolled back. A machine is laid out once, so the deleted program stays
// deleted for the setup program's whole run.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "machine_fixture.h"
#include "setup_run.h"

namespace {

const char kInstall[] = "C:\\Program Files\\Bramblecast\\Veltrane RAZ";
const char kRecoveryIni[] = "C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGTCSetup.ini";
const char kPluginKey[] = "Software\\Bramblecast\\Veltrane RAZ";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrane RAZ";
const char kRegsvr32[] = "C:\\Windows\\System32\\regsvr32.exe";

TEST(MissingSystemProgram, DeletedRegsvr32FailsTheInstallAndRollsItBack) {
  e2e::Setup setup = e2e::FreshSetup();
  winsim::testing::WriteHostFile(setup.source + "/VeltraneGTCSetup.ini",
                                 "[Root]\r\nCheckInstallLangue=Korean\r\n[SITE_SPECIFIC]\r\nUseSiteSpecificSetupTitle="
                                 "\r\nUseAutoConnection=0\r\nID=\r\nPassword=\r\n[InstallMessageOption]\r\n"
                                 "ShowMessageInSilentMode=0\r\n[InstallRoot]\r\nForceReboot=0\r\n[GENERAL]\r\n"
                                 "UseDefaultProfile=0\r\n[BASIC_PROFILE]\r\n");
  ASSERT_TRUE(e2e::Exists(kRegsvr32));
  ASSERT_EQ(0, std::remove(e2e::HostPath(kRegsvr32).c_str()));

  ASSERT_EQ(0, e2e::RunSetup(setup, "/i /s", {"answer IDOK"}));
  EXPECT_FALSE(e2e::Exists(kRegsvr32)) << "nothing lays a deleted system program out again";
  EXPECT_TRUE(e2e::InOrder(e2e::LogMessages(), {
      "Command Line Run-> C:\\Windows\\System32\\Regsvr32 /s \"C:\\Windows\\System32\\ORV_EapPeap.dll\"",
      "CProgressDlg::WorkCommandRun command Run 실패",
      "LVL_ERROR::IsWorkGroupPlay::Work command error.",
      "LVL_INFO::CProgressDlg::RevertInstallation In",
      "CDeleCodeDlg::IsFileExist() : File exist. path : C:\\Windows\\System32\\ORV_EapPeap.dll",
      "Command Line Run-> C:\\Windows\\System32\\Regsvr32 /s /u \"C:\\Windows\\System32\\ORV_EapPeap.dll\"",
      "LVL_ERROR::CProgressDlg::RevertInstallation command Run 실패",
      "LVL_INFO::CProgressDlg::RevertInstallation Regstry common value 삭제 성공",
      "LVL_INFO::CProgressDlg::RevertInstallation Regstry control value 삭제 성공",
      "LVL_INFO::CProgressDlg::RevertInstallation OUT return:1",
      "silent mode 설치 실패",
  }));
  EXPECT_FALSE(e2e::LogHas("CProgressDlg::WorkCommandRun command Run 성공"));
  EXPECT_EQ("0", e2e::IniValue(kRecoveryIni, "Root", "InstallSuccess"));
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey));
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(e2e::Exists(kInstall));
  EXPECT_FALSE(e2e::Exists("C:\\Windows\\System32\\ORV_EapPeap.dll"));
  EXPECT_FALSE(e2e::Exists("C:\\Windows\\System32\\nxc1xu32.dll"));
  // Neither registration line started a process.
  for (const auto& line : e2e::StartedCommandLines()) EXPECT_EQ(std::string::npos, line.find("Regsvr32")) << line;
}

}  // namespace
