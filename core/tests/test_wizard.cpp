// Wizard runs driven by the scripted user: the pages in order, the window
// titles, the cancel questions, and what the runs leave behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "machine_fixture.h"
#include "setup_run.h"
#include "winsim/machine.h"

namespace {

const char kRecoveryIni[] = "C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGTCSetup.ini";
const char kPluginKey[] = "Software\\Bramblecast\\Veltrane RAZ";

// "page" events' templates and caption changes, in order, from events.log.
struct Journal {
  std::vector<int> pages;
  std::vector<std::string> captions;  // UTF-8
  std::string text;
};

Journal ReadJournal() {
  Journal j;
  j.text = winsim::testing::ReadHostFile(winsim::DesktopDir() + "/events.log");
  std::istringstream in(j.text);
  std::string line;
  while (std::getline(in, line)) {
    // The value of a member of this line's JSON object (text or number).
    auto field = [&](const char* name) {
      const std::string key = std::string("\"") + name + "\":";
      size_t at = line.find(key);
      if (at == std::string::npos) return std::string();
      at += key.size();
      if (line[at] == '"') return line.substr(at + 1, line.find('"', at + 1) - at - 1);
      return line.substr(at, line.find_first_of(",}", at) - at);
    };
    if (field("event") == "page") j.pages.push_back(std::stoi(field("template")));
    if (field("event") == "caption") j.captions.push_back(field("caption"));
  }
  return j;
}

bool Has(const std::vector<std::string>& v, const std::string& s) {
  for (const auto& x : v) {
    if (x == s) return true;
  }
  return false;
}

// UTF-8 texts of the journal.
const std::string kInstallDone = "Veltrane RAZ \xEC\x84\xA4\xEC\xB9\x98 \xEC\x99\x84\xEB\xA3\x8C";  // 설치 완료
const std::string kUninstallDone = "Veltrane RAZ \xEC\xA0\x9C\xEA\xB1\xB0 \xEC\x99\x84\xEB\xA3\x8C";  // 제거 완료
const std::string kReverting = "Veltrane RAZ \xEC\x84\xA4\xEC\xB9\x98 \xEC\x9B\x90\xEB\xB3\xB5";  // 설치 원복
const std::string kRevertDone =
    "Veltrane RAZ \xEC\x84\xA4\xEC\xB9\x98 \xEC\xB7\xA8\xEC\x86\x8C \xEC\x99\x84\xEB\xA3\x8C";  // 설치 취소 완료

TEST(Wizard, InstallAcceptedWalksEveryPage) {
  e2e::Setup setup = e2e::FreshSetup();
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i", {"click 12324", "click 1034", "click 12324", "click 12325"}));
  Journal j = ReadJournal();
  EXPECT_EQ((std::vector<int>{104, 107, 115, 129}), j.pages) << j.text;
  EXPECT_TRUE(Has(j.captions, kInstallDone)) << j.text;
  EXPECT_NE(std::string::npos, j.text.find("\"result\":12325")) << "ended with Finish";
  EXPECT_TRUE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey));
  EXPECT_EQ("1", e2e::IniValue(kRecoveryIni, "Root", "InstallSuccess"));
  EXPECT_TRUE(e2e::InOrder(e2e::LogMessages(), {"CProgressDlg::OnInitDialog  IN", "CProgressDlg::OnSetActive  IN",
                                                "CProgressDlg::WorkFileCopy IN", "CProgressDlg::WorkCommandRun OUT return:1",
                                                "CProgressDlg::OnKillActive  IN"}));
}

TEST(Wizard, BackAndNextAndTheLicenceStartingDeclined) {
  e2e::Setup setup = e2e::FreshSetup();
  // Decline, go back, come again (declined again), accept, install, finish.
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i",
                             {"click 12324", "click 1035", "click 12323", "click 12324", "click 1034", "click 12324",
                              "click 12325"}));
  Journal j = ReadJournal();
  EXPECT_EQ((std::vector<int>{104, 107, 104, 107, 115, 129}), j.pages) << j.text;
  EXPECT_EQ("1", e2e::IniValue(kRecoveryIni, "Root", "InstallSuccess"));
}

TEST(Wizard, CancelAskedRefusedThenConfirmed) {
  e2e::Setup setup = e2e::FreshSetup();
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i",
                             {"click 2", "answer IDNO", "click 12324", "click 2", "answer IDNO", "click 2",
                              "answer IDYES"}));
  Journal j = ReadJournal();
  EXPECT_EQ((std::vector<int>{104, 107}), j.pages) << j.text;
  EXPECT_NE(std::string::npos, j.text.find("\"result\":\"IDCANCEL\"")) << j.text;
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey));
  EXPECT_FALSE(e2e::Exists("C:\\Windows\\Bramblecast"));
}

TEST(Wizard, CancelDuringAnInstallIsRefusedWithoutAQuestion) {
  e2e::Setup setup = e2e::FreshSetup();
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i", {"click 12324", "click 1034", "click 12324", "key Escape", "click 12325"}));
  EXPECT_TRUE(e2e::LogHas("설치를 취소 하시겠습니까?"));
  EXPECT_EQ("1", e2e::IniValue(kRecoveryIni, "Root", "InstallSuccess"));
}

TEST(Wizard, UninstallFromTheUninstallEntry) {
  e2e::Setup setup = e2e::FreshSetup();
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i /s"));
  auto uninstall = e2e::RegString(HKEY_LOCAL_MACHINE,
                                  "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrane RAZ",
                                  u"UninstallString");
  ASSERT_TRUE(uninstall.has_value());
  std::string line;
  for (char16_t c : *uninstall) line.push_back(static_cast<char>(c));
  ASSERT_EQ(0, e2e::Run(line, "C:\\Windows\\Bramblecast\\Veltrane RAZ",
                        {"answer IDYES", "click 12324", "click 12325"}));
  Journal j = ReadJournal();
  EXPECT_EQ((std::vector<int>{104, 115, 129}), j.pages) << j.text;
  EXPECT_TRUE(Has(j.captions, kUninstallDone)) << j.text;
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey));
  EXPECT_EQ("0", e2e::IniValue(kRecoveryIni, "Root", "InstallSuccess"));
}

// A confirmed cancel during an uninstall ends the wizard at once; the
// worker, already at work, is waited for, so the uninstall is not left half
// done: its end sequence runs and records the outcome before the program
// ends. (The pause lets the worker start its work first.)
TEST(Wizard, CancelDuringAnUninstallEndsTheWizardAfterTheWork) {
  e2e::Setup setup = e2e::FreshSetup();
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i /s"));
  ASSERT_EQ(0, e2e::Run("\"C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGtcSetup.exe\" /u",
                        "C:\\Windows\\Bramblecast\\Veltrane RAZ",
                        {"answer IDYES", "click 12324", "sleep 300", "key Escape", "answer IDYES"}));
  Journal j = ReadJournal();
  EXPECT_EQ((std::vector<int>{104, 115}), j.pages) << j.text;
  // The uninstall question, then the cancel question, both answered Yes.
  std::istringstream events(j.text);
  int yes = 0;
  for (std::string line; std::getline(events, line);) {
    if (line.find("\"event\":\"close\"") != std::string::npos && line.find("\"IDYES\"") != std::string::npos) ++yes;
  }
  EXPECT_EQ(2, yes) << j.text;
  const auto log = e2e::LogMessages();
  EXPECT_TRUE(e2e::InOrder(log, {"CProgressDlg::WorkRegistor In", "CModeServiceGroup::InstallAfterWork()  IN",
                                 "모든파일 정상 제거 완료 (제어판), InstallSuccess=0 로 변경", "IsWorkGroupExit()"}));
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey));
  EXPECT_EQ("0", e2e::IniValue(kRecoveryIni, "Root", "InstallSuccess"));
}

// The cancel question asked as the uninstall starts, before the worker has
// begun: the worker waits for the answer. No: the uninstall runs in full.
// Yes: the wizard ends, and what is recorded matches what was done (the
// question may also come just after the work began, which then runs to its
// end).
TEST(Wizard, CancelQuestionAsTheUninstallStarts) {
  const char kRemoved[] = "모든파일 정상 제거 완료 (제어판), InstallSuccess=0 로 변경";
  const char kNotStarted[] = "작업 시작 전에 취소되어 작업하지 않음, InstallSuccess 변경 없음";
  for (const char* answer : {"IDNO", "IDYES"}) {
    SCOPED_TRACE(answer);
    e2e::Setup setup = e2e::FreshSetup();
    ASSERT_EQ(0, e2e::RunSetup(setup, "/i /s"));
    std::vector<std::string> script = {"answer IDYES", "click 12324", "key Escape", "sleep 300",
                                       std::string("answer ") + answer};
    if (std::string(answer) == "IDNO") script.push_back("click 12325");
    ASSERT_EQ(0, e2e::Run("\"C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGtcSetup.exe\" /u",
                          "C:\\Windows\\Bramblecast\\Veltrane RAZ", script));
    const bool removed = !e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey);
    if (std::string(answer) == "IDNO") {
      EXPECT_TRUE(removed);
      EXPECT_EQ((std::vector<int>{104, 115, 129}), ReadJournal().pages);
    }
    EXPECT_EQ(removed, e2e::LogHas(kRemoved));
    EXPECT_EQ(!removed, e2e::LogHas(kNotStarted));
    EXPECT_EQ(removed ? "0" : "1", e2e::IniValue(kRecoveryIni, "Root", "InstallSuccess"));
    EXPECT_EQ(removed, !e2e::Exists("C:\\Windows\\System32\\ORV_EapPeap.dll"));
  }
}

TEST(Wizard, FailedInstallIsRevertedOnScreen) {
  e2e::Setup setup = e2e::FreshSetup();
  ASSERT_TRUE(CreateDirectoryA("C:\\Windows\\Bramblecast", nullptr));
  ASSERT_TRUE(CreateDirectoryA("C:\\Windows\\Bramblecast\\Veltrane RAZ", nullptr));
  winsim::testing::WriteHostFile(e2e::HostPath(kRecoveryIni), "[Root]\r\n");
  ASSERT_TRUE(SetFileAttributesA(kRecoveryIni, FILE_ATTRIBUTE_READONLY));
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i", {"click 12324", "click 1034", "click 12324", "answer IDOK", "click 12325"}));
  Journal j = ReadJournal();
  EXPECT_TRUE(Has(j.captions, kReverting)) << j.text;
  EXPECT_TRUE(Has(j.captions, kRevertDone)) << j.text;
  EXPECT_TRUE(e2e::LogHas("LVL_ERROR::ThreadFunc::File copy error."));
  EXPECT_TRUE(e2e::LogHas("설치 실패 모든파일 정상 제거 완료, InstallSuccess=0 로 변경"));
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey));
}

TEST(Wizard, ForcedRestartWithAndWithoutThePrivilege) {
  struct {
    const char* privilege;
    std::vector<std::string> script;
    size_t requests;
  } rows[] = {
      {"1", {"click 12324", "click 1034", "click 12324"}, 1},
      {"0", {"click 12324", "click 1034", "click 12324", "click 12325"}, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string("shutdown_privilege=") + row.privilege);
    e2e::Setup setup = e2e::FreshSetup();
    ASSERT_TRUE(e2e::ShippedConfigForcesRestart(setup));
    ASSERT_TRUE(winsim::SetConfigValue("shutdown_privilege", row.privilege, nullptr));

    ASSERT_EQ(0, e2e::RunSetup(setup, "/i", row.script));
    const std::string requests = winsim::testing::ReadHostFile(winsim::JournalDir() + "/shutdown.log");
    EXPECT_EQ(row.requests, static_cast<size_t>(std::count(requests.begin(), requests.end(), '\n'))) << requests;
    // The outcome is recorded in its own section before the attempt.
    EXPECT_EQ("1", e2e::IniValue(kRecoveryIni, "InstallRoot", "InstallSuccess"));
    EXPECT_EQ("1", e2e::IniValue(kRecoveryIni, "Root", "InstallSuccess"));
    Journal j = ReadJournal();
    if (row.requests) {
      EXPECT_NE(std::string::npos, requests.find("flags=0x12 reason=0x80000000"));
      EXPECT_TRUE(e2e::LogHas("CProgressDlg::forceRebooting() 재부팅 성공"));
      EXPECT_NE(std::string::npos, j.text.find("\"event\":\"endsession\"")) << j.text;
      EXPECT_EQ((std::vector<int>{104, 107, 115}), j.pages) << "stays on the progress page while Windows ends";
    } else {
      EXPECT_TRUE(e2e::LogHas("권한 문제로 인해 재부팅 실패함"));
      EXPECT_EQ((std::vector<int>{104, 107, 115, 129}), j.pages) << j.text;
    }
  }
}

}  // namespace
