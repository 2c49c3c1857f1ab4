#include "scenario_sides.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "host_process.h"
#include "machine_fixture.h"
#include "windows.h"

extern char** environ;

namespace winebench {
namespace {

namespace fs = std::filesystem;

constexpr int kRunTimeoutMs = 90000;

std::vector<std::string> Lines(const Answers& answers) {
  std::vector<std::string> script;
  for (const auto& a : answers) script.push_back("answer " + a);
  return script;
}

class SimSide : public Side {
 public:
  SimSide() : setup_(e2e::FreshSetup()) {}
  const char* Name() const override { return "simulated machine"; }
  std::string SourceHost() const override { return setup_.source; }
  std::string SourceWindows() const override { return setup_.sourceWin; }

  void PlaceReadOnlyFile(const std::string& windowsPath, const std::string& bytes) override {
    for (size_t at = windowsPath.find('\\', 3); at != std::string::npos; at = windowsPath.find('\\', at + 1)) {
      CreateDirectoryA(windowsPath.substr(0, at).c_str(), nullptr);
    }
    winsim::testing::WriteHostFile(e2e::HostPath(windowsPath), bytes);
    if (!SetFileAttributesA(windowsPath.c_str(), FILE_ATTRIBUTE_READONLY)) {
      problems.push_back("could not make " + windowsPath + " read-only");
    }
  }

  int Run(const std::string& commandLine, const std::string& currentDirWin, const Answers& answers) override {
    const int code = e2e::Run(commandLine, currentDirWin, Lines(answers), kRunTimeoutMs);
    if (code == -1) problems.push_back("did not end in time: " + commandLine);
    return code;
  }

  std::string Record() override {
    // The collector is a host program of this build that reaches the
    // machine through WINSIM_MACHINE, which our environment names.
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.push_back(*e);
    const std::string out = winsim::testing::TempHostDir() + "/record.txt";
    const int status = RunHost({{WINE_BENCH_LINUX_RECORD, setup_.sourceWin}, env, "", out, ""}, 60000);
    if (status != 0) problems.push_back("machine_record ended with " + std::to_string(status));
    return ReadFileText(out);
  }

 private:
  e2e::Setup setup_;
};

class WineSide : public Side {
 public:
  WineSide() {
    source_ = case_.CopyIn(WindowsSourceDir(), "source");
    record_ = WindowsPathOfHost(case_.CopyIn(WindowsBinDir() + "/machine_record.exe", "machine_record.exe"));
    answer_ = WindowsPathOfHost(case_.CopyIn(WindowsBinDir() + "/answer_box.exe", "answer_box.exe"));
  }
  const char* Name() const override { return "Wine"; }
  std::string SourceHost() const override { return source_; }
  std::string SourceWindows() const override { return WindowsPathOfHost(source_); }
  void SourceEdited() override { case_.Adopt(source_); }

  void PlaceReadOnlyFile(const std::string& windowsPath, const std::string& bytes) override {
    const fs::path file = case_.HostPath(windowsPath);
    // The topmost folder made here, handed to the wine user with all below.
    fs::path made;
    for (fs::path dir = file.parent_path(); !fs::exists(dir); dir = dir.parent_path()) made = dir;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
    case_.Adopt(made.empty() ? file.string() : made.string());
    // Wine shows a file without write permission as read-only.
    chmod(file.c_str(), 0444);
  }

  int Run(const std::string& commandLine, const std::string& currentDirWin, const Answers& answers) override {
    WineProcess program = case_.Start(commandLine, case_.HostPath(currentDirWin));
    for (const auto& answer : answers) {
      const WineRun box = case_.Run(answer_ + " " + answer + " 60000", case_.WorkDir(), 70000, false);
      if (box.exitCode != 0) problems.push_back("no message box came to answer " + answer + ": " + box.output);
    }
    const WineRun run = program.Wait(kRunTimeoutMs);
    if (run.timedOut) problems.push_back("did not end in time: " + commandLine);
    return run.exitCode;
  }

  std::string Record() override {
    const WineRun run = case_.Run(record_ + " \"" + SourceWindows() + "\"", case_.WorkDir(), 60000, false);
    if (run.exitCode != 0) problems.push_back("machine_record.exe ended with " + std::to_string(run.exitCode));
    return run.output;
  }

 private:
  WineCase case_;
  std::string source_, record_, answer_;
};

}  // namespace

std::unique_ptr<Side> MakeSimSide() { return std::make_unique<SimSide>(); }
std::unique_ptr<Side> MakeWineSide() { return std::make_unique<WineSide>(); }

}  // namespace winebench
