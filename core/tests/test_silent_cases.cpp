// Silent runs over the configuration cases an administrator can ship, the
// standard user, and a second setup program started while one runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "machine_fixture.h"
#include "setup_run.h"
#include "winsim/machine.h"

namespace {

const char kRecoveryIni[] = "C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGTCSetup.ini";
const char kPluginKey[] = "Software\\Bramblecast\\Veltrane RAZ";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrane RAZ";

std::string Ini(const std::string& siteTitle, const std::string& general, const std::string& profiles) {
  return "[Root]\r\nCheckInstallLangue=Korean\r\n[SITE_SPECIFIC]\r\nUseSiteSpecificSetupTitle=" + siteTitle +
         "\r\nUseAutoConnection=0\r\nID=\r\nPassword=\r\n[InstallMessageOption]\r\nShowMessageInSilentMode=0\r\n"
         "[InstallRoot]\r\nForceReboot=0\r\n" + general + profiles;
}

const std::string kGeneral = "[GENERAL]\r\nUseDefaultProfile=1\r\n";
const std::string kOneProfile = "[BASIC_PROFILE]\r\nPROFILE1=Campus Staff.xml\r\n";

struct Case {
  const char* name;
  std::string ini;                         // "": no configuration file at all
  std::vector<std::string> script;         // answers for message boxes
  std::vector<std::string> expectedLog;    // in this order
  std::vector<std::string> absentLog;
  const char* installSuccess;              // Root/InstallSuccess of the installed copy, or nullptr: no file
  bool installed;                          // the plug-in's key exists afterwards
};

class SilentCases : public ::testing::TestWithParam<Case> {};

TEST_P(SilentCases, Outcome) {
  const Case& c = GetParam();
  e2e::Setup setup = e2e::FreshSetup();
  // "" stands for a source folder without a configuration file.
  if (c.ini.empty()) std::remove((setup.source + "/VeltraneGTCSetup.ini").c_str());
  else winsim::testing::WriteHostFile(setup.source + "/VeltraneGTCSetup.ini", c.ini);
  // A shipped picture that is missing does not stop an install.
  std::remove((setup.source + "/Set1-1_kor.png").c_str());

  ASSERT_EQ(0, e2e::RunSetup(setup, "/i /s", c.script));
  const auto log = e2e::LogMessages();
  std::vector<std::string> expected = c.expectedLog;
  for (auto& line : expected) {
    const size_t at = line.find("{source}");
    if (at != std::string::npos) line.replace(at, 8, setup.sourceWin);
  }
  EXPECT_TRUE(e2e::InOrder(log, expected));
  for (const auto& line : c.absentLog) EXPECT_FALSE(e2e::LogHas(line)) << line;
  if (c.installSuccess) EXPECT_EQ(c.installSuccess, e2e::IniValue(kRecoveryIni, "Root", "InstallSuccess"));
  else EXPECT_FALSE(e2e::Exists(kRecoveryIni));
  EXPECT_EQ(c.installed, e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey));
}

const std::string kSearchFailed = "\xC6\xC4\xC0\xCF Search \xBD\xC7\xC6\xD0 : ";  // "파일 Search 실패 : "

INSTANTIATE_TEST_SUITE_P(
    Configurations, SilentCases,
    ::testing::Values(
        Case{"UseDefaultProfileZero",
             Ini("", "[GENERAL]\r\nUseDefaultProfile=0\r\n", kOneProfile),
             {},
             {"CProgressDlg::WorkCommandRun command Run 성공", "CProgressDlg::WorkCommandRun OUT return:1"},
             {"CProgressDlg::WorkCommandRun 프로파일 추가 시작"},
             "1",
             true},
        Case{"EmptyProfileSection",
             Ini("", kGeneral, "[BASIC_PROFILE]\r\n"),
             {},
             {"CProgressDlg::WorkCommandRun 프로파일 추가 시작", "CProgressDlg::WorkCommandRun OUT return:1"},
             {"CProgressDlg::ini get section failed.[BASIC_PROFILE]"},
             "1",
             true},
        Case{"NoProfileSectionFailsAndRollsBack",
             Ini("", kGeneral, ""),
             {"answer IDOK"},
             {"CProgressDlg::ini get section failed.[BASIC_PROFILE]", "LVL_ERROR::IsWorkGroupPlay::File copy error.",
              "LVL_INFO::CProgressDlg::RevertInstallation OUT return:1", "silent mode 설치 실패"},
             {},
             "0",
             false},
        Case{"ProfileValuesEmptyWithoutDotAndMissing",
             Ini("", kGeneral, "[BASIC_PROFILE]\r\nP1=\r\nP2=noext\r\nP3=Campus Staff.xml\r\n"),
             {},
             {kSearchFailed + "{source}\\noext", kSearchFailed + "{source}\\Set1-1_kor.png",
              "Command Line Run-> netsh wlan delete profile ",
              "Command Line Run-> netsh wlan add profile \"C:\\Windows\\Bramblecast\\Veltrane RAZ\\noext\"",
              "Command Line Run-> netsh wlan delete profile \"Campus Staff\"", "silent mode 설치 완료"},
             {},
             "1",
             true},
        Case{"MissingConfigurationInstallsNothing",
             "",
             {},
             {"CProgressDlg::IsWorkGroupPlay() IN", "실행한 작업 없음, InstallSuccess 변경 없음",
              "silent mode 설치 실패"},
             {"CProgressDlg::WorkFileCopy IN", "모든파일 정상 설치 완료, InstallSuccess=1 로 변경"},
             nullptr,
             false}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(SilentSiteTitle, KeptWholeAt259AndCutAt259) {
  struct { size_t length; size_t stored; } rows[] = {{259, 259}, {2000, 259}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.length);
    e2e::Setup setup = e2e::FreshSetup();
    winsim::testing::WriteHostFile(setup.source + "/VeltraneGTCSetup.ini",
                                   Ini(std::string(row.length, 'S'), kGeneral, "[BASIC_PROFILE]\r\n"));
    ASSERT_EQ(0, e2e::RunSetup(setup, "/i /s"));
    auto name = e2e::RegString(HKEY_LOCAL_MACHINE, kUninstallKey, u"DisplayName");
    ASSERT_TRUE(name.has_value());
    EXPECT_EQ(std::u16string(row.stored, u'S'), *name);
    EXPECT_EQ(u"", e2e::RegString(HKEY_LOCAL_MACHINE, kUninstallKey, u"Publisher")) << "empty with a site title";
  }
}

TEST(SilentStandardUser, FailsLikeAnyFileErrorAndWritesNoLog) {
  e2e::Setup setup = e2e::FreshSetup();
  ASSERT_TRUE(winsim::SetConfigValue("admin", "0", nullptr));
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i /s", {"answer IDOK"}));
  EXPECT_FALSE(e2e::Exists("C:\\Windows\\System32\\VelGTCInstall.log")) << "the log lives in the system folder";
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey));
  EXPECT_FALSE(e2e::Exists("C:\\Windows\\Bramblecast"));
  // The rollback box was shown and answered.
  const std::string events = winsim::testing::ReadHostFile(winsim::DesktopDir() + "/events.log");
  EXPECT_NE(std::string::npos, events.find("\"result\":\"IDOK\"")) << events;
}

TEST(SilentCommandLine, SwitchesAreSubstringsAfterQuotesGo) {
  struct { const char* args; const char* modeLine; } rows[] = {
      {"/install /s", "작동 모드 -> 인스톨(CModeCenterCommand::CheckCommandLine)"},
      {"\"/i /s\"", "작동 모드 -> 인스톨(CModeCenterCommand::CheckCommandLine)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args);
    e2e::Setup setup = e2e::FreshSetup();
    winsim::testing::WriteHostFile(setup.source + "/VeltraneGTCSetup.ini", Ini("", kGeneral, "[BASIC_PROFILE]\r\n"));
    ASSERT_EQ(0, e2e::RunSetup(setup, row.args));
    EXPECT_TRUE(e2e::InOrder(e2e::LogMessages(), {row.modeLine, "작동 모드 -> Silent(CModeCenterCommand::CheckCommandLine)",
                                                  "silent mode 설치 완료"}));
  }
}

namespace {

PROCESS_INFORMATION Start(const std::string& commandLine, const std::string& currentDir) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  EXPECT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, currentDir.c_str(), &si, &pi));
  return pi;
}

DWORD Finish(PROCESS_INFORMATION& pi) {
  DWORD code = 12345;
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 60000));
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return code;
}

}  // namespace

TEST(SecondInstance, ShowsTheBusyDialogOrNothingWhenSilent) {
  e2e::Setup setup = e2e::FreshSetup();
  // One user for the whole machine: the first program waits in its
  // uninstall question while the others start; the busy dialog is closed
  // with OK, then the question is answered No.
  const std::string scriptPath = winsim::testing::TempHostDir() + "/user.script";
  winsim::testing::WriteHostFile(scriptPath, "sleep 4000\nclick 1\nanswer IDNO\n");
  setenv("WINSIM_USER", scriptPath.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const std::string program = "\"" + setup.sourceWin + "\\VeltraneGTC64.exe\" ";
  PROCESS_INFORMATION first = Start(program + "/u /s", setup.sourceWin);
  Sleep(1500);
  PROCESS_INFORMATION silent = Start(program + "/i /s", setup.sourceWin);
  EXPECT_EQ(0u, Finish(silent));
  const std::string afterSilent = winsim::testing::ReadHostFile(winsim::DesktopDir() + "/events.log");
  EXPECT_EQ(std::string::npos, afterSilent.find("\"template\":124")) << "a silent second program shows nothing";

  PROCESS_INFORMATION busy = Start(program + "/i", setup.sourceWin);
  EXPECT_EQ(0u, Finish(busy));
  EXPECT_EQ(0u, Finish(first));
  const std::string events = winsim::testing::ReadHostFile(winsim::DesktopDir() + "/events.log");
  const size_t show = events.find("\"template\":124");
  ASSERT_NE(std::string::npos, show) << events;
  EXPECT_NE(std::string::npos, events.find("\"caption\":\"Veltrane RAZ\"", show - std::min<size_t>(show, 200)))
      << events;
  EXPECT_TRUE(e2e::LogHas("사용자가 프로그램 제거를 취소"));
  EXPECT_FALSE(e2e::LogHas("CProgressDlg::WorkFileCopy IN")) << "neither second program did any work";
}

}  // namespace
