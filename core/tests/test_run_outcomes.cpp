// What a run records and leaves, end to end, where the outcome depends on
// what was actually done: required files, an uninstall over a partly
// removed installation, libraries that were there before, profile entries
// that are not plain file names, and the restart and record of runs that
// did no work or were rolled back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "machine_fixture.h"
#include "run_config.h"
#include "setup_run.h"
#include "shlwapi.h"
#include "winsim/machine.h"

namespace {

using e2e::kCryptoLibrary;
using e2e::kInstall;
using e2e::kPluginKey;
using e2e::kPluginLibrary;
using e2e::kRecoveryIni;
using e2e::kUninstallKey;

const char kNotReverted[] = "LVL_INFO::CProgressDlg::RevertInstallation In";

size_t RestartRequests() {
  const std::string requests = winsim::testing::ReadHostFile(winsim::JournalDir() + "/shutdown.log");
  return static_cast<size_t>(std::count(requests.begin(), requests.end(), '\n'));
}

// ---- Required files --------------------------------------------------------

struct MissingFile {
  const char* name;
  bool required;
};

class MissingSourceFile : public ::testing::TestWithParam<MissingFile> {};

TEST_P(MissingSourceFile, RequiredOnesFailTheInstall) {
  const MissingFile& row = GetParam();
  e2e::Setup setup = e2e::FreshSetup();
  e2e::ShipConfig(setup, 1, {"PROFILE1=office.xml"});
  std::remove((setup.source + "/" + row.name).c_str());

  ASSERT_EQ(0, e2e::RunSetup(setup, "/i /s", {"answer IDOK"}));
  const auto log = e2e::LogMessages();
  const std::string source = setup.sourceWin + "\\" + row.name;
  if (!row.required) {
    EXPECT_TRUE(e2e::InOrder(log, {"파일 Search 실패 : " + source, "모든파일 정상 설치 완료, InstallSuccess=1 로 변경",
                                   "silent mode 설치 완료"}));
    EXPECT_TRUE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    return;
  }
  EXPECT_TRUE(e2e::InOrder(log, {"파일 Search 실패 : " + source,
                                 "LVL_ERROR::CProgressDlg::WorkFileCopy 필수 파일 없음 -> " + source,
                                 "LVL_ERROR::IsWorkGroupPlay::File copy error.", kNotReverted,
                                 "설치 실패 모든파일 정상 제거 완료, InstallSuccess=0 로 변경", "silent mode 설치 실패"}));
  EXPECT_FALSE(e2e::LogHas("CProgressDlg::WorkRegistor In"));
  EXPECT_FALSE(e2e::LogHas("모든파일 정상 설치 완료, InstallSuccess=1 로 변경"));
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey));
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(e2e::Exists(kInstall));
  EXPECT_FALSE(e2e::Exists(kCryptoLibrary));
  EXPECT_FALSE(e2e::Exists(kPluginLibrary));
  EXPECT_EQ("0", e2e::IniValue(kRecoveryIni, "Root", "InstallSuccess"));
}

INSTANTIATE_TEST_SUITE_P(Files, MissingSourceFile,
                         ::testing::Values(MissingFile{"VeltraneGtcSetup.exe", true},
                                           MissingFile{"nxc1xu32.dll", true}, MissingFile{"ORV_EapPeap.dll", true},
                                           MissingFile{"Set2-1_kor.png", false}, MissingFile{"VelText.dll", false}),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           std::replace_if(name.begin(), name.end(), [](char c) { return !isalnum(c); }, '_');
                           return name;
                         });

// ---- Uninstall over a partly removed installation -------------------------

struct PartlyRemoved {
  const char* name;
  std::vector<const char*> goneKeys;
  const char* pluginLine;   // the plug-in key's deletion line
  const char* entryLine;    // the uninstall entry's deletion line
};

class UninstallPartlyRemoved : public ::testing::TestWithParam<PartlyRemoved> {};

TEST_P(UninstallPartlyRemoved, GoesOnAndNeverRollsBack) {
  const PartlyRemoved& row = GetParam();
  e2e::Setup setup = e2e::FreshSetup();
  e2e::ShipConfig(setup, 1, {"PROFILE1=office.xml"});
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i /s"));
  ASSERT_EQ(1u, e2e::StoredProfiles().size());
  for (const char* key : row.goneKeys) ASSERT_EQ(ERROR_SUCCESS, SHDeleteKeyA(HKEY_LOCAL_MACHINE, key));

  // Only the uninstall question is answered: a rollback box would be left
  // without an answer.
  ASSERT_EQ(0, e2e::RunInstalled("/u /s", {"answer IDYES"}));
  const auto log = e2e::LogMessages();
  EXPECT_TRUE(e2e::InOrder(log, {"LVL_INFO::UnRegisterValues()", row.pluginLine, row.entryLine,
                                 "CProgressDlg::WorkRegistor OUT return: 0", "CProgressDlg::WorkCommandRun In",
                                 "Command Line Run-> netsh wlan delete profile office",
                                 "CProgressDlg::WorkCommandRun OUT return:1",
                                 "모든파일 정상 제거 완료 (제어판), InstallSuccess=0 로 변경", "silent mode 설치 완료"}));
  EXPECT_FALSE(e2e::LogHas(kNotReverted));
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey));
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(e2e::Exists(kInstall));
  EXPECT_FALSE(e2e::Exists(kPluginLibrary));
  EXPECT_FALSE(e2e::Exists(kCryptoLibrary));
  EXPECT_TRUE(e2e::StoredProfiles().empty());
  EXPECT_EQ("0", e2e::IniValue(kRecoveryIni, "Root", "InstallSuccess"));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, UninstallPartlyRemoved,
    ::testing::Values(
        PartlyRemoved{"PluginKeyGone", {kPluginKey}, "LVL_INFO::UnRegisterCommonValue() Regstry common value is empty",
                      "LVL_INFO::UnRegisterControlValue() Regstry control value 삭제 성공"},
        PartlyRemoved{"UninstallEntryGone", {kUninstallKey}, "LVL_INFO::UnRegisterCommonValue() common value 삭제 성공",
                      "LVL_INFO::UnRegisterControlValue() Regstry control value is empty"},
        PartlyRemoved{"BothGone", {kPluginKey, kUninstallKey},
                      "LVL_INFO::UnRegisterCommonValue() Regstry common value is empty",
                      "LVL_INFO::UnRegisterControlValue() Regstry control value is empty"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UninstallFailure, IsLoggedButNotRolledBack) {
  e2e::Setup setup = e2e::FreshSetup();
  e2e::ShipConfig(setup, 1, {"PROFILE1=office.xml"});
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i /s"));
  // An installed copy without its profile section: command work fails.
  std::string ini = e2e::SiteConfig(1, {});
  ini.erase(ini.find("[BASIC_PROFILE]"));
  winsim::testing::WriteHostFile(e2e::HostPath(kRecoveryIni), ini);

  ASSERT_EQ(0, e2e::RunInstalled("/u /s", {"answer IDYES"}));
  EXPECT_TRUE(e2e::InOrder(e2e::LogMessages(),
                           {"CProgressDlg::ini get section failed.[BASIC_PROFILE]",
                            "LVL_ERROR::IsWorkGroupPlay::Work command error.",
                            "LVL_INFO::CProgressDlg::RevertInstallation 제거 작업은 원복하지 않음",
                            "제거 작업 중 실패하여 일부 항목이 남아 있음 (제어판), InstallSuccess=0 로 변경",
                            "silent mode 설치 실패"}));
  EXPECT_FALSE(e2e::LogHas("모든파일 정상 제거 완료 (제어판), InstallSuccess=0 로 변경"));
  EXPECT_FALSE(e2e::LogHas(kNotReverted));
  EXPECT_FALSE(e2e::LogHas("LVL_INFO::CProgressDlg::RevertInstallation Regstry control value is empty"));
}

// ---- Libraries that were there before the install --------------------------

struct Preexisting {
  const char* name;
  const char* path;          // the read-only library already in place
  const char* otherLibrary;  // the other system-folder library
};

class PreexistingLibrary : public ::testing::TestWithParam<Preexisting> {};

TEST_P(PreexistingLibrary, StaysAsItWasAfterTheRollback) {
  const Preexisting& row = GetParam();
  e2e::Setup setup = e2e::FreshSetup();
  e2e::ShipConfig(setup, 1, {"PROFILE1=office.xml"});
  const std::string before = "a library of another installation";
  winsim::testing::WriteHostFile(e2e::HostPath(row.path), before);
  ASSERT_TRUE(SetFileAttributesA(row.path, FILE_ATTRIBUTE_READONLY));

  ASSERT_EQ(0, e2e::RunSetup(setup, "/i /s", {"answer IDOK"}));
  EXPECT_TRUE(e2e::InOrder(e2e::LogMessages(),
                           {"LVL_ERROR::IsWorkGroupPlay::File copy error.", kNotReverted,
                            std::string("LVL_INFO::CProgressDlg::RevertInstallation 이번 설치가 놓지 않은 파일은 그대로 둠 -> ") +
                                row.path,
                            "LVL_INFO::CProgressDlg::RevertInstallation OUT return:1"}));
  EXPECT_EQ(before, winsim::testing::ReadHostFile(e2e::HostPath(row.path)));
  EXPECT_TRUE(e2e::Attributes(row.path) & FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(e2e::Exists(row.otherLibrary)) << "what this run put in place is removed";
  for (const auto& line : e2e::StartedCommandLines()) EXPECT_EQ(std::string::npos, line.find("Regsvr32")) << line;
}

INSTANTIATE_TEST_SUITE_P(Libraries, PreexistingLibrary,
                         ::testing::Values(Preexisting{"PluginLibrary", kPluginLibrary, kCryptoLibrary},
                                           Preexisting{"CryptoLibrary", kCryptoLibrary, kPluginLibrary}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Profile entries that are not plain file names -------------------------

TEST(ProfileEntries, ThatAreNotPlainFileNamesAreSkipped) {
  e2e::Setup setup = e2e::FreshSetup();
  // The configuration reader takes "\\" as one backslash and "\"" as a
  // double quote.
  e2e::ShipConfig(setup, 1,
                  {"PROFILE1=office.xml", "PROFILE2=../outside.xml", "PROFILE3=..\\\\outside.xml",
                   "PROFILE4=x\\\" name=evil.xml", "PROFILE5=..", "PROFILE6=C:outside.xml"});
  winsim::testing::WriteHostFile(setup.source + "/../outside.xml", "<WLANProfile/>");
  winsim::testing::WriteHostFile(setup.source + "/x\" name=evil.xml", "<WLANProfile/>");

  ASSERT_EQ(0, e2e::RunSetup(setup, "/i /s"));
  const auto log = e2e::LogMessages();
  const std::string bad = "프로파일 설정 오류(파일 이름이 아님), 건너뜀 : [BASIC_PROFILE] ";
  EXPECT_TRUE(e2e::InOrder(log, {"LVL_ERROR::CProgressDlg::WorkFileCopy " + bad + "PROFILE2=../outside.xml",
                                 "LVL_ERROR::CProgressDlg::WorkFileCopy " + bad + "PROFILE3=..\\outside.xml",
                                 "LVL_ERROR::CProgressDlg::WorkFileCopy " + bad + "PROFILE4=x\" name=evil.xml",
                                 "LVL_ERROR::CProgressDlg::WorkFileCopy " + bad + "PROFILE5=..",
                                 "LVL_ERROR::CProgressDlg::WorkFileCopy " + bad + "PROFILE6=C:outside.xml",
                                 "LVL_ERROR::CProgressDlg::WorkCommandRun " + bad + "PROFILE2=../outside.xml",
                                 "LVL_ERROR::CProgressDlg::WorkCommandRun " + bad + "PROFILE6=C:outside.xml",
                                 "모든파일 정상 설치 완료, InstallSuccess=1 로 변경"}));
  EXPECT_FALSE(e2e::Exists(std::string(e2e::kRecovery) + "\\outside.xml"));
  EXPECT_TRUE(e2e::Exists(std::string(e2e::kRecovery) + "\\office.xml"));
  for (const auto& line : e2e::StartedCommandLines()) {
    EXPECT_EQ(std::string::npos, line.find("outside")) << line;
    EXPECT_EQ(std::string::npos, line.find("evil")) << line;
  }
  EXPECT_EQ(1u, e2e::StoredProfiles().size());
}

// ---- Restart and record of runs that did no work or were rolled back -------

TEST(RestartAndRecord, RolledBackInstallNeitherRestartsNorRecordsSuccess) {
  e2e::Setup setup = e2e::FreshSetup();
  e2e::ShipConfig(setup, 1, {"PROFILE1=office.xml"});
  ASSERT_TRUE(e2e::ShippedConfigForcesRestart(setup));
  ASSERT_TRUE(winsim::SetConfigValue("shutdown_privilege", "1", nullptr));
  // A library in the way fails the install after its configuration copy.
  winsim::testing::WriteHostFile(e2e::HostPath(kPluginLibrary), "in the way");
  ASSERT_TRUE(SetFileAttributesA(kPluginLibrary, FILE_ATTRIBUTE_READONLY));

  ASSERT_EQ(0, e2e::RunSetup(setup, "/i", {"click 12324", "click 1034", "click 12324", "answer IDOK", "click 12325"}));
  EXPECT_TRUE(e2e::LogHas("LVL_ERROR::ThreadFunc::File copy error."));
  EXPECT_EQ(0u, RestartRequests());
  EXPECT_FALSE(e2e::LogHas("ForceReboot=1 에 의해 강제 재부팅"));
  EXPECT_EQ("0", e2e::IniValue(kRecoveryIni, "Root", "InstallSuccess"));
  EXPECT_EQ("", e2e::IniValue(kRecoveryIni, "InstallRoot", "InstallSuccess"));
}

TEST(RestartAndRecord, RunWithoutAModeDoesNoWorkAndChangesNothing) {
  e2e::Setup setup = e2e::FreshSetup();
  e2e::ShipConfig(setup, 1, {"PROFILE1=office.xml"});
  ASSERT_TRUE(e2e::ShippedConfigForcesRestart(setup));
  ASSERT_TRUE(winsim::SetConfigValue("shutdown_privilege", "1", nullptr));
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i /s"));
  ASSERT_EQ("1", e2e::IniValue(kRecoveryIni, "Root", "InstallSuccess"));
  const size_t before = e2e::LogMessages().size();

  // As the launcher starts it: no switches; welcome, then the progress page
  // with nothing to do, then the finish page.
  ASSERT_EQ(0, e2e::RunSetup(setup, "", {"click 12324", "click 12325"}));
  auto log = e2e::LogMessages();
  log.erase(log.begin(), log.begin() + static_cast<long>(before));
  EXPECT_TRUE(e2e::InOrder(log, {"작동 모드 -> UI 모드", "CModeServiceGroup::InstallAfterWork()  IN",
                                 "실행한 작업 없음, InstallSuccess 변경 없음", "CModeServiceGroup::InstallAfterWork() OUT"}));
  EXPECT_FALSE(e2e::InOrder(log, {"CProgressDlg::WorkFileCopy IN"}));
  EXPECT_EQ(0u, RestartRequests());
  EXPECT_EQ("1", e2e::IniValue(kRecoveryIni, "Root", "InstallSuccess")) << "the installed plug-in stays recorded";
  EXPECT_EQ("", e2e::IniValue(kRecoveryIni, "InstallRoot", "InstallSuccess"));
  EXPECT_TRUE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey));
}

TEST(RestartAndRecord, CompletedInstallStillRestarts) {
  e2e::Setup setup = e2e::FreshSetup();
  e2e::ShipConfig(setup, 1, {"PROFILE1=office.xml"});
  ASSERT_TRUE(e2e::ShippedConfigForcesRestart(setup));
  ASSERT_TRUE(winsim::SetConfigValue("shutdown_privilege", "1", nullptr));
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i", {"click 12324", "click 1034", "click 12324"}));
  EXPECT_EQ(1u, RestartRequests());
  EXPECT_EQ("1", e2e::IniValue(kRecoveryIni, "InstallRoot", "InstallSuccess"));
  EXPECT_EQ("1", e2e::IniValue(kRecoveryIni, "Root", "InstallSuccess"));
}

}  // namespace
