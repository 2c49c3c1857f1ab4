// The setup program's wizard on Wine, clicked through by the driver
// (bench/driver) running beside it in the same prefix: the pages in order
// with the buttons each leaves enabled, a screenshot of each, and what the
// run leaves behind. Each case has a fresh prefix (bench/scenarios/
// wine_env.h) and a copy of build-windows/source.
//
// Screenshots go to $WINE_BENCH_SHOTS when set, else to a temporary folder
// this program names on its output.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "wine_env.h"
#include "wizard_look.h"
#include "wizard_outcome.h"
#include "wizard_runs.h"

namespace fs = std::filesystem;
using winewizard::Row;

namespace {

const char kRecovery[] = "C:\\Windows\\Bramblecast\\Veltrane RAZ";
const char kRecoveryIni[] = "C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGTCSetup.ini";
const char kInstall[] = "C:\\Program Files\\Bramblecast\\Veltrane RAZ";
const char kPlugin[] = "C:\\Windows\\System32\\ORV_EapPeap.dll";
const char kPluginKey[] = "HKLM\\SOFTWARE\\Bramblecast\\Veltrane RAZ";
const char kUninstallKey[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrane RAZ";
const char kUninstallLine[] = "\"C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGtcSetup.exe\" /u";

constexpr int kDriverStepSeconds = 60;
constexpr int kRunMs = 300000;

std::string ReadHost(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Where the screenshots of this test program go; made once.
const std::string& ShotsDir() {
  static const std::string dir = [] {
    if (const char* chosen = getenv("WINE_BENCH_SHOTS"); chosen && *chosen) {
      fs::create_directories(chosen);
      return std::string(chosen);
    }
    std::string made = fs::temp_directory_path().string() + "/wine-wizard-shots-XXXXXX";
    if (!mkdtemp(made.data())) return std::string();
    return made;
  }();
  return dir;
}

// The width and height a PNG file's header gives; 0 x 0 when it is none.
std::pair<uint32_t, uint32_t> PngSize(const std::string& bytes) {
  if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
    return {0, 0};
  auto at = [&](size_t i) {
    uint32_t v = 0;
    for (size_t k = 0; k < 4; ++k) v = (v << 8) | static_cast<unsigned char>(bytes[i + k]);
    return v;
  };
  return {at(16), at(20)};
}

class WineWizard : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string missing = winebench::MissingForWine();
    if (!missing.empty()) GTEST_SKIP() << missing;
    const std::string driver = winebench::WindowsBinDir() + "/wizard_driver.exe";
    if (!fs::exists(driver)) GTEST_SKIP() << driver << " is not built (cmake --build build-windows/x64)";
    for (const char* font : winewizard::kLookFonts) {
      if (!fs::exists(font)) GTEST_SKIP() << font << " is missing (apt-get install fonts-nanum)";
    }
    case_ = std::make_unique<winebench::WineCase>();
    driver_ = case_->CopyIn(driver, "wizard_driver.exe");
    source_ = case_->CopyIn(winebench::WindowsSourceDir(), "source");
    shots_ = case_->WorkDir() + "/shots";
    fs::create_directory(shots_);
    case_->Adopt(shots_);
    ApplyLook();
  }

  void TearDown() override {
    if (!case_ || ShotsDir().empty()) return;
    // Whatever was taken, also when the case failed half-way.
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(shots_, ec)) {
      fs::copy_file(entry.path(), ShotsDir() + "/" + entry.path().filename().string(),
                    fs::copy_options::overwrite_existing, ec);
    }
    std::cout << "screenshots: " << ShotsDir() << "\n";
  }

  void ApplyLook() {
    const std::string file = case_->WorkDir() + "/look.reg";
    std::ofstream(file, std::ios::binary) << winewizard::LookRegistryFile();
    case_->Adopt(file);
    // The session stays up for the program that follows.
    const winebench::WineRun run =
        case_->Run("reg import " + winebench::WindowsPathOfHost(file), case_->WorkDir(), 120000, false);
    ASSERT_EQ(0, run.exitCode) << run.output << run.errors;
  }

  // Runs the driver through the rows beside the running program; on
  // failure, ends the session so the program does not wait for a click
  // that never comes.
  winebench::WineRun Drive(const std::vector<Row>& rows, const std::string& program) {
    const std::string script = case_->WorkDir() + "/" + program + ".script";
    std::ofstream out(script, std::ios::binary);
    for (const auto& line : winewizard::Script(rows, winebench::WindowsPathOfHost(shots_))) out << line << "\r\n";
    out.close();
    case_->Adopt(script);
    const std::string command = "\"" + winebench::WindowsPathOfHost(driver_) + "\" --program " + program +
                                " --timeout " + std::to_string(kDriverStepSeconds) + " --script \"" +
                                winebench::WindowsPathOfHost(script) + "\"";
    winebench::WineRun run = case_->Run(command, case_->WorkDir(), kRunMs, false);
    if (run.exitCode != 0) case_->EndSession();
    return run;
  }

  // The driver reported the rows' pages in order, and took their
  // screenshots at the size of the window it reported.
  void ExpectVisitsAndShots(const std::vector<Row>& rows, const winebench::WineRun& run) {
    const auto reported = winewizard::Reported(run.output);
    EXPECT_EQ(winewizard::Expected(rows), reported) << "expected:\n"
                                                    << winewizard::Describe(winewizard::Expected(rows))
                                                    << "reported:\n"
                                                    << winewizard::Describe(reported);
    for (const std::string& name : winewizard::Shots(rows)) {
      const auto [width, height] = PngSize(ReadHost(shots_ + "/" + name + ".png"));
      EXPECT_GT(width, 300u) << name;
      EXPECT_GT(height, 90u) << name;
      const std::string report = name + ".png " + std::to_string(width) + "x" + std::to_string(height) + " by ";
      EXPECT_NE(std::string::npos, run.output.find(report)) << report << "\n" << run.output;
    }
  }

  bool KeyExists(const std::string& key) {
    return case_->Run("reg query \"" + key + "\"", case_->WorkDir(), 60000, false).exitCode == 0;
  }

  std::optional<std::string> InstallSuccess() {
    return winewizard::IniValue(ReadHost(case_->HostPath(kRecoveryIni)), "Root", "InstallSuccess");
  }

  bool Exists(const std::string& windowsPath) { return fs::exists(case_->HostPath(windowsPath)); }

  std::unique_ptr<winebench::WineCase> case_;
  std::string driver_, source_, shots_;
};

TEST_F(WineWizard, InstallClickedThrough) {
  winebench::WineProcess program = case_->Start("VeltraneGTC64.exe /i", source_);
  const winebench::WineRun driven = Drive(winewizard::InstallRows(), "VeltraneGTC64.exe");
  const winebench::WineRun run = program.Wait(kRunMs);
  ASSERT_EQ(0, driven.exitCode) << driven.output << driven.errors;
  EXPECT_EQ(0, run.exitCode) << run.errors;
  ExpectVisitsAndShots(winewizard::InstallRows(), driven);

  EXPECT_EQ("1", InstallSuccess().value_or("(missing)"));
  const winebench::WineRun entry = case_->Run("reg query \"" + std::string(kUninstallKey) + "\"", source_, 60000, false);
  EXPECT_EQ(0, entry.exitCode) << entry.errors;
  EXPECT_EQ(kUninstallLine, winewizard::RegQueryValue(entry.output, "UninstallString").value_or("(missing)"))
      << entry.output;
  EXPECT_TRUE(KeyExists(kPluginKey));
  EXPECT_TRUE(Exists(kPlugin));
  EXPECT_TRUE(Exists(std::string(kInstall) + "\\Version.txt"));
}

TEST_F(WineWizard, UninstallThroughTheEntry) {
  const winebench::WineRun install = case_->Run("VeltraneGTC64.exe /i /s", source_, kRunMs);
  ASSERT_EQ(0, install.exitCode) << install.errors;
  ASSERT_EQ("1", InstallSuccess().value_or("(missing)"));
  const winebench::WineRun entry = case_->Run("reg query \"" + std::string(kUninstallKey) + "\"", source_, 60000, false);
  const auto line = winewizard::RegQueryValue(entry.output, "UninstallString");
  ASSERT_TRUE(line.has_value()) << entry.output << entry.errors;

  winebench::WineProcess program = case_->Start(*line, case_->HostPath(kRecovery));
  const winebench::WineRun driven = Drive(winewizard::UninstallRows(), "VeltraneGtcSetup.exe");
  const winebench::WineRun run = program.Wait(kRunMs);
  ASSERT_EQ(0, driven.exitCode) << driven.output << driven.errors;
  EXPECT_EQ(0, run.exitCode) << run.errors;
  ExpectVisitsAndShots(winewizard::UninstallRows(), driven);

  // Nothing is left of the install but the recovery folder, which records
  // the outcome.
  EXPECT_EQ("0", InstallSuccess().value_or("(missing)"));
  EXPECT_FALSE(KeyExists(kUninstallKey));
  EXPECT_FALSE(KeyExists(kPluginKey));
  EXPECT_FALSE(Exists(kPlugin));
  EXPECT_FALSE(Exists(kInstall));
}

TEST_F(WineWizard, CancelAskedRefusedThenConfirmed) {
  winebench::WineProcess program = case_->Start("VeltraneGTC64.exe /i", source_);
  const winebench::WineRun driven = Drive(winewizard::CancelRows(), "VeltraneGTC64.exe");
  const winebench::WineRun run = program.Wait(kRunMs);
  ASSERT_EQ(0, driven.exitCode) << driven.output << driven.errors;
  EXPECT_EQ(0, run.exitCode) << run.errors;
  ExpectVisitsAndShots(winewizard::CancelRows(), driven);
  // Both questions were the cancel question.
  const std::string question = "설치를 취소 하시겠습니까?";
  std::istringstream lines(driven.output);
  std::vector<std::string> answers;
  for (std::string l; std::getline(lines, l);) {
    if (l.rfind("answer ", 0) != 0) continue;
    answers.push_back(l.substr(0, l.find(' ', 7)) + (l.find(question) != std::string::npos ? " cancel?" : " other"));
  }
  EXPECT_EQ((std::vector<std::string>{"answer IDNO cancel?", "answer IDYES cancel?"}), answers) << driven.output;
  // The listing of the licence page: the accept radio button, its Korean
  // text read across processes, not checked.
  EXPECT_NE(std::string::npos, driven.output.find("check=0 text=사용권 계약의 조항에 동의합니다(&A)"))
      << driven.output;
  EXPECT_FALSE(KeyExists(kPluginKey));
  EXPECT_FALSE(Exists("C:\\Windows\\Bramblecast"));
}

}  // namespace
