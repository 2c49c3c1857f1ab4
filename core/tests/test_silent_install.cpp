// A silent install from a copy of the shipped source folder on a fresh
// machine, and what it leaves: log, files, registry, started commands and
// the recorded outcome.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "machine_fixture.h"
#include "setup_run.h"

namespace {

const char kRecovery[] = "C:\\Windows\\Bramblecast\\Veltrane RAZ";
const char kInstall[] = "C:\\Program Files\\Bramblecast\\Veltrane RAZ";
const char kPluginKey[] = "Software\\Bramblecast\\Veltrane RAZ";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrane RAZ";

// The configuration of these runs: two profiles, one with a blank in its
// name, and notices off unless a test turns them on.
std::string Config(const std::string& siteTitle = "", const std::string& notices = "0") {
  return "[Root]\r\nCheckInstallLangue=Korean\r\n"
         "[SITE_SPECIFIC]\r\nUseSiteSpecificSetupTitle=" + siteTitle + "\r\nUseAutoConnection=1\r\nID=user01\r\n"
         "Password=pass word\r\n"
         "[InstallMessageOption]\r\nShowMessageInSilentMode=" + notices + "\r\n"
         "[InstallRoot]\r\nForceReboot=0\r\n"
         "[GENERAL]\r\nUseDefaultProfile=1\r\n"
         "[BASIC_PROFILE]\r\nPROFILE1=office.xml\r\nPROFILE2=Campus Guest.xml\r\n";
}

class SilentInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    setup_ = e2e::FreshSetup();
    winsim::testing::WriteHostFile(setup_.source + "/VeltraneGTCSetup.ini", Config());
    winsim::testing::WriteHostFile(setup_.source + "/office.xml", e2e::ProfileXml("office"));
    winsim::testing::WriteHostFile(setup_.source + "/Campus Guest.xml", e2e::ProfileXml("Campus Guest"));
  }
  e2e::Setup setup_;
};

TEST_F(SilentInstall, InstallsEverythingInOrder) {
  ASSERT_EQ(0, e2e::RunSetup(setup_, "/i /s"));
  const auto log = e2e::LogMessages();
  EXPECT_TRUE(e2e::InOrder(log, {
      "[설치 또는 삭제 프로그램 시작 ]",
      "GetCurrentDirectory() success",
      "INI 경로 -> " + setup_.sourceWin + "\\VeltraneGTCSetup.ini (CModeCenterCommand::IsDefaultFilePath)",
      "작동 모드 -> 인스톨(CModeCenterCommand::CheckCommandLine)",
      "작동 모드 -> Silent(CModeCenterCommand::CheckCommandLine)",
      "CProcessMain::StartWork() :: SilentMode Use Notice Message = 0 ",
      "CProgressDlg::IsWorkGroupPlay() IN",
      "CProgressDlg::InitInstance IN",
      "CProgressDlg::InitInstance OUT",
      "CProgressDlg::WorkFileCopy IN",
      "CProgressDlg::WorkFileCopy 복구Root 폴더 생성 성공",
      "CProgressDlg::WorkFileCopy 복구 폴더 생성 성공",
      "FileCopy : " + setup_.sourceWin + "\\VeltraneGtcSetup.exe -> " + kRecovery,
      "FileCopy : " + setup_.sourceWin + "\\office.xml -> " + kRecovery,
      "FileCopy : " + setup_.sourceWin + "\\Campus Guest.xml -> " + kRecovery,
      "CProgressDlg::WorkFileCopy Root 폴더 생성 성공",
      "CProgressDlg::WorkFileCopy Root setup 폴더 생성 성공",
      "CProgressDlg::WorkFileCopy Cert 폴더 생성 성공",
      "CProgressDlg::WorkFileCopy Image 폴더 생성 성공",
      "CProgressDlg::WorkFileCopy system copy 성공",
      "CProgressDlg::WorkFileCopy OUT return:1",
      "CProgressDlg::WorkRegistor In",
      "CProgressDlg::WorkRegistor 설치정보저장",
      "LVL_INFO::RegisterCommonValue()::Set registry value(common values) success",
      "LVL_INFO::RegisterSiteSpecificValue()::Set registry value(SiteSpecific values) success",
      "CProgressDlg::WorkRegistor 제어판 정보 저장",
      "LVL_INFO::RegisterControlValue()::Set registry value(control values) success",
      "CProgressDlg::WorkRegistor OUT return: 0",
      "CProgressDlg::WorkCommandRun In",
      "Command Line Run-> C:\\Windows\\System32\\Regsvr32 /s \"C:\\Windows\\System32\\ORV_EapPeap.dll\"",
      "CProgressDlg::WorkCommandRun command Run 성공",
      "CProgressDlg::WorkCommandRun 프로파일 추가 시작",
      "Command Line Run-> netsh wlan delete profile office",
      "Command Line Run-> netsh wlan add profile \"C:\\Windows\\Bramblecast\\Veltrane RAZ\\office.xml\"",
      "Command Line Run-> netsh wlan delete profile \"Campus Guest\"",
      "Command Line Run-> netsh wlan add profile \"C:\\Windows\\Bramblecast\\Veltrane RAZ\\Campus Guest.xml\"",
      "CProgressDlg::WorkCommandRun OUT return:1",
      "CModeServiceGroup::InstallAfterWork()  IN",
      "모든파일 정상 설치 완료, InstallSuccess=1 로 변경",
      "CModeServiceGroup::InstallAfterWork() OUT",
      "IsWorkGroupExit()",
      "CProgressDlg::IsWorkGroupPlay() OUT",
      "silent mode 설치 완료",
  }));

  // The recovery root is hidden because this run created it.
  EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN), e2e::Attributes("C:\\Windows\\Bramblecast") &
                                                           (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY) &
                                                           FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(e2e::Attributes(kRecovery) & FILE_ATTRIBUTE_HIDDEN);
  const std::vector<std::string> files = {
      std::string(kRecovery) + "\\VeltraneGtcSetup.exe", std::string(kRecovery) + "\\VeltraneGTCSetup.ini",
      std::string(kRecovery) + "\\office.xml",           std::string(kRecovery) + "\\Campus Guest.xml",
      std::string(kRecovery) + "\\Un4-1_kor.png",        std::string(kRecovery) + "\\OrvGtcLogo.bmp",
      std::string(kInstall) + "\\Version.txt",           std::string(kInstall) + "\\Cert\\f1f2f575.0",
      std::string(kInstall) + "\\Image\\OrvGtcLogo.bmp", "C:\\Windows\\System32\\nxc1xu32.dll",
      "C:\\Windows\\System32\\ORV_EapPeap.dll",
  };
  for (const auto& f : files) EXPECT_TRUE(e2e::Exists(f)) << f;
  EXPECT_FALSE(e2e::Exists(std::string(kRecovery) + "\\nxc1xu32.dll"));

  EXPECT_EQ(u"C:\\Program Files\\Bramblecast\\Veltrane RAZ",
            e2e::RegString(HKEY_LOCAL_MACHINE, (std::string(kPluginKey) + "\\Common").c_str(), u"Install Path"));
  EXPECT_EQ(u"pass word",
            e2e::RegString(HKEY_LOCAL_MACHINE, (std::string(kPluginKey) + "\\SiteSpecific").c_str(), u"Password"));
  EXPECT_EQ(u"Veltrane RAZ", e2e::RegString(HKEY_LOCAL_MACHINE, kUninstallKey, u"DisplayName"));
  EXPECT_EQ(u"Bramble Cast Inc.", e2e::RegString(HKEY_LOCAL_MACHINE, kUninstallKey, u"Publisher"));
  EXPECT_EQ(u"\"C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGtcSetup.exe\" /u /s",
            e2e::RegString(HKEY_LOCAL_MACHINE, kUninstallKey, u"QuietUninstallString"));
  auto date = e2e::RegString(HKEY_LOCAL_MACHINE, kUninstallKey, u"InstallDate");
  ASSERT_TRUE(date.has_value());
  EXPECT_EQ(8u, date->size());

  const auto started = e2e::StartedCommandLines();
  EXPECT_TRUE(e2e::InOrder(started, {
      "C:\\Windows\\System32\\Regsvr32 /s \"C:\\Windows\\System32\\ORV_EapPeap.dll\"",
      "netsh wlan delete profile office",
      "netsh wlan add profile \"C:\\Windows\\Bramblecast\\Veltrane RAZ\\office.xml\"",
      "netsh wlan delete profile \"Campus Guest\"",
      "netsh wlan add profile \"C:\\Windows\\Bramblecast\\Veltrane RAZ\\Campus Guest.xml\"",
  }));
  EXPECT_EQ("1", e2e::IniValue(std::string(kRecovery) + "\\VeltraneGTCSetup.ini", "Root", "InstallSuccess"));
}

TEST_F(SilentInstall, SecondInstallIsRefusedAndChangesNothing) {
  ASSERT_EQ(0, e2e::RunSetup(setup_, "/i /s"));
  const auto before = e2e::LogMessages().size();
  ASSERT_EQ(0, e2e::RunSetup(setup_, "/i /s", {"answer IDOK"}));
  const auto log = e2e::LogMessages();
  EXPECT_TRUE(e2e::InOrder(log, {"CheckRegistryControlPanel:: Control panel registry is exist",
                                 "CheckRegistryControlPanel:: Root registry is exist",
                                 "프로그램이 이미 설치 되어 있음. 설치 취소."}));
  EXPECT_LT(before, log.size());
  EXPECT_EQ("1", e2e::IniValue(std::string(kRecovery) + "\\VeltraneGTCSetup.ini", "Root", "InstallSuccess"));
}

TEST_F(SilentInstall, QuietUninstallRemovesWhatTheInstallAdded) {
  ASSERT_EQ(0, e2e::RunSetup(setup_, "/i /s"));
  // Answered No, the uninstall changes nothing.
  ASSERT_EQ(0, e2e::Run("\"C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGtcSetup.exe\" /u /s", kRecovery,
                        {"answer IDNO"}));
  EXPECT_TRUE(e2e::LogHas("사용자가 프로그램 제거를 취소"));
  EXPECT_TRUE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey));

  ASSERT_EQ(0, e2e::Run("\"C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGtcSetup.exe\" /u /s", kRecovery,
                        {"answer IDYES"}));
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey));
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(e2e::Exists(kInstall));
  EXPECT_FALSE(e2e::Exists("C:\\Windows\\System32\\nxc1xu32.dll"));
  EXPECT_FALSE(e2e::Exists("C:\\Windows\\System32\\ORV_EapPeap.dll"));
  // What the uninstall leaves: the maker folder and the recovery folder.
  EXPECT_TRUE(e2e::Exists("C:\\Program Files\\Bramblecast"));
  EXPECT_TRUE(e2e::Exists(std::string(kRecovery) + "\\VeltraneGtcSetup.exe"));
  EXPECT_EQ("0", e2e::IniValue(std::string(kRecovery) + "\\VeltraneGTCSetup.ini", "Root", "InstallSuccess"));
  EXPECT_TRUE(e2e::InOrder(e2e::StartedCommandLines(), {
      "C:\\Windows\\System32\\Regsvr32 /s /u \"C:\\Windows\\System32\\ORV_EapPeap.dll\"",
      "netsh wlan delete profile office",
      "netsh wlan delete profile \"Campus Guest\"",
  }));
}

TEST_F(SilentInstall, ReadOnlyFileInTheWayIsRolledBack) {
  // A read-only file where the install copies its configuration.
  ASSERT_TRUE(CreateDirectoryA("C:\\Windows\\Bramblecast", nullptr));
  ASSERT_TRUE(CreateDirectoryA(kRecovery, nullptr));
  const std::string blocker = std::string(kRecovery) + "\\VeltraneGTCSetup.ini";
  winsim::testing::WriteHostFile(e2e::HostPath(blocker), "[Root]\r\n");
  ASSERT_TRUE(SetFileAttributesA(blocker.c_str(), FILE_ATTRIBUTE_READONLY));

  ASSERT_EQ(0, e2e::RunSetup(setup_, "/i /s", {"answer IDOK"}));
  EXPECT_TRUE(e2e::InOrder(e2e::LogMessages(), {
      "CProgressDlg::WorkFileCopy 복구Root 폴더 찾기 성공",
      "LVL_ERROR::IsWorkGroupPlay::File copy error.",
      "LVL_INFO::CProgressDlg::RevertInstallation In",
      "LVL_INFO::CProgressDlg::RevertInstallation Root 폴더 제거 성공",
      "CDeleCodeDlg::IsFileExist() : File is not exist. path : C:\\Windows\\System32\\ORV_EapPeap.dll",
      "LVL_INFO::CProgressDlg::RevertInstallation Regstry common value is empty",
      "LVL_INFO::CProgressDlg::RevertInstallation Regstry control value is empty",
      "LVL_INFO::CProgressDlg::RevertInstallation OUT return:1",
      "설치 실패 모든파일 정상 제거 완료, InstallSuccess=0 로 변경",
      "silent mode 설치 실패",
  }));
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey));
  EXPECT_FALSE(e2e::Exists(kInstall));
  // The recovery folder stays, with what was copied before the failure.
  EXPECT_TRUE(e2e::Exists(std::string(kRecovery) + "\\VeltraneGtcSetup.exe"));
}

TEST_F(SilentInstall, BrokenConfigurationInstallsNothingAndSaysSo) {
  winsim::testing::WriteHostFile(setup_.source + "/VeltraneGTCSetup.ini",
                                 Config() + "this line has no equals sign\r\n");
  ASSERT_EQ(0, e2e::RunSetup(setup_, "/i /s"));
  const auto log = e2e::LogMessages();
  EXPECT_TRUE(e2e::InOrder(log, {"CProgressDlg::IsWorkGroupPlay() IN", "실행한 작업 없음, InstallSuccess 변경 없음",
                                 "silent mode 설치 실패"}));
  EXPECT_FALSE(e2e::LogHas("CProgressDlg::WorkFileCopy IN"));
  EXPECT_FALSE(e2e::LogHas("모든파일 정상 설치 완료, InstallSuccess=1 로 변경"));
  EXPECT_FALSE(e2e::Exists("C:\\Windows\\Bramblecast"));
}

}  // namespace
