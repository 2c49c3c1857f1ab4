// The Wine bench's tables, scripts and readings, checked without Wine: every
// script is one the driver accepts, the driver's reports read back as
// visits, and the outcome readers find (or miss) what they should.
#include <gtest/gtest.h>

#include "driver_script.h"
#include "wizard_look.h"
#include "wizard_outcome.h"
#include "wizard_runs.h"

namespace winewizard {
namespace {

TEST(WizardRuns, EveryScriptParsesAsDriverSteps) {
  for (const auto* rows : {&InstallRows(), &UninstallRows(), &CancelRows()}) {
    const auto script = Script(*rows, "Z:\\tmp\\shots");
    const driver::Script parsed = driver::ParseScript(script);
    EXPECT_EQ("", parsed.error);
    ASSERT_EQ(script.size(), parsed.steps.size());
    EXPECT_EQ(driver::Verb::Gone, parsed.steps.back().verb);
  }
}

TEST(WizardRuns, ScriptReportsAndShootsAfterTheAction) {
  const std::vector<Row> rows = {
      {"shot", nullptr, nullptr, nullptr, "first"},
      {"click 12324", "107", "Back,Cancel", kInstalling, "licence"},
      {"click 12325", nullptr, nullptr, nullptr, nullptr},
  };
  EXPECT_EQ((std::vector<std::string>{"shot Z:\\s\\first.png", "click 12324", "state", "shot Z:\\s\\licence.png",
                                      "click 12325", "gone"}),
            Script(rows, "Z:\\s"));
  EXPECT_EQ((std::vector<Visit>{{"107", "Back,Cancel", kInstalling}}), Expected(rows));
  EXPECT_EQ((std::vector<std::string>{"first", "licence"}), Shots(rows));
}

TEST(WizardRuns, TheInstallVisitsThePagesOfTheSimulatedMachinesTests) {
  std::vector<std::string> pages;
  for (const Visit& v : Expected(InstallRows())) pages.push_back(v.page);
  EXPECT_EQ((std::vector<std::string>{"104", "107", "107", "104", "107", "107", "115", "129"}), pages);
  EXPECT_EQ("Finish", Expected(InstallRows()).back().buttons);
}

TEST(WizardRuns, ReportedReadsStateLinesOnly) {
  const std::string output =
      "shot Z:\\s\\a.png 606x356 by screen\r\n"
      "state page=104 name=welcome buttons=Next,Cancel caption=Veltrane RAZ 설치\r\n"
      "answer IDYES caption=x text=y\n"
      "state page=? name=unknown buttons=- caption=\n"
      "state page=129 name=finish buttons=Finish caption=Veltrane RAZ 설치 완료\n";
  EXPECT_EQ((std::vector<Visit>{{"104", "Next,Cancel", kInstalling}, {"?", "-", ""}, {"129", "Finish", kInstalled}}),
            Reported(output));
  EXPECT_TRUE(Reported("no states\n").empty());
}

TEST(WizardOutcome, IniValue) {
  const std::string ini = "[Root]\r\nCheckInstallLangue=Korean\r\nInstallSuccess=1\r\n[InstallRoot]\r\nInstallSuccess = 0 \r\n";
  struct {
    const char* section;
    const char* key;
    std::optional<std::string> value;
  } rows[] = {
      {"Root", "InstallSuccess", "1"},
      {"root", "installsuccess", "1"},
      {"InstallRoot", "InstallSuccess", "0"},
      {"Root", "Missing", std::nullopt},
      {"Other", "InstallSuccess", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.section) + "/" + row.key);
    EXPECT_EQ(row.value, IniValue(ini, row.section, row.key));
  }
}

TEST(WizardOutcome, RegQueryValue) {
  const std::string output =
      "\r\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrane RAZ\r\n"
      "    DisplayName    REG_SZ    Veltrane RAZ\r\n"
      "    QuietUninstallString    REG_SZ    \"C:\\x\\VeltraneGtcSetup.exe\" /u /s\r\n"
      "    UninstallString    REG_SZ    \"C:\\x\\VeltraneGtcSetup.exe\" /u\r\n"
      "    Empty    REG_SZ    \r\n";
  struct {
    const char* name;
    std::optional<std::string> value;
  } rows[] = {
      {"UninstallString", "\"C:\\x\\VeltraneGtcSetup.exe\" /u"},
      {"QuietUninstallString", "\"C:\\x\\VeltraneGtcSetup.exe\" /u /s"},
      {"DisplayName", "Veltrane RAZ"},
      {"Empty", ""},
      {"Publisher", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.value, RegQueryValue(output, row.name));
  }
}

TEST(WizardLook, RegistryFileIsUtf16WithItsMark) {
  const std::string file = LookRegistryFile();
  ASSERT_GE(file.size(), 2u);
  EXPECT_EQ(std::string("\xFF\xFE", 2), file.substr(0, 2));
  // 굴림 is U+AD74 U+B9BC.
  EXPECT_NE(std::string::npos, file.find(std::string("\x74\xAD\xBC\xB9", 4)));
  EXPECT_NE(std::string::npos, file.find(Utf16le("\"Decorated\"=\"N\"")));
  EXPECT_EQ(std::string("A\0", 2) + std::string("\x74\xAD", 2), Utf16le("A굴"));
}

}  // namespace
}  // namespace winewizard
