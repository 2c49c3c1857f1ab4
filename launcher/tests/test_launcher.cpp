// The launcher picks the setup program by the machine's word size, passes
// none of its arguments on, keeps its own current directory for the child,
// and always ends with status 0.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "machine_fixture.h"
#include "windows.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"
#include "winsim/paths.h"

namespace {

namespace fs = std::filesystem;
using winsim::testing::ReadHostFile;

class Launcher : public ::testing::Test {
 protected:
  void SetUp() override {
    winsim::testing::FreshMachine();
    folder_ = winsim::testing::TempHostDir();
    elsewhere_ = winsim::testing::TempHostDir();
    report_ = folder_ + "/report.txt";
    fs::copy_file(winsim::testing::BinDir() + "/VeltraneGtcLauncher.exe", folder_ + "/VeltraneGtcLauncher.exe");
    setenv("TESTCHILD_REPORT", report_.c_str(), 1);
  }
  void TearDown() override { unsetenv("TESTCHILD_REPORT"); }

  // A stand-in for one build of the setup program: it reports what it sees.
  void PlaceSetup(const char* name) {
    fs::copy_file(winsim::testing::BinDir() + "/winsim_testchild.exe", folder_ + "/" + name);
  }

  // Starts the launcher with `args` from the folder `cwdHost`; its exit code.
  DWORD RunLauncher(const std::string& args, const std::string& cwdHost) {
    std::string line = "\"" + Win(folder_) + "\\VeltraneGtcLauncher.exe\" " + args;
    std::string cwd = Win(cwdHost);
    STARTUPINFOA si;
    std::memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    EXPECT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si, &pi));
    DWORD code = 12345;
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 30000));
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return code;
  }

  static std::string Win(const std::string& host) { return winsim::Utf16ToAnsi(winsim::HostToWindows(host)); }

  std::string folder_, elsewhere_, report_;
};

TEST_F(Launcher, StartsTheBuildOfTheMachinesWordSize) {
  PlaceSetup("VeltraneGTC64.exe");
  PlaceSetup("VeltraneGTC32.exe");
  struct { const char* arch; const char* expected; } rows[] = {{"x64", "VeltraneGTC64.exe"}, {"x86", "VeltraneGTC32.exe"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arch);
    ASSERT_TRUE(winsim::SetConfigValue("arch", row.arch, nullptr));
    std::remove(report_.c_str());
    EXPECT_EQ(0u, RunLauncher("/i /s", elsewhere_));
    const std::string report = ReadHostFile(report_);
    // The program's name alone: none of the launcher's arguments.
    EXPECT_NE(std::string::npos, report.find(std::string("cmdline=") + row.expected + "\n")) << report;
    EXPECT_NE(std::string::npos, report.find("module=" + Win(folder_) + "\\" + row.expected)) << report;
    EXPECT_NE(std::string::npos, report.find("argc=1\n")) << report;
    // The launcher's current directory, not its folder.
    EXPECT_NE(std::string::npos, report.find("cwd=" + Win(elsewhere_) + "\n")) << report;
  }
  const std::string journal = ReadHostFile(winsim::JournalDir() + "/processes.log");
  EXPECT_NE(std::string::npos, journal.find(" VeltraneGTC64.exe\n"));
  EXPECT_NE(std::string::npos, journal.find(" VeltraneGTC32.exe\n"));
}

TEST_F(Launcher, MissingSetupProgramEndsAtOnceWithZero) {
  EXPECT_EQ(0u, RunLauncher("/u", elsewhere_));
  EXPECT_FALSE(winsim::testing::HostExists(report_));
}

TEST_F(Launcher, CopyInTheCurrentFolderNeverRunsInPlaceOfItsOwn) {
  // Windows would search the current folder after the launcher's own: a
  // planted copy there must not run, whether or not the shipped one exists.
  ASSERT_TRUE(winsim::SetConfigValue("arch", "x64", nullptr));
  fs::copy_file(winsim::testing::BinDir() + "/winsim_testchild.exe", elsewhere_ + "/VeltraneGTC64.exe");
  EXPECT_EQ(0u, RunLauncher("", elsewhere_));
  EXPECT_FALSE(winsim::testing::HostExists(report_));

  PlaceSetup("VeltraneGTC64.exe");
  EXPECT_EQ(0u, RunLauncher("", elsewhere_));
  EXPECT_NE(std::string::npos, ReadHostFile(report_).find("module=" + Win(folder_) + "\\VeltraneGTC64.exe"));
}

TEST_F(Launcher, ChildExitStatusIsNotPassedOn) {
  // A setup program that ends with status 7.
  const std::string program = folder_ + "/VeltraneGTC64.exe";
  winsim::testing::WriteHostFile(program, "#!/bin/sh\nexit 7\n");
  ASSERT_EQ(0, chmod(program.c_str(), 0755));
  ASSERT_TRUE(winsim::SetConfigValue("arch", "x64", nullptr));
  EXPECT_EQ(0u, RunLauncher("", elsewhere_));
  EXPECT_NE(std::string::npos, ReadHostFile(winsim::JournalDir() + "/processes.log").find(" VeltraneGTC64.exe\n"));
}

}  // namespace
