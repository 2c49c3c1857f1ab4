// Every silent scenario twice: on a fresh simulated machine with the Linux
// build and in a fresh Wine prefix with the Windows build, the two sides at
// the same time. After each run the same collector prints a record of each
// machine; the records must be equal but for the lines in which Wine itself
// differs from Windows (wine_differences.txt). Any other difference is a
// fault of our layer or of the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include "host_process.h"
#include "record_compare.h"
#include "scenario_sides.h"
#include "source_edits.h"

namespace winebench {
namespace {

const char kRecovery[] = "C:\\Windows\\Bramblecast\\Veltrane RAZ";
const char kRecoveryIni[] = "C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGTCSetup.ini";

struct Step {
  bool uninstall;   // the uninstall entry's QuietUninstallString, else "<source>\VeltraneGTC64.exe /i /s"
  Answers answers;  // the message boxes of this run
};
Step Install(Answers answers = {}) { return {false, std::move(answers)}; }
Step QuietUninstall(Answers answers) { return {true, std::move(answers)}; }

struct Scenario {
  const char* name;
  std::vector<SourceEdit> edits;     // applied to both copies of the source folder
  bool readOnlyRecoveryIni;          // a read-only file where the install copies its configuration
  std::vector<Step> steps;           // each followed by a record on both sides
  std::vector<std::string> expected; // lines the last record must hold (on both sides)
};

const SourceEdit kNoticesOff = SetIni("InstallMessageOption", "ShowMessageInSilentMode", "0");

const Scenario kScenarios[] = {
    {"NoticesOn", {}, false, {Install()},
     {"| CProcessMain::StartWork() :: SilentMode Use Notice Message = 1 ", "| NoticeDlg 실행", "| silent mode 설치 완료"}},
    {"NoticesOff", {kNoticesOff}, false, {Install()}, {"| silent mode 설치 완료", "Root/InstallSuccess = \"1\""}},
    {"SecondInstallRefused", {kNoticesOff}, false, {Install(), Install({"IDOK"})},
     {"| 프로그램이 이미 설치 되어 있음. 설치 취소."}},
    {"QuietUninstallAnsweredYes", {kNoticesOff}, false, {Install(), QuietUninstall({"IDYES"})},
     {"| 사용자가 프로그램 제거를 승인", "Root/InstallSuccess = \"0\""}},
    {"QuietUninstallAnsweredNo", {kNoticesOff}, false, {Install(), QuietUninstall({"IDNO"})},
     {"| 사용자가 프로그램 제거를 취소", "Root/InstallSuccess = \"1\""}},
    {"ReadOnlyFileRollsBack", {kNoticesOff}, true, {Install({"IDOK"})},
     {"| LVL_ERROR::IsWorkGroupPlay::File copy error.", "| silent mode 설치 실패"}},
    {"MissingProfileFile", {kNoticesOff, RemoveFile("Campus Staff.xml")}, false, {Install()},
     {"| silent mode 설치 완료"}},
    {"NoBasicProfileSection", {kNoticesOff, DropIniSection("BASIC_PROFILE")}, false, {Install({"IDOK"})},
     {"| CProgressDlg::ini get section failed.[BASIC_PROFILE]", "| silent mode 설치 실패"}},
    {"UseDefaultProfileZero", {kNoticesOff, SetIni("GENERAL", "UseDefaultProfile", "0")}, false, {Install()},
     {"| silent mode 설치 완료"}},
    {"SiteTitle",
     {kNoticesOff, SetIni("SITE_SPECIFIC", "UseSiteSpecificSetupTitle", Cp949("한빛대학교 무선랜"))},
     false,
     {Install(), QuietUninstall({"IDYES"})},
     {"| 사용자가 프로그램 제거를 승인"}},
    {"ForceReboot", {kNoticesOff, SetIni("InstallRoot", "ForceReboot", "1")}, false, {Install()},
     {"| silent mode 설치 완료"}},
    {"NoConfigurationFile", {RemoveFile("VeltraneGTCSetup.ini")}, false, {Install()},
     {"| silent mode 설치 실패"}},
};

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

struct Outcome {
  std::vector<std::string> records;
  std::vector<int> exitCodes;
  std::vector<std::string> problems;
};

// The value the uninstall entry holds, as the record shows it.
std::string QuietUninstallString(const std::string& record) {
  const std::string prefix = "  \"QuietUninstallString\" REG_SZ ";
  for (const auto& line : RecordLines(record)) {
    if (line.rfind(prefix, 0) != 0) continue;
    std::string value = line.substr(line.find(": ") + 2);
    if (value.size() >= 5 && value.compare(value.size() - 5, 5, "<NUL>") == 0) value.resize(value.size() - 5);
    return value;
  }
  return "";
}

void Prepare(Side& side, const Scenario& scenario) {
  for (const auto& edit : scenario.edits) edit(side.SourceHost());
  side.SourceEdited();
  if (scenario.readOnlyRecoveryIni) side.PlaceReadOnlyFile(kRecoveryIni, "[Root]\r\n");
}

Outcome Play(Side& side, const Scenario& scenario) {
  Outcome outcome;
  for (const auto& step : scenario.steps) {
    std::string line = "\"" + side.SourceWindows() + "\\VeltraneGTC64.exe\" /i /s";
    std::string folder = side.SourceWindows();
    if (step.uninstall) {
      line = outcome.records.empty() ? "" : QuietUninstallString(outcome.records.back());
      folder = kRecovery;
      if (line.empty()) {
        side.problems.push_back("the record has no QuietUninstallString to run");
        break;
      }
    }
    outcome.exitCodes.push_back(side.Run(line, folder, step.answers));
    outcome.records.push_back(side.Record());
  }
  outcome.problems = side.problems;
  return outcome;
}

std::vector<KnownDifference> KnownWineDifferences() {
  std::string error;
  auto known = ParseKnownDifferences(ReadFileText(WINE_BENCH_DIFFERENCES), &error);
  EXPECT_EQ("", error) << WINE_BENCH_DIFFERENCES;
  return known;
}

// WINE_BENCH_RECORDS=<folder> keeps every record as <scenario>-<run>-sim.txt
// and <scenario>-<run>-wine.txt, for reading them whole.
void KeepRecords(const Scenario& scenario, const Outcome& sim, const Outcome& wine) {
  const char* folder = std::getenv("WINE_BENCH_RECORDS");
  if (!folder) return;
  std::filesystem::create_directories(folder);
  for (size_t i = 0; i < sim.records.size() && i < wine.records.size(); ++i) {
    const std::string base = std::string(folder) + "/" + scenario.name + "-" + std::to_string(i + 1);
    std::ofstream(base + "-sim.txt", std::ios::binary) << sim.records[i];
    std::ofstream(base + "-wine.txt", std::ios::binary) << wine.records[i];
  }
}

class WineScenarios : public ::testing::TestWithParam<Scenario> {};

TEST_P(WineScenarios, RecordsAgree) {
  const std::string missing = MissingForWine();
  if (!missing.empty()) GTEST_SKIP() << missing;
  for (const char* tool : {"machine_record.exe", "answer_box.exe"}) {
    if (!std::filesystem::exists(WindowsBinDir() + "/" + tool)) {
      GTEST_SKIP() << WindowsBinDir() << "/" << tool << " is not built (cmake --build build-windows/x64)";
    }
  }
  const Scenario& scenario = GetParam();
  const auto known = KnownWineDifferences();

  // Both sides are laid out first: a program file still open for writing
  // in this process would be inherited by a child the other side starts,
  // and could not be run (ETXTBSY) while that child lives.
  auto wineSide = MakeWineSide();
  auto simSide = MakeSimSide();
  Prepare(*wineSide, scenario);
  Prepare(*simSide, scenario);
  // Then Wine runs in a thread of its own; the simulated machine uses this
  // thread's environment and stays here.
  auto wine = std::async(std::launch::async, [&] { return Play(*wineSide, scenario); });
  const Outcome sim = Play(*simSide, scenario);
  const Outcome onWine = wine.get();

  KeepRecords(scenario, sim, onWine);
  for (const auto& p : sim.problems) ADD_FAILURE() << "simulated machine: " << p;
  for (const auto& p : onWine.problems) ADD_FAILURE() << "Wine: " << p;
  ASSERT_EQ(sim.records.size(), onWine.records.size());
  EXPECT_EQ(sim.exitCodes, onWine.exitCodes) << "exit codes of the runs, simulated machine vs Wine";
  for (size_t i = 0; i < sim.records.size(); ++i) {
    SCOPED_TRACE("record after run " + std::to_string(i + 1) + " of " + std::to_string(sim.records.size()));
    ASSERT_EQ(0u, sim.records[i].rfind("machine record", 0)) << "the simulated machine's collector printed:\n"
                                                              << sim.records[i];
    ASSERT_EQ(0u, onWine.records[i].rfind("machine record", 0)) << "Wine's collector printed:\n" << onWine.records[i];
    const std::string differences = CompareRecords(sim.records[i], onWine.records[i], known);
    if (!differences.empty()) ADD_FAILURE() << "the records differ (- simulated machine, + Wine):\n" << differences;
  }
  const auto last = RecordLines(sim.records.back());
  const auto lastWine = RecordLines(onWine.records.back());
  for (const auto& line : scenario.expected) {
    EXPECT_NE(last.end(), std::find(last.begin(), last.end(), line)) << "simulated machine's record lacks: " << line;
    EXPECT_NE(lastWine.end(), std::find(lastWine.begin(), lastWine.end(), line)) << "Wine's record lacks: " << line;
  }
}

INSTANTIATE_TEST_SUITE_P(Silent, WineScenarios, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace winebench
